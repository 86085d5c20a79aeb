// Folder copy on Windows: one call to the shell's file operation, which asks and reports
// through its own dialogs.
#include "support/os/os.h"

#include <windows.h>

#include <shellapi.h>

namespace Os {

bool copyFolder(const CopyRequest& request)
{
    // Each field is a list of paths that ends with an empty one: two zero bytes in all.
    const std::string from = request.from + '\0' + '\0';
    const std::string to = request.to + '\0' + '\0';
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = reinterpret_cast<HWND>(request.ownerWindow);
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMMKDIR | FOF_SILENT;
    if (request.overwrite) {
        operation.fFlags |= FOF_NOCONFIRMATION;
    }
    return SHFileOperationA(&operation) == 0;
}

} // namespace Os
