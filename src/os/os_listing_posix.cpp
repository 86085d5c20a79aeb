// Folder listing and case-insensitive path resolution on Linux, with Windows' name rules.
#include "os/os.h"
#include "os/os_internal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace Os {

int detail::readFolderNames(int at, const char* path, int flags, std::vector<std::string>& names)
{
    // The listing gets its own descriptor: closedir() closes what fdopendir() was given.
    const int fd = ::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags);
    if (fd < 0)
        return errno;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            return errno;
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
}

namespace {

bool exists(const std::string& path)
{
    struct stat info
    {
    };
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` but for letter case, or "" when none does.
std::string entryIgnoringCase(const std::string& folder, const std::string& name)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir.get()))
        if (detail::equalsIgnoringCase(entry->d_name, name))
            return entry->d_name;
    return {};
}

} // namespace

std::string resolvePathIgnoringCase(const std::string& path)
{
    // An absolute path keeps its root; appending a char also keeps GCC 12's -Wrestrict quiet.
    std::string resolved;
    std::size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        resolved.push_back('/');
        pos = 1;
    }
    bool resolving = true;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos)
            end = path.size();
        std::string name = path.substr(pos, end - pos);
        if (resolving && !name.empty() && name != "." && name != "..") {
            const std::string folder = resolved;
            if (!exists(folder + name)) {
                const std::string match = entryIgnoringCase(folder, name);
                if (match.empty())
                    resolving = false; // nothing below a missing name can exist
                else
                    name = match;
            }
        }
        resolved += name;
        if (end < path.size())
            resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

// Wine keeps a file's hidden and system marks apart from its name: a file so marked is listed
// here as any other. A name that starts with a dot, which Wine shows as hidden, is never ICQ's.
std::int32_t listFiles(const std::string& folderAndPattern, std::vector<std::string>& names,
                       HiddenFiles)
{
    names.clear();
    const std::size_t cut = folderAndPattern.rfind('/');
    std::string folder;
    std::string pattern = folderAndPattern;
    if (cut != std::string::npos) {
        folder = resolvePathIgnoringCase(folderAndPattern.substr(0, cut + 1));
        pattern = folderAndPattern.substr(cut + 1);
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return 0;
        case ENAMETOOLONG:
            return 52; // bad file name or number
        default:
            return 75; // path/file access error
        }
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || !matchesWildcard(pattern, name))
            continue;
        // A link to a file is a file; a dangling link or anything else is not.
        struct stat info
        {
        };
        if (::stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(name);
    }
    // readdir's order is the order of a hash table; users know ICQ's folders listed by name.
    std::sort(names.begin(), names.end(), detail::lessIgnoringCase);
    return 0;
}

} // namespace Os
