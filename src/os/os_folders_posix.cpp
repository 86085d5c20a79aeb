// The folder test on Linux, with Wine's case-insensitive names.
#include "os/os.h"

#include <cerrno>
#include <sys/stat.h>

namespace Os {

FolderLookup lookUpFolder(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(resolvePathIgnoringCase(path).c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FolderLookup::NotFound : FolderLookup::Failed;
    // A file is not a folder: the lookup by folder fails with path-not-found on Windows too.
    return S_ISDIR(info.st_mode) ? FolderLookup::Exists : FolderLookup::NotFound;
}

} // namespace Os
