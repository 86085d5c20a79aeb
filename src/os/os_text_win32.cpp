// ANSI text on Windows: the system's ANSI code page, through UTF-16.
#include "os/os.h"

#include <windows.h>

namespace Os {

std::string ansiToUtf8(const std::string& ansiText)
{
    if (ansiText.empty())
        return {};
    const int length = static_cast<int>(ansiText.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansiText.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansiText.data(), length, wide.data(), wideLength);
    const int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                        nullptr);
    return utf8;
}

} // namespace Os
