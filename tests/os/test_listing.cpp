// Folder listing, folder lookup and directory creation on real temporary folders.
#include "os_test_support.h"

#include "os/os_internal.h"

using Names = std::vector<std::string>;

// Plain files that match by Windows' wildcard rules, ignoring case, in name order; never
// folders nor hidden files (a dot's on Linux, the marks' on Windows); a missing folder lists
// nothing. A folder is found in any letter case, a file or a missing path is not one.
TEST(Listing, ListsMatchingFilesInNameOrderAndFindsFolders)
{
    OsTest::TempFolder dir;
    for (const char* name : {"b.uin", "C.UIN", "a.Uin", "dd.uin", "e.uin.bak", "README", "x.y.z"})
        dir.writeFile(std::string("Icq/UIN/") + name);
    dir.makeFolder("Icq/UIN/f.uin");
#ifdef _WIN32
    for (const auto& [name, mark] : {std::pair("hidden.uin", DWORD(FILE_ATTRIBUTE_HIDDEN)),
                                     std::pair("system.uin", DWORD(FILE_ATTRIBUTE_SYSTEM))}) {
        dir.writeFile(std::string("Icq/UIN/") + name);
        ASSERT_TRUE(SetFileAttributesA(dir.path(std::string("Icq/UIN/") + name).c_str(), mark));
    }
    ASSERT_TRUE(SetFileAttributesA(dir.path("Icq/UIN/f.uin").c_str(), FILE_ATTRIBUTE_HIDDEN));
    Names bad;
    EXPECT_EQ(Os::listFiles(dir.path("bad<name>/*.uin"), bad), 52);
#else
    dir.writeFile("Icq/UIN/.dot.uin");
#endif
    const std::pair<std::string, Names> cases[] = {
        {"Icq/UIN/*.uin", {"a.Uin", "b.uin", "C.UIN", "dd.uin"}},
        {"icq/uin/?.UIN", {"a.Uin", "b.uin", "C.UIN"}},
        {"Icq/missing/*.uin", {}}};
    for (const auto& [pattern, expected] : cases) {
        Names names{"stale"};
        EXPECT_EQ(Os::listFiles(dir.path(pattern), names), 0) << pattern;
        EXPECT_EQ(names, expected) << pattern;
    }
    EXPECT_EQ(Os::lookUpFolder(dir.path("icq/uin/")), Os::FolderLookup::Exists);
    for (const char* path : {"Icq/UIN/a.Uin", "missing/UIN"})
        EXPECT_EQ(Os::lookUpFolder(dir.path(path)), Os::FolderLookup::NotFound) << path;
}

// Names in the copy's order: compared on their bytes, they order as their folded code points
// do, ties by the bytes; ASCII beside other letters, bytes that are not UTF-8, prefixes. The
// planner's keys (folded UTF-8) order and match as the folded code points do.
TEST(Names, OrderAsTheirFoldedLetters)
{
    const std::string names[] = {"a.dat",    "B.dat",      "b.DAT",        "ab",
                                 "abc",      "Z",          "\xc3\xa9",     "\xc3\x89",
                                 "\xe9",     "x\xc3\xa9y", "X\xc3\x89Y",   "\xc3",
                                 "\xd0\x96", "\xd0\xb6",   "\xed\xa0\x80", ""};
    const auto folded = [](const std::string& name) { return Os::detail::foldedName(name); };
    for (const std::string& a : names)
        for (const std::string& b : names) {
            EXPECT_EQ(Os::detail::lessIgnoringCase(a, b),
                      folded(a) != folded(b) ? folded(a) < folded(b) : a < b)
                << a << " " << b;
            EXPECT_EQ(Os::detail::equalsIgnoringCase(a, b), folded(a) == folded(b))
                << a << " " << b;
            const std::string keyA = Os::detail::foldedKey(a);
            const std::string keyB = Os::detail::foldedKey(b);
            EXPECT_EQ(std::make_pair(keyA < keyB, keyA == keyB),
                      std::make_pair(folded(a) < folded(b), folded(a) == folded(b)))
                << a << " " << b;
        }
}

TEST(AnsiText, ConvertsToUtf8)
{
    EXPECT_EQ(Os::ansiToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC"); // é and the euro sign
#ifndef _WIN32
    EXPECT_EQ(Os::ansiToUtf8(std::string("\x81\x85\x9F\xFF\0", 5)),
              std::string("\xC2\x81\xE2\x80\xA6\xC5\xB8\xC3\xBF\0", 10));
#endif
}
