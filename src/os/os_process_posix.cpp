// Running programs on Linux: a Windows program under Wine shows as a process whose first
// argument is its .exe, with a Windows or a Unix path, and whose environment names its prefix.
#include "os/os.h"
#include "os/os_copy_internal.h"
#include "os/os_internal.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace Os {
namespace detail {

std::string processFolder = "/proc";

bool processGone(long pid)
{
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace detail

namespace {

// The whole of a small file of a process. A process can end at any moment, between the open
// and any read: then the file cannot be read, and the caller takes that as "no such process".
bool readProcessFile(const std::string& path, std::string& content)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    content.clear();
    std::array<char, 4096> buffer;
    bool read = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            read = false;
        if (got <= 0)
            break;
        content.append(buffer.data(), std::size_t(got));
    }
    ::close(fd);
    return read;
}

// The zero-ended fields of cmdline or environ.
std::vector<std::string> fields(const std::string& content)
{
    std::vector<std::string> result;
    for (std::size_t start = 0; start < content.size();) {
        std::size_t end = content.find('\0', start);
        if (end == std::string::npos)
            end = content.size();
        result.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::string baseName(const std::string& path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Wine's loaders, which may stand before the program in a command line that Wine has not
// rewritten yet.
bool isWineLoader(const std::string& argument)
{
    const std::string name = baseName(argument);
    return name == "wine" || name == "wine64" || name == "wine-preloader" ||
           name == "wine64-preloader";
}

// The same folder, however it is spelt: through links, and without a trailing "/".
std::string canonicalFolder(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr),
                                                          std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// Whether the process runs in this Wine prefix, as far as its environment says: one that cannot
// be read (another user's) counts as this prefix.
bool runsInPrefix(const std::string& processPath, const std::string& prefix)
{
    std::string environment;
    if (!readProcessFile(processPath + "/environ", environment))
        return true;
    std::string processPrefix;
    std::string home;
    for (const std::string& variable : fields(environment))
        if (variable.rfind("WINEPREFIX=", 0) == 0)
            processPrefix = variable.substr(11);
        else if (variable.rfind("HOME=", 0) == 0)
            home = variable.substr(5);
    if (processPrefix.empty()) {
        if (home.empty())
            return true;
        processPrefix = home + "/.wine";
    }
    return canonicalFolder(processPrefix) == canonicalFolder(prefix);
}

} // namespace

// The prefix already tells this ICQ from another: the folder is not asked.
bool isProgramRunning(const std::string& fileName, const std::string&)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir(detail::processFolder.c_str()),
                                                   ::closedir);
    if (!proc)
        return false;
    const std::string prefix = winePrefix();
    while (const dirent* entry = ::readdir(proc.get())) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            continue;
        const std::string processPath = detail::processFolder + "/" + entry->d_name;
        std::string commandLine;
        if (!readProcessFile(processPath + "/cmdline", commandLine))
            continue; // ended meanwhile: not ICQ
        const std::vector<std::string> arguments = fields(commandLine);
        std::size_t program = 0;
        while (program < arguments.size() && isWineLoader(arguments[program]))
            ++program;
        if (program < arguments.size() &&
            detail::equalsIgnoringCase(baseName(arguments[program]), fileName) &&
            runsInPrefix(processPath, prefix))
            return true;
    }
    return false;
}

} // namespace Os
