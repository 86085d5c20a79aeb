// The folder copy on real temporary folders. The first groups hold on every platform; the last
// checks what only Linux has (symbolic links) or only Windows (names it cannot keep, sources held
// without sharing, marks). Faults that end the process, fill a disk, limit file sizes or need
// another file system, modes and holes are in tests/faults; a repeat copy that leaves unchanged
// files alone in tests/cli; the replace question's answers in the core's task test and the
// command line's.
#include "os_test_support.h"

#ifdef _WIN32
#include "os/os_win32_internal.h"
#endif

namespace fs = std::filesystem;

using CopyFolder = OsTest::Copying;

// The source folder is named in other letter case, as Windows allows; names the ANSI code page
// lacks (Omega, Zhe) are folders and files of their own names there too, as names travel as UTF-16
// from end to end; modification times are kept to the file system's precision. A missing source
// is no success.
TEST_F(CopyFolder, CopiesEveryFileAndNestedFolderIntoAMissingTarget)
{
    const std::pair<std::string, std::string> files[] = {
        {"a.dat", "alpha"},
        {"README", "no extension"},
        {"Unter ordner/.cfg", "hidden on Linux"},
        {"Unter ordner/tiefer \xCE\xA9/c.bin", std::string("g\0mma", 5)}, // Omega
        {"Unter ordner/large.db", std::string(3 * 1024 * 1024 + 17, 'L')},
        {"Liste \xC3\xA9t\xC3\xA9 \xD0\x96\xE2\x82\xAC.dat", "non-ASCII"}};
    for (const auto& [name, content] : files)
        dir.writeFile("ICQ Daten/" + name, content);
    dir.makeFolder("ICQ Daten/empty");
    constexpr long long Then = 1000000000'123456700LL; // in the 100 ns steps that NTFS keeps
    OsTest::setTime(dir.path("ICQ Daten/a.dat"), Then);
    EXPECT_TRUE(copy("icq daten", "Sicherung \xCE\xA9/2003b/DB"));
    for (const auto& [name, content] : files)
        EXPECT_TRUE(dir.readFile("Sicherung \xCE\xA9/2003b/DB/" + name) == content) << name;
    EXPECT_EQ(dir.state("Sicherung \xCE\xA9/2003b/DB/empty").kind, Os::FileState::Kind::Folder);
    EXPECT_EQ(dir.state("Sicherung \xCE\xA9/2003b/DB/a.dat").modified, Then);
    EXPECT_FALSE(copy("nowhere", "dst")); // a missing source
}

// What a copy that died left is removed when a copy enters the folder, unless its process still
// runs (a process another user may not signal lives: the file test's); the program's own
// temporary files are never copied as data. A user's file that only looks like one is data. A
// new folder is made under a temporary name: a dead copy's goes with what is in it, and one of
// this process's number (left by an earlier process of that number) never mixes into the new.
TEST_F(CopyFolder, RemovesStaleTemporaryFilesAndNeverCopiesThem)
{
    dir.writeFile("src/a.dat", "data");
    dir.writeFile("src/" + Os::temporaryName(77, "u2", "a.dat"), "a temporary file of ours");
    dir.writeFile("src/.~zeb77-1-0badc0de-notes.txt", "the user's");
    dir.writeFile("dst/sub/" + Os::temporaryName(4194999, "3", "big.db"), "left by a dead copy");
    dir.writeFile("dst/" + Os::temporaryName(4194999, "d1", "new") + "/x.db",
                  "left by a dead copy");
    const std::string busy = Os::temporaryName(OsTest::ownPid(), "2", "busy.db");
    dir.writeFile("dst/sub/" + busy, "its process is alive");
    dir.writeFile("dst/" + Os::temporaryName(OsTest::ownPid(), "d1", "new") + "/old.db", "stale");
    dir.writeFile("src/sub/b.dat", "data");
    dir.writeFile("src/new/c.dat", "data");
    EXPECT_TRUE(copy("src", "dst"));
    EXPECT_EQ(dir.names("dst"),
              (std::vector<std::string>{".~zeb77-1-0badc0de-notes.txt", "a.dat", "new", "sub"}));
    EXPECT_EQ(dir.names("dst/sub"), (std::vector<std::string>{busy, "b.dat"}));
    EXPECT_EQ(dir.names("dst/new"), std::vector<std::string>{"c.dat"});
#ifndef _WIN32

    // A folder link brings the copy back into a folder it has written: its own stay.
    dir.writeFile("src2/a/x.dat", "x");
    dir.writeFile("src2/b/y.dat", "y");
    dir.makeFolder("dst2/a");
    fs::create_symlink("a", dir.path("dst2/b"));
    EXPECT_TRUE(copy("src2", "dst2"));
    EXPECT_EQ(dir.names("dst2/a"), (std::vector<std::string>{"x.dat", "y.dat"}));
#endif
}

// A source that changes while it is read is read again; one that keeps changing is reported.
// Rewritten in place, it keeps its size and inode and its time moves within the same second.
TEST_F(CopyFolder, ReadsAChangedSourceAgainAndReportsOneThatKeepsChanging)
{
    const std::string large(256 * 1024, 'a');
    struct Case
    {
        const char* what;
        int changes; // how many copies see a change: once is read again, twice is reported
        bool inPlace;
    } cases[] = {{"truncated once", 1, false},
                 {"changing", 2, false},
                 {"rewritten in place at the same size within the second", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.writeFile("src/db.dat", large);
        // Set through the system: mingw's std::filesystem sets whole seconds only.
        constexpr long long Second = 1700000000LL * 1000000000LL;
        OsTest::setTime(dir.path("src/db.dat"), Second + 100000);
        fs::remove_all(dir.path("dst"));
        int calls = 0;
        request.afterFileData = [&](const std::string& source, const std::string&) {
            if (calls++ >= c.changes)
                return;
            if (c.inPlace) {
                std::fstream(source, std::ios::in | std::ios::out | std::ios::binary)
                    .write(std::string(large.size(), 'b').data(), std::streamsize(large.size()));
                OsTest::setTime(source, Second + 200000);
                return;
            }
            if (calls == 1) {
                fs::resize_file(source, 1000);
                return;
            }
#ifdef _WIN32
            // Windows replaces no file that is open, whatever the sharing: it grows again.
            fs::resize_file(source, 2000);
#else
            // Replaced by another file of that name.
            dir.writeFile("src/other", "replaced");
            fs::rename(dir.path("src/other"), source);
#endif
        };
        EXPECT_EQ(copy("src", "dst"), c.changes == 1);
        EXPECT_EQ(calls, 2);
        if (c.changes == 1) { // a success has no failures
            EXPECT_EQ(dir.readFile("dst/db.dat"),
                      c.inPlace ? std::string(large.size(), 'b') : large.substr(0, 1000));
        } else {
            EXPECT_EQ(dir.names("dst"), std::vector<std::string>{});
            ASSERT_EQ(outcome.failures.size(), 1u);
            EXPECT_EQ(outcome.failures[0].path, dir.path("src/db.dat"));
            EXPECT_EQ(outcome.failures[0].reason, "it changed while being copied");
        }
    }
}

#ifndef _WIN32

// Links are what they point at, as Windows programs see them: their data is copied; a folder
// link back into the copy is refused (a dangling link is reported: the task's and the command
// line's tests). On the target side a folder link is written through at any depth, and a file
// link is replaced, not what it points at.
TEST_F(CopyFolder, FollowsLinksOnBothSidesAndRefusesLoops)
{
    dir.writeFile("outside/data.dat", "outside data");
    dir.writeFile("src/a.dat", "a");
    fs::create_symlink(dir.path("outside"), dir.path("src/linked folder"));
    fs::create_symlink("a.dat", dir.path("src/linked file.dat"));
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
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].path, dir.path("src/loop"));
    EXPECT_EQ(outcome.failures[0].side, Os::CopySide::Source);
    EXPECT_EQ(outcome.failures[0].reason,
              "it is a link that leads back into a folder being copied");
}

#endif

#ifdef _WIN32

// Windows drops a blank or a dot at the end of a name on most paths, and a source another program
// holds without sharing cannot be read: a target or a source of such a name, and a held source,
// are failed files named with their side, and no success; the rest is copied.
TEST_F(CopyFolder, RefusesNamesThatEndInABlankOrADotAndSourcesHeldWithoutSharing)
{
    dir.writeFile("src/a.dat", "a");
    EXPECT_FALSE(copy("src", "Backup "));
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].path, dir.path("Backup "));
    EXPECT_EQ(outcome.failures[0].side, Os::CopySide::Target);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"src"});

    dir.writeFile("src/b.dat.", "b"); // through the long-path form, which takes it as it stands
    dir.writeFile("src/held.dat", "held");
    const HANDLE held = CreateFileA(dir.path("src/held.dat").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(copy("src", "dst"));
    CloseHandle(held);
    ASSERT_EQ(outcome.failures.size(), 2u); // the name refused by the walk, the held file read
    EXPECT_EQ(outcome.failures[0].path, dir.path("src/b.dat."));
    EXPECT_EQ(outcome.failures[0].side, Os::CopySide::Source);
    EXPECT_EQ(outcome.failures[1].path, dir.path("src/held.dat"));
    EXPECT_EQ(outcome.failures[1].side, Os::CopySide::Source);
    EXPECT_EQ(dir.names("dst"), std::vector<std::string>{"a.dat"});
}

// A copy carries the source's marks: hidden and read-only, among others. The read-only copy of
// an earlier backup is replaced all the same, and removed with its folder; another name of the
// replaced or removed file (an undo set's, a kept set's) keeps its mark.
TEST_F(CopyFolder, KeepsTheMarksOfFilesAndReplacesReadOnlyCopies)
{
    dir.writeFile("src/a.dat", "first");
    const std::wstring source = Os::detail::widePath(dir.path("src/a.dat"));
    constexpr DWORD Marks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(SetFileAttributesW(source.c_str(), Marks));
    EXPECT_TRUE(copy("src", "dst"));
    const std::wstring copied = Os::detail::widePath(dir.path("dst/a.dat"));
    EXPECT_EQ(GetFileAttributesW(copied.c_str()) & Marks, Marks);

    // The replaced copy is kept under another name, as an undo set keeps ICQ's file; Windows
    // refuses to replace a read-only file (Wine does not), so the move here refuses too.
    const std::wstring kept = Os::detail::widePath(dir.path("kept.dat"));
    ASSERT_TRUE(CreateHardLinkW(kept.c_str(), copied.c_str(), nullptr));
    const auto keptIntact = [&](const char* bytes) {
        EXPECT_EQ(GetFileAttributesW(kept.c_str()) & Marks, Marks);
        EXPECT_EQ(dir.readFile("kept.dat"), bytes);
    };
    Os::detail::moveFileW = [](LPCWSTR from, LPCWSTR to, DWORD flags) -> BOOL {
        const DWORD marks = GetFileAttributesW(to);
        if (marks != INVALID_FILE_ATTRIBUTES && (marks & FILE_ATTRIBUTE_READONLY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return MoveFileExW(from, to, flags);
    };
    ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL));
    dir.writeFile("src/a.dat", "second, longer");
    ASSERT_TRUE(SetFileAttributesW(source.c_str(), Marks));
    EXPECT_TRUE(copy("src", "dst"));
    Os::detail::moveFileW = MoveFileExW;
    EXPECT_EQ(dir.readFile("dst/a.dat"), "second, longer");
    EXPECT_EQ(GetFileAttributesW(copied.c_str()) & Marks, Marks);
    EXPECT_FALSE(outcome.attributesLost);
    EXPECT_EQ(dir.names("dst"), std::vector<std::string>{"a.dat"}); // no holding name left
    keptIntact("first");
    ASSERT_EQ(Os::removeFile(dir.path("kept.dat")), 0);
    ASSERT_TRUE(CreateHardLinkW(kept.c_str(), copied.c_str(), nullptr));

    std::string failed;
    EXPECT_EQ(Os::removeTree(dir.path("dst"), failed), 0) << failed;
    keptIntact("second, longer");
    EXPECT_EQ(Os::removeFile(dir.path("kept.dat")), 0);
    ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL));
}

#endif
