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
    if (argc == 3 && std::wcscmp(argv[1], L"--window") == 0) {
        const HWND window = CreateWindowExW(0, L"STATIC", argv[2], WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                            100, nullptr, nullptr, nullptr, nullptr);
        if (window == nullptr) {
            std::fprintf(stderr, "cannot open the window: error %lu\n", GetLastError());
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        DestroyWindow(window);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: hold_file FILE | hold_file --window TITLE\n");
        return 2;
    }
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open the file: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(file);
    return 0;
}
