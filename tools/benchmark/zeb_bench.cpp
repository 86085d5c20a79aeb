// Times what users wait for: whole `zeb2000-cli backup` and `restore` commands against the tools
// they would use instead (`cp -a`, `rsync -a`, `rsync -a --checksum`, `rsync --link-dest`), on a
// synthetic ICQ installation.
//
//   zeb_bench generate ROOT FILES   lays out ROOT/icq: icq.exe, FILES files of 1 to 64 KiB in
//                                   folders of 100 (component 2000b) and 2 GiB in 4 files (NewDB)
//   zeb_bench run ROOT CLI ROUNDS   times every case, ROUNDS rounds each
//   zeb_bench many ROOT CLI FILES [MORE]
//                                   FILES files of 1 to 4 KiB: first and repeat backup, memory;
//                                   with MORE, again at MORE files and the memory each file adds
//   zeb_bench disk ROOT CLI ROUNDS FILES
//                                   ROOT on a disk (the script makes an ext4 loop device): FILES
//                                   small files, the first backup with verify, caches dropped
//                                   before each turn,
//                                   against `cp -a` and `sync`, then the copy read back
//
// Each round runs both tools one after the other, the one going first alternating from round to
// round; a case's figure is the median of the rounds' ratios. Every tool is followed by `sync`
// where the command line syncs by itself, so that both reach the same point.
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
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Command = std::vector<std::string>;

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

// Small files in folders of 100, as ICQ keeps messages per user.
std::vector<fs::path> smallFiles(const fs::path& component, int files)
{
    std::vector<fs::path> paths;
    for (int n = 0; n < files; ++n)
        paths.push_back(component / ("user" + std::to_string(n / 1000)) /
                        ("part" + std::to_string(n / 100 % 10)) /
                        ("msg" + std::to_string(n % 100) + ".dat"));
    return paths;
}

void generate(const fs::path& root, int files, std::size_t largest, bool large)
{
    Noise noise;
    std::vector<char> buffer(MiB);
    const fs::path icq = root / "icq";
    fs::create_directories(icq);
    writeFile(icq / "icq.exe", 1024, noise, buffer);
    for (const fs::path& file : smallFiles(icq / "2000b", files)) {
        fs::create_directories(file.parent_path());
        writeFile(file, 1024 + noise.next() % (largest - 1024 + 1), noise, buffer);
    }
    if (large) {
        fs::create_directories(icq / "NewDB");
        for (int n = 0; n < 4; ++n)
            writeFile(icq / "NewDB" / ("db" + std::to_string(n) + ".dat"), 512 * MiB, noise,
                      buffer);
    }
    std::printf("generated %s: %d small files%s\n", icq.c_str(), files,
                large ? ", 2 GiB in 4 files" : "");
}

// Changes one file in a hundred: a byte more, as a message appended.
void changeOnePercent(const fs::path& root, int files, int round)
{
    const std::vector<fs::path> paths = smallFiles(root / "icq" / "2000b", files);
    for (std::size_t n = std::size_t(round) % 100; n < paths.size(); n += 100) {
        const int fd = ::open(paths[n].c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0 || ::write(fd, "+", 1) != 1) {
            std::perror(paths[n].c_str());
            std::exit(2);
        }
        ::close(fd);
    }
}

struct Measure
{
    double seconds = 0;
    double peakMiB = 0;
};

// Runs the commands one after the other as one timed step; a failure ends the benchmark.
Measure timeCommands(const std::vector<Command>& commands)
{
    Measure measure;
    const auto start = std::chrono::steady_clock::now();
    const std::string peakFile = "/tmp/zeb_bench.peak." + std::to_string(::getpid());
    for (const Command& command : commands) {
        // A child's peak memory starts from that of the process that spawned it (the exec
        // records the old address space's peak, which a spawned child shares with this one):
        // /usr/bin/time, small and fresh, runs the command and tells its peak alone.
        Command measured = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
        measured.insert(measured.end(), command.begin(), command.end());
        std::vector<char*> argv;
        for (const std::string& part : measured)
            argv.push_back(const_cast<char*>(part.c_str()));
        argv.push_back(nullptr);
        pid_t child = 0;
        if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            std::perror(argv[0]);
            std::exit(1);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::string line;
            for (const std::string& part : command)
                line += part + ' ';
            std::fprintf(stderr, "failed (%d): %s\n", WEXITSTATUS(status), line.c_str());
            std::exit(1);
        }
        double peakKiB = 0;
        if (std::FILE* file = std::fopen(peakFile.c_str(), "r")) {
            if (std::fscanf(file, "%lf", &peakKiB) != 1)
                peakKiB = 0;
            std::fclose(file);
        }
        std::remove(peakFile.c_str());
        measure.peakMiB = std::max(measure.peakMiB, peakKiB / 1024.0);
    }
    measure.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return measure;
}

void untimed(const std::vector<Command>& commands)
{
    timeCommands(commands);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Case
{
    std::string name;
    std::string other;                    // what it is measured against
    std::function<void(int round)> round; // prepares both sides before a round
    std::function<void(bool zeb)> side;   // prepares one side before its turn
    std::function<std::vector<Command>(bool zeb)> commands;
};

struct Result
{
    std::string name;
    std::string other;
    double ratio;
    double zebSeconds;
    double peakMiB;
};

Result measure(const Case& c, int rounds)
{
    std::vector<double> ratios;
    std::vector<double> zebTimes;
    double peak = 0;
    for (int round = 0; round < rounds; ++round) {
        if (c.round)
            c.round(round);
        double seconds[2] = {};
        for (int turn = 0; turn < 2; ++turn) {
            const bool zeb = (turn + round) % 2 == 1;
            if (c.side)
                c.side(zeb);
            ::sync();
            const Measure m = timeCommands(c.commands(zeb));
            seconds[zeb ? 0 : 1] = m.seconds;
            if (zeb)
                peak = std::max(peak, m.peakMiB);
        }
        ratios.push_back(seconds[0] / seconds[1]);
        zebTimes.push_back(seconds[0]);
        std::printf("%-22s round %d: %s %.3f s, zeb2000-cli %.3f s, ratio %.2f\n", c.name.c_str(),
                    round + 1, c.other.c_str(), seconds[1], seconds[0], ratios.back());
        std::fflush(stdout);
    }
    return {c.name, c.other, median(ratios), median(zebTimes), peak};
}

std::string str(const fs::path& path)
{
    return path.string();
}

Command cli(const std::string& program, std::vector<std::string> arguments)
{
    Command command = {program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    for (const char* always : {"--quiet", "--force", "--overwrite"})
        command.push_back(always);
    return command;
}

std::uint64_t diskUsage(const fs::path& path)
{
    const std::string command = "du -sb '" + path.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    unsigned long long bytes = 0;
    if (!pipe || std::fscanf(pipe, "%llu", &bytes) != 1)
        std::exit(1);
    ::pclose(pipe);
    return bytes;
}

void printTable(const std::vector<Result>& results)
{
    std::printf("\n| Case | against | zeb2000-cli | ratio | peak RSS |\n|---|---|---|---|---|\n");
    for (const Result& r : results)
        std::printf("| %s | `%s` | %.2f s | %.2f | %.0f MiB |\n", r.name.c_str(), r.other.c_str(),
                    r.zebSeconds, r.ratio, std::ceil(r.peakMiB));
}

// The folders of a benchmark: ICQ's, zeb2000-cli's backup and the other tool's copy.
struct Folders
{
    explicit Folders(const fs::path& root)
        : icq(root / "icq"), zeb(root / "zeb"), other(root / "other")
    {}
    fs::path icq;
    fs::path zeb;
    fs::path other;
    // Both targets emptied before a side's turn: the side going second would otherwise find
    // the memory (a tmpfs) or the disk taken by the first one's copy, and pay to get more.
    void fresh() const
    {
        for (const fs::path& target : {zeb, other}) {
            fs::remove_all(target);
            fs::create_directories(target);
        }
    }
};

int run(const fs::path& root, const std::string& program, int rounds, int files)
{
    const Folders folders(root);
    const fs::path& icq = folders.icq;
    const fs::path& zeb = folders.zeb;
    const fs::path& other = folders.other;
    const auto fresh = [&](bool) { folders.fresh(); };
    const auto backup = [&](const char* component, bool verify) {
        return [=, &program](bool isZeb) -> std::vector<Command> {
            if (isZeb) {
                Command c = cli(program, {"backup", "--icq", str(icq), "--to", str(zeb),
                                          "--component", component});
                if (!verify)
                    c.push_back("--no-verify");
                return {c};
            }
            return {{"cp", "-a", str(icq / component), str(other / component)}, {"sync"}};
        };
    };
    const auto rsyncInto = [&](bool isZeb, const std::vector<std::string>& extra) {
        if (isZeb)
            return std::vector<Command>{cli(
                program, {"backup", "--icq", str(icq), "--to", str(zeb), "--component", "2000b"})};
        Command c = {"rsync", "-a"};
        c.insert(c.end(), extra.begin(), extra.end());
        c.push_back(str(icq / "2000b") + "/");
        c.push_back(str(other / "2000b"));
        return std::vector<Command>{c, {"sync"}};
    };
    // Both sides hold the backup of the round before.
    const auto filled = [&](int) {
        folders.fresh();
        untimed(
            {cli(program, {"backup", "--icq", str(icq), "--to", str(zeb), "--component", "2000b"}),
             {"rsync", "-a", str(icq / "2000b") + "/", str(other / "2000b")}});
    };

    std::vector<Case> cases;
    cases.push_back({"first backup", "cp -a", {}, fresh, backup("2000b", true)});
    cases.push_back({"first, no verify", "cp -a", {}, fresh, backup("2000b", false)});
    cases.push_back({"repeat, unchanged",
                     "rsync -a",
                     filled,
                     {},
                     [&](bool isZeb) { return rsyncInto(isZeb, {}); }});
    cases.push_back({"repeat, 1% changed",
                     "rsync -a",
                     [&](int round) {
                         filled(round);
                         changeOnePercent(root, files, round);
                     },
                     {},
                     [&](bool isZeb) { return rsyncInto(isZeb, {}); }});
    // A restore onto an ICQ folder that already holds the backup's data.
    const fs::path restored = root / "restored";
    cases.push_back({"restore, same data",
                     "rsync -a --checksum",
                     [&](int) {
                         fs::remove_all(zeb);
                         fs::remove_all(restored);
                         untimed({cli(program, {"backup", "--icq", str(icq), "--to", str(zeb),
                                                "--component", "2000b"}),
                                  {"cp", "-a", str(icq), str(restored)}});
                     },
                     {},
                     [&](bool isZeb) -> std::vector<Command> {
                         if (isZeb)
                             return {cli(program, {"restore", "--from", str(zeb), "--icq",
                                                   str(restored), "--component", "2000b"})};
                         return {{"rsync", "-a", "--checksum", str(zeb / "2000b") + "/",
                                  str(restored / "2000b")},
                                 {"sync"}};
                     }});
    // A weekly dated set after one in which 1 % was different.
    const std::string base = "2000-01-01 0000";
    cases.push_back(
        {"dated repeat, 1% changed",
         "rsync --link-dest",
         [&](int round) {
             folders.fresh();
             untimed({cli(program, {"backup", "--icq", str(icq), "--to", str(zeb), "--dated",
                                    "--component", "2000b"})});
             for (const auto& set : fs::directory_iterator(zeb))
                 fs::rename(set.path(), zeb / base);
             untimed({{"mkdir", "-p", str(other / base)},
                      {"rsync", "-a", str(icq / "2000b") + "/", str(other / base / "2000b")}});
             changeOnePercent(root, files, round);
         },
         {},
         [&](bool isZeb) -> std::vector<Command> {
             if (isZeb)
                 return {cli(program, {"backup", "--icq", str(icq), "--to", str(zeb), "--dated",
                                       "--component", "2000b"})};
             return {{"mkdir", "-p", str(other / "new")},
                     {"rsync", "-a", "--link-dest=" + str(other / base / "2000b"),
                      str(icq / "2000b") + "/", str(other / "new" / "2000b")},
                     {"sync"}};
         }});
    cases.push_back({"large first backup", "cp -a", {}, fresh, backup("NewDB", true)});
    cases.push_back({"large, no verify", "cp -a", {}, fresh, backup("NewDB", false)});

    std::vector<Result> results;
    for (const Case& c : cases)
        results.push_back(measure(c, rounds));

    // Ten weekly sets with 1 % changed between them, against one set.
    fs::remove_all(zeb);
    for (int week = 0; week < 10; ++week) {
        untimed({cli(program, {"backup", "--icq", str(icq), "--to", str(zeb), "--dated",
                               "--component", "2000b"})});
        for (const auto& set : fs::directory_iterator(zeb))
            if (set.path().filename().string().rfind("2000-", 0) != 0)
                fs::rename(set.path(), zeb / ("2000-01-" + std::to_string(10 + week) + " 0000"));
        changeOnePercent(root, files, 50 + week);
    }
    const double tenSets = double(diskUsage(zeb)) / double(diskUsage(zeb / "2000-01-10 0000"));
    fs::remove_all(zeb);
    fs::remove_all(other);
    fs::remove_all(restored);

    printTable(results);
    std::printf("\nten weekly dated sets take %.2f times one set\n", tenSets);
    return 0;
}

struct ManyResult
{
    Measure first;
    Measure repeat;
};

ManyResult manyOnce(const fs::path& root, const std::string& program, int files)
{
    generate(root, files, 4096, false);
    const fs::path icq = root / "icq";
    const fs::path zeb = root / "zeb";
    const fs::path other = root / "other";
    const auto backupCommand = [&] {
        return cli(program,
                   {"backup", "--icq", str(icq), "--to", str(zeb), "--component", "2000b"});
    };
    fs::create_directories(other);
    const Measure firstZeb = timeCommands({backupCommand()});
    const Measure firstOther =
        timeCommands({{"cp", "-a", str(icq / "2000b"), str(other / "2000b")}, {"sync"}});
    ::sync();
    const Measure repeatZeb = timeCommands({backupCommand()});
    const Measure repeatOther =
        timeCommands({{"rsync", "-a", str(icq / "2000b") + "/", str(other / "2000b")}, {"sync"}});
    std::printf("%d files: first backup %.0f us a file (%.2f x cp -a), repeat unchanged %.0f us "
                "a file (%.2f x rsync -a), peak RSS %.0f MiB\n",
                files, 1e6 * firstZeb.seconds / files, firstZeb.seconds / firstOther.seconds,
                1e6 * repeatZeb.seconds / files, repeatZeb.seconds / repeatOther.seconds,
                std::ceil(std::max(firstZeb.peakMiB, repeatZeb.peakMiB)));
    std::fflush(stdout);
    fs::remove_all(root / "icq");
    fs::remove_all(zeb);
    fs::remove_all(other);
    return {firstZeb, repeatZeb};
}

int many(const fs::path& root, const std::string& program, int files, int more)
{
    const ManyResult fewer = manyOnce(root, program, files);
    if (more <= files)
        return 0;
    const ManyResult larger = manyOnce(root, program, more);
    // What each file adds to the peak, between the two sizes: the part that grows with the folder.
    const auto perFile = [&](double fewerMiB, double largerMiB) {
        return (largerMiB - fewerMiB) * double(MiB) / double(more - files);
    };
    std::printf("memory each file adds between %d and %d files: first %.0f bytes, repeat %.0f "
                "bytes\n",
                files, more, perFile(fewer.first.peakMiB, larger.first.peakMiB),
                perFile(fewer.repeat.peakMiB, larger.repeat.peakMiB));
    return 0;
}

// Drops the page cache, so that the next read comes from the disk.
void dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::write(fd, "3", 1) != 1) {
        std::perror("/proc/sys/vm/drop_caches (needs root)");
        std::exit(2);
    }
    ::close(fd);
}

// The first backup with verify on a disk: zeb2000-cli reads each copy back from the medium, so
// it is timed against `cp -a` and `sync` alone, and against a careful user's copy, synced, the
// caches dropped and the copy read back.
int disk(const fs::path& root, const std::string& program, int rounds, int files)
{
    generate(root, files, 64 * 1024, false);
    const Folders folders(root);
    const fs::path& icq = folders.icq;
    const fs::path& zeb = folders.zeb;
    const fs::path& other = folders.other;
    const auto fresh = [&](bool) {
        folders.fresh();
        dropCaches();
    };
    const auto backup = [&](bool readBack) {
        return [=, &program](bool isZeb) -> std::vector<Command> {
            if (isZeb)
                return {cli(program, {"backup", "--icq", str(icq), "--to", str(zeb), "--component",
                                      "2000b"})};
            std::vector<Command> commands = {{"cp", "-a", str(icq / "2000b"), str(other / "2000b")},
                                             {"sync"}};
            if (readBack) {
                commands.push_back({"sh", "-c", "echo 3 > /proc/sys/vm/drop_caches"});
                commands.push_back(
                    {"sh", "-c",
                     "find '" + str(other / "2000b") + "' -type f -exec cat {} + > /dev/null"});
            }
            return commands;
        };
    };
    const std::vector<Result> results = {
        measure({"disk, first backup", "cp -a && sync", {}, fresh, backup(false)}, rounds),
        measure({"disk, first backup", "cp -a && sync, read back", {}, fresh, backup(true)},
                rounds)};
    fs::remove_all(zeb);
    fs::remove_all(other);
    fs::remove_all(icq);
    printTable(results);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "generate" && argc == 4) {
        generate(argv[2], std::atoi(argv[3]), 64 * 1024, true);
        return 0;
    }
    if (command == "run" && argc == 6)
        return run(argv[2], argv[3], std::max(1, std::atoi(argv[4])), std::atoi(argv[5]));
    if (command == "many" && (argc == 5 || argc == 6))
        return many(argv[2], argv[3], std::atoi(argv[4]), argc == 6 ? std::atoi(argv[5]) : 0);
    if (command == "disk" && argc == 6)
        return disk(argv[2], argv[3], std::max(1, std::atoi(argv[4])), std::atoi(argv[5]));
    std::fprintf(stderr,
                 "usage: %s generate ROOT FILES | run ROOT CLI ROUNDS FILES | many ROOT CLI "
                 "FILES [MORE] | disk ROOT CLI ROUNDS FILES\n",
                 argv[0]);
    return 2;
}
