// Files by their names on Windows, for the undo and backup sets: wide-character calls on the
// UTF-16 names (carried as WTF-8), long-path form so that names ending in a dot or a space are
// reached as they stand, and data flushed before a temporary file is renamed into place.
#include "os/os.h"
#include "os/os_internal.h"
#include "os/os_win32_internal.h"

#include <algorithm>
#include <memory>
#include <windows.h>

namespace Os {

namespace {

// The names of a full path after its root ("C:\" or "\\server\"), with "." dropped, ".."
// taking back the name before it and doubled separators read as one, as Windows reads a path
// before it hands it on; the "\\?\" form that follows takes the path exactly as written.
std::wstring normalized(const std::wstring& root, const std::wstring& rest)
{
    std::vector<std::wstring> names;
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos)
            end = rest.size();
        const std::wstring name = rest.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::wstring path = root;
    for (std::size_t i = 0; i < names.size(); ++i)
        path += (i == 0 ? L"" : L"\\") + names[i];
    // A folder named with its separator keeps it.
    if (!names.empty() && rest.back() == L'\\')
        path += L'\\';
    return path;
}

} // namespace

std::wstring detail::widePath(const std::string& path)
{
    std::u16string text = utf16FromWtf8(path);
    std::replace(text.begin(), text.end(), u'/', u'\\');
    const std::wstring result(text.begin(), text.end());
    if (result.size() >= 3 && result[1] == L':' && result[2] == L'\\')
        return L"\\\\?\\" + normalized(result.substr(0, 3), result.substr(3));
    if (result.size() >= 2 && result.compare(0, 2, L"\\\\") == 0 &&
        result.compare(0, 4, L"\\\\?\\") != 0)
        return L"\\\\?\\UNC\\" + normalized({}, result.substr(2));
    return result;
}

int detail::lastError()
{
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND)
        return ErrorNotFound;
    if (error == ERROR_FILE_EXISTS)
        return ErrorExists;
    return int(error);
}

int detail::writeAll(HANDLE file, const char* bytes, std::size_t size)
{
    for (std::size_t done = 0; done < size;) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(size - done, 1 << 20));
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr))
            return lastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        done += written;
    }
    return 0;
}

// FileDispositionInfoEx, which the headers declare only for builds that require Windows 10.
constexpr auto DispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

bool detail::deleteReadOnly(const std::wstring& name)
{
    const Handle file(CreateFileW(name.c_str(),
                                  DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return false;
    // Windows 10 1809 and later delete it as it stands.
    FILE_DISPOSITION_INFO_EX posix{FILE_DISPOSITION_FLAG_DELETE |
                                   FILE_DISPOSITION_FLAG_POSIX_SEMANTICS |
                                   FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
    if (SetFileInformationByHandle(file.get(), DispositionInfoEx, &posix, sizeof posix))
        return true;
    // Before them (and under Wine): the mark off, the deletion asked for, the mark back on the
    // record, all through one handle; the name goes when the handle closes. Times stay (zero).
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic))
        return false;
    const DWORD marks = basic.FileAttributes;
    basic = FILE_BASIC_INFO{};
    basic.FileAttributes = (marks & ~DWORD(FILE_ATTRIBUTE_READONLY))
                               ? marks & ~DWORD(FILE_ATTRIBUTE_READONLY)
                               : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic))
        return false;
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool asked = SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                                  sizeof disposition);
    const DWORD error = GetLastError();
    basic.FileAttributes = marks;
    if (!SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic)) {
        const DWORD failed = GetLastError();
        disposition.DeleteFile = FALSE;
        SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                   sizeof disposition);
        SetLastError(failed);
        return false;
    }
    SetLastError(error);
    return asked;
}

namespace {

// One more name, of our own, for a file that has more than one; empty when it has just this one
// (or the name cannot be made, where the replace goes on as before).
std::wstring holdingName(const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    {
        const detail::Handle file(
            CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file || !GetFileInformationByHandle(file.get(), &info) || info.nNumberOfLinks < 2)
            return {};
    }
    const std::size_t slash = path.find_last_of(L'\\');
    const std::u16string name(path.begin() + std::ptrdiff_t(slash + 1), path.end());
    const std::u16string held = utf16FromWtf8(
        temporaryName(long(GetCurrentProcessId()), detail::nextFileSerial(), wtf8FromUtf16(name)));
    const std::wstring holder = path.substr(0, slash + 1) + std::wstring(held.begin(), held.end());
    return CreateHardLinkW(holder.c_str(), path.c_str(), nullptr) ? holder : std::wstring();
}

} // namespace

BOOL(WINAPI* detail::moveFileW)(LPCWSTR, LPCWSTR, DWORD) = MoveFileExW;

bool detail::moveFileOver(const std::wstring& from, const std::wstring& to, DWORD flags)
{
    if (moveFileW(from.c_str(), to.c_str(), flags))
        return true;
    const DWORD error = GetLastError();
    const DWORD marks = GetFileAttributesW(to.c_str());
    if (error != ERROR_ACCESS_DENIED || !(flags & MOVEFILE_REPLACE_EXISTING) ||
        marks == INVALID_FILE_ATTRIBUTES || !(marks & FILE_ATTRIBUTE_READONLY) ||
        (marks & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(error);
        return false;
    }
    // The mark is the record's, which other names may share (an undo set's kept copy): a name of
    // our own holds the record through the replace, so that the mark goes back on it for them.
    // Once the file is in place the replace has succeeded, whatever becomes of the holding name
    // (one left behind is ours by its name).
    const std::wstring holder = holdingName(to);
    bool moved = false;
    DWORD result = ERROR_ACCESS_DENIED;
    if (SetFileAttributesW(to.c_str(), marks & ~DWORD(FILE_ATTRIBUTE_READONLY))) {
        moved = moveFileW(from.c_str(), to.c_str(), flags);
        result = moved ? 0 : GetLastError();
        const std::wstring& record = moved ? holder : to;
        if (!record.empty())
            SetFileAttributesW(record.c_str(), marks);
    } else {
        result = GetLastError();
    }
    if (!holder.empty())
        deleteReadOnly(holder);
    SetLastError(result);
    return moved;
}

// 100 ns ticks from 1601 to 1970.
constexpr std::int64_t TicksTo1970 = 116444736000000000LL;

std::int64_t detail::nanosecondsSince1970(const FILETIME& time)
{
    const std::int64_t ticks =
        (std::int64_t(time.dwHighDateTime) << 32 | std::int64_t(time.dwLowDateTime)) - TicksTo1970;
    return ticks * 100;
}

FILETIME detail::fileTimeOf(std::int64_t nanosecondsSince1970)
{
    const std::uint64_t ticks = std::uint64_t(nanosecondsSince1970 / 100 + TicksTo1970);
    return {DWORD(ticks), DWORD(ticks >> 32)};
}

FileState detail::stateOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    FileState state;
    state.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileState::Kind::Folder
                                                                    : FileState::Kind::File;
    state.size = std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    state.modified = nanosecondsSince1970(info.ftLastWriteTime);
    state.device = info.dwVolumeSerialNumber;
    state.inode = std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return state;
}

namespace {

using detail::Handle;
using detail::lastError;

std::wstring wide(const std::string& path)
{
    return detail::widePath(path);
}

std::string narrow(const wchar_t* text)
{
    return wtf8FromUtf16(std::u16string(text, text + wcslen(text)));
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryBeside(const std::string& path)
{
    return folderOf(path) + '\\' +
           temporaryName(long(GetCurrentProcessId()), detail::nextFileSerial(), nameOf(path));
}

// Flushes a file's data to the disk.
int flushFile(const std::string& path)
{
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return lastError();
    return FlushFileBuffers(file.get()) ? 0 : lastError();
}

// Copies the file (data and time) into a temporary file beside `to`, flushed.
int copyToTemporary(const std::string& from, const std::string& to, std::string& temporary)
{
    temporary = temporaryBeside(to);
    if (!CopyFileW(wide(from).c_str(), wide(temporary).c_str(), TRUE))
        return lastError();
    if (const int error = flushFile(temporary)) {
        DeleteFileW(wide(temporary).c_str());
        return error;
    }
    return 0;
}

int rename(const std::string& from, const std::string& to, bool replace)
{
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return detail::moveFileOver(wide(from), wide(to), flags) ? 0 : lastError();
}

} // namespace

std::string errorText(int error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || !text)
        return "error " + std::to_string(error);
    std::string result = narrow(text);
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

int fileState(const std::string& path, FileState& state)
{
    state = FileState();
    // Opened with backup semantics so that folders answer too; links are followed.
    const Handle file(CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        const int error = lastError();
        return error == ErrorNotFound ? 0 : error;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info))
        return lastError();
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic))
        return lastError();
    state = detail::stateOf(info);
    state.changed = (basic.ChangeTime.QuadPart - TicksTo1970) * 100;
    return 0;
}

int listFolder(const std::string& path, std::vector<FolderEntry>& entries)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide(path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return lastError();
    int error = 0;
    do {
        const std::string name = narrow(found.cFileName);
        if (name == "." || name == "..")
            continue;
        FolderEntry entry{name, {}};
        if (const int failed = fileState(path + "\\" + name, entry.state)) {
            error = failed;
            break;
        }
        if (entry.state.kind == FileState::Kind::Missing) // a link that leads nowhere
            entry.state.kind = FileState::Kind::Other;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    if (error == 0 && GetLastError() != ERROR_NO_MORE_FILES)
        error = lastError();
    FindClose(search);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return error;
}

int makeFolder(const std::string& path)
{
    return CreateDirectoryW(wide(path).c_str(), nullptr) ? 0 : lastError();
}

int makeFolders(const std::string& path)
{
    FileState state;
    if (const int error = fileState(path, state))
        return error;
    if (state.kind == FileState::Kind::Folder)
        return 0;
    if (state.kind != FileState::Kind::Missing)
        return ERROR_DIRECTORY;
    const std::string parent = folderOf(path);
    if (parent != path && parent.size() > 2) // stop at "C:"
        if (const int error = makeFolders(parent))
            return error;
    const int error = makeFolder(path);
    return error == ErrorExists ? 0 : error;
}

int keepFile(const std::string& from, const std::string& to)
{
    // The copier never writes into the file it replaces, so a hard link keeps the old bytes for
    // nothing; where the volume has no links (FAT) or `to` is on another one, they are copied.
    if (const int error = makeFolders(folderOf(to)))
        return error;
    // The file a link leads to is kept, not the link: a relative one would lead nowhere from
    // the set.
    std::wstring linked = wide(from);
    if (const Handle file{CreateFileW(linked.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)}) {
        std::wstring final(32768, L'\0');
        const DWORD length = GetFinalPathNameByHandleW(
            file.get(), final.data(), DWORD(final.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length > 0 && length < final.size())
            linked = final.substr(0, length);
    }
    if (CreateHardLinkW(wide(to).c_str(), linked.c_str(), nullptr))
        return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS)
        return ErrorExists;
    std::string temporary;
    if (const int error = copyToTemporary(from, to, temporary))
        return error;
    if (const int error = rename(temporary, to, false)) {
        DeleteFileW(wide(temporary).c_str());
        return error;
    }
    return 0;
}

int moveFile(const std::string& from, const std::string& to, bool replace)
{
    if (const int error = makeFolders(folderOf(to)))
        return error;
    const int renamed = rename(from, to, replace);
    if (renamed != ErrorCrossDevice)
        return renamed;
    std::string temporary;
    if (const int error = copyToTemporary(from, to, temporary))
        return error;
    if (const int error = rename(temporary, to, replace)) {
        DeleteFileW(wide(temporary).c_str());
        return error;
    }
    return DeleteFileW(wide(from).c_str()) ? 0 : lastError();
}

int renameFolder(const std::string& from, const std::string& to)
{
    return rename(from, to, false);
}

int removeLeftTemporaries(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    if (const int error = listFolder(folder, entries))
        return error == ErrorNotFound ? 0 : error;
    for (const FolderEntry& entry : entries) {
        const DWORD pid = DWORD(temporaryOwner(entry.name));
        if (pid == 0 || pid == GetCurrentProcessId())
            continue;
        if (const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
            CloseHandle(process);
            continue;
        }
        if (GetLastError() != ERROR_INVALID_PARAMETER) // no such process
            continue;
        std::string failed;
        if (const int error = removeTree(folder + "\\" + entry.name, failed))
            return error;
    }
    return 0;
}

int removeFile(const std::string& path)
{
    const std::wstring name = wide(path);
    if (DeleteFileW(name.c_str()))
        return 0;
    // A read-only file is one ICQ's setup may leave; its removal is what was asked for, without
    // taking the mark off the other names of the same file (a kept set's copy).
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(error);
        return lastError();
    }
    return detail::deleteReadOnly(name) ? 0 : lastError();
}

int removeFolder(const std::string& path)
{
    return RemoveDirectoryW(wide(path).c_str()) ? 0 : lastError();
}

int removeTree(const std::string& path, std::string& failedPath)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        failedPath = path;
        return lastError();
    }
    // A junction or a folder link goes itself, never what it leads to.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW found{};
        std::vector<std::string> names;
        const HANDLE search = FindFirstFileW(wide(path + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            failedPath = path;
            return lastError();
        }
        do {
            const std::string name = narrow(found.cFileName);
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileW(search, &found));
        const int listed = GetLastError() == ERROR_NO_MORE_FILES ? 0 : lastError();
        FindClose(search);
        if (listed != 0) {
            failedPath = path;
            return listed;
        }
        for (const std::string& name : names)
            if (const int error = removeTree(path + "\\" + name, failedPath))
                return error;
    }
    const int error =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) ? removeFolder(path) : removeFile(path);
    if (error != 0)
        failedPath = path;
    return error;
}

int readWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return lastError();
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return lastError();
        if (got == 0)
            return 0;
        bytes.append(buffer, got);
    }
}

int writeFileDurably(const std::string& path, const std::string& bytes)
{
    return writeFileDurably(
        path, [&bytes](const PieceWriter& write) { write(bytes); });
}

int writeFileDurably(const std::string& path,
                     const std::function<void(const PieceWriter&)>& produce)
{
    const std::string temporary = temporaryBeside(path);
    int error = 0;
    {
        const Handle file(CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return lastError();
        produce([&](std::string_view piece) {
            if (error == 0)
                error = detail::writeAll(file.get(), piece.data(), piece.size());
        });
        if (error == 0 && !FlushFileBuffers(file.get()))
            error = lastError();
    }
    if (error == 0)
        error = rename(temporary, path, true);
    if (error != 0)
        DeleteFileW(wide(temporary).c_str());
    return error;
}

int syncFileSystem(const std::string& path)
{
    // Every write here is flushed or written through as it is made; NTFS journals the names.
    FileState state;
    return fileState(path, state);
}

} // namespace Os
