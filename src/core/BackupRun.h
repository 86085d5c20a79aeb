// The copy of a backup or a restore: the chosen components' folders copied from one side to the
// other, one component at a time, each through the OS layer's copier. A Task (core/Task.h)
// prepares and ends it; the window drives it entry by entry, the command line runs it whole. A
// front end answers the replace question and hears of progress through an observer.
#pragma once

#include "core/ComponentCatalogue.h"
#include "os/os.h"

#include <QHash>
#include <QList>

#include <QString>
#include <QStringList>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

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
    bool verify = true;         // read every copy back and compare it with its source
    // A backup into a new dated set: the newest earlier set, whose unchanged files the new one
    // hard-links instead of copying them again. Empty: copy everything that is not there.
    QString linkFrom;
    // A restore from dated sets: the backup folder of each component (by its folder) that does
    // not come from backupFolder.
    QHash<QString, QString> componentBackupFolders;

    // The side copied from and the side copied to.
    QString sourceFolder() const;
    QString targetFolder() const;
    // The folder on the backup side that holds the component's folder.
    QString backupFolderOf(const Component& component) const;
};

struct ComponentResult
{
    Component component;
    bool copied = false; // whole: every file in place, nothing failed, no stop
    Os::CopyOutcome outcome;
    const Os::CopyPlan* plan = nullptr; // each file and what became of it; the run owns it
};

// What a plan will add to its target side, against what is free there.
struct SpaceEstimate
{
    qint64 needed = 0;
    qint64 available = -1; // unknown
    QString targetFolder;
    bool fits() const { return available < 0 || needed <= available; }
    // "The backup needs …; … are free on …." for the question or the refusal.
    QString shortage(Direction direction) const;
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
    ~BackupRun();

    const RunPlan& plan() const { return m_plan; }

    // Walks the source and the target of every component of the plan once, unless done; what
    // it finds serves the room check, the progress, the undo record and the copy.
    void walk();
    // The room the copy needs at its peak: every new or replaced file is written beside the one
    // it replaces, which goes only when its component is done (or stays, kept for undo).
    SpaceEstimate spaceEstimate();
    // What the walk found for a component of the plan: each file new, replaced or unchanged.
    const Os::CopyPlan& plannedCopy(const Component& component) { return walkComponent(component); }

    // Copies one component, which need not be one of the plan's. A restore first keeps what it
    // will replace in the run's undo set; a component whose files cannot be kept is not copied.
    ComponentResult copyComponent(const Component& component);
    // Asked before each component: the next one to copy, or none once the run is to end.
    using NextComponent = std::function<std::optional<Component>()>;
    // Copies one component: copyComponent, on this thread or one the front end chose.
    using CopyStep = std::function<ComponentResult(const Component&)>;
    // Copies the components `next` answers, one after the other, until it answers none, a stop
    // is requested or a Cancel ends the run; then finishes the run.
    QList<ComponentResult> execute(const NextComponent& next, const CopyStep& copy);
    // The same over the plan's components, in their order, on this thread.
    QList<ComponentResult> execute();
    // Ends the run: closes a restore's undo set and, when everything was copied, removes the
    // undo sets beyond the newest five. Answers the undo set's folder, or an empty text.
    QString finish(bool everythingCopied);
    // The undo set of a finished restore, or an empty text.
    const QString& undoFolder() const { return m_undoFolder; }
    // Whether the end of the run failed (the manifest, the undo set's closing or pruning): what
    // was copied is there, but the run did not finish, whatever the components say.
    bool finishFailed() const { return m_finishFailed; }

    // Stops the copy as soon as it can, from any thread: the file being written is dropped,
    // those already written stay.
    void requestStop() { m_stop = true; }
    bool stopRequested() const { return m_stop; }

private:
    Os::CopyPlan& walkComponent(const Component& component);
    // Before a backup writes anything: the manifests it builds on, and the old one off the disk.
    void openManifest();
    // The manifests a backup builds on, opened once: each walk reads them beside its plan, and
    // the new one needs what the plans do not hold of the previous one.
    void loadManifests();
    // Each component walked, with its plan.
    QList<QPair<QString, const Os::CopyPlan*>> walkedPlans() const;

    RunPlan m_plan;
    ErrorSink& m_sink;
    RunObserver& m_observer;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<class UndoSet> m_undo;
    QString m_undoFolder;
    QList<Component> m_walked;        // the components whose plans are in m_plans
    std::deque<Os::CopyPlan> m_plans; // in the same order; a plan never moves
    // A backup's manifest: the one found (gone from the disk until the run is done), the one
    // of the set linked from, and the components whose files the new one will list.
    std::unique_ptr<class BackupManifest> m_previousManifest;
    std::unique_ptr<class BackupManifest> m_linkedManifest;
    QList<QPair<QString, const Os::CopyPlan*>> m_recorded;
    bool m_manifestOpen = false;
    bool m_stoppedOrCancelled = false;
    bool m_finishFailed = false;
};

// What a run's end says, in the same words in the window and on the command line: where a
// restore kept the files it replaced, and the targets whose file system dropped some modes or
// times (empty when none).
QString undoSetNote(const QString& undoFolder);
QString attributesLostNote(const QStringList& targetFolders);

// One line per file or folder that could not be copied, naming the side that failed: the first
// `limit` of them, then "and N more".
QStringList describeCopyFailures(const Os::CopyOutcome& outcome, int limit = 10);

// The bytes of the files below a folder, links followed as the copier follows them.
qint64 folderSize(const QString& folder);
