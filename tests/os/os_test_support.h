// Real temporary folders and files for the OS layer's tests, in the platform's own path form.
#pragma once

#include "support/os/os.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace OsTest {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder()
    {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = std::filesystem::temp_directory_path() /
                ("zeb-os-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(root_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, or a path below it, as the OS layer takes it; "a/b" names nested parts.
    std::string path(const std::string& relative = {}) const
    {
        std::string text = root_.string();
        if (!relative.empty()) {
            std::string native = relative;
            std::replace(native.begin(), native.end(), '/', Os::PathSeparator);
            text += Os::PathSeparator + native;
        }
        return text;
    }

    void makeFolder(const std::string& relative) const
    {
        std::filesystem::create_directories(path(relative));
    }

    void writeFile(const std::string& relative, const std::string& content = "x") const
    {
        std::filesystem::create_directories(std::filesystem::path(path(relative)).parent_path());
        std::ofstream(path(relative), std::ios::binary) << content;
    }

    std::string readFile(const std::string& relative) const
    {
        std::ifstream file(path(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path root_;
};

inline std::vector<std::string> sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace OsTest
