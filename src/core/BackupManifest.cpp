#include "core/BackupManifest.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

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

QByteArray osBytes(const QString& path)
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
    m_entries.clear();
    QFile file(manifestPath(backupFolder));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError || !text.startsWith(Header))
        return false;
    for (const QByteArray& line : text.mid(Header.size()).split('\n')) {
        if (line.isEmpty())
            continue;
        // <sha256> <size> <modified> <path>
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = line.indexOf(' ', first + 1);
        const qsizetype third = line.indexOf(' ', second + 1);
        if (first != 64 || second < 0 || third < 0)
            return false;
        ManifestEntry entry;
        const QByteArray digest = QByteArray::fromHex(line.left(64));
        bool sizeOk = false;
        bool timeOk = false;
        entry.size = line.mid(first + 1, second - first - 1).toLongLong(&sizeOk);
        entry.modified = line.mid(second + 1, third - second - 1).toLongLong(&timeOk);
        QByteArray path;
        if (digest.size() != 32 || !sizeOk || !timeOk || !unescaped(line.mid(third + 1), path))
            return false;
        std::memcpy(entry.digest.data(), digest.constData(), 32);
        m_entries.insert(path, entry);
    }
    return true;
}

void BackupManifest::save(const QString& backupFolder) const
{
    QList<QByteArray> paths = m_entries.keys();
    std::sort(paths.begin(), paths.end());
    QByteArray text = Header;
    for (const QByteArray& path : paths) {
        const ManifestEntry& entry = m_entries[path];
        text += QByteArray(reinterpret_cast<const char*>(entry.digest.data()), 32).toHex() + ' ' +
                QByteArray::number(entry.size) + ' ' + QByteArray::number(entry.modified) + ' ' +
                escaped(path) + '\n';
    }
    // QSaveFile writes a temporary file, syncs it and renames it into place.
    QSaveFile file(manifestPath(backupFolder));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit() ||
        !Os::syncFolder(toOsPath(backupFolder)))
        raiseError(ErrorNumber::PathFileAccessError,
                   QStringLiteral("The manifest %1 could not be written: %2")
                       .arg(manifestPath(backupFolder), file.errorString()));
}

void BackupManifest::discard(const QString& backupFolder)
{
    QFile file(manifestPath(backupFolder));
    if (!file.exists())
        return;
    if (!file.remove() || !Os::syncFolder(toOsPath(backupFolder)))
        raiseError(ErrorNumber::PathFileAccessError,
                   QStringLiteral("The manifest %1 could not be removed: %2")
                       .arg(manifestPath(backupFolder), file.errorString()));
}

const ManifestEntry* BackupManifest::find(const QByteArray& path) const
{
    const auto it = m_entries.constFind(path);
    return it == m_entries.constEnd() ? nullptr : &it.value();
}

void BackupManifest::removeBelow(const QByteArray& folder)
{
    const QByteArray prefix = folder + '/';
    m_entries.removeIf([&prefix](const auto& entry) { return entry.key().startsWith(prefix); });
}

void recordComponent(BackupManifest& manifest, const QString& componentFolder,
                     const Os::CopyPlan& plan, const BackupManifest& previous,
                     const BackupManifest& linkedFrom)
{
    const QByteArray folder = osBytes(componentFolder);
    manifest.removeBelow(folder);
    for (const Os::PlannedFile& file : plan.files) {
        const QByteArray path = folder + '/' + QByteArray::fromStdString(plan.filePath(file));
        ManifestEntry entry{qint64(file.size), file.modified, file.digest};
        if (file.hasDigest && file.result == Os::FileResult::Written) {
            manifest.insert(path, entry);
            continue;
        }
        // A file the copy did not write: the earlier manifests know it when it is the same file.
        const ManifestEntry* known =
            file.result == Os::FileResult::Linked ? linkedFrom.find(path) : previous.find(path);
        if (known && known->size == entry.size && known->modified == entry.modified &&
            (file.result == Os::FileResult::Linked || file.result == Os::FileResult::Unchanged)) {
            manifest.insert(path, *known);
            continue;
        }
        // Otherwise what the backup holds there is read: a file kept by the user's answer, one
        // that was there before any manifest, or one the platform's copy wrote without a
        // checksum.
        const std::string target = plan.targetRoot + '/' + plan.filePath(file);
        const QFileInfo info(fromOsPath(target));
        std::string error;
        if (!info.isFile() || !Os::fileDigest(target, entry.digest, error))
            continue;
        entry.size = info.size();
        entry.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
        manifest.insert(path, entry);
    }
}

BackupCheck checkBackup(const QString& backupFolder,
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
                                QStringLiteral(": ") + QString::fromLocal8Bit(failure.reason);

    QSet<QByteArray> seen;
    for (const Os::PlannedFile& file : plan.files) {
        const QByteArray path = QByteArray::fromStdString(plan.filePath(file, false));
        if (file.folder == 0 && path == ManifestFileName.toUtf8())
            continue;
        const ManifestEntry* entry = manifest.find(path);
        if (!entry) {
            check.extra << shown(path);
            continue;
        }
        seen.insert(path);
        Os::Digest digest{};
        std::string error;
        if (qint64(file.size) != entry->size) {
            check.damaged << shown(path);
        } else if (!Os::fileDigest(plan.sourceRoot + '/' + path.toStdString(), digest, error)) {
            check.unreadable << shown(path) + QStringLiteral(": ") + QString::fromLocal8Bit(error);
        } else if (digest != entry->digest) {
            check.damaged << shown(path);
        } else {
            ++check.files;
            check.bytes += entry->size;
        }
        if (progress)
            progress(qint64(file.size));
    }
    for (auto it = manifest.entries().cbegin(); it != manifest.entries().cend(); ++it)
        if (!seen.contains(it.key()))
            check.missing << shown(it.key());
    check.missing.sort();
    return check;
}
