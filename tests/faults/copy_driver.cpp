// Runs one folder copy of the OS layer for the fault-injection script and prints its outcome:
//   copy_driver FROM_FOLDER TO_FOLDER [--die-after N | --verify]
// Every existing file is replaced. --die-after N ends the process with SIGKILL when the data of
// the N-th file is in its temporary file; --verify reads every copy back. Exit 0 when everything
// was copied.
#include "os/os.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[])
{
    const bool verify = argc == 4 && std::strcmp(argv[3], "--verify") == 0;
    if (argc != 3 && !verify && !(argc == 5 && std::strcmp(argv[3], "--die-after") == 0)) {
        std::fprintf(stderr, "usage: copy_driver FROM TO [--die-after N | --verify]\n");
        return 2;
    }
    Os::CopyRequest request;
    request.from = std::string(argv[1]) + "/*.*";
    request.to = argv[2];
    request.overwrite = true;
    request.verify = verify;
    const int dieAfter = argc == 5 ? std::stoi(argv[4]) : 0;
    int files = 0;
    request.afterFileData = [&](const std::string&, const std::string&) {
        if (++files == dieAfter) {
            std::fflush(stdout);
            std::raise(SIGKILL);
        }
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
