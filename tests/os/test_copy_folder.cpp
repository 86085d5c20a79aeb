// The folder copy on real temporary folders. The first group holds on every platform (the Win32
// shell and the Linux copier alike); the rest checks what the Linux copier promises of its own.
// The replace question and the message box are tested through FileCopier.
#include "os_test_support.h"

#include <gtest/gtest.h>

#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

class CopyFolder : public ::testing::Test
{
protected:
    // Always with Overwrite, so with no replace question to ask.
    bool copy(const std::string& from, const std::string& to, const std::string& pattern = "*.*")
    {
        return Os::copyFolder({dir.path(from) + Os::PathSeparator + pattern, dir.path(to), true, 0,
                               nullptr, [this](const std::string& m) { reports.push_back(m); }});
    }

    OsTest::TempFolder dir;
    std::vector<std::string> reports;
};

} // namespace

// The source folder is named in other letter case, as Windows allows; modification times are
// kept to the file system's precision.
TEST_F(CopyFolder, CopiesEveryFileAndNestedFolderIntoAMissingTarget)
{
    const std::pair<std::string, std::string> files[] = {
        {"a.dat", "alpha"},
        {"README", "no extension"},
        {"Unter ordner/.cfg", "hidden on Linux"},
        {"Unter ordner/deeper/c.bin", std::string("g\0mma", 5)},
        {"Unter ordner/large.db", std::string(3 * 1024 * 1024 + 17, 'L')},
        {"Liste \xC3\xA9t\xC3\xA9 \xD0\x96\xE2\x82\xAC.dat", "non-ASCII"}};
    for (const auto& [name, content] : files)
        dir.writeFile("ICQ Daten/" + name, content);
    dir.makeFolder("ICQ Daten/empty");
    const auto then = fs::last_write_time(dir.path("ICQ Daten/a.dat")) - std::chrono::hours(9999);
    fs::last_write_time(dir.path("ICQ Daten/a.dat"), then);
    EXPECT_TRUE(copy("icq daten", "Sicherung Daten/2003b/DB"));
    for (const auto& [name, content] : files)
        EXPECT_TRUE(dir.readFile("Sicherung Daten/2003b/DB/" + name) == content) << name;
    EXPECT_TRUE(fs::is_directory(dir.path("Sicherung Daten/2003b/DB/empty")));
    EXPECT_TRUE(fs::last_write_time(dir.path("Sicherung Daten/2003b/DB/a.dat")) == then);
}

// Overwrite replaces what is there without a question and keeps the rest.
TEST_F(CopyFolder, PatternSelectsFilesIgnoringCaseAndReplacesExistingOnes)
{
    for (const char* name : {"src/a.dat", "src/B.DAT", "src/c.txt", "src/sub/d.dat"})
        dir.writeFile(name, "new");
    dir.writeFile("dst/a.dat", "old, and longer");
    dir.writeFile("dst/keep.dat", "kept");
    EXPECT_TRUE(copy("src", "dst", "*.dat"));
    EXPECT_EQ(dir.readFile("dst/a.dat") + dir.readFile("dst/B.DAT") + dir.readFile("dst/keep.dat"),
              "newnewkept");
    EXPECT_FALSE(fs::exists(dir.path("dst/c.txt")) || fs::exists(dir.path("dst/sub")));
    EXPECT_FALSE(copy("nowhere", "dst")); // a missing source
}

#ifndef _WIN32

// Links are copied as they are, never followed out of the source; nor is a target inside the
// source copied into itself.
TEST_F(CopyFolder, CopiesLinksAsLinksAndNotItsOwnCopy)
{
    dir.writeFile("outside/secret.dat");
    dir.writeFile("src/a.dat");
    const std::pair<std::string, std::string> links[] = {
        {"folderlink", dir.path("outside")}, {"filelink", "a.dat"}, {"dangling", "missing"}};
    for (const auto& [name, target] : links)
        fs::create_symlink(target, dir.path("src/" + name));
    EXPECT_TRUE(copy("src", "src/backup"));
    for (const auto& [name, target] : links)
        EXPECT_EQ(fs::read_symlink(dir.path("src/backup/" + name)), fs::path(target)) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path("outside")), {}), 1);
    EXPECT_FALSE(fs::exists(dir.path("src/backup/backup")));
}

// The file size limit stops writes even for root, whom permissions do not stop.
TEST_F(CopyFolder, UnwritableTargetAnswersFalseAndLeavesTheOldFileWhole)
{
    dir.writeFile("src/contacts.dat", std::string(200 * 1024, 'n'));
    dir.writeFile("dst/contacts.dat", "the good old file");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, SIG_IGN); // writes past the limit fail instead
    const rlimit limited{16 * 1024, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool copied = copy("src", "dst");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(copied);
    EXPECT_EQ(dir.readFile("dst/contacts.dat"), "the good old file");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path("dst")), {}), 1); // no leftovers
    EXPECT_EQ(reports.size(), 1u);
}

#endif
