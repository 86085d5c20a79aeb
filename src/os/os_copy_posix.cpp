// The folder copy on Linux: the project's own copier with the contract of the shell's file
// operation. Matching entries of the source folder are copied, folders whole; missing target
// folders are made silently; an existing file is replaced only when the caller says so, and
// always atomically (a temporary file beside it, then a rename), so a failed copy never cuts
// off a good file. Links are copied as links and never followed out of the source.
#include "os/os.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

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

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

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

bool isCopyRangeUnsupported(int error)
{
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
           error == EPERM || error == EBADF;
}

// Copies the rest of in to out: in-kernel where it can, else through one 1 MiB buffer. Answers
// 0 or an errno.
int copyData(int in, int out)
{
    constexpr std::size_t Chunk = std::size_t{1} << 30;
    bool copied = false;
    // The kernel copies without a round trip through this process where the file system lets
    // it; either call may be refused for this pair of files before it has copied anything.
    const auto inKernel = [&copied](auto transfer) -> std::optional<int> {
        for (;;) {
            const ssize_t n = transfer();
            if (n > 0) {
                copied = true;
                continue;
            }
            if (n == 0)
                return 0;
            if (errno == EINTR)
                continue;
            if (copied || !isCopyRangeUnsupported(errno))
                return errno;
            return std::nullopt;
        }
    };
    if (const auto result =
            inKernel([&] { return ::copy_file_range(in, nullptr, out, nullptr, Chunk, 0); }))
        return *result;
    if (const auto result = inKernel([&] { return ::sendfile(out, in, nullptr, Chunk); }))
        return *result;
    constexpr std::size_t BufferSize = std::size_t{1} << 20;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    for (;;) {
        const ssize_t n = ::read(in, buffer.get(), BufferSize);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w =
                ::write(out, buffer.get() + written, static_cast<std::size_t>(n - written));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            written += w;
        }
    }
}

// ---- The copier -----------------------------------------------------------------------------

class FolderCopier
{
public:
    explicit FolderCopier(const CopyRequest& request) : m_request(request) {}

    bool run();

private:
    enum class Decision { Replace, Skip, Stop };

    // Copies the named entries of sourceDir into targetDir. fresh: targetDir was made by this
    // copy, so nothing in it can be replaced. Answers false when the user cancelled.
    bool copyEntries(int sourceDir, const std::string& sourcePath, int targetDir,
                     const std::string& targetPath, bool fresh, const std::string* pattern);
    bool copyEntry(int sourceDir, const std::string& sourcePath, int targetDir,
                   const std::string& targetPath, bool fresh, const std::string& name);
    bool copyFolderEntry(int sourceDir, const std::string& sourcePath, int targetDir,
                         const std::string& targetPath, const std::string& name,
                         const struct stat& info);
    void copyFile(int sourceDir, const std::string& sourcePath, int targetDir,
                  const std::string& name, const struct stat& info, bool replacing);
    void copyLink(int sourceDir, const std::string& sourcePath, int targetDir,
                  const std::string& name, const struct stat& info, bool replacing);
    Decision decideReplace(int targetDir, const std::string& targetPath, const std::string& name,
                           bool fresh, bool& exists);
    std::string temporaryName(const std::string& name);
    void fail(const std::string& what, int error);

    const CopyRequest& m_request;
    bool m_yesToAll = false;
    bool m_failed = false;
    unsigned m_temporaryCounter = 0;
    dev_t m_targetDevice = 0;
    ino_t m_targetInode = 0;
};

void FolderCopier::fail(const std::string& what, int error)
{
    m_failed = true;
    if (m_request.reportError)
        m_request.reportError("Cannot copy " + what + ": " + std::strerror(error));
}

bool FolderCopier::run()
{
    const std::string& from = m_request.from;
    const std::size_t cut = from.rfind('/');
    const std::string folder = cut == std::string::npos ? std::string(".")
                               : cut == 0               ? std::string("/")
                                                        : from.substr(0, cut);
    const std::string pattern = cut == std::string::npos ? from : from.substr(cut + 1);

    const std::string sourcePath = resolvePathIgnoringCase(folder);
    UniqueFd sourceDir(::open(sourcePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!sourceDir) {
        fail(sourcePath, errno);
        return false;
    }

    const std::string targetPath =
        m_request.to.empty() ? std::string(".") : resolvePathIgnoringCase(m_request.to);
    struct stat existing
    {
    };
    const bool fresh = ::stat(targetPath.c_str(), &existing) != 0;
    if (const int error = makeFolderChain(targetPath)) {
        fail(targetPath, error);
        return false;
    }
    UniqueFd targetDir(::open(targetPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat targetInfo
    {
    };
    if (!targetDir || ::fstat(targetDir.get(), &targetInfo) != 0) {
        fail(targetPath, errno);
        return false;
    }
    // A target inside the source must not be copied into itself.
    m_targetDevice = targetInfo.st_dev;
    m_targetInode = targetInfo.st_ino;

    if (!copyEntries(sourceDir.get(), sourcePath, targetDir.get(), targetPath, fresh, &pattern))
        return false;
    return !m_failed;
}

bool FolderCopier::copyEntries(int sourceDir, const std::string& sourcePath, int targetDir,
                               const std::string& targetPath, bool fresh,
                               const std::string* pattern)
{
    // The listing gets its own descriptor: closedir() closes what fdopendir() was given.
    const int listFd = ::openat(sourceDir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    UniqueDir listing(listFd >= 0 ? ::fdopendir(listFd) : nullptr);
    if (!listing) {
        const int error = errno;
        if (listFd >= 0)
            ::close(listFd);
        fail(sourcePath, error);
        return true;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing.get());
        if (!entry) {
            if (errno != 0)
                fail(sourcePath, errno);
            return true;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (pattern && !matchesWildcard(*pattern, name))
            continue;
        if (!copyEntry(sourceDir, sourcePath, targetDir, targetPath, fresh, name))
            return false;
    }
}

bool FolderCopier::copyEntry(int sourceDir, const std::string& sourcePath, int targetDir,
                             const std::string& targetPath, bool fresh, const std::string& name)
{
    struct stat info
    {
    };
    if (::fstatat(sourceDir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        fail(joinPath(sourcePath, name), errno);
        return true;
    }
    if (S_ISDIR(info.st_mode)) {
        if (info.st_dev == m_targetDevice && info.st_ino == m_targetInode)
            return true;
        return copyFolderEntry(sourceDir, sourcePath, targetDir, targetPath, name, info);
    }
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        fail(joinPath(sourcePath, name), EOPNOTSUPP);
        return true;
    }
    bool exists = false;
    switch (decideReplace(targetDir, targetPath, name, fresh, exists)) {
    case Decision::Stop:
        return false;
    case Decision::Skip:
        return true;
    case Decision::Replace:
        break;
    }
    if (S_ISLNK(info.st_mode))
        copyLink(sourceDir, sourcePath, targetDir, name, info, exists);
    else
        copyFile(sourceDir, sourcePath, targetDir, name, info, exists);
    return true;
}

FolderCopier::Decision FolderCopier::decideReplace(int targetDir, const std::string& targetPath,
                                                   const std::string& name, bool fresh,
                                                   bool& exists)
{
    exists = false;
    if (fresh)
        return Decision::Replace;
    struct stat info
    {
    };
    if (::fstatat(targetDir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return Decision::Replace;
    exists = true;
    if (S_ISDIR(info.st_mode)) {
        fail(joinPath(targetPath, name), EISDIR);
        return Decision::Skip;
    }
    if (m_request.overwrite || m_yesToAll)
        return Decision::Replace;
    const ReplaceAnswer answer =
        m_request.askReplace ? m_request.askReplace(joinPath(targetPath, name)) : ReplaceAnswer::No;
    switch (answer) {
    case ReplaceAnswer::YesToAll:
        m_yesToAll = true;
        return Decision::Replace;
    case ReplaceAnswer::Yes:
        return Decision::Replace;
    case ReplaceAnswer::No:
        return Decision::Skip;
    case ReplaceAnswer::Cancel:
        break;
    }
    m_failed = true;
    return Decision::Stop;
}

bool FolderCopier::copyFolderEntry(int sourceDir, const std::string& sourcePath, int targetDir,
                                   const std::string& targetPath, const std::string& name,
                                   const struct stat& info)
{
    const std::string childSource = joinPath(sourcePath, name);
    const std::string childTarget = joinPath(targetPath, name);
    UniqueFd source(
        ::openat(sourceDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!source) {
        fail(childSource, errno);
        return true;
    }
    bool fresh = ::mkdirat(targetDir, name.c_str(), 0700) == 0;
    if (!fresh && errno != EEXIST) {
        fail(childTarget, errno);
        return true;
    }
    // Never write through a link that stands in the target where a folder should be.
    UniqueFd target(
        ::openat(targetDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!target) {
        fail(childTarget, errno == ELOOP ? ENOTDIR : errno);
        return true;
    }
    if (!copyEntries(source.get(), childSource, target.get(), childTarget, fresh, nullptr))
        return false;
    // Mode and times last: writing the contents would change the times again.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::fchmod(target.get(), info.st_mode & 07777) != 0 || ::futimens(target.get(), times) != 0)
        fail(childTarget, errno);
    return true;
}

std::string FolderCopier::temporaryName(const std::string& name)
{
    return ".~zeb" + std::to_string(::getpid()) + "-" + std::to_string(++m_temporaryCounter) + "-" +
           name.substr(0, 64);
}

void FolderCopier::copyFile(int sourceDir, const std::string& sourcePath, int targetDir,
                            const std::string& name, const struct stat& info, bool replacing)
{
    const std::string sourceFile = joinPath(sourcePath, name);
    UniqueFd in(::openat(sourceDir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in) {
        fail(sourceFile, errno);
        return;
    }
    if (info.st_size >= (off_t{8} << 20))
        ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    // A new file is written under its own name: exclusive creation cannot clobber anything,
    // and a failure removes it. A replacement goes through a temporary file and a rename.
    std::string written = replacing ? temporaryName(name) : name;
    UniqueFd out(::openat(targetDir, written.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out && errno == EEXIST && !replacing) {
        // Appeared since it was looked for: treat it as a replacement.
        written = temporaryName(name);
        replacing = true;
        out.reset(::openat(targetDir, written.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    }
    if (!out) {
        fail(sourceFile, errno);
        return;
    }
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    int error = copyData(in.get(), out.get());
    if (error == 0 && ::fchmod(out.get(), info.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && ::futimens(out.get(), times) != 0)
        error = errno;
    if (error == 0 && ::close(out.release()) != 0)
        error = errno;
    if (error == 0 && replacing && ::renameat(targetDir, written.c_str(), targetDir, name.c_str()))
        error = errno;
    if (error != 0) {
        out.reset();
        ::unlinkat(targetDir, written.c_str(), 0);
        fail(sourceFile, error);
    }
}

void FolderCopier::copyLink(int sourceDir, const std::string& sourcePath, int targetDir,
                            const std::string& name, const struct stat& info, bool replacing)
{
    const std::string sourceLink = joinPath(sourcePath, name);
    std::string destination(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1,
                            '\0');
    for (;;) {
        const ssize_t n =
            ::readlinkat(sourceDir, name.c_str(), destination.data(), destination.size());
        if (n < 0) {
            fail(sourceLink, errno);
            return;
        }
        if (static_cast<std::size_t>(n) < destination.size()) {
            destination.resize(static_cast<std::size_t>(n));
            break;
        }
        destination.resize(destination.size() * 2);
    }
    const std::string written = replacing ? temporaryName(name) : name;
    int error = 0;
    if (::symlinkat(destination.c_str(), targetDir, written.c_str()) != 0)
        error = errno;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (error == 0 && ::utimensat(targetDir, written.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        error = errno;
    if (error == 0 && replacing && ::renameat(targetDir, written.c_str(), targetDir, name.c_str()))
        error = errno;
    if (error != 0) {
        if (error != EEXIST || replacing)
            ::unlinkat(targetDir, written.c_str(), 0);
        fail(sourceLink, error);
    }
}

} // namespace

bool copyFolder(const CopyRequest& request)
{
    return FolderCopier(request).run();
}

} // namespace Os
