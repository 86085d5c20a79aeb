// Run locks on Linux: flock, which the kernel drops with the process's last descriptor.
#include "os/os.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Os {

int tryLockFile(const std::string& path, LockHandle& handle, std::string& holder)
{
    // The lock files of every user meet in one folder: one made by another user is opened as it
    // is (O_CREAT on another's file in a sticky folder is refused), and a new one is made
    // writable by all, so that no user's run is refused for good by a file another user left.
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 && ::fchmod(fd, 0666) != 0) {
            const int error = errno;
            (void)::close(fd);
            return error;
        }
        if (fd < 0 && errno == EEXIST)
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd < 0)
        return errno;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? ErrorLocked : errno;
        char text[32];
        const ssize_t read = ::pread(fd, text, sizeof text, 0);
        holder.assign(text, read > 0 ? std::size_t(read) : 0);
        (void)::close(fd); // read only: nothing to lose
        return error;
    }
    // The id serves messages only: a lock whose id could not be written holds all the same.
    const std::string id = std::to_string(::getpid());
    const bool idWritten = ::ftruncate(fd, 0) == 0 && ::pwrite(fd, id.data(), id.size(), 0) >= 0;
    (void)idWritten;
    handle = fd;
    return 0;
}

int unlockFile(LockHandle handle)
{
    return ::close(int(handle)) == 0 ? 0 : errno;
}

} // namespace Os
