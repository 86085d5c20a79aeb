// The operating-system layer: plain C++ without Qt, so that the Win32 side can be built and
// tested on its own. One header, one backend per platform (os_*_posix.cpp, os_*_win32.cpp).
// Text crosses this boundary as bytes: UTF-8 on Linux; on Windows paths and registry values are
// WTF-8 (UTF-16 as bytes), window titles the ANSI code page.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Os {

// The path separator that the program appends and checks.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// ---- Registry (HKEY_CURRENT_USER), with the Win32 result rules -------------------------------

using RegistryKey = std::uintptr_t;

inline constexpr std::int32_t RegistrySuccess = 0;       // ERROR_SUCCESS
inline constexpr std::int32_t RegistryNotFound = 2;      // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t RegistryMoreData = 234;    // ERROR_MORE_DATA
inline constexpr std::int32_t RegistryInvalidHandle = 6; // ERROR_INVALID_HANDLE
// A value of a type that is not text (REG_SZ, REG_EXPAND_SZ) cannot be read as a string.
inline constexpr std::int32_t RegistryNotAString = 1630; // ERROR_UNSUPPORTED_TYPE
inline constexpr std::uint32_t KeyAllAccess = 0xF003F;   // KEY_ALL_ACCESS

// Opens a subkey of HKEY_CURRENT_USER; answers 0 and sets key on success.
std::int32_t regOpenCurrentUserKey(const std::string& subKey, std::uint32_t access,
                                   RegistryKey& key);
// Reads a string value into data. dataSize is the buffer's size on entry and, on success, the
// number of bytes copied, the terminating zero included. A value that does not fit answers
// RegistryMoreData and the size it needs, as does a null data; a missing one RegistryNotFound.
std::int32_t regQueryStringValue(RegistryKey key, const std::string& valueName, char* data,
                                 std::uint32_t& dataSize);
std::int32_t regCloseKey(RegistryKey key);

// A folder as the registry records it (a DOS path) turned into a native path: through the
// Wine prefix's drive links on Linux, unchanged on Windows.
std::string nativePathFromRegistry(const std::string& dosPath);

// The Wine prefix that stands for this user's Windows: $WINEPREFIX, else ~/.wine. Linux only.
#ifndef _WIN32
std::string winePrefix();
#endif

// ---- Top-level windows -----------------------------------------------------------------------

// The handle of a top-level window with exactly this title, or 0 when there is none.
std::uintptr_t findTopLevelWindow(const std::string& title);

// Whether a running process is the program of this file name (e.g. "icq.exe"), in any letter
// case. On Linux that is a process whose program (its first argument, after Wine's loader if
// that stands first) has this name, in this user's Wine prefix (winePrefix()) where its
// environment can be read; a process that ends while it is looked at does not count. On Windows,
// given a folder (ending in a separator), only a process whose image is that folder's file counts
// (QueryFullProcessImageNameW), or one whose image cannot be read; without one, or when the
// folder has no such file, any.
bool isProgramRunning(const std::string& fileName, const std::string& folder = {});

// ---- Files and folders -----------------------------------------------------------------------

// Lists the ordinary files that match "folder + pattern" (e.g. "C:\ICQ\UIN\*.UIN"), names
// without their folder, in the file system's order. Never folders; hidden or system files only
// where asked for, as ICQ's own files count whatever their marks (never a name that starts with
// a dot on Linux).
// Wildcards follow Windows' rules and ignore case ("*.*" matches every name). A missing folder
// lists nothing. Answers 0, or a runtime error number when the folder cannot be read at all
// (52 bad file name, 68 device unavailable, 71 disk not ready).
enum class HiddenFiles { LeftOut, Listed };
std::int32_t listFiles(const std::string& folderAndPattern, std::vector<std::string>& names,
                       HiddenFiles hidden = HiddenFiles::LeftOut);

enum class FolderLookup { Exists, NotFound, Failed };
// Whether a folder exists; NotFound only for path-not-found, Failed for any other failure.
FolderLookup lookUpFolder(const std::string& path);

// Whether a name matches a wildcard pattern ("*", "?") by Windows' rules, ignoring letter case;
// "*.*" matches every name, with a dot or without. Both texts are UTF-8.
bool matchesWildcard(const std::string& pattern, const std::string& name);

// Where a name in a path has no exact match, the one that differs only in letter case is used,
// as Wine does. Answers the path with every existing component resolved. Identity on Windows.
std::string resolvePathIgnoringCase(const std::string& path);

// ---- Folder copy ---------------------------------------------------------------------------

enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };

// Which side of a copy failed: reading the source or writing the target.
enum class CopySide { Source, Target };

struct CopyFailure
{
    std::string path; // the file or folder on the side that failed
    CopySide side = CopySide::Source;
    std::string reason;
};

struct CopyRequest
{
    std::string from; // source folder with its trailing separator, then the pattern
    std::string to;   // target folder, used as it stands; empty: the walk lists the source only
    bool overwrite = false;
    // A target file of the same size and modification time as its source is taken for the same
    // file and left alone, unless this asks for every file to be copied.
    bool copyUnchanged = false;
    // A restore: a target file of the same size and time is compared by content, since a file
    // damaged in place keeps both; only one whose bytes differ is written.
    bool compareContent = false;
    // A folder that holds an earlier copy of the source (the newest backup set's folder of the
    // component): a file new to the target that is there in the same size and time is hard-linked
    // from it instead of copied, so that a new set costs only what changed.
    std::string linkFrom;
    // The data and the renames reach the disk before the copy answers. Only the
    // benchmark turns this off, to time the copy apart from the disk.
    bool durable = true;
    // Each file is read back from the disk after it was synced, past the cache (its pages
    // dropped on Linux, unbuffered on Windows), and compared with the checksum of what was read
    // from the source.
    bool verify = false;
    // When set, the copy stops as soon as it can: the file being written is dropped,
    // those already written are put in place, and the outcome says cancelled.
    const std::atomic<bool>* stop = nullptr;
    // The replace question, the program's own on both systems; without it nothing is replaced.
    std::function<ReplaceAnswer(const std::string& targetFile)> askReplace;
    // Told of the bytes done since the last call, file by file and within large files;
    // a file found unchanged or linked counts as done.
    std::function<void(std::uint64_t bytes)> onProgress;
    // A seam for tests: called when a file's data is in its temporary file, before the
    // source is checked for changes and long before the rename.
    std::function<void(const std::string& sourceFile, const std::string& temporaryFile)>
        afterFileData;
};

// An XXH3-128 checksum, its bytes in the canonical order (the order `xxhsum -H2` prints).
using Digest = std::array<unsigned char, 16>;

// What the walk decided for a file, and what the copy then did with it.
enum class PlannedAction : std::uint8_t { Copy, Replace, Unchanged, Link };
enum class FileResult : std::uint8_t {
    Pending,   // not reached (a stop, a cancel, or a folder that failed)
    Written,   // copied, and in place under its real name
    Linked,    // hard-linked from the earlier copy
    Unchanged, // already there, left alone
    Kept,      // the target's file, kept by the user's answer
    Failed,
};

struct PlannedFile
{
    // A hundred thousand of these for a large ICQ folder: the fields are packed into 48 bytes.
    std::uint64_t size = 0;       // the source's; after a copy, the size written
    std::int64_t modified = 0;    // the source's modification time, nanoseconds since 1970
    Digest digest{};              // of the bytes written, when hasDigest
    std::uint32_t folder = 0;     // index into CopyPlan::folders
    std::uint32_t name = 0;       // the source's name, in CopyPlan's name store
    std::uint32_t targetName = 0; // the spelling the target has or will have
    PlannedAction action = PlannedAction::Copy;
    FileResult result = FileResult::Pending;
    bool verified = false; // read back from the disk, it held what was written
    bool hasDigest : 1 = false;
    // Replaced without the question: the target is the same file as far as size and time
    // tell, but nothing records what its bytes should be.
    bool unasked : 1 = false;

    // Whether the copy writes it (new or replaced), rather than leaving or linking it.
    bool isWritten() const;
};
static_assert(sizeof(PlannedFile) <= 48);

struct PlannedFolder
{
    std::uint32_t parent = 0; // the root is its own parent
    std::uint32_t name = 0;
    std::uint32_t targetName = 0;
    bool existsInTarget = false;
    bool inLinkFrom = false; // the earlier copy has this folder
    std::int64_t accessed = 0;
    std::int64_t modified = 0;
};

// One walk of the source and the target: every file, what is to be done with it, and its size.
// The room check, the progress total, the undo record and the copy all read it. A folder's files
// come before its subfolders, each in name order without regard to case.
class CopyPlan
{
public:
    std::string sourceRoot; // the folders the walk read, resolved
    std::string targetRoot;
    std::string linkRoot;
    std::vector<PlannedFolder> folders; // the root first; a folder before its subfolders
    // Grouped by folder, in the folders' order; in blocks, so that growing never holds two
    // copies of a hundred thousand records at once.
    std::deque<PlannedFile> files;
    std::vector<CopyFailure> failures; // what the walk could not read
    bool coarseTimes = false;          // the target keeps times to two seconds (FAT)

    std::string_view name(std::uint32_t at) const
    {
        return {m_names[at / NameBlock].data() + at % NameBlock};
    }
    std::uint32_t addName(std::string_view name);
    // A folder's or a file's path below the root, with '/' (the target's spelling).
    std::string folderPath(std::uint32_t folder, bool target = true) const;
    std::string filePath(const PlannedFile& file, bool target = true) const;

    // Files and bytes the copy will write (new and replaced files), and the bytes it replaces.
    std::uint64_t filesToWrite() const;
    std::uint64_t bytesToWrite() const;
    // What the files it replaces hold now, the sum kept as the walk finds them: a file's record
    // has no room for it.
    std::uint64_t bytesReplaced = 0;
    std::uint64_t totalBytes() const;

private:
    // Names, each ended by a zero, in blocks that never move (a name stays in one block): the
    // store grows without ever holding two copies of itself. Offset 0 is the empty name.
    static constexpr std::uint32_t NameBlock = 1u << 16;
    std::vector<std::string> m_names{std::string(1, '\0')};
};

// Whether the file system of a folder finds a name in any letter case: always on Windows; FAT
// and exFAT on Linux. False when the folder cannot be opened.
bool namesIgnoreCase(const std::string& folder);

// Walks the source (the matching entries of request.from's folder) and the target once and
// decides for every file. Answers false when something could not be read (in plan.failures).
bool planCopy(const CopyRequest& request, CopyPlan& plan);

// What a copy did.
struct CopyOutcome
{
    std::vector<CopyFailure> failures;
    std::vector<std::string> kept; // existing target files left as they were (answered No)
    bool cancelled = false;        // the replace question was answered Cancel, or stopped
    bool attributesLost = false;   // the target did not take some modes or times
    bool linksRefused = false;     // the target could not hard-link: files were copied instead
    std::uint64_t filesCopied = 0;
    std::uint64_t bytesCopied = 0;
    std::uint64_t filesUnchanged = 0; // already in the target, left alone
    std::uint64_t filesLinked = 0;
};

// Carries out a plan: copies what it says, creating missing target folders silently. Answers
// true when everything was copied (or knowingly kept). The plan's files learn their results and
// the checksums of what was written.
bool copyFolder(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome);
// Walks and copies in one call.
bool copyFolder(const CopyRequest& request, CopyOutcome& outcome);

// The checksum of a file's bytes; false (with errno's text in error) when it cannot be read.
bool fileDigest(const std::string& path, Digest& digest, std::string& error);

// Reads the files of a walked plan's source side back from the medium, past the cache, as
// verify reads a copy: synced and its pages dropped on Linux, unbuffered on Windows. On Linux a
// file is opened from its folder's descriptor, so that no call takes a path longer than a name.
// Cheapest in the plan's order.
class PlanReader
{
public:
    explicit PlanReader(const CopyPlan& plan);
    ~PlanReader();
    PlanReader(const PlanReader&) = delete;
    PlanReader& operator=(const PlanReader&) = delete;
    // Hands the file's bytes to `take` piece by piece; false (with the reason in error) when it
    // cannot be read.
    bool read(const PlannedFile& file, const std::function<void(const char*, std::size_t)>& take,
              std::string& error);
    // The checksum of the file's bytes, as read().
    bool digest(const PlannedFile& file, Digest& digest, std::string& error);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// An XXH3-128 over pieces of data: a checksum against damage (a bad sector, a copy cut short),
// not against someone who rewrites a backup and its manifest together, so a fast one.
class DigestBuilder
{
public:
    DigestBuilder();
    ~DigestBuilder();
    DigestBuilder(const DigestBuilder&) = delete;
    DigestBuilder& operator=(const DigestBuilder&) = delete;
    void add(const void* data, std::size_t size);
    // The checksum of what was added; the builder then starts afresh.
    Digest result();
    void reset() { result(); }

private:
    void* m_state;
};

// ---- Files by their bytes (undo and backup sets) ---------------------------------------------
// A path is the native bytes on Linux, where a name may hold any byte but '/' and NUL. On Windows
// it is the UTF-16 path as WTF-8 (UTF-8 that keeps unpaired surrogates), so that every name the
// file system allows comes back unchanged. Each call answers 0 or the system's error number
// (errno; a Win32 error code on Windows), and leaves no cut-off file under a real name.

#ifdef _WIN32
inline constexpr int ErrorNotFound = 2;     // ERROR_FILE_NOT_FOUND (and path not found)
inline constexpr int ErrorExists = 183;     // ERROR_ALREADY_EXISTS (and file exists)
inline constexpr int ErrorNotEmpty = 145;   // ERROR_DIR_NOT_EMPTY
inline constexpr int ErrorCrossDevice = 17; // ERROR_NOT_SAME_DEVICE
#else
inline constexpr int ErrorNotFound = 2;     // ENOENT
inline constexpr int ErrorExists = 17;      // EEXIST
inline constexpr int ErrorNotEmpty = 39;    // ENOTEMPTY
inline constexpr int ErrorCrossDevice = 18; // EXDEV
#endif

#ifdef _WIN32
// The part of a path up to its first name that ends in a blank or a dot ("." and ".." aside),
// or "" where it has none: most Windows calls drop those characters, so such a file or folder
// cannot be reached by every program.
std::string blankOrDotName(const std::string& path);
#endif

// UTF-16 (a Windows name, unpaired surrogates and all) as WTF-8, and back.
std::string wtf8FromUtf16(const std::u16string& text);
std::u16string utf16FromWtf8(const std::string& text);

// The system's description of an error number answered here, as every message of this layer
// (a copy's reason, a checksum's error): UTF-8, whatever the locale or the ANSI code page.
std::string errorText(int error);

struct FileState
{
    enum class Kind { Missing, File, Folder, Other };
    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since 1970-01-01 UTC
    // Which file it is: the device and inode (volume serial number and file index on Windows).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // When its data or its state last changed, which no program can set back: st_ctim, on
    // Windows the ChangeTime (nanoseconds since 1970). Only fileState fills it in.
    std::int64_t changed = 0;
};

// What stands at the path, links followed as the copier follows them. A missing path answers 0
// with the kind Missing.
int fileState(const std::string& path, FileState& state);

// The entries of a folder but "." and "..", in byte order of their names, links followed.
struct FolderEntry
{
    std::string name;
    FileState state;
};
int listFolder(const std::string& path, std::vector<FolderEntry>& entries);

// Makes one folder; ErrorExists when something stands there already.
int makeFolder(const std::string& path);
// Makes every missing folder of the path; one that exists is fine.
int makeFolders(const std::string& path);

// Keeps a copy of `from` (of what it leads to, when it is a link) under the new name `to` (whose
// folders are made): a hard link where the file system allows one (the copier never writes into
// a file it replaces), else a copy written to a temporary file beside `to`, its data on the disk
// before it is renamed to `to`. Never replaces an existing `to` (ErrorExists). The modification
// time is kept.
int keepFile(const std::string& from, const std::string& to);

// Moves a file to `to`, replacing what stands there: a rename, or across file systems a copy
// through a temporary file beside `to` (data on the disk, then renamed) after which `from` is
// removed. `to`'s folder is made and synced. With replace false an existing `to` answers
// ErrorExists.
int moveFile(const std::string& from, const std::string& to, bool replace);

// Renames a folder to a name that must not exist yet (ErrorExists), synced.
int renameFolder(const std::string& from, const std::string& to);

// The one form of every temporary file and folder the program writes, beside what it becomes:
// ".~zeb<pid>-<serial>-<check>-<name>", where <serial> (letters and digits) tells apart the
// temporary files of one process and <check> is computed from the rest, so that a user's file
// that merely looks like ours is never taken for ours. The name is cut to 64 bytes.
std::string temporaryName(long pid, std::string_view serial, std::string_view name);
// The process that made a temporary name of that form, or 0 for any other name: that is data.
// Tells the serial and the name it was made with where asked.
long temporaryOwner(std::string_view name, std::string_view* serial = nullptr,
                    std::string_view* finalName = nullptr);

// Removes what processes that are gone left in the folder: their temporary files and folders.
int removeLeftTemporaries(const std::string& folder);

// Removes a file (a link itself, not what it leads to); a missing one is ErrorNotFound.
int removeFile(const std::string& path);
// Removes an empty folder (ErrorNotEmpty otherwise).
int removeFolder(const std::string& path);
// Removes a folder with everything below it, links not followed. Stops at the first failure and
// answers it with the path that failed.
int removeTree(const std::string& path, std::string& failedPath);

// The whole content of a file.
int readWholeFile(const std::string& path, std::string& bytes);
// Writes a file in one piece: a temporary file beside it, synced, renamed over the old one, the
// folder synced. Whoever reads the path sees the old content or the new, never a part.
int writeFileDurably(const std::string& path, const std::string& bytes);
// The same, the content handed over in pieces: `produce` calls `write` for each, so that a large
// record is never held whole. After a failed write the rest is ignored and the failure answered.
using PieceWriter = std::function<void(std::string_view piece)>;
int writeFileDurably(const std::string& path,
                     const std::function<void(const PieceWriter&)>& produce);

// Puts everything written to the file system that holds the path on the disk.
int syncFileSystem(const std::string& path);

// ---- The user's folders -----------------------------------------------------------------------

// The folder of this user's records of the program (the last backup's state), not made here:
// $XDG_STATE_HOME/zeb2000, else ~/.local/state/zeb2000 on Linux; %LOCALAPPDATA%\ZEB 2000 on
// Windows. Empty when the system names no such folder.
std::string userStateFolder();

#ifdef _WIN32
// ---- The weekly task (the Task Scheduler, through its COM interface) ---------------------------

// A task that runs a program once a week (every seventh day from its registration), as soon as
// it can after a start that was missed, in the user's own session.
struct WeeklyTask
{
    std::string program;   // WTF-8
    std::string arguments; // the command line after the program, quoted as Windows parses it
    bool startWhenAvailable = false; // read back: run as soon as possible after a missed start
};
// Each answers 0 or the HRESULT of the call that failed, named in `step`
// ("ITaskFolder::RegisterTaskDefinition").
// Registers the task under `name` in the root folder, replacing one of that name.
long registerWeeklyTask(const std::string& name, const WeeklyTask& task, std::string& step);
// Deletes the task; a missing one is fine.
long deleteWeeklyTask(const std::string& name, std::string& step);
// Reads the task back; `exists` false when there is none. A task whose action cannot be read
// answers that failure with `exists` and `startWhenAvailable` set.
long readWeeklyTask(const std::string& name, bool& exists, WeeklyTask& task, std::string& step);
#endif

// ---- Run locks -------------------------------------------------------------------------------
// A lock the system holds for the process on a file (flock on Linux, LockFileEx on Windows) and
// drops when the process ends, however it ends: a holder is never guessed from a stale id.

#ifdef _WIN32
inline constexpr int ErrorLocked = 33; // ERROR_LOCK_VIOLATION
#else
inline constexpr int ErrorLocked = 11;      // EWOULDBLOCK
#endif

using LockHandle = std::intptr_t;

// Takes the lock of the file (made where missing) without waiting, and writes this process's id
// into it for the messages of the runs that find it taken. Answers 0 with the handle,
// ErrorLocked with what the file says of its holder when another process holds it, or the error.
int tryLockFile(const std::string& path, LockHandle& handle, std::string& holder);
// Lets go of a lock and closes its file.
int unlockFile(LockHandle handle);

// ---- Text ------------------------------------------------------------------------------------

// Text in the ANSI code page (plugin files) as UTF-8: the system's ANSI code page on Windows,
// Windows-1252 on Linux.
std::string ansiToUtf8(const std::string& ansiText);

} // namespace Os
