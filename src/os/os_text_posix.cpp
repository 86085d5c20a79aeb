// ANSI text on Linux: Windows-1252, the code page of the Western Windows that ICQ users ran.
#include "os/os.h"
#include "os/os_internal.h"

namespace Os {
namespace {

// 0x80-0x9F; the five unassigned bytes map to the C1 controls of the same value, as Windows'
// own conversion does.
constexpr char32_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::string ansiToUtf8(const std::string& ansiText)
{
    std::string out;
    out.reserve(ansiText.size());
    for (const char c : ansiText) {
        const auto byte = static_cast<unsigned char>(c);
        detail::appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80]
                                                            : char32_t{byte});
    }
    return out;
}

} // namespace Os
