// A file's checksum on Linux, read through the page cache.
#include "os/os.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace Os {

bool fileDigest(const std::string& path, Digest& digest, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errorText(errno);
        return false;
    }
    constexpr std::size_t BufferSize = std::size_t{1} << 20;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    DigestBuilder builder;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), BufferSize);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errorText(errno);
            ::close(fd);
            return false;
        }
        builder.add(buffer.get(), std::size_t(n));
    }
    ::close(fd);
    digest = builder.result();
    return true;
}

} // namespace Os
