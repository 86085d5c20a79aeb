// The manifest of a backup: every file it holds, with its size, time and SHA-256, written as the
// last step of a backup run. `check` reads every file back against it, which finds what went
// bad on the backup medium since, what is missing and what was added.
#pragma once

#include "os/os.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// Its file in the backup folder (or dated set), beside the components' folders.
inline const QString ManifestFileName = QStringLiteral("ZEB Manifest.txt");

struct ManifestEntry
{
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since 1970
    Os::Digest digest{};
};

class BackupManifest
{
public:
    // Reads the manifest of a backup folder; answers false when it has none or it cannot be
    // read as one.
    bool load(const QString& backupFolder);
    // Writes it durably: a temporary file, synced, renamed into place. Raises the runtime's
    // error when it cannot.
    void save(const QString& backupFolder) const;
    // Removes a backup folder's manifest from the disk, durably: a run that changes the folder
    // and then dies must not leave a manifest that claims the old state is whole.
    static void discard(const QString& backupFolder);

    // Paths are the OS layer's bytes below the backup folder, with '/' between names.
    const ManifestEntry* find(const QByteArray& path) const;
    void insert(const QByteArray& path, const ManifestEntry& entry)
    {
        m_entries.insert(path, entry);
    }
    // Forgets every file below a component's folder, before its new state is recorded.
    void removeBelow(const QByteArray& folder);
    qsizetype size() const { return m_entries.size(); }
    const QHash<QByteArray, ManifestEntry>& entries() const { return m_entries; }

private:
    QHash<QByteArray, ManifestEntry> m_entries;
};

// Records in the manifest what a component's copy left in the backup: the checksums of what it
// wrote, those of the earlier manifests for files unchanged or linked, and for any other file
// there the checksum read from the disk.
void recordComponent(BackupManifest& manifest, const QString& componentFolder,
                     const Os::CopyPlan& plan, const BackupManifest& previous,
                     const BackupManifest& linkedFrom);

// What `check` found in a backup.
struct BackupCheck
{
    bool hasManifest = false;
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
};

// Reads every file of a backup folder back from the medium and compares it with the manifest.
// `progress` hears of the bytes read.
BackupCheck checkBackup(const QString& backupFolder,
                        const std::function<void(qint64 bytes)>& progress = {});
