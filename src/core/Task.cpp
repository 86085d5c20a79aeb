#include "core/Task.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/IcqDiscovery.h"
#include "core/LastBackup.h"
#include "core/RunLock.h"
#include "core/SetRecord.h"
#include "core/TargetChecks.h"
#include "core/TaskReasons.h"
#include "core/UndoSets.h"

#include <QScopeGuard>

#include <algorithm>

Task::Task(TaskSettings settings, ErrorSink& sink, TaskObserver& observer)
    : m_settings(std::move(settings)), m_sink(sink), m_observer(observer),
      m_lock(std::make_unique<RunLock>())
{}

Task::~Task() = default;

bool Task::refuse(TaskRefusal refusal, const Text& reason)
{
    m_result.refusal = refusal;
    m_result.reason = reason;
    // A set refused before the copy holds only its record: it goes.
    if (m_set) {
        std::string failed;
        if (const int error = removeSetFolder(
                toOsPath(withTrailingSeparator(m_settings.backupFolder) + m_set->name), failed))
            m_result.setFailure = Text("Task", TaskReason::EmptySetNotRemoved)
                                      .arg(m_set->folder)
                                      .arg(fromOsPath(failed))
                                      .arg(fromOsText(Os::errorText(error)));
        else
            m_result.setName.clear();
        m_set.reset();
    }
    recordBackup();
    return false;
}

// Every backup but a dry run leaves its record, refused or not, for the window's first page.
void Task::recordBackup()
{
    if (m_settings.direction != Direction::Backup || m_settings.dryRun)
        return;
    const TaskResult& r = m_result;
    LastBackup backup;
    backup.whenUtc = QDateTime::currentDateTimeUtc();
    backup.backupFolder = m_settings.backupFolder;
    backup.complete = r.succeeded();
    backup.scheduled = m_settings.scheduled;
    int notWhole = 0;
    for (const ComponentResult& done : std::as_const(r.components))
        notWhole += done.copied ? 0 : 1;
    // Recorded in English; the line of state shows it in the user's language.
    using namespace BackupFailure;
    const auto english = [](const char* failure) { return QString::fromLatin1(failure); };
    switch (r.refusal) {
    case TaskRefusal::IcqRunning:
        backup.failure = english(IcqRunning);
        break;
    case TaskRefusal::PathMissing:
    case TaskRefusal::FolderNotMade:
        backup.failure = english(FolderNotMade);
        break;
    case TaskRefusal::NothingToCopy:
        backup.failure = english(NothingToCopy);
        break;
    case TaskRefusal::NoRoom:
        backup.failure = english(NoRoom);
        break;
    case TaskRefusal::None:
        backup.failure = r.stopped        ? english(Stopped)
                         : notWhole > 0   ? english(NotWhole).arg(notWhole).arg(r.components.size())
                         : r.finishFailed ? english(NoManifest)
                         : !r.setFailure.isEmpty() ? r.setFailure.english()
                         : r.everythingCopied      ? QString()
                                                   : english(Kept);
        break;
    default: // the core's own words
        backup.failure = r.reason.english();
        break;
    }
    m_result.stateFailure = recordLastBackup(backup);
}

namespace {

// The steps every task takes first, unless it is a dry run: the ICQ-running question about the
// ICQ folder (the first), then the run lock of each folder it changes (one run at a time on
// each, the window's or the command line's). Answers None, or why the task ends, with the
// lock's words in `reason`.
TaskRefusal takeFolders(const QStringList& folders, bool dryRun, TaskObserver& observer,
                        RunLock& lock, Text& reason)
{
    if (dryRun)
        return TaskRefusal::None;
    if (isIcqRunningIn(folders.first()) && !observer.goOnWhileIcqRuns())
        return TaskRefusal::IcqRunning;
    try {
        for (const QString& folder : folders)
            lock.lock(folder);
    } catch (const RuntimeError& failure) {
        reason = failure.shown();
        return TaskRefusal::Locked;
    }
    return TaskRefusal::None;
}

} // namespace

bool Task::lockFolder(const QString& folder)
{
    if (m_settings.dryRun)
        return true;
    try {
        m_lock->lock(folder);
    } catch (const RuntimeError& failure) {
        return refuse(TaskRefusal::Locked, failure.shown());
    }
    return true;
}

// Its last name silently, a longer path only after a Yes, since a disk that is not mounted
// would otherwise have the backup land on the system disk.
bool Task::makeBackupFolder()
{
    const QString& folder = m_settings.backupFolder;
    TargetCreation made = ::makeBackupFolder(folder, false, m_settings.dryRun);
    if (made == TargetCreation::ParentMissing) {
        if (!m_observer.makeWholePath(folder))
            return refuse(TaskRefusal::PathMissing);
        made = ::makeBackupFolder(folder, true, m_settings.dryRun);
    }
    if (made == TargetCreation::Failed || made == TargetCreation::ParentMissing)
        return refuse(TaskRefusal::FolderNotMade);
    // A folder still to be made was not locked with the ICQ folder.
    return lockFolder(folder);
}

bool Task::chooseSets(RunPlan& plan)
{
    const QList<ComponentInSet> found =
        newestSetOfEachComponent(m_settings.programFolder, m_settings.backupFolder);
    auto& used = m_result.setsUsed;
    for (const Component& component : std::as_const(plan.components)) {
        const auto in = std::find_if(found.begin(), found.end(), [&](const ComponentInSet& f) {
            return f.component.folder == component.folder;
        });
        if (in == found.end())
            return refuse(TaskRefusal::NoSet, Text::verbatim(component.entryText()));
        plan.componentBackupFolders.insert(component.folder, in->set.folder);
        const auto set = std::find_if(used.begin(), used.end(),
                                      [&](const auto& u) { return u.first.name == in->set.name; });
        if (set == used.end())
            used.append({in->set, {component}});
        else
            set->second << component;
    }
    std::sort(used.begin(), used.end(),
              [](const auto& a, const auto& b) { return b.first.stamp < a.first.stamp; });
    if (!used.isEmpty())
        plan.backupFolder = used.first().first.folder;
    return true;
}

bool Task::prepare()
{
    const TaskSettings& s = m_settings;
    const bool backup = s.direction == Direction::Backup;
    if (backup && !s.everyComponent.isEmpty()) {
        const Text refusal = targetRefusal(
            checkBackupTarget(s.backupFolder, s.icqFolder, s.everyComponent), s.backupFolder);
        if (!refusal.isEmpty())
            return refuse(TaskRefusal::TargetRefused, refusal);
    }
    // The locks are held before the sets are read, so that a backup's pruning removes none of
    // them meanwhile.
    Text reason;
    if (const TaskRefusal refusal =
            takeFolders({s.icqFolder, s.backupFolder}, s.dryRun, m_observer, *m_lock, reason);
        refusal != TaskRefusal::None)
        return refuse(refusal, reason);

    RunPlan plan;
    plan.direction = s.direction;
    plan.icqFolder = s.icqFolder;
    plan.backupFolder = s.backupFolder;
    plan.components = s.components;
    plan.overwrite = s.overwrite;
    plan.copyUnchanged = s.copyUnchanged;
    plan.verify = s.verify;
    if (!backup && s.latest && !chooseSets(plan))
        return false;
    if (!backup && s.checkBackup && !s.dryRun) {
        QStringList folders;
        for (const Component& component : std::as_const(plan.components))
            if (!folders.contains(plan.backupFolderOf(component)))
                folders << plan.backupFolderOf(component);
        for (const QString& folder : std::as_const(folders)) {
            m_observer.checkingBackup([&] { m_result.check = checkBackupFolder(folder); });
            if (!m_result.check.passed() && !m_observer.restoreUnchecked(folder, m_result.check))
                return refuse(TaskRefusal::BackupUnchecked);
        }
    }
    // A dated set needs its folder before the room is weighed; a plain backup's folder is made
    // only once the room is known to be there.
    if (backup && (s.dated || s.dryRun) && !makeBackupFolder())
        return false;
    if (backup && s.dated) {
        // It links what the newest complete set holds unchanged.
        if (const std::optional<BackupSet> newest = newestCompleteBackupSet(s.backupFolder))
            plan.linkFrom = newest->folder;
        if (s.dryRun) {
            // Not made: its walk finds nothing there.
            plan.backupFolder = withTrailingSeparator(s.backupFolder + QStringLiteral("<new set>"));
        } else {
            try {
                m_set = beginBackupSet(s.backupFolder);
            } catch (const RuntimeError& failure) {
                return refuse(TaskRefusal::SetNotBegun, failure.shown());
            }
            plan.backupFolder = m_set->folder;
            m_result.setName = m_set->name;
        }
    }
    m_result.backupFolder = plan.backupFolder;
    if (plan.components.isEmpty())
        return refuse(TaskRefusal::NothingToCopy, Text::verbatim(plan.sourceFolder()));
    m_run = std::make_unique<BackupRun>(plan, m_sink, m_observer);
    if (s.dryRun)
        return true;
    const SpaceEstimate space = m_run->spaceEstimate();
    if (!space.fits() && !m_observer.goOnWithoutRoom(space.shortage(s.direction))) {
        m_run.reset();
        return refuse(TaskRefusal::NoRoom);
    }
    if (backup && !s.dated && !makeBackupFolder()) {
        m_run.reset();
        return false;
    }
    return true;
}

const TaskResult& Task::execute(const BackupRun::NextComponent& next,
                                const BackupRun::CopyStep& copy)
{
    // However the copy ends (a failure of its own included), a restore's undo set is closed so
    // that what was restored can be undone.
    const auto closed = qScopeGuard([this] { m_run->finish(false); });
    m_result.components = m_run->execute(next, copy);
    m_result.undoFolder = m_run->undoFolder();
    m_result.finishFailed = m_run->finishFailed();
    m_result.stopped = m_run->stopRequested();
    bool whole = !m_result.finishFailed && !m_result.stopped;
    for (const ComponentResult& done : std::as_const(m_result.components)) {
        whole = whole && done.copied && (!m_settings.keptFails || done.outcome.kept.empty());
        if (done.outcome.attributesLost)
            m_result.attributesLostIn << m_run->plan().targetFolder() + done.component.folder;
    }
    m_result.everythingCopied = whole;
    if (m_set)
        finishSet();
    recordBackup();
    return m_result;
}

const TaskResult& Task::execute()
{
    m_run->walk();
    const QList<Component> components = m_run->plan().components;
    qsizetype at = 0;
    return execute(
        [&]() -> std::optional<Component> {
            if (at == components.size())
                return std::nullopt;
            return components[at++];
        },
        [this](const Component& component) { return m_run->copyComponent(component); });
}

const TaskResult& Task::run()
{
    if (prepare() && !m_settings.dryRun)
        execute();
    return m_result;
}

// A dated set is complete only when everything was copied into it; old sets go only then, and
// never the one just made.
void Task::finishSet()
{
    BackupSet set = *m_set;
    m_set.reset();
    if (!m_result.everythingCopied)
        return;
    QStringList held;
    for (const ComponentResult& done : std::as_const(m_result.components))
        held << done.component.folder;
    try {
        markBackupSetComplete(set, held);
        m_result.setComplete = true;
        if (m_settings.keep >= 1)
            m_result.removedSets =
                pruneBackupSets(m_settings.backupFolder, m_settings.keep, set.name);
    } catch (const RuntimeError& failure) {
        m_result.setFailure = failure.shown();
    }
}

UndoTaskResult undoTask(const QString& icqFolder, bool keepNewer, bool dryRun,
                        TaskObserver& observer)
{
    UndoTaskResult result;
    RunLock lock;
    result.refusal = takeFolders({icqFolder}, dryRun, observer, lock, result.reason);
    if (result.refusal == TaskRefusal::None)
        result.outcome = undoNewestRestore(icqFolder, keepNewer, dryRun);
    return result;
}
