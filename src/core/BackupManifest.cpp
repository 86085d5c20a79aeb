#include "core/BackupManifest.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/SetRecord.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

const QByteArray Header = QByteArrayLiteral("ZEB 2000 manifest 1\n");

QString manifestPath(const QString& backupFolder)
{
    return withTrailingSeparator(backupFolder) + ManifestFileName;
}

// Names are bytes: every byte but '/' and NUL may stand in one, newlines included. A line holds
// one path, so the bytes that would break it (and '%') are written as %XX.
QByteArray escaped(const QByteArray& path)
{
    QByteArray out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%')
            out += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        else
            out += c;
    }
    return out;
}

bool unescaped(const QByteArray& text, QByteArray& path)
{
    path.clear();
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            path += text[at];
            continue;
        }
        bool ok = false;
        const int byte = text.mid(at + 1, 2).toInt(&ok, 16);
        if (!ok || at + 2 >= text.size())
            return false;
        path += char(byte);
        at += 2;
    }
    return !path.isEmpty();
}

QByteArray manifestPathBytes(const QString& path)
{
    QByteArray bytes = QByteArray::fromStdString(toOsPath(QDir::fromNativeSeparators(path)));
    while (bytes.endsWith('/'))
        bytes.chop(1);
    return bytes;
}

QString shown(const QByteArray& path)
{
    return QDir::toNativeSeparators(fromOsPath(path.toStdString()));
}

} // namespace

bool BackupManifest::load(const QString& backupFolder)
{
    m_paths.clear();
    m_records.clear();
    QFile file(manifestPath(backupFolder));
    if (!file.open(QIODevice::ReadOnly) || file.readLine() != Header)
        return false;
    // Room for as many records as the shortest lines could make, so that growing never holds
    // two copies of a large manifest; what stays unused is never touched.
    constexpr qint64 ShortestLine = 71;
    m_records.reserve(std::size_t(file.size() / ShortestLine + 1));
    m_paths.reserve(file.size());
    // Line by line: the whole text of a large manifest is never held at once.
    for (;;) {
        QByteArray line = file.readLine();
        if (line.isEmpty())
            break;
        if (!line.endsWith('\n'))
            return false;
        line.chop(1);
        // <sha256> <size> <modified> <path>
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = line.indexOf(' ', first + 1);
        const qsizetype third = line.indexOf(' ', second + 1);
        if (first != 64 || second < 0 || third < 0)
            return false;
        Record record{};
        const QByteArray digest = QByteArray::fromHex(line.left(64));
        bool sizeOk = false;
        bool timeOk = false;
        record.entry.size = line.mid(first + 1, second - first - 1).toLongLong(&sizeOk);
        record.entry.modified = line.mid(second + 1, third - second - 1).toLongLong(&timeOk);
        QByteArray path;
        if (digest.size() != 32 || !sizeOk || !timeOk || !unescaped(line.mid(third + 1), path))
            return false;
        std::memcpy(record.entry.digest.data(), digest.constData(), 32);
        record.path = quint32(m_paths.size());
        record.length = quint32(path.size());
        m_paths += path;
        m_records.push_back(record);
    }
    if (file.error() != QFileDevice::NoError)
        return false;
    std::sort(m_records.begin(), m_records.end(), [this](const Record& a, const Record& b) {
        return QByteArrayView(m_paths).sliced(a.path, a.length) <
               QByteArrayView(m_paths).sliced(b.path, b.length);
    });
    return true;
}

void BackupManifest::discard(const QString& backupFolder)
{
    QFile file(manifestPath(backupFolder));
    if (!file.exists())
        return;
    if (!file.remove() || Os::syncFileSystem(toOsPath(backupFolder)) != 0)
        raiseError(ErrorNumber::PathFileAccessError,
                   QStringLiteral("The manifest %1 could not be removed: %2")
                       .arg(manifestPath(backupFolder), file.errorString()));
}

qsizetype BackupManifest::indexOf(QByteArrayView path) const
{
    const auto it = std::lower_bound(m_records.begin(), m_records.end(), path,
                                     [this](const Record& record, QByteArrayView wanted) {
                                         return QByteArrayView(m_paths).sliced(
                                                    record.path, record.length) < wanted;
                                     });
    if (it == m_records.end() || QByteArrayView(m_paths).sliced(it->path, it->length) != path)
        return -1;
    return it - m_records.begin();
}

namespace {

// The record of the earlier manifests for a file the plan leaves as it is or links, when it is
// the same file.
const ManifestEntry* recorded(const Os::PlannedFile& file, bool linked, const QByteArray& path,
                              const BackupManifest& previous, const BackupManifest& linkedFrom)
{
    const ManifestEntry* known = (linked ? linkedFrom : previous).find(path);
    return known && known->size == qint64(file.size) && known->modified == file.modified ? known
                                                                                         : nullptr;
}

} // namespace

void copyWhatIsNotRecorded(Os::CopyPlan& plan, const QString& componentFolder,
                           const BackupManifest& previous, const BackupManifest& linkedFrom)
{
    const QByteArray folder = manifestPathBytes(componentFolder) + '/';
    for (Os::PlannedFile& file : plan.files) {
        const bool linked = file.action == Os::PlannedAction::Link;
        if ((!linked && file.action != Os::PlannedAction::Unchanged) ||
            recorded(file, linked, folder + QByteArray::fromStdString(plan.filePath(file)),
                     previous, linkedFrom))
            continue;
        if (linked) {
            file.action = Os::PlannedAction::Copy;
        } else {
            file.action = Os::PlannedAction::Replace;
            file.replacedSize = file.size;
            file.unasked = true;
        }
    }
}

void completeChecksums(Os::CopyPlan& plan, const QString& componentFolder,
                       const BackupManifest& previous, const BackupManifest& linkedFrom)
{
    const QByteArray folder = manifestPathBytes(componentFolder) + '/';
    for (Os::PlannedFile& file : plan.files) {
        if (file.hasDigest && file.result == Os::FileResult::Written)
            continue;
        file.hasDigest = false;
        const bool linked = file.result == Os::FileResult::Linked;
        if (!linked && file.result != Os::FileResult::Unchanged)
            continue;
        if (const ManifestEntry* known =
                recorded(file, linked, folder + QByteArray::fromStdString(plan.filePath(file)),
                         previous, linkedFrom)) {
            file.digest = known->digest;
            file.hasDigest = true;
        }
    }
}

namespace {

QByteArray manifestLine(const ManifestEntry& entry, QByteArrayView path)
{
    return QByteArray(reinterpret_cast<const char*>(entry.digest.data()), 32).toHex() + ' ' +
           QByteArray::number(entry.size) + ' ' + QByteArray::number(entry.modified) + ' ' +
           escaped(path.toByteArray()) + '\n';
}

} // namespace

void writeManifest(const QString& backupFolder, const BackupManifest& previous,
                   const QList<QPair<QString, const Os::CopyPlan*>>& components)
{
    // Whole in memory (about a hundred bytes a file), then the OS layer's durable write, every
    // step of it checked: a buffered writer could lose a failed flush on a full disk.
    std::string text = Header.toStdString();
    const auto add = [&text](const QByteArray& line) {
        text.append(line.constData(), line.size());
    };
    QList<QByteArray> folders;
    for (const auto& [folder, plan] : components)
        folders << manifestPathBytes(folder) + '/';
    std::vector<QByteArray> listed; // the components' files with a checksum now
    for (qsizetype at = 0; at < components.size(); ++at) {
        const Os::CopyPlan& plan = *components[at].second;
        for (const Os::PlannedFile& file : plan.files) {
            if (!file.hasDigest)
                continue;
            listed.push_back(folders[at] + QByteArray::fromStdString(plan.filePath(file)));
            add(manifestLine({qint64(file.size), file.modified, file.digest}, listed.back()));
        }
    }
    std::sort(listed.begin(), listed.end());
    const std::string root = toOsPath(withTrailingSeparator(backupFolder));
    for (qsizetype at = 0; at < previous.size(); ++at) {
        const QByteArrayView path = previous.path(at);
        if (std::none_of(folders.cbegin(), folders.cend(),
                         [&path](const QByteArray& folder) { return path.startsWith(folder); })) {
            add(manifestLine(previous.entry(at), path));
            continue;
        }
        // A file ICQ no longer has, or one the copy did not replace, stays in the backup: it is
        // listed as recorded while the folder holds it unchanged, so that check passes.
        if (std::binary_search(listed.begin(), listed.end(), path))
            continue;
        const ManifestEntry& entry = previous.entry(at);
        std::string relative = path.toByteArray().toStdString();
        std::replace(relative.begin(), relative.end(), '/', Os::PathSeparator);
        // Times to two seconds, as FAT keeps them; check reads the bytes anyway.
        constexpr qint64 TwoSeconds = 2000000000;
        Os::FileState state;
        if (Os::fileState(root + relative, state) == 0 && state.kind == Os::FileState::Kind::File &&
            qint64(state.size) == entry.size && qAbs(state.modified - entry.modified) < TwoSeconds)
            add(manifestLine(entry, path));
    }
    if (const int error = Os::writeFileDurably(toOsPath(manifestPath(backupFolder)), text))
        raiseError(ErrorNumber::PathFileAccessError,
                   QStringLiteral("The manifest %1 could not be written: %2")
                       .arg(manifestPath(backupFolder), fromOsText(Os::errorText(error))));
}

BackupCheck checkBackupFolder(const QString& backupFolder,
                              const std::function<void(qint64 bytes)>& progress)
{
    BackupCheck check;
    BackupManifest manifest;
    check.hasManifest = manifest.load(backupFolder);
    if (!check.hasManifest)
        return check;

    Os::CopyRequest request;
    request.from = toOsPath(withTrailingSeparator(backupFolder) + QStringLiteral("*.*"));
    Os::CopyPlan plan;
    Os::planCopy(request, plan);
    for (const Os::CopyFailure& failure : plan.failures)
        check.unreadable << QDir::toNativeSeparators(fromOsPath(failure.path)) +
                                QStringLiteral(": ") + fromOsText(failure.reason);

    std::vector<bool> seen(std::size_t(manifest.size()), false);
    // From the medium, not the cache a backup just written leaves, and by folder descriptors.
    Os::PlanReader reader(plan);
    for (const Os::PlannedFile& file : plan.files) {
        const QByteArray path = QByteArray::fromStdString(plan.filePath(file, false));
        // The backup's own records: the manifest, and a dated set's record.
        if (file.folder == 0 && (path == ManifestFileName.toUtf8() || path == SetRecordName))
            continue;
        const qsizetype at = manifest.indexOf(path);
        if (at < 0) {
            check.extra << shown(path);
            continue;
        }
        seen[std::size_t(at)] = true;
        const ManifestEntry* entry = &manifest.entry(at);
        Os::Digest digest{};
        std::string error;
        if (qint64(file.size) != entry->size) {
            check.damaged << shown(path);
        } else if (!reader.digest(file, digest, error)) {
            check.unreadable << shown(path) + QStringLiteral(": ") + fromOsText(error);
        } else if (digest != entry->digest) {
            check.damaged << shown(path);
        } else {
            ++check.files;
            check.bytes += entry->size;
        }
        if (progress)
            progress(qint64(file.size));
    }
    for (qsizetype at = 0; at < manifest.size(); ++at)
        if (!seen[std::size_t(at)])
            check.missing << shown(manifest.path(at).toByteArray());
    check.missing.sort();
    return check;
}
