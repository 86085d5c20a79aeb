// Running programs on Linux: a Windows program under Wine shows as a process whose command line
// names its .exe, with a Windows or a Unix path.
#include "os/os.h"
#include "os/os_internal.h"

#include <cctype>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <memory>

namespace Os {

bool isProgramRunning(const std::string& fileName)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    if (!proc)
        return false;
    while (const dirent* entry = ::readdir(proc.get())) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            continue;
        std::ifstream file(std::string("/proc/") + entry->d_name + "/cmdline", std::ios::binary);
        const std::string commandLine{std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>()};
        // The arguments, each ended by a zero byte; any of them may be the program (wine's
        // loader comes first).
        for (std::size_t start = 0; start < commandLine.size();) {
            std::size_t end = commandLine.find('\0', start);
            if (end == std::string::npos)
                end = commandLine.size();
            const std::string argument = commandLine.substr(start, end - start);
            const std::size_t cut = argument.find_last_of("/\\");
            if (detail::equalsIgnoringCase(
                    cut == std::string::npos ? argument : argument.substr(cut + 1), fileName))
                return true;
            start = end + 1;
        }
    }
    return false;
}

} // namespace Os
