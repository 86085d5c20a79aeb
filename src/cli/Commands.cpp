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
#include "core/RunLock.h"
#include "core/SizeFormat.h"
#include "core/TargetChecks.h"
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

// Goes on when the target has room, or when the user on a terminal says so.
bool enoughSpace(Console& console, BackupRun& run)
{
    const RunPlan& plan = run.plan();
    const SpaceEstimate space = run.spaceEstimate();
    if (space.fits())
        return true;
    const QString message = space.shortage(plan.direction);
    if (console.canAsk()) {
        const std::optional<QString> answer =
            console.ask(message + QStringLiteral(" Go on all the same? [y]es, [n]o: "));
        const QString word = answer ? answer->trimmed().toLower() : QString();
        return Signals::stopSignal() == 0 &&
               (word == QLatin1String("y") || word == QLatin1String("yes"));
    }
    console.printError(Prefix + message + QStringLiteral(" Nothing was copied."));
    return false;
}

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

// Holds the locks of the folders a run changes; answers 1 (told) when another run holds one.
int lockFolders(CommandContext& context, RunLock& lock, const QStringList& folders)
{
    try {
        for (const QString& folder : folders)
            lock.lock(folder);
    } catch (const RuntimeError& failure) {
        context.console.printError(Prefix + failure.error().description);
        return ExitSomethingFailed;
    }
    return ExitSuccess;
}

bool refuseWhileIcqRuns(CommandContext& context, const QString& icqFolder)
{
    if (context.options.force || !isIcqRunningIn(icqFolder))
        return false;
    context.console.printError(
        Prefix + QStringLiteral("ICQ is running; close it first, or go on with --force."));
    return true;
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

// Runs the plan and tells what failed; answers the exit code. What the target needs before
// the copy (its folder made) is done once the room is known to be there, answering 0 to go on.
int runPlan(
    CommandContext& context, RunPlan plan,
    const std::function<int()>& prepareTarget = [] { return int(ExitSuccess); })
{
    Console& console = context.console;
    const Options& options = context.options;
    if (plan.components.isEmpty()) {
        console.printError(
            Prefix + QStringLiteral("there is nothing to copy in %1").arg(plan.sourceFolder()));
        return ExitSomethingFailed;
    }
    plan.overwrite = options.overwrite;
    plan.copyUnchanged = options.copyUnchanged;
    plan.verify = options.verify;
    ConsoleSink sink(console);
    // With --json standard output is the one JSON document: no file list before it.
    RunProgress progress(console, options.quiet || options.json, options.verbose && !options.json);
    BackupRun run(plan, sink, progress);
    if (options.dryRun)
        return dryRun(context, run);
    if (!enoughSpace(console, run))
        return Signals::stopSignal() == SIGINT    ? ExitInterrupted
               : Signals::stopSignal() == SIGTERM ? ExitTerminated
                                                  : ExitSomethingFailed;
    if (const int refused = prepareTarget(); refused != ExitSuccess)
        return refused;
    QElapsedTimer clock;
    clock.start();
    Signals::setStoppableRun(&run);
    const QList<ComponentResult> results = run.execute();
    Signals::setStoppableRun(nullptr);

    QJsonArray components;
    for (const ComponentResult& result : results)
        components << componentReport(result);
    context.report.insert(QStringLiteral("source"), plan.sourceFolder());
    context.report.insert(QStringLiteral("target"), plan.targetFolder());
    context.report.insert(QStringLiteral("components"), components);
    context.report.insert(QStringLiteral("undoSet"), run.undoFolder());
    context.report.insert(QStringLiteral("seconds"), double(clock.elapsed()) / 1000.0);

    if (const int signal = Signals::stopSignal(); signal != 0) {
        quint64 files = 0;
        QStringList whole;
        QStringList cut;
        for (const ComponentResult& result : results) {
            files += result.outcome.filesCopied;
            (result.copied ? whole : cut) << result.component.entryText();
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
        if (!run.undoFolder().isEmpty())
            console.printError(Prefix + QStringLiteral("the files it replaced are kept in ") +
                               run.undoFolder());
        return signal == SIGINT ? ExitInterrupted : ExitTerminated;
    }
    int exitCode = ExitSuccess;
    QStringList attributesLostIn;
    for (const ComponentResult& result : results) {
        if (!result.copied) {
            exitCode = ExitSomethingFailed;
            console.printError(Prefix + result.component.entryText() +
                               QStringLiteral(" could not be copied"));
            for (const QString& line : describeCopyFailures(result.outcome, -1))
                console.printError(QStringLiteral("  ") + line);
        }
        if (!result.outcome.kept.empty() && !console.canAsk()) {
            exitCode = ExitSomethingFailed;
            for (const std::string& file : result.outcome.kept)
                console.printError(Prefix + QStringLiteral("kept, not replaced: ") +
                                   fromOsPath(file));
        }
        if (result.outcome.attributesLost)
            attributesLostIn << plan.targetFolder() + result.component.folder;
    }
    if (run.finishFailed()) {
        // Told by the sink, with what failed; the copies stand, the run did not finish.
        exitCode = ExitSomethingFailed;
        console.printError(Prefix + QStringLiteral("the run's last step failed (see above)"));
    }
    if (!attributesLostIn.isEmpty())
        console.printError(Prefix + attributesLostNote(attributesLostIn));
    if (!options.quiet && !options.json) {
        console.print(summaryLine(plan, results, clock.elapsed()));
        if (!run.undoFolder().isEmpty())
            console.print(undoSetNote(run.undoFolder()) +
                          QStringLiteral(" \"zeb2000-cli undo\" puts them back."));
    }
    return exitCode;
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
    Console& console = context.console;
    const Options& options = context.options;
    const std::optional<QString> icq = findIcqFolder(context);
    if (!icq)
        return ExitIcqNotFound;
    const std::optional<QList<Component>> components =
        chooseComponents(context, offeredComponents(context.programFolder, *icq), *icq);
    if (!components)
        return ExitBadUsage;
    const QString backupFolder = nativeFolder(options.toFolder);
    const TargetCheck target =
        checkBackupTarget(backupFolder, *icq, everyPluginComponent(context.programFolder));
    if (const QString refusal = targetRefusal(target, backupFolder); !refusal.isEmpty()) {
        console.printError(Prefix + refusal);
        return ExitBadUsage;
    }
    if (!options.dryRun && refuseWhileIcqRuns(context, *icq))
        return ExitIcqRunning;
    // A backup folder still to be made is locked once it is made.
    RunLock lock;
    if (!options.dryRun)
        if (const int refused = lockFolders(context, lock, {*icq, backupFolder}))
            return refused;
    const auto makeFolder = [&]() -> int {
        switch (makeBackupFolder(backupFolder, options.makePath, options.dryRun)) {
        case TargetCreation::Existed:
        case TargetCreation::Created:
            return ExitSuccess;
        case TargetCreation::ParentMissing:
            console.printError(Prefix + QStringLiteral("%1 does not exist, nor the folder above "
                                                       "it; the disk it is on may not be "
                                                       "mounted. Nothing was copied (--mkpath "
                                                       "creates the whole path).")
                                            .arg(backupFolder));
            return ExitSomethingFailed;
        case TargetCreation::Failed:
            break;
        }
        console.printError(Prefix + QStringLiteral("%1 could not be created.").arg(backupFolder));
        return ExitSomethingFailed;
    };
    RunPlan plan;
    plan.direction = Direction::Backup;
    plan.icqFolder = *icq;
    plan.backupFolder = backupFolder;
    plan.components = *components;
    if (options.dryRun)
        if (const int refused = makeFolder(); refused != ExitSuccess)
            return refused;
    if (!options.dated)
        return runPlan(context, plan, [&] {
            const int refused = makeFolder();
            return refused != ExitSuccess ? refused : lockFolders(context, lock, {backupFolder});
        });
    if (options.dryRun) {
        // The set is not made: its walk finds nothing there, and what the newest complete
        // set holds unchanged would be linked.
        if (const std::optional<BackupSet> newest = newestCompleteBackupSet(backupFolder))
            plan.linkFrom = newest->folder;
        plan.backupFolder = withTrailingSeparator(backupFolder + QStringLiteral("<new set>"));
        return runPlan(context, plan);
    }
    // A dated set is complete only when everything was copied into it; old sets go only then,
    // and never the one just made. It links what the newest complete set holds unchanged.
    if (const int refused = makeFolder(); refused != ExitSuccess)
        return refused;
    if (const int refused = lockFolders(context, lock, {backupFolder}))
        return refused;
    try {
        if (const std::optional<BackupSet> newest = newestCompleteBackupSet(backupFolder))
            plan.linkFrom = newest->folder;
        BackupSet set = beginBackupSet(backupFolder);
        plan.backupFolder = set.folder;
        bool started = false;
        const int exitCode = runPlan(context, plan, [&started] {
            started = true;
            return int(ExitSuccess);
        });
        if (!started) {
            // Refused before the copy (no room, nothing to copy): the set holds only its record.
            std::string failed;
            if (const int error = removeSetFolder(toOsPath(backupFolder + set.name), failed))
                console.printError(Prefix + QStringLiteral("the empty set %1 could not be "
                                                           "removed (%2: %3)")
                                                .arg(set.folder, fromOsPath(failed),
                                                     fromOsText(Os::errorText(error))));
            return exitCode;
        }
        context.report.insert(QStringLiteral("set"), set.name);
        if (exitCode != ExitSuccess) {
            console.printError(Prefix + QStringLiteral("the set %1 is incomplete").arg(set.folder));
            return exitCode;
        }
        QStringList held;
        for (const Component& component : std::as_const(plan.components))
            held << component.folder;
        markBackupSetComplete(set, held);
        if (options.keep < 1)
            return ExitSuccess;
        const QStringList removed = pruneBackupSets(backupFolder, options.keep, set.name);
        context.report.insert(QStringLiteral("removedSets"), QJsonArray::fromStringList(removed));
        if (!options.quiet && !options.json)
            for (const QString& name : removed)
                console.print(QStringLiteral("Removed the old set ") + backupFolder + name);
    } catch (const RuntimeError& failure) {
        console.printError(Prefix + failure.error().description);
        return ExitSomethingFailed;
    }
    return ExitSuccess;
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
    // Held before the sets are read: a backup's --keep removes none of them meanwhile.
    RunLock lock;
    if (!options.dryRun)
        if (const int refused = lockFolders(context, lock, {*icq, backupFolder}))
            return refused;
    // With --latest each component comes from the newest complete set that holds it.
    QList<Component> offered;
    QHash<QString, BackupSet> setOf; // by component folder
    if (options.latest) {
        if (!newestCompleteBackupSet(backupFolder)) {
            context.console.printError(Prefix + QStringLiteral("no complete dated backup set in ") +
                                       backupFolder);
            return ExitSomethingFailed;
        }
        for (const ComponentInSet& found :
             newestSetOfEachComponent(context.programFolder, backupFolder)) {
            offered << found.component;
            setOf.insert(found.component.folder, found.set);
        }
    } else {
        offered = offeredComponents(context.programFolder, backupFolder);
    }
    const std::optional<QList<Component>> components =
        chooseComponents(context, offered, backupFolder);
    if (!components)
        return ExitBadUsage;
    if (!options.dryRun && refuseWhileIcqRuns(context, *icq))
        return ExitIcqRunning;
    RunPlan plan;
    plan.direction = Direction::Restore;
    plan.icqFolder = *icq;
    plan.backupFolder = backupFolder;
    plan.components = *components;
    QList<BackupSet> used; // newest first, each with the components it gives
    QJsonObject usedBy;
    for (const Component& component : std::as_const(plan.components)) {
        if (!options.latest)
            break;
        const BackupSet& set = setOf[component.folder];
        plan.componentBackupFolders.insert(component.folder, set.folder);
        usedBy.insert(component.folder, set.name);
        if (std::none_of(used.begin(), used.end(),
                         [&](const BackupSet& u) { return u.name == set.name; }))
            used << set;
    }
    std::sort(used.begin(), used.end(),
              [](const BackupSet& a, const BackupSet& b) { return b.stamp < a.stamp; });
    if (!used.isEmpty()) {
        plan.backupFolder = used.first().folder;
        context.report.insert(QStringLiteral("set"), used.first().name);
        context.report.insert(QStringLiteral("sets"), usedBy);
    }
    for (const BackupSet& set : std::as_const(used)) {
        QStringList given;
        for (const Component& component : std::as_const(plan.components))
            if (setOf[component.folder].name == set.name)
                given << component.entryText();
        if (!options.quiet && !options.json)
            context.console.print(
                QStringLiteral("Restoring from the set %1 (made %2 UTC): %3.")
                    .arg(set.folder,
                         set.stamp.madeUtc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         given.join(QStringLiteral(", "))));
    }
    return runPlan(context, plan);
}

int undo(CommandContext& context)
{
    Console& console = context.console;
    const std::optional<QString> icq = findIcqFolder(context);
    if (!icq)
        return ExitIcqNotFound;
    const bool dryRun = context.options.dryRun;
    if (!dryRun && refuseWhileIcqRuns(context, *icq))
        return ExitIcqRunning;
    RunLock lock;
    if (!dryRun)
        if (const int refused = lockFolders(context, lock, {*icq}))
            return refused;
    const bool keepNewer = context.options.keepNewer;
    const UndoOutcome undone = undoNewestRestore(*icq, keepNewer, dryRun);
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
