// The folder copy on real temporary folders. The first group holds on every platform (the
// Win32 shell and the Linux copier alike); the rest checks what the Linux copier promises of
// its own: the replace question, atomic replacement, times, links and its error reports.
#include "os_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using OsTest::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string pattern(const TempFolder& dir, const std::string& folder, const std::string& spec)
{
    return dir.path(folder) + Os::PathSeparator + spec;
}

Os::CopyRequest request(const TempFolder& dir, const std::string& from, const std::string& to,
                        bool overwrite = false)
{
    Os::CopyRequest copy;
    copy.from = pattern(dir, from, "*.*");
    copy.to = dir.path(to);
    copy.overwrite = overwrite;
    return copy;
}

} // namespace

// ---- The contract on every platform --------------------------------------------------------

TEST(CopyFolder, CopiesFilesAndNestedSubfoldersWithStarDotStar)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "alpha");
    dir.writeFile("src/README", "no extension");
    dir.writeFile("src/sub/b.txt", "beta");
    dir.writeFile("src/sub/deeper/c.bin", std::string("g\0mma", 5));
    dir.makeFolder("src/empty");

    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "dst", true)));
    EXPECT_EQ(dir.readFile("dst/a.dat"), "alpha");
    EXPECT_EQ(dir.readFile("dst/README"), "no extension");
    EXPECT_EQ(dir.readFile("dst/sub/b.txt"), "beta");
    EXPECT_EQ(dir.readFile("dst/sub/deeper/c.bin"), std::string("g\0mma", 5));
    EXPECT_TRUE(fs::is_directory(dir.path("dst/empty")));
    EXPECT_EQ(dir.readFile("src/a.dat"), "alpha");
}

TEST(CopyFolder, MakesTheWholeMissingTargetChain)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "alpha");
    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "backup/2003b/DB", true)));
    EXPECT_EQ(dir.readFile("backup/2003b/DB/a.dat"), "alpha");
}

TEST(CopyFolder, PatternSelectsMatchingFilesIgnoringCase)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "a");
    dir.writeFile("src/B.DAT", "b");
    dir.writeFile("src/c.txt", "c");
    dir.writeFile("src/sub/d.dat", "d");
    Os::CopyRequest copy = request(dir, "src", "dst", true);
    copy.from = pattern(dir, "src", "*.dat");

    EXPECT_TRUE(Os::copyFolder(copy));
    EXPECT_EQ(dir.readFile("dst/a.dat"), "a");
    EXPECT_EQ(dir.readFile("dst/B.DAT"), "b");
    EXPECT_FALSE(fs::exists(dir.path("dst/c.txt")));
    EXPECT_FALSE(fs::exists(dir.path("dst/sub")));
}

TEST(CopyFolder, OverwriteReplacesExistingFilesWithoutAsking)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "new contents");
    dir.writeFile("dst/a.dat", "old");
    dir.writeFile("dst/keep.dat", "untouched");
    int questions = 0;
    Os::CopyRequest copy = request(dir, "src", "dst", true);
    copy.askReplace = [&](const std::string&) {
        ++questions;
        return Os::ReplaceAnswer::No;
    };

    EXPECT_TRUE(Os::copyFolder(copy));
    EXPECT_EQ(dir.readFile("dst/a.dat"), "new contents");
    EXPECT_EQ(dir.readFile("dst/keep.dat"), "untouched");
    EXPECT_EQ(questions, 0);
}

TEST(CopyFolder, MissingSourceAnswersFalse)
{
    TempFolder dir;
    EXPECT_FALSE(Os::copyFolder(request(dir, "nowhere", "dst", true)));
}

#ifndef _WIN32

// ---- The Linux copier ----------------------------------------------------------------------

namespace {

struct Recorder
{
    std::vector<std::string> asked;
    std::vector<std::string> reports;
    std::vector<Os::ReplaceAnswer> answers;

    void attach(Os::CopyRequest& copy)
    {
        copy.askReplace = [this](const std::string& file) {
            asked.push_back(file);
            const Os::ReplaceAnswer answer = answers.at(asked.size() - 1);
            return answer;
        };
        copy.reportError = [this](const std::string& message) { reports.push_back(message); };
    }
};

// Two files that already exist in the target and one that does not.
void prepareConflicts(const TempFolder& dir)
{
    dir.writeFile("src/one.dat", "new one");
    dir.writeFile("src/two.dat", "new two");
    dir.writeFile("src/fresh.dat", "fresh");
    dir.writeFile("dst/one.dat", "old one");
    dir.writeFile("dst/two.dat", "old two");
}

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return OsTest::sorted(names);
}

timespec mtimeOf(const std::string& path)
{
    struct stat info
    {
    };
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mtim;
}

void setTimes(const std::string& path, time_t seconds, long nanoseconds)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

} // namespace

TEST(LinuxCopier, ReplaceQuestionYesReplacesNoKeepsAndAsksPerFile)
{
    TempFolder dir;
    prepareConflicts(dir);
    Os::CopyRequest copy = request(dir, "src", "dst");
    Recorder recorder;
    recorder.answers = {Os::ReplaceAnswer::Yes, Os::ReplaceAnswer::No};
    recorder.attach(copy);

    EXPECT_TRUE(Os::copyFolder(copy));
    ASSERT_EQ(recorder.asked.size(), 2u);
    const std::string replaced = fs::path(recorder.asked[0]).filename().string();
    const std::string kept = fs::path(recorder.asked[1]).filename().string();
    EXPECT_EQ(recorder.asked[0], dir.path("dst/" + replaced));
    EXPECT_EQ(dir.readFile("dst/" + replaced), "new " + replaced.substr(0, 3));
    EXPECT_EQ(dir.readFile("dst/" + kept), "old " + kept.substr(0, 3));
    EXPECT_EQ(dir.readFile("dst/fresh.dat"), "fresh");
    EXPECT_TRUE(recorder.reports.empty());
    EXPECT_EQ(entries(dir.path("dst")),
              (std::vector<std::string>{"fresh.dat", "one.dat", "two.dat"}));
}

TEST(LinuxCopier, YesToAllAsksOnceAndReplacesEverything)
{
    TempFolder dir;
    prepareConflicts(dir);
    dir.writeFile("src/sub/three.dat", "new three");
    dir.writeFile("dst/sub/three.dat", "old three");
    Os::CopyRequest copy = request(dir, "src", "dst");
    Recorder recorder;
    recorder.answers = {Os::ReplaceAnswer::YesToAll};
    recorder.attach(copy);

    EXPECT_TRUE(Os::copyFolder(copy));
    EXPECT_EQ(recorder.asked.size(), 1u);
    EXPECT_EQ(dir.readFile("dst/one.dat"), "new one");
    EXPECT_EQ(dir.readFile("dst/two.dat"), "new two");
    EXPECT_EQ(dir.readFile("dst/sub/three.dat"), "new three");
}

TEST(LinuxCopier, CancelStopsAndAnswersFalse)
{
    TempFolder dir;
    prepareConflicts(dir);
    Os::CopyRequest copy = request(dir, "src", "dst");
    Recorder recorder;
    recorder.answers = {Os::ReplaceAnswer::Cancel};
    recorder.attach(copy);

    EXPECT_FALSE(Os::copyFolder(copy));
    EXPECT_EQ(recorder.asked.size(), 1u);
    EXPECT_EQ(dir.readFile("dst/one.dat"), "old one");
    EXPECT_EQ(dir.readFile("dst/two.dat"), "old two");
}

TEST(LinuxCopier, WithoutAQuestionToAskExistingFilesAreKept)
{
    TempFolder dir;
    prepareConflicts(dir);
    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "dst")));
    EXPECT_EQ(dir.readFile("dst/one.dat"), "old one");
    EXPECT_EQ(dir.readFile("dst/fresh.dat"), "fresh");
}

TEST(LinuxCopier, MissingSourceIsReported)
{
    TempFolder dir;
    Os::CopyRequest copy = request(dir, "nowhere", "dst", true);
    Recorder recorder;
    recorder.attach(copy);
    EXPECT_FALSE(Os::copyFolder(copy));
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_NE(recorder.reports[0].find("nowhere"), std::string::npos);
    EXPECT_NE(recorder.reports[0].find("No such file or directory"), std::string::npos);
}

TEST(LinuxCopier, FindsSourceFoldersIgnoringCaseAndCopiesHiddenFiles)
{
    TempFolder dir;
    dir.writeFile("Icq/NewDB/.hidden", "h");
    dir.writeFile("Icq/NewDB/Sub/.cfg", "c");
    Os::CopyRequest copy = request(dir, "ICQ/newdb", "dst", true);
    EXPECT_TRUE(Os::copyFolder(copy));
    EXPECT_EQ(dir.readFile("dst/.hidden"), "h");
    EXPECT_EQ(dir.readFile("dst/Sub/.cfg"), "c");
}

TEST(LinuxCopier, KeepsModificationTimesAndPermissions)
{
    TempFolder dir;
    dir.writeFile("src/sub/a.dat", "a");
    dir.writeFile("src/b.dat", "b");
    ASSERT_EQ(::chmod(dir.path("src/b.dat").c_str(), 0640), 0);
    ASSERT_EQ(::chmod(dir.path("src/sub").c_str(), 0750), 0);
    setTimes(dir.path("src/sub/a.dat"), 978307200, 123456789); // 2001-01-01
    setTimes(dir.path("src/b.dat"), 1000000000, 0);
    setTimes(dir.path("src/sub"), 990000000, 5);

    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "dst", true)));
    for (const char* name : {"sub/a.dat", "b.dat", "sub"}) {
        const timespec source = mtimeOf(dir.path(std::string("src/") + name));
        const timespec copied = mtimeOf(dir.path(std::string("dst/") + name));
        EXPECT_EQ(copied.tv_sec, source.tv_sec) << name;
        EXPECT_EQ(copied.tv_nsec, source.tv_nsec) << name;
    }
    struct stat info
    {
    };
    ASSERT_EQ(::stat(dir.path("dst/b.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat(dir.path("dst/sub").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
}

TEST(LinuxCopier, CopiesLinksAsLinksWithoutFollowingThem)
{
    TempFolder dir;
    dir.writeFile("outside/secret.dat", "secret");
    dir.writeFile("src/a.dat", "a");
    ASSERT_EQ(::symlink(dir.path("outside").c_str(), dir.path("src/folderlink").c_str()), 0);
    ASSERT_EQ(::symlink("a.dat", dir.path("src/filelink").c_str()), 0);
    ASSERT_EQ(::symlink("missing", dir.path("src/dangling").c_str()), 0);

    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "dst", true)));
    EXPECT_TRUE(fs::is_symlink(dir.path("dst/folderlink")));
    EXPECT_EQ(fs::read_symlink(dir.path("dst/folderlink")), fs::path(dir.path("outside")));
    EXPECT_EQ(fs::read_symlink(dir.path("dst/filelink")), fs::path("a.dat"));
    EXPECT_EQ(fs::read_symlink(dir.path("dst/dangling")), fs::path("missing"));
    EXPECT_EQ(entries(dir.path("outside")), std::vector<std::string>{"secret.dat"});
}

TEST(LinuxCopier, NeverWritesThroughALinkInTheTarget)
{
    TempFolder dir;
    dir.writeFile("src/sub/a.dat", "a");
    dir.makeFolder("elsewhere");
    dir.makeFolder("dst");
    ASSERT_EQ(::symlink(dir.path("elsewhere").c_str(), dir.path("dst/sub").c_str()), 0);
    Os::CopyRequest copy = request(dir, "src", "dst", true);
    Recorder recorder;
    recorder.attach(copy);

    EXPECT_FALSE(Os::copyFolder(copy));
    EXPECT_TRUE(fs::is_empty(dir.path("elsewhere")));
    EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST(LinuxCopier, TargetThatCannotBeMadeAnswersFalse)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "a");
    dir.writeFile("blocker", "a file where a folder should be");
    Os::CopyRequest copy = request(dir, "src", "blocker/dst", true);
    Recorder recorder;
    recorder.attach(copy);

    EXPECT_FALSE(Os::copyFolder(copy));
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_NE(recorder.reports[0].find("Not a directory"), std::string::npos);
    EXPECT_EQ(dir.readFile("blocker"), "a file where a folder should be");
}

// The file size limit refuses writes even to root, who passes every permission check: the
// replacement cannot be written, and the good file must stay whole.
TEST(LinuxCopier, FailedReplacementLeavesTheOldFileWhole)
{
    TempFolder dir;
    const std::string old = "old but good";
    dir.writeFile("src/big.dat", std::string(256 * 1024, 'n'));
    dir.writeFile("src/small.dat", "fits");
    dir.writeFile("dst/big.dat", old);
    Os::CopyRequest copy = request(dir, "src", "dst", true);
    Recorder recorder;
    recorder.attach(copy);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool copied = Os::copyFolder(copy);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(copied);
    EXPECT_EQ(dir.readFile("dst/big.dat"), old);
    EXPECT_EQ(dir.readFile("dst/small.dat"), "fits");
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_NE(recorder.reports[0].find("big.dat"), std::string::npos);
    // No temporary file is left behind.
    EXPECT_EQ(entries(dir.path("dst")), (std::vector<std::string>{"big.dat", "small.dat"}));
}

TEST(LinuxCopier, LargeFilesAndAwkwardNamesArriveByteForByte)
{
    TempFolder dir;
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>((i * 2654435761u) >> 13);
    const std::string awkward = "Kontakte \xC3\xBC\xC3\x9F \xD0\x96 v2.dat"; // ü ß Ж
    dir.writeFile("src/" + awkward, large);
    dir.writeFile("src/with space/\xC3\xA9t\xC3\xA9.txt", "summer");

    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "dst", true)));
    EXPECT_TRUE(dir.readFile("dst/" + awkward) == large);
    EXPECT_EQ(dir.readFile("dst/with space/\xC3\xA9t\xC3\xA9.txt"), "summer");
}

TEST(LinuxCopier, TargetInsideTheSourceIsNotCopiedIntoItself)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "a");
    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "src/backup", true)));
    EXPECT_EQ(dir.readFile("src/backup/a.dat"), "a");
    EXPECT_FALSE(fs::exists(dir.path("src/backup/backup")));
}

TEST(LinuxCopier, FileAgainstFolderOfTheSameNameIsReported)
{
    TempFolder dir;
    dir.writeFile("src/item", "a file");
    dir.writeFile("src/other.dat", "copied anyway");
    dir.makeFolder("dst/item");
    Os::CopyRequest copy = request(dir, "src", "dst", true);
    Recorder recorder;
    recorder.attach(copy);

    EXPECT_FALSE(Os::copyFolder(copy));
    EXPECT_TRUE(fs::is_directory(dir.path("dst/item")));
    EXPECT_EQ(dir.readFile("dst/other.dat"), "copied anyway");
    EXPECT_EQ(recorder.reports.size(), 1u);
}

#endif
