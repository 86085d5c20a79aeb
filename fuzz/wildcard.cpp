// The wildcard matcher against a plain reference: a table of which pattern prefix matches which
// name prefix, "*" any run of characters, "?" exactly one, case folded as the OS layer folds it.
// The input is the pattern, a line break and the name.
#include "check.h"
#include "os/os.h"
#include "os/os_internal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::u32string folded(const std::string& text)
{
    std::u32string out = Os::detail::decodeUtf8(text);
    for (char32_t& c : out)
        c = Os::detail::foldCase(c);
    return out;
}

bool referenceMatch(const std::string& patternText, const std::string& nameText)
{
    const std::u32string pattern = folded(patternText);
    const std::u32string name = folded(nameText);
    if (pattern == U"*.*")
        return true;
    // matches[i][j]: the first i pattern characters match the first j name characters.
    std::vector<std::vector<bool>> matches(pattern.size() + 1,
                                           std::vector<bool>(name.size() + 1, false));
    matches[0][0] = true;
    for (std::size_t i = 1; i <= pattern.size(); ++i)
        for (std::size_t j = 0; j <= name.size(); ++j) {
            const char32_t p = pattern[i - 1];
            if (p == U'*')
                matches[i][j] = matches[i - 1][j] || (j > 0 && matches[i][j - 1]);
            else if (j > 0)
                matches[i][j] = matches[i - 1][j - 1] && (p == U'?' || p == name[j - 1]);
        }
    return matches[pattern.size()][name.size()];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineBreak = input.find('\n');
    if (lineBreak == std::string::npos || size > 600)
        return 0; // the reference is quadratic: names and patterns stay short
    const std::string pattern = input.substr(0, lineBreak);
    const std::string name = input.substr(lineBreak + 1);
    check(Os::matchesWildcard(pattern, name) == referenceMatch(pattern, name));
    return 0;
}
