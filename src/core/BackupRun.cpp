#include "core/BackupRun.h"

#include "core/FileCopier.h"

#include <QDirIterator>
#include <QFileInfo>

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
{}

ComponentResult BackupRun::copyComponent(const Component& component)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    FileCopier copier(m_sink);
    copier.setSource(m_plan.sourceFolder() + component.folder + separator);
    copier.setTarget(m_plan.targetFolder() + component.folder + separator);
    copier.setOverwrite(m_plan.overwrite);
    copier.setCopyUnchanged(m_plan.copyUnchanged);
    copier.askReplace = [this](const QString& file) { return m_observer.askReplace(file); };
    qint64 done = 0;
    copier.onProgress = [this, &done](qint64 bytes) {
        done += bytes;
        m_observer.componentProgress(done);
    };
    m_observer.componentStarted(component, folderSize(copier.source()));

    ComponentResult result{component, copier.perform(m_plan.ownerWindow), copier.outcome()};
    m_observer.componentFinished(result);
    return result;
}

QList<ComponentResult> BackupRun::execute()
{
    QList<ComponentResult> results;
    for (const Component& component : m_plan.components) {
        results << copyComponent(component);
        if (results.last().outcome.cancelled)
            break;
    }
    return results;
}

qint64 folderSize(const QString& folder)
{
    qint64 bytes = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (files.hasNext()) {
        files.next();
        bytes += files.fileInfo().size();
    }
    return bytes;
}
