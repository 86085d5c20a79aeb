// The folder copy on real temporary folders. The first group holds on every platform (the Win32
// shell and the Linux copier alike); the rest checks what the Linux copier promises of its own.
// Faults that end the process, fill a disk, limit file sizes or need another file system, and
// the temporary files renamed into place at the end, are in tests/faults; a repeat copy that
// leaves unchanged files alone in tests/cli.
#include "os_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class CopyFolder : public ::testing::Test
{
protected:
    // Always with Overwrite, so with no replace question to ask.
    bool copy(const std::string& from, const std::string& to, const std::string& pattern = "*.*")
    {
        request.from = dir.path(from) + Os::PathSeparator + pattern;
        request.to = dir.path(to);
        request.overwrite = true;
        outcome = {};
        return Os::copyFolder(request, outcome);
    }
    std::vector<std::string> namesIn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path(folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    OsTest::TempFolder dir;
    Os::CopyRequest request;
    Os::CopyOutcome outcome;
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

// Overwrite replaces what is there without a question and keeps the rest; a single file lands
// inside a target folder that does not exist yet, never under the folder's name.
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

    EXPECT_TRUE(copy("src", "one/missing", "c.txt"));
    EXPECT_EQ(dir.readFile("one/missing/c.txt"), "new");
}

#ifdef _WIN32
// Without Overwrite the shell asks before it replaces a file. Its question, whatever its title, is
// closed from another thread as the user would cancel it; the old file stays.
TEST_F(CopyFolder, WithoutOverwriteTheShellAsksBeforeReplacing)
{
    dir.writeFile("src/a.dat", "new");
    dir.writeFile("dst/a.dat", "old");
    std::atomic<bool> asked{false};
    std::atomic<bool> copied{false};
    std::thread user([&] {
        while (!copied) {
            EnumWindows(
                [](HWND window, LPARAM found) {
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
                        PostMessageA(window, WM_CLOSE, 0, 0);
                        *reinterpret_cast<std::atomic<bool>*>(found) = true;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&asked));
            Sleep(20);
        }
    });
    request.from = dir.path("src") + "\\*.*";
    request.to = dir.path("dst");
    Os::copyFolder(request, outcome);
    copied = true;
    user.join();
    EXPECT_TRUE(asked);
    EXPECT_EQ(dir.readFile("dst/a.dat"), "old");
}

#else

// What a copy that died left is removed when a copy enters the folder, unless its process still
// runs; the program's own temporary files are never copied as data.
TEST_F(CopyFolder, RemovesStaleTemporaryFilesAndNeverCopiesThem)
{
    dir.writeFile("src/a.dat", "data");
    dir.writeFile("src/.~zeb77-1-a.dat", "someone's temporary file");
    dir.writeFile("dst/sub/.~zeb4194999-3-big.db", "left by a dead copy");
    dir.writeFile("dst/sub/.~zeb1-2-busy.db", "init is alive");
    dir.writeFile("dst/sub/.~zeb-x.dat", "not one of ours");
    dir.writeFile("src/sub/b.dat", "data");
    EXPECT_TRUE(copy("src", "dst"));
    EXPECT_EQ(namesIn("dst"), (std::vector<std::string>{"a.dat", "sub"}));
    EXPECT_EQ(namesIn("dst/sub"),
              (std::vector<std::string>{".~zeb-x.dat", ".~zeb1-2-busy.db", "b.dat"}));

    // A folder link brings the copy back into a folder it has written: its own stay.
    dir.writeFile("src2/a/x.dat", "x");
    dir.writeFile("src2/b/y.dat", "y");
    dir.makeFolder("dst2/a");
    fs::create_symlink("a", dir.path("dst2/b"));
    EXPECT_TRUE(copy("src2", "dst2"));
    EXPECT_EQ(namesIn("dst2/a"), (std::vector<std::string>{"x.dat", "y.dat"}));
}

// The temporary file of a live process that this user may not signal (kill answers EPERM, not
// ESRCH) is not stale: init's, seen by an unprivileged user. Run as root, the copy drops to
// nobody in a child of its own.
TEST_F(CopyFolder, KeepsTheTemporaryFileOfAProcessItMayNotSignal)
{
    dir.writeFile("src/a.dat", "data");
    dir.writeFile("dst/.~zeb1-2-busy.db", "init's");
    if (::geteuid() != 0) {
        ASSERT_TRUE(copy("src", "dst"));
    } else {
        for (const char* folder : {"", "src", "dst"})
            fs::permissions(dir.path(folder), fs::perms::all);
        const pid_t child = ::fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(2);
            if (::kill(1, 0) == 0 || errno != EPERM)
                ::_exit(3);
            ::_exit(copy("src", "dst") ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(dir.readFile("dst/.~zeb1-2-busy.db"), "init's");
    EXPECT_EQ(dir.readFile("dst/a.dat"), "data");
}

// A source that changes while it is read is read again; one that keeps changing is reported.
TEST_F(CopyFolder, ReadsAChangedSourceAgainAndReportsOneThatKeepsChanging)
{
    const std::string large(256 * 1024, 'a');
    struct Case
    {
        const char* what;
        int changes; // how many copies see a change
        bool copied;
    } cases[] = {{"truncated once", 1, true}, {"changing", 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.writeFile("src/db.dat", large);
        fs::remove_all(dir.path("dst"));
        int calls = 0;
        request.afterFileData = [&](const std::string& source, const std::string&) {
            if (calls++ < c.changes) // truncated, then replaced by another file of that name
                calls == 1 ? fs::resize_file(source, 1000)
                           : (dir.writeFile("src/other", "replaced"),
                              fs::rename(dir.path("src/other"), source));
        };
        EXPECT_EQ(copy("src", "dst"), c.copied);
        EXPECT_EQ(calls, 2);
        if (c.copied) {
            EXPECT_EQ(dir.readFile("dst/db.dat"), large.substr(0, 1000));
            EXPECT_TRUE(outcome.failures.empty());
        } else {
            EXPECT_EQ(namesIn("dst"), std::vector<std::string>{});
            ASSERT_EQ(outcome.failures.size(), 1u);
            EXPECT_EQ(outcome.failures[0].path, dir.path("src/db.dat"));
            EXPECT_EQ(outcome.failures[0].reason, "it changed while being copied");
        }
    }
}

// With verification a copy that does not read back as its source is a failed file; a stop drops
// the file being written and puts the finished ones in place.
TEST_F(CopyFolder, VerifiesCopiesAndStopsCleanly)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        dir.writeFile(std::string("src/") + name, std::string(70000, name[0]));
    request.verify = true;
    std::atomic<bool> stop{false};
    request.stop = &stop;
    request.afterFileData = [&](const std::string& source, const std::string& temporary) {
        if (source.ends_with("a.dat")) // damaged between the copy and the read-back
            std::fstream(temporary, std::ios::in | std::ios::out | std::ios::binary) << 'x';
        if (source.ends_with("b.dat"))
            stop = true;
    };
    EXPECT_FALSE(copy("src", "dst"));
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].path, dir.path("dst/a.dat"));
    EXPECT_EQ(outcome.failures[0].reason, "verification failed");
    EXPECT_EQ(namesIn("dst"), std::vector<std::string>{"b.dat"});
    EXPECT_EQ(dir.readFile("dst/b.dat"), std::string(70000, 'b'));
}

// Links are what they point at, as Windows programs see them: their data is copied; a folder
// link back into the copy is refused and a dangling link reported. On the target side a folder
// link is written through at any depth, and a file link is replaced, not what it points at.
TEST_F(CopyFolder, FollowsLinksOnBothSidesAndRefusesLoops)
{
    dir.writeFile("outside/data.dat", "outside data");
    dir.writeFile("src/a.dat", "a");
    fs::create_symlink(dir.path("outside"), dir.path("src/linked folder"));
    fs::create_symlink("a.dat", dir.path("src/linked file.dat"));
    fs::create_symlink("missing", dir.path("src/dangling.dat"));
    fs::create_symlink(".", dir.path("src/loop"));

    dir.writeFile("elsewhere/old.dat", "kept");
    dir.writeFile("target of link.dat", "must not change");
    dir.makeFolder("dst/deep");
    fs::create_symlink(dir.path("elsewhere"), dir.path("dst/deep/Linked Folder"));
    fs::create_symlink(dir.path("target of link.dat"), dir.path("dst/deep/a.dat"));

    EXPECT_FALSE(copy("src", "dst/deep"));
    EXPECT_EQ(dir.readFile("elsewhere/data.dat"), "outside data");
    EXPECT_EQ(dir.readFile("elsewhere/old.dat"), "kept");
    EXPECT_FALSE(fs::is_symlink(dir.path("dst/deep/linked file.dat")));
    EXPECT_EQ(dir.readFile("dst/deep/linked file.dat"), "a");
    EXPECT_FALSE(fs::is_symlink(dir.path("dst/deep/a.dat")));
    EXPECT_EQ(dir.readFile("target of link.dat"), "must not change");
    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_EQ(outcome.failures[0].path, dir.path("src/dangling.dat"));
    EXPECT_EQ(outcome.failures[0].side, Os::CopySide::Source);
    EXPECT_EQ(outcome.failures[1].path, dir.path("src/loop"));
    EXPECT_EQ(outcome.failures[1].reason,
              "it is a link that leads back into a folder being copied");
}

// Files keep their modes and times; folders keep their times and get the default mode, so a
// read-only folder does not make the next backup into it fail.
TEST_F(CopyFolder, FoldersGetTheDefaultModeAndKeepTheirTimes)
{
    dir.writeFile("src/ro/a.dat", "a");
    fs::permissions(dir.path("src/ro/a.dat"), fs::perms::owner_read | fs::perms::group_read);
    const auto then = fs::last_write_time(dir.path("src/ro")) - std::chrono::hours(500);
    fs::last_write_time(dir.path("src/ro"), then);
    fs::permissions(dir.path("src/ro"), fs::perms(0555));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (int round = 0; round < 2; ++round)
        EXPECT_TRUE(copy("src", "dst")) << round;
    struct stat folder
    {
    };
    ASSERT_EQ(::stat(dir.path("dst/ro").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0777 & ~mask);
    EXPECT_TRUE(fs::last_write_time(dir.path("dst/ro")) == then);
    EXPECT_EQ(fs::status(dir.path("dst/ro/a.dat")).permissions(),
              fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(dir.path("src/ro"), fs::perms(0755));
}

#endif
