// Registry reads: Wine's user.reg in a temporary prefix on Linux, the registry itself on Windows.
#include "os_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string Key = "Software\\Mirabilis\\ICQ\\DefaultPrefs";

struct Read
{
    std::int32_t result = -1;
    std::string text;
    std::uint32_t size = 0;
};

// One value as the program reads it: the key opened, a 256-byte buffer, the key closed.
Read readValue(const std::string& key, const std::string& name, std::uint32_t bufferSize = 256)
{
    Read read;
    Os::RegistryKey handle = 0;
    read.result = Os::regOpenCurrentUserKey(key, Os::KeyAllAccess, handle);
    if (read.result != Os::RegistrySuccess) {
        return read;
    }
    std::vector<char> buffer(bufferSize, '#');
    read.size = bufferSize;
    read.result = Os::regQueryStringValue(handle, name, buffer.data(), read.size);
    if (read.result == Os::RegistrySuccess) {
        read.text.assign(buffer.data(), read.size);
    }
    EXPECT_EQ(Os::regCloseKey(handle), Os::RegistrySuccess);
    return read;
}

#ifdef _WIN32
// The key is made by reg.exe, as a user would, in the throwaway prefix the tests run in.
std::string quoted(const std::string& argument)
{
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else {
            out.append(c == '"' ? backslashes + 1 : 0, '\\');
            backslashes = 0;
        }
        out.push_back(c);
    }
    return out.append(backslashes, '\\') + '"';
}

void runReg(const std::string& arguments)
{
    std::string command = "reg.exe " + arguments;
    // reg.exe's own chatter ("key not found" on the clean-up) stays out of the test's output.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(nul);
    ASSERT_TRUE(started) << command;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

class Registry : public ::testing::Test
{
protected:
    void SetUp() override { removeAll(); }
    void TearDown() override { removeAll(); }
    static void removeAll() { runReg("delete HKCU\\Software\\Mirabilis /f"); }

    void setValues(const std::string& key,
                   const std::vector<std::pair<std::string, std::string>>& values)
    {
        runReg("add " + quoted("HKCU\\" + key) + " /f");
        for (const auto& [name, value] : values) {
            runReg("add " + quoted("HKCU\\" + key) + " /v " + quoted(name) + " /t REG_SZ /d " +
                   quoted(value) + " /f");
        }
    }
};
#else
std::string wineEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    return out;
}

// A prefix of its own with a user.reg written the way Wine writes it.
class Registry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("WINEPREFIX");
        hadPrefix_ = old != nullptr;
        oldPrefix_ = hadPrefix_ ? old : "";
        ::setenv("WINEPREFIX", prefix_.path().c_str(), 1);
    }
    void TearDown() override
    {
        if (hadPrefix_) {
            ::setenv("WINEPREFIX", oldPrefix_.c_str(), 1);
        } else {
            ::unsetenv("WINEPREFIX");
        }
    }

    void writeUserReg(const std::string& sections)
    {
        prefix_.writeFile("user.reg", "WINE REGISTRY Version 2\n"
                                      ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
                                      "\n#arch=win64\n\n" +
                                          sections);
    }

    void setValues(const std::string& key,
                   const std::vector<std::pair<std::string, std::string>>& values)
    {
        std::string section = "[" + wineEscaped(key) + "] 1700000000\n#time=1d9a1b2c3d4e5f6\n";
        for (const auto& [name, value] : values) {
            section += "\"" + wineEscaped(name) + "\"=\"" + wineEscaped(value) + "\"\n";
        }
        writeUserReg("[Software\\\\Wine] 1700000000\n\"Version\"=\"win10\"\n\n" + section +
                     "\n[Software\\\\Mirabilis\\\\ICQ\\\\DefaultPrefsOld] 1700000000\n"
                     "\"ICQPath\"=\"wrong\"\n");
    }

    OsTest::TempFolder prefix_;

private:
    bool hadPrefix_ = false;
    std::string oldPrefix_;
};
#endif

} // namespace

TEST_F(Registry, ReadsICQPathAsStoredWithOrWithoutTrailingBackslash)
{
    setValues(Key, {{"ICQPath", "C:\\Program Files\\ICQ\\"}, {"Other", "D:\\ICQ"}});
    Read read = readValue(Key, "ICQPath");
    EXPECT_EQ(read.result, Os::RegistrySuccess);
    EXPECT_EQ(read.size, 22u); // the terminating zero counts
    EXPECT_EQ(read.text, std::string("C:\\Program Files\\ICQ\\", 22));
    read = readValue(Key, "Other");
    EXPECT_EQ(read.result, Os::RegistrySuccess);
    EXPECT_EQ(read.text, std::string("D:\\ICQ", 7));
}

TEST_F(Registry, MissingValueIsNotFoundButOthersStillRead)
{
    setValues(Key, {{"DataBase", "C:\\Program Files\\ICQ\\DB"}});
    EXPECT_EQ(readValue(Key, "ICQPath").result, Os::RegistryNotFound);
    const Read read = readValue(Key, "DataBase");
    EXPECT_EQ(read.result, Os::RegistrySuccess);
    EXPECT_EQ(read.text, std::string("C:\\Program Files\\ICQ\\DB", 24));
}

TEST_F(Registry, MissingKeyCannotBeOpened)
{
    setValues("Software\\Mirabilis\\ICQ\\Elsewhere", {{"ICQPath", "C:\\ICQ"}});
    Os::RegistryKey handle = 0;
    EXPECT_EQ(Os::regOpenCurrentUserKey(Key, Os::KeyAllAccess, handle), Os::RegistryNotFound);
    EXPECT_EQ(Os::regOpenCurrentUserKey("Software\\Mirabilis\\ICQ\\DefaultPrefsX", Os::KeyAllAccess,
                                        handle),
              Os::RegistryNotFound);
    // A key above one that holds values exists in its own right.
    ASSERT_EQ(Os::regOpenCurrentUserKey("Software\\Mirabilis", Os::KeyAllAccess, handle),
              Os::RegistrySuccess);
    std::uint32_t size = 256;
    char buffer[256];
    EXPECT_EQ(Os::regQueryStringValue(handle, "ICQPath", buffer, size), Os::RegistryNotFound);
    EXPECT_EQ(Os::regCloseKey(handle), Os::RegistrySuccess);
}

TEST_F(Registry, ValueMustFitTheBufferWithItsTerminator)
{
    setValues(Key, {{"ICQPath", std::string(255, 'a')}, {"DataBase", std::string(256, 'b')}});
    const Read fits = readValue(Key, "ICQPath");
    EXPECT_EQ(fits.result, Os::RegistrySuccess);
    EXPECT_EQ(fits.size, 256u);
    const Read tooLong = readValue(Key, "DataBase");
    EXPECT_EQ(tooLong.result, Os::RegistryMoreData);
    EXPECT_EQ(tooLong.size, 257u); // what it would have needed
}

TEST_F(Registry, KeyAndValueNamesIgnoreCase)
{
    setValues(Key, {{"ICQPath", "C:\\ICQ\\"}});
    const Read read = readValue("SOFTWARE\\MIRABILIS\\icq\\defaultprefs", "icqpath");
    EXPECT_EQ(read.result, Os::RegistrySuccess);
    EXPECT_EQ(read.text, std::string("C:\\ICQ\\", 8));
}

#ifndef _WIN32
TEST_F(Registry, MissingOrForeignUserRegCannotBeOpened)
{
    Os::RegistryKey handle = 0;
    EXPECT_EQ(Os::regOpenCurrentUserKey(Key, Os::KeyAllAccess, handle), Os::RegistryNotFound);
    prefix_.writeFile("user.reg", "REGEDIT4\n[Software\\\\Mirabilis\\\\ICQ\\\\DefaultPrefs]\n"
                                  "\"ICQPath\"=\"C:\\\\ICQ\"\n");
    EXPECT_EQ(Os::regOpenCurrentUserKey(Key, Os::KeyAllAccess, handle), Os::RegistryNotFound);
}

TEST_F(Registry, DecodesWineEscapes)
{
    writeUserReg("[Software\\\\Mirabilis\\\\ICQ\\\\DefaultPrefs] 1700000000\n"
                 "#time=1d9a1b2c3d4e5f6\n"
                 "\"Quoted\"=\"C:\\\\ICQ \\\"99\\\"\\\\\"\n"
                 "\"Accent\"=\"C:\\\\Caf\\x00e9\\\\\"\n"
                 "\"Short\"=\"\\xe9t\\xe9\"\n"
                 "\"Pair\"=\"\\xd83d\\xde00\"\n"
                 "\"Controls\"=\"a\\nb\\rc\\td\\101\\0\"\n"
                 "\"Expand\"=str(2):\"%ProgramFiles%\\\\ICQ\"\n"
                 "\"Name \\\"with\\\" quotes\"=\"yes\"\n"
                 "@=\"default\"\n");
    EXPECT_EQ(readValue(Key, "Quoted").text, std::string("C:\\ICQ \"99\"\\", 13));
    EXPECT_EQ(readValue(Key, "Accent").text, std::string("C:\\Caf\xC3\xA9\\", 10));
    EXPECT_EQ(readValue(Key, "Short").text, std::string("\xC3\xA9t\xC3\xA9", 6));
    EXPECT_EQ(readValue(Key, "Pair").text, std::string("\xF0\x9F\x98\x80", 5));
    EXPECT_EQ(readValue(Key, "Controls").text, std::string("a\nb\rc\tdA\0", 10));
    EXPECT_EQ(readValue(Key, "Expand").text, std::string("%ProgramFiles%\\ICQ", 19));
    EXPECT_EQ(readValue(Key, "Name \"with\" quotes").text, std::string("yes", 4));
    EXPECT_EQ(readValue(Key, "").text, std::string("default", 8));
}

TEST_F(Registry, ValuesThatAreNotTextCannotBeReadAsText)
{
    writeUserReg("[Software\\\\Mirabilis\\\\ICQ\\\\DefaultPrefs] 1700000000\n"
                 "\"Count\"=dword:00000010\n"
                 "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
                 "  15,16,17\n"
                 "\"Multi\"=str(7):\"a\\0b\\0\"\n"
                 "\"Broken\"=\"no end\n"
                 "\"ICQPath\"=\"C:\\\\ICQ\\\\\"\n");
    EXPECT_EQ(readValue(Key, "Count").result, Os::RegistryNotAString);
    EXPECT_EQ(readValue(Key, "Blob").result, Os::RegistryNotAString);
    EXPECT_EQ(readValue(Key, "Multi").result, Os::RegistryNotAString);
    EXPECT_EQ(readValue(Key, "Broken").result, Os::RegistryNotAString);
    EXPECT_EQ(readValue(Key, "ICQPath").text, std::string("C:\\ICQ\\", 8));
}

TEST_F(Registry, ClosedOrUnknownHandlesAreRefused)
{
    setValues(Key, {{"ICQPath", "C:\\ICQ"}});
    Os::RegistryKey handle = 0;
    ASSERT_EQ(Os::regOpenCurrentUserKey(Key, Os::KeyAllAccess, handle), Os::RegistrySuccess);
    EXPECT_EQ(Os::regCloseKey(handle), Os::RegistrySuccess);
    EXPECT_EQ(Os::regCloseKey(handle), Os::RegistryInvalidHandle);
    std::uint32_t size = 256;
    char buffer[256];
    EXPECT_EQ(Os::regQueryStringValue(handle, "ICQPath", buffer, size), Os::RegistryInvalidHandle);
}

// The folder found is a DOS path; it is used through the prefix's drive links.
TEST_F(Registry, DosPathsBecomeNativePathsThroughTheDriveLinks)
{
    prefix_.makeFolder("drive_c/Program Files/ICQ");
    prefix_.makeFolder("dosdevices");
    OsTest::TempFolder elsewhere;
    elsewhere.makeFolder("Backups/ICQ");
    ASSERT_EQ(::symlink("../drive_c", prefix_.path("dosdevices/c:").c_str()), 0);
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), prefix_.path("dosdevices/d:").c_str()), 0);
    const std::string driveC = std::filesystem::canonical(prefix_.path("drive_c")).string();
    const std::string driveD = std::filesystem::canonical(elsewhere.path()).string();

    EXPECT_EQ(Os::nativePathFromRegistry("C:\\Program Files\\ICQ\\"),
              driveC + "/Program Files/ICQ/");
    EXPECT_EQ(Os::nativePathFromRegistry("c:\\PROGRAM FILES\\icq"), driveC + "/Program Files/ICQ");
    EXPECT_EQ(Os::nativePathFromRegistry("C:\\Program Files\\ICQ\\NewDB\\"),
              driveC + "/Program Files/ICQ/NewDB/");
    EXPECT_EQ(Os::nativePathFromRegistry("D:\\backups\\icq\\"), driveD + "/Backups/ICQ/");
    EXPECT_EQ(Os::nativePathFromRegistry("C:\\"), driveC + "/");
    // No link for the drive: C: still has its folder, other letters stay as they are.
    EXPECT_EQ(Os::nativePathFromRegistry("E:\\ICQ\\"), "E:\\ICQ\\");
    EXPECT_EQ(Os::nativePathFromRegistry("Error getting subkey value."),
              "Error getting subkey value.");
    EXPECT_EQ(Os::nativePathFromRegistry(""), "");
    std::filesystem::remove(prefix_.path("dosdevices/c:"));
    EXPECT_EQ(Os::nativePathFromRegistry("C:\\Program Files\\ICQ\\"),
              prefix_.path("drive_c/Program Files/ICQ/"));
}

TEST(WinePrefix, IsTheEnvironmentsElseTheHomeWine)
{
    const char* old = std::getenv("WINEPREFIX");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("WINEPREFIX", "/tmp/some prefix/", 1);
    EXPECT_EQ(Os::winePrefix(), "/tmp/some prefix");
    ::unsetenv("WINEPREFIX");
    EXPECT_EQ(Os::winePrefix(), std::string(std::getenv("HOME")) + "/.wine");
    if (old != nullptr) {
        ::setenv("WINEPREFIX", saved.c_str(), 1);
    }
}
#endif
