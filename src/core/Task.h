// A backup or a restore from its first step to its result, the one sequence the window and the
// command line both run: the target's rules, the ICQ-running question, the run lock, a restore's
// check of the backup, the backup folder made, a dated set begun, the room check, the copy, the
// manifest and the undo set, the set marked complete and the old ones pruned. A front end
// answers the questions through a TaskObserver and shows the one TaskResult in its own words.
#pragma once

#include "core/BackupManifest.h"
#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/Text.h"
#include "core/UndoSets.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

struct TaskSettings
{
    Direction direction = Direction::Backup;
    QString icqFolder;    // with its trailing separator
    QString backupFolder; // the folder named: a dated backup's sets, or a restore's, lie below it
    QList<Component> components; // the components to copy, or those to weigh when a front chooses
    // A backup: every component some plugin names, which the backup folder may not lie inside.
    QList<Component> everyComponent;
    bool overwrite = false;
    bool copyUnchanged = false;
    bool verify = true;
    // Files kept because nobody could be asked whether to replace them count as failures.
    bool keptFails = false;
    // A backup into a new dated set below the backup folder; then the complete sets beyond the
    // newest `keep` holding each component go (none when keep < 1).
    bool dated = false;
    int keep = 0;
    // A restore from dated sets: each component from the newest complete set that holds it.
    bool latest = false;
    QString programFolder; // where the plugin files are, for `latest`
    // A restore reads the backup back against its manifest first.
    bool checkBackup = false;
    // Nothing is changed: no lock, no folder, no set; the task stops before the copy with its
    // plan walked (Task::run() lists it) and answers the room without asking.
    bool dryRun = false;
    // A backup the weekly timer or task started: its record says so.
    bool scheduled = false;
};

class TaskObserver : public RunObserver
{
public:
    // Each answers whether to go on; a No ends the task with nothing copied.
    virtual bool goOnWhileIcqRuns() = 0;
    // The target lacks room: "The backup needs …; … are free on …."
    virtual bool goOnWithoutRoom(const QString& shortage) = 0;
    // The backup folder is missing, and the folder above it too (a disk not mounted?).
    virtual bool makeWholePath(const QString& backupFolder) = 0;
    // The backup to restore does not match its manifest, or cannot be checked.
    virtual bool restoreUnchecked(const QString& backupFolder, const BackupCheck& check) = 0;
    // Runs the check of a backup, on this thread or one the front end chose.
    virtual void checkingBackup(const std::function<void()>& check) { check(); }
};

// Why a task copied nothing.
enum class TaskRefusal {
    None,
    TargetRefused,   // the backup folder breaks a rule (reason)
    IcqRunning,      // the user would not go on while ICQ runs
    Locked,          // another run holds a folder (reason)
    NoSet,           // latest: no complete dated set holds the components
    BackupUnchecked, // the user would not restore a backup that failed its check
    PathMissing,     // the user would not have the whole path made
    FolderNotMade,   // the backup folder could not be made
    SetNotBegun,     // the dated set could not be started (reason)
    NothingToCopy,
    NoRoom, // the user would not go on without room
};

struct TaskResult
{
    TaskRefusal refusal = TaskRefusal::None;
    Text reason; // the refusal in the core's words, where it has them
    // What the run copied into or from: a dated set's folder, or the backup folder.
    QString backupFolder;
    QList<ComponentResult> components;
    QString undoFolder;           // a restore's undo set
    QStringList attributesLostIn; // target folders whose file system dropped modes or times
    bool finishFailed = false;    // the manifest or the undo set failed after the copy
    bool stopped = false;         // a stop was asked for
    BackupCheck check;            // a restore's check of the backup, when asked for
    // A dated backup: the set made (empty when none), whether it is complete, the old sets
    // removed, and a failure of the set's own steps (its record, the pruning, an empty set that
    // stayed), or empty.
    QString setName;
    bool setComplete = false;
    QStringList removedSets;
    Text setFailure;
    // A restore from dated sets: each set used, newest first, with the components it gave.
    QList<QPair<BackupSet, QList<Component>>> setsUsed;
    // A backup's record of how it went (see LastBackup.h) could not be written: why, or empty.
    Text stateFailure;

    // Every component the run reached was copied whole (no file kept that counts as failed)
    // and the run ended as it should.
    bool everythingCopied = false;
    // That, and nothing refused or failed before or after the copy.
    bool succeeded() const
    {
        return refusal == TaskRefusal::None && everythingCopied && setFailure.isEmpty();
    }
};

class Task
{
public:
    Task(TaskSettings settings, ErrorSink& sink, TaskObserver& observer);
    ~Task();

    // The steps before the copy; false when the task ends there, result() saying why.
    bool prepare();
    // Copies the components `next` answers on `copy` (see BackupRun::execute), then ends: the
    // manifest, the undo set, the dated set. prepare() must have answered true.
    const TaskResult& execute(const BackupRun::NextComponent& next,
                              const BackupRun::CopyStep& copy);
    // The settings' components in their order, on this thread.
    const TaskResult& execute();
    // prepare() and execute().
    const TaskResult& run();

    const TaskResult& result() const { return m_result; }
    // The copy, once prepare() got that far: its plans, its stop.
    BackupRun* copy() { return m_run.get(); }
    const TaskSettings& settings() const { return m_settings; }

private:
    bool refuse(TaskRefusal refusal, const Text& reason = {});
    bool lockFolder(const QString& folder);
    bool makeBackupFolder();
    bool chooseSets(RunPlan& plan);
    void finishSet();
    void recordBackup();

    TaskSettings m_settings;
    ErrorSink& m_sink;
    TaskObserver& m_observer;
    TaskResult m_result;
    std::unique_ptr<class RunLock> m_lock;
    std::unique_ptr<BackupRun> m_run;
    std::optional<BackupSet> m_set;
};

// An undo of the newest restore (see undoNewestRestore) after the steps every task takes
// first: the ICQ-running question and the ICQ folder's run lock; a dry run takes neither.
struct UndoTaskResult
{
    TaskRefusal refusal = TaskRefusal::None; // IcqRunning or Locked: nothing was put back
    Text reason;
    UndoOutcome outcome;
};
UndoTaskResult undoTask(const QString& icqFolder, bool keepNewer, bool dryRun,
                        TaskObserver& observer);
