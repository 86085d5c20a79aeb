// The commands of zeb2000-cli, each on the core the window uses too, and their table.
#include "cli/CommandLine.h"
#include "cli/FileList.h"
#include "cli/RunProgress.h"
#include "cli/Signals.h"
#include "core/BackupManifest.h"
#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/ComponentCatalogue.h"
#include "core/ErrorSink.h"
#include "core/FolderUtilities.h"
#include "core/IcqDiscovery.h"
#include "core/SizeFormat.h"
#include "core/Task.h"
#include "core/UinCatalogue.h"
#include "core/UndoSets.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>
#include <csignal>
#include <functional>
#include <optional>

namespace {

const QString Prefix = QStringLiteral("zeb2000-cli: ");

QString nativeFolder(const QString& path)
{
    return withTrailingSeparator(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

// Failures the program did not expect: told, and the component they hit counts as failed.
class ConsoleSink final : public ErrorSink
{
public:
    explicit ConsoleSink(Console& console) : m_console(console) {}
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        m_console.printError(Prefix + QStringLiteral("error %1: %2 (in %3)")
                                          .arg(error.number)
                                          .arg(error.description, procedure));
    }

private:
    Console& m_console;
};

// The ICQ folder of the command, with its trailing separator, or none (told) when there is no
// ICQ installation there. Named with --icq, the registry is not read at all.
std::optional<QString> findIcqFolder(CommandContext& context)
{
    Console& console = context.console;
    QString folder;
    if (context.options.icqFolder.isEmpty()) {
        QString notice;
        folder = icqFolderFromRegistry([&notice](const QString& text) { notice = text; });
        if (!notice.isEmpty() || folder.isEmpty() || folder == NoRegistryValueText) {
            console.printError(Prefix +
                               (!notice.isEmpty()  ? notice
                                : folder.isEmpty() ? QStringLiteral("ICQ's registry settings "
                                                                    "name no ICQ folder.")
                                                   : folder) +
                               QStringLiteral(" Name the ICQ folder with --icq."));
            return std::nullopt;
        }
    } else {
        folder = nativeFolder(context.options.icqFolder);
    }
    folder = withTrailingSeparator(folder);
    bool installed = false;
    try {
        installed = !listMatchingFiles(folder + QStringLiteral("icq.exe")).isEmpty();
    } catch (const RuntimeError&) {
    }
    if (!installed) {
        console.printError(Prefix +
                           QStringLiteral("no ICQ installation in %1 (no icq.exe)").arg(folder));
        return std::nullopt;
    }
    return folder;
}

// The components to copy: those offered on the source side, or the ones named.
std::optional<QList<Component>> chooseComponents(CommandContext& context,
                                                 const QList<Component>& offered,
                                                 const QString& sourceFolder)
{
    if (context.options.components.isEmpty())
        return offered;
    QList<Component> chosen;
    for (const QString& wanted : context.options.components) {
        const auto match = std::find_if(offered.begin(), offered.end(), [&](const Component& c) {
            return c.name.compare(wanted, Qt::CaseInsensitive) == 0 ||
                   c.folder.compare(QDir::toNativeSeparators(wanted), Qt::CaseInsensitive) == 0;
        });
        if (match == offered.end()) {
            context.console.printError(Prefix + QStringLiteral("no component \"%1\" in %2; "
                                                               "\"list\" shows those there")
                                                    .arg(wanted, sourceFolder));
            return std::nullopt;
        }
        if (!chosen.contains(*match))
            chosen << *match;
    }
    return chosen;
}

QJsonObject componentReport(const ComponentResult& result)
{
    QJsonArray kept;
    for (const std::string& file : result.outcome.kept)
        kept << fromOsPath(file);
    QJsonArray failures;
    for (const Os::CopyFailure& failure : result.outcome.failures)
        failures << QJsonObject{{QStringLiteral("path"), fromOsPath(failure.path)},
                                {QStringLiteral("side"), failure.side == Os::CopySide::Source
                                                             ? QStringLiteral("source")
                                                             : QStringLiteral("target")},
                                {QStringLiteral("reason"), fromOsText(failure.reason)}};
    return {{QStringLiteral("name"), result.component.name},
            {QStringLiteral("folder"), result.component.folder},
            {QStringLiteral("copied"), result.copied},
            {QStringLiteral("files"), qint64(result.outcome.filesCopied)},
            {QStringLiteral("bytes"), qint64(result.outcome.bytesCopied)},
            {QStringLiteral("unchanged"), qint64(result.outcome.filesUnchanged)},
            {QStringLiteral("kept"), kept},
            {QStringLiteral("failures"), failures}};
}

// The one line a log keeps of a run: what, where, how much and how long.
QString summaryLine(const RunPlan& plan, const QList<ComponentResult>& results, qint64 ms)
{
    quint64 files = 0;
    quint64 bytes = 0;
    quint64 unchanged = 0;
    quint64 kept = 0;
    int whole = 0;
    for (const ComponentResult& result : results) {
        files += result.outcome.filesCopied;
        bytes += result.outcome.bytesCopied;
        unchanged += result.outcome.filesUnchanged;
        kept += result.outcome.kept.size();
        whole += result.copied ? 1 : 0;
    }
    const bool backup = plan.direction == Direction::Backup;
    return QStringLiteral("%1 %2 %3 %4: %5 of %6 components copied whole, %7 files (%8) copied, "
                          "%9 unchanged, %10 kept, in %11 s.")
        .arg(backup ? QStringLiteral("Backup into") : QStringLiteral("Restore from"),
             plan.backupFolder, backup ? QStringLiteral("from") : QStringLiteral("into"),
             plan.icqFolder, QString::number(whole), QString::number(results.size()),
             QString::number(files), formatSize(qint64(bytes)), QString::number(unchanged),
             QString::number(kept), QString::number(double(ms) / 1000.0, 'f', 1));
}

// Lists what the run would do, file by file, and the room it needs; changes nothing. Answers 1
// when the room is not there, as the run itself would stop.
int dryRun(CommandContext& context, BackupRun& run)
{
    Console& console = context.console;
    const bool quiet = context.options.quiet || context.options.json;
    const SpaceEstimate space = run.spaceEstimate();
    QJsonArray components;
    quint64 files = 0;
    quint64 bytes = 0;
    for (const Component& component : run.plan().components) {
        const Os::CopyPlan& plan = run.plannedCopy(component);
        if (!quiet)
            console.print(component.entryText() + u':');
        QJsonArray list;
        listFiles(console, plan, component.folder, FileListing::Planned, quiet, &list);
        components << QJsonObject{{QStringLiteral("name"), component.name},
                                  {QStringLiteral("folder"), component.folder},
                                  {QStringLiteral("files"), list}};
        files += plan.filesToWrite();
        bytes += plan.bytesToWrite();
        for (const Os::CopyFailure& failure : plan.failures)
            console.printError(Prefix +
                               QStringLiteral("cannot read %1: %2")
                                   .arg(fromOsPath(failure.path), fromOsText(failure.reason)));
    }
    context.report.insert(QStringLiteral("dryRun"), true);
    context.report.insert(QStringLiteral("source"), run.plan().sourceFolder());
    context.report.insert(QStringLiteral("target"), run.plan().targetFolder());
    context.report.insert(QStringLiteral("components"), components);
    context.report.insert(QStringLiteral("room"),
                          QJsonObject{{QStringLiteral("needed"), space.needed},
                                      {QStringLiteral("available"), space.available},
                                      {QStringLiteral("fits"), space.fits()}});
    if (!space.fits()) {
        console.printError(Prefix + space.shortage(run.plan().direction));
        return ExitSomethingFailed;
    }
    if (!quiet)
        console.print(
            QStringLiteral("Dry run: %1 files (%2) to write, %3 needed, %4 free on %5. "
                           "Nothing was changed.")
                .arg(files)
                .arg(formatSize(qint64(bytes)), formatSize(space.needed),
                     space.available < 0 ? QStringLiteral("unknown") : formatSize(space.available),
                     space.targetFolder));
    return ExitSuccess;
}

// The exit code of a task that copied nothing, with what stopped it told.
int refused(CommandContext& context, const TaskResult& result, const QString& folder)
{
    Console& console = context.console;
    int exitCode = ExitSomethingFailed;
    switch (result.refusal) {
    case TaskRefusal::TargetRefused:
        exitCode = ExitBadUsage;
        console.printError(Prefix + result.reason);
        break;
    case TaskRefusal::IcqRunning:
        exitCode = ExitIcqRunning;
        console.printError(
            Prefix + QStringLiteral("ICQ is running; close it first, or go on with --force."));
        break;
    case TaskRefusal::Locked:
    case TaskRefusal::SetNotBegun:
        console.printError(Prefix + result.reason);
        break;
    case TaskRefusal::NoSet:
        console.printError(Prefix + QStringLiteral("no complete dated backup set in ") + folder);
        break;
    case TaskRefusal::PathMissing:
        console.printError(Prefix + QStringLiteral("%1 does not exist, nor the folder above it; "
                                                   "the disk it is on may not be mounted. "
                                                   "Nothing was copied (--mkpath creates the "
                                                   "whole path).")
                                        .arg(folder));
        break;
    case TaskRefusal::FolderNotMade:
        console.printError(Prefix + QStringLiteral("%1 could not be created.").arg(folder));
        break;
    case TaskRefusal::NothingToCopy:
        console.printError(Prefix +
                           QStringLiteral("there is nothing to copy in %1").arg(result.reason));
        break;
    case TaskRefusal::NoRoom: // told by the question
        exitCode = Signals::stopSignal() == SIGINT    ? ExitInterrupted
                   : Signals::stopSignal() == SIGTERM ? ExitTerminated
                                                      : ExitSomethingFailed;
        break;
    case TaskRefusal::BackupUnchecked: // not asked here
    case TaskRefusal::None:
        break;
    }
    if (!result.setFailure.isEmpty())
        console.printError(Prefix + result.setFailure);
    return exitCode;
}

// What a task's copy did, told; answers the exit code.
int told(CommandContext& context, Task& task, qint64 ms)
{
    Console& console = context.console;
    const Options& options = context.options;
    const TaskResult& result = task.result();
    const RunPlan& plan = task.copy()->plan();
    QJsonArray components;
    for (const ComponentResult& done : result.components)
        components << componentReport(done);
    context.report.insert(QStringLiteral("source"), plan.sourceFolder());
    context.report.insert(QStringLiteral("target"), plan.targetFolder());
    context.report.insert(QStringLiteral("components"), components);
    context.report.insert(QStringLiteral("undoSet"), result.undoFolder);
    context.report.insert(QStringLiteral("seconds"), double(ms) / 1000.0);

    if (const int signal = Signals::stopSignal(); signal != 0) {
        quint64 files = 0;
        QStringList whole;
        QStringList cut;
        for (const ComponentResult& done : result.components) {
            files += done.outcome.filesCopied;
            (done.copied ? whole : cut) << done.component.entryText();
        }
        console.printError(
            Prefix +
            QStringLiteral("stopped by %1: %2 files copied, the file being written dropped; "
                           "copied whole: %3; not whole: %4")
                .arg(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"))
                .arg(files)
                .arg(whole.isEmpty() ? QStringLiteral("no component")
                                     : whole.join(QStringLiteral(", ")),
                     cut.isEmpty() ? QStringLiteral("no component")
                                   : cut.join(QStringLiteral(", "))));
        if (!result.undoFolder.isEmpty())
            console.printError(Prefix + QStringLiteral("the files it replaced are kept in ") +
                               result.undoFolder);
        return signal == SIGINT ? ExitInterrupted : ExitTerminated;
    }
    for (const ComponentResult& done : result.components) {
        if (!done.copied) {
            console.printError(Prefix + done.component.entryText() +
                               QStringLiteral(" could not be copied"));
            for (const QString& line : describeCopyFailures(done.outcome, -1))
                console.printError(QStringLiteral("  ") + line);
        }
        if (task.settings().keptFails)
            for (const std::string& file : done.outcome.kept)
                console.printError(Prefix + QStringLiteral("kept, not replaced: ") +
                                   fromOsPath(file));
    }
    if (result.finishFailed) // told by the sink, with what failed; the copies stand
        console.printError(Prefix + QStringLiteral("the run's last step failed (see above)"));
    if (!result.attributesLostIn.isEmpty())
        console.printError(Prefix + attributesLostNote(result.attributesLostIn));
    if (!options.quiet && !options.json) {
        console.print(summaryLine(plan, result.components, ms));
        if (!result.undoFolder.isEmpty())
            console.print(undoSetNote(result.undoFolder) +
                          QStringLiteral(" \"zeb2000-cli undo\" puts them back."));
    }
    return result.everythingCopied ? ExitSuccess : ExitSomethingFailed;
}

// Runs the task and tells what it did; answers the exit code. A dry run lists its plan.
int runTask(CommandContext& context, TaskSettings settings)
{
    Console& console = context.console;
    const Options& options = context.options;
    settings.overwrite = options.overwrite;
    settings.copyUnchanged = options.copyUnchanged;
    settings.verify = options.verify;
    settings.dryRun = options.dryRun;
    // Files kept because nobody could be asked are not what the user wanted.
    settings.keptFails = !console.canAsk();
    ConsoleSink sink(console);
    // With --json standard output is the one JSON document: no file list before it.
    RunProgress progress(console, options.quiet || options.json, options.verbose && !options.json,
                         options.force, options.makePath);
    Task task(settings, sink, progress);
    if (!task.prepare())
        return refused(context, task.result(), settings.backupFolder);
    const TaskResult& result = task.result();
    QJsonObject usedBy;
    for (const auto& [set, given] : result.setsUsed) {
        QStringList names;
        for (const Component& component : given) {
            usedBy.insert(component.folder, set.name);
            names << component.entryText();
        }
        if (!options.quiet && !options.json)
            console.print(
                QStringLiteral("Restoring from the set %1 (made %2 UTC): %3.")
                    .arg(set.folder,
                         set.stamp.madeUtc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         names.join(QStringLiteral(", "))));
    }
    if (!result.setsUsed.isEmpty()) {
        context.report.insert(QStringLiteral("set"), result.setsUsed.first().first.name);
        context.report.insert(QStringLiteral("sets"), usedBy);
    }
    if (options.dryRun)
        return dryRun(context, *task.copy());
    QElapsedTimer clock;
    clock.start();
    Signals::setStoppableRun(task.copy());
    task.execute();
    Signals::setStoppableRun(nullptr);
    const int exitCode = told(context, task, clock.elapsed());
    if (result.setName.isEmpty())
        return exitCode;
    context.report.insert(QStringLiteral("set"), result.setName);
    if (exitCode != ExitSuccess) {
        console.printError(Prefix +
                           QStringLiteral("the set %1 is incomplete").arg(result.backupFolder));
        return exitCode;
    }
    if (!result.setFailure.isEmpty()) {
        console.printError(Prefix + result.setFailure);
        return ExitSomethingFailed;
    }
    if (options.keep >= 1)
        context.report.insert(QStringLiteral("removedSets"),
                              QJsonArray::fromStringList(result.removedSets));
    if (!options.quiet && !options.json)
        for (const QString& name : result.removedSets)
            console.print(QStringLiteral("Removed the old set ") + settings.backupFolder + name);
    return ExitSuccess;
}

int find(CommandContext& context)
{
    const std::optional<QString> folder = findIcqFolder(context);
    if (!folder)
        return ExitIcqNotFound;
    context.report.insert(QStringLiteral("icqFolder"), *folder);
    if (!context.options.json)
        context.console.print(*folder);
    return ExitSuccess;
}

QString checkList(const Options& options)
{
    return !options.icqFolder.isEmpty() && !options.fromFolder.isEmpty()
               ? QStringLiteral("list takes --icq or --from, not both")
               : QString();
}

int list(CommandContext& context)
{
    Console& console = context.console;
    QString side;
    if (!context.options.fromFolder.isEmpty()) {
        side = nativeFolder(context.options.fromFolder);
        if (!QFileInfo(side).isDir()) {
            console.printError(Prefix + QStringLiteral("there is no folder %1").arg(side));
            return ExitSomethingFailed;
        }
    } else {
        const std::optional<QString> icq = findIcqFolder(context);
        if (!icq)
            return ExitIcqNotFound;
        side = *icq;
    }
    if (pluginFiles(context.programFolder).isEmpty()) {
        console.printError(Prefix + QStringLiteral("no plugin files in ") + context.programFolder);
        return ExitSomethingFailed;
    }
    const QList<Component> components = offeredComponents(context.programFolder, side);
    const QStringList uins = uinsOnSide(side);
    QJsonArray componentList;
    QList<qint64> sizes; // each component's folder walked once
    for (const Component& component : components) {
        sizes << folderSize(side + component.folder);
        componentList << QJsonObject{{QStringLiteral("name"), component.name},
                                     {QStringLiteral("folder"), component.folder},
                                     {QStringLiteral("bytes"), sizes.last()}};
    }
    context.report.insert(QStringLiteral("folder"), side);
    context.report.insert(QStringLiteral("components"), componentList);
    context.report.insert(QStringLiteral("uins"), QJsonArray::fromStringList(uins));
    const QList<BackupSet> sets =
        context.options.fromFolder.isEmpty() ? QList<BackupSet>() : backupSets(side);
    QJsonArray setList;
    for (const BackupSet& set : sets)
        setList << QJsonObject{{QStringLiteral("name"), set.name},
                               {QStringLiteral("madeUtc"), set.stamp.madeUtc.toString(Qt::ISODate)},
                               {QStringLiteral("sequence"), qint64(set.stamp.sequence)},
                               {QStringLiteral("complete"), set.complete}};
    if (!context.options.fromFolder.isEmpty())
        context.report.insert(QStringLiteral("sets"), setList);
    if (context.options.json)
        return ExitSuccess;
    console.print(QStringLiteral("Components in %1:").arg(side));
    for (qsizetype at = 0; at < components.size(); ++at)
        console.print(QStringLiteral("  %1  %2")
                          .arg(components[at].entryText(), -40)
                          .arg(formatSize(sizes[at])));
    console.print(QStringLiteral("UINs:"));
    for (const QString& uin : uins)
        console.print(QStringLiteral("  ") + uin);
    if (!sets.isEmpty())
        console.print(QStringLiteral("Dated sets, oldest first:"));
    for (const BackupSet& set : sets)
        console.print(
            QStringLiteral("  %1  made %2 UTC, number %3%4")
                .arg(set.name, set.stamp.madeUtc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                .arg(set.stamp.sequence)
                .arg(set.complete ? QString() : QStringLiteral(", incomplete")));
    return ExitSuccess;
}

QString checkBackup(const Options& options)
{
    return options.toFolder.isEmpty() ? QStringLiteral("backup needs --to") : QString();
}

int backup(CommandContext& context)
{
    const Options& options = context.options;
    const std::optional<QString> icq = findIcqFolder(context);
    if (!icq)
        return ExitIcqNotFound;
    const std::optional<QList<Component>> components =
        chooseComponents(context, offeredComponents(context.programFolder, *icq), *icq);
    if (!components)
        return ExitBadUsage;
    TaskSettings settings;
    settings.direction = Direction::Backup;
    settings.icqFolder = *icq;
    settings.backupFolder = nativeFolder(options.toFolder);
    settings.components = *components;
    settings.everyComponent = everyPluginComponent(context.programFolder);
    settings.dated = options.dated;
    settings.keep = options.keep;
    return runTask(context, settings);
}

// The folder --from names, or with --latest the newest complete set below it, which is said
// (as `doing` the set) and reported; none when there is no such set.
std::optional<QString> folderFrom(CommandContext& context, const QString& doing)
{
    const QString folder = nativeFolder(context.options.fromFolder);
    if (!context.options.latest)
        return folder;
    const std::optional<BackupSet> set = newestCompleteBackupSet(folder);
    if (!set) {
        context.console.printError(Prefix + QStringLiteral("no complete dated backup set in ") +
                                   folder);
        return std::nullopt;
    }
    context.report.insert(QStringLiteral("set"), set->name);
    if (!context.options.quiet && !context.options.json)
        context.console.print(
            QStringLiteral("%1 the set %2 (made %3 UTC).")
                .arg(doing, set->folder,
                     set->stamp.madeUtc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    return set->folder;
}

QString checkRestore(const Options& options)
{
    return options.fromFolder.isEmpty() ? QStringLiteral("restore needs --from") : QString();
}

int restore(CommandContext& context)
{
    const Options& options = context.options;
    const QString backupFolder = nativeFolder(options.fromFolder);
    const std::optional<QString> icq = findIcqFolder(context);
    if (!icq)
        return ExitIcqNotFound;
    // With --latest each component comes from the newest complete set that holds it; the task
    // reads the sets again once it holds the folders.
    QList<Component> offered;
    if (options.latest) {
        if (!newestCompleteBackupSet(backupFolder)) {
            context.console.printError(Prefix + QStringLiteral("no complete dated backup set in ") +
                                       backupFolder);
            return ExitSomethingFailed;
        }
        for (const ComponentInSet& found :
             newestSetOfEachComponent(context.programFolder, backupFolder))
            offered << found.component;
    } else {
        offered = offeredComponents(context.programFolder, backupFolder);
    }
    const std::optional<QList<Component>> components =
        chooseComponents(context, offered, backupFolder);
    if (!components)
        return ExitBadUsage;
    TaskSettings settings;
    settings.direction = Direction::Restore;
    settings.icqFolder = *icq;
    settings.backupFolder = backupFolder;
    settings.components = *components;
    settings.latest = options.latest;
    settings.programFolder = context.programFolder;
    return runTask(context, settings);
}

int undo(CommandContext& context)
{
    Console& console = context.console;
    const std::optional<QString> icq = findIcqFolder(context);
    if (!icq)
        return ExitIcqNotFound;
    const bool dryRun = context.options.dryRun;
    const bool keepNewer = context.options.keepNewer;
    RunProgress answers(console, true, false, context.options.force);
    const UndoTaskResult task = undoTask(*icq, keepNewer, dryRun, answers);
    if (task.refusal != TaskRefusal::None) {
        TaskResult result;
        result.refusal = task.refusal;
        result.reason = task.reason;
        return refused(context, result, *icq);
    }
    const UndoOutcome& undone = task.outcome;
    for (const QString& note : undone.notes)
        console.printError(Prefix + QStringLiteral("left in place: ") + note);
    context.report.insert(QStringLiteral("undoneSet"), undone.set);
    context.report.insert(QStringLiteral("newer"), QJsonArray::fromStringList(undone.newer));
    context.report.insert(QStringLiteral("notUndone"), QJsonArray::fromStringList(undone.failures));
    if (undone.set.isEmpty()) {
        console.printError(Prefix + QStringLiteral("there is no restore to undo in ") + *icq);
        return ExitSomethingFailed;
    }
    if (!undone.newer.isEmpty() && !keepNewer) {
        for (const QString& file : undone.newer)
            console.printError(Prefix + QStringLiteral("changed since the restore: ") + file);
        console.printError(Prefix +
                           QStringLiteral("nothing was put back. \"zeb2000-cli undo "
                                          "--keep-newer\" puts back all the same and keeps "
                                          "the changed files in ") +
                           undone.newerFolder);
        return ExitSomethingFailed;
    }
    if (dryRun) {
        context.report.insert(QStringLiteral("dryRun"), true);
        context.report.insert(QStringLiteral("putBack"),
                              QJsonArray::fromStringList(undone.putBack));
        context.report.insert(QStringLiteral("removed"),
                              QJsonArray::fromStringList(undone.removed));
        if (!context.options.quiet && !context.options.json) {
            for (const QString& file : undone.newer)
                console.print(QStringLiteral("  move aside %1").arg(file));
            for (const QString& file : undone.putBack)
                console.print(QStringLiteral("  put back   %1").arg(file));
            for (const QString& file : undone.removed)
                console.print(QStringLiteral("  remove     %1").arg(file));
            console.print(QStringLiteral("Dry run: the undo of %1 would put back %2 files and "
                                         "remove %3. Nothing was changed.")
                              .arg(undone.set)
                              .arg(undone.putBack.size())
                              .arg(undone.removed.size()));
        }
        return ExitSuccess;
    }
    for (const QString& file : undone.newer)
        console.printError(Prefix + QStringLiteral("changed since the restore, kept in %1: %2")
                                        .arg(undone.newerFolder, file));
    if (!undone.finished) {
        for (const QString& failure : undone.failures)
            console.printError(Prefix + QStringLiteral("not undone: ") + failure);
        console.printError(Prefix + QStringLiteral("the undo stopped; %1 stays. Run "
                                                   "\"zeb2000-cli undo\" again to finish.")
                                        .arg(undone.set));
        return ExitSomethingFailed;
    }
    if (!context.options.quiet && !context.options.json)
        console.print(QStringLiteral("Put back what the restore of %1 replaced.").arg(undone.set));
    return ExitSuccess;
}

QString checkCheck(const Options& options)
{
    return options.fromFolder.isEmpty() ? QStringLiteral("check needs --from") : QString();
}

int check(CommandContext& context)
{
    Console& console = context.console;
    const std::optional<QString> from = folderFrom(context, QStringLiteral("Checking"));
    if (!from)
        return ExitSomethingFailed;
    const QString folder = *from;
    context.report.insert(QStringLiteral("folder"), folder);
    if (!QFileInfo(folder).isDir()) {
        console.printError(Prefix + QStringLiteral("no backup folder ") + folder);
        return ExitSomethingFailed;
    }
    const BackupCheck result = checkBackupFolder(folder);
    context.report.insert(QStringLiteral("complete"), result.hasManifest);
    if (!result.refusal.isEmpty()) {
        console.printError(Prefix + QStringLiteral("%1 cannot be checked: its manifest names an %2 "
                                                   "(a later version made it)")
                                        .arg(folder, result.refusal));
        return ExitSomethingFailed;
    }
    if (!result.hasManifest) {
        console.printError(Prefix + QStringLiteral("%1 is incomplete: it has no manifest (the "
                                                   "backup that made it did not finish)")
                                        .arg(folder));
        return ExitSomethingFailed;
    }
    const auto tell = [&](const QString& what, const QStringList& paths) {
        context.report.insert(what, QJsonArray::fromStringList(paths));
        for (const QString& path : paths)
            console.printError(Prefix + what + QStringLiteral(": ") + path);
    };
    tell(QStringLiteral("damaged"), result.damaged);
    tell(QStringLiteral("missing"), result.missing);
    tell(QStringLiteral("extra"), result.extra);
    tell(QStringLiteral("unreadable"), result.unreadable);
    context.report.insert(QStringLiteral("files"), result.files);
    context.report.insert(QStringLiteral("bytes"), result.bytes);
    if (!result.passed())
        return ExitSomethingFailed;
    if (!context.options.quiet && !context.options.json)
        console.print(QStringLiteral("%1: %2 files, %3, read back and as recorded.")
                          .arg(folder)
                          .arg(result.files)
                          .arg(formatSize(result.bytes)));
    return ExitSuccess;
}

} // namespace

const QList<Command>& commandTable()
{
    static const QList<Command> table = {
        {QStringLiteral("find"),
         QStringLiteral("Print the ICQ folder named by ICQ's registry settings."),
         {QStringLiteral("json")},
         nullptr,
         find},
        {QStringLiteral("list"),
         QStringLiteral("List the components and the ICQ users (UINs) on one side."),
         {QStringLiteral("icq"), QStringLiteral("from"), QStringLiteral("json")},
         checkList,
         list},
        {QStringLiteral("backup"),
         QStringLiteral("Copy components from the ICQ folder to a backup folder."),
         {QStringLiteral("to"), QStringLiteral("icq"), QStringLiteral("component"),
          QStringLiteral("dated"), QStringLiteral("keep"), QStringLiteral("mkpath"),
          QStringLiteral("overwrite"), QStringLiteral("full"), QStringLiteral("no-verify"),
          QStringLiteral("force"), QStringLiteral("dry-run"), QStringLiteral("quiet"),
          QStringLiteral("verbose"), QStringLiteral("json")},
         checkBackup,
         backup},
        {QStringLiteral("restore"),
         QStringLiteral("Copy components from a backup folder back to the ICQ folder, keeping "
                        "the files it replaces for an undo."),
         {QStringLiteral("from"), QStringLiteral("latest"), QStringLiteral("icq"),
          QStringLiteral("component"), QStringLiteral("overwrite"), QStringLiteral("full"),
          QStringLiteral("no-verify"), QStringLiteral("force"), QStringLiteral("dry-run"),
          QStringLiteral("quiet"), QStringLiteral("verbose"), QStringLiteral("json")},
         checkRestore,
         restore},
        {QStringLiteral("undo"),
         QStringLiteral("Put back what the newest restore replaced."),
         {QStringLiteral("icq"), QStringLiteral("force"), QStringLiteral("keep-newer"),
          QStringLiteral("dry-run"), QStringLiteral("quiet"), QStringLiteral("json")},
         nullptr,
         undo},
        {QStringLiteral("check"),
         QStringLiteral("Read every file of a backup back and compare it with the backup's "
                        "manifest."),
         {QStringLiteral("from"), QStringLiteral("latest"), QStringLiteral("quiet"),
          QStringLiteral("json")},
         checkCheck,
         check},
    };
    return table;
}
