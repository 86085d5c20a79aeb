// What both systems' copiers decide alike: which names the walk takes, what each file needs, the
// order of the copy, the replace question, the stop, and what the report says.
#include "os/os_copy_internal.h"
#include "os/os_internal.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace Os::detail {

bool sameSizeAndTime(std::uint64_t sourceSize, std::int64_t sourceTime, std::uint64_t targetSize,
                     std::int64_t targetTime, bool coarseTimes)
{
    if (sourceSize != targetSize)
        return false;
    const std::int64_t difference = sourceTime - targetTime;
    if (!coarseTimes)
        return difference == 0;
    constexpr std::int64_t TwoSeconds = 2000000000LL;
    return difference > -TwoSeconds && difference < TwoSeconds;
}

// ---- The walk -------------------------------------------------------------------------------

void PlannerBase::selectSourceNames(std::vector<std::string>& names, const std::string* pattern)
{
    std::erase_if(names, [pattern](const std::string& name) {
        return temporaryOwner(name) != 0 || (pattern && !matchesWildcard(*pattern, name));
    });
    std::sort(names.begin(), names.end(), lessIgnoringCase);
}

PlannerBase::TargetEntries PlannerBase::targetEntries(const std::vector<std::string>& names)
{
    TargetEntries entries;
    for (const std::string& name : names) {
        if (const long owner = temporaryOwner(name)) {
            // Left by a copy that died; those of live processes (this one's included) stay.
            if (processGone(owner))
                removeTemporary(name);
            continue;
        }
        entries.emplace(foldedKey(name), TargetEntry{name, true});
    }
    return entries;
}

void PlannerBase::planFile(std::uint32_t folder, const std::string& name, std::uint64_t size,
                           std::int64_t modified, TargetEntries& entries, bool coarseTarget,
                           bool coarseLink)
{
    PlannedFile file;
    file.folder = folder;
    file.name = m_plan.addName(name);
    file.targetName = file.name;
    file.size = size;
    file.modified = modified;
    file.action = PlannedAction::Copy;

    const std::string key = foldedKey(name);
    const auto existing = entries.find(key);
    // Two source names that differ only in letter case are one file to Windows: the first is
    // copied, the other is named as left out, so that the target never holds less than it says.
    if (existing != entries.end() && existing->second.planned) {
        fail(sourcePathOf(name), CopySide::Source,
             "left out: its name differs only in letter case from " + existing->second.name +
                 ", which is copied; Windows keeps one file of the two");
        return;
    }
    if (existing == entries.end()) {
        entries.emplace(key, TargetEntry{name, false, true});
        // What the newest earlier set holds unchanged is linked from there, not copied again.
        if (!m_plan.linkRoot.empty()) {
            const FoundEntry earlier = earlierEntry(name);
            if (earlier.kind == FoundEntry::Kind::File &&
                sameSizeAndTime(size, modified, earlier.size, earlier.modified, coarseLink))
                file.action = PlannedAction::Link;
        }
        m_plan.files.push_back(file);
        return;
    }
    // The existing file, in its own spelling, is the one replaced.
    existing->second.planned = true;
    const std::string targetName = existing->second.name;
    if (targetName != name)
        file.targetName = m_plan.addName(targetName);
    file.action = PlannedAction::Replace;
    const FoundEntry target = existing->second.onDisk ? targetEntry(targetName) : FoundEntry{};
    if (target.kind == FoundEntry::Kind::Folder) {
        fail(targetPathOf(targetName), CopySide::Target, "a folder has the file's name");
        return;
    }
    // What the last backup copied and nobody changed since is not copied again. A restore looks
    // at the bytes too: a file damaged in place keeps its size and time.
    if (target.kind == FoundEntry::Kind::File && !m_request.copyUnchanged &&
        sameSizeAndTime(size, modified, target.size, target.modified, coarseTarget) &&
        (!m_request.compareContent || sameContent(name, targetName, size)))
        file.action = PlannedAction::Unchanged;
    else if (target.kind != FoundEntry::Kind::Missing)
        m_plan.bytesReplaced += target.size;
    m_plan.files.push_back(file);
}

// ---- The copy -------------------------------------------------------------------------------

ExecutorBase::ExecutorBase(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome,
                           long pid)
    : m_request(request), m_plan(plan), m_outcome(outcome), m_pid(pid)
{}

std::string ExecutorBase::madeName(std::uint32_t folder) const
{
    const std::string_view name = m_plan.name(m_plan.folders[folder].targetName);
    if (!isNewRoot(folder) || m_placed[folder])
        return std::string(name);
    // Numbered by its place in the plan, apart from the files' numbers (appended: GCC 12 warns
    // falsely on "d" + std::to_string(...)).
    std::string serial(1, 'd');
    serial += std::to_string(folder);
    return Os::temporaryName(m_pid, serial, name);
}

std::string ExecutorBase::writtenName(std::uint32_t index) const
{
    const std::string_view name = m_plan.name(m_plan.files[index].targetName);
    // Numbered by the file's place in the plan, unique in the copy.
    return writtenInPlace(index) ? std::string(name)
                                 : Os::temporaryName(m_pid, std::to_string(index + 1ul), name);
}

std::string ExecutorBase::joinTarget(const std::string& folder, std::string_view name) const
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != PathSeparator)
        path.push_back(PathSeparator);
    path.append(name);
    return path;
}

std::string ExecutorBase::targetFolderPath(std::uint32_t folder) const
{
    std::string below = m_plan.folderPath(folder);
    std::replace(below.begin(), below.end(), '/', PathSeparator);
    return joinTarget(m_plan.targetRoot, below);
}

std::string ExecutorBase::madeFolderPath(std::uint32_t folder) const
{
    return folder == 0
               ? m_plan.targetRoot
               : joinTarget(madeFolderPath(m_plan.folders[folder].parent), madeName(folder));
}

DigestQueue& ExecutorBase::digests()
{
    if (!m_digests)
        m_digests = std::make_unique<DigestQueue>();
    return *m_digests;
}

void ExecutorBase::written(std::uint32_t index, std::uint64_t size, std::int64_t modified)
{
    PlannedFile& file = m_plan.files[index];
    file.result = FileResult::Pending;
    file.size = size;
    file.modified = modified;
    file.hasDigest = true;
    m_pending.push_back({index});
    ++m_outcome.filesCopied;
    m_outcome.bytesCopied += size;
}

void ExecutorBase::linked(PlannedFile& file)
{
    file.result = FileResult::Linked;
    ++m_outcome.filesLinked;
    if (m_request.onProgress)
        m_request.onProgress(file.size);
}

bool ExecutorBase::run()
{
    m_outcome.failures.insert(m_outcome.failures.end(), m_plan.failures.begin(),
                              m_plan.failures.end());
    if (m_plan.targetRoot.empty() || m_plan.folders.empty() || !openRoots())
        return false;
    m_brokenFolders.assign(m_plan.folders.size(), false);
    m_enteredFolders.assign(m_plan.folders.size(), false);
    m_newRoot.assign(m_plan.folders.size(), 0);
    m_placed.assign(m_plan.folders.size(), false);
    // Reserved: growing would hold two copies of a hundred thousand entries at once.
    m_pending.reserve(std::size_t(m_plan.filesToWrite()));
    std::size_t next = 0;
    for (std::uint32_t folder = 0; folder < m_plan.folders.size() && !m_cancelled; ++folder)
        copyFolderFiles(folder, next);
    // A stop in the middle of the last file leaves nothing more to stop between.
    m_cancelled = m_cancelled || stopped();
    closeFolders();
    // What was copied before a Cancel or a stop stays, as the shell leaves it.
    finish();
    m_outcome.cancelled = m_cancelled;
    return !m_cancelled && m_outcome.failures.empty();
}

void ExecutorBase::copyFolderFiles(std::uint32_t folder, std::size_t& next)
{
    // The files of a folder below one that could not be entered are not copied either.
    bool entered = folder == 0;
    if (!entered && m_brokenFolders[m_plan.folders[folder].parent])
        m_brokenFolders[folder] = true;
    else if (!entered) {
        const PlannedFolder& record = m_plan.folders[folder];
        m_newRoot[folder] = m_newRoot[record.parent] != 0 ? m_newRoot[record.parent]
                            : record.existsInTarget       ? 0
                                                          : folder;
        entered = enterFolder(folder);
    }
    for (; next < m_plan.files.size() && m_plan.files[next].folder == folder; ++next) {
        if (!entered)
            continue;
        if (stopped()) {
            m_cancelled = true;
            return;
        }
        PlannedFile& file = m_plan.files[next];
        switch (file.action) {
        case PlannedAction::Unchanged:
            file.result = FileResult::Unchanged;
            ++m_outcome.filesUnchanged;
            if (m_request.onProgress)
                m_request.onProgress(file.size);
            break;
        case PlannedAction::Link:
            if (!linkFile(file))
                copyFile(std::uint32_t(next));
            break;
        case PlannedAction::Copy:
            copyFile(std::uint32_t(next));
            break;
        case PlannedAction::Replace:
            if (!m_request.overwrite && !m_yesToAll && !file.unasked) {
                const std::string targetFile =
                    joinTarget(currentTargetPath(), m_plan.name(file.targetName));
                const ReplaceAnswer answer =
                    m_request.askReplace ? m_request.askReplace(targetFile) : ReplaceAnswer::No;
                if (answer == ReplaceAnswer::Cancel) {
                    m_cancelled = true;
                    break;
                }
                if (answer == ReplaceAnswer::No) {
                    file.result = FileResult::Kept;
                    m_outcome.kept.push_back(targetFile);
                    break;
                }
                m_yesToAll = answer == ReplaceAnswer::YesToAll;
            }
            copyFile(std::uint32_t(next));
            break;
        }
        if (m_cancelled)
            return;
    }
}

void ExecutorBase::finish()
{
    // The checksums of what was written are all in before anything reads them.
    if (m_digests)
        m_digests->wait();
    if (!targetOpened())
        return;
    bool changed = !m_pending.empty() || m_outcome.filesLinked > 0;
    const auto syncFailed = [&] {
        if (!m_request.durable)
            return false;
        const int error = syncTargets();
        if (error != 0)
            fail(m_plan.targetRoot, CopySide::Target,
                 "the data could not be written to the disk: " + errorText(error));
        return error != 0;
    };
    const auto newFolders = [&](const auto& each) {
        for (std::uint32_t at = 1; at < m_plan.folders.size(); ++at)
            if (m_newRoot[at] == at && m_enteredFolders[at])
                each(at);
    };
    // No rename may reach the disk before the data it names.
    if (!m_pending.empty() && syncFailed()) {
        for (const Pending& pending : m_pending) {
            removeTemporary(pending);
            m_plan.files[pending.file].result = FileResult::Failed;
        }
        newFolders([&](std::uint32_t folder) { dropNewFolder(folder); });
        m_pending.clear();
        m_outcome.filesCopied = 0;
        m_outcome.bytesCopied = 0;
        return;
    }
    // Read back from the disk, a copy must be what was read from the source before it counts as
    // copied: all are read first, while the queue hashes; one that is not goes before any
    // rename, so that it never stands under its name.
    if (m_request.verify) {
        for (const Pending& pending : m_pending)
            readBack(pending);
        digests().wait();
        for (const Pending& pending : m_pending)
            if (!m_plan.files[pending.file].verified)
                removeTemporary(pending);
    }
    newFolders([&](std::uint32_t folder) {
        const std::string reason = placeFolder(folder);
        if (reason.empty()) {
            m_placed[folder] = true;
            return;
        }
        fail(targetFolderPath(folder), CopySide::Target, reason);
        dropNewFolder(folder);
    });
    for (const Pending& pending : m_pending) {
        PlannedFile& file = m_plan.files[pending.file];
        const bool unverified = m_request.verify && !file.verified;
        // (A folder that could not be put in place was reported for all in it.)
        const bool dropped = writtenInPlace(pending.file) && !m_placed[m_newRoot[file.folder]];
        const std::string reason = unverified ? "verification failed"
                                   : dropped  ? std::string()
                                              : placeFile(pending);
        if (reason.empty() && !dropped) {
            file.result = FileResult::Written;
            continue;
        }
        if (!reason.empty())
            fail(joinTarget(targetFolderPath(file.folder), m_plan.name(file.targetName)),
                 CopySide::Target, reason);
        file.result = FileResult::Failed;
        --m_outcome.filesCopied;
        m_outcome.bytesCopied -= file.size;
    }
    m_pending.clear();
    // Folder times last, after the renames into them.
    for (std::uint32_t at = 1; at < m_plan.folders.size(); ++at) {
        if (!m_enteredFolders[at])
            continue;
        const FolderTimes times = setFolderTimes(at);
        changed = changed || times != FolderTimes::Unchanged;
        m_outcome.attributesLost = m_outcome.attributesLost || times == FolderTimes::Lost;
    }
    if (changed)
        syncFailed();
}

void ExecutorBase::dropNewFolder(std::uint32_t folder)
{
    removeNewFolder(folder);
    for (std::uint32_t at = folder; at < m_plan.folders.size(); ++at)
        if (m_newRoot[at] == folder)
            m_enteredFolders[at] = false;
    for (PlannedFile& file : m_plan.files)
        if (m_newRoot[file.folder] == folder && file.result == FileResult::Linked) {
            file.result = FileResult::Failed;
            --m_outcome.filesLinked;
        }
}

} // namespace Os::detail

namespace Os {

namespace {

constexpr std::string_view TemporaryPrefix = ".~zeb";

// FNV-1a over "<pid>-<serial>-<name>", as eight hex digits.
std::string temporaryCheck(std::string_view owner, std::string_view serial, std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    const auto add = [&hash](std::string_view bytes) {
        for (const char c : bytes)
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    };
    add(owner);
    add("-");
    add(serial);
    add("-");
    add(name);
    static constexpr char Digits[] = "0123456789abcdef";
    std::string check(8, '0');
    for (int i = 7; i >= 0; --i, hash >>= 4)
        check[std::size_t(i)] = Digits[hash & 15];
    return check;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSerialCharacter(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

namespace detail {

std::string nextFileSerial()
{
    static std::atomic<unsigned> counter{0};
    // Appended: GCC 12 warns falsely (-Wrestrict) on "u" + std::to_string(...).
    std::string serial(1, 'u');
    serial += std::to_string(++counter);
    return serial;
}

} // namespace detail

std::string temporaryName(long pid, std::string_view serial, std::string_view name)
{
    // Cut where a character begins, so that a Windows name stays whole characters.
    std::size_t length = std::min<std::size_t>(name.size(), 64);
    if (length < name.size())
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
            --length;
    name = name.substr(0, length);
    const std::string owner = std::to_string(pid);
    const std::string check = temporaryCheck(owner, serial, name);
    std::string made; // made once a file, piece by piece without a string between
    made.reserve(TemporaryPrefix.size() + owner.size() + serial.size() + check.size() +
                 name.size() + 3);
    made.append(TemporaryPrefix).append(owner).append(1, '-').append(serial).append(1, '-');
    made.append(check).append(1, '-').append(name);
    return made;
}

long temporaryOwner(std::string_view name, std::string_view* serial, std::string_view* finalName)
{
    if (name.substr(0, TemporaryPrefix.size()) != TemporaryPrefix)
        return 0;
    std::size_t at = TemporaryPrefix.size();
    const std::size_t ownerStart = at;
    while (at < name.size() && at < ownerStart + 10 && isDigit(name[at]))
        ++at;
    const std::string_view owner = name.substr(ownerStart, at - ownerStart);
    if (owner.empty() || owner[0] == '0' || at >= name.size() || name[at] != '-')
        return 0;
    const std::size_t serialStart = ++at;
    while (at < name.size() && isSerialCharacter(name[at]))
        ++at;
    const std::string_view madeSerial = name.substr(serialStart, at - serialStart);
    if (madeSerial.empty() || at + 10 > name.size() || name[at] != '-' || name[at + 9] != '-')
        return 0;
    const std::string_view check = name.substr(at + 1, 8);
    if (check != temporaryCheck(owner, madeSerial, name.substr(at + 10)))
        return 0;
    if (serial)
        *serial = madeSerial;
    if (finalName)
        *finalName = name.substr(at + 10);
    long long pid = 0;
    for (const char c : owner)
        pid = pid * 10 + (c - '0');
    return pid <= std::numeric_limits<long>::max() ? long(pid) : 0;
}

} // namespace Os
