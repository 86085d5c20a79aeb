// XXH3-128 from the xxHash library: the shared library on Linux; on Windows its header alone,
// compiled in (XXH_INLINE_ALL), of the same version.
#include "os/os.h"

#ifdef _WIN32
#define XXH_INLINE_ALL
#endif
#include <xxhash.h>
#if !defined(_WIN32) && defined(__x86_64__)
// The library's update that picks the processor's widest vectors (AVX2, AVX-512) when it runs;
// the plain one keeps to SSE2, and hashes at half the speed where AVX2 is there.
#include <xxh_x86dispatch.h>
#endif

#include <cstring>
#include <new>

namespace Os {

namespace {

XXH3_state_t* stateOf(void* state)
{
    return static_cast<XXH3_state_t*>(state);
}

} // namespace

DigestBuilder::DigestBuilder() : m_state(XXH3_createState())
{
    if (!m_state || XXH3_128bits_reset(stateOf(m_state)) != XXH_OK) {
        XXH3_freeState(stateOf(m_state));
        throw std::bad_alloc();
    }
}

DigestBuilder::~DigestBuilder()
{
    XXH3_freeState(stateOf(m_state));
}

void DigestBuilder::add(const void* data, std::size_t size)
{
    // Fails only for a null state, which the constructor never leaves.
    (void)XXH3_128bits_update(stateOf(m_state), data, size);
}

Digest DigestBuilder::result()
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(stateOf(m_state)));
    (void)XXH3_128bits_reset(stateOf(m_state));
    Digest digest{};
    static_assert(sizeof canonical.digest == sizeof digest);
    std::memcpy(digest.data(), canonical.digest, digest.size());
    return digest;
}

bool PlanReader::digest(const PlannedFile& file, Digest& digest, std::string& error)
{
    DigestBuilder builder;
    if (!read(
            file, [&builder](const char* data, std::size_t size) { builder.add(data, size); },
            error))
        return false;
    digest = builder.result();
    return true;
}

} // namespace Os
