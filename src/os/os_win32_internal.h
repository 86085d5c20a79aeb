// Helpers that the Win32 backends share: paths for the wide calls, handles and times.
#pragma once

#include "os/os.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace Os::detail {

// The path as the wide calls take it: "\\?\C:\..." and "\\?\UNC\server\share\..." for full
// paths, which Windows then uses exactly as written, so that no name is cut or changed.
std::wstring widePath(const std::string& path);
// The last error as the OS layer answers it: path-not-found is ErrorNotFound too.
int lastError();
std::int64_t nanosecondsSince1970(const FILETIME& time);
FILETIME fileTimeOf(std::int64_t nanosecondsSince1970);
// A name that ends in a blank or a dot ("." and ".." aside): most Windows calls drop those
// characters, so a file or folder of such a name cannot be reached by every program.
bool endsInBlankOrDot(std::string_view name);
inline constexpr char BlankOrDotMessage[] =
    "the name ends in a blank or a dot, which Windows cannot keep reliably";

// Writes all the bytes: a write may take part of them and succeed (Wine's does, as the disk
// fills up), so the rest is written again until a write says why it cannot be. Answers 0 or the
// error (ERROR_WRITE_FAULT for a write that takes nothing).
int writeAll(HANDLE file, const char* bytes, std::size_t size);

// MoveFileExW that also replaces a read-only file (the copy of a read-only source, which Windows
// will not replace otherwise): its mark is cleared for the move, and put back if the move fails
// and on the replaced file's other names (it stays read-only where an undo set keeps it).
bool moveFileOver(const std::wstring& from, const std::wstring& to, DWORD flags);
// The move moveFileOver makes: a seam for tests, since Wine replaces a read-only file where
// Windows refuses to.
extern BOOL(WINAPI* moveFileW)(LPCWSTR from, LPCWSTR to, DWORD flags);

// Deletes a read-only file by this name; its other names keep the mark.
bool deleteReadOnly(const std::wstring& name);

// What the handle's information tells of a file: kind, size, time and identity.
FileState stateOf(const BY_HANDLE_FILE_INFORMATION& info);

class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }
    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle;
};

} // namespace Os::detail
