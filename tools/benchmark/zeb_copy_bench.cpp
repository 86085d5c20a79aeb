// Times a backup through FileCopier against `cp -a` of the same tree on the same file system.
//
//   zeb_copy_bench generate ROOT        lays out a synthetic ICQ installation in ROOT/icq
//   zeb_copy_bench copy SOURCE TARGET   one backup through FileCopier (what `run` times)
//   zeb_copy_bench run ROOT [ROUNDS]    times both copiers, each into a fresh target folder
//
// Each copy runs in a process of its own, so that its peak resident memory is its own.
#include "core/ErrorSink.h"
#include "core/FileCopier.h"

#include <QString>

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

class ConsoleSink final : public ErrorSink
{
public:
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        std::fprintf(stderr, "error %d: %s in %s\n", error.number, qPrintable(error.description),
                     qPrintable(procedure));
    }
};

int copyWithFileCopier(const char* source, const char* target)
{
    ConsoleSink sink;
    FileCopier copier(sink);

    copier.setSource(QString::fromLocal8Bit(source));
    copier.setTarget(QString::fromLocal8Bit(target));
    copier.setOverwrite(true);
    const bool copied = copier.perform(0);
    for (const QString& line : describeCopyFailures(copier.outcome(), -1))
        std::fprintf(stderr, "copy: %s\n", qPrintable(line));
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

// Dropping the page cache needs privileges a benchmark should not ask for; instead every copy
// starts with nothing left to write back from the one before.
void settle()
{
    ::sync();
    ::sleep(1);
}

Measure timeProcess(const std::vector<std::string>& command)
{
    const auto start = std::chrono::steady_clock::now();
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
    const auto stop = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", command.front().c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double>(stop - start).count(), usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int run(const fs::path& root, int rounds, const std::string& self)
{
    double peak = 0;
    double ratios[2] = {};
    const char* sets[2] = {"NewDB", "Small"};
    for (int s = 0; s < 2; ++s) {
        const fs::path source = root / "icq" / sets[s];
        const fs::path cpTarget = root / "cp" / sets[s];
        const fs::path zebTarget = root / "zeb" / sets[s];
        std::vector<double> cpTimes;
        std::vector<double> zebTimes;
        for (int round = 0; round < rounds; ++round) {
            // Each copy goes into a fresh, empty target; which copier goes first alternates.
            for (int turn = 0; turn < 2; ++turn) {
                const bool cpTurn = (turn + round) % 2 == 0;
                const fs::path& target = cpTurn ? cpTarget : zebTarget;
                fs::remove_all(target);
                fs::create_directories(target.parent_path());
                settle();
                if (cpTurn) {
                    cpTimes.push_back(
                        timeProcess({"cp", "-a", source.string(), target.string()}).seconds);
                } else {
                    const Measure m = timeProcess({self, "copy", source.string(), target.string()});
                    zebTimes.push_back(m.seconds);
                    peak = std::max(peak, m.peakMiB);
                }
            }
            std::printf("%-5s round %d: cp -a %.3f s, FileCopier %.3f s\n", sets[s], round + 1,
                        cpTimes.back(), zebTimes.back());
            std::fflush(stdout);
        }
        if (std::system(("diff -r --no-dereference '" + cpTarget.string() + "' '" +
                         zebTarget.string() + "'")
                            .c_str()) != 0) {
            std::fprintf(stderr, "the two copies of %s differ\n", sets[s]);
            return 1;
        }
        ratios[s] = median(zebTimes) / median(cpTimes);
    }
    fs::remove_all(root / "cp");
    fs::remove_all(root / "zeb");
    std::printf("copier/cp ratio: large %.2f small %.2f peak-rss-MiB %.0f\n", ratios[0], ratios[1],
                std::ceil(peak));
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
    if (command == "copy" && argc == 4)
        return copyWithFileCopier(argv[2], argv[3]);
    if (command == "run" && (argc == 3 || argc == 4))
        return run(argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 3,
                   fs::canonical("/proc/self/exe").string());
    std::fprintf(stderr, "usage: %s generate ROOT | copy SOURCE TARGET | run ROOT [ROUNDS]\n",
                 argv[0]);
    return 2;
}
