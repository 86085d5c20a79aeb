// SHA-256 on Linux: OpenSSL's, which uses the processor's SHA instructions where it has them.
// Its plain SHA-256 calls rather than the EVP interface: EVP would load OpenSSL's providers and
// configuration, 2 MiB more in every run, for the one algorithm used here.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "os/os.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <openssl/sha.h>
#include <unistd.h>

namespace Os {

DigestBuilder::DigestBuilder() : m_state(new SHA256_CTX)
{
    SHA256_Init(static_cast<SHA256_CTX*>(m_state));
}

DigestBuilder::~DigestBuilder()
{
    delete static_cast<SHA256_CTX*>(m_state);
}

void DigestBuilder::add(const void* data, std::size_t size)
{
    SHA256_Update(static_cast<SHA256_CTX*>(m_state), data, size);
}

Digest DigestBuilder::result()
{
    Digest digest{};
    SHA256_Final(digest.data(), static_cast<SHA256_CTX*>(m_state));
    SHA256_Init(static_cast<SHA256_CTX*>(m_state));
    return digest;
}

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
