// Files by their bytes on Linux, for the undo and backup sets: every name the file system allows,
// and the copier's rules for what reaches the disk (a temporary file, its data synced, then the
// rename, then the folder synced).
#include "os/os.h"
#include "os/os_copy_internal.h"
#include "os/os_internal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace Os {
namespace {

using detail::UniqueFd;

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A temporary name beside the path, of the form every copy into the folder knows to clear away
// once its process is gone.
std::string temporaryBeside(const std::string& path)
{
    return folderOf(path) + '/' + temporaryName(::getpid(), detail::nextFileSerial(), nameOf(path));
}

int syncFolder(const std::string& folder)
{
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno;
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

void fill(FileState& state, const struct stat& info)
{
    state.kind = S_ISREG(info.st_mode)   ? FileState::Kind::File
                 : S_ISDIR(info.st_mode) ? FileState::Kind::Folder
                                         : FileState::Kind::Other;
    state.size = std::uint64_t(info.st_size);
    state.modified = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    state.device = std::uint64_t(info.st_dev);
    state.inode = std::uint64_t(info.st_ino);
    state.changed = std::int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
}

// Writes all of the bytes, answering errno on a short write that makes no progress.
int writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= std::size_t(written);
    }
    return 0;
}

// Copies a file's data and time into a new temporary file beside `to`, synced; answers its path
// through `temporary`. A failure removes the temporary file again.
int copyToTemporary(const std::string& from, const std::string& to, std::string& temporary)
{
    const UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info
    {
    };
    if (!in || ::fstat(in.get(), &info) != 0)
        return errno;
    temporary = temporaryBeside(to);
    UniqueFd out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        info.st_mode & 07777));
    if (!out)
        return errno;
    const auto failed = [&](int error) {
        ::unlink(temporary.c_str());
        return error;
    };
    std::unique_ptr<char[]> buffer(new char[1 << 20]);
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.get(), 1 << 20);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        if (got == 0)
            break;
        if (const int error = writeAll(out.get(), buffer.get(), std::size_t(got)))
            return failed(error);
    }
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    // A file system without times (FAT) still keeps the data, which is what counts.
    (void)::futimens(out.get(), times);
    if (::fsync(out.get()) != 0)
        return failed(errno);
    if (const int error = out.close())
        return failed(error);
    return 0;
}

// Where a file system has no renameat2 flags (FAT, many FUSE ones) and no links: a rename once
// nothing stands at `to`. Only another process that makes the name in between could lose to it.
int renameIfFree(const std::string& from, const std::string& to)
{
    struct stat info
    {
    };
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// A rename that never replaces: renameat2 where the file system has it, else link and unlink,
// else a rename to a free name.
int renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno != EPERM && errno != ENOTSUP && errno != EMLINK && errno != ENOSYS)
            return errno;
        return renameIfFree(from, to);
    }
    return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

} // namespace

std::string errorText(int error)
{
    // strerror speaks the locale's language in the locale's character set; the OS layer's
    // messages are UTF-8 on every system, so that one conversion reads them above it.
    std::string text = std::strerror(error);
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }))
        return text;
    const char* codeset = ::nl_langinfo(CODESET);
    if (std::strcmp(codeset, "UTF-8") == 0)
        return text;
    const iconv_t convert = ::iconv_open("UTF-8", codeset);
    if (convert == reinterpret_cast<iconv_t>(-1))
        return "error " + std::to_string(error);
    std::string converted(text.size() * 4, '\0');
    char* in = text.data();
    std::size_t inLeft = text.size();
    char* out = converted.data();
    std::size_t outLeft = converted.size();
    const bool done =
        ::iconv(convert, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(convert);
    if (!done)
        return "error " + std::to_string(error);
    converted.resize(converted.size() - outLeft);
    return converted;
}

int fileState(const std::string& path, FileState& state)
{
    state = FileState();
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    fill(state, info);
    return 0;
}

int listFolder(const std::string& path, std::vector<FolderEntry>& entries)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const UniqueFd folder(fd);
    std::vector<std::string> names;
    if (const int error = detail::readFolderNames(fd, ".", 0, names))
        return error;
    for (std::string& name : names) {
        FolderEntry found{std::move(name), {}};
        struct stat info
        {
        };
        if (::fstatat(fd, found.name.c_str(), &info, 0) == 0)
            fill(found.state, info);
        else if (errno == ENOENT) // a link that leads nowhere
            found.state.kind = FileState::Kind::Other;
        else
            return errno;
        entries.push_back(std::move(found));
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return 0;
}

int makeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) != 0)
        return errno;
    return syncFolder(folderOf(path));
}

int makeFolders(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::string parent = folderOf(path);
    if (parent != path)
        if (const int error = makeFolders(parent))
            return error;
    const int error = makeFolder(path);
    return error == EEXIST ? 0 : error;
}

int keepFile(const std::string& from, const std::string& to)
{
    if (const int error = makeFolders(folderOf(to)))
        return error;
    // The file a link leads to is kept, not the link: a relative one would lead nowhere from
    // the set.
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        // Another file system, or one without links: the bytes are copied.
        if (errno != EXDEV && errno != EPERM && errno != EMLINK && errno != ENOTSUP)
            return errno;
        std::string temporary;
        if (const int error = copyToTemporary(from, to, temporary))
            return error;
        if (const int error = renameNoReplace(temporary, to)) {
            ::unlink(temporary.c_str());
            return error;
        }
    }
    return syncFolder(folderOf(to));
}

int moveFile(const std::string& from, const std::string& to, bool replace)
{
    if (const int error = makeFolders(folderOf(to)))
        return error;
    const int renamed =
        replace ? (::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno) : renameNoReplace(from, to);
    if (renamed == 0)
        return syncFolder(folderOf(to));
    if (renamed != EXDEV)
        return renamed;
    std::string temporary;
    if (const int error = copyToTemporary(from, to, temporary))
        return error;
    const int error = replace ? (::rename(temporary.c_str(), to.c_str()) == 0 ? 0 : errno)
                              : renameNoReplace(temporary, to);
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    if (const int synced = syncFolder(folderOf(to)))
        return synced;
    return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

int renameFolder(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // (FAT refuses a rename onto a folder, even an empty one of our own.)
        if (const int error = renameIfFree(from, to))
            return error;
    }
    return syncFolder(folderOf(to));
}

int removeLeftTemporaries(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    if (const int error = listFolder(folder, entries))
        return error == ENOENT ? 0 : error;
    for (const FolderEntry& entry : entries) {
        const long pid = temporaryOwner(entry.name);
        if (pid <= 0 || pid == ::getpid() || !detail::processGone(pid))
            continue;
        std::string failed;
        if (const int error = removeTree(folder + '/' + entry.name, failed))
            return error;
    }
    return 0;
}

int removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int removeFolder(const std::string& path)
{
    if (::rmdir(path.c_str()) != 0)
        return errno == EEXIST ? ENOTEMPTY : errno;
    return 0;
}

int detail::removeTreeAt(int at, const std::string& name, const std::string& path,
                         std::string& failedPath)
{
    // A link goes itself, never what it leads to; one name at a time, as deep as it goes.
    if (::unlinkat(at, name.c_str(), 0) == 0)
        return 0;
    const int unlinkError = errno;
    if (unlinkError != EISDIR && unlinkError != EPERM) {
        failedPath = path;
        return unlinkError;
    }
    const UniqueFd folder(
        ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    std::vector<std::string> names;
    int error = folder             ? detail::readFolderNames(folder.get(), ".", 0, names)
                : errno == ENOTDIR ? unlinkError
                                   : errno;
    for (auto entry = names.begin(); error == 0 && entry != names.end(); ++entry)
        error = removeTreeAt(folder.get(), *entry, path + '/' + *entry, failedPath);
    if (error == 0 && ::unlinkat(at, name.c_str(), AT_REMOVEDIR) != 0)
        error = errno;
    if (error != 0 && failedPath.empty())
        failedPath = path;
    return error;
}

int removeTree(const std::string& path, std::string& failedPath)
{
    failedPath.clear();
    return detail::removeTreeAt(AT_FDCWD, path, path, failedPath);
}

int readWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return errno;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        bytes.append(buffer, std::size_t(got));
    }
}

int writeFileDurably(const std::string& path, const std::string& bytes)
{
    return writeFileDurably(
        path, [&bytes](const PieceWriter& write) { write(bytes); });
}

int writeFileDurably(const std::string& path,
                     const std::function<void(const PieceWriter&)>& produce)
{
    const std::string temporary = temporaryBeside(path);
    UniqueFd fd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd)
        return errno;
    int error = 0;
    produce([&](std::string_view piece) {
        if (error == 0)
            error = writeAll(fd.get(), piece.data(), piece.size());
    });
    if (error == 0 && ::fsync(fd.get()) != 0)
        error = errno;
    if (const int closed = fd.close(); error == 0)
        error = closed;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    return syncFolder(folderOf(path));
}

int syncFileSystem(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return errno;
    return ::syncfs(fd.get()) == 0 ? 0 : errno;
}

} // namespace Os
