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
// The same as UTF-8 bytes, in the same order: the key of a folder's names, a quarter the size
// and made without a pass through code points for the ASCII names nearly all are.
std::string foldedKey(const std::string& name);
bool equalsIgnoringCase(const std::string& a, const std::string& b);
// Name order without regard to case, the order in which NTFS lists a folder.
bool lessIgnoringCase(const std::string& a, const std::string& b);
// The serial of the OS layer's own next temporary file (an undo's, a record's): "u<n>", apart
// from the copier's numbers.
std::string nextFileSerial();

} // namespace Os::detail

namespace Os::detail {

// Where the process list is read: "/proc"; tests point it at a folder laid out the same way.
extern std::string processFolder;

} // namespace Os::detail

#ifndef _WIN32
#include <cerrno>
#include <unistd.h>

namespace Os::detail {

// A file descriptor that closes itself.
class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now, answering what close() said: a write may fail only there (NFS).
    int close()
    {
        const int fd = release();
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Adds the names in the folder at `path` (relative to the folder descriptor `at`), but "." and
// "..", to names; answers 0 or an errno. `flags` adds to the open's (O_NOFOLLOW).
int readFolderNames(int at, const char* path, int flags, std::vector<std::string>& names);
// Removes `name` in the folder `at` and, a folder, everything in it, one name at a time; `path`
// names it in what failedPath reports. Answers 0 or an errno.
int removeTreeAt(int at, const std::string& name, const std::string& path, std::string& failedPath);

} // namespace Os::detail
#endif
