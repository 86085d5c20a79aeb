// The folder copy on Linux: the project's own copier with the contract of the shell's file
// operation, and the promises of a careful backup tool:
// - every file, new or replaced, is written to a temporary file beside its target; the
//   component's temporary files reach the disk (syncfs) before any of them is renamed into
//   place, and the renames reach it before the copy answers; a copy that dies leaves the old
//   file or the new one under the real name, never a stump, and the next copy into that folder
//   removes what the dead one left;
// - a source file that changes while it is read is read again, once;
// - names match without regard to case in every folder, and the existing spelling is kept;
// - links are what they point at, on both sides, as Windows programs under Wine see them; a
//   folder link that leads back into a folder being copied is refused;
// - folders get the default mode, files keep theirs; a target that cannot keep modes or times
//   (FAT) keeps the data and says so once;
// - folders are walked in name order, so questions come in the order the lists show;
// - everything that cannot be copied is collected, with the side that failed, for one report.
#include "os/os.h"
#include "os/os_internal.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include <dirent.h>

namespace Os {
namespace {

// ---- Small helpers --------------------------------------------------------------------------

class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
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

// The names in a folder but "." and "..", or an errno.
int readNames(int folder, std::vector<std::string>& names)
{
    // The listing gets its own descriptor: closedir() closes what fdopendir() was given.
    const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return errno;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        const int error = errno;
        ::close(listFd);
        return error;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            return errno;
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
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

// Whether a target file is the source file copied before: the same size, and the same
// modification time as far as the target's file system keeps it (whole seconds, or the two
// seconds of FAT, whose times have no fraction).
bool sameSizeAndTime(const struct stat& source, const struct stat& target)
{
    if (source.st_size != target.st_size)
        return false;
    if (source.st_mtim.tv_sec == target.st_mtim.tv_sec &&
        source.st_mtim.tv_nsec == target.st_mtim.tv_nsec)
        return true;
    if (target.st_mtim.tv_nsec != 0)
        return false;
    const long long difference =
        (source.st_mtim.tv_sec - target.st_mtim.tv_sec) * 1000000000LL + source.st_mtim.tv_nsec;
    const long long resolution = target.st_mtim.tv_sec % 2 == 0 ? 2000000000LL : 1000000000LL;
    return difference > -resolution && difference < resolution;
}

bool sameVersion(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// ---- Temporary files ------------------------------------------------------------------------

constexpr char TemporaryPrefix[] = ".~zeb";

// Temporary files are named ".~zeb<pid>-<counter>-<name>"; answers the pid of the process that
// wrote one, or 0 for a name that is not ours.
long temporaryOwner(const std::string& name)
{
    constexpr std::size_t prefixLength = sizeof(TemporaryPrefix) - 1;
    if (name.compare(0, prefixLength, TemporaryPrefix) != 0)
        return 0;
    std::size_t at = prefixLength;
    long pid = 0;
    for (; at < name.size() && at < prefixLength + 10 &&
           std::isdigit(static_cast<unsigned char>(name[at]));
         ++at)
        pid = pid * 10 + (name[at] - '0');
    if (at == prefixLength || at >= name.size() || name[at] != '-')
        return 0;
    const std::size_t counter = ++at;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])))
        ++at;
    return at > counter && at < name.size() && name[at] == '-' ? pid : 0;
}

// ---- Copying a file's data ------------------------------------------------------------------

struct DataError
{
    int error = 0;
    CopySide side = CopySide::Source;
};

bool inKernelCopyRefused(int error)
{
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
           error == EPERM || error == EBADF;
}

// Pairs of file systems between which the kernel refused to copy: asked once, not per file.
class RefusedPairs
{
public:
    bool contains(FileId pair)
    {
        const std::lock_guard lock(m_mutex);
        return m_pairs.count(pair) != 0;
    }
    void add(FileId pair)
    {
        const std::lock_guard lock(m_mutex);
        m_pairs.insert(pair);
    }

private:
    std::mutex m_mutex;
    std::set<FileId> m_pairs; // (source device, target device) in the two fields
};

RefusedPairs& refusedPairs()
{
    static RefusedPairs pairs;
    return pairs;
}

using ProgressCallback = std::function<void(std::uint64_t)>;

// Copies `size` bytes from the current offsets: in-kernel where the file systems let it, the
// rest through one buffer. A file that ends early stops the copy; the caller's check of the
// source then notices the change.
DataError copyData(int in, int out, off_t size, FileId devices, const ProgressCallback& progress,
                   const std::atomic<bool>* stop)
{
    const auto stopped = [stop] { return stop && stop->load(); };
    constexpr std::size_t Chunk = std::size_t{8} << 20;
    off_t left = size;
    if (!refusedPairs().contains(devices)) {
        bool copied = false;
        while (left > 0) {
            if (stopped())
                return {ECANCELED, CopySide::Target};
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr,
                                                std::min<std::size_t>(Chunk, size_t(left)), 0);
            if (n > 0) {
                left -= n;
                copied = true;
                if (progress)
                    progress(std::uint64_t(n));
                continue;
            }
            if (n == 0)
                return {};
            if (errno == EINTR)
                continue;
            if (!copied && inKernelCopyRefused(errno))
                refusedPairs().add(devices);
            // Whatever went wrong, the buffered copy goes on from here and finds out which
            // side fails, if one does.
            break;
        }
    }
    constexpr std::size_t BufferSize = std::size_t{1} << 20;
    std::unique_ptr<char[]> buffer;
    while (left > 0) {
        if (stopped())
            return {ECANCELED, CopySide::Target};
        if (!buffer)
            buffer.reset(new char[BufferSize]);
        const ssize_t n = ::read(in, buffer.get(), std::min<std::size_t>(BufferSize, size_t(left)));
        if (n == 0)
            return {};
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return {errno, CopySide::Source};
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w =
                ::write(out, buffer.get() + written, static_cast<std::size_t>(n - written));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return {errno, CopySide::Target};
            }
            written += w;
        }
        left -= n;
        if (progress)
            progress(std::uint64_t(n));
    }
    return {};
}

// Whether the first `size` bytes of two files are the same, read back through their own
// descriptors into the two halves of a buffer that lives as long as the copy. (Mapping both
// files was slower: it faults in every page.)
bool sameContent(int a, int b, off_t size, std::vector<char>& buffer)
{
    constexpr std::size_t Chunk = std::size_t{1} << 20;
    buffer.resize(2 * Chunk);
    char* const first = buffer.data();
    char* const second = buffer.data() + Chunk;
    for (off_t at = 0; at < size;) {
        const std::size_t want = std::min<std::size_t>(Chunk, std::size_t(size - at));
        const ssize_t readA = ::pread(a, first, want, at);
        const ssize_t readB = ::pread(b, second, want, at);
        if (readA <= 0 || readA != readB || std::memcmp(first, second, std::size_t(readA)) != 0)
            return false;
        at += readA;
    }
    return true;
}

// ---- The copier -----------------------------------------------------------------------------

class FolderCopier
{
public:
    FolderCopier(const CopyRequest& request, CopyOutcome& outcome)
        : m_request(request), m_outcome(outcome), m_pid(::getpid()),
          m_temporaryStem(TemporaryPrefix + std::to_string(m_pid) + '-')
    {}

    bool run();

private:
    // A target folder's entries by their name without regard to case, the existing spelling
    // kept.
    using TargetEntries = std::map<std::u32string, std::string>;

    struct Pending
    {
        std::string temporary; // full paths
        std::string final;
        bool replacing;
        std::uint64_t size;
    };
    struct FolderTimes
    {
        std::string path;
        struct timespec times[2];
    };

    // Copies the entries of sourceDir (those matching pattern, when there is one) into
    // targetDir. Answers false when the user cancelled.
    bool copyEntries(int sourceDir, const std::string& sourcePath, int targetDir,
                     const std::string& targetPath, bool fresh, const std::string* pattern);
    bool copyFolderEntry(int sourceDir, const std::string& sourcePath, const std::string& name,
                         int targetDir, const std::string& targetPath, TargetEntries& entries);
    bool copyFileEntry(int sourceDir, const std::string& sourcePath, const std::string& name,
                       const struct stat& source, int targetDir, const std::string& targetPath,
                       TargetEntries& entries);
    void copyFile(int sourceDir, const std::string& sourcePath, const std::string& name,
                  const struct stat& listed, int targetDir, const std::string& targetPath,
                  const std::string& finalName, bool replacing);
    // Reads a target folder's entries and removes what dead copies left in it.
    TargetEntries readTargetEntries(int targetDir, const std::string& targetPath);
    void noteTargetFolder(int fd);
    // Moves every finished temporary file into place, durably.
    void finish();
    bool syncTargets(const std::string& what);

    void fail(const std::string& path, CopySide side, const std::string& reason)
    {
        m_outcome.failures.push_back({path, side, reason});
    }
    void fail(const std::string& path, CopySide side, int error)
    {
        fail(path, side, std::strerror(error));
    }

    const CopyRequest& m_request;
    CopyOutcome& m_outcome;
    const pid_t m_pid;
    const std::string m_temporaryStem;
    unsigned long m_temporaryCounter = 0;
    bool m_yesToAll = false;
    std::vector<FileId> m_ancestors;     // the source folders being copied, outermost first
    std::set<FileId> m_targetFolders;    // never copied as a source: they are this copy's own
    std::map<dev_t, UniqueFd> m_targets; // one folder of each target file system, for syncfs
    std::vector<Pending> m_pending;
    std::set<std::string> m_inFlight; // names of this copy's temporary files
    std::vector<char> m_verifyBuffer;
    std::vector<FolderTimes> m_folderTimes;
};

bool FolderCopier::run()
{
    // Past a file-size limit a write fails with EFBIG, which is reported; the signal's default
    // would end the program in the middle of a file without a word.
    std::signal(SIGXFSZ, SIG_IGN);

    const std::string& from = m_request.from;
    const std::size_t cut = from.rfind('/');
    const std::string folder = cut == std::string::npos ? std::string(".")
                               : cut == 0               ? std::string("/")
                                                        : from.substr(0, cut);
    const std::string pattern = cut == std::string::npos ? from : from.substr(cut + 1);

    const std::string sourcePath = resolvePathIgnoringCase(folder);
    UniqueFd sourceDir(::open(sourcePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat sourceInfo
    {
    };
    if (!sourceDir || ::fstat(sourceDir.get(), &sourceInfo) != 0) {
        fail(sourcePath, CopySide::Source, errno);
        return false;
    }

    const std::string targetPath =
        m_request.to.empty() ? std::string(".") : resolvePathIgnoringCase(m_request.to);
    struct stat existing
    {
    };
    const bool fresh = ::stat(targetPath.c_str(), &existing) != 0;
    if (const int error = makeFolderChain(targetPath)) {
        fail(targetPath, CopySide::Target, error);
        return false;
    }
    UniqueFd targetDir(::open(targetPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!targetDir) {
        fail(targetPath, CopySide::Target, errno);
        return false;
    }
    noteTargetFolder(targetDir.get());

    m_ancestors.push_back(idOf(sourceInfo));
    const bool finished =
        copyEntries(sourceDir.get(), sourcePath, targetDir.get(), targetPath, fresh, &pattern);
    // What was copied before a Cancel stays, as the shell leaves it.
    finish();
    m_outcome.cancelled = !finished;
    return finished && m_outcome.failures.empty();
}

void FolderCopier::noteTargetFolder(int fd)
{
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        return;
    m_targetFolders.insert(idOf(info));
    if (m_targets.count(info.st_dev) == 0)
        m_targets.emplace(info.st_dev, UniqueFd(::dup(fd)));
}

FolderCopier::TargetEntries FolderCopier::readTargetEntries(int targetDir,
                                                            const std::string& targetPath)
{
    TargetEntries entries;
    std::vector<std::string> names;
    if (const int error = readNames(targetDir, names)) {
        fail(targetPath, CopySide::Target, error);
        return entries;
    }
    for (const std::string& name : names) {
        if (const long owner = temporaryOwner(name)) {
            // Left by a copy that died. A folder link may bring this copy back into a folder it
            // has written, so its own files in flight stay.
            if (owner == m_pid ? m_inFlight.count(name) == 0
                               : ::kill(pid_t(owner), 0) != 0 && errno == ESRCH)
                ::unlinkat(targetDir, name.c_str(), 0);
            continue;
        }
        entries.emplace(detail::foldedName(name), name);
    }
    return entries;
}

bool FolderCopier::copyEntries(int sourceDir, const std::string& sourcePath, int targetDir,
                               const std::string& targetPath, bool fresh,
                               const std::string* pattern)
{
    std::vector<std::string> names;
    if (const int error = readNames(sourceDir, names)) {
        fail(sourcePath, CopySide::Source, error);
        return true;
    }
    std::erase_if(names, [pattern](const std::string& name) {
        return temporaryOwner(name) != 0 || (pattern && !matchesWildcard(*pattern, name));
    });
    std::sort(names.begin(), names.end(), detail::lessIgnoringCase);

    TargetEntries entries = fresh ? TargetEntries() : readTargetEntries(targetDir, targetPath);
    for (const std::string& name : names) {
        if (m_request.stop && m_request.stop->load())
            return false;
        // Links are what they point at: the entry is examined through them.
        struct stat info
        {
        };
        if (::fstatat(sourceDir, name.c_str(), &info, 0) != 0) {
            fail(joinPath(sourcePath, name), CopySide::Source, errno);
            continue;
        }
        const bool goOn =
            S_ISDIR(info.st_mode)
                ? copyFolderEntry(sourceDir, sourcePath, name, targetDir, targetPath, entries)
            : S_ISREG(info.st_mode)
                ? copyFileEntry(sourceDir, sourcePath, name, info, targetDir, targetPath, entries)
                : (fail(joinPath(sourcePath, name), CopySide::Source,
                        "it is neither a file nor a folder"),
                   true);
        if (!goOn)
            return false;
    }
    return true;
}

bool FolderCopier::copyFolderEntry(int sourceDir, const std::string& sourcePath,
                                   const std::string& name, int targetDir,
                                   const std::string& targetPath, TargetEntries& entries)
{
    const std::string childSource = joinPath(sourcePath, name);
    UniqueFd source(::openat(sourceDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info
    {
    };
    if (!source || ::fstat(source.get(), &info) != 0) {
        fail(childSource, CopySide::Source, errno);
        return true;
    }
    if (m_targetFolders.count(idOf(info)) != 0)
        return true; // this copy's own target, inside its source
    if (std::find(m_ancestors.begin(), m_ancestors.end(), idOf(info)) != m_ancestors.end()) {
        fail(childSource, CopySide::Source,
             "it is a link that leads back into a folder being copied");
        return true;
    }

    // An existing folder of that name in any letter case is merged into; a link to a folder is
    // followed, as users move a data folder to another disk that way.
    const std::u32string key = detail::foldedName(name);
    const auto existing = entries.find(key);
    const std::string targetName = existing != entries.end() ? existing->second : name;
    const std::string childTarget = joinPath(targetPath, targetName);
    bool fresh = false;
    if (existing == entries.end()) {
        fresh = ::mkdirat(targetDir, targetName.c_str(), 0777) == 0;
        if (!fresh && errno != EEXIST) {
            fail(childTarget, CopySide::Target, errno);
            return true;
        }
        entries.emplace(key, targetName);
    }
    UniqueFd target(::openat(targetDir, targetName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!target) {
        fail(childTarget, CopySide::Target, errno);
        return true;
    }
    noteTargetFolder(target.get());

    m_ancestors.push_back(idOf(info));
    const bool goOn =
        copyEntries(source.get(), childSource, target.get(), childTarget, fresh, nullptr);
    m_ancestors.pop_back();
    // Times last, after the renames into the folder (finish()); the mode stays the default.
    m_folderTimes.push_back({childTarget, {info.st_atim, info.st_mtim}});
    return goOn;
}

bool FolderCopier::copyFileEntry(int sourceDir, const std::string& sourcePath,
                                 const std::string& name, const struct stat& source, int targetDir,
                                 const std::string& targetPath, TargetEntries& entries)
{
    const std::u32string key = detail::foldedName(name);
    const auto existing = entries.find(key);
    if (existing == entries.end()) {
        entries.emplace(key, name);
        copyFile(sourceDir, sourcePath, name, source, targetDir, targetPath, name, false);
        return true;
    }

    // The existing file, in its own spelling, is the one replaced.
    const std::string& targetName = existing->second;
    const std::string targetFile = joinPath(targetPath, targetName);
    struct stat info
    {
    };
    const bool found = ::fstatat(targetDir, targetName.c_str(), &info, 0) == 0;
    if (found && S_ISDIR(info.st_mode)) {
        fail(targetFile, CopySide::Target, EISDIR);
        return true;
    }
    // What the last backup copied and nobody changed since is not copied again: a repeat
    // backup writes only what changed.
    if (found && S_ISREG(info.st_mode) && !m_request.copyUnchanged &&
        sameSizeAndTime(source, info)) {
        ++m_outcome.filesUnchanged;
        if (m_request.onProgress)
            m_request.onProgress(std::uint64_t(source.st_size));
        return true;
    }
    if (!m_request.overwrite && !m_yesToAll) {
        const ReplaceAnswer answer =
            m_request.askReplace ? m_request.askReplace(targetFile) : ReplaceAnswer::No;
        switch (answer) {
        case ReplaceAnswer::YesToAll:
            m_yesToAll = true;
            break;
        case ReplaceAnswer::Yes:
            break;
        case ReplaceAnswer::No:
            m_outcome.kept.push_back(targetFile);
            return true;
        case ReplaceAnswer::Cancel:
            return false;
        }
    }
    copyFile(sourceDir, sourcePath, name, source, targetDir, targetPath, targetName, true);
    return true;
}

void FolderCopier::copyFile(int sourceDir, const std::string& sourcePath, const std::string& name,
                            const struct stat& listed, int targetDir, const std::string& targetPath,
                            const std::string& finalName, bool replacing)
{
    const std::string sourceFile = joinPath(sourcePath, name);
    const std::string targetFile = joinPath(targetPath, finalName);
    const std::string temporary =
        m_temporaryStem + std::to_string(++m_temporaryCounter) + '-' + finalName.substr(0, 64);
    UniqueFd out(::openat(targetDir, temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out) {
        fail(targetFile, CopySide::Target, errno);
        return;
    }
    m_inFlight.insert(temporary);
    const auto drop = [&] {
        out.reset();
        ::unlinkat(targetDir, temporary.c_str(), 0);
    };
    struct stat targetInfo
    {
    };
    ::fstat(out.get(), &targetInfo);

    // A file that changes while it is read is read once more; one that changes again is
    // reported rather than kept in a state that matches no version of it. An empty file has
    // nothing to read: it is only made.
    struct stat before = listed;
    for (int attempt = 0; listed.st_size > 0; ++attempt) {
        UniqueFd in(::openat(sourceDir, name.c_str(), O_RDONLY | O_CLOEXEC));
        if (!in || ::fstat(in.get(), &before) != 0) {
            fail(sourceFile, CopySide::Source, errno);
            drop();
            return;
        }
        if (attempt > 0 &&
            (::ftruncate(out.get(), 0) != 0 || ::lseek(out.get(), 0, SEEK_SET) != 0)) {
            fail(targetFile, CopySide::Target, errno);
            drop();
            return;
        }
        if (before.st_size >= (off_t{8} << 20))
            ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        if (const DataError error =
                copyData(in.get(), out.get(), before.st_size, {before.st_dev, targetInfo.st_dev},
                         attempt == 0 ? m_request.onProgress : ProgressCallback(), m_request.stop);
            error.error != 0) {
            if (error.error != ECANCELED)
                fail(error.side == CopySide::Source ? sourceFile : targetFile, error.side,
                     error.error);
            drop();
            return;
        }
        if (m_request.afterFileData)
            m_request.afterFileData(sourceFile, joinPath(targetPath, temporary));
        struct stat after
        {
        };
        struct stat named
        {
        };
        if (::fstat(in.get(), &after) == 0 && ::fstatat(sourceDir, name.c_str(), &named, 0) == 0 &&
            sameVersion(before, after) && sameVersion(before, named)) {
            // Read back, the copy must be the source, before it counts as copied.
            if (m_request.verify) {
                const UniqueFd copy(
                    ::openat(targetDir, temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
                if (!copy || !sameContent(in.get(), copy.get(), before.st_size, m_verifyBuffer)) {
                    fail(targetFile, CopySide::Target, "verification failed");
                    drop();
                    return;
                }
            }
            break;
        }
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
        ::unlinkat(targetDir, temporary.c_str(), 0);
        return;
    }
    m_pending.push_back(
        {joinPath(targetPath, temporary), targetFile, replacing, std::uint64_t(before.st_size)});
    ++m_outcome.filesCopied;
    m_outcome.bytesCopied += std::uint64_t(before.st_size);
}

bool FolderCopier::syncTargets(const std::string& what)
{
    if (!m_request.durable)
        return true;
    for (const auto& [device, fd] : m_targets) {
        if (::syncfs(fd.get()) != 0) {
            fail(what, CopySide::Target,
                 std::string("the data could not be written to the disk: ") + std::strerror(errno));
            return false;
        }
    }
    return true;
}

void FolderCopier::finish()
{
    const std::string root = resolvePathIgnoringCase(m_request.to);
    bool changed = !m_pending.empty();
    // No rename may reach the disk before the data it names.
    if (!m_pending.empty() && !syncTargets(root)) {
        for (const Pending& file : m_pending)
            ::unlink(file.temporary.c_str());
        m_outcome.filesCopied = 0;
        m_outcome.bytesCopied = 0;
        return;
    }
    for (const Pending& file : m_pending) {
        // A new file never replaces one that appeared meanwhile.
        int result = file.replacing ? ::rename(file.temporary.c_str(), file.final.c_str())
                                    : ::renameat2(AT_FDCWD, file.temporary.c_str(), AT_FDCWD,
                                                  file.final.c_str(), RENAME_NOREPLACE);
        if (result != 0 && !file.replacing && (errno == EINVAL || errno == ENOSYS))
            result = ::rename(file.temporary.c_str(), file.final.c_str());
        if (result != 0) {
            fail(file.final, CopySide::Target, errno);
            ::unlink(file.temporary.c_str());
            --m_outcome.filesCopied;
            m_outcome.bytesCopied -= file.size;
        }
    }
    m_pending.clear();
    for (const FolderTimes& folder : m_folderTimes) {
        struct stat now
        {
        };
        if (::stat(folder.path.c_str(), &now) == 0 &&
            now.st_mtim.tv_sec == folder.times[1].tv_sec &&
            now.st_mtim.tv_nsec == folder.times[1].tv_nsec)
            continue; // a repeat backup that changed nothing in it
        changed = true;
        if (::utimensat(AT_FDCWD, folder.path.c_str(), folder.times, 0) != 0)
            m_outcome.attributesLost = true;
    }
    m_folderTimes.clear();
    if (changed)
        syncTargets(root);
}

} // namespace

bool copyFolder(const CopyRequest& request, CopyOutcome& outcome)
{
    return FolderCopier(request, outcome).run();
}

} // namespace Os
