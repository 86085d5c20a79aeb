// Folder copy on Windows: the shell's file operation, which asks and reports through its own
// dialogs.
#include "os/os.h"

#include <windows.h>

#include <shellapi.h>

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
    return shellSucceeded && sourceExists;
}

} // namespace Os
