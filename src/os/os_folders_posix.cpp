// The folder test on Linux, with Wine's case-insensitive names.
#include "os/os.h"

#include <cerrno>
#include <cstdlib>
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

// A relative $XDG_STATE_HOME is invalid by the XDG rules and is ignored, as they ask.
std::string userStateFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return std::string(state) + "/zeb2000";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/')
        return {};
    return std::string(home) + "/.local/state/zeb2000";
}

} // namespace Os
