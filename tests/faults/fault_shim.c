/* An LD_PRELOAD shim that makes one chosen call of a process fail, or ends the process there:
 *   ZEB_FAULT_AT=N       the N-th counted call (1 = the first)
 *   ZEB_FAULT_CALL=name  count only calls of this kind (open, mkdir, link, rename, unlink, rmdir,
 *                        sync, write); "any" counts them all
 *   ZEB_FAULT_DO=kill    end the process with SIGKILL there; "stop" holds it there (SIGSTOP)
 *                        until SIGCONT; else an errno name the call fails with (ENOSPC, EIO,
 *                        EPERM)
 *   ZEB_FAULT_UNDER=dir  count only calls on paths below this folder
 *   ZEB_FAULT_LOG=file   where the call hit is written ("<kind> <path>"), before it fails
 * Counted are the calls that change a file system: opening for writing, making folders, links,
 * renames, removals, syncs and writes (copy_file_range and sendfile as writes). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

static long counted;

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static void pathOfFd(int fd, char* out, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, out, size - 1);
    out[n < 0 ? 0 : n] = '\0';
}

static void fullPath(int dirfd, const char* path, char* out, size_t size)
{
    if (path[0] == '/') {
        snprintf(out, size, "%s", path);
        return;
    }
    char folder[4096];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(folder, sizeof folder))
            folder[0] = '\0';
    } else {
        pathOfFd(dirfd, folder, sizeof folder);
    }
    snprintf(out, size, "%s/%s", folder, path);
}

/* Answers 0 to go on, or the errno the call fails with; never returns on "kill". */
static int fault(const char* kind, const char* path)
{
    const char* at = getenv("ZEB_FAULT_AT");
    if (!at)
        return 0;
    const char* wanted = getenv("ZEB_FAULT_CALL");
    if (wanted && strcmp(wanted, "any") != 0 && strcmp(wanted, kind) != 0)
        return 0;
    const char* under = getenv("ZEB_FAULT_UNDER");
    if (under && strncmp(path, under, strlen(under)) != 0)
        return 0;
    if (++counted != atol(at))
        return 0;
    const char* log = getenv("ZEB_FAULT_LOG");
    if (log) {
        const int fd = NEXT(openat)(AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            dprintf(fd, "%s %s\n", kind, path);
            close(fd);
        }
    }
    const char* what = getenv("ZEB_FAULT_DO");
    if (!what || strcmp(what, "kill") == 0) {
        raise(SIGKILL);
        return EIO;
    }
    if (strcmp(what, "stop") == 0) {
        raise(SIGSTOP);
        return 0;
    }
    if (strcmp(what, "ENOSPC") == 0)
        return ENOSPC;
    if (strcmp(what, "EPERM") == 0)
        return EPERM;
    if (strcmp(what, "EACCES") == 0)
        return EACCES;
    return EIO;
}

#define FAIL_ON_ERROR(expression)                                                                  \
    do {                                                                                           \
        const int error_ = (expression);                                                           \
        if (error_) {                                                                              \
            errno = error_;                                                                        \
            return -1;                                                                             \
        }                                                                                          \
    } while (0)

static int pathFault(const char* kind, int dirfd, const char* path)
{
    char full[8192];
    fullPath(dirfd, path, full, sizeof full);
    return fault(kind, full);
}

#define PATH_CALL(kind, dirfd, path) FAIL_ON_ERROR(pathFault(kind, dirfd, path))

static int writes(int flags)
{
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

static int openCommon(int dirfd, const char* path, int flags, mode_t mode, int large)
{
    if (writes(flags) && !(flags & O_DIRECTORY))
        PATH_CALL("open", dirfd, path);
    if (large)
        return NEXT(openat64)(dirfd, path, flags, mode);
    return NEXT(openat)(dirfd, path, flags, mode);
}

static mode_t modeOf(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openCommon(AT_FDCWD, path, flags, mode, 0);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openCommon(AT_FDCWD, path, flags, mode, 1);
}

int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openCommon(dirfd, path, flags, mode, 0);
}

int openat64(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openCommon(dirfd, path, flags, mode, 1);
}

int mkdir(const char* path, mode_t mode)
{
    PATH_CALL("mkdir", AT_FDCWD, path);
    return NEXT(mkdir)(path, mode);
}

int mkdirat(int dirfd, const char* path, mode_t mode)
{
    PATH_CALL("mkdir", dirfd, path);
    return NEXT(mkdirat)(dirfd, path, mode);
}

int link(const char* from, const char* to)
{
    PATH_CALL("link", AT_FDCWD, to);
    return NEXT(link)(from, to);
}

int linkat(int fromfd, const char* from, int tofd, const char* to, int flags)
{
    PATH_CALL("link", tofd, to);
    return NEXT(linkat)(fromfd, from, tofd, to, flags);
}

int rename(const char* from, const char* to)
{
    PATH_CALL("rename", AT_FDCWD, to);
    return NEXT(rename)(from, to);
}

int renameat(int fromfd, const char* from, int tofd, const char* to)
{
    PATH_CALL("rename", tofd, to);
    return NEXT(renameat)(fromfd, from, tofd, to);
}

int renameat2(int fromfd, const char* from, int tofd, const char* to, unsigned flags)
{
    PATH_CALL("rename", tofd, to);
    return NEXT(renameat2)(fromfd, from, tofd, to, flags);
}

int unlink(const char* path)
{
    PATH_CALL("unlink", AT_FDCWD, path);
    return NEXT(unlink)(path);
}

int unlinkat(int dirfd, const char* path, int flags)
{
    PATH_CALL((flags & AT_REMOVEDIR) ? "rmdir" : "unlink", dirfd, path);
    return NEXT(unlinkat)(dirfd, path, flags);
}

int rmdir(const char* path)
{
    PATH_CALL("rmdir", AT_FDCWD, path);
    return NEXT(rmdir)(path);
}

static int fdFault(const char* kind, int fd)
{
    char path[8192];
    pathOfFd(fd, path, sizeof path);
    return fault(kind, path);
}

#define FD_CALL(kind, fd) FAIL_ON_ERROR(fdFault(kind, fd))

int fsync(int fd)
{
    FD_CALL("sync", fd);
    return NEXT(fsync)(fd);
}

int fdatasync(int fd)
{
    FD_CALL("sync", fd);
    return NEXT(fdatasync)(fd);
}

int syncfs(int fd)
{
    FD_CALL("sync", fd);
    return NEXT(syncfs)(fd);
}

ssize_t write(int fd, const void* data, size_t size)
{
    if (fd > 2)
        FD_CALL("write", fd);
    return NEXT(write)(fd, data, size);
}

ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset, size_t size,
                        unsigned flags)
{
    FD_CALL("write", out);
    return NEXT(copy_file_range)(in, inOffset, out, outOffset, size, flags);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t size)
{
    FD_CALL("write", out);
    return NEXT(sendfile)(out, in, offset, size);
}

ssize_t sendfile64(int out, int in, off64_t* offset, size_t size)
{
    FD_CALL("write", out);
    return NEXT(sendfile64)(out, in, offset, size);
}
