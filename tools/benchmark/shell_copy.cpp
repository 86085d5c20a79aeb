// The shell's file operation, as the program copied on Windows before it had its own copier:
// the yardstick of the Windows benchmark. shell_copy FROM TO copies FROM's contents into TO,
// asking nothing.
#include <windows.h>

#include <shellapi.h>

#include <string>

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 3)
        return 2;
    // Both are lists ended by an empty name.
    const std::wstring from = std::wstring(arguments[1]) + L"\\*" + L'\0';
    const std::wstring to = std::wstring(arguments[2]) + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    const bool copied = SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
    LocalFree(arguments);
    return copied ? 0 : 1;
}
