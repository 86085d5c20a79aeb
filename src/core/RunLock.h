// One run at a time per ICQ folder and per backup folder: a backup, a restore or an undo holds
// the lock of each folder it changes, for the window and the command line alike. The lock is the
// system's, on a file in the temporary folder named by the folder's identity (its device and
// inode), so that every path to one folder meets the same lock and nothing is left in the user's
// folders; the system drops it when the run's process ends, however it ends.
#pragma once

#include "os/os.h"

#include <QString>

#include <vector>

class RunLock
{
public:
    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Holds the folder's lock until this object goes, waiting a few seconds for a run of another
    // process that holds it. Raises the runtime's error naming that process when it does not
    // end, or when the lock cannot be taken. A missing folder has nothing to guard; a folder
    // already held here is fine.
    void lock(const QString& folder);

private:
    struct Held
    {
        std::uint64_t device;
        std::uint64_t inode;
        Os::LockHandle handle;
    };
    std::vector<Held> m_held;
};
