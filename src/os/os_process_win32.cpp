// Running programs on Windows: the system's list of processes, by executable file name.
#include "os/os.h"
#include "os/os_copy_internal.h"
#include "os/os_win32_internal.h"

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

namespace {

struct FileIdentity
{
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The file's identity, whatever the spelling of its path (letter case, short names, links).
bool identityOf(const std::wstring& path, FileIdentity& identity)
{
    const detail::Handle file(CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info))
        return false;
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// Whether the process runs the file of that identity. A process whose image cannot be read
// (another user's) counts: in doubt, ICQ may be running.
bool runsImage(DWORD pid, const FileIdentity& wanted)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return GetLastError() != ERROR_INVALID_PARAMETER; // not one that ended meanwhile
    std::wstring image(32768, L'\0');
    DWORD size = DWORD(image.size());
    const bool read = QueryFullProcessImageNameW(process, 0, image.data(), &size);
    CloseHandle(process);
    if (!read)
        return true;
    image.resize(size);
    FileIdentity identity;
    return !identityOf(image, identity) || identity == wanted;
}

} // namespace

bool isProgramRunning(const std::string& fileName, const std::string& folder)
{
    wchar_t wanted[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wanted, MAX_PATH) == 0)
        return false;
    // Only this folder's program counts; when its file cannot be found, in doubt, any does.
    FileIdentity image;
    const bool byImage = !folder.empty() && identityOf(detail::widePath(folder + fileName), image);
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool running = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry))
        running = lstrcmpiW(entry.szExeFile, wanted) == 0 &&
                  (!byImage || runsImage(entry.th32ProcessID, image));
    CloseHandle(snapshot);
    return running;
}

} // namespace Os
