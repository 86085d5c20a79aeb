// Folder test and directory creation on Windows.
#include "os/os.h"

#include <windows.h>

namespace Os {

FolderLookup lookUpFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
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

bool createDirectory(const std::string& path)
{
    SECURITY_ATTRIBUTES security{};
    security.nLength = sizeof security;
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = FALSE;
    return CreateDirectoryA(path.c_str(), &security) != FALSE;
}

} // namespace Os
