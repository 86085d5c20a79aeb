// Holds a file open without sharing, as another program that locks a data file does, until its
// standard input ends:
//   hold_file FILE
// Prints "held" once the file is held; exit 1 when it cannot be opened.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: hold_file FILE\n");
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
