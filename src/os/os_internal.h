// Helpers shared by the backends of the OS layer; not part of its interface.
#pragma once

#include <string>
#include <vector>

namespace Os::detail {

// UTF-8 to code points; a byte that is not part of valid UTF-8 stands for itself.
std::u32string decodeUtf8(const std::string& text);
void appendUtf8(std::string& out, char32_t codePoint);
// The simple lower-case form used to compare names as Windows and Wine do.
char32_t foldCase(char32_t codePoint);
// The name with every letter in its simple lower-case form: equal for names that differ only in
// letter case.
std::u32string foldedName(const std::string& name);
bool equalsIgnoringCase(const std::string& a, const std::string& b);
// Name order without regard to case, the order in which NTFS lists a folder.
bool lessIgnoringCase(const std::string& a, const std::string& b);

} // namespace Os::detail

namespace Os::detail {

// Where the process list is read: "/proc"; tests point it at a folder laid out the same way.
extern std::string processFolder;

} // namespace Os::detail

#ifndef _WIN32
namespace Os::detail {

// Adds the names in the folder at `path` (relative to the folder descriptor `at`), but "." and
// "..", to names; answers 0 or an errno. `flags` adds to the open's (O_NOFOLLOW).
int readFolderNames(int at, const char* path, int flags, std::vector<std::string>& names);

} // namespace Os::detail
#endif
