// The weekly task through the Task Scheduler's own interface: registered, read back the same
// way, removed. Windows only; Linux's timer is set up by files (tests/cli).
#include "os_test_support.h"

#ifdef _WIN32

TEST(WeeklyTask, RegisteredReadBackAndRemoved)
{
    const std::string name = "ZEB 2000 backup (test)";
    std::string step;
    const Os::WeeklyTask task{"C:\\Program Files\\ZEB 2000\\zeb2000-cli.exe",
                              "backup --scheduled --to \"D:\\ICQ backups\\\\\"", false};
    ASSERT_EQ(Os::registerWeeklyTask(name, task, step), 0) << step;
    bool exists = false;
    Os::WeeklyTask read;
    const long hr = Os::readWeeklyTask(name, exists, read, step);
    EXPECT_TRUE(exists);
    EXPECT_TRUE(read.startWhenAvailable);
    // Wine's Task Scheduler keeps no action (its writer of the task's actions is a stub) and
    // cannot hand one back: IActionCollection::get_Item answers E_NOTIMPL.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        EXPECT_EQ(hr, E_NOTIMPL);
        EXPECT_EQ(step, "IActionCollection::get_Item");
    } else {
        ASSERT_EQ(hr, 0) << step;
        EXPECT_EQ(read.program, task.program);
        EXPECT_EQ(read.arguments, task.arguments);
    }
    ASSERT_EQ(Os::deleteWeeklyTask(name, step), 0) << step;
    ASSERT_EQ(Os::readWeeklyTask(name, exists, read, step), 0) << step;
    EXPECT_FALSE(exists);
    EXPECT_EQ(Os::deleteWeeklyTask(name, step), 0) << step; // already gone: nothing to do
}

#endif
