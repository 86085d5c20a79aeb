// Run locks on Windows: LockFileEx, which the system drops when the process ends.
#include "os/os.h"
#include "os/os_win32_internal.h"

#include <windows.h>

namespace Os {

int tryLockFile(const std::string& path, LockHandle& handle, std::string& holder)
{
    const HANDLE file = CreateFileW(detail::widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return detail::lastError();
    // A byte far past the id is locked: Windows' locks bar reading, and the id is for reading.
    OVERLAPPED at{};
    at.OffsetHigh = 1;
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const int error = detail::lastError();
        char text[32];
        DWORD read = 0;
        if (ReadFile(file, text, sizeof text, &read, nullptr))
            holder.assign(text, read);
        (void)CloseHandle(file); // read only: nothing to lose
        return error == ERROR_LOCK_VIOLATION ? ErrorLocked : error;
    }
    // The id serves messages only: a lock whose id could not be written holds all the same.
    const std::string id = std::to_string(GetCurrentProcessId());
    if (SetEndOfFile(file))
        (void)detail::writeAll(file, id.data(), id.size());
    handle = reinterpret_cast<LockHandle>(file);
    return 0;
}

int unlockFile(LockHandle handle)
{
    return CloseHandle(reinterpret_cast<HANDLE>(handle)) ? 0 : detail::lastError();
}

} // namespace Os
