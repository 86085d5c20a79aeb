// Runs one folder copy of the OS layer for the fault-injection scripts and prints its outcome:
//   copy_driver FROM_FOLDER TO_FOLDER [--die-after N | --die-after-mib N | --verify]
// Every existing file is replaced. --die-after N ends the process at once (SIGKILL, on Windows
// TerminateProcess) when the data of the N-th file is in its temporary file, --die-after-mib N
// once N MiB are copied, in the middle of a large file; --verify reads every copy back. Exit 0
// when everything was copied.
#include "os/os.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

[[noreturn]] void die()
{
    std::fflush(stdout);
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 9);
#else
    std::raise(SIGKILL);
#endif
    std::abort();
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string option = argc > 3 ? argv[3] : "";
    const bool dying = argc == 5 && (option == "--die-after" || option == "--die-after-mib");
    if (argc != 3 && !(argc == 4 && option == "--verify") && !dying) {
        std::fprintf(stderr,
                     "usage: copy_driver FROM TO [--die-after N | --die-after-mib N | --verify]\n");
        return 2;
    }
    Os::CopyRequest request;
    request.from = std::string(argv[1]) + Os::PathSeparator + "*.*";
    request.to = argv[2];
    request.overwrite = true;
    request.verify = option == "--verify";
    const unsigned long long limit = dying ? std::stoull(argv[4]) : 0;
    unsigned long long files = 0;
    unsigned long long bytes = 0;
    if (option == "--die-after")
        request.afterFileData = [&](const std::string&, const std::string&) {
            if (++files == limit)
                die();
        };
    if (option == "--die-after-mib")
        request.onProgress = [&](std::uint64_t done) {
            bytes += done;
            if (bytes >= limit << 20)
                die();
        };
    Os::CopyOutcome outcome;
    const bool copied = Os::copyFolder(request, outcome);
    for (const Os::CopyFailure& failure : outcome.failures)
        std::printf("failure %s %s: %s\n",
                    failure.side == Os::CopySide::Source ? "source" : "target",
                    failure.path.c_str(), failure.reason.c_str());
    if (outcome.attributesLost)
        std::printf("attributes lost\n");
    std::printf("%s, %llu files, %llu unchanged\n", copied ? "copied" : "failed",
                static_cast<unsigned long long>(outcome.filesCopied),
                static_cast<unsigned long long>(outcome.filesUnchanged));
    return copied ? 0 : 1;
}
