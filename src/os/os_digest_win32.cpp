// SHA-256 on Windows: the system's own (CNG).
#include "os/os.h"
#include "os/os_win32_internal.h"

#include <windows.h>

#include <bcrypt.h>

#include <memory>
#include <new>
#include <string>

namespace Os {
namespace {

struct HashState
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
};

void openHash(HashState& state)
{
    if (BCryptCreateHash(state.algorithm, &state.hash, nullptr, 0, nullptr, 0, 0) < 0)
        throw std::bad_alloc();
}

} // namespace

DigestBuilder::DigestBuilder() : m_state(new HashState)
{
    auto* state = static_cast<HashState*>(m_state);
    if (BCryptOpenAlgorithmProvider(&state->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) {
        delete state;
        throw std::bad_alloc();
    }
    openHash(*state);
}

DigestBuilder::~DigestBuilder()
{
    auto* state = static_cast<HashState*>(m_state);
    if (state->hash)
        BCryptDestroyHash(state->hash);
    BCryptCloseAlgorithmProvider(state->algorithm, 0);
    delete state;
}

void DigestBuilder::add(const void* data, std::size_t size)
{
    auto* state = static_cast<HashState*>(m_state);
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ULONG chunk = size > 0x40000000u ? 0x40000000u : ULONG(size);
        BCryptHashData(state->hash, const_cast<PUCHAR>(bytes), chunk, 0);
        bytes += chunk;
        size -= chunk;
    }
}

Digest DigestBuilder::result()
{
    auto* state = static_cast<HashState*>(m_state);
    Digest digest{};
    BCryptFinishHash(state->hash, digest.data(), ULONG(digest.size()), 0);
    BCryptDestroyHash(state->hash);
    state->hash = nullptr;
    openHash(*state);
    return digest;
}

bool fileDigest(const std::string& path, Digest& digest, std::string& error)
{
    const HANDLE file = CreateFileW(detail::widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "it could not be opened (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    constexpr DWORD BufferSize = DWORD{1} << 20;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    DigestBuilder builder;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.get(), BufferSize, &read, nullptr)) {
            error = "it could not be read (error " + std::to_string(GetLastError()) + ")";
            CloseHandle(file);
            return false;
        }
        if (read == 0)
            break;
        builder.add(buffer.get(), read);
    }
    CloseHandle(file);
    digest = builder.result();
    return true;
}

} // namespace Os
