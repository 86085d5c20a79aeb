// SHA-256 on Linux: OpenSSL's, which uses the processor's SHA instructions where it has them.
#include "os/os.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <openssl/evp.h>
#include <unistd.h>

namespace Os {

DigestBuilder::DigestBuilder() : m_state(EVP_MD_CTX_new())
{
    if (!m_state ||
        EVP_DigestInit_ex(static_cast<EVP_MD_CTX*>(m_state), EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

DigestBuilder::~DigestBuilder()
{
    EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(m_state));
}

void DigestBuilder::add(const void* data, std::size_t size)
{
    EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(m_state), data, size);
}

Digest DigestBuilder::result()
{
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(static_cast<EVP_MD_CTX*>(m_state), digest.data(), &length);
    EVP_DigestInit_ex(static_cast<EVP_MD_CTX*>(m_state), EVP_sha256(), nullptr);
    return digest;
}

bool fileDigest(const std::string& path, Digest& digest, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
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
            error = std::strerror(errno);
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
