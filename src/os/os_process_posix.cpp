// Running programs on Linux: a Windows program under Wine shows as a process whose command line
// names its .exe, with a Windows or a Unix path.
#include "os/os.h"
#include "os/os_internal.h"

#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace Os {

bool isProgramRunning(const std::string& fileName)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    if (!proc)
        return false;
    while (const dirent* entry = ::readdir(proc.get())) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            continue;
        // Read with plain calls: a process that ends while it is read fails the read (ESRCH),
        // which a standard stream would throw out of this function.
        std::string commandLine;
        const int file = ::open((std::string("/proc/") + entry->d_name + "/cmdline").c_str(),
                                O_RDONLY | O_CLOEXEC);
        if (file < 0)
            continue;
        char buffer[4096];
        for (ssize_t got; (got = ::read(file, buffer, sizeof buffer)) > 0;)
            commandLine.append(buffer, std::size_t(got));
        ::close(file);
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
