// The manifest of a backup: every file it holds, with its size, time and checksum (XXH3-128;
// SHA-256 in those 2.0 wrote), written as the last step of a backup run. `check` reads every file
// back against it, which finds what went bad on the backup medium since, what is missing and what
// was added.
#pragma once

#include "os/os.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

// Its file in the backup folder (or dated set), beside the components' folders.
inline const QString ManifestFileName = QStringLiteral("ZEB Manifest.txt");

struct ManifestEntry
{
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since 1970
    Os::Digest digest{};
};

// The files of a manifest, read back: compact, for the hundred thousand files of a large ICQ
// folder. Paths are the OS layer's bytes below the backup folder, with '/' between names.
class BackupManifest
{
public:
    // Reads the manifest of a backup folder; answers false when it has none or it cannot be
    // read as one.
    bool load(const QString& backupFolder);
    // The manifest a backup builds on. One whose paths come in byte order, as this version
    // writes them, is only checked here and read again by each forEach(), never held; any other
    // is loaded.
    bool open(const QString& backupFolder);
    // Hands over each record whose path starts with `prefix`, in byte order of the paths.
    using Visitor = std::function<void(QByteArrayView path, const ManifestEntry& entry)>;
    void forEach(QByteArrayView prefix, const Visitor& take) const;
    // Adds a record after those held, whose paths come before its own.
    void add(QByteArrayView path, const ManifestEntry& entry);
    // Holds the records `keep` wants (asked in byte order) and forgets the rest, so that the
    // file can go.
    void retain(const std::function<bool(QByteArrayView path)>& keep);
    // Why load() refused a manifest this version cannot check ("unknown checksum ..."), or
    // empty.
    const QString& refusal() const { return m_refusal; }
    // 2.0 wrote SHA-256: its records are checked by that, and give no checksum to a new
    // manifest, whose files then come from the source again.
    bool isSha256() const { return m_isSha256; }
    const std::array<unsigned char, 32>& sha256(qsizetype at) const
    {
        return m_sha256[std::size_t(at)];
    }
    // Removes a backup folder's manifest from the disk, durably: a run that changes the folder
    // and then dies must not leave a manifest that claims the old state is whole.
    static void discard(const QString& backupFolder);

    // The place of a path among the files, or -1.
    qsizetype indexOf(QByteArrayView path) const;
    const ManifestEntry* find(QByteArrayView path) const
    {
        const qsizetype at = indexOf(path);
        return at < 0 ? nullptr : &entry(at);
    }
    qsizetype size() const { return qsizetype(m_records.size()); }
    QByteArrayView path(qsizetype at) const { return pathOf(m_records[std::size_t(at)]); }
    const ManifestEntry& entry(qsizetype at) const { return m_records[std::size_t(at)].entry; }

private:
    struct Record
    {
        ManifestEntry entry;
        quint32 path;
        quint32 length;
    };
    QByteArrayView pathOf(const Record& record) const
    {
        return QByteArrayView(m_paths).sliced(record.path, record.length);
    }

    QString m_streamed;            // the file forEach() reads, while it is not held
    QByteArray m_paths;            // every path, one after the other
    std::vector<Record> m_records; // sorted by path
    std::vector<std::array<unsigned char, 32>> m_sha256; // a 2.0 manifest's, beside m_records
    bool m_isSha256 = false;
    QString m_refusal;
};

// Before the copy: a file the plan leaves as it is or links from the earlier set takes the
// checksum the earlier manifests record for it in that size and time; one they do not record is
// copied from the source instead. A manifest never takes a checksum from the backup's own bytes,
// which may have gone bad.
void copyWhatIsNotRecorded(Os::CopyPlan& plan, const QString& componentFolder,
                           const BackupManifest& previous, const BackupManifest& linkedFrom);
// After the copy: only files written, or left or linked as planned, keep a checksum. A file
// without one was not copied now.
void completeChecksums(Os::CopyPlan& plan);

// The components walked, each folder with its plan.
using PlannedComponents = QList<QPair<QString, const Os::CopyPlan*>>;
// Before the previous manifest goes: of its records, holds those no plan took a checksum from.
void retainUnplanned(BackupManifest& previous, const PlannedComponents& walked);

// Writes a backup folder's manifest durably (a temporary file, synced, renamed into place), its
// paths in byte order: every file with a checksum of each component copied now; those of the
// previous manifest inside them that the copy did not write and the folder still holds as
// recorded (gone from ICQ, or kept); the rest of the previous manifest's, those of components
// walked but not copied included. Raises the runtime's error when it cannot.
void writeManifest(const QString& backupFolder, const BackupManifest& previous,
                   const PlannedComponents& components, const PlannedComponents& walked);

// What `check` found in a backup.
struct BackupCheck
{
    bool hasManifest = false;
    QString refusal;  // why a manifest that is there cannot be checked, or empty
    qint64 files = 0; // read and found as recorded
    qint64 bytes = 0;
    QStringList damaged; // paths below the backup folder
    QStringList missing;
    QStringList extra;
    QStringList unreadable; // with the reason
    bool passed() const
    {
        return hasManifest && damaged.isEmpty() && missing.isEmpty() && extra.isEmpty() &&
               unreadable.isEmpty();
    }
    // What was found, a line a file ("damaged: DB/a.dat"), damaged first, in the user's
    // language.
    QStringList mismatches() const;
};

// Reads every file of a backup folder back from the medium and compares it with the manifest.
// `progress` hears of the bytes read.
BackupCheck checkBackupFolder(const QString& backupFolder,
                              const std::function<void(qint64 bytes)>& progress = {});
