#include "core/BackupRun.h"

#include "core/BackupManifest.h"
#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/SizeFormat.h"
#include "core/Trap.h"
#include "core/UndoSets.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

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

QString RunPlan::backupFolderOf(const Component& component) const
{
    return componentBackupFolders.value(component.folder, backupFolder);
}

namespace {

// Two plugin files may name one folder, in any letter case: it is copied once, under the first.
bool sameFolder(const Component& a, const Component& b)
{
    return a.folder.compare(b.folder, Qt::CaseInsensitive) == 0;
}

} // namespace

BackupRun::BackupRun(RunPlan plan, ErrorSink& sink, RunObserver& observer)
    : m_plan(std::move(plan)), m_sink(sink), m_observer(observer)
{
    QList<Component> once;
    for (const Component& component : std::as_const(m_plan.components))
        if (std::none_of(once.begin(), once.end(),
                         [&](const Component& c) { return sameFolder(c, component); }))
            once << component;
    m_plan.components = once;
    if (m_plan.direction == Direction::Restore)
        m_undo = std::make_unique<UndoSet>(m_plan.icqFolder);
}

BackupRun::~BackupRun() = default;

namespace {

// A component's folder is copied whole.
const QString EveryFile = QStringLiteral("*.*");

// The copy of one component's folder, as the Os layer's copier takes it.
Os::CopyRequest copyRequest(const RunPlan& plan, const Component& component)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    const QString backupSide = plan.backupFolderOf(component);
    const bool backup = plan.direction == Direction::Backup;
    Os::CopyRequest request;
    request.from =
        toOsPath((backup ? plan.icqFolder : backupSide) + component.folder + separator + EveryFile);
    request.to = toOsPath((backup ? backupSide : plan.icqFolder) + component.folder + separator);
    request.overwrite = plan.overwrite;
    request.copyUnchanged = plan.copyUnchanged;
    request.compareContent = !backup;
    if (backup && !plan.linkFrom.isEmpty())
        request.linkFrom =
            toOsPath(withTrailingSeparator(plan.linkFrom) + component.folder + separator);
    request.verify = plan.verify;
    return request;
}

} // namespace

Os::CopyPlan& BackupRun::walkComponent(const Component& component)
{
    const qsizetype known = m_walked.indexOf(component);
    if (known >= 0)
        return m_plans[std::size_t(known)];
    m_plans.emplace_back();
    m_walked << component;
    Os::planCopy(copyRequest(m_plan, component), m_plans.back());
    if (m_plan.direction == Direction::Backup) {
        loadManifests();
        copyWhatIsNotRecorded(m_plans.back(), component.folder, *m_previousManifest,
                              *m_linkedManifest);
    }
    return m_plans.back();
}

void BackupRun::walk()
{
    for (const Component& component : m_plan.components)
        walkComponent(component);
}

namespace {

// The file system a folder is on; a folder not made yet is on its nearest one that exists.
QStorageInfo storageOf(const QString& path)
{
    QFileInfo folder(path);
    while (!folder.exists() && !folder.isRoot() && folder.filePath() != folder.path())
        folder.setFile(folder.path());
    return QStorageInfo(folder.filePath());
}

} // namespace

SpaceEstimate BackupRun::spaceEstimate()
{
    walk();
    // A component's folder may be a link to another disk: each file system is weighed on its
    // own, and the first that lacks room is the one reported.
    struct Weighed
    {
        QByteArray device;
        SpaceEstimate estimate;
        qint64 held = 0;
    };
    std::vector<Weighed> systems;
    const auto weigh = [&systems](const QString& folder) -> std::size_t {
        const QStorageInfo storage = storageOf(folder);
        const QByteArray device = storage.isValid()
                                      ? storage.device() + '\0' + storage.rootPath().toUtf8()
                                      : folder.toUtf8();
        for (std::size_t at = 0; at < systems.size(); ++at)
            if (systems[at].device == device)
                return at;
        Weighed& added = systems.emplace_back();
        added.device = device;
        added.estimate.targetFolder = folder;
        if (storage.isValid())
            added.estimate.available = storage.bytesAvailable();
        return systems.size() - 1;
    };
    const std::size_t undoSystem = weigh(m_plan.targetFolder());
    // Components are copied one after the other: a backup frees what a component replaced once
    // the component is done; a restore keeps it for undo.
    for (qsizetype at = 0; at < m_walked.size(); ++at) {
        const Os::CopyPlan& plan = m_plans[std::size_t(at)];
        const std::size_t target = weigh(m_plan.targetFolder() + m_walked[at].folder);
        // Before the copy, the undo set keeps what it replaces: a hard link costs nothing, but
        // where there is none to be had (FAT, or the component on another disk) the copies
        // take room beside the set first.
        const bool keptAsCopies =
            m_plan.direction == Direction::Restore && (plan.coarseTimes || target != undoSystem);
        if (keptAsCopies) {
            Weighed& undo = systems[undoSystem];
            undo.held += qint64(plan.bytesReplaced);
            undo.estimate.needed = qMax(undo.estimate.needed, undo.held);
        }
        Weighed& system = systems[target];
        const qint64 written = qint64(plan.bytesToWrite());
        system.estimate.needed = qMax(system.estimate.needed, system.held + written);
        system.held += written;
        if (m_plan.direction == Direction::Backup || keptAsCopies)
            system.held -= qint64(plan.bytesReplaced);
    }
    for (const Weighed& system : systems)
        if (!system.estimate.fits())
            return system.estimate;
    return systems.front().estimate;
}

QString SpaceEstimate::shortage(Direction direction) const
{
    return (direction == Direction::Backup
                ? Text("Task", "The backup needs %1; %2 are free on %3.")
                : Text("Task", "The restore needs %1; %2 are free on %3."))
        .arg(formatSize(needed))
        .arg(formatSize(available))
        .arg(targetFolder)
        .toString();
}

ComponentResult BackupRun::copyComponent(const Component& component)
{
    Os::CopyRequest request = copyRequest(m_plan, component);
    const QString source = fromOsPath(request.from);
    const QString target = fromOsPath(request.to);
    request.stop = &m_stop;
    request.askReplace = [this](const std::string& file) {
        return m_observer.askReplace(fromOsPath(file));
    };
    qint64 done = 0;
    request.onProgress = [this, &done](std::uint64_t bytes) {
        done += qint64(bytes);
        m_observer.componentProgress(done);
    };
    ComponentResult result{component, false, {}};
    const bool prepared =
        runTrapped(m_sink, QStringLiteral("BackupRun.Walk [") + source + QStringLiteral("]"), [&] {
            Os::CopyPlan& plan = walkComponent(component);
            m_observer.componentStarted(component, qint64(plan.totalBytes()));
            openManifest();
        });
    if (!prepared) {
        m_observer.componentFinished(result);
        return result;
    }
    Os::CopyPlan& plan = walkComponent(component);
    result.plan = &plan;
    // Nothing of ICQ's may be lost to a restore: what cannot be kept is not replaced.
    const bool kept =
        !m_undo ||
        runTrapped(m_sink, QStringLiteral("BackupRun.KeepForUndo [") + target + QStringLiteral("]"),
                   [&] { m_undo->prepare(plan, component.folder); });
    if (kept) {
        bool copied = false;
        runTrapped(m_sink,
                   QStringLiteral("BackupRun.Copy [") + source + QStringLiteral("] -> [") + target +
                       QStringLiteral("]"),
                   [&] { copied = Os::copyFolder(request, plan, result.outcome); });
        // A stop or a Cancel leaves the component part done, whatever else went right.
        result.copied = copied && !result.outcome.cancelled;
        m_stoppedOrCancelled = m_stoppedOrCancelled || result.outcome.cancelled || m_stop;
        // The undo set notes each file as the copy left it, so that an undo knows what changed
        // after the restore.
        if (m_undo && !runTrapped(m_sink, QStringLiteral("BackupRun.RecordForUndo"),
                                  [&] { m_undo->componentCopied(); }))
            result.copied = false;
        if (m_manifestOpen && !m_stoppedOrCancelled)
            runTrapped(m_sink,
                       QStringLiteral("BackupRun.RecordManifest [") + target + QStringLiteral("]"),
                       [&] {
                           completeChecksums(plan);
                           m_recorded << qMakePair(component.folder, &plan);
                       });
    }
    m_observer.componentFinished(result);
    return result;
}

void BackupRun::openManifest()
{
    if (m_manifestOpen || m_plan.direction != Direction::Backup)
        return;
    loadManifests();
    // A later version's manifest is neither removed nor rewritten without its records.
    if (!m_previousManifest->refusal().isEmpty())
        raiseError(ErrorNumber::PathFileAccessError,
                   Text("Task", "The manifest in %1 names an %2: a later version of ZEB 2000 "
                                "made this backup; back up with that version, or into another "
                                "folder.")
                       .arg(m_plan.backupFolder)
                       .arg(m_previousManifest->refusal()));
    m_manifestOpen = true;
    retainUnplanned(*m_previousManifest, walkedPlans());
    // Until the run is done the folder has no manifest: one that dies half-way leaves a backup
    // that `check` calls incomplete, not one that claims the old state.
    BackupManifest::discard(m_plan.backupFolder);
}

void BackupRun::loadManifests()
{
    if (m_previousManifest)
        return;
    m_previousManifest = std::make_unique<BackupManifest>();
    m_linkedManifest = std::make_unique<BackupManifest>();
    m_previousManifest->open(m_plan.backupFolder);
    if (!m_plan.linkFrom.isEmpty())
        m_linkedManifest->open(m_plan.linkFrom);
}

QList<QPair<QString, const Os::CopyPlan*>> BackupRun::walkedPlans() const
{
    PlannedComponents walked;
    for (qsizetype at = 0; at < m_walked.size(); ++at)
        walked << qMakePair(m_walked[at].folder, &m_plans[std::size_t(at)]);
    return walked;
}

QList<ComponentResult> BackupRun::execute(const NextComponent& next, const CopyStep& copy)
{
    QList<ComponentResult> results;
    bool everythingCopied = true;
    while (!m_stop) {
        const std::optional<Component> component = next();
        if (!component || m_stop)
            break;
        if (std::any_of(results.begin(), results.end(), [&](const ComponentResult& done) {
                return sameFolder(done.component, *component);
            }))
            continue;
        results << copy(*component);
        everythingCopied = everythingCopied && results.last().copied;
        if (results.last().outcome.cancelled)
            break;
    }
    finish(everythingCopied && !m_stoppedOrCancelled && !m_stop);
    return results;
}

QList<ComponentResult> BackupRun::execute()
{
    walk();
    qsizetype at = 0;
    return execute(
        [this, &at]() -> std::optional<Component> {
            if (at == m_plan.components.size())
                return std::nullopt;
            return m_plan.components[at++];
        },
        [this](const Component& component) { return copyComponent(component); });
}

QString BackupRun::finish(bool everythingCopied)
{
    // The manifest is the backup's last step, written only for a run that went to its end.
    if (m_manifestOpen && !m_stoppedOrCancelled && !m_stop &&
        QFileInfo(m_plan.backupFolder).isDir() &&
        !runTrapped(
            m_sink,
            QStringLiteral("BackupRun.WriteManifest [") + m_plan.backupFolder + QStringLiteral("]"),
            [&] {
                writeManifest(m_plan.backupFolder, *m_previousManifest, m_recorded, walkedPlans());
            }))
        m_finishFailed = true;
    m_manifestOpen = false;
    m_recorded.clear();
    if (!m_undo)
        return m_undoFolder;
    const bool closed = runTrapped(m_sink, QStringLiteral("BackupRun.Finish"), [&] {
        m_undoFolder = m_undo->close();
        if (everythingCopied) {
            const QList<Text> left =
                pruneUndoSets(m_plan.icqFolder, UndoSetsKept, QFileInfo(m_undoFolder).fileName());
            if (!left.isEmpty())
                raiseError(ErrorNumber::PathFileAccessError,
                           Text("Task", "Old undo sets could not be removed: %1")
                               .arg(Text::joined(left, QStringLiteral("; "))));
        }
    });
    m_finishFailed = m_finishFailed || !closed;
    m_undo.reset();
    return m_undoFolder;
}

QString undoSetNote(const QString& undoFolder)
{
    return Text("Task", "The previous files were kept in %1.").arg(undoFolder).toString();
}

QString attributesLostNote(const QStringList& targetFolders)
{
    if (targetFolders.isEmpty())
        return QString();
    return Text("Task", "The files were copied, but the file system of %1 does not keep the "
                        "modes or times of some of them.")
        .arg(targetFolders.join(QStringLiteral(", ")))
        .toString();
}

QStringList describeCopyFailures(const Os::CopyOutcome& outcome, int limit)
{
    QStringList lines;
    for (const Os::CopyFailure& failure : outcome.failures) {
        if (lines.size() == limit) {
            lines << Text("Task", "and %1 more")
                         .arg(qint64(outcome.failures.size() - size_t(limit)))
                         .toString();
            break;
        }
        lines << (failure.side == Os::CopySide::Source ? Text("Task", "Cannot read %1: %2")
                                                       : Text("Task", "Cannot write %1: %2"))
                     .arg(fromOsPath(failure.path))
                     .arg(fromOsText(failure.reason))
                     .toString();
    }
    return lines;
}

qint64 folderSize(const QString& folder)
{
    Os::CopyRequest request;
    request.from = toOsPath(withTrailingSeparator(resolvedPath(folder)) + QStringLiteral("*.*"));
    Os::CopyPlan plan;
    Os::planCopy(request, plan);
    return qint64(plan.totalBytes());
}
