// Folder copy on Windows: the shell's file operation, which asks and reports through its own
// dialogs. The walk before it plans as on Linux, for the room check, the progress total and the
// manifest; the shell then copies the folder whole.
#include "os/os.h"
#include "os/os_internal.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace Os {
namespace {

bool isFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string folderOf(const std::string& pattern)
{
    const std::size_t cut = pattern.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : pattern.substr(0, cut + 1);
}

bool sameContent(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second)
        return false;
    constexpr std::size_t Chunk = std::size_t{1} << 20;
    std::string bufferA(Chunk, '\0');
    std::string bufferB(Chunk, '\0');
    for (;;) {
        first.read(bufferA.data(), Chunk);
        second.read(bufferB.data(), Chunk);
        if (first.gcount() != second.gcount() ||
            bufferA.compare(0, std::size_t(first.gcount()), bufferB, 0,
                            std::size_t(second.gcount())) != 0)
            return false;
        if (first.gcount() == 0 || !first)
            return !second.read(bufferB.data(), 1) && second.gcount() == 0;
    }
}

// Reads every copied file back and compares it with its source. Only after a copy that replaced
// without asking: a file the user chose to keep would differ rightly.
void verifyCopy(const CopyRequest& request, CopyOutcome& outcome)
{
    namespace fs = std::filesystem;
    const std::string from = request.from;
    const std::size_t cut = from.find_last_of("\\/");
    const fs::path source = from.substr(0, cut);
    const std::string pattern = from.substr(cut + 1);
    const fs::path target = request.to;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
        const std::string name = entry.path().filename().string();
        if (!matchesWildcard(pattern, name))
            continue;
        const auto check = [&](const fs::path& file) {
            const fs::path copy = target / fs::relative(file, source);
            if (!sameContent(file, copy))
                outcome.failures.push_back(
                    {copy.string(), CopySide::Target, "verification failed"});
        };
        if (entry.is_directory(error)) {
            for (const fs::directory_entry& inner :
                 fs::recursive_directory_iterator(entry.path(), error))
                if (inner.is_regular_file(error))
                    check(inner.path());
        } else if (entry.is_regular_file(error)) {
            check(entry.path());
        }
    }
}

namespace fs = std::filesystem;

// Nanoseconds since 1970, as the other calls of the OS layer tell times.
std::int64_t nanosecondsOf(const fs::file_time_type& time)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::file_clock::to_sys(time).time_since_epoch())
        .count();
}

class Planner
{
public:
    Planner(const CopyRequest& request, CopyPlan& plan) : m_request(request), m_plan(plan) {}

    void walk(std::uint32_t folder, const fs::path& source, const fs::path& target,
              const std::string* pattern)
    {
        std::error_code error;
        std::vector<fs::directory_entry> files;
        std::vector<fs::directory_entry> folders;
        for (fs::directory_iterator it(source, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (pattern && !matchesWildcard(*pattern, name))
                continue;
            if (it->is_directory(error))
                folders.push_back(*it);
            else if (it->is_regular_file(error))
                files.push_back(*it);
        }
        if (error) {
            m_plan.failures.push_back({source.string(), CopySide::Source, error.message()});
            return;
        }
        const auto byName = [](const fs::directory_entry& a, const fs::directory_entry& b) {
            return detail::lessIgnoringCase(a.path().filename().string(),
                                            b.path().filename().string());
        };
        std::sort(files.begin(), files.end(), byName);
        std::sort(folders.begin(), folders.end(), byName);
        for (const fs::directory_entry& entry : files) {
            PlannedFile file;
            file.folder = folder;
            file.name = m_plan.addName(entry.path().filename().string());
            file.targetName = file.name;
            file.size = entry.file_size(error);
            file.modified = nanosecondsOf(entry.last_write_time(error));
            const fs::path existing = target / entry.path().filename();
            if (!target.empty() && fs::is_regular_file(existing, error)) {
                file.replacedSize = fs::file_size(existing, error);
                const std::int64_t difference =
                    file.modified - nanosecondsOf(fs::last_write_time(existing, error));
                file.action = !m_request.copyUnchanged && !m_request.compareContent &&
                                      file.replacedSize == file.size && difference == 0
                                  ? PlannedAction::Unchanged
                                  : PlannedAction::Replace;
            }
            m_plan.files.push_back(file);
        }
        for (const fs::directory_entry& entry : folders) {
            PlannedFolder record;
            record.parent = folder;
            record.name = m_plan.addName(entry.path().filename().string());
            record.targetName = record.name;
            const fs::path child = target.empty() ? target : target / entry.path().filename();
            record.existsInTarget = !target.empty() && fs::is_directory(child, error);
            const auto index = static_cast<std::uint32_t>(m_plan.folders.size());
            m_plan.folders.push_back(record);
            walk(index, entry.path(), child, nullptr);
        }
    }

private:
    const CopyRequest& m_request;
    CopyPlan& m_plan;
};

} // namespace

bool planCopy(const CopyRequest& request, CopyPlan& plan)
{
    plan.folders.assign(1, PlannedFolder{});
    plan.files.clear();
    plan.failures.clear();
    const std::size_t cut = request.from.find_last_of("\\/");
    plan.sourceRoot = cut == std::string::npos ? std::string(".") : request.from.substr(0, cut);
    const std::string pattern =
        cut == std::string::npos ? request.from : request.from.substr(cut + 1);
    plan.targetRoot = request.to;
    if (!isFolder(plan.sourceRoot)) {
        plan.failures.push_back({plan.sourceRoot, CopySide::Source, "it cannot be found"});
        return false;
    }
    plan.folders[0].existsInTarget = !request.to.empty() && isFolder(request.to);
    Planner(request, plan).walk(0, plan.sourceRoot, request.to, &pattern);
    return plan.failures.empty();
}

bool copyFolder(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome)
{
    const bool copied = copyFolder(request, outcome);
    // The shell reports one answer for the whole folder.
    for (PlannedFile& file : plan.files)
        file.result = !copied                                   ? FileResult::Pending
                      : file.action == PlannedAction::Unchanged ? FileResult::Unchanged
                                                                : FileResult::Written;
    return copied;
}

bool copyFolder(const CopyRequest& request, CopyOutcome& outcome)
{
    const bool sourceExists = isFolder(folderOf(request.from));
    // Some shells (Wine's) take a target that does not exist yet for a file name when the
    // pattern matches one file; made beforehand, it is a folder for every shell. The shell
    // would make it silently anyway (FOF_NOCONFIRMMKDIR).
    if (sourceExists && !request.to.empty() && !isFolder(request.to)) {
        const std::string target = request.to + '\\';
        for (std::size_t p = target.find_first_of("\\/"); p != std::string::npos;
             p = target.find_first_of("\\/", p + 1))
            if (p > 0 && target[p - 1] != ':')
                CreateDirectoryA(target.substr(0, p).c_str(), nullptr);
    }
    // Each field is a list of paths that ends with an empty one: two zero bytes in all.
    const std::string from = request.from + '\0' + '\0';
    const std::string to = request.to + '\0' + '\0';
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = reinterpret_cast<HWND>(request.ownerWindow);
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMMKDIR | FOF_SILENT;
    if (request.overwrite)
        operation.fFlags |= FOF_NOCONFIRMATION;
    const bool shellSucceeded = SHFileOperationA(&operation) == 0;
    outcome.cancelled = operation.fAnyOperationsAborted != FALSE;
    // A pattern in a missing folder matches nothing, which some shells (Wine's) count as
    // success; a missing source is a failed copy whatever the shell says.
    if (shellSucceeded && sourceExists && request.verify && request.overwrite)
        verifyCopy(request, outcome);
    return shellSucceeded && sourceExists && outcome.failures.empty();
}

} // namespace Os
