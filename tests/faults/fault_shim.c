// An LD_PRELOAD shim that makes one chosen call of a process fail, or ends the process there:
//   ZEB_FAULT_AT=N       the N-th counted call (1 = the first)
//   ZEB_FAULT_CALL=name  count only calls of this kind (open, mkdir, link, rename, unlink, rmdir,
//                        sync, write); "any" counts them all
//   ZEB_FAULT_DO=kill    end the process with SIGKILL there; "stop" holds it there (SIGSTOP)
//                        until SIGCONT; else an errno name the call fails with (ENOSPC, EIO,
//                        EPERM, EINVAL)
//   ZEB_FAULT_UNDER=dir  count only calls on paths below this folder
//   ZEB_FAULT_LOG=file   where the call hit is written ("<kind> <path>"), before it fails
// Counted are the calls that change a file system: opening for writing, making folders, links,
// renames, removals, syncs and writes (sendfile and splice into a file as writes). Taken over are
// the calls that zeb2000-cli or a library it links imports (nm -D --undefined-only lists them).
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

// The path below the folder `dirfd` opens (the working folder for AT_FDCWD); with an empty
// path, what `dirfd` opens.
static void fullPath(int dirfd, const char* path, char* out, size_t size)
{
    if (path[0] == '/') {
        snprintf(out, size, "%s", path);
        return;
    }
    char link[64] = "/proc/self/cwd";
    if (dirfd != AT_FDCWD)
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
    char folder[4096];
    const ssize_t n = readlink(link, folder, sizeof folder - 1);
    folder[n < 0 ? 0 : n] = '\0';
    snprintf(out, size, "%s%s%s", folder, path[0] ? "/" : "", path);
}

// Answers 0 to go on, or the errno the call fails with; never returns on "kill".
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
    return strcmp(what, "ENOSPC") == 0   ? ENOSPC
           : strcmp(what, "EPERM") == 0  ? EPERM
           : strcmp(what, "EINVAL") == 0 ? EINVAL
                                         : EIO;
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

// The open calls take their mode only with O_CREAT or O_TMPFILE. `params` are the parameters
// before the path, in parentheses; each is passed on to the *at call of its size.
#define UNWRAP(...) __VA_ARGS__
#define OPEN_CALL(name, params, dirfd, next)                                                       \
    int name(UNWRAP params const char* path, int flags, ...)                                       \
    {                                                                                              \
        va_list args;                                                                              \
        va_start(args, flags);                                                                     \
        const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;       \
        va_end(args);                                                                              \
        if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) && !(flags & O_DIRECTORY))           \
            PATH_CALL("open", dirfd, path);                                                        \
        return NEXT(next)(dirfd, path, flags, mode);                                               \
    }
OPEN_CALL(open, (), AT_FDCWD, openat)
OPEN_CALL(open64, (), AT_FDCWD, openat64)
OPEN_CALL(openat, (int dirfd, ), dirfd, openat)

// A call counted on one of its paths (or descriptors), then passed on.
#define COUNTED(type, name, params, check, arguments)                                              \
    type name params                                                                               \
    {                                                                                              \
        check;                                                                                     \
        return NEXT(name) arguments;                                                               \
    }

COUNTED(int, mkdir, (const char* path, mode_t mode), PATH_CALL("mkdir", AT_FDCWD, path),
        (path, mode))
COUNTED(int, mkdirat, (int dirfd, const char* path, mode_t mode), PATH_CALL("mkdir", dirfd, path),
        (dirfd, path, mode))
COUNTED(int, link, (const char* from, const char* to), PATH_CALL("link", AT_FDCWD, to), (from, to))
COUNTED(int, linkat, (int fromfd, const char* from, int tofd, const char* to, int flags),
        PATH_CALL("link", tofd, to), (fromfd, from, tofd, to, flags))
COUNTED(int, rename, (const char* from, const char* to), PATH_CALL("rename", AT_FDCWD, to),
        (from, to))
COUNTED(int, renameat, (int fromfd, const char* from, int tofd, const char* to),
        PATH_CALL("rename", tofd, to), (fromfd, from, tofd, to))
COUNTED(int, renameat2, (int fromfd, const char* from, int tofd, const char* to, unsigned flags),
        PATH_CALL("rename", tofd, to), (fromfd, from, tofd, to, flags))
COUNTED(int, unlink, (const char* path), PATH_CALL("unlink", AT_FDCWD, path), (path))
COUNTED(int, unlinkat, (int dirfd, const char* path, int flags),
        PATH_CALL((flags & AT_REMOVEDIR) ? "rmdir" : "unlink", dirfd, path), (dirfd, path, flags))
COUNTED(int, rmdir, (const char* path), PATH_CALL("rmdir", AT_FDCWD, path), (path))

#define FD_CALL(kind, fd) PATH_CALL(kind, fd, "")

COUNTED(int, fsync, (int fd), FD_CALL("sync", fd), (fd))
COUNTED(int, fdatasync, (int fd), FD_CALL("sync", fd), (fd))
COUNTED(int, syncfs, (int fd), FD_CALL("sync", fd), (fd))
// The standard streams are not the file system's.
COUNTED(ssize_t, write, (int fd, const void* data, size_t size), if (fd > 2) FD_CALL("write", fd),
        (fd, data, size))
COUNTED(ssize_t, sendfile, (int out, int in, off_t* offset, size_t size), FD_CALL("write", out),
        (out, in, offset, size))
static int isFile(int fd)
{
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
COUNTED(ssize_t, splice,
        (int in, loff_t* inOffset, int out, loff_t* outOffset, size_t size, unsigned flags),
        if (isFile(out)) FD_CALL("write", out), (in, inOffset, out, outOffset, size, flags))
