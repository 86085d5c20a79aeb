#include "core/BackupRun.h"

#include "core/ErrorObject.h"
#include "core/FileCopier.h"
#include "core/FolderUtilities.h"
#include "core/Trap.h"
#include "core/UndoSets.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// How many undo sets an ICQ folder keeps after a restore that copied everything.
constexpr int UndoSetsKept = 5;

} // namespace

QString RunPlan::sourceFolder() const
{
    return direction == Direction::Backup ? icqFolder : backupFolder;
}

QString RunPlan::targetFolder() const
{
    return direction == Direction::Backup ? backupFolder : icqFolder;
}

BackupRun::BackupRun(RunPlan plan, ErrorSink& sink, RunObserver& observer)
    : m_plan(std::move(plan)), m_sink(sink), m_observer(observer)
{
    if (m_plan.direction == Direction::Restore)
        m_undo = std::make_unique<UndoSet>(m_plan.icqFolder);
}

BackupRun::~BackupRun() = default;

ComponentResult BackupRun::copyComponent(const Component& component)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    FileCopier copier(m_sink);
    copier.setSource(m_plan.sourceFolder() + component.folder + separator);
    copier.setTarget(m_plan.targetFolder() + component.folder + separator);
    copier.setOverwrite(m_plan.overwrite);
    copier.setCopyUnchanged(m_plan.copyUnchanged);
    copier.setVerify(m_plan.verify);
    copier.setStopFlag(&m_stop);
    copier.askReplace = [this](const QString& file) { return m_observer.askReplace(file); };
    qint64 done = 0;
    copier.onProgress = [this, &done](qint64 bytes) {
        done += bytes;
        m_observer.componentProgress(done);
    };
    m_observer.componentStarted(component, folderSize(copier.source()));

    ComponentResult result{component, false, {}};
    // Nothing of ICQ's may be lost to a restore: what cannot be kept is not replaced.
    const bool kept =
        !m_undo ||
        runTrapped(
            m_sink,
            QStringLiteral("BackupRun.KeepForUndo [") + copier.target() + QStringLiteral("]"),
            [&] { m_undo->prepare(copier.source(), component.folder, m_plan.copyUnchanged); });
    if (kept) {
        result.copied = copier.perform(m_plan.ownerWindow);
        result.outcome = copier.outcome();
        // The undo set notes each file as the copy left it, so that an undo knows what changed
        // after the restore.
        if (m_undo && !runTrapped(m_sink, QStringLiteral("BackupRun.RecordForUndo"),
                                  [&] { m_undo->componentCopied(); }))
            result.copied = false;
    }
    m_observer.componentFinished(result);
    return result;
}

QList<ComponentResult> BackupRun::execute()
{
    QList<ComponentResult> results;
    bool everythingCopied = true;
    for (const Component& component : m_plan.components) {
        if (m_stop)
            break;
        results << copyComponent(component);
        everythingCopied = everythingCopied && results.last().copied;
        if (results.last().outcome.cancelled)
            break;
    }
    finish(everythingCopied && results.size() == m_plan.components.size());
    return results;
}

QString BackupRun::finish(bool everythingCopied)
{
    if (!m_undo)
        return m_undoFolder;
    runTrapped(m_sink, QStringLiteral("BackupRun.Finish"), [&] {
        m_undoFolder = m_undo->close();
        if (everythingCopied) {
            const QStringList left =
                pruneUndoSets(m_plan.icqFolder, UndoSetsKept, QFileInfo(m_undoFolder).fileName());
            if (!left.isEmpty())
                raiseError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("Old undo sets could not be removed: ") +
                               left.join(QStringLiteral("; ")));
        }
    });
    m_undo.reset();
    return m_undoFolder;
}

qint64 folderSize(const QString& folder)
{
    qint64 bytes = 0;
    QDirIterator files(resolvedPath(folder), QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (files.hasNext()) {
        files.next();
        bytes += files.fileInfo().size();
    }
    return bytes;
}

SpaceEstimate estimateSpace(const RunPlan& plan)
{
    SpaceEstimate estimate;
    estimate.targetFolder = plan.targetFolder();
    for (const Component& component : plan.components) {
        const QString source = resolvedPath(plan.sourceFolder() + component.folder);
        const QString target = plan.targetFolder() + component.folder;
        QDirIterator files(source, QDir::Files | QDir::Hidden | QDir::System,
                           QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (files.hasNext()) {
            files.next();
            const QFileInfo existing(resolvedPath(target + QLatin1Char(Os::PathSeparator) +
                                                  QDir(source).relativeFilePath(files.filePath())));
            const qint64 size = files.fileInfo().size();
            if (!existing.isFile())
                estimate.needed += size;
            else if (plan.copyUnchanged || existing.size() != size ||
                     qAbs(existing.lastModified().msecsTo(files.fileInfo().lastModified())) >= 2000)
                estimate.needed += size - existing.size();
        }
    }
    // The target may not exist yet: its nearest folder that does tells the file system.
    QFileInfo folder(estimate.targetFolder);
    while (!folder.exists() && !folder.isRoot() && folder.filePath() != folder.path())
        folder.setFile(folder.path());
    const QStorageInfo storage(folder.filePath());
    if (storage.isValid())
        estimate.available = storage.bytesAvailable();
    return estimate;
}

QString sizeText(qint64 bytes)
{
    const double value = double(bytes);
    if (value >= 1e9)
        return QString::number(value / 1e9, 'f', 1) + QStringLiteral(" GB");
    if (value >= 1e6)
        return QString::number(value / 1e6, 'f', 0) + QStringLiteral(" MB");
    return QString::number(value / 1e3, 'f', 0) + QStringLiteral(" KB");
}
