// A backup or a restore: the chosen components' folders copied from one side to the other, one
// component at a time. The window drives it entry by entry; the command line runs it whole. A
// front end answers the replace question and hears of progress through an observer.
#pragma once

#include "core/ComponentCatalogue.h"
#include "os/os.h"

#include <QList>
#include <QString>

class ErrorSink;

enum class Direction { Backup, Restore };

struct RunPlan
{
    Direction direction = Direction::Backup;
    QString icqFolder; // each with its trailing separator
    QString backupFolder;
    QList<Component> components;
    bool overwrite = false;     // replace existing files without asking
    bool copyUnchanged = false; // copy even files the target holds in the same size and time
    qintptr ownerWindow = 0;    // owns the dialogs of the Windows shell's copy

    // The side copied from and the side copied to.
    QString sourceFolder() const;
    QString targetFolder() const;
};

struct ComponentResult
{
    Component component;
    bool copied = false;
    Os::CopyOutcome outcome;
};

class RunObserver
{
public:
    virtual ~RunObserver() = default;
    // Asked before an existing file is replaced, unless the plan overwrites.
    virtual Os::ReplaceAnswer askReplace(const QString& targetFile) = 0;
    virtual void componentStarted(const Component& component, qint64 bytesToCopy)
    {
        Q_UNUSED(component);
        Q_UNUSED(bytesToCopy);
    }
    // Bytes done of the current component since it started.
    virtual void componentProgress(qint64 bytesDone) { Q_UNUSED(bytesDone); }
    virtual void componentFinished(const ComponentResult& result) { Q_UNUSED(result); }
};

class BackupRun
{
public:
    BackupRun(RunPlan plan, ErrorSink& sink, RunObserver& observer);

    const RunPlan& plan() const { return m_plan; }

    // Copies one component, which need not be one of the plan's.
    ComponentResult copyComponent(const Component& component);
    // Copies every component of the plan, in its order.
    QList<ComponentResult> execute();

private:
    RunPlan m_plan;
    ErrorSink& m_sink;
    RunObserver& m_observer;
};

// The bytes of the files below a folder, links followed as the copier follows them.
qint64 folderSize(const QString& folder);
