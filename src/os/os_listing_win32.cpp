// Folder listing on Windows: FindFirstFileW on the UTF-16 names, with the runtime's error
// numbers.
#include "os/os.h"
#include "os/os_win32_internal.h"

#include <windows.h>

namespace Os {

std::int32_t listFiles(const std::string& folderAndPattern, std::vector<std::string>& names,
                       HiddenFiles hidden)
{
    names.clear();
    const std::size_t cut = folderAndPattern.find_last_of("\\/:");
    const std::string pattern =
        cut == std::string::npos ? folderAndPattern : folderAndPattern.substr(cut + 1);
    // No Windows file system keeps a name longer than 255 characters: such a path is a bad name
    // (which Wine would take for a folder that is not there).
    const std::u16string path = utf16FromWtf8(folderAndPattern);
    for (std::size_t start = 0, end = 0; end != std::u16string::npos; start = end + 1) {
        end = path.find_first_of(u"\\/", start);
        if ((end == std::u16string::npos ? path.size() : end) - start > 255)
            return 52; // bad file name or number
    }
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(detail::widePath(folderAndPattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NO_MORE_FILES:
            return 0;
        case ERROR_NOT_READY:
            return 71; // disk not ready
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
            return 52; // bad file name or number
        case ERROR_INVALID_DRIVE:
            return 68; // device unavailable
        default:
            return 75; // path/file access error
        }
    }
    do {
        const std::string name = wtf8FromUtf16(
            std::u16string(found.cFileName, found.cFileName + wcslen(found.cFileName)));
        const DWORD leftOut =
            FILE_ATTRIBUTE_DIRECTORY |
            (hidden == HiddenFiles::Listed ? 0 : FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        // The system also matches the 8.3 short names ("*.uin" finds "a.uinx"); the long name
        // alone decides here, as it does on Linux.
        if ((found.dwFileAttributes & leftOut) == 0 && matchesWildcard(pattern, name))
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 0;
}

std::string resolvePathIgnoringCase(const std::string& path)
{
    return path; // the file system itself ignores case
}

} // namespace Os
