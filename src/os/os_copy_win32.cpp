// Folder copy on Windows: the shell's file operation, which asks and reports through its own
// dialogs.
#include "os/os.h"

#include <windows.h>

#include <shellapi.h>

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

} // namespace

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
