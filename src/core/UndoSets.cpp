#include "core/UndoSets.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "os/os.h"

#include <algorithm>
#include <set>

namespace {

const QByteArray Header = "ZEB 2000 undo set 1";
const QByteArray FinishedLine = "finished";
const QByteArray UndoneLine = "undone";
// A set removed without an undo: an empty one, or one beyond those kept.
const QByteArray PrunedLine = "pruned";
// The temporary name an undone set is removed under: one left by a dead undo tells the next run
// that this undo, and nothing older, is to be finished.
const std::string UndoneSerial = "undone";
// Below the set: the files the restore replaced, and those an undo found changed after it and kept.
const std::string FilesFolder = "files";
const std::string NewerFolder = "newer";

#ifdef _WIN32
constexpr char Separator = '\\';
#else
constexpr char Separator = '/';
#endif

// A record names paths with "/" on every system.
std::string nativePath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', Separator);
    return path;
}

std::string recordPath(std::string path)
{
    std::replace(path.begin(), path.end(), Separator, '/');
    return path;
}

// A path and the system's own words for what failed with it.
Text describe(const std::string& path, int error)
{
    return Text::verbatim(fromOsPath(path) + QStringLiteral(": ") +
                          fromOsText(Os::errorText(error)));
}

QByteArray stateField(const Os::FileState& state)
{
    using Kind = Os::FileState::Kind;
    const char kind = state.kind == Kind::Missing  ? '-'
                      : state.kind == Kind::File   ? 'f'
                      : state.kind == Kind::Folder ? 'd'
                                                   : 'o';
    if (state.kind == Kind::Missing)
        return "-";
    return QByteArray(1, kind) + ',' + QByteArray::number(state.size) + ',' +
           QByteArray::number(state.modified) + ',' + QByteArray::number(state.device) + ',' +
           QByteArray::number(state.inode) + ',' + QByteArray::number(state.changed);
}

std::optional<Os::FileState> parseState(const QByteArray& field)
{
    using Kind = Os::FileState::Kind;
    Os::FileState state;
    if (field == "-")
        return state;
    const QList<QByteArray> parts = field.split(',');
    // Records of older versions have no change time.
    if ((parts.size() != 5 && parts.size() != 6) || parts[0].size() != 1 ||
        !QByteArray("fdo").contains(parts[0][0]))
        return std::nullopt;
    state.kind = parts[0] == "f" ? Kind::File : parts[0] == "d" ? Kind::Folder : Kind::Other;
    bool ok[5] = {false, false, false, false, true};
    state.size = parts[1].toULongLong(&ok[0]);
    state.modified = parts[2].toLongLong(&ok[1]);
    state.device = parts[3].toULongLong(&ok[2]);
    state.inode = parts[4].toULongLong(&ok[3]);
    if (parts.size() == 6)
        state.changed = parts[5].toLongLong(&ok[4]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]))
        return std::nullopt;
    return state;
}

bool sameFile(const Os::FileState& a, const Os::FileState& b)
{
    return a.kind == b.kind && a.size == b.size && a.modified == b.modified &&
           a.device == b.device && a.inode == b.inode;
}

bool sameIdentity(const Os::FileState& a, const Os::FileState& b)
{
    return a.device == b.device && a.inode == b.inode;
}

bool sameVersion(const Os::FileState& state, quint64 size, qint64 modified)
{
    return state.kind == Os::FileState::Kind::File && state.size == size &&
           state.modified == modified;
}

} // namespace

struct UndoSet::Entry
{
    enum class Kind { Folder, Replace, Add };
    Kind kind = Kind::Add;
    std::string path;       // below the ICQ folder, names separated by "/"
    Os::FileState before;   // what the restore replaced
    quint64 sourceSize = 0; // what it copies there
    qint64 sourceModified = 0;
    std::optional<Os::FileState> after; // as the copy left it, once known
    std::optional<Os::Digest> digest;   // of what the copy wrote there, when it wrote it
    std::size_t planFile = 0;           // the plan's file, while its component is copied
};

namespace {

using Entry = UndoSet::Entry;

QByteArray entryLine(const Entry& entry)
{
    QByteArray line = entry.kind == Entry::Kind::Folder    ? "folder "
                      : entry.kind == Entry::Kind::Replace ? "replace "
                                                           : "add ";
    line += encodeField(entry.path);
    if (entry.kind == Entry::Kind::Folder)
        return line;
    if (entry.kind == Entry::Kind::Replace)
        line += " before=" + stateField(entry.before);
    line += " source=" + QByteArray::number(entry.sourceSize) + ',' +
            QByteArray::number(entry.sourceModified);
    if (entry.after)
        line += " after=" + stateField(*entry.after);
    if (entry.digest)
        line += " digest=" + QByteArray(reinterpret_cast<const char*>(entry.digest->data()),
                                        qsizetype(entry.digest->size()))
                                 .toHex();
    return line;
}

std::optional<Entry> parseEntry(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    Entry entry;
    if (fields[0] == "folder")
        entry.kind = Entry::Kind::Folder;
    else if (fields[0] == "replace")
        entry.kind = Entry::Kind::Replace;
    else if (fields[0] != "add")
        return std::nullopt;
    const std::optional<std::string> path = decodeField(fields[1]);
    if (!path || !isSafeRecordPath(*path))
        return std::nullopt;
    entry.path = *path;
    bool haveBefore = false;
    bool haveSource = false;
    for (const QByteArray& field : fields.mid(2)) {
        const qsizetype equals = field.indexOf('=');
        const QByteArray key = field.left(equals);
        const QByteArray value = field.mid(equals + 1);
        if (key == "before" || key == "after") {
            const std::optional<Os::FileState> state = parseState(value);
            if (!state)
                return std::nullopt;
            if (key == "before") {
                entry.before = *state;
                haveBefore = true;
            } else {
                entry.after = *state;
            }
        } else if (key == "source") {
            const QList<QByteArray> parts = value.split(',');
            bool sizeOk = false;
            bool timeOk = false;
            if (parts.size() == 2) {
                entry.sourceSize = parts[0].toULongLong(&sizeOk);
                entry.sourceModified = parts[1].toLongLong(&timeOk);
            }
            if (!sizeOk || !timeOk)
                return std::nullopt;
            haveSource = true;
        } else if (key == "digest") {
            // 2.0's SHA-256 says nothing to this checksum: read as none, which only keeps more.
            if (value.size() == 64)
                continue;
            const QByteArray bytes = QByteArray::fromHex(value);
            Os::Digest digest{};
            if (value.size() != qsizetype(2 * digest.size()) ||
                bytes.size() != qsizetype(digest.size()) || bytes.toHex() != value)
                return std::nullopt;
            std::copy(bytes.begin(), bytes.end(), digest.begin());
            entry.digest = digest;
        } else {
            return std::nullopt;
        }
    }
    const bool complete = entry.kind == Entry::Kind::Folder
                              ? fields.size() == 2
                              : haveSource && haveBefore == (entry.kind == Entry::Kind::Replace);
    if (!complete)
        return std::nullopt;
    return entry;
}

std::string undoRoot(const QString& icqFolder)
{
    return toOsPath(withTrailingSeparator(icqFolder) + UndoFolderName);
}

// Undone, or being removed: never offered for an undo.
bool isGone(const FoundSet& set)
{
    return set.lines.contains(UndoneLine) || set.lines.contains(PrunedLine);
}

bool holdsNewer(const std::string& setPath)
{
    Os::FileState state;
    return Os::fileState(osJoin(setPath, NewerFolder), state) == 0 &&
           state.kind != Os::FileState::Kind::Missing;
}

UndoSetInfo infoOf(const QString& icqFolder, const FoundSet& found)
{
    UndoSetInfo info;
    info.name = found.name;
    info.folder = withTrailingSeparator(withTrailingSeparator(icqFolder) + UndoFolderName +
                                        QLatin1Char(Os::PathSeparator) + found.name);
    info.stamp = found.stamp;
    info.finished = found.lines.contains(FinishedLine);
    info.undone = isGone(found);
    info.holdsNewer = holdsNewer(found.path);
    return info;
}

QByteArray recordOf(const SetStamp& stamp, const std::vector<Entry>& entries, bool finished,
                    const QByteArray& gone = {})
{
    QByteArray record = Header + '\n' + stampLine(stamp) + '\n';
    for (const Entry& entry : entries)
        record += entryLine(entry) + '\n';
    if (finished)
        record += FinishedLine + '\n';
    if (!gone.isEmpty())
        record += gone + '\n';
    return record;
}

} // namespace

bool isSafeRecordPath(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t end = path.find('/', start);
        const std::string name = path.substr(start, end == std::string::npos ? end : end - start);
        if (name.empty() || name == "." || name == "..")
            return false;
#ifdef _WIN32
        // Windows reads a drive or a stream after ":", a separator in "\", and drops trailing
        // dots and spaces, so that ". ." climbs as ".." does.
        if (name.find_first_of("\\:") != std::string::npos ||
            name.find_first_not_of(". ") == std::string::npos)
            return false;
#endif
        if (first && QString::fromStdString(name).compare(UndoFolderName, Qt::CaseInsensitive) == 0)
            return false;
        first = false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

UndoSet::UndoSet(const QString& icqFolder, const QDateTime& now)
    : m_icqFolder(withTrailingSeparator(icqFolder)), m_now(now),
      m_icq(toOsPath(withTrailingSeparator(icqFolder)))
{}

UndoSet::~UndoSet() = default;

QString UndoSet::folder() const
{
    return m_set ? withTrailingSeparator(m_icqFolder + UndoFolderName) + m_set->name : QString();
}

void UndoSet::makeSet()
{
    const std::string root = osJoin(m_icq, toOsPath(UndoFolderName));
    if (const int error = Os::makeFolders(root))
        raiseError(
            ErrorNumber::PathFileAccessError,
            Text("Undo", "The undo folder could not be made: %1").arg(describe(root, error)));
    // What a restore killed while making its set left; what cannot go now goes with a later run.
    (void)Os::removeLeftTemporaries(root);
    m_set = makeSetFolder(root, m_now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HHmmss")),
                          Header, m_now);
}

void UndoSet::writeRecord(bool finished)
{
    writeSetRecord(m_set->path, recordOf(m_set->stamp, m_entries, finished));
}

void UndoSet::prepare(const Os::CopyPlan& plan, const QString& componentFolder)
{
    const std::size_t start = m_entries.size();
    m_componentStart = start;
    std::set<std::string> known;
    for (const Entry& entry : m_entries)
        known.insert(entry.path);
    if (plan.folders.empty())
        return; // nothing to copy, which the copy reports
    // What cannot be named below the ICQ folder cannot be kept: then nothing is replaced.
    if (plan.targetRoot.compare(0, m_icq.size(), m_icq) != 0)
        raiseError(ErrorNumber::PathFileAccessError,
                   Text("Undo", "%1 does not lie in the ICQ folder %2")
                       .arg(fromOsPath(plan.targetRoot))
                       .arg(m_icqFolder));
    // The path of a plan's entry below the ICQ folder, in the ICQ folder's own spelling.
    const auto relativeOf = [&](const std::string& below) -> std::optional<std::string> {
        return recordPath((below.empty() ? plan.targetRoot : osJoin(plan.targetRoot, below))
                              .substr(m_icq.size()));
    };
    // The component's own folder, and those above it, where the copy will make them.
    std::string component = toOsPath(componentFolder);
    while (!component.empty() && (component.back() == '/' || component.back() == Separator))
        component.pop_back();
    for (std::size_t end = component.find(Separator);; end = component.find(Separator, end + 1)) {
        const std::string folder = Os::resolvePathIgnoringCase(m_icq + component.substr(0, end));
        Os::FileState state;
        if (folder.compare(0, m_icq.size(), m_icq) == 0 && Os::fileState(folder, state) == 0 &&
            state.kind == Os::FileState::Kind::Missing) {
            const std::string relative = recordPath(folder.substr(m_icq.size()));
            if (!known.contains(relative)) {
                m_entries.push_back({Entry::Kind::Folder, relative, {}, 0, 0, {}, {}, 0});
                known.insert(relative);
            }
        }
        if (end == std::string::npos)
            break;
    }
    // What the walk found: the folders the copy will make, the files it will add and those it
    // will replace (for a restore, every file whose bytes differ, whatever its size and time).
    for (std::uint32_t at = 1; at < plan.folders.size(); ++at) {
        const std::optional<std::string> relative = relativeOf(plan.folderPath(at));
        if (relative && !plan.folders[at].existsInTarget && known.insert(*relative).second)
            m_entries.push_back({Entry::Kind::Folder, *relative, {}, 0, 0, {}, {}, 0});
    }
    m_plan = &plan;
    for (std::size_t index = 0; index < plan.files.size(); ++index) {
        const Os::PlannedFile& file = plan.files[index];
        if (file.action == Os::PlannedAction::Unchanged)
            continue;
        const std::optional<std::string> relative = relativeOf(plan.filePath(file));
        if (!relative || known.contains(*relative))
            continue;
        Os::FileState existing;
        const std::string targetPath = osJoin(m_icq, nativePath(*relative));
        if (const int error = Os::fileState(targetPath, existing))
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Undo", "The ICQ folder could not be read: %1")
                           .arg(describe(targetPath, error)));
        using Kind = Os::FileState::Kind;
        const auto modified = std::int64_t(file.modified);
        if (existing.kind == Kind::Missing)
            m_entries.push_back(
                {Entry::Kind::Add, *relative, {}, file.size, modified, {}, {}, index});
        else if (existing.kind == Kind::File)
            m_entries.push_back(
                {Entry::Kind::Replace, *relative, existing, file.size, modified, {}, {}, index});
        else
            continue;
        known.insert(*relative);
    }
    if (m_entries.size() == start)
        return;
    try {
        if (!m_set)
            makeSet();
        keepEntries(start);
        writeRecord(false);
    } catch (const RuntimeError&) {
        m_entries.resize(start);
        throw;
    }
}

void UndoSet::keepEntries(std::size_t from)
{
    for (std::size_t i = from; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        if (entry.kind != Entry::Kind::Replace)
            continue;
        const std::string kept = osJoin(osJoin(m_set->path, FilesFolder), nativePath(entry.path));
        if (const int error = Os::keepFile(osJoin(m_icq, nativePath(entry.path)), kept)) {
            // What was kept of this component goes again: none of it is recorded.
            Text left;
            for (std::size_t k = from; k < i; ++k) {
                if (m_entries[k].kind != Entry::Kind::Replace)
                    continue;
                const std::string copy =
                    osJoin(osJoin(m_set->path, FilesFolder), nativePath(m_entries[k].path));
                if (const int removeError = Os::removeFile(copy))
                    left = left + Text("Undo", "; left %1").arg(describe(copy, removeError));
            }
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Undo", "%1 could not be kept in %2: %3%4")
                           .arg(fromOsPath(osJoin(m_icq, nativePath(entry.path))))
                           .arg(fromOsPath(kept))
                           .arg(fromOsText(Os::errorText(error)))
                           .arg(left));
        }
    }
}

void UndoSet::componentCopied()
{
    if (!m_set || m_componentStart >= m_entries.size())
        return;
    for (std::size_t i = m_componentStart; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (entry.kind == Entry::Kind::Folder)
            continue;
        Os::FileState now;
        // A file that cannot be examined stays unknown, judged at the undo by its size and time.
        if (Os::fileState(osJoin(m_icq, nativePath(entry.path)), now) == 0)
            entry.after = now;
        // What was written, so that an undo can tell the file from one rewritten in place after
        // the restore once something (a later restore's hard link) changed its change time.
        const Os::PlannedFile& file = m_plan->files[entry.planFile];
        if (file.result == Os::FileResult::Written && file.hasDigest)
            entry.digest = file.digest;
    }
    m_componentStart = m_entries.size();
    writeRecord(false);
}

QString UndoSet::close()
{
    if (!m_set)
        return QString();
    // What the restore did not change is no part of its undo.
    std::vector<Entry> changed;
    for (const Entry& entry : m_entries) {
        bool unchanged = false;
        if (entry.kind == Entry::Kind::Folder) {
            Os::FileState now;
            unchanged = Os::fileState(osJoin(m_icq, nativePath(entry.path)), now) == 0 &&
                        now.kind == Os::FileState::Kind::Missing;
        } else if (entry.after) {
            unchanged = entry.kind == Entry::Kind::Replace
                            ? sameFile(*entry.after, entry.before)
                            : entry.after->kind == Os::FileState::Kind::Missing;
        }
        if (unchanged && entry.kind == Entry::Kind::Replace)
            unchanged = Os::removeFile(
                            osJoin(osJoin(m_set->path, FilesFolder), nativePath(entry.path))) == 0;
        if (!unchanged)
            changed.push_back(entry);
    }
    m_entries = std::move(changed);
    const QString setFolder = folder();
    if (m_entries.empty()) {
        // Marked undone first, so that a removal that stops half-way leaves nothing to undo.
        writeSetRecord(m_set->path, recordOf(m_set->stamp, m_entries, true, PrunedLine));
        std::string failed;
        if (const int error = removeSetFolder(m_set->path, failed))
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Undo", "The empty undo set could not be removed: %1")
                           .arg(describe(failed, error)));
        const int error = Os::removeFolder(osJoin(m_icq, toOsPath(UndoFolderName)));
        if (error != 0 && error != Os::ErrorNotEmpty)
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Undo", "The undo folder could not be removed: %1")
                           .arg(describe(osJoin(m_icq, toOsPath(UndoFolderName)), error)));
        m_set.reset();
        return QString();
    }
    writeRecord(true);
    return setFolder;
}

QList<UndoSetInfo> undoSets(const QString& icqFolder)
{
    QList<UndoSetInfo> sets;
    for (const FoundSet& found : findSets(undoRoot(icqFolder), Header))
        sets << infoOf(icqFolder, found);
    return sets;
}

bool hasRestoreToUndo(const QString& icqFolder)
{
    const QList<UndoSetInfo> sets = undoSets(icqFolder);
    return std::any_of(sets.begin(), sets.end(),
                       [](const UndoSetInfo& set) { return !set.undone; });
}

namespace {

// Removes sets whose removal without an undo stopped half-way; answers what could not be removed.
QList<Text> removePrunedSets(const QList<FoundSet>& sets)
{
    QList<Text> left;
    for (const FoundSet& set : sets) {
        if (!set.lines.contains(PrunedLine) || holdsNewer(set.path))
            continue;
        std::string failed;
        if (const int error = removeSetFolder(set.path, failed))
            left << describe(failed, error);
    }
    return left;
}

enum class Finding { Done, Untouched, Restored, Newer, KeptMissing };

// Whether the file at `path` is the one the copy left there. A file rewritten in place keeps its
// identity and may get its size and time back, but never its change time; that changes also
// when a later restore links the file into its own set, so then its bytes decide.
bool leftByCopy(const Entry& entry, const Os::FileState& now, const std::string& path)
{
    if (entry.after->kind == Os::FileState::Kind::Missing || !sameFile(now, *entry.after))
        return false;
    if (entry.after->changed == 0 || now.changed == entry.after->changed)
        return true;
    Os::Digest digest{};
    std::string error;
    return entry.digest && Os::fileDigest(path, digest, error) && digest == *entry.digest;
}

Finding judge(const Entry& entry, const Os::FileState& now, const Os::FileState& kept,
              const std::string& path)
{
    using Kind = Os::FileState::Kind;
    // The restore was stopped before it noted the file: it is the copy's if it has the size and
    // time of what was copied (the copier keeps both).
    const bool restoresVersion = entry.after
                                     ? leftByCopy(entry, now, path)
                                     : sameVersion(now, entry.sourceSize, entry.sourceModified);
    if (entry.kind == Entry::Kind::Add) {
        if (now.kind == Kind::Missing)
            return Finding::Done;
        return restoresVersion ? Finding::Restored : Finding::Newer;
    }
    if (kept.kind != Kind::File)
        return sameVersion(now, entry.before.size, entry.before.modified) ? Finding::Done
                                                                          : Finding::KeptMissing;
    if (sameFile(now, entry.before))
        return Finding::Untouched;
    if (now.kind == Kind::Missing || restoresVersion)
        return Finding::Restored; // (nothing there to lose, or moved aside already)
    // Put back already by a copy across file systems, which keeps the time (another file than
    // the one the copy left there).
    if (sameVersion(now, entry.before.size, entry.before.modified) &&
        !(entry.after && sameIdentity(now, *entry.after)))
        return Finding::Untouched;
    return Finding::Newer;
}

} // namespace

UndoOutcome undoNewestRestore(const QString& icqFolder, bool keepNewer, bool dryRun)
{
    UndoOutcome outcome;
    const std::string icq = toOsPath(withTrailingSeparator(icqFolder));
    const std::string root = undoRoot(icqFolder);
    // An undo stopped after it marked its set undone is finished first, and then this run ends:
    // the restore before it is undone only when the user asks again.
    std::vector<std::string> removing; // the sets' names, as dead undos were removing them
    std::vector<Os::FolderEntry> found;
    if (Os::listFolder(root, found) == 0)
        for (const Os::FolderEntry& entry : found) {
            std::string_view serial, name;
            if (Os::temporaryOwner(entry.name, &serial, &name) != 0 &&
                serial.substr(0, UndoneSerial.size()) == UndoneSerial)
                removing.emplace_back(entry.name);
        }
    QList<Text> left;
    if (const int error = dryRun ? 0 : Os::removeLeftTemporaries(root))
        left << describe(root, error);
    QString resumed;
    for (const std::string& trash : removing) {
        Os::FileState state;
        if (dryRun || (Os::fileState(osJoin(root, trash), state) == 0 &&
                       (state.kind == Os::FileState::Kind::Missing || !left.isEmpty()))) {
            std::string_view name;
            (void)Os::temporaryOwner(trash, nullptr, &name);
            resumed = fromOsPath(std::string(name));
        }
    }
    const QList<FoundSet> sets = findSets(root, Header);
    qsizetype others = sets.size();
    for (const FoundSet& set : sets) {
        if (!set.lines.contains(UndoneLine) || holdsNewer(set.path))
            continue;
        resumed = set.name;
        --others;
        std::string failed;
        if (const int error = dryRun ? 0 : removeSetFolder(set.path, failed, UndoneSerial))
            left << describe(failed, error);
    }
    if (!resumed.isEmpty()) {
        outcome.set = withTrailingSeparator(withTrailingSeparator(icqFolder) + UndoFolderName +
                                            QLatin1Char(Os::PathSeparator) + resumed);
        if (const int error = dryRun || others > 0 ? 0 : Os::removeFolder(root);
            error != 0 && error != Os::ErrorNotFound && error != Os::ErrorNotEmpty)
            left << describe(root, error);
        outcome.failures = left;
        outcome.finished = left.isEmpty() && !dryRun;
        return outcome;
    }
    if (!dryRun)
        left << removePrunedSets(sets);
    const FoundSet* chosen = nullptr;
    for (const FoundSet& set : sets)
        if (!isGone(set))
            chosen = &set;
    if (!chosen) {
        const int error = dryRun ? 0 : Os::removeFolder(root);
        if (error != 0 && error != Os::ErrorNotFound && error != Os::ErrorNotEmpty)
            left << describe(root, error);
        outcome.notes << left;
        return outcome;
    }
    outcome.notes << left;
    const FoundSet set = *chosen;
    outcome.set = infoOf(icqFolder, set).folder;
    const std::string files = osJoin(set.path, FilesFolder);
    const std::string newer = osJoin(set.path, NewerFolder);
    outcome.newerFolder = fromOsPath(newer);

    // The record, every line of it, or nothing is done.
    std::vector<Entry> entries;
    for (const QByteArray& line : set.lines) {
        if (line == FinishedLine)
            continue;
        const std::optional<Entry> entry = parseEntry(line);
        if (!entry) {
            outcome.failures << Text("Undo", "the record %1 holds a line that is not a safe "
                                             "entry: %2")
                                    .arg(fromOsPath(osJoin(set.path, SetRecordName)))
                                    .arg(QString::fromLatin1(line.left(200)));
            return outcome;
        }
        entries.push_back(*entry);
    }

    // First what each file is now, before anything is changed.
    std::vector<Finding> findings(entries.size(), Finding::Done);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (entry.kind == Entry::Kind::Folder)
            continue;
        Os::FileState now, kept;
        const std::string path = osJoin(icq, nativePath(entry.path));
        int error = Os::fileState(path, now);
        if (error == 0 && entry.kind == Entry::Kind::Replace)
            error = Os::fileState(osJoin(files, nativePath(entry.path)), kept);
        if (error != 0) {
            outcome.failures << describe(path, error);
            continue;
        }
        findings[i] = judge(entry, now, kept, path);
        if (findings[i] == Finding::Newer)
            outcome.newer << fromOsPath(path);
        else if (findings[i] == Finding::KeptMissing)
            outcome.failures
                << Text("Undo", "%1: its kept copy is missing from the set").arg(fromOsPath(path));
    }
    if (!outcome.failures.isEmpty() || (!outcome.newer.isEmpty() && !keepNewer))
        return outcome;
    if (dryRun) {
        // A newer file (kept) is moved aside, and what it replaced still comes back.
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QString path = fromOsPath(osJoin(icq, nativePath(entries[i].path)));
            const bool acted = findings[i] == Finding::Restored || findings[i] == Finding::Newer;
            if (acted && entries[i].kind == Entry::Kind::Replace)
                outcome.putBack << path;
            else if (findings[i] == Finding::Restored && entries[i].kind == Entry::Kind::Add)
                outcome.removed << path;
        }
        return outcome;
    }

    // Newer files aside first, then what was added goes (the newest first), then what was
    // replaced comes back, then the folders the restore made, the deepest first.
    std::set<std::string> folders;
    for (std::size_t i = entries.size(); i-- > 0;) {
        const Entry& entry = entries[i];
        const std::string path = osJoin(icq, nativePath(entry.path));
        folders.insert(path.substr(0, path.find_last_of(Separator)));
        if (findings[i] == Finding::Newer) {
            const std::string aside = osJoin(newer, nativePath(entry.path));
            if (const int error = Os::moveFile(path, aside, false)) {
                outcome.failures << describe(path, error);
                continue;
            }
            findings[i] = entry.kind == Entry::Kind::Replace ? Finding::Restored : Finding::Done;
        }
        if (entry.kind == Entry::Kind::Add && findings[i] == Finding::Restored)
            if (const int error = Os::removeFile(path))
                outcome.failures << describe(path, error);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (entry.kind != Entry::Kind::Replace)
            continue;
        const std::string path = osJoin(icq, nativePath(entry.path));
        const std::string kept = osJoin(files, nativePath(entry.path));
        int error = 0;
        if (findings[i] == Finding::Restored)
            error = Os::moveFile(kept, path, true);
        else if (findings[i] == Finding::Untouched)
            error = Os::removeFile(kept);
        if (error != 0)
            outcome.failures << describe(findings[i] == Finding::Restored ? path : kept, error);
    }
    // A copy killed half-way left its temporary files beside the files it wrote.
    for (const std::string& folder : folders)
        if (const int error = Os::removeLeftTemporaries(folder))
            outcome.failures << describe(folder, error);
    for (std::size_t i = entries.size(); i-- > 0;) {
        const Entry& entry = entries[i];
        if (entry.kind != Entry::Kind::Folder)
            continue;
        const std::string path = osJoin(icq, nativePath(entry.path));
        if (const int error = Os::removeLeftTemporaries(path))
            outcome.failures << describe(path, error);
        const int error = Os::removeFolder(path);
        if (error == Os::ErrorNotEmpty)
            outcome.notes << Text::verbatim(fromOsPath(path));
        else if (error != 0 && error != Os::ErrorNotFound)
            outcome.failures << describe(path, error);
    }
    if (!outcome.failures.isEmpty())
        return outcome;

    // Everything is back, on the disk, before the set says so.
    if (const int error = Os::syncFileSystem(icq)) {
        outcome.failures << describe(icq, error);
        return outcome;
    }
    try {
        writeSetRecord(set.path, recordOf(set.stamp, entries, true, UndoneLine));
    } catch (const RuntimeError& failure) {
        outcome.failures << failure.shown();
        return outcome;
    }
    if (!holdsNewer(set.path)) {
        std::string failed;
        if (const int error = removeSetFolder(set.path, failed, UndoneSerial)) {
            outcome.failures
                << Text("Undo", "the set could not be removed: %1").arg(describe(failed, error));
            return outcome;
        }
    }
    // Only when no other set is left: this undo's last step is its set's removal.
    const int error = sets.size() == 1 ? Os::removeFolder(root) : 0;
    if (error != 0 && error != Os::ErrorNotEmpty)
        outcome.failures << describe(root, error);
    outcome.finished = outcome.failures.isEmpty();
    return outcome;
}

QList<Text> pruneUndoSets(const QString& icqFolder, int keep, const QString& spared)
{
    const QList<FoundSet> sets = findSets(undoRoot(icqFolder), Header);
    QList<Text> left = removePrunedSets(sets);
    int offered = 0;
    for (auto set = sets.crbegin(); set != sets.crend(); ++set) {
        if (isGone(*set) || ++offered <= qMax(keep, 0) || set->name == spared ||
            holdsNewer(set->path))
            continue;
        // Marked undone first: a removal that stops half-way leaves no set to undo.
        QByteArray record = Header + '\n' + stampLine(set->stamp) + '\n';
        for (const QByteArray& line : set->lines)
            record += line + '\n';
        std::string failed;
        try {
            writeSetRecord(set->path, record + PrunedLine + '\n');
        } catch (const RuntimeError& failure) {
            left << failure.shown();
            continue;
        }
        if (const int error = removeSetFolder(set->path, failed))
            left << describe(failed, error);
    }
    return left;
}
