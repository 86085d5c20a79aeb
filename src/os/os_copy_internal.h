// The folder copy's shared design: the rules of the walk, the order of the copy and its report.
// Each system's copier (os_copy_posix.cpp, os_copy_win32.cpp) derives from these two classes and
// supplies the calls that open, read, write, sync and rename; what is decided lives here once.
#pragma once

#include "os/os.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Os::detail {

// Whether no process of that id runs any more (per system).
bool processGone(long pid);

// Whether a target file is the source file copied before: the same size and modification time,
// to two seconds where the target's file system keeps no finer times (FAT), exactly elsewhere.
bool sameSizeAndTime(std::uint64_t sourceSize, std::int64_t sourceTime, std::uint64_t targetSize,
                     std::int64_t targetTime, bool coarseTimes);

// What stands under a name on the target side or in the earlier copy, as the walk sees it.
struct FoundEntry
{
    enum class Kind { Missing, File, Folder, Other };
    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};

// Checksums computed on a thread of their own while the copy goes on. The copy reads into one
// of a few blocks, writes it, and hands it over; the thread hashes it and gives it back. What is
// handed over is hashed in order: begin() starts a file (dropping what was not finished),
// finish() ends it. Results are stored when wait() has answered. A file begun while
// the thread is behind is hashed by the caller instead, so that both processors work. A file
// the system copies itself is read by the thread (beginReading()): its ranges as they are copied.
class DigestQueue
{
public:
    static constexpr std::size_t BlockSize = std::size_t{128} << 10; // a multiple of any sector
    static constexpr std::size_t BlockCount = 8;
    // Files handed to the thread to read at a time (check): one read, the next waiting.
    static constexpr int ChecksAhead = 2;

    DigestQueue();
    ~DigestQueue(); // finishes what was handed over
    DigestQueue(const DigestQueue&) = delete;
    DigestQueue& operator=(const DigestQueue&) = delete;

    // Starts a file of `size` bytes.
    void begin(std::uint64_t size);
    // A free block of BlockSize bytes, aligned to 4096; waits until one is back.
    char* block();
    // Hands a block over with the first `size` bytes of it filled.
    void add(char* block, std::size_t size);
    // Gives a block back unused.
    void giveBack(char* block);
    // A hole: zeros count in the checksum.
    void addZeros(std::uint64_t size);
    // The checksum of what was added since begin() goes to *into.
    void finish(Digest* into);
    // Reads `size` bytes at `offset` into the block (size <= BlockSize): the bytes read, 0 where
    // the file ended, or -errno.
    using RangeReader =
        std::function<std::int64_t(char* block, std::size_t size, std::uint64_t offset)>;
    // Starts a file whose bytes the thread reads with `read`, range by range as addRange() hands
    // them over (holes with addZeros()); finishReading() ends it, and must before the next file.
    void beginReading(RangeReader read);
    void addRange(std::uint64_t offset, std::uint64_t size);
    // Waits until the file is hashed; its checksum goes to *into unless null. Answers 0, the
    // errno of a read that failed, or ENODATA where the file ended before its ranges did.
    int finishReading(Digest* into);
    // Reads a whole file, between files: fills the block it is given (up to BlockSize) and
    // answers the bytes read, 0 at the end, or -1 when the file cannot be read.
    using Reader = std::function<std::int64_t(char* block)>;
    // A whole file read and compared with *expected (*matches tells; false when unreadable): by
    // the thread when it has no other file to read, else here, so that both read and hash.
    void check(Reader read, const Digest* expected, bool* matches);
    // Waits until everything handed over is hashed and its result stored.
    void wait();

private:
    struct Task
    {
        enum Kind { Data, Zeros, Range, Finish, Check } kind;
        bool restart; // a file starts here: what came before and was not finished is dropped
        char* data;
        std::uint64_t size;
        Digest* into;
        const Digest* expected;
        bool* matches;
        Reader read;
        std::uint64_t offset = 0; // a range's
    };
    void push(Task task);
    static void addZeros(DigestBuilder& builder, std::uint64_t size);
    // Reads with a block of the pool, hashing what comes, until `read` answers 0 or less:
    // answers that last answer.
    std::int64_t readAll(const Reader& read, DigestBuilder& builder);
    // Reads a file with a block of the pool and tells whether it matches.
    bool readMatches(const Reader& read, DigestBuilder& builder, const Digest& expected);
    // Reads and hashes a range of the file being read: 0, or the errno that ends it.
    int readRange(std::uint64_t offset, std::uint64_t size);
    void work();

    struct AlignedDelete
    {
        void operator()(char* storage) const;
    };
    const std::unique_ptr<char, AlignedDelete> m_storage;
    DigestBuilder m_builder; // used by the thread only
    DigestBuilder m_own;     // the caller's, for a file it hashes itself
    bool m_hashHere = false; // the current file is hashed by the caller
    RangeReader m_readRange; // set by the caller between files only
    int m_readError = 0;     // the thread's, for the file being read
    std::mutex m_mutex;
    std::condition_variable m_wake;     // tasks arrived, or quit
    std::condition_variable m_returned; // a block is free
    std::condition_variable m_idle;     // every task done
    std::deque<Task> m_tasks;
    std::vector<char*> m_free;
    bool m_restart = false; // begin() was called: the next task starts afresh (copier's side)
    bool m_working = false;
    int m_checks = 0; // files handed to the thread to read, not yet done
    bool m_quit = false;
    std::thread m_thread; // last: it starts once the rest is built
};

class PlannerBase
{
public:
    PlannerBase(const CopyRequest& request, CopyPlan& plan) : m_request(request), m_plan(plan) {}
    virtual ~PlannerBase() = default;
    PlannerBase(const PlannerBase&) = delete;
    PlannerBase& operator=(const PlannerBase&) = delete;

protected:
    // A target folder's entries by their name without regard to case, the existing spelling
    // kept, with those this walk plans to make.
    struct TargetEntry
    {
        std::string name;
        bool onDisk;
        bool planned = false; // a source file of this walk goes there
    };
    using TargetEntries = std::map<std::string, TargetEntry>;

    // The source names the copy takes: never a temporary file, only what the pattern matches,
    // in name order without regard to case.
    static void selectSourceNames(std::vector<std::string>& names, const std::string* pattern);
    // A target folder's names as entries. Temporary files are no entries; those of processes
    // that are gone are removed (removeTemporary), those of live ones (this one's too) stay.
    TargetEntries targetEntries(const std::vector<std::string>& names);

    // Decides for one file of the folder being walked: new (or linked from the earlier copy),
    // replaced or unchanged, in the target's spelling. The system's part tells what stands there.
    void planFile(std::uint32_t folder, const std::string& name, std::uint64_t size,
                  std::int64_t modified, TargetEntries& entries, bool coarseTarget,
                  bool coarseLink);
    virtual FoundEntry targetEntry(const std::string& targetName) = 0;
    virtual FoundEntry earlierEntry(const std::string& name) = 0;
    // Whether the source and the target file hold the same bytes; reports a source it cannot
    // read, and answers false then.
    virtual bool sameContent(const std::string& name, const std::string& targetName,
                             std::uint64_t size) = 0;
    virtual void removeTemporary(const std::string& name) = 0;
    virtual std::string targetPathOf(const std::string& name) const = 0;
    virtual std::string sourcePathOf(const std::string& name) const = 0;

    void fail(const std::string& path, CopySide side, const std::string& reason)
    {
        m_plan.failures.push_back({path, side, reason});
    }
    void fail(const std::string& path, CopySide side, int error)
    {
        fail(path, side, errorText(error));
    }

    const CopyRequest& m_request;
    CopyPlan& m_plan;
};

class ExecutorBase
{
public:
    ExecutorBase(const CopyRequest& request, CopyPlan& plan, CopyOutcome& outcome, long pid);
    virtual ~ExecutorBase() = default;
    ExecutorBase(const ExecutorBase&) = delete;
    ExecutorBase& operator=(const ExecutorBase&) = delete;

    // Carries the plan out: each folder entered, each file copied, linked, kept or left as it
    // is, the replace question asked, a stop honoured; then the written files put in place.
    bool run();

protected:
    // A file written, waiting for its rename or its folder's.
    struct Pending
    {
        std::uint32_t file;
    };

    // Opens the roots (the target's made); false after reporting what failed.
    virtual bool openRoots() = 0;
    // Makes a folder below the root, whose parent was entered, the current one; false, the
    // folder marked broken, when it cannot be.
    virtual bool enterFolder(std::uint32_t folder) = 0;
    // The current folder's path on the target side.
    virtual const std::string& currentTargetPath() const = 0;
    // Writes the file under its writtenName() in the current folder and adds it to m_pending, or
    // reports the failure; sets m_cancelled on a stop.
    virtual void copyFile(std::uint32_t index) = 0;
    // Hard-links the file from the earlier copy; false where it could not.
    virtual bool linkFile(PlannedFile& file) = 0;
    virtual void closeFolders() = 0;
    // Whether the target root was opened, so that there is something to finish.
    virtual bool targetOpened() const = 0;
    // Puts what was written on the disk; an error number, 0 when it is there.
    virtual int syncTargets() = 0;
    virtual void removeTemporary(const Pending& pending) = 0;
    // Reads a synced written file back from the disk past the cache into the digest queue,
    // which compares it with the checksum written (the file's `verified`).
    virtual void readBack(const Pending& pending) = 0;
    // Renames a written file into place (one written in place is there with its folder): "" or
    // why it failed, the written file removed then.
    virtual std::string placeFile(const Pending& pending) = 0;
    enum class FolderTimes { Unchanged, Set, Lost };
    // Gives a target folder its source's times, after the renames into it.
    virtual FolderTimes setFolderTimes(std::uint32_t folder) = 0;

    // A folder new on the target is made under a temporary name, its files are written under
    // their own names, and it is renamed into place once they are on the disk: one rename for
    // the folder, not one a file, and still no stump under a real name if the copy dies.
    // The name a folder has on the target now: its temporary one until it is in place.
    std::string madeName(std::uint32_t folder) const;
    // Whether a file is written under its own name, in a new folder, rather than beside it.
    bool writtenInPlace(std::uint32_t index) const
    {
        return m_newRoot[m_plan.files[index].folder] != 0;
    }
    // Whether a folder about to be entered is to be made under a temporary name; keepOwnName()
    // makes it under its own, where the file system cannot be trusted to rename a folder with
    // what is in it: its files are then renamed one by one.
    bool isNewRoot(std::uint32_t folder) const
    {
        return folder != 0 && m_newRoot[folder] == folder;
    }
    void keepOwnName(std::uint32_t folder) { m_newRoot[folder] = 0; }
    // The name a file's data is written under until it is put in place.
    std::string writtenName(std::uint32_t index) const;
    // Renames a new folder into place: "" or why it could not be.
    virtual std::string placeFolder(std::uint32_t folder) = 0;
    // Removes a new folder, still under its temporary name, with everything in it.
    virtual void removeNewFolder(std::uint32_t folder) = 0;

    std::string joinTarget(const std::string& folder, std::string_view name) const;
    // A target folder's path: as the report names it, or as it stands on the disk now.
    std::string targetFolderPath(std::uint32_t folder) const;
    std::string madeFolderPath(std::uint32_t folder) const;
    bool stopped() const { return m_request.stop && m_request.stop->load(); }
    // The queue that hashes what the copy reads; made when the first file is copied.
    DigestQueue& digests();
    // A file's data is in its temporary file, its checksum handed to the queue (finish): it
    // waits for the rename.
    void written(std::uint32_t index, std::uint64_t size, std::int64_t modified);
    void linked(PlannedFile& file);
    void fail(const std::string& path, CopySide side, const std::string& reason)
    {
        m_outcome.failures.push_back({path, side, reason});
    }
    void fail(const std::string& path, CopySide side, int error)
    {
        fail(path, side, errorText(error));
    }

    const CopyRequest& m_request;
    CopyPlan& m_plan;
    CopyOutcome& m_outcome;
    const long m_pid;
    bool m_cancelled = false;
    std::vector<bool> m_brokenFolders;  // could not be opened or made: their files are not
    std::vector<bool> m_enteredFolders; // whose times are set at the end

private:
    void copyFolderFiles(std::uint32_t folder, std::size_t& next);
    void finish();
    // Removes a new folder that cannot be put in place: what was linked into it fails too.
    void dropNewFolder(std::uint32_t folder);

    std::unique_ptr<DigestQueue> m_digests;
    bool m_yesToAll = false;
    std::vector<Pending> m_pending;
    // For each folder, the new folder made under a temporary name that holds it (itself
    // included), 0 where none does; and whether such a folder was put in place.
    std::vector<std::uint32_t> m_newRoot;
    std::vector<bool> m_placed;
};

} // namespace Os::detail
