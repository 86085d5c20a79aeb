// The folder test on Windows.
#include "os/os.h"
#include "os/os_win32_internal.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace Os {

bool detail::endsInBlankOrDot(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           (name.back() == ' ' || name.back() == '.');
}

std::string blankOrDotName(const std::string& path)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find_first_of("\\/", start);
        const std::size_t stop = end == std::string::npos ? path.size() : end;
        if (detail::endsInBlankOrDot(std::string_view(path).substr(start, stop - start)))
            return path.substr(0, stop);
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

FolderLookup lookUpFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(detail::widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FolderLookup::NotFound
                   : FolderLookup::Failed;
    }
    // A file is not a folder: the folder lookup reports path-not-found for it.
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FolderLookup::Exists
                                                        : FolderLookup::NotFound;
}

// %LOCALAPPDATA% first, so that a test (and Wine) can point it elsewhere; the known folder where
// the variable is missing.
std::string userStateFolder()
{
    std::u16string folder;
    const DWORD size = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (size > 1) {
        folder.resize(size);
        const DWORD length = GetEnvironmentVariableW(
            L"LOCALAPPDATA", reinterpret_cast<wchar_t*>(folder.data()), size);
        folder.resize(length < size ? length : 0);
    }
    if (folder.empty()) {
        PWSTR known = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
            folder = reinterpret_cast<const char16_t*>(known);
        CoTaskMemFree(known);
    }
    if (folder.empty())
        return {};
    return wtf8FromUtf16(folder) + "\\ZEB 2000";
}

} // namespace Os
