// Registry reads: Wine's user.reg in a temporary prefix on Linux, the registry itself on Windows.
#include "os_test_support.h"

#include <cstdlib>
#include <tuple>

namespace {

const std::string Key = "Software\\Mirabilis\\ICQ\\DefaultPrefs";
using Pairs = std::vector<std::pair<std::string, std::string>>;

// One value as the program reads it (the key opened, a 256-byte buffer, the key closed): its text
// without the terminating zero that the size counts, or what went wrong.
std::string readValue(const std::string& key, const std::string& name)
{
    Os::RegistryKey handle = 0;
    if (const std::int32_t opened = Os::regOpenCurrentUserKey(key, Os::KeyAllAccess, handle))
        return "cannot open " + std::to_string(opened);
    std::string buffer(256, '#');
    std::uint32_t size = 256;
    const std::int32_t result = Os::regQueryStringValue(handle, name, buffer.data(), size);
    EXPECT_EQ(Os::regCloseKey(handle), Os::RegistrySuccess);
    if (result != Os::RegistrySuccess)
        return "error " + std::to_string(result) +
               (result == Os::RegistryMoreData ? " needs " + std::to_string(size) : "");
    return size > 0 && buffer[size - 1] == '\0' ? buffer.substr(0, size - 1) : "unterminated";
}

#ifdef _WIN32
// A quoted argument of reg.exe: backslashes before the closing quote are doubled.
std::string quoted(const std::string& text)
{
    return '"' + text + std::string(text.size() - text.find_last_not_of('\\') - 1, '\\') + '"';
}
#else
std::string wineEscaped(std::string text)
{
    for (std::size_t at = text.find_first_of("\\\""); at != std::string::npos;
         at = text.find_first_of("\\\"", at + 2))
        text.insert(at, 1, '\\');
    return text;
}
#endif

// On Windows the keys are made afresh by reg.exe, as a user would, in the throwaway prefix the
// tests run in. On Linux $WINEPREFIX names a prefix of the test's own, whose user.reg is written
// the way Wine writes it: the key's section between another one and one whose name starts with
// the key's.
class Registry : public ::testing::Test
{
protected:
#ifdef _WIN32
    static void reg(const std::string& arguments)
    {
        std::system(("reg.exe " + arguments + " >NUL 2>&1").c_str());
    }
    static void setValues(const Pairs& values)
    {
        reg("delete HKCU\\Software\\Mirabilis /f");
        for (const auto& [name, value] : values)
            reg("add " + quoted("HKCU\\" + Key) + " /v " + quoted(name) + " /t REG_SZ /d " +
                quoted(value) + " /f");
    }
#else
    void writeUserReg(const std::string& lines) const
    {
        prefix_.writeFile("user.reg",
                          "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\n\n"
                          "[Software\\\\Wine] 1700000000\n\"Version\"=\"win10\"\n\n[" +
                              wineEscaped(Key) + "] 1700000000\n" + lines + "\n[" +
                              wineEscaped(Key) + "Old] 1700000000\n\"ICQPath\"=\"no\"\n");
    }
    void setValues(const Pairs& values) const
    {
        std::string lines;
        for (const auto& [name, value] : values)
            lines += '"' + wineEscaped(name) + "\"=\"" + wineEscaped(value) + "\"\n";
        writeUserReg(lines);
    }

    OsTest::TempFolder prefix_;
    const int prefixSet_ = ::setenv("WINEPREFIX", prefix_.path().c_str(), 1);
#endif
};

} // namespace

// ICQPath ends in a backslash, DataBase does not; a value too long for the buffer tells the size
// it needs, its terminating zero counted.
TEST_F(Registry, ReadsStringValuesByTheWin32Rules)
{
    const std::string icq = "C:\\Program Files\\ICQ\\";
    setValues({{"ICQPath", icq}, {"DataBase", icq + "DB"}, {"Long", std::string(256, 'b')}});
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {Key, "ICQPath", icq},
        {Key, "DataBase", icq + "DB"},
        {Key, "Long", "error 234 needs 257"},
        {"SOFTWARE\\MIRABILIS\\icq\\defaultprefs", "icqpath", icq},
        {Key, "Missing", "error 2"},
        {"Software\\Mirabilis\\ICQ\\Elsewhere", "ICQPath", "cannot open 2"},
    };
    for (const auto& [key, name, expected] : cases)
        EXPECT_EQ(readValue(key, name), expected) << key << " " << name;
}

#ifndef _WIN32
// Each line as Wine writes it, and what reading its value as a string answers. (Escapes in a
// quoted text are the user_reg fuzzer's, whose seeds are replayed.) Only a regular file of a sane
// size is read: a FIFO would block Find for ever, a device or a huge file would take memory
// without bound. Either is a key that cannot be opened, as is no user.reg.
TEST_F(Registry, DecodesWineValueSyntaxInARegularFileOfASaneSize)
{
    const std::string userReg = prefix_.path("user.reg");
    EXPECT_EQ(readValue(Key, "Expand"), "cannot open 2") << "no user.reg";
    ASSERT_EQ(::mkfifo(userReg.c_str(), 0600), 0);
    EXPECT_EQ(readValue(Key, "Expand"), "cannot open 2") << "FIFO";
    std::filesystem::remove(userReg);
    writeUserReg(R"("Expand"=str(2):"%ProgramFiles%\\ICQ")"
                 "\n"
                 R"("Count"=dword:00000010)"
                 "\n");
    EXPECT_EQ(readValue(Key, "Expand"), "%ProgramFiles%\\ICQ");
    EXPECT_EQ(readValue(Key, "Count"), "error 1630");
    std::filesystem::resize_file(userReg, (64u << 20) + 1); // sparse: no disk space taken
    EXPECT_EQ(readValue(Key, "Expand"), "cannot open 2") << "above 64 MiB";
}

// The folder found is a DOS path; it is used through the prefix's drive links, C: without one.
TEST_F(Registry, DosPathsBecomeNativePathsThroughTheDriveLinks)
{
    prefix_.makeFolder("drive_c/Program Files/ICQ");
    prefix_.makeFolder("dosdevices");
    const std::string c = std::filesystem::canonical(prefix_.path("drive_c")).string();
    std::filesystem::create_directory_symlink(c + "/Program Files", prefix_.path("dosdevices/d:"));
    EXPECT_EQ(Os::nativePathFromRegistry("C:\\ICQ\\"), prefix_.path("drive_c/ICQ/"));
    std::filesystem::create_directory_symlink("../drive_c", prefix_.path("dosdevices/c:"));
    for (const auto& [dos, native] : Pairs{{"C:\\Program Files\\ICQ\\", c + "/Program Files/ICQ/"},
                                           {"c:\\PROGRAM FILES\\icq", c + "/Program Files/ICQ"},
                                           {"D:\\icq\\", c + "/Program Files/ICQ/"},
                                           {"Error getting subkey value.", ""}})
        EXPECT_EQ(Os::nativePathFromRegistry(dos), native.empty() ? dos : native) << dos;
}
#endif
