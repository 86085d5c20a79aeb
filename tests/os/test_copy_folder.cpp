// The folder copy on real temporary folders. The first group holds on every platform (the
// Win32 shell and the Linux copier alike); the rest checks what the Linux copier promises of
// its own. The replace question and the error reports are tested through FileCopier.
#include "os_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
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
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>((i * 2654435761u) >> 13);
    dir.writeFile("src/sub/large.db", large);

    // The whole missing target chain is made.
    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "dst/2003b/DB", true)));
    EXPECT_TRUE(dir.readFile("dst/2003b/DB/sub/large.db") == large);
    EXPECT_EQ(dir.readFile("dst/2003b/DB/a.dat"), "alpha");
    EXPECT_EQ(dir.readFile("dst/2003b/DB/README"), "no extension");
    EXPECT_EQ(dir.readFile("dst/2003b/DB/sub/b.txt"), "beta");
    EXPECT_EQ(dir.readFile("dst/2003b/DB/sub/deeper/c.bin"), std::string("g\0mma", 5));
    EXPECT_TRUE(fs::is_directory(dir.path("dst/2003b/DB/empty")));
    EXPECT_EQ(dir.readFile("src/a.dat"), "alpha");
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
    std::vector<std::string> reports;
    void attach(Os::CopyRequest& copy)
    {
        copy.reportError = [this](const std::string& message) { reports.push_back(message); };
    }
};

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

TEST(LinuxCopier, TargetInsideTheSourceIsNotCopiedIntoItself)
{
    TempFolder dir;
    dir.writeFile("src/a.dat", "a");
    EXPECT_TRUE(Os::copyFolder(request(dir, "src", "src/backup", true)));
    EXPECT_EQ(dir.readFile("src/backup/a.dat"), "a");
    EXPECT_FALSE(fs::exists(dir.path("src/backup/backup")));
}

// A folder where the source has a file, and a link where it has a folder: both are reported,
// neither is written through, and the rest is copied.
TEST(LinuxCopier, ConflictingTargetEntriesAreReportedNotWrittenThrough)
{
    TempFolder dir;
    dir.writeFile("src/item", "a file");
    dir.writeFile("src/sub/a.dat", "a");
    dir.writeFile("src/other.dat", "copied anyway");
    dir.makeFolder("dst/item");
    dir.makeFolder("elsewhere");
    ASSERT_EQ(::symlink(dir.path("elsewhere").c_str(), dir.path("dst/sub").c_str()), 0);
    Os::CopyRequest copy = request(dir, "src", "dst", true);
    Recorder recorder;
    recorder.attach(copy);

    EXPECT_FALSE(Os::copyFolder(copy));
    EXPECT_TRUE(fs::is_directory(dir.path("dst/item")));
    EXPECT_TRUE(fs::is_empty(dir.path("elsewhere")));
    EXPECT_EQ(dir.readFile("dst/other.dat"), "copied anyway");
    EXPECT_EQ(recorder.reports.size(), 2u);
}

#endif
