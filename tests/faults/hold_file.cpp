// Holds a file open without sharing, as another program that locks a data file does, or holds a
// top-level window of the given title open, as ICQ does with a UIN's, until its standard input
// ends:
//   hold_file FILE
//   hold_file --window TITLE
// Prints "held" once the file or window is held; exit 1 when it cannot be opened.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t* argv[])
{
    const bool isWindow = argc == 3 && std::wcscmp(argv[1], L"--window") == 0;
    if (argc != 2 && !isWindow) {
        std::fprintf(stderr, "usage: hold_file FILE | hold_file --window TITLE\n");
        return 2;
    }
    const HWND window = isWindow ? CreateWindowExW(0, L"STATIC", argv[2], WS_OVERLAPPEDWINDOW, 0, 0,
                                                   200, 100, nullptr, nullptr, nullptr, nullptr)
                                 : nullptr;
    const HANDLE file = isWindow ? INVALID_HANDLE_VALUE
                                 : CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (isWindow ? window == nullptr : file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open the %s: error %lu\n", isWindow ? "window" : "file",
                     GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    if (isWindow)
        DestroyWindow(window);
    else
        CloseHandle(file);
    return 0;
}
