#include "core/RunLock.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/TaskReasons.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

namespace {

constexpr int WaitMilliseconds = 5000;

} // namespace

RunLock::~RunLock()
{
    for (const Held& held : m_held)
        (void)Os::unlockFile(held.handle); // the lock goes with its file whatever close says
}

void RunLock::lock(const QString& folder)
{
    Os::FileState state;
    if (const int error = Os::fileState(toOsPath(folder), state))
        raiseError(ErrorNumber::PathFileAccessError, Text("Task", TaskReason::NotLookedAt)
                                                         .arg(folder)
                                                         .arg(fromOsText(Os::errorText(error))));
    if (state.kind == Os::FileState::Kind::Missing)
        return;
    for (const Held& held : m_held)
        if (held.device == state.device && held.inode == state.inode)
            return;
    const QString lockFile = QDir(QDir::tempPath())
                                 .filePath(QStringLiteral("zeb2000-%1-%2.lock")
                                               .arg(QString::number(state.device, 16),
                                                    QString::number(state.inode, 16)));
    QDeadlineTimer deadline(WaitMilliseconds);
    for (;;) {
        Os::LockHandle handle = 0;
        std::string holder;
        const int error = Os::tryLockFile(toOsPath(lockFile), handle, holder);
        if (error == 0) {
            m_held.push_back({state.device, state.inode, handle});
            return;
        }
        if (error != Os::ErrorLocked)
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Task", TaskReason::LockNotTaken)
                           .arg(folder)
                           .arg(lockFile)
                           .arg(fromOsText(Os::errorText(error))));
        if (deadline.hasExpired()) {
            const QString id = QString::fromLatin1(QByteArray::fromStdString(holder)).trimmed();
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Task", TaskReason::AnotherRun)
                           .arg(id.isEmpty() ? Text("Task", "unknown") : Text::verbatim(id))
                           .arg(folder));
        }
        QThread::msleep(100); // asked again until the wait is over: flock waits without end
    }
}
