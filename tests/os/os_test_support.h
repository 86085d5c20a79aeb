// Real temporary folders and files for the OS layer's tests, in the platform's own path form.
#pragma once

#include "os/os.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace OsTest {

// A fresh folder below the system's temporary folder, removed with everything in it.
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
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // The folder, or a path below it, as the OS layer takes it; "a/b" names nested parts.
    std::string path(std::string relative = {}) const
    {
        std::replace(relative.begin(), relative.end(), '/', Os::PathSeparator);
        return relative.empty() ? root_.string() : root_.string() + Os::PathSeparator + relative;
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
        std::ostringstream content;
        content << std::ifstream(path(relative), std::ios::binary).rdbuf();
        return content.str();
    }

private:
    std::filesystem::path root_;
};

} // namespace OsTest
