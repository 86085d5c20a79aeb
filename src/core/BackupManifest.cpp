#include "core/BackupManifest.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/SetRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <charconv>

namespace {

// The first line names the checksum; 2.0's named none and used SHA-256.
const QByteArray Header = QByteArrayLiteral("ZEB 2000 manifest 2 xxh3-128\n");
const QByteArray Sha256Header = QByteArrayLiteral("ZEB 2000 manifest 1\n");
const QByteArray NamingHeader = QByteArrayLiteral("ZEB 2000 manifest 2 ");

QString manifestPath(const QString& backupFolder)
{
    return withTrailingSeparator(backupFolder) + ManifestFileName;
}

const char HexDigits[] = "0123456789abcdef";    // checksums
const char EscapeDigits[] = "0123456789ABCDEF"; // escaped bytes in names

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Two hex digits a byte, read straight into the record: a repeat backup reads every line.
bool fromHex(QByteArrayView hex, unsigned char* bytes)
{
    for (qsizetype at = 0; at + 1 < hex.size(); at += 2) {
        const int high = hexValue(hex[at]);
        const int low = hexValue(hex[at + 1]);
        if (high < 0 || low < 0)
            return false;
        *bytes++ = static_cast<unsigned char>(high << 4 | low);
    }
    return hex.size() % 2 == 0;
}

bool toNumber(QByteArrayView text, qint64& value)
{
    const auto [end, error] = std::from_chars(text.begin(), text.end(), value);
    return !text.isEmpty() && error == std::errc() && end == text.end();
}

// Names are bytes: every byte but '/' and NUL may stand in one, newlines included. A line holds
// one path, so the bytes that would break it (and '%') are written as %XX.
void appendEscaped(std::string& out, QByteArrayView path)
{
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            out += '%';
            out += EscapeDigits[byte >> 4];
            out += EscapeDigits[byte & 15];
        } else {
            out += c;
        }
    }
}

// Appends the path a line holds; false when it is empty or an escape is not two hex digits.
bool appendUnescaped(QByteArrayView text, QByteArray& paths)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            paths += text[at];
            continue;
        }
        const int high = at + 2 < text.size() ? hexValue(text[at + 1]) : -1;
        const int low = high < 0 ? -1 : hexValue(text[at + 2]);
        if (low < 0)
            return false;
        paths += char(high << 4 | low);
        at += 2;
    }
    return !text.isEmpty();
}

QByteArray manifestPathBytes(const QString& path)
{
    QByteArray bytes = QByteArray::fromStdString(toOsPath(QDir::fromNativeSeparators(path)));
    while (bytes.endsWith('/'))
        bytes.chop(1);
    return bytes;
}

// A component's folder as the backup holds it: the copy merges into a folder whose name
// differs only in letter case, and the plan's target root is spelled as on the disk.
QByteArray componentOnDisk(const Os::CopyPlan& plan, const QString& componentFolder)
{
    const QByteArray folder = manifestPathBytes(componentFolder);
    QByteArray root = QByteArray::fromStdString(plan.targetRoot).replace(Os::PathSeparator, '/');
    while (root.endsWith('/'))
        root.chop(1);
    const QList<QByteArray> names = root.split('/');
    const qsizetype count = folder.count('/') + 1;
    if (names.size() <= count)
        return folder;
    const QByteArray onDisk = names.mid(names.size() - count).join('/');
    return QString::fromUtf8(onDisk).compare(QString::fromUtf8(folder), Qt::CaseInsensitive) == 0
               ? onDisk
               : folder;
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
    m_sha256.clear();
    m_isSha256 = false;
    m_refusal.clear();
    QFile file(manifestPath(backupFolder));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.readLine();
    m_isSha256 = header == Sha256Header;
    if (!m_isSha256 && header != Header) {
        if (header.startsWith(NamingHeader) && header.endsWith('\n'))
            m_refusal = QStringLiteral("unknown checksum \"%1\"")
                            .arg(QString::fromUtf8(header.sliced(NamingHeader.size()).chopped(1)));
        return false;
    }
    const qsizetype hexLength = m_isSha256 ? 64 : 2 * qsizetype(sizeof(Os::Digest));
    // Room for as many records as the shortest lines could make, so that growing never holds
    // two copies of a large manifest; what stays unused is never touched.
    const qint64 shortestLine = hexLength + 7;
    m_records.reserve(std::size_t(file.size() / shortestLine + 1));
    if (m_isSha256)
        m_sha256.reserve(m_records.capacity());
    m_paths.reserve(file.size());
    // Line by line: the whole text of a large manifest is never held at once.
    for (;;) {
        QByteArray line = file.readLine();
        if (line.isEmpty())
            break;
        if (!line.endsWith('\n'))
            return false;
        line.chop(1);
        // <checksum> <size> <modified> <path>
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = line.indexOf(' ', first + 1);
        const qsizetype third = line.indexOf(' ', second + 1);
        if (first != hexLength || second < 0 || third < 0)
            return false;
        const QByteArrayView view(line);
        Record record{};
        unsigned char* const digest =
            m_isSha256 ? m_sha256.emplace_back().data() : record.entry.digest.data();
        record.path = quint32(m_paths.size());
        if (!fromHex(view.first(hexLength), digest) ||
            !toNumber(view.sliced(first + 1, second - first - 1), record.entry.size) ||
            !toNumber(view.sliced(second + 1, third - second - 1), record.entry.modified) ||
            !appendUnescaped(view.sliced(third + 1), m_paths))
            return false;
        record.length = quint32(m_paths.size() - record.path);
        m_records.push_back(record);
    }
    if (file.error() != QFileDevice::NoError)
        return false;
    // The paths are stored in the order of the lines: where a record's path begins tells its
    // line, and so its SHA-256 once the records are sorted.
    std::vector<quint32> lineStarts;
    if (m_isSha256)
        for (const Record& record : m_records)
            lineStarts.push_back(record.path);
    std::sort(m_records.begin(), m_records.end(), [this](const Record& a, const Record& b) {
        return QByteArrayView(m_paths).sliced(a.path, a.length) <
               QByteArrayView(m_paths).sliced(b.path, b.length);
    });
    if (m_isSha256) {
        std::vector<std::array<unsigned char, 32>> sorted;
        sorted.reserve(m_records.size());
        for (const Record& record : m_records)
            sorted.push_back(m_sha256[std::size_t(
                std::lower_bound(lineStarts.begin(), lineStarts.end(), record.path) -
                lineStarts.begin())]);
        m_sha256.swap(sorted);
    }
    return true;
}

void BackupManifest::discard(const QString& backupFolder)
{
    QFile file(manifestPath(backupFolder));
    if (!file.exists())
        return;
    if (!file.remove() || Os::syncFileSystem(toOsPath(backupFolder)) != 0)
        raiseError(ErrorNumber::PathFileAccessError,
                   Text("Task", "The manifest %1 could not be removed: %2")
                       .arg(manifestPath(backupFolder))
                       .arg(file.errorString()));
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
    const BackupManifest& manifest = linked ? linkedFrom : previous;
    // A SHA-256 record gives no XXH3 checksum: the file is read from the source again.
    if (manifest.isSha256())
        return nullptr;
    const ManifestEntry* known = manifest.find(path);
    return known && known->size == qint64(file.size) && known->modified == file.modified ? known
                                                                                         : nullptr;
}

} // namespace

void copyWhatIsNotRecorded(Os::CopyPlan& plan, const QString& componentFolder,
                           const BackupManifest& previous, const BackupManifest& linkedFrom)
{
    const QByteArray folder = componentOnDisk(plan, componentFolder) + '/';
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
    const QByteArray folder = componentOnDisk(plan, componentFolder) + '/';
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

void appendLine(std::string& text, const ManifestEntry& entry, QByteArrayView path)
{
    for (const unsigned char byte : entry.digest) {
        text += HexDigits[byte >> 4];
        text += HexDigits[byte & 15];
    }
    char number[24];
    for (const qint64 value : {entry.size, entry.modified}) {
        text += ' ';
        text.append(number, std::to_chars(number, number + sizeof number, value).ptr);
    }
    text += ' ';
    appendEscaped(text, path);
    text += '\n';
}

// A 2.0 manifest's SHA-256 records cannot stand in this one, and the backup's own bytes never
// give a checksum on their own: each file to carry over is read once, and its XXH3-128 is
// recorded only when its SHA-256 proves the bytes are those read from ICQ when it was backed
// up. A file that went bad since is left out, and check names it.
void carrySha256Records(std::string& text, const QString& backupFolder,
                        const BackupManifest& previous, const std::vector<bool>& carried)
{
    if (std::find(carried.begin(), carried.end(), true) == carried.end())
        return;
    Os::CopyRequest request;
    request.from = toOsPath(withTrailingSeparator(backupFolder) + QStringLiteral("*.*"));
    Os::CopyPlan plan;
    Os::planCopy(request, plan);
    Os::PlanReader reader(plan);
    for (const Os::PlannedFile& file : plan.files) {
        const qsizetype at = previous.indexOf(plan.filePath(file, false));
        if (at < 0 || !carried[std::size_t(at)] || qint64(file.size) != previous.entry(at).size)
            continue;
        QCryptographicHash sha256(QCryptographicHash::Sha256);
        Os::DigestBuilder xxh3;
        std::string error;
        const bool read = reader.read(
            file,
            [&](const char* data, std::size_t size) {
                sha256.addData(QByteArrayView(data, qsizetype(size)));
                xxh3.add(data, size);
            },
            error);
        const std::array<unsigned char, 32>& recorded = previous.sha256(at);
        if (!read || sha256.result() != QByteArrayView(recorded.data(), qsizetype(recorded.size())))
            continue;
        appendLine(text, {previous.entry(at).size, previous.entry(at).modified, xxh3.result()},
                   previous.path(at));
    }
}

} // namespace

void writeManifest(const QString& backupFolder, const BackupManifest& previous,
                   const QList<QPair<QString, const Os::CopyPlan*>>& components)
{
    // Whole in memory (about a hundred bytes a file), then the OS layer's durable write, every
    // step of it checked: a buffered writer could lose a failed flush on a full disk.
    std::string text = Header.toStdString();
    QList<QByteArray> folders;
    for (const auto& [folder, plan] : components)
        folders << componentOnDisk(*plan, folder) + '/';
    std::vector<QByteArray> listed; // the components' files with a checksum now
    for (qsizetype at = 0; at < components.size(); ++at) {
        const Os::CopyPlan& plan = *components[at].second;
        for (const Os::PlannedFile& file : plan.files) {
            if (!file.hasDigest)
                continue;
            listed.push_back(folders[at] + QByteArray::fromStdString(plan.filePath(file)));
            appendLine(text, {qint64(file.size), file.modified, file.digest}, listed.back());
        }
    }
    std::sort(listed.begin(), listed.end());
    const std::string root = toOsPath(withTrailingSeparator(backupFolder));
    std::vector<bool> carried(std::size_t(previous.size()), false);
    for (qsizetype at = 0; at < previous.size(); ++at) {
        const QByteArrayView path = previous.path(at);
        if (std::none_of(folders.cbegin(), folders.cend(),
                         [&path](const QByteArray& folder) { return path.startsWith(folder); })) {
            carried[std::size_t(at)] = true;
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
        carried[std::size_t(at)] =
            Os::fileState(root + relative, state) == 0 && state.kind == Os::FileState::Kind::File &&
            qint64(state.size) == entry.size && qAbs(state.modified - entry.modified) < TwoSeconds;
    }
    if (previous.isSha256())
        carrySha256Records(text, backupFolder, previous, carried);
    else
        for (qsizetype at = 0; at < previous.size(); ++at)
            if (carried[std::size_t(at)])
                appendLine(text, previous.entry(at), previous.path(at));
    if (const int error = Os::writeFileDurably(toOsPath(manifestPath(backupFolder)), text))
        raiseError(ErrorNumber::PathFileAccessError,
                   Text("Task", "The manifest %1 could not be written: %2")
                       .arg(manifestPath(backupFolder))
                       .arg(fromOsText(Os::errorText(error))));
}

namespace {

// Reads a file and compares it with its record, by the manifest's checksum.
bool readMatches(Os::PlanReader& reader, const Os::PlannedFile& file,
                 const BackupManifest& manifest, qsizetype at, bool& matches, std::string& error)
{
    if (!manifest.isSha256()) {
        Os::Digest digest{};
        if (!reader.digest(file, digest, error))
            return false;
        matches = digest == manifest.entry(at).digest;
        return true;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!reader.read(
            file,
            [&hash](const char* data, std::size_t size) {
                hash.addData(QByteArrayView(data, qsizetype(size)));
            },
            error))
        return false;
    const std::array<unsigned char, 32>& recorded = manifest.sha256(at);
    matches = hash.result() == QByteArrayView(recorded.data(), qsizetype(recorded.size()));
    return true;
}

} // namespace

BackupCheck checkBackupFolder(const QString& backupFolder,
                              const std::function<void(qint64 bytes)>& progress)
{
    BackupCheck check;
    BackupManifest manifest;
    check.hasManifest = manifest.load(backupFolder);
    check.refusal = manifest.refusal();
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
    // Where the file system finds a name in any letter case, so does check, after the exact
    // match fails: a copy there merges into the spelling the backup already had.
    const bool foldsCase = Os::namesIgnoreCase(toOsPath(backupFolder));
    QHash<QString, qsizetype> folded; // made at the first miss
    const auto lookUp = [&](const QByteArray& path) {
        const qsizetype at = manifest.indexOf(path);
        if (at >= 0 || !foldsCase)
            return at;
        if (folded.isEmpty())
            for (qsizetype record = 0; record < manifest.size(); ++record)
                folded.insert(QString::fromUtf8(manifest.path(record)).toCaseFolded(), record);
        return folded.value(QString::fromUtf8(path).toCaseFolded(), -1);
    };
    // From the medium, not the cache a backup just written leaves, and by folder descriptors.
    Os::PlanReader reader(plan);
    for (const Os::PlannedFile& file : plan.files) {
        const QByteArray path = QByteArray::fromStdString(plan.filePath(file, false));
        // The backup's own records: the manifest, and a dated set's record.
        if (file.folder == 0 && (path == ManifestFileName.toUtf8() || path == SetRecordName))
            continue;
        const qsizetype at = lookUp(path);
        if (at < 0) {
            check.extra << shown(path);
            continue;
        }
        seen[std::size_t(at)] = true;
        const ManifestEntry* entry = &manifest.entry(at);
        bool matches = false;
        std::string error;
        if (qint64(file.size) != entry->size) {
            check.damaged << shown(path);
        } else if (!readMatches(reader, file, manifest, at, matches, error)) {
            check.unreadable << shown(path) + QStringLiteral(": ") + fromOsText(error);
        } else if (!matches) {
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
