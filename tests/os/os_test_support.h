// Real temporary folders and files for the OS layer's tests, in the platform's own path form.
#pragma once

#include "os/os.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace OsTest {

// A fresh folder below the system's temporary folder, removed with everything in it. Its files
// are made and read through the OS layer, which takes any name (UTF-8 on Windows too).
class TempFolder
{
public:
    TempFolder()
        : root_(std::filesystem::temp_directory_path() /
                ("zeb-os-" + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(root_);
    }
    ~TempFolder()
    {
        std::string failed;
        Os::removeTree(root_.string(), failed);
    }

    // The folder, or a path below it, as the OS layer takes it; "a/b" names nested parts.
    std::string path(std::string relative = {}) const
    {
        std::replace(relative.begin(), relative.end(), '/', Os::PathSeparator);
        return relative.empty() ? root_.string() : root_.string() + Os::PathSeparator + relative;
    }
    void makeFolder(const std::string& relative) const
    {
        EXPECT_EQ(Os::makeFolders(path(relative)), 0) << relative;
    }
    void writeFile(const std::string& relative, const std::string& content = "x") const
    {
        const std::string file = path(relative);
        EXPECT_EQ(Os::makeFolders(file.substr(0, file.rfind(Os::PathSeparator))), 0) << relative;
        EXPECT_EQ(Os::writeFileDurably(file, content), 0) << relative;
    }
    std::string readFile(const std::string& relative) const
    {
        std::string content;
        EXPECT_EQ(Os::readWholeFile(path(relative), content), 0) << relative;
        return content;
    }
    Os::FileState state(const std::string& relative) const
    {
        Os::FileState state;
        EXPECT_EQ(Os::fileState(path(relative), state), 0) << relative;
        return state;
    }
    // The names in a folder, byte for byte, in byte order.
    std::vector<std::string> names(const std::string& relative = {}) const
    {
        std::vector<Os::FolderEntry> entries;
        EXPECT_EQ(Os::listFolder(path(relative), entries), 0) << relative;
        std::vector<std::string> result;
        for (const Os::FolderEntry& entry : entries)
            result.push_back(entry.name);
        return result;
    }

private:
    std::filesystem::path root_;
};

// A folder copy below a temporary folder, always with Overwrite, so with no replace question to
// ask: planned, through a plan kept in `plan`, or in one call; `stop` asks it to stop.
class Copying : public ::testing::Test
{
protected:
    bool copy(const std::string& from, const std::string& to, bool planned = false)
    {
        request.from = dir.path(from) + Os::PathSeparator + "*.*";
        request.to = dir.path(to);
        request.overwrite = true;
        request.stop = &stop;
        outcome = {};
        plan = {};
        if (!planned)
            return Os::copyFolder(request, outcome);
        Os::planCopy(request, plan);
        return Os::copyFolder(request, plan, outcome);
    }
    TempFolder dir;
    Os::CopyRequest request;
    Os::CopyPlan plan;
    Os::CopyOutcome outcome;
    std::atomic<bool> stop{false};
};

// This process's number, as its temporary files' names carry it.
inline long ownPid()
{
#ifdef _WIN32
    return long(GetCurrentProcessId());
#else
    return ::getpid();
#endif
}

// Sets a file's modification time, in nanoseconds since 1970.
inline void setTime(const std::string& path, long long nanoseconds)
{
#ifdef _WIN32
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const unsigned long long ticks = nanoseconds / 100 + 116444736000000000ULL; // since 1601
    const FILETIME time{DWORD(ticks), DWORD(ticks >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, &time, &time));
    CloseHandle(file);
#else
    const struct timespec times[2] = {{nanoseconds / 1000000000, nanoseconds % 1000000000},
                                      {nanoseconds / 1000000000, nanoseconds % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
}

#ifndef _WIN32
// Runs `work` as nobody in a child of its own (the test runs as root) and answers the child's
// exit code: `work`'s answer, 100 when it could not become nobody.
inline int asNobody(const std::function<int()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(100);
        ::_exit(work());
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

} // namespace OsTest
