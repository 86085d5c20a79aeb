// Top-level windows on Windows: FindWindow by exact title.
#include "os/os.h"

#include <windows.h>

namespace Os {

std::uintptr_t findTopLevelWindow(const std::string& title)
{
    return reinterpret_cast<std::uintptr_t>(FindWindowA(nullptr, title.c_str()));
}

} // namespace Os
