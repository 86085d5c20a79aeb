// Which processes count as ICQ running, on a process list laid out like /proc in a temporary
// folder: the program must be icq.exe itself, in this user's Wine prefix, and a process that
// ends while it is read is no process at all.
#ifndef _WIN32
#include "os/os_internal.h"
#include "os_test_support.h"

#include <cstdlib>

namespace {

struct ProcessCase
{
    const char* name;
    std::string commandLine; // zero-separated, as /proc/<pid>/cmdline
    const char* variable;    // the environment's one variable, nullptr when it cannot be read
    const char* folder;      // its value: a folder of the test's, "prefix" or "other"
    bool running;
};

class RunningProgram : public ::testing::TestWithParam<ProcessCase>
{
protected:
    void SetUp() override
    {
        folder.makeFolder("proc/self");
        folder.makeFolder("prefix");
        folder.makeFolder("other");
        // Like the registry's tests, each test sets the prefix it needs.
        ::setenv("WINEPREFIX", (folder.path("prefix") + "/").c_str(), 1);
        Os::detail::processFolder = folder.path("proc");
    }
    void TearDown() override { Os::detail::processFolder = "/proc"; }
    OsTest::TempFolder folder;
};

using namespace std::string_literals;

TEST_P(RunningProgram, CountsOnlyIcqItselfInThisPrefix)
{
    const ProcessCase& c = GetParam();
    folder.writeFile("proc/4242/cmdline", c.commandLine);
    if (c.variable)
        folder.writeFile("proc/4242/environ", c.variable + ("=" + folder.path(c.folder)) + '\0');
    EXPECT_EQ(Os::isProgramRunning("icq.exe"), c.running) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Processes, RunningProgram,
    ::testing::Values(
        ProcessCase{"WindowsPath", "C:\\Program Files\\ICQ\\ICQ.exe\0-trayonly\0"s, "WINEPREFIX",
                    "prefix", true},
        ProcessCase{"AfterWinesLoader", "/usr/bin/wine64-preloader\0/x/icq.exe\0"s, "WINEPREFIX",
                    "prefix/", true},
        ProcessCase{"UnreadableEnvironment", "icq.exe\0"s, nullptr, nullptr, true},
        ProcessCase{"AnArgumentOnly", "tail\0-f\0/x/ICQ/icq.exe\0"s, "WINEPREFIX", "prefix", false},
        ProcessCase{"NameInsideAnother", "/x/myicq.exe\0"s, "WINEPREFIX", "prefix", false},
        ProcessCase{"AnotherPrefix", "C:\\ICQ\\icq.exe\0"s, "WINEPREFIX", "other", false},
        ProcessCase{"DefaultPrefixOfAnotherHome", "C:\\ICQ\\icq.exe\0"s, "HOME", "other", false},
        ProcessCase{"NoArguments", ""s, "WINEPREFIX", "prefix", false}),
    [](const ::testing::TestParamInfo<ProcessCase>& info) { return info.param.name; });

// A process that ends between the open and the read of its command line: the read fails (here
// the "file" is a folder, whose read fails with EISDIR as a vanished process's with ESRCH).
TEST_F(RunningProgram, AProcessThatVanishesWhileReadIsNotIcq)
{
    folder.makeFolder("proc/4243/cmdline");
    EXPECT_FALSE(Os::isProgramRunning("icq.exe"));
    folder.writeFile("proc/4244/cmdline", "icq.exe"s + '\0');
    folder.writeFile("proc/4244/environ", "WINEPREFIX=" + folder.path("prefix") + '\0');
    EXPECT_TRUE(Os::isProgramRunning("icq.exe")) << "the list goes on after the vanished one";
}

} // namespace
#endif
