#include "core/BackupManifest.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/SetRecord.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

namespace {

// The first line names the checksum; 2.0's named none and used SHA-256.
const QByteArray Header = QByteArrayLiteral("ZEB 2000 manifest 2 xxh3-128\n");
const QByteArray Sha256Header = QByteArrayLiteral("ZEB 2000 manifest 1\n");
const QByteArray NamingHeader = QByteArrayLiteral("ZEB 2000 manifest 2 ");

QString manifestPath(const QString& backupFolder)
{
    return withTrailingSeparator(backupFolder) + ManifestFileName;
}

constexpr char HexDigits[] = "0123456789abcdef";    // checksums
constexpr char EscapeDigits[] = "0123456789ABCDEF"; // escaped bytes in names

// Each byte's value as a hex digit, -1 for no digit: a repeat reads 32 of them a file.
constexpr std::array<signed char, 256> HexValues = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int digit = 0; digit < 16; ++digit) {
        values[std::size_t(HexDigits[digit])] = static_cast<signed char>(digit);
        values[std::size_t(EscapeDigits[digit])] = static_cast<signed char>(digit);
    }
    return values;
}();

int hexValue(char c)
{
    return HexValues[static_cast<unsigned char>(c)];
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

// Where the first space at or after `from` is, -1 for none.
qsizetype spaceFrom(QByteArrayView text, qsizetype from)
{
    if (from < 0 || from >= text.size())
        return -1;
    const void* found = std::memchr(text.data() + from, ' ', std::size_t(text.size() - from));
    return found ? static_cast<const char*>(found) - text.data() : -1;
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
    qsizetype plain = 0; // the start of the bytes not written yet, which need no escape
    for (qsizetype at = 0; at < path.size(); ++at) {
        const auto byte = static_cast<unsigned char>(path[at]);
        if (byte >= 0x20 && byte != 0x7F && byte != '%')
            continue;
        out.append(path.data() + plain, std::size_t(at - plain));
        out += '%';
        out += EscapeDigits[byte >> 4];
        out += EscapeDigits[byte & 15];
        plain = at + 1;
    }
    out.append(path.data() + plain, std::size_t(path.size() - plain));
}

// Appends the path a line holds; false when it is empty or an escape is not two hex digits.
bool appendUnescaped(QByteArrayView text, QByteArray& paths)
{
    for (qsizetype at = 0; at < text.size();) {
        // The bytes up to the next escape go in at once: most names have none.
        const qsizetype escape = text.indexOf('%', at);
        const qsizetype plainEnd = escape < 0 ? text.size() : escape;
        const qsizetype end = paths.size();
        paths.resize(end + plainEnd - at);
        std::memcpy(paths.data() + end, text.data() + at, std::size_t(plainEnd - at));
        if (escape < 0)
            break;
        const int high = escape + 2 < text.size() ? hexValue(text[escape + 1]) : -1;
        const int low = high < 0 ? -1 : hexValue(text[escape + 2]);
        if (low < 0)
            return false;
        paths += char(high << 4 | low);
        at = escape + 3;
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

namespace {

// A manifest's file, read line by line: the whole text of a large one is never held at once.
class ManifestLines
{
public:
    // Opens the file and reads its first line; sha256 tells which checksum it names.
    bool open(const QString& path, QString& refusal)
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray header = m_file.readLine();
        m_sha256 = header == Sha256Header;
        if (m_sha256 || header == Header)
            return true;
        if (header.startsWith(NamingHeader) && header.endsWith('\n'))
            refusal = QStringLiteral("unknown checksum \"%1\"")
                          .arg(QString::fromUtf8(header.sliced(NamingHeader.size()).chopped(1)));
        return false;
    }
    bool isSha256() const { return m_sha256; }
    qint64 size() const { return m_file.size(); }
    qsizetype hexLength() const { return m_sha256 ? 64 : 2 * qsizetype(sizeof(Os::Digest)); }

    // The next record: its path appended to `paths`, its checksum to `digest`. Answers 0 at the
    // end, 1 for a record, -1 for a line that is no record.
    int next(ManifestEntry& entry, unsigned char* digest, QByteArray& paths)
    {
        QByteArrayView view;
        const int line = nextLine(view);
        if (line <= 0)
            return line;
        // <checksum> <size> <modified> <path>
        const qsizetype first = spaceFrom(view, 0);
        const qsizetype second = spaceFrom(view, first + 1);
        const qsizetype third = spaceFrom(view, second + 1);
        if (first != hexLength() || second < 0 || third < 0)
            return -1;
        return fromHex(view.first(first), digest) &&
                       toNumber(view.sliced(first + 1, second - first - 1), entry.size) &&
                       toNumber(view.sliced(second + 1, third - second - 1), entry.modified) &&
                       appendUnescaped(view.sliced(third + 1), paths)
                   ? 1
                   : -1;
    }

private:
    // The next line without its newline, viewed in the buffer until the next call: a repeat
    // reads every line, and a copy of each would cost an allocation a file. Answers as next().
    int nextLine(QByteArrayView& line)
    {
        for (;;) {
            const qsizetype end = m_buffer.indexOf('\n', m_start);
            if (end >= 0) {
                line = QByteArrayView(m_buffer).sliced(m_start, end - m_start);
                m_start = end + 1;
                return 1;
            }
            // Keep the unfinished line and read more behind it, in a buffer that grows only
            // for a line longer than itself.
            m_buffer.remove(0, m_start);
            m_start = 0;
            const qsizetype kept = m_buffer.size();
            m_buffer.resize(std::max<qsizetype>(kept + ChunkSize, 2 * kept));
            const qint64 read = m_file.read(m_buffer.data() + kept, m_buffer.size() - kept);
            m_buffer.resize(kept + std::max<qint64>(read, 0));
            if (read < 0)
                return -1;
            if (read == 0)
                return m_buffer.isEmpty() ? 0 : -1; // a last line without its newline
        }
    }

    static constexpr qsizetype ChunkSize = 64 * 1024;
    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_start = 0; // where the next line begins in m_buffer
    bool m_sha256 = false;
};

} // namespace

bool BackupManifest::load(const QString& backupFolder)
{
    m_streamed.clear();
    m_paths.clear();
    m_records.clear();
    m_sha256.clear();
    m_refusal.clear();
    ManifestLines lines;
    const bool opened = lines.open(manifestPath(backupFolder), m_refusal);
    m_isSha256 = lines.isSha256();
    if (!opened)
        return false;
    // Room for as many records as the shortest lines could make, so that growing never holds
    // two copies of a large manifest; what stays unused is never touched.
    const qint64 shortestLine = lines.hexLength() + 7;
    m_records.reserve(std::size_t(lines.size() / shortestLine + 1));
    if (m_isSha256)
        m_sha256.reserve(m_records.capacity());
    m_paths.reserve(lines.size());
    for (;;) {
        Record record{};
        std::array<unsigned char, 32> sha256{};
        record.path = quint32(m_paths.size());
        const int read = lines.next(
            record.entry, m_isSha256 ? sha256.data() : record.entry.digest.data(), m_paths);
        if (read < 0) {
            m_paths.clear();
            m_records.clear();
            m_sha256.clear();
            return false;
        }
        if (read == 0)
            break;
        record.length = quint32(m_paths.size() - record.path);
        m_records.push_back(record);
        if (m_isSha256)
            m_sha256.push_back(sha256);
    }
    // The paths are stored in the order of the lines: where a record's path begins tells its
    // line, and so its SHA-256 once the records are sorted.
    std::vector<quint32> lineStarts;
    if (m_isSha256)
        for (const Record& record : m_records)
            lineStarts.push_back(record.path);
    std::sort(m_records.begin(), m_records.end(),
              [this](const Record& a, const Record& b) { return pathOf(a) < pathOf(b); });
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

bool BackupManifest::open(const QString& backupFolder)
{
    const QString path = manifestPath(backupFolder);
    ManifestLines lines;
    m_refusal.clear();
    if (!lines.open(path, m_refusal) || lines.isSha256())
        return load(backupFolder);
    // Every line is read once here, so that a damaged manifest is found before it is used.
    QByteArray previous;
    QByteArray current;
    for (;;) {
        ManifestEntry entry;
        current.truncate(0); // keeps its room for the next line
        const int read = lines.next(entry, entry.digest.data(), current);
        if (read < 0)
            return load(backupFolder);
        if (read == 0)
            break;
        if (!previous.isNull() && !(previous < current))
            return load(backupFolder);
        previous.swap(current);
    }
    m_paths.clear();
    m_records.clear();
    m_sha256.clear();
    m_isSha256 = false;
    m_streamed = path;
    return true;
}

void BackupManifest::add(QByteArrayView path, const ManifestEntry& entry)
{
    const auto start = quint32(m_paths.size());
    m_paths += path;
    m_records.push_back({entry, start, quint32(path.size())});
}

void BackupManifest::forEach(QByteArrayView prefix, const Visitor& take) const
{
    if (m_streamed.isEmpty()) {
        auto it = std::lower_bound(m_records.begin(), m_records.end(), prefix,
                                   [this](const Record& record, QByteArrayView wanted) {
                                       return pathOf(record) < wanted;
                                   });
        for (; it != m_records.end(); ++it) {
            const QByteArrayView found = pathOf(*it);
            if (!found.startsWith(prefix))
                break;
            take(found, it->entry);
        }
        return;
    }
    ManifestLines lines;
    QString refusal;
    if (!lines.open(m_streamed, refusal))
        return;
    QByteArray current;
    for (;;) {
        ManifestEntry entry;
        current.truncate(0); // keeps its room for the next line
        if (lines.next(entry, entry.digest.data(), current) <= 0)
            break;
        if (current.startsWith(prefix))
            take(current, entry);
        else if (QByteArrayView(current) > prefix)
            break;
    }
}

void BackupManifest::retain(const std::function<bool(QByteArrayView path)>& keep)
{
    if (m_streamed.isEmpty()) {
        // A 2.0 manifest's records keep their SHA-256 beside them.
        if (!m_isSha256)
            std::erase_if(m_records, [&](const Record& record) { return !keep(pathOf(record)); });
        return;
    }
    ManifestLines lines;
    QString refusal;
    const bool opened = lines.open(m_streamed, refusal);
    m_streamed.clear();
    while (opened) {
        Record record{};
        record.path = quint32(m_paths.size());
        if (lines.next(record.entry, record.entry.digest.data(), m_paths) <= 0)
            break;
        record.length = quint32(m_paths.size() - record.path);
        if (keep(pathOf(record)))
            m_records.push_back(record);
        else
            m_paths.truncate(record.path);
    }
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
    const auto it = std::lower_bound(
        m_records.begin(), m_records.end(), path,
        [this](const Record& record, QByteArrayView wanted) { return pathOf(record) < wanted; });
    if (it == m_records.end() || pathOf(*it) != path)
        return -1;
    return it - m_records.begin();
}

namespace {

// A component's files in the byte order of their paths as the manifest names them, so that a
// manifest is read alongside in one pass. A folder's files and subfolders are interleaved by
// name, a subfolder's name taken with its '/', since its files' paths continue so.
class OrderedFiles
{
public:
    using Wanted = bool (*)(const Os::PlannedFile& file);
    OrderedFiles(const Os::CopyPlan& plan, const QByteArray& folder, Wanted wanted)
        : m_plan(plan), m_folder(folder), m_wanted(wanted), m_files(plan.folders.size()),
          m_subfolders(plan.folders.size())
    {
        for (std::uint32_t at = 0; at < plan.files.size(); ++at) {
            auto& range = m_files[plan.files[at].folder];
            if (range.first == range.second)
                range.first = at;
            range.second = at + 1;
        }
        for (std::uint32_t at = 1; at < plan.folders.size(); ++at)
            m_subfolders[plan.folders[at].parent].push_back(at);
        if (!plan.folders.empty())
            enter(0);
        next();
    }
    bool atEnd() const { return m_folders.empty(); }
    const Os::PlannedFile& file() const { return m_plan.files[m_file]; }
    Os::PlannedFile& file() { return const_cast<Os::PlannedFile&>(m_plan.files[m_file]); }
    QByteArrayView path() const { return m_path; }
    // Moves to the next wanted file.
    void next()
    {
        do
            advance();
        while (!atEnd() && !m_wanted(file()));
        if (atEnd())
            return;
        if (file().folder != m_pathFolder || m_path.empty()) {
            m_pathFolder = file().folder;
            m_folderPath.assign(m_folder.constData(), std::size_t(m_folder.size()));
            m_folderPath += m_plan.folderPath(m_pathFolder);
            if (m_pathFolder != 0)
                m_folderPath += '/';
        }
        m_path.assign(m_folderPath);
        m_path += m_plan.name(file().targetName);
    }
    // Moves to the first wanted file whose path is not before `path`.
    void skipTo(QByteArrayView path)
    {
        while (!atEnd() && QByteArrayView(m_path) < path)
            next();
    }

private:
    // A folder's entries, sorted when it is entered: a file (its index) or a subfolder (the
    // folder's, marked). Only the folders being walked are held, never the whole order.
    static constexpr std::uint32_t FolderMark = 1u << 31;
    struct Entered
    {
        std::vector<std::uint32_t> entries;
        std::size_t at = 0;
    };
    void enter(std::uint32_t folder)
    {
        Entered entered;
        for (std::uint32_t at = m_files[folder].first; at < m_files[folder].second; ++at)
            entered.entries.push_back(at);
        for (const std::uint32_t subfolder : m_subfolders[folder])
            entered.entries.push_back(subfolder | FolderMark);
        // A subfolder's name is compared as if '/' followed it, without making that string:
        // a repeat sorts every folder of the plan this way.
        const auto name = [this](std::uint32_t entry) {
            return (entry & FolderMark)
                       ? m_plan.name(m_plan.folders[entry & ~FolderMark].targetName)
                       : m_plan.name(m_plan.files[entry].targetName);
        };
        const auto less = [&name](std::uint32_t a, std::uint32_t b) {
            const std::string_view nameA = name(a);
            const std::string_view nameB = name(b);
            const std::size_t common = std::min(nameA.size(), nameB.size());
            if (const int order = nameA.substr(0, common).compare(nameB.substr(0, common)))
                return order < 0;
            // The byte after the common part: the name's, its folder's '/', or none (-1).
            const auto after = [common](std::string_view name, bool folder) {
                return common < name.size() ? int(static_cast<unsigned char>(name[common]))
                       : folder             ? int('/')
                                            : -1;
            };
            return after(nameA, a & FolderMark) < after(nameB, b & FolderMark);
        };
        // The walk lists a folder's files in their order without letter case, which is mostly
        // this one already.
        if (!std::is_sorted(entered.entries.begin(), entered.entries.end(), less))
            std::sort(entered.entries.begin(), entered.entries.end(), less);
        m_folders.push_back(std::move(entered));
    }
    void advance()
    {
        while (!m_folders.empty()) {
            Entered& innermost = m_folders.back();
            if (innermost.at == innermost.entries.size()) {
                m_folders.pop_back();
                continue;
            }
            const std::uint32_t entry = innermost.entries[innermost.at++];
            if (!(entry & FolderMark)) {
                m_file = entry;
                return;
            }
            enter(entry & ~FolderMark);
        }
    }

    const Os::CopyPlan& m_plan;
    const QByteArray m_folder; // the component's, with its '/'
    const Wanted m_wanted;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_files; // each folder's, from..to
    std::vector<std::vector<std::uint32_t>> m_subfolders;
    std::vector<Entered> m_folders; // from the root to the one whose files come now
    std::uint32_t m_file = 0;
    std::uint32_t m_pathFolder = 0;
    std::string m_folderPath;
    std::string m_path; // kept, not made anew: a repeat moves through every file of the plan
};

bool leftOrLinked(const Os::PlannedFile& file)
{
    return file.action == Os::PlannedAction::Unchanged || file.action == Os::PlannedAction::Link;
}

// A file left as it is whose checksum its record gave: the previous manifest's record, in the
// plan.
bool recordedBefore(const Os::PlannedFile& file)
{
    return file.hasDigest && file.action == Os::PlannedAction::Unchanged;
}

bool withChecksum(const Os::PlannedFile& file)
{
    return file.hasDigest;
}

} // namespace

void copyWhatIsNotRecorded(Os::CopyPlan& plan, const QString& componentFolder,
                           const BackupManifest& previous, const BackupManifest& linkedFrom)
{
    const QByteArray folder = componentOnDisk(plan, componentFolder) + '/';
    for (const bool linked : {false, true}) {
        const BackupManifest& manifest = linked ? linkedFrom : previous;
        // A SHA-256 record gives no XXH3 checksum: the file is read from the source again.
        if (manifest.isSha256())
            continue;
        const Os::PlannedAction action =
            linked ? Os::PlannedAction::Link : Os::PlannedAction::Unchanged;
        OrderedFiles files(plan, folder, leftOrLinked);
        manifest.forEach(folder, [&](QByteArrayView path, const ManifestEntry& known) {
            files.skipTo(path);
            if (files.atEnd() || files.path() != path)
                return;
            Os::PlannedFile& file = files.file();
            if (file.action == action && known.size == qint64(file.size) &&
                known.modified == file.modified) {
                file.digest = known.digest;
                file.hasDigest = true;
            }
        });
    }
    for (Os::PlannedFile& file : plan.files) {
        if (file.hasDigest || !leftOrLinked(file))
            continue;
        if (file.action == Os::PlannedAction::Link) {
            file.action = Os::PlannedAction::Copy;
        } else {
            file.action = Os::PlannedAction::Replace;
            plan.bytesReplaced += file.size;
            file.unasked = true;
        }
    }
}

void completeChecksums(Os::CopyPlan& plan)
{
    for (Os::PlannedFile& file : plan.files)
        file.hasDigest = file.hasDigest && (file.result == Os::FileResult::Written ||
                                            file.result == Os::FileResult::Unchanged ||
                                            file.result == Os::FileResult::Linked);
}

void retainUnplanned(BackupManifest& previous, const PlannedComponents& walked)
{
    std::vector<OrderedFiles> plans;
    plans.reserve(std::size_t(walked.size()));
    for (const auto& [folder, plan] : walked)
        plans.emplace_back(*plan, componentOnDisk(*plan, folder) + '/', recordedBefore);
    previous.retain([&plans](QByteArrayView path) {
        for (OrderedFiles& files : plans) {
            files.skipTo(path);
            if (!files.atEnd() && files.path() == path)
                return false;
        }
        return true;
    });
}

namespace {

void appendLine(std::string& text, const ManifestEntry& entry, QByteArrayView path)
{
    const std::size_t start = text.size();
    text.resize(start + 2 * entry.digest.size());
    char* hex = text.data() + start;
    for (const unsigned char byte : entry.digest) {
        *hex++ = HexDigits[byte >> 4];
        *hex++ = HexDigits[byte & 15];
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
BackupManifest carrySha256Records(const QString& backupFolder, const BackupManifest& previous,
                                  const std::vector<bool>& carried)
{
    BackupManifest proven;
    if (std::find(carried.begin(), carried.end(), true) == carried.end())
        return proven;
    Os::CopyRequest request;
    request.from = toOsPath(withTrailingSeparator(backupFolder) + QStringLiteral("*.*"));
    Os::CopyPlan plan;
    Os::planCopy(request, plan);
    Os::PlanReader reader(plan);
    std::vector<std::pair<qsizetype, Os::Digest>> found;
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
        if (read && sha256.result() == QByteArrayView(recorded.data(), qsizetype(recorded.size())))
            found.emplace_back(at, xxh3.result());
    }
    std::sort(found.begin(), found.end());
    for (const auto& [at, digest] : found)
        proven.add(previous.path(at),
                   {previous.entry(at).size, previous.entry(at).modified, digest});
    return proven;
}

} // namespace

void writeManifest(const QString& backupFolder, const BackupManifest& previous,
                   const PlannedComponents& components, const PlannedComponents& walked)
{
    QList<QByteArray> folders;
    for (const auto& [folder, plan] : components)
        folders << componentOnDisk(*plan, folder) + '/';
    // The files with a checksum now, and the previous records of components walked but not
    // copied, which their plans hold.
    std::vector<OrderedFiles> plans;
    plans.reserve(std::size_t(components.size() + walked.size()));
    for (qsizetype at = 0; at < components.size(); ++at)
        plans.emplace_back(*components[at].second, folders[at], withChecksum);
    for (const auto& [folder, plan] : walked)
        if (std::none_of(components.cbegin(), components.cend(),
                         [plan = plan](const auto& copied) { return copied.second == plan; }))
            plans.emplace_back(*plan, componentOnDisk(*plan, folder) + '/', recordedBefore);

    const std::string root = toOsPath(withTrailingSeparator(backupFolder));
    // A previous record outside the components copied now is carried over. A file ICQ no longer
    // has, or one the copy did not replace, stays in the backup: it is listed as recorded while
    // the folder holds it unchanged, so that check passes.
    const auto carried = [&](QByteArrayView path, const ManifestEntry& entry) {
        if (std::none_of(folders.cbegin(), folders.cend(),
                         [&path](const QByteArray& folder) { return path.startsWith(folder); }))
            return true;
        std::string relative = path.toByteArray().toStdString();
        std::replace(relative.begin(), relative.end(), '/', Os::PathSeparator);
        // Times to two seconds, as FAT keeps them; check reads the bytes anyway.
        constexpr qint64 TwoSeconds = 2000000000;
        Os::FileState state;
        return Os::fileState(root + relative, state) == 0 &&
               state.kind == Os::FileState::Kind::File && qint64(state.size) == entry.size &&
               qAbs(state.modified - entry.modified) < TwoSeconds;
    };
    // Whether a plan lists the path; each plan is moved up to it.
    const auto listed = [&plans](QByteArrayView path) {
        bool found = false;
        for (OrderedFiles& files : plans) {
            files.skipTo(path);
            found = found || (!files.atEnd() && files.path() == path);
        }
        return found;
    };
    BackupManifest proven;
    const BackupManifest* records = &previous;
    if (previous.isSha256()) {
        std::vector<bool> carry(std::size_t(previous.size()), false);
        std::vector<OrderedFiles> fromTheStart = plans;
        for (qsizetype at = 0; at < previous.size(); ++at)
            carry[std::size_t(at)] =
                !listed(previous.path(at)) && carried(previous.path(at), previous.entry(at));
        plans = std::move(fromTheStart);
        proven = carrySha256Records(backupFolder, previous, carry);
        records = &proven;
    }

    // Line by line in byte order, each piece handed to the OS layer's durable write, every
    // step of it checked: a buffered writer could lose a failed flush on a full disk.
    const auto produce = [&](const Os::PieceWriter& write) {
        std::string text = Header.toStdString();
        constexpr std::size_t Piece = std::size_t{1} << 18;
        const auto flushIfFull = [&] {
            if (text.size() >= Piece) {
                write(text);
                text.clear();
            }
        };
        // The plans' files before `path`, in order.
        const auto writePlansBefore = [&](const QByteArrayView* path) {
            for (;;) {
                OrderedFiles* first = nullptr;
                for (OrderedFiles& files : plans)
                    if (!files.atEnd() && (!first || files.path() < first->path()))
                        first = &files;
                if (!first || (path && !(QByteArrayView(first->path()) < *path)))
                    return;
                const Os::PlannedFile& file = first->file();
                appendLine(text, {qint64(file.size), file.modified, file.digest}, first->path());
                first->next();
                flushIfFull();
            }
        };
        records->forEach({}, [&](QByteArrayView path, const ManifestEntry& entry) {
            writePlansBefore(&path);
            if (listed(path) || (records == &previous && !carried(path, entry)))
                return;
            appendLine(text, entry, path);
            flushIfFull();
        });
        writePlansBefore(nullptr);
        write(text);
    };
    if (const int error = Os::writeFileDurably(toOsPath(manifestPath(backupFolder)), produce))
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

QStringList BackupCheck::mismatches() const
{
    QStringList lines;
    for (const auto& [kind, paths] : {std::pair{QT_TRANSLATE_NOOP("Check", "damaged"), &damaged},
                                      {QT_TRANSLATE_NOOP("Check", "missing"), &missing},
                                      {QT_TRANSLATE_NOOP("Check", "extra"), &extra},
                                      {QT_TRANSLATE_NOOP("Check", "unreadable"), &unreadable}})
        for (const QString& path : *paths)
            lines << QCoreApplication::translate("Check", kind) + QStringLiteral(": ") + path;
    return lines;
}
