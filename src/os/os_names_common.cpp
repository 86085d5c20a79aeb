// Name comparison and wildcard matching, the same on every platform.
#include "os/os.h"
#include "os/os_internal.h"

#include <cstddef>

namespace Os::detail {

namespace {

// The code point at text[i], moving i past it. A byte that does not begin valid UTF-8 (overlong
// forms and surrogates are not text) stands for itself.
char32_t decodeAt(const std::string& text, std::size_t& i)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        length = 1;
        cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    }
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            valid = false;
        else
            cp = (cp << 6) | (byte(i + k) & 0x3F);
    if (valid && ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
                  (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
        valid = false;
    if (!valid) {
        ++i;
        return lead;
    }
    i += length;
    return cp;
}

// How the folded names compare (<0, 0, >0), as their folded code points would, read on the
// bytes: a repeat backup sorts every name, and most are ASCII.
int compareFolded(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t x = static_cast<unsigned char>(a[i]);
        char32_t y = static_cast<unsigned char>(b[j]);
        if (x < 0x80 && y < 0x80) {
            ++i;
            ++j;
            x += x >= U'A' && x <= U'Z' ? 32 : 0;
            y += y >= U'A' && y <= U'Z' ? 32 : 0;
        } else {
            x = foldCase(decodeAt(a, i));
            y = foldCase(decodeAt(b, j));
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return int(i < a.size()) - int(j < b.size());
}

} // namespace

std::u32string decodeUtf8(const std::string& text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        out.push_back(decodeAt(text, i));
    return out;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Latin, Greek and Cyrillic letters: what file names of ICQ users hold in practice.
char32_t foldCase(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    if (c < 0xC0)
        return c;
    if (c <= 0xDE && c != 0xD7)
        return c + 32;
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c | 1;
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && (c & 1) != 0)
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return c + 32;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

std::u32string foldedName(const std::string& text)
{
    std::u32string out = decodeUtf8(text);
    for (char32_t& c : out)
        c = foldCase(c);
    return out;
}

std::string foldedKey(const std::string& text)
{
    std::string out = text;
    bool ascii = true;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    }
    if (ascii)
        return out;
    out.clear();
    for (std::size_t i = 0; i < text.size();)
        appendUtf8(out, foldCase(decodeAt(text, i)));
    return out;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    return compareFolded(a, b) == 0;
}

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    const int folded = compareFolded(a, b);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace Os::detail

namespace Os {

bool matchesWildcard(const std::string& pattern, const std::string& name)
{
    const std::u32string p = detail::foldedName(pattern);
    const std::u32string n = detail::foldedName(name);
    if (p == U"*.*")
        return true;
    // Greedy match that falls back to the last star: linear in practice, never recursive.
    std::size_t pi = 0;
    std::size_t ni = 0;
    std::size_t starAt = std::u32string::npos;
    std::size_t resumeAt = 0;
    while (ni < n.size()) {
        // A star is a wildcard even where the name holds a star of its own.
        if (pi < p.size() && p[pi] == U'*') {
            starAt = pi++;
            resumeAt = ni;
        } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (starAt != std::u32string::npos) {
            pi = starAt + 1;
            ni = ++resumeAt;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

} // namespace Os
