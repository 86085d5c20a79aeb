// Runs one folder copy of the OS layer for the fault-injection script and prints its outcome:
//   copy_driver FROM_FOLDER TO_FOLDER [--ask yes|no|cancel] [--die-after N]
// Without --ask every existing file is replaced. --die-after N ends the process with SIGKILL
// when the data of the N-th file is in its temporary file. Exit 0 when everything was copied.
#include "os/os.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: copy_driver FROM TO [--ask yes|no|cancel] [--die-after N]\n");
        return 2;
    }
    Os::CopyRequest request;
    request.from = std::string(argv[1]) + "/*.*";
    request.to = argv[2];
    request.overwrite = true;
    int dieAfter = 0;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--die-after") {
            dieAfter = std::stoi(value);
        } else if (option == "--ask") {
            request.overwrite = false;
            const Os::ReplaceAnswer answer = value == "yes"  ? Os::ReplaceAnswer::Yes
                                             : value == "no" ? Os::ReplaceAnswer::No
                                                             : Os::ReplaceAnswer::Cancel;
            request.askReplace = [answer](const std::string& file) {
                std::printf("asked %s\n", file.c_str());
                return answer;
            };
        }
    }
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
