// The byte-safe file calls of the undo and backup sets on real temporary folders: every name the
// system allows comes back, nothing is replaced that must not be, and what a process that is
// gone left behind is cleared away. Faults (kills, full disks, failing calls) are injected by
// tests/faults/undo_faults.sh.
#include "ByteNames.h"
#include "os_test_support.h"

// UTF-16 names, unpaired surrogates and all, travel as WTF-8 and come back unchanged.
TEST(Wtf8, RoundTripsEveryUtf16Name)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"plain.dat", "plain.dat"},
        {u"\u00fc", "\xc3\xbc"},
        {u"\U0001F600", "\xf0\x9f\x98\x80"},
        {std::u16string(1, char16_t(0xD800)), "\xed\xa0\x80"}, // a lone high surrogate
        {std::u16string(1, char16_t(0xDC00)) + u"x", "\xed\xb0\x80x"},
    };
    for (const auto& [utf16, wtf8] : cases) {
        EXPECT_EQ(Os::wtf8FromUtf16(utf16), wtf8);
        EXPECT_EQ(Os::utf16FromWtf8(wtf8), utf16);
    }
}

// A file of each name is written in one piece, kept under a new name, moved back over another
// and listed with its name exactly as it was given.
TEST(Files, KeepMoveAndListNamesOfAnyBytes)
{
    std::vector<std::string> cases = {"plain.dat"};
    for (const ByteName& name : ByteNames)
        cases.push_back(name.bytes);
#ifdef _WIN32
    cases.push_back("ends in a dot."); // reached as it stands through the long-path form
    // NTFS keeps a name with a lone surrogate; Wine keeps its files under UTF-8 names on the
    // Unix side, which cannot spell one.
    const bool underWine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!underWine)
        cases.push_back(Os::wtf8FromUtf16(std::u16string(1, char16_t(0xD800)) + u".dat"));
#endif
    for (const std::string& name : cases) {
        OsTest::TempFolder dir;
        const std::string file = dir.path(name);
        ASSERT_EQ(Os::writeFileDurably(file, "old bytes"), 0) << name;
        const Os::FileState state = dir.state(name);
        EXPECT_EQ(state.kind, Os::FileState::Kind::File) << name;
        EXPECT_EQ(state.size, 9u) << name;
        EXPECT_EQ(dir.names(), std::vector<std::string>{name});

        const std::string kept = dir.path("set/files/" + name);
        ASSERT_EQ(Os::keepFile(file, kept), 0) << name;
        EXPECT_EQ(dir.state("set/files/" + name).modified, state.modified) << name;
        EXPECT_EQ(Os::keepFile(file, kept), Os::ErrorExists) << name;

        ASSERT_EQ(Os::writeFileDurably(file, "restored"), 0) << name;
        EXPECT_EQ(Os::moveFile(kept, file, false), Os::ErrorExists) << name;
        ASSERT_EQ(Os::moveFile(kept, file, true), 0) << name;
        EXPECT_EQ(dir.readFile(name), "old bytes") << name;
        EXPECT_EQ(dir.state("set/files/" + name).kind, Os::FileState::Kind::Missing) << name;

        std::string failed;
        EXPECT_EQ(Os::removeTree(dir.path("set"), failed), 0) << failed;
        EXPECT_EQ(Os::removeFile(file), 0) << name;
        EXPECT_EQ(Os::removeFile(file), Os::ErrorNotFound) << name;
    }
}

// Folders: one is made only where nothing stands, a folder rename never replaces, a folder
// that holds something is not removed as empty.
TEST(Files, FoldersRefuseWhatWouldReplaceOrLose)
{
    OsTest::TempFolder dir;
    dir.writeFile("full/x");
    EXPECT_EQ(Os::makeFolder(dir.path("full")), Os::ErrorExists);
    EXPECT_EQ(Os::makeFolders(dir.path("a/b/c")), 0);
    EXPECT_EQ(Os::makeFolders(dir.path("a/b/c")), 0);
    EXPECT_EQ(Os::renameFolder(dir.path("a/b/c"), dir.path("full")), Os::ErrorExists);
    EXPECT_EQ(Os::removeFolder(dir.path("full")), Os::ErrorNotEmpty);
    EXPECT_EQ(Os::renameFolder(dir.path("a/b/c"), dir.path("moved")), 0);
    EXPECT_EQ(Os::removeFolder(dir.path("moved")), 0);
    EXPECT_EQ(dir.readFile("full/x"), "x");
}

// Temporary files and folders of a process that is gone go; one's own, those of a process
// that runs and a user's name that only looks like ours (a process number, but no check) stay.
TEST(Files, RemovesWhatProcessesThatAreGoneLeft)
{
    OsTest::TempFolder dir;
    // No process has this number: Linux's and Windows' numbers stay far below it.
    const long gone = 2147483646;
    dir.writeFile(Os::temporaryName(gone, "1", "icq.db"));
    dir.writeFile(Os::temporaryName(gone, "u7", "ZEB record"));
    dir.makeFolder(Os::temporaryName(gone, "set1", "") + "/inside");
    const std::string mine = Os::temporaryName(OsTest::ownPid(), "1", "mine");
    dir.writeFile(mine);
    dir.writeFile(".~zeb2147483646-1-notes.txt");
    dir.writeFile("icq.db");
    EXPECT_EQ(Os::removeLeftTemporaries(dir.path()), 0);
    std::vector<std::string> kept{".~zeb2147483646-1-notes.txt", mine, "icq.db"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(dir.names(), kept);
    EXPECT_EQ(Os::removeLeftTemporaries(dir.path("missing")), 0);
#ifndef _WIN32
    // Another user may not signal this process (kill answers EPERM, not ESRCH): it lives to them,
    // and its file stays.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
        EXPECT_EQ(OsTest::asNobody([&] { return Os::removeLeftTemporaries(dir.path()); }), 0);
        EXPECT_EQ(dir.names(), kept);
    }
#endif
}

#ifndef _WIN32
// A run lock is the system's: a second taker is refused and told the holder, and a lock file
// that one user's run left behind is taken by another user's run, never refused for good.
TEST(Files, RunLocksAreSharedByEveryUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a second user";
    OsTest::TempFolder dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
    const std::string lock = dir.path("run.lock");
    Os::LockHandle held = 0;
    std::string holder;
    ASSERT_EQ(Os::tryLockFile(lock, held, holder), 0);
    const auto asOtherUser = [&lock]() {
        return OsTest::asNobody([&lock] {
            Os::LockHandle handle = 0;
            std::string other;
            const int error = Os::tryLockFile(lock, handle, other);
            return error == Os::ErrorLocked && other == std::to_string(::getppid()) ? 1
                   : error == 0                                                     ? 0
                                                                                    : 2;
        });
    };
    EXPECT_EQ(asOtherUser(), 1); // held: refused, naming this process
    ASSERT_EQ(Os::unlockFile(held), 0);
    EXPECT_EQ(asOtherUser(), 0); // left behind: taken
}
#endif
