// The folder copy on Windows: the shared walk and copy (os_copy_common.cpp) on the wide-character
// calls, with every name as UTF-16 and full paths in the "\\?\" form.
// - every file, new or replaced, is written to a temporary file beside its target, flushed
//   (FlushFileBuffers) and only then moved into place (MoveFileExW, written through): a copy that
//   dies leaves the old file or the new one under the real name;
// - a source that cannot be opened or read (another program holds it without sharing, a locked
//   range) is a failed file on the source side;
// - verify reads the flushed copy back past the cache (FILE_FLAG_NO_BUFFERING);
// - unchanged files are those of the same size and time, to two seconds only on FAT and exFAT;
// - a name that ends in a blank or a dot is refused: most Windows calls drop those characters,
//   so such a file could not be reached by the programs that read the backup.
#include "os/os.h"
#include "os/os_copy_internal.h"
#include "os/os_internal.h"
#include "os/os_win32_internal.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <malloc.h>
#include <map>
#include <memory>
#include <new>
#include <set>

namespace Os {
namespace {

using detail::DigestQueue;
using detail::endsInBlankOrDot;
using detail::FoundEntry;
using detail::Handle;
using detail::lastError;
using detail::widePath;

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD BufferSize = DWORD{1} << 20;

std::string joinPath(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path.push_back('\\');
    path.append(name);
    return path;
}

HANDLE openForReading(const std::string& path, DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN)
{
    // Sharing everything: a data file that ICQ keeps open is read as it stands; one held
    // without sharing fails here and is reported.
    return CreateFileW(widePath(path).c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                       flags, nullptr);
}

// Reads up to `size` bytes; false with the error in GetLastError().
bool readSome(HANDLE file, char* buffer, DWORD size, DWORD& got)
{
    got = 0;
    return ReadFile(file, buffer, size, &got, nullptr) != FALSE;
}

FoundEntry foundAt(const std::string& path)
{
    FileState state;
    if (fileState(path, state) != 0 || state.kind == FileState::Kind::Missing)
        return {};
    using Kind = FoundEntry::Kind;
    return {state.kind == FileState::Kind::File     ? Kind::File
            : state.kind == FileState::Kind::Folder ? Kind::Folder
                                                    : Kind::Other,
            state.size, state.modified};
}

// Whether the path is a link (a reparse point): the earlier set is never read through one, as
// one that leads into the ICQ folder would have the new set share ICQ's live files.
bool isLink(std::string path)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A folder's entries but "." and "..": names and what the listing tells of them, links
// followed.
struct Listed
{
    std::string name;
    FileState state;
};

int listEntries(const std::string& folder, std::vector<Listed>& entries)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileExW(widePath(joinPath(folder, "*")).c_str(), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : lastError();
    do {
        const std::wstring wideName = found.cFileName;
        if (wideName == L"." || wideName == L"..")
            continue;
        Listed entry{wtf8FromUtf16(std::u16string(wideName.begin(), wideName.end())), {}};
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link is what it points at; one that leads nowhere stays Missing.
            fileState(joinPath(folder, entry.name), entry.state);
        } else {
            entry.state.kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                   ? FileState::Kind::Folder
                                   : FileState::Kind::File;
            entry.state.size = std::uint64_t(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
            entry.state.modified = detail::nanosecondsSince1970(found.ftLastWriteTime);
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    const int error = GetLastError() == ERROR_NO_MORE_FILES ? 0 : lastError();
    FindClose(search);
    return error;
}

// ---- The walk -------------------------------------------------------------------------------

class Planner : public detail::PlannerBase
{
public:
    using PlannerBase::PlannerBase;

    bool run();

private:
    using FileId = std::pair<std::uint64_t, std::uint64_t>; // volume and file index

    void walk(std::uint32_t folder, const std::string& sourcePath, const std::string& targetPath,
              bool targetExists, const std::string& linkPath, const std::string* pattern);
    void walkInto(std::uint32_t parent, const std::string& name, const std::string& sourcePath,
                  const std::string& targetPath, const std::string& linkPath,
                  TargetEntries& entries);
    TargetEntries readTargetEntries(const std::string& targetPath);
    bool coarseTimes(const std::string& folder);

    FoundEntry targetEntry(const std::string& targetName) override
    {
        return foundAt(joinPath(*m_here.targetPath, targetName));
    }
    FoundEntry earlierEntry(const std::string& name) override
    {
        if (m_here.linkPath->empty())
            return {};
        // A link there is not the earlier copy, and the very file being backed up never is.
        const std::string path = joinPath(*m_here.linkPath, name);
        FileState earlier;
        FileState source;
        if (isLink(path) || fileState(path, earlier) != 0 ||
            earlier.kind != FileState::Kind::File ||
            fileState(joinPath(*m_here.sourcePath, name), source) != 0 ||
            (earlier.device == source.device && earlier.inode == source.inode))
            return {};
        return {FoundEntry::Kind::File, earlier.size, earlier.modified};
    }
    bool sameContent(const std::string& name, const std::string& targetName,
                     std::uint64_t size) override;
    void removeTemporary(const std::string& name) override
    {
        std::string failed; // left for the next walk
        removeTree(joinPath(*m_here.targetPath, name), failed);
    }
    std::string targetPathOf(const std::string& name) const override
    {
        return joinPath(*m_here.targetPath, name);
    }
    std::string sourcePathOf(const std::string& name) const override
    {
        return joinPath(*m_here.sourcePath, name);
    }

    // The folder whose files are being planned.
    struct Here
    {
        const std::string* sourcePath = nullptr;
        const std::string* targetPath = nullptr;
        const std::string* linkPath = nullptr;
    } m_here;
    std::vector<FileId> m_ancestors;     // the source folders being walked
    std::set<FileId> m_targetFolders;    // never walked as a source: the copy's own
    std::map<DWORD, bool> m_coarseTimes; // by volume serial number
    std::vector<char> m_compareBuffer;
};

bool Planner::coarseTimes(const std::string& folder)
{
    // A folder still to be made is on the volume of its nearest existing ancestor.
    Handle handle;
    for (std::string path = folder; !handle && !path.empty();) {
        handle.reset(CreateFileW(widePath(path).c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        const std::size_t cut = path.find_last_of("\\/");
        path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
    DWORD volume = 0;
    wchar_t system[MAX_PATH + 1] = {};
    if (!handle || !GetVolumeInformationByHandleW(handle.get(), nullptr, 0, &volume, nullptr,
                                                  nullptr, system, MAX_PATH))
        return false;
    const auto known = m_coarseTimes.find(volume);
    if (known != m_coarseTimes.end())
        return known->second;
    return m_coarseTimes[volume] =
               wcsncmp(system, L"FAT", 3) == 0 || _wcsicmp(system, L"exFAT") == 0;
}

bool Planner::run()
{
    m_plan.folders.assign(1, PlannedFolder{});
    m_plan.files.clear();
    m_plan.failures.clear();

    const std::string& from = m_request.from;
    const std::size_t cut = from.find_last_of("\\/");
    // "C:\*.*" is the root of C:, where "C:" alone would be the drive's current folder.
    const std::string folder = cut == std::string::npos          ? std::string(".")
                               : cut > 0 && from[cut - 1] == ':' ? from.substr(0, cut + 1)
                                                                 : from.substr(0, cut);
    const std::string pattern = cut == std::string::npos ? from : from.substr(cut + 1);
    for (const auto& [root, side] :
         {std::pair{&folder, CopySide::Source}, std::pair{&m_request.to, CopySide::Target}}) {
        if (const std::string bad = blankOrDotName(*root); !bad.empty()) {
            fail(bad, side, detail::BlankOrDotMessage);
            return false;
        }
    }
    // The roots stay as they were given: the undo record and the report name them so.
    m_plan.sourceRoot = folder;
    m_plan.targetRoot = m_request.to;
    m_plan.linkRoot = m_request.linkFrom;

    FileState source;
    const int sourceError = fileState(m_plan.sourceRoot, source);
    if (sourceError != 0 || source.kind != FileState::Kind::Folder) {
        fail(m_plan.sourceRoot, CopySide::Source, sourceError != 0 ? sourceError : ErrorNotFound);
        return false;
    }
    m_plan.folders[0].modified = source.modified;

    if (!m_plan.targetRoot.empty()) {
        FileState target;
        if (const int error = fileState(m_plan.targetRoot, target)) {
            fail(m_plan.targetRoot, CopySide::Target, error);
            return false;
        }
        if (target.kind != FileState::Kind::Missing && target.kind != FileState::Kind::Folder) {
            fail(m_plan.targetRoot, CopySide::Target, ERROR_DIRECTORY);
            return false;
        }
        m_plan.folders[0].existsInTarget = target.kind == FileState::Kind::Folder;
        if (m_plan.folders[0].existsInTarget)
            m_targetFolders.insert({target.device, target.inode});
        m_plan.coarseTimes = coarseTimes(m_plan.targetRoot);
    }
    std::string linkRoot;
    if (foundAt(m_plan.linkRoot).kind == FoundEntry::Kind::Folder && !isLink(m_plan.linkRoot)) {
        m_plan.folders[0].inLinkFrom = true;
        linkRoot = m_plan.linkRoot;
    }
    m_ancestors.push_back({source.device, source.inode});
    walk(0, m_plan.sourceRoot, m_plan.targetRoot, m_plan.folders[0].existsInTarget, linkRoot,
         &pattern);
    return m_plan.failures.empty();
}

Planner::TargetEntries Planner::readTargetEntries(const std::string& targetPath)
{
    std::vector<Listed> listed;
    if (const int error = listEntries(targetPath, listed)) {
        fail(targetPath, CopySide::Target, error);
        return {};
    }
    std::vector<std::string> names;
    for (Listed& entry : listed)
        names.push_back(std::move(entry.name));
    m_here.targetPath = &targetPath;
    return targetEntries(names);
}

void Planner::walk(std::uint32_t folder, const std::string& sourcePath,
                   const std::string& targetPath, bool targetExists, const std::string& linkPath,
                   const std::string* pattern)
{
    std::vector<Listed> listed;
    if (const int error = listEntries(sourcePath, listed)) {
        fail(sourcePath, CopySide::Source, error);
        return;
    }
    std::map<std::string, FileState> states;
    std::vector<std::string> names;
    for (Listed& entry : listed) {
        names.push_back(entry.name);
        states.emplace(std::move(entry.name), entry.state);
    }
    selectSourceNames(names, pattern);

    TargetEntries entries = targetExists ? readTargetEntries(targetPath) : TargetEntries();
    // Times of two seconds on either side (a restore from a FAT stick) compare to two seconds.
    const bool coarseTarget = targetExists && (coarseTimes(targetPath) || coarseTimes(sourcePath));
    const bool coarseLink = !linkPath.empty() && coarseTimes(linkPath);
    m_here = {&sourcePath, &targetPath, &linkPath};
    std::vector<std::string> subfolders;
    for (const std::string& name : names) {
        const FileState& state = states[name];
        const std::string path = joinPath(sourcePath, name);
        if (endsInBlankOrDot(name))
            fail(path, CopySide::Source, detail::BlankOrDotMessage);
        else if (state.kind == FileState::Kind::Folder)
            subfolders.push_back(name);
        else if (state.kind == FileState::Kind::File)
            planFile(folder, name, state.size, state.modified, entries, coarseTarget, coarseLink);
        else if (state.kind == FileState::Kind::Missing)
            fail(path, CopySide::Source, ErrorNotFound);
        else
            fail(path, CopySide::Source, "it is neither a file nor a folder");
    }
    for (const std::string& name : subfolders)
        walkInto(folder, name, sourcePath, targetPath, linkPath, entries);
}

void Planner::walkInto(std::uint32_t parent, const std::string& name, const std::string& sourcePath,
                       const std::string& targetPath, const std::string& linkPath,
                       TargetEntries& entries)
{
    const std::string childSource = joinPath(sourcePath, name);
    FileState source;
    if (const int error = fileState(childSource, source)) {
        fail(childSource, CopySide::Source, error);
        return;
    }
    const FileId id{source.device, source.inode};
    if (m_targetFolders.count(id) != 0)
        return; // the copy's own target, inside its source
    if (std::find(m_ancestors.begin(), m_ancestors.end(), id) != m_ancestors.end()) {
        fail(childSource, CopySide::Source,
             "it is a link that leads back into a folder being copied");
        return;
    }
    // An existing folder of that name in any letter case is merged into.
    PlannedFolder record;
    record.parent = parent;
    record.name = m_plan.addName(name);
    record.modified = source.modified;
    const std::string key = detail::foldedKey(name);
    const auto existing = entries.find(key);
    const std::string targetName = existing != entries.end() ? existing->second.name : name;
    const std::string childTarget = joinPath(targetPath, targetName);
    record.targetName = targetName == name ? record.name : m_plan.addName(targetName);
    if (existing != entries.end() && existing->second.onDisk) {
        FileState target;
        const int error = fileState(childTarget, target);
        if (error != 0 || target.kind != FileState::Kind::Folder) {
            fail(childTarget, CopySide::Target, error != 0 ? error : ERROR_DIRECTORY);
            return;
        }
        m_targetFolders.insert({target.device, target.inode});
        record.existsInTarget = true;
    } else if (existing == entries.end()) {
        entries.emplace(key, TargetEntry{name, false});
    }
    std::string childLink;
    if (!linkPath.empty() && foundAt(joinPath(linkPath, name)).kind == FoundEntry::Kind::Folder &&
        !isLink(joinPath(linkPath, name))) {
        childLink = joinPath(linkPath, name);
        record.inLinkFrom = true;
    }
    const auto index = static_cast<std::uint32_t>(m_plan.folders.size());
    m_plan.folders.push_back(record);
    m_ancestors.push_back(id);
    walk(index, childSource, childTarget, record.existsInTarget, childLink, nullptr);
    m_ancestors.pop_back();
}

bool Planner::sameContent(const std::string& name, const std::string& targetName,
                          std::uint64_t size)
{
    const std::string sourceFile = joinPath(*m_here.sourcePath, name);
    const Handle a(openForReading(sourceFile));
    if (!a) {
        fail(sourceFile, CopySide::Source, lastError());
        return false;
    }
    const Handle b(openForReading(joinPath(*m_here.targetPath, targetName)));
    if (!b)
        return false;
    m_compareBuffer.resize(2 * std::size_t(BufferSize));
    char* const first = m_compareBuffer.data();
    char* const second = first + BufferSize;
    for (std::uint64_t at = 0; at < size;) {
        const DWORD want = DWORD(std::min<std::uint64_t>(BufferSize, size - at));
        DWORD gotA = 0;
        DWORD gotB = 0;
        if (!readSome(a.get(), first, want, gotA) || !readSome(b.get(), second, want, gotB) ||
            gotA == 0 || gotA != gotB || std::memcmp(first, second, gotA) != 0)
            return false;
        at += gotA;
    }
    return true;
}

// ---- The copy -------------------------------------------------------------------------------

bool sameVersion(const FileState& a, const FileState& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified == b.modified;
}

class Executor : public detail::ExecutorBase
{
public:
    Executor(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome)
        : ExecutorBase(request, plan, outcome, long(GetCurrentProcessId()))
    {}

private:
    struct Folder
    {
        std::uint32_t folder;
        std::string sourcePath;
        std::string targetPath; // as the report names it
        std::string madePath;   // as it stands now: a new folder's temporary name in it
        std::string linkPath;   // "" where the earlier copy lacks the folder
    };
    // Why a file's data could not be copied: the error and the side it happened on.
    struct DataError
    {
        int error = 0;
        CopySide side = CopySide::Source;
    };

    bool openRoots() override;
    bool enterFolder(std::uint32_t folder) override;
    const std::string& currentTargetPath() const override { return m_open.back().targetPath; }
    void copyFile(std::uint32_t index) override;
    bool linkFile(PlannedFile& file) override;
    void closeFolders() override { m_open.clear(); }
    bool targetOpened() const override { return m_targetOpened; }
    // Each file was flushed before it was closed, and each rename is written through.
    int syncTargets() override { return 0; }
    void removeTemporary(const Pending& pending) override
    {
        DeleteFileW(widePath(temporaryPath(pending)).c_str());
    }
    void readBack(const Pending& pending) override;
    std::string placeFile(const Pending& pending) override;
    std::string placeFolder(std::uint32_t folder) override;
    void removeNewFolder(std::uint32_t folder) override
    {
        std::string failed; // left for the next walk
        removeTree(madeFolderPath(folder), failed);
    }
    FolderTimes setFolderTimes(std::uint32_t folder) override;

    // The marks a copy carries besides the read-only one.
    static constexpr DWORD KeptMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    std::set<std::uint32_t> m_readOnly; // the files whose sources are read-only

    std::string temporaryPath(const Pending& pending) const
    {
        return joinPath(madeFolderPath(m_plan.files[pending.file].folder),
                        writtenName(pending.file));
    }
    // Reads a source into its temporary file, handing what it read to the checksum.
    DataError copyData(HANDLE in, HANDLE out, std::uint64_t size, bool progress);

    std::vector<Folder> m_open; // the folder being copied and its ancestors
    bool m_targetOpened = false;
};

bool Executor::openRoots()
{
    FileState source;
    const int sourceError = fileState(m_plan.sourceRoot, source);
    if (sourceError != 0 || source.kind != FileState::Kind::Folder) {
        fail(m_plan.sourceRoot, CopySide::Source, sourceError != 0 ? sourceError : ErrorNotFound);
        return false;
    }
    if (const int error = makeFolders(m_plan.targetRoot)) {
        fail(m_plan.targetRoot, CopySide::Target, error);
        return false;
    }
    m_targetOpened = true;
    m_open.push_back({0, m_plan.sourceRoot, m_plan.targetRoot, m_plan.targetRoot,
                      m_plan.folders[0].inLinkFrom ? m_plan.linkRoot : std::string()});
    return true;
}

bool Executor::enterFolder(std::uint32_t folder)
{
    const PlannedFolder& record = m_plan.folders[folder];
    while (m_open.back().folder != record.parent)
        m_open.pop_back();
    const Folder& parent = m_open.back();
    const std::string_view sourceName = m_plan.name(record.name);
    const std::string madeName = this->madeName(folder);
    Folder entered{folder, joinPath(parent.sourcePath, sourceName),
                   joinPath(parent.targetPath, m_plan.name(record.targetName)),
                   joinPath(parent.madePath, madeName),
                   record.inLinkFrom && !parent.linkPath.empty()
                       ? joinPath(parent.linkPath, sourceName)
                       : std::string()};
    FileState source;
    const int error = fileState(entered.sourcePath, source);
    if (error != 0 || source.kind != FileState::Kind::Folder) {
        fail(entered.sourcePath, CopySide::Source, error != 0 ? error : ErrorNotFound);
        m_brokenFolders[folder] = true;
        return false;
    }
    if (!record.existsInTarget) {
        const std::wstring made = widePath(entered.madePath);
        bool created = CreateDirectoryW(made.c_str(), nullptr);
        // Under this process's temporary name stands what one of the same number left.
        if (!created && GetLastError() == ERROR_ALREADY_EXISTS && isNewRoot(folder)) {
            std::string failed;
            removeTree(entered.madePath, failed);
            created = CreateDirectoryW(made.c_str(), nullptr);
        }
        if (!created && GetLastError() != ERROR_ALREADY_EXISTS) {
            fail(entered.targetPath, CopySide::Target, lastError());
            m_brokenFolders[folder] = true;
            return false;
        }
    }
    m_enteredFolders[folder] = true;
    m_open.push_back(std::move(entered));
    return true;
}

bool Executor::linkFile(PlannedFile& file)
{
    const Folder& here = m_open.back();
    if (here.linkPath.empty())
        return false;
    if (!CreateHardLinkW(widePath(joinPath(here.madePath, m_plan.name(file.targetName))).c_str(),
                         widePath(joinPath(here.linkPath, m_plan.name(file.name))).c_str(),
                         nullptr)) {
        // Where the target cannot link (FAT, another volume, some network shares) the files
        // are copied.
        const DWORD error = GetLastError();
        if (error == ERROR_NOT_SAME_DEVICE || error == ERROR_INVALID_FUNCTION ||
            error == ERROR_NOT_SUPPORTED || error == ERROR_TOO_MANY_LINKS ||
            error == ERROR_ACCESS_DENIED)
            m_outcome.linksRefused = true;
        return false;
    }
    linked(file);
    return true;
}

Executor::DataError Executor::copyData(HANDLE in, HANDLE out, std::uint64_t size, bool progress)
{
    DigestQueue& digests = this->digests();
    for (std::uint64_t done = 0; done < size;) {
        if (stopped())
            return {ERROR_CANCELLED, CopySide::Target};
        DWORD got = 0;
        char* const block = digests.block();
        if (!readSome(in, block,
                      DWORD(std::min<std::uint64_t>(DigestQueue::BlockSize, size - done)), got)) {
            const int error = lastError();
            digests.giveBack(block);
            return {error, CopySide::Source};
        }
        if (got == 0) {
            digests.giveBack(block);
            break; // ended early: the check of the source notices the change
        }
        if (const int error = detail::writeAll(out, block, got)) {
            digests.giveBack(block);
            return {error, CopySide::Target};
        }
        digests.add(block, got);
        done += got;
        if (progress && m_request.onProgress)
            m_request.onProgress(got);
    }
    return {};
}

void Executor::copyFile(std::uint32_t index)
{
    PlannedFile& file = m_plan.files[index];
    const Folder& here = m_open.back();
    const std::string_view finalName = m_plan.name(file.targetName);
    const std::string sourceFile = joinPath(here.sourcePath, m_plan.name(file.name));
    const std::string targetFile = joinPath(here.targetPath, finalName);
    file.result = FileResult::Failed;
    const std::string temporary = joinPath(here.madePath, writtenName(index));
    Handle out(CreateFileW(widePath(temporary).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        fail(targetFile, CopySide::Target, lastError());
        return;
    }
    const auto drop = [&] {
        out.reset();
        DeleteFileW(widePath(temporary).c_str());
    };
    const auto failed = [&](const std::string& path, CopySide side, int error) {
        if (error == ERROR_CANCELLED)
            m_cancelled = true;
        else
            fail(path, side, error);
        drop();
    };

    // A file that changes while it is read is read once more; one that changes again is
    // reported rather than kept in a state that matches no version of it.
    BY_HANDLE_FILE_INFORMATION before{};
    for (int attempt = 0;; ++attempt) {
        const Handle in(openForReading(sourceFile));
        if (!in || !GetFileInformationByHandle(in.get(), &before))
            return failed(sourceFile, CopySide::Source, lastError());
        LARGE_INTEGER start{};
        if (attempt > 0 &&
            (!SetFilePointerEx(out.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(out.get())))
            return failed(targetFile, CopySide::Target, lastError());
        digests().begin(detail::stateOf(before).size); // a second reading starts afresh
        const DataError error =
            copyData(in.get(), out.get(), detail::stateOf(before).size, attempt == 0);
        if (error.error != 0)
            return failed(error.side == CopySide::Source ? sourceFile : targetFile, error.side,
                          error.error);
        if (m_request.afterFileData)
            m_request.afterFileData(sourceFile, temporary);
        BY_HANDLE_FILE_INFORMATION after{};
        FileState named;
        if (GetFileInformationByHandle(in.get(), &after) && fileState(sourceFile, named) == 0 &&
            sameVersion(detail::stateOf(before), detail::stateOf(after)) &&
            sameVersion(detail::stateOf(before), named))
            break;
        if (attempt == 1) {
            fail(sourceFile, CopySide::Source, "it changed while being copied");
            return drop();
        }
    }
    // The data is what counts: a target that keeps no times or marks is told of once. The
    // read-only mark goes on once the file is in place, where it no longer stops the move.
    FILE_BASIC_INFO marks{};
    marks.FileAttributes = before.dwFileAttributes & KeptMarks;
    if (marks.FileAttributes == 0)
        marks.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileTime(out.get(), nullptr, &before.ftLastAccessTime, &before.ftLastWriteTime) ||
        !SetFileInformationByHandle(out.get(), FileBasicInfo, &marks, sizeof marks))
        m_outcome.attributesLost = true;
    if (before.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        m_readOnly.insert(index);
    if (m_request.durable && !FlushFileBuffers(out.get()))
        return failed(targetFile, CopySide::Target, lastError());
    out.reset();
    const FileState state = detail::stateOf(before);
    digests().finish(&file.digest);
    written(index, state.size, state.modified);
}

void Executor::readBack(const Pending& pending)
{
    PlannedFile& file = m_plan.files[pending.file];
    const std::string path = temporaryPath(pending);
    // Past the cache the medium itself is read (the queue's blocks are aligned to the sector);
    // a volume that refuses that is read as it can.
    auto copy = std::make_shared<Handle>(
        openForReading(path, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN));
    if (!*copy)
        copy->reset(openForReading(path));
    if (!*copy)
        return; // unread, it stays unverified
    digests().check(
        [copy](char* block) -> std::int64_t {
            DWORD got = 0;
            return readSome(copy->get(), block, DWORD(DigestQueue::BlockSize), got)
                       ? std::int64_t(got)
                       : -1;
        },
        &file.digest, &file.verified);
}

std::string Executor::placeFile(const Pending& pending)
{
    const PlannedFile& file = m_plan.files[pending.file];
    const std::string final = joinPath(targetFolderPath(file.folder), m_plan.name(file.targetName));
    // A new file never replaces one that appeared meanwhile; one written in place in a new
    // folder is there already.
    const DWORD flags = MOVEFILE_WRITE_THROUGH |
                        (file.action == PlannedAction::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!writtenInPlace(pending.file)) {
        const std::string temporary = temporaryPath(pending);
        if (!detail::moveFileOver(widePath(temporary), widePath(final), flags)) {
            const std::string reason = errorText(lastError());
            DeleteFileW(widePath(temporary).c_str());
            return reason;
        }
    }
    const DWORD marks = GetFileAttributesW(widePath(final).c_str());
    if (m_readOnly.count(pending.file) &&
        (marks == INVALID_FILE_ATTRIBUTES ||
         !SetFileAttributesW(widePath(final).c_str(), marks | FILE_ATTRIBUTE_READONLY)))
        m_outcome.attributesLost = true;
    return {};
}

std::string Executor::placeFolder(std::uint32_t folder)
{
    // Never over a folder that appeared meanwhile; written through.
    const int error = renameFolder(madeFolderPath(folder), targetFolderPath(folder));
    return error == 0 ? std::string() : errorText(error);
}

Executor::FolderTimes Executor::setFolderTimes(std::uint32_t folder)
{
    const std::int64_t modified = m_plan.folders[folder].modified;
    const std::string path = targetFolderPath(folder);
    FileState now;
    if (fileState(path, now) == 0 && now.modified == modified)
        return FolderTimes::Unchanged; // a repeat backup that changed nothing in it
    const Handle handle(CreateFileW(widePath(path).c_str(), FILE_WRITE_ATTRIBUTES, ShareAll,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const FILETIME time = detail::fileTimeOf(modified);
    return handle && SetFileTime(handle.get(), nullptr, nullptr, &time) ? FolderTimes::Set
                                                                        : FolderTimes::Lost;
}

} // namespace

struct PlanReader::State
{
    explicit State(const CopyPlan& plan) : plan(plan) {}
    ~State() { _aligned_free(buffer); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    const CopyPlan& plan;
    // Unbuffered reads take a buffer aligned to the sector.
    char* buffer = static_cast<char*>(_aligned_malloc(BufferSize, 4096));
};

PlanReader::PlanReader(const CopyPlan& plan) : m_state(std::make_unique<State>(plan))
{
    if (!m_state->buffer)
        throw std::bad_alloc();
}

PlanReader::~PlanReader() = default;

bool PlanReader::read(const PlannedFile& file,
                      const std::function<void(const char*, std::size_t)>& take, std::string& error)
{
    std::string relative = m_state->plan.filePath(file, false);
    std::replace(relative.begin(), relative.end(), '/', '\\');
    const std::string path = joinPath(m_state->plan.sourceRoot, relative);
    // Past the cache the medium itself is read, as verify reads a copy; a volume that refuses
    // that is read as it can.
    Handle in(openForReading(path, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN));
    if (!in)
        in.reset(openForReading(path));
    if (!in) {
        error = errorText(lastError());
        return false;
    }
    for (;;) {
        DWORD got = 0;
        if (!readSome(in.get(), m_state->buffer, BufferSize, got)) {
            error = errorText(lastError());
            return false;
        }
        if (got == 0)
            break;
        take(m_state->buffer, got);
    }
    return true;
}

bool planCopy(const CopyRequest& request, CopyPlan& plan)
{
    return Planner(request, plan).run();
}

bool copyFolder(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome)
{
    return Executor(request, plan, outcome).run();
}

bool copyFolder(const CopyRequest& request, CopyOutcome& outcome)
{
    CopyPlan plan;
    planCopy(request, plan);
    return copyFolder(request, plan, outcome);
}

bool namesIgnoreCase(const std::string&)
{
    return true;
}

} // namespace Os
