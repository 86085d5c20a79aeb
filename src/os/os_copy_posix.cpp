// The folder copy on Linux: the project's own copier with the contract of the shell's file
// operation, and the promises of a careful backup tool. It works in two steps: one walk of the
// source and the target decides for every file (new, replaced, unchanged, linked from an earlier
// set), and the copy carries that plan out without walking again.
// - every file, new or replaced, is written to a temporary file beside its target; the
//   component's temporary files reach the disk (syncfs) before any of them is renamed into
//   place, and the renames reach it before the copy answers; a copy that dies leaves the old
//   file or the new one under the real name, never a stump, and the next walk of that folder
//   removes what the dead one left;
// - a source file that changes while it is read is read again, once; a source that is no
//   longer a regular file is refused without being opened for reading;
// - holes in sparse files stay holes;
// - a file of more than a block is copied by the kernel (splice), which the checksum thread
//   reads beside it; a file system that takes no splice gets the bytes read and written here;
// - verify reads the synced copy back from the disk, its cached pages dropped first, and
//   compares its checksum with that of the bytes read from the source;
// - names match without regard to case in every folder, and the existing spelling is kept;
// - links are what they point at, on both sides, as Windows programs under Wine see them; a
//   folder link that leads back into a folder being copied is refused;
// - folders get the default mode, files keep theirs; a target that cannot keep modes or times
//   (FAT) keeps the data and says so once; only there are times compared to two seconds;
// - everything that cannot be copied is collected, with the side that failed, for one report.
#include "os/os.h"
#include "os/os_copy_internal.h"
#include "os/os_internal.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Os {
namespace {

using detail::DigestQueue;
using detail::UniqueFd;

// ---- Small helpers --------------------------------------------------------------------------

std::string joinPath(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

// Makes every missing folder of the path, as `mkdir -p` does.
int makeFolderChain(const std::string& path)
{
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return errno;
        if (end == std::string::npos)
            return 0;
    }
}

int openFolder(int at, const char* name)
{
    return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// A folder of the earlier set, never through a link: one that leads into the ICQ folder would
// have the new set share ICQ's live files.
int openLinkFolder(int at, const char* name)
{
    return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

int openLinkRoot(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back(); // a trailing slash would follow a link
    return openLinkFolder(AT_FDCWD, path.c_str());
}

struct FileId
{
    dev_t device;
    ino_t inode;
    auto operator<=>(const FileId&) const = default;
};

FileId idOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino};
}

std::int64_t nanoseconds(const struct timespec& time)
{
    return std::int64_t(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

struct timespec timespecOf(std::int64_t nanoseconds)
{
    std::int64_t seconds = nanoseconds / 1000000000LL;
    std::int64_t rest = nanoseconds % 1000000000LL;
    if (rest < 0) {
        rest += 1000000000LL;
        --seconds;
    }
    return {time_t(seconds), long(rest)};
}

bool sameVersion(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

constexpr long FuseMagic = 0x65735546;

// Whether a folder is on a file system in user space (FUSE). Their renames of a folder differ:
// fusefat's loses what is in it.
bool inUserSpace(int fd)
{
    struct statfs info
    {
    };
    return ::fstatfs(fd, &info) == 0 && info.f_type == FuseMagic;
}

// Whether a file system keeps times only to two seconds: FAT and exFAT, in the kernel or through
// FUSE (whose type the mount table tells).
bool keepsCoarseTimes(int fd)
{
    struct statfs info
    {
    };
    if (::fstatfs(fd, &info) != 0)
        return false;
    constexpr long MsdosMagic = 0x4d44;
    constexpr long ExfatMagic = 0x2011BAB0;
    if (info.f_type == MsdosMagic || info.f_type == ExfatMagic)
        return true;
    if (info.f_type != FuseMagic)
        return false;
    struct stat where
    {
    };
    if (::fstat(fd, &where) != 0)
        return false;
    const std::string device =
        std::to_string(major(where.st_dev)) + ':' + std::to_string(minor(where.st_dev));
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        if (numbers != device)
            continue;
        const std::size_t dash = line.find(" - ");
        if (dash == std::string::npos)
            return false;
        std::istringstream rest(line.substr(dash + 3));
        std::string type;
        rest >> type;
        for (const char* fat : {"fat", "vfat", "msdos", "exfat", "fusefat"})
            if (type == fat || type == std::string("fuse.") + fat ||
                type == std::string("fuseblk.") + fat)
                return true;
        return false;
    }
    return false;
}

// ---- The walk -------------------------------------------------------------------------------

// Whether two open files hold the same first `size` bytes.
bool sameContent(int a, int b, std::uint64_t size, std::vector<char>& buffer)
{
    constexpr std::size_t Chunk = std::size_t{1} << 20;
    buffer.resize(2 * Chunk);
    char* const first = buffer.data();
    char* const second = buffer.data() + Chunk;
    for (std::uint64_t at = 0; at < size;) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(Chunk, size - at));
        const ssize_t readA = ::pread(a, first, want, off_t(at));
        const ssize_t readB = ::pread(b, second, want, off_t(at));
        if (readA <= 0 || readA != readB || std::memcmp(first, second, std::size_t(readA)) != 0)
            return false;
        at += std::uint64_t(readA);
    }
    return true;
}

// What stands under a name in the folder, links followed (they are what they point at): 0, or
// the errno that left it Missing.
int examine(int folder, const std::string& name, detail::FoundEntry& entry)
{
    struct stat info
    {
    };
    entry = {};
    if (::fstatat(folder, name.c_str(), &info, 0) != 0)
        return errno;
    using Kind = detail::FoundEntry::Kind;
    entry = {S_ISREG(info.st_mode)   ? Kind::File
             : S_ISDIR(info.st_mode) ? Kind::Folder
                                     : Kind::Other,
             std::uint64_t(info.st_size), nanoseconds(info.st_mtim)};
    return 0;
}

// Lists a target folder and examines each entry on a thread of its own while the walk examines
// the source's: a repeat's time is these calls, one on each side for every file, and the two
// sides go on two processors, as rsync's two processes do.
class TargetLister
{
public:
    struct Listing
    {
        int error = 0;
        std::vector<std::string> names;
        std::unordered_map<std::string, detail::FoundEntry> found; // by name
    };

    TargetLister() : m_thread([this] { work(); }) {}
    ~TargetLister()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    TargetLister(const TargetLister&) = delete;
    TargetLister& operator=(const TargetLister&) = delete;

    // Begins on the folder, which stays open until take() has answered.
    void start(int folder)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_folder = folder;
            m_done = false;
        }
        m_changed.notify_all();
    }
    Listing take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
        return std::move(m_listing);
    }

private:
    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_quit || m_folder >= 0; });
            if (m_quit)
                return;
            const int folder = std::exchange(m_folder, -1);
            lock.unlock();
            Listing listing;
            listing.error = detail::readFolderNames(folder, ".", 0, listing.names);
            for (const std::string& name : listing.names)
                examine(folder, name, listing.found[name]);
            lock.lock();
            m_listing = std::move(listing);
            m_done = true;
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_folder = -1; // to be listed
    bool m_done = false;
    bool m_quit = false;
    Listing m_listing;
    std::thread m_thread; // last: it starts once the rest is built
};

class Planner : public detail::PlannerBase
{
public:
    using PlannerBase::PlannerBase;

    bool run();

private:
    void walk(std::uint32_t folder, int sourceDir, const std::string& sourcePath, int targetDir,
              const std::string& targetPath, int linkDir, const std::string* pattern);
    TargetEntries readTargetEntries(int targetDir, const std::string& targetPath);
    bool coarseTimes(int fd);

    detail::FoundEntry targetEntry(const std::string& targetName) override
    {
        const auto known = m_targetFound.find(targetName);
        if (known != m_targetFound.end())
            return known->second;
        detail::FoundEntry entry;
        examine(m_here.targetDir, targetName, entry);
        return entry;
    }
    detail::FoundEntry earlierEntry(const std::string& name) override;
    bool sameContent(const std::string& name, const std::string& targetName,
                     std::uint64_t size) override;
    void removeTemporary(const std::string& name) override
    {
        std::string failed; // left for the next walk
        detail::removeTreeAt(m_here.targetDir, name, name, failed);
    }
    std::string targetPathOf(const std::string& name) const override
    {
        return joinPath(*m_here.targetPath, name);
    }
    std::string sourcePathOf(const std::string& name) const override
    {
        return joinPath(*m_here.sourcePath, name);
    }

    // The folder whose files are being planned.
    struct Here
    {
        int sourceDir = -1;
        const std::string* sourcePath = nullptr;
        int targetDir = -1;
        const std::string* targetPath = nullptr;
        int linkDir = -1;
    } m_here;
    std::vector<FileId> m_ancestors;     // the source folders being walked, outermost first
    std::set<FileId> m_targetFolders;    // never walked as a source: they are the copy's own
    std::map<dev_t, bool> m_coarseTimes; // by device
    std::vector<char> m_compareBuffer;
    std::unique_ptr<TargetLister> m_lister; // made at the first target folder
    std::unordered_map<std::string, detail::FoundEntry> m_targetFound; // the current folder's
};

detail::FoundEntry Planner::earlierEntry(const std::string& name)
{
    struct stat earlier
    {
    };
    struct stat source
    {
    };
    // A link there is not the earlier copy, and the very file being backed up never is.
    if (m_here.linkDir < 0 ||
        ::fstatat(m_here.linkDir, name.c_str(), &earlier, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(earlier.st_mode) || ::fstatat(m_here.sourceDir, name.c_str(), &source, 0) != 0 ||
        (earlier.st_dev == source.st_dev && earlier.st_ino == source.st_ino))
        return {};
    return {detail::FoundEntry::Kind::File, std::uint64_t(earlier.st_size),
            nanoseconds(earlier.st_mtim)};
}

bool Planner::sameContent(const std::string& name, const std::string& targetName,
                          std::uint64_t size)
{
    const UniqueFd a(::openat(m_here.sourceDir, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const UniqueFd b(
        ::openat(m_here.targetDir, targetName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!a) {
        fail(joinPath(*m_here.sourcePath, name), CopySide::Source, errno);
        return false;
    }
    return b && Os::sameContent(a.get(), b.get(), size, m_compareBuffer);
}

bool Planner::coarseTimes(int fd)
{
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        return false;
    const auto known = m_coarseTimes.find(info.st_dev);
    if (known != m_coarseTimes.end())
        return known->second;
    return m_coarseTimes[info.st_dev] = keepsCoarseTimes(fd);
}

bool Planner::run()
{
    m_plan.folders.clear();
    m_plan.files.clear();
    m_plan.failures.clear();

    const std::string& from = m_request.from;
    const std::size_t cut = from.rfind('/');
    const std::string folder = cut == std::string::npos ? std::string(".")
                               : cut == 0               ? std::string("/")
                                                        : from.substr(0, cut);
    const std::string pattern = cut == std::string::npos ? from : from.substr(cut + 1);

    m_plan.sourceRoot = resolvePathIgnoringCase(folder);
    m_plan.targetRoot =
        m_request.to.empty() ? std::string() : resolvePathIgnoringCase(m_request.to);
    m_plan.linkRoot =
        m_request.linkFrom.empty() ? std::string() : resolvePathIgnoringCase(m_request.linkFrom);
    m_plan.folders.push_back({});

    UniqueFd sourceDir(::open(m_plan.sourceRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat sourceInfo
    {
    };
    if (!sourceDir || ::fstat(sourceDir.get(), &sourceInfo) != 0) {
        fail(m_plan.sourceRoot, CopySide::Source, errno);
        return false;
    }
    m_plan.folders[0].accessed = nanoseconds(sourceInfo.st_atim);
    m_plan.folders[0].modified = nanoseconds(sourceInfo.st_mtim);

    UniqueFd targetDir;
    if (!m_plan.targetRoot.empty()) {
        targetDir.reset(::open(m_plan.targetRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!targetDir && errno != ENOENT) {
            fail(m_plan.targetRoot, CopySide::Target, errno);
            return false;
        }
        m_plan.folders[0].existsInTarget = bool(targetDir);
        // Where the target is still to be made, its nearest existing folder tells its file
        // system.
        std::string existing = m_plan.targetRoot;
        UniqueFd probe;
        while (!targetDir && !probe && existing.size() > 1) {
            const std::size_t slash = existing.rfind('/');
            existing = slash == 0 || slash == std::string::npos ? "/" : existing.substr(0, slash);
            probe.reset(::open(existing.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        }
        m_plan.coarseTimes = coarseTimes(targetDir ? targetDir.get() : probe.get());
        struct stat info
        {
        };
        if (targetDir && ::fstat(targetDir.get(), &info) == 0)
            m_targetFolders.insert(idOf(info));
    }
    UniqueFd linkDir;
    if (!m_plan.linkRoot.empty()) {
        linkDir.reset(openLinkRoot(m_plan.linkRoot));
        m_plan.folders[0].inLinkFrom = bool(linkDir);
    }

    m_ancestors.push_back(idOf(sourceInfo));
    walk(0, sourceDir.get(), m_plan.sourceRoot, targetDir.get(), m_plan.targetRoot, linkDir.get(),
         &pattern);
    return m_plan.failures.empty();
}

Planner::TargetEntries Planner::readTargetEntries(int targetDir, const std::string& targetPath)
{
    TargetLister::Listing listing = m_lister->take();
    m_targetFound = std::move(listing.found);
    if (listing.error != 0) {
        fail(targetPath, CopySide::Target, listing.error);
        return {};
    }
    m_here.targetDir = targetDir;
    return targetEntries(listing.names);
}

void Planner::walk(std::uint32_t folder, int sourceDir, const std::string& sourcePath,
                   int targetDir, const std::string& targetPath, int linkDir,
                   const std::string* pattern)
{
    if (targetDir >= 0) {
        if (!m_lister)
            m_lister = std::make_unique<TargetLister>();
        m_lister->start(targetDir);
    }
    std::vector<std::string> names;
    const int sourceError = detail::readFolderNames(sourceDir, ".", 0, names);
    selectSourceNames(names, pattern);
    // The source's entries examined while the target's are.
    std::vector<detail::FoundEntry> examined(names.size());
    std::vector<int> errors(names.size());
    for (std::size_t at = 0; at < names.size(); ++at)
        errors[at] = examine(sourceDir, names[at], examined[at]);

    m_targetFound.clear();
    TargetEntries entries =
        targetDir >= 0 ? readTargetEntries(targetDir, targetPath) : TargetEntries();
    if (sourceError != 0) {
        fail(sourcePath, CopySide::Source, sourceError);
        return;
    }
    // Times of two seconds on either side (a restore from a FAT stick) compare to two seconds.
    const bool coarseTarget = targetDir >= 0 && (coarseTimes(targetDir) || coarseTimes(sourceDir));
    const bool coarseLink = linkDir >= 0 && coarseTimes(linkDir);
    m_here = {sourceDir, &sourcePath, targetDir, &targetPath, linkDir};
    std::vector<std::string> subfolders;
    using Kind = detail::FoundEntry::Kind;
    for (std::size_t at = 0; at < names.size(); ++at) {
        const std::string& name = names[at];
        const detail::FoundEntry& entry = examined[at];
        if (errors[at] != 0)
            fail(joinPath(sourcePath, name), CopySide::Source, errors[at]);
        else if (entry.kind == Kind::Folder)
            subfolders.push_back(name);
        else if (entry.kind == Kind::File)
            planFile(folder, name, entry.size, entry.modified, entries, coarseTarget, coarseLink);
        else
            fail(joinPath(sourcePath, name), CopySide::Source, "it is neither a file nor a folder");
    }

    for (const std::string& name : subfolders) {
        const std::string childSource = joinPath(sourcePath, name);
        UniqueFd source(openFolder(sourceDir, name.c_str()));
        struct stat info
        {
        };
        if (!source || ::fstat(source.get(), &info) != 0) {
            fail(childSource, CopySide::Source, errno);
            continue;
        }
        if (m_targetFolders.count(idOf(info)) != 0)
            continue; // the copy's own target, inside its source
        if (std::find(m_ancestors.begin(), m_ancestors.end(), idOf(info)) != m_ancestors.end()) {
            fail(childSource, CopySide::Source,
                 "it is a link that leads back into a folder being copied");
            continue;
        }

        // An existing folder of that name in any letter case is merged into; a link to a folder
        // is followed, as users move a data folder to another disk that way.
        PlannedFolder record;
        record.parent = folder;
        record.name = m_plan.addName(name);
        record.accessed = nanoseconds(info.st_atim);
        record.modified = nanoseconds(info.st_mtim);
        const std::string key = detail::foldedKey(name);
        const auto existing = entries.find(key);
        const std::string targetName = existing != entries.end() ? existing->second.name : name;
        const std::string childTarget = joinPath(targetPath, targetName);
        record.targetName = targetName == name ? record.name : m_plan.addName(targetName);
        UniqueFd target;
        if (existing != entries.end() && existing->second.onDisk) {
            target.reset(openFolder(targetDir, targetName.c_str()));
            struct stat targetInfo
            {
            };
            if (!target || ::fstat(target.get(), &targetInfo) != 0) {
                fail(childTarget, CopySide::Target, errno);
                continue;
            }
            m_targetFolders.insert(idOf(targetInfo));
            record.existsInTarget = true;
        } else if (existing == entries.end()) {
            entries.emplace(key, TargetEntry{name, false});
        }
        UniqueFd link;
        if (linkDir >= 0) {
            link.reset(openLinkFolder(linkDir, name.c_str()));
            record.inLinkFrom = bool(link);
        }
        const auto index = static_cast<std::uint32_t>(m_plan.folders.size());
        m_plan.folders.push_back(record);
        m_ancestors.push_back(idOf(info));
        walk(index, source.get(), childSource, target.get(), childTarget, link.get(), nullptr);
        m_ancestors.pop_back();
    }
}

// ---- The copy -------------------------------------------------------------------------------

struct DataError
{
    int error = 0;
    CopySide side = CopySide::Source;
    bool changed = false; // the source ended early: it changed while being read
    bool refused = false; // the file systems take no splice: nothing of the file was written
};

// Renames within a folder, never over what appeared under the new name meanwhile; where the file
// system takes no such rename (FAT through FUSE), a plain one: 0 or an errno.
int renameWithoutReplacing(int folder, const char* from, const char* to)
{
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    return ::renameat(folder, from, folder, to) == 0 ? 0 : errno;
}

bool spliceRefusal(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

using ProgressCallback = std::function<void(std::uint64_t)>;

// Opens the target folders of a plan from the root down, one name at a time, so that no call
// takes a path longer than a name: a deep folder whose whole path is longer than the system
// takes is renamed into, verified and cleaned up like any other. `nameOf` tells the name a
// folder has now (a check reads a backup as the walk's source: the source's names).
class TargetFolders
{
public:
    using NameOf = std::function<std::string(std::uint32_t folder)>;
    TargetFolders(const CopyPlan& plan, int root, NameOf nameOf)
        : m_plan(plan), m_nameOf(std::move(nameOf))
    {
        m_open.emplace_back(0, UniqueFd(::dup(root)));
    }
    // A descriptor of the folder, or -1 with errno set. Cheapest in the plan's order.
    int open(std::uint32_t folder)
    {
        std::vector<std::uint32_t> chain; // the folder and its ancestors up to the root's child
        for (std::uint32_t at = folder; at != 0; at = m_plan.folders[at].parent)
            chain.push_back(at);
        // Keep what leads to the folder, close the rest.
        while (m_open.size() > 1 &&
               std::find(chain.begin(), chain.end(), m_open.back().first) == chain.end())
            m_open.pop_back();
        while (m_open.back().first != folder) {
            const auto next = std::find(chain.begin(), chain.end(), m_open.back().first);
            const std::uint32_t child = next == chain.end() ? chain.back() : *(next - 1);
            UniqueFd fd(openFolder(m_open.back().second.get(), m_nameOf(child).c_str()));
            if (!fd)
                return -1;
            m_open.emplace_back(child, std::move(fd));
        }
        return m_open.back().second.get();
    }
    const CopyPlan& plan() const { return m_plan; }

private:
    const CopyPlan& m_plan;
    const NameOf m_nameOf;
    // Kept open: a folder renamed into place is still the one opened.
    std::vector<std::pair<std::uint32_t, UniqueFd>> m_open;
};

class Executor : public detail::ExecutorBase
{
public:
    Executor(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome)
        : ExecutorBase(request, plan, outcome, ::getpid())
    {}

private:
    struct OpenFolder
    {
        std::uint32_t folder;
        UniqueFd source;
        UniqueFd target;
        UniqueFd link;
        std::string sourcePath;
        std::string targetPath;
    };

    bool openRoots() override;
    bool enterFolder(std::uint32_t folder) override;
    const std::string& currentTargetPath() const override { return m_open.back().targetPath; }
    void copyFile(std::uint32_t index) override;
    bool linkFile(PlannedFile& file) override;
    void closeFolders() override { m_open.clear(); }
    bool targetOpened() const override { return bool(m_targetRoot); }
    int syncTargets() override;
    void removeTemporary(const Pending& pending) override;
    void readBack(const Pending& pending) override;
    std::string placeFile(const Pending& pending) override;
    std::string placeFolder(std::uint32_t folder) override;
    void removeNewFolder(std::uint32_t folder) override;
    FolderTimes setFolderTimes(std::uint32_t folder) override;

    // Copies a file's bytes and hands them to the digest queue, whose checksum goes to *digest.
    DataError copyData(int in, int out, std::uint64_t size, bool sparse,
                       const ProgressCallback& progress, Digest* digest);
    DataError readAndWrite(int in, int out, std::uint64_t& at, std::uint64_t end,
                           const ProgressCallback& progress);
    DataError splice(int in, int out, std::uint64_t& at, std::uint64_t end,
                     const ProgressCallback& progress);
    bool openPipe();
    void noteTargetFolder(int fd);
    TargetFolders& targetFolders()
    {
        if (!m_targetFolders)
            m_targetFolders = std::make_unique<TargetFolders>(
                m_plan, m_targetRoot.get(),
                [this](std::uint32_t folder) { return madeName(folder); });
        return *m_targetFolders;
    }

    std::vector<OpenFolder> m_open; // the folder being copied and its ancestors
    UniqueFd m_targetRoot;
    std::unique_ptr<TargetFolders> m_targetFolders; // opened for the renames at the end
    std::map<dev_t, UniqueFd> m_targets; // one folder of each target file system, for syncfs
    UniqueFd m_pipeRead;                 // what the kernel's copy passes through
    UniqueFd m_pipeWrite;
    std::size_t m_pipeSize = 0;
    bool m_spliceRefused = false;
};

void Executor::noteTargetFolder(int fd)
{
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && m_targets.count(info.st_dev) == 0)
        m_targets.emplace(info.st_dev, UniqueFd(::dup(fd)));
}

bool Executor::openRoots()
{
    // Past a file-size limit a write fails with EFBIG, which is reported; the signal's default
    // would end the program in the middle of a file without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    OpenFolder root{0,
                    UniqueFd(::open(m_plan.sourceRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                    UniqueFd(),
                    UniqueFd(),
                    m_plan.sourceRoot,
                    m_plan.targetRoot};
    if (!root.source) {
        fail(m_plan.sourceRoot, CopySide::Source, errno);
        return false;
    }
    if (const int error = makeFolderChain(m_plan.targetRoot)) {
        fail(m_plan.targetRoot, CopySide::Target, error);
        return false;
    }
    root.target.reset(::open(m_plan.targetRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root.target) {
        fail(m_plan.targetRoot, CopySide::Target, errno);
        return false;
    }
    if (!m_plan.linkRoot.empty())
        root.link.reset(openLinkRoot(m_plan.linkRoot));
    noteTargetFolder(root.target.get());
    m_targetRoot.reset(::dup(root.target.get()));
    m_open.push_back(std::move(root));
    return true;
}

bool Executor::enterFolder(std::uint32_t folder)
{
    const PlannedFolder& record = m_plan.folders[folder];
    while (m_open.back().folder != record.parent)
        m_open.pop_back();
    const OpenFolder& parent = m_open.back();
    const std::string_view sourceName = m_plan.name(record.name);
    const std::string_view targetName = m_plan.name(record.targetName);
    OpenFolder entered{folder,
                       UniqueFd(openFolder(parent.source.get(), sourceName.data())),
                       UniqueFd(),
                       UniqueFd(),
                       joinPath(parent.sourcePath, sourceName),
                       joinPath(parent.targetPath, targetName)};
    if (!entered.source) {
        fail(entered.sourcePath, CopySide::Source, errno);
        m_brokenFolders[folder] = true;
        return false;
    }
    if (isNewRoot(folder) && inUserSpace(parent.target.get()))
        keepOwnName(folder);
    const std::string madeName = this->madeName(folder);
    if (!record.existsInTarget) {
        int made = ::mkdirat(parent.target.get(), madeName.c_str(), 0777);
        // Under this process's temporary name stands what one of the same number left.
        if (made != 0 && errno == EEXIST && isNewRoot(folder)) {
            std::string failed;
            detail::removeTreeAt(parent.target.get(), madeName, entered.targetPath, failed);
            made = ::mkdirat(parent.target.get(), madeName.c_str(), 0777);
        }
        if (made != 0 && errno != EEXIST) {
            fail(entered.targetPath, CopySide::Target, errno);
            m_brokenFolders[folder] = true;
            return false;
        }
    }
    entered.target.reset(openFolder(parent.target.get(), madeName.c_str()));
    if (!entered.target) {
        fail(entered.targetPath, CopySide::Target, errno);
        m_brokenFolders[folder] = true;
        return false;
    }
    if (record.inLinkFrom && parent.link)
        entered.link.reset(openLinkFolder(parent.link.get(), sourceName.data()));
    noteTargetFolder(entered.target.get());
    m_enteredFolders[folder] = true;
    m_open.push_back(std::move(entered));
    return true;
}

bool Executor::linkFile(PlannedFile& file)
{
    const OpenFolder& here = m_open.back();
    if (!here.link)
        return false;
    if (::linkat(here.link.get(), m_plan.name(file.name).data(), here.target.get(),
                 m_plan.name(file.targetName).data(), 0) != 0) {
        // Where the target cannot link (FAT, some network shares) the files are copied.
        if (errno == EXDEV || errno == EPERM || errno == EMLINK || errno == EOPNOTSUPP ||
            errno == ENOSYS)
            m_outcome.linksRefused = true;
        return false;
    }
    linked(file);
    return true;
}

bool Executor::openPipe()
{
    if (m_pipeRead)
        return true;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    m_pipeRead.reset(ends[0]);
    m_pipeWrite.reset(ends[1]);
    // A larger pipe moves more with each pair of calls; the system's limit may keep the default.
    int size = ::fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
    if (size <= 0)
        size = ::fcntl(ends[1], F_GETPIPE_SZ);
    m_pipeSize = size > 0 ? std::size_t(size) : std::size_t{4096};
    return true;
}

DataError Executor::copyData(int in, int out, std::uint64_t size, bool sparse,
                             const ProgressCallback& progress, Digest* digest)
{
    DigestQueue& digests = this->digests();
    // A file of more than a block is copied by the kernel and read by the checksum thread
    // beside it, so that its bytes enter this program once, not twice, and the two processors
    // share the work. The checksum is of the source as read: verify compares the copy with it.
    const bool reading = size > DigestQueue::BlockSize && !m_spliceRefused && openPipe();
    bool byKernel = reading;
    if (reading)
        digests.beginReading([in](char* block, std::size_t want, std::uint64_t offset) {
            for (;;) {
                const ssize_t n = ::pread(in, block, want, off_t(offset));
                if (n >= 0 || errno != EINTR)
                    return n >= 0 ? std::int64_t(n) : -std::int64_t(errno);
            }
        });
    else
        digests.begin(size);
    // A hole reads as zeros: it counts in the checksum, and stays a hole in the copy.
    const auto skipHole = [&](std::uint64_t from, std::uint64_t to) {
        if (to <= from)
            return;
        digests.addZeros(to - from);
        if (progress)
            progress(to - from);
    };
    DataError result;
    bool splicedAny = false;
    std::uint64_t at = 0;
    while (at < size && result.error == 0 && !result.changed) {
        std::uint64_t end = size;
        if (sparse) {
            const off_t data = ::lseek(in, off_t(at), SEEK_DATA);
            if (data < 0 && errno == ENXIO) {
                skipHole(at, size);
                at = size;
                break;
            }
            if (data >= 0) {
                skipHole(at, std::min<std::uint64_t>(std::uint64_t(data), size));
                at = std::min<std::uint64_t>(std::uint64_t(data), size);
                const off_t hole = ::lseek(in, data, SEEK_HOLE);
                end = hole < 0 ? size : std::min<std::uint64_t>(std::uint64_t(hole), size);
            }
        }
        const std::uint64_t start = at;
        result = byKernel ? splice(in, out, at, end, progress)
                          : readAndWrite(in, out, at, end, progress);
        if (result.refused && !splicedAny) {
            // Blocks from here on: the thread hashes them after what it has, in order.
            m_spliceRefused = true;
            byKernel = false;
            result = {};
        }
        splicedAny = splicedAny || at > start;
    }
    // The copy's length is the source's, holes at the end included.
    if (result.error == 0 && !result.changed && sparse && ::ftruncate(out, off_t(size)) != 0)
        result = {errno, CopySide::Target};
    const bool whole = result.error == 0 && !result.changed;
    if (!reading) {
        if (whole)
            digests.finish(digest);
        return result;
    }
    // The thread is done with `in` before the caller closes it.
    const int readError = digests.finishReading(whole ? digest : nullptr);
    if (whole && readError != 0)
        result = readError == ENODATA ? DataError{0, CopySide::Source, true}
                                      : DataError{readError, CopySide::Source};
    return result;
}

DataError Executor::readAndWrite(int in, int out, std::uint64_t& at, std::uint64_t end,
                                 const ProgressCallback& progress)
{
    DigestQueue& digests = this->digests();
    while (at < end) {
        if (stopped())
            return {ECANCELED, CopySide::Target};
        const std::size_t want =
            std::size_t(std::min<std::uint64_t>(DigestQueue::BlockSize, end - at));
        char* const block = digests.block();
        const ssize_t n = ::pread(in, block, want, off_t(at));
        if (n <= 0) {
            const int error = errno;
            digests.giveBack(block);
            if (n == 0)
                return {0, CopySide::Source, true};
            if (error == EINTR)
                continue;
            return {error, CopySide::Source};
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w =
                ::pwrite(out, block + written, std::size_t(n - written), off_t(at) + written);
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                const int error = errno;
                digests.giveBack(block);
                return {error, CopySide::Target};
            }
            written += w;
        }
        digests.add(block, std::size_t(n));
        at += std::uint64_t(n);
        if (progress)
            progress(std::uint64_t(n));
    }
    return {};
}

DataError Executor::splice(int in, int out, std::uint64_t& at, std::uint64_t end,
                           const ProgressCallback& progress)
{
    // What a failed call leaves in the pipe must not reach the next file.
    const std::uint64_t start = at;
    const auto failed = [&](int error, CopySide side) {
        m_pipeRead.reset();
        m_pipeWrite.reset();
        return DataError{error, side, false, at == start && spliceRefusal(error)};
    };
    while (at < end) {
        if (stopped())
            return {ECANCELED, CopySide::Target};
        loff_t from = loff_t(at);
        const ssize_t n =
            ::splice(in, &from, m_pipeWrite.get(), nullptr,
                     std::size_t(std::min<std::uint64_t>(m_pipeSize, end - at)), SPLICE_F_MOVE);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(errno, CopySide::Source);
        if (n == 0)
            return {0, CopySide::Source, true};
        loff_t to = loff_t(at);
        for (ssize_t moved = 0; moved < n;) {
            const ssize_t m = ::splice(m_pipeRead.get(), nullptr, out, &to, std::size_t(n - moved),
                                       SPLICE_F_MOVE);
            if (m < 0 && errno == EINTR)
                continue;
            if (m <= 0)
                return failed(m < 0 ? errno : EIO, CopySide::Target);
            moved += m;
        }
        digests().addRange(at, std::uint64_t(n));
        at += std::uint64_t(n);
        if (progress)
            progress(std::uint64_t(n));
    }
    return {};
}

void Executor::copyFile(std::uint32_t index)
{
    PlannedFile& file = m_plan.files[index];
    const OpenFolder& here = m_open.back();
    const std::string_view name = m_plan.name(file.name);
    const std::string_view finalName = m_plan.name(file.targetName);
    const std::string sourceFile = joinPath(here.sourcePath, name);
    const std::string targetFile = joinPath(here.targetPath, finalName);
    file.result = FileResult::Failed;
    const std::string temporary = writtenName(index);
    UniqueFd out(::openat(here.target.get(), temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out) {
        fail(targetFile, CopySide::Target, errno);
        return;
    }
    const auto drop = [&] {
        out.reset();
        ::unlinkat(here.target.get(), temporary.c_str(), 0);
    };

    // A file that changes while it is read is read once more; one that changes again is
    // reported rather than kept in a state that matches no version of it. The source is opened
    // without blocking and must still be a regular file: a FIFO put in its place would wait for
    // a writer for ever.
    struct stat before
    {
    };
    for (int attempt = 0;; ++attempt) {
        UniqueFd in(::openat(here.source.get(), name.data(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!in || ::fstat(in.get(), &before) != 0) {
            fail(sourceFile, CopySide::Source, errno);
            drop();
            return;
        }
        if (!S_ISREG(before.st_mode)) {
            fail(sourceFile, CopySide::Source, "it is neither a file nor a folder");
            drop();
            return;
        }
        if (attempt > 0 && ::ftruncate(out.get(), 0) != 0) {
            fail(targetFile, CopySide::Target, errno);
            drop();
            return;
        }
        if (before.st_size >= (off_t{8} << 20))
            ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        const bool sparse = std::uint64_t(before.st_blocks) * 512 < std::uint64_t(before.st_size);
        const DataError error =
            copyData(in.get(), out.get(), std::uint64_t(before.st_size), sparse,
                     attempt == 0 ? m_request.onProgress : ProgressCallback(), &file.digest);
        if (error.error != 0) {
            if (error.error == ECANCELED)
                m_cancelled = true;
            else
                fail(error.side == CopySide::Source ? sourceFile : targetFile, error.side,
                     error.error);
            drop();
            return;
        }
        if (m_request.afterFileData)
            m_request.afterFileData(sourceFile, joinPath(madeFolderPath(here.folder), temporary));
        // The name still leads to the file read (which stays open, so its number is not
        // reused), and that file is as it was: the same inode, its size and time unchanged.
        struct stat named
        {
        };
        if (!error.changed && ::fstatat(here.source.get(), name.data(), &named, 0) == 0 &&
            sameVersion(before, named))
            break;
        if (attempt == 1) {
            fail(sourceFile, CopySide::Source, "it changed while being copied");
            drop();
            return;
        }
    }

    // The data is what counts: a target that keeps no modes or times (FAT) is told of once.
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::fchmod(out.get(), before.st_mode & 07777) != 0 || ::futimens(out.get(), times) != 0)
        m_outcome.attributesLost = true;
    if (::close(out.release()) != 0) {
        fail(targetFile, CopySide::Target, errno);
        ::unlinkat(here.target.get(), temporary.c_str(), 0);
        return;
    }
    written(index, std::uint64_t(before.st_size), nanoseconds(before.st_mtim));
}

void Executor::readBack(const Pending& pending)
{
    PlannedFile& file = m_plan.files[pending.file];
    const int folder = targetFolders().open(file.folder);
    const auto copy =
        std::make_shared<UniqueFd>(folder < 0 ? -1
                                              : ::openat(folder, writtenName(pending.file).c_str(),
                                                         O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!*copy)
        return; // unread, it stays unverified
    // Synced, its pages are clean and can go: what is read next comes from the disk.
    ::posix_fadvise(copy->get(), 0, 0, POSIX_FADV_DONTNEED);
    digests().check(
        [copy](char* block) -> std::int64_t {
            for (;;) {
                const ssize_t n = ::read(copy->get(), block, DigestQueue::BlockSize);
                if (n >= 0 || errno != EINTR)
                    return n;
            }
        },
        &file.digest, &file.verified);
}

int Executor::syncTargets()
{
    for (const auto& [device, fd] : m_targets)
        if (::syncfs(fd.get()) != 0)
            return errno;
    return 0;
}

void Executor::removeTemporary(const Pending& pending)
{
    const PlannedFile& file = m_plan.files[pending.file];
    const int folder = targetFolders().open(file.folder);
    if (folder >= 0)
        ::unlinkat(folder, writtenName(pending.file).c_str(), 0);
}

std::string Executor::placeFile(const Pending& pending)
{
    if (writtenInPlace(pending.file))
        return {};
    const PlannedFile& file = m_plan.files[pending.file];
    const int folder = targetFolders().open(file.folder);
    if (folder < 0)
        return errorText(errno);
    const std::string temporaryFile = writtenName(pending.file);
    const char* const temporary = temporaryFile.c_str();
    const char* const finalName = m_plan.name(file.targetName).data();
    const auto failed = [&](const std::string& reason) {
        ::unlinkat(folder, temporary, 0);
        return reason;
    };
    // A new file never replaces one that appeared meanwhile.
    int error = 0;
    if (file.action != PlannedAction::Replace)
        error = renameWithoutReplacing(folder, temporary, finalName);
    else if (::renameat(folder, temporary, folder, finalName) != 0)
        error = errno;
    return error != 0 ? failed(errorText(error)) : std::string();
}

std::string Executor::placeFolder(std::uint32_t folder)
{
    const PlannedFolder& record = m_plan.folders[folder];
    const int parent = targetFolders().open(record.parent);
    if (parent < 0)
        return errorText(errno);
    const std::string madeName = this->madeName(folder);
    const char* const finalName = m_plan.name(record.targetName).data();
    // (A plain rename goes over an empty folder only: nothing in it is lost.)
    const int error = renameWithoutReplacing(parent, madeName.c_str(), finalName);
    return error != 0 ? errorText(error) : std::string();
}

void Executor::removeNewFolder(std::uint32_t folder)
{
    const int parent = targetFolders().open(m_plan.folders[folder].parent);
    std::string failed; // left for the next walk
    if (parent >= 0)
        detail::removeTreeAt(parent, madeName(folder), targetFolderPath(folder), failed);
}

Executor::FolderTimes Executor::setFolderTimes(std::uint32_t folder)
{
    // The mode stays the default.
    const PlannedFolder& record = m_plan.folders[folder];
    const int parent = targetFolders().open(record.parent);
    const char* const name = m_plan.name(record.targetName).data();
    struct stat now
    {
    };
    if (parent >= 0 && ::fstatat(parent, name, &now, 0) == 0 &&
        nanoseconds(now.st_mtim) == record.modified)
        return FolderTimes::Unchanged; // a repeat backup that changed nothing in it
    const struct timespec times[2] = {timespecOf(record.accessed), timespecOf(record.modified)};
    return parent >= 0 && ::utimensat(parent, name, times, 0) == 0 ? FolderTimes::Set
                                                                   : FolderTimes::Lost;
}

} // namespace

struct PlanReader::State
{
    State(const CopyPlan& plan, int root)
        : root(root), folders(plan, root, [&plan](std::uint32_t folder) {
              return std::string(plan.name(plan.folders[folder].name));
          })
    {}
    UniqueFd root;
    int rootError = 0; // why the root could not be opened
    TargetFolders folders;
    std::unique_ptr<char[]> buffer{new char[std::size_t{1} << 20]};
};

PlanReader::PlanReader(const CopyPlan& plan)
{
    const int root = ::open(plan.sourceRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int error = root < 0 ? errno : 0;
    m_state = std::make_unique<State>(plan, root);
    m_state->rootError = error;
}

PlanReader::~PlanReader() = default;

bool PlanReader::read(const PlannedFile& file,
                      const std::function<void(const char*, std::size_t)>& take, std::string& error)
{
    const auto failed = [&error](int number) {
        error = errorText(number);
        return false;
    };
    if (!m_state->root)
        return failed(m_state->rootError);
    const int folder = m_state->folders.open(file.folder);
    if (folder < 0)
        return failed(errno);
    const UniqueFd fd(::openat(folder, m_state->folders.plan().name(file.name).data(),
                               O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return failed(errno);
    // Pages still dirty would stay: synced first, then dropped, so that what is read next
    // comes from the medium. A file system with nothing to sync for a reader says so.
    if (::fdatasync(fd.get()) != 0 && errno != EINVAL && errno != EROFS && errno != ENOSYS)
        return failed(errno);
    if (const int advised = ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_DONTNEED))
        return failed(advised);
    for (;;) {
        const ssize_t n = ::read(fd.get(), m_state->buffer.get(), std::size_t{1} << 20);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        take(m_state->buffer.get(), std::size_t(n));
    }
    return true;
}

bool planCopy(const CopyRequest& request, CopyPlan& plan)
{
    return Planner(request, plan).run();
}

bool copyFolder(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome)
{
    return Executor(request, plan, outcome).run();
}

bool copyFolder(const CopyRequest& request, CopyOutcome& outcome)
{
    CopyPlan plan;
    planCopy(request, plan);
    return copyFolder(request, plan, outcome);
}

bool namesIgnoreCase(const std::string& folder)
{
    // The file systems that keep times to two seconds are the FAT family, which ignore case.
    const UniqueFd fd(
        ::open(resolvePathIgnoringCase(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd && keepsCoarseTimes(fd.get());
}

} // namespace Os
