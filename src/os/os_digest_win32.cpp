// A file's checksum on Windows.
#include "os/os.h"
#include "os/os_win32_internal.h"

#include <windows.h>

#include <memory>
#include <string>

namespace Os {

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
