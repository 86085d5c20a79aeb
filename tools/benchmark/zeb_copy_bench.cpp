// Times the copier against `cp -a` and `rsync -a` of the same tree on the same file system.
//
//   zeb_copy_bench generate ROOT                 lays out a synthetic ICQ installation in ROOT/icq
//   zeb_copy_bench copy SOURCE TARGET [--fast] [--no-verify]
//                                                one copy through the copier (what `run` times):
//                                                --fast leaves the write-back to the kernel,
//                                                --no-verify reads nothing back
//   zeb_copy_bench run ROOT [ROUNDS]             times every case, ROUNDS rounds each
//
// Each copy runs in a process of its own, so that its peak resident memory is its own.
#include "os/os.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- The copy process ------------------------------------------------------------------------

// A backup as the program makes one: every file replaced without a question.
int copyWithCopier(const std::string& source, const std::string& target, bool durable, bool verify)
{
    Os::CopyRequest request;
    request.verify = verify;
    request.from = source + "/*.*";
    request.to = target;
    request.overwrite = true;
    request.durable = durable;
    Os::CopyOutcome outcome;
    const bool copied = Os::copyFolder(request, outcome);
    for (const Os::CopyFailure& failure : outcome.failures)
        std::fprintf(stderr, "copy: %s: %s\n", failure.path.c_str(), failure.reason.c_str());
    return copied ? 0 : 1;
}

// ---- The synthetic installation --------------------------------------------------------------

constexpr std::size_t MiB = std::size_t{1} << 20;

// Incompressible, non-zero bytes, so that no file system shortcut can skip the work.
struct Noise
{
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    void fill(char* data, std::size_t size)
    {
        for (std::size_t i = 0; i + 8 <= size; i += 8) {
            const std::uint64_t word = next();
            std::memcpy(data + i, &word, 8);
        }
    }
};

void writeFile(const fs::path& path, std::size_t size, Noise& noise, std::vector<char>& buffer)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(2);
    }
    for (std::size_t done = 0; done < size;) {
        const std::size_t chunk = std::min(buffer.size(), size - done);
        noise.fill(buffer.data(), chunk);
        if (::write(fd, buffer.data(), chunk) != static_cast<ssize_t>(chunk)) {
            std::perror(path.c_str());
            std::exit(2);
        }
        done += chunk;
    }
    ::close(fd);
}

// Two 400 MiB databases, and 20,000 files of 1 to 64 KiB in nested folders.
void generate(const fs::path& root)
{
    Noise noise;
    std::vector<char> buffer(MiB);
    const fs::path large = root / "icq" / "NewDB";
    fs::create_directories(large);
    for (const char* name : {"11111111.dat", "22222222.dat"})
        writeFile(large / name, 400 * MiB, noise, buffer);

    const fs::path small = root / "icq" / "Small";
    int written = 0;
    for (int a = 0; a < 20; ++a) {
        for (int b = 0; b < 10; ++b) {
            const fs::path folder =
                small / ("user" + std::to_string(a)) / ("part" + std::to_string(b));
            fs::create_directories(folder);
            for (int c = 0; c < 100; ++c, ++written) {
                const std::size_t size = 1024 + noise.next() % (63 * 1024 + 1);
                writeFile(folder / ("msg" + std::to_string(c) + ".dat"), size, noise, buffer);
            }
        }
    }
    std::printf("generated %s: 2 x 400 MiB, %d small files\n", root.c_str(), written);
}

// ---- Timing ----------------------------------------------------------------------------------

struct Measure
{
    double seconds = 0;
    double peakMiB = 0;
};

// Dropping the page cache needs privileges a benchmark should not ask for: the source is read
// warm, and every copy starts with nothing left to write back from the one before.
void settle()
{
    ::sync();
    ::sleep(1);
}

// Runs the commands one after the other as one timed step, failing the benchmark on a failure.
Measure timeCommands(const std::vector<std::vector<std::string>>& commands)
{
    Measure measure;
    const auto start = std::chrono::steady_clock::now();
    for (const std::vector<std::string>& command : commands) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::vector<char*> argv;
            for (const std::string& part : command)
                argv.push_back(const_cast<char*>(part.c_str()));
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            std::_Exit(127);
        }
        int status = 0;
        rusage usage{};
        while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "%s failed\n", command.front().c_str());
            std::exit(1);
        }
        measure.peakMiB = std::max(measure.peakMiB, usage.ru_maxrss / 1024.0);
    }
    measure.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return measure;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Case
{
    const char* name;
    const char* tree;  // below ROOT/icq, or "" for all of it
    bool repeat;       // onto the existing copy of the round before, instead of a fresh one
    bool synced;       // both end when the data is on the disk
    const char* other; // "cp", "rsync", or "copier" (without verification)
};

int run(const fs::path& root, int rounds, const std::string& self)
{
    const Case cases[] = {{"large", "NewDB", false, false, "cp"},
                          {"small", "Small", false, false, "cp"},
                          {"repeat-vs-rsync", "", true, false, "rsync"},
                          {"synced", "", false, true, "cp"},
                          {"verification", "", false, false, "copier"}};
    double peak = 0;
    std::vector<double> results;
    for (const Case& c : cases) {
        const fs::path source = root / "icq" / c.tree;
        const fs::path otherTarget = root / "other" / "copy";
        const fs::path zebTarget = root / "zeb" / "copy";
        const auto prepare = [&](const fs::path& target, bool fill) {
            fs::remove_all(target);
            fs::create_directories(target.parent_path());
            if (fill) // the last backup, which a repeat backup finds in place
                timeCommands({{"cp", "-a", source.string(), target.string()}});
        };
        std::vector<double> ratios;
        for (int round = 0; round < rounds; ++round) {
            double seconds[2] = {};
            // Which tool goes first alternates from round to round.
            for (int turn = 0; turn < 2; ++turn) {
                const bool otherTurn = (turn + round) % 2 == 0;
                const fs::path& target = otherTurn ? otherTarget : zebTarget;
                prepare(target, c.repeat);
                settle();
                std::vector<std::vector<std::string>> commands;
                if (!otherTurn)
                    commands.push_back({self, "copy", source.string(), target.string()});
                else if (std::string(c.other) == "rsync")
                    commands.push_back({"rsync", "-a", source.string() + "/", target.string()});
                else if (std::string(c.other) == "copier")
                    commands.push_back(
                        {self, "copy", source.string(), target.string(), "--fast", "--no-verify"});
                else
                    commands.push_back({"cp", "-a", source.string(), target.string()});
                if (!otherTurn && !c.synced)
                    commands.back().push_back("--fast");
                if (c.synced)
                    commands.push_back({"sync"});
                const Measure m = timeCommands(commands);
                seconds[otherTurn ? 1 : 0] = m.seconds;
                if (!otherTurn)
                    peak = std::max(peak, m.peakMiB);
            }
            ratios.push_back(seconds[0] / seconds[1]);
            std::printf("%-15s round %d: %s %.3f s, copier %.3f s, ratio %.2f\n", c.name, round + 1,
                        c.other, seconds[1], seconds[0], ratios.back());
            std::fflush(stdout);
        }
        if (std::system(("diff -r --no-dereference '" + otherTarget.string() + "' '" +
                         zebTarget.string() + "'")
                            .c_str()) != 0) {
            std::fprintf(stderr, "the two copies of %s differ\n", source.c_str());
            return 1;
        }
        results.push_back(median(ratios));
    }
    fs::remove_all(root / "other");
    fs::remove_all(root / "zeb");
    std::printf("verification: the copier with it against without it %.2f\n", results[4]);
    std::printf("copier ratios: large %.2f small %.2f repeat-vs-rsync %.2f synced %.2f "
                "peak-rss-MiB %.0f\n",
                results[0], results[1], results[2], results[3], std::ceil(peak));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "generate" && argc == 3) {
        generate(argv[2]);
        return 0;
    }
    if (command == "copy" && argc >= 4) {
        bool durable = true;
        bool verify = true;
        for (int i = 4; i < argc; ++i) {
            const std::string option = argv[i];
            durable = durable && option != "--fast";
            verify = verify && option != "--no-verify";
        }
        return copyWithCopier(argv[2], argv[3], durable, verify);
    }
    if (command == "run" && (argc == 3 || argc == 4))
        return run(argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 3,
                   fs::canonical("/proc/self/exe").string());
    std::fprintf(stderr,
                 "usage: %s generate ROOT | copy SOURCE TARGET [--fast] [--no-verify] | run ROOT "
                 "[ROUNDS]\n",
                 argv[0]);
    return 2;
}
