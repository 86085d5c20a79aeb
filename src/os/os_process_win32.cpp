// Running programs on Windows: the system's list of processes, by executable file name.
#include "os/os.h"
#include "os/os_copy_internal.h"

#include <windows.h>

#include <tlhelp32.h>

namespace Os {

bool detail::processGone(long pid)
{
    if (const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid))) {
        // A process that ended is still there while a handle holds it.
        DWORD code = 0;
        const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
        CloseHandle(process);
        return ended;
    }
    return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
}

bool isProgramRunning(const std::string& fileName)
{
    wchar_t wanted[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wanted, MAX_PATH) == 0)
        return false;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool running = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry))
        running = lstrcmpiW(entry.szExeFile, wanted) == 0;
    CloseHandle(snapshot);
    return running;
}

} // namespace Os
