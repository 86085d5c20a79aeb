// The first step of the commands, and the run of a task with its result told.
#include "cli/commands/Shared.h"

#include "cli/FileList.h"
#include "cli/RunProgress.h"
#include "cli/Signals.h"
#include "core/ErrorSink.h"
#include "core/FolderUtilities.h"
#include "core/IcqDiscovery.h"
#include "core/SizeFormat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QScopeGuard>

#include <algorithm>
#include <csignal>

namespace Commands {

namespace {

// Failures the program did not expect: told, and the component they hit counts as failed.
class ConsoleSink final : public ErrorSink
{
public:
    explicit ConsoleSink(Console& console) : m_console(console) {}
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        m_console.printError(Prefix + CommandLine::tr("error %1: %2 (in %3)")
                                          .arg(error.number)
                                          .arg(error.description, procedure));
    }

private:
    Console& m_console;
};

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
    return (backup ? CommandLine::tr("Backup into %1 from %2: %3 of %4 components copied whole, "
                                     "%5 files (%6) copied, %7 unchanged, %8 kept, in %9 s.")
                   : CommandLine::tr("Restore from %1 into %2: %3 of %4 components copied whole, "
                                     "%5 files (%6) copied, %7 unchanged, %8 kept, in %9 s."))
        .arg(plan.backupFolder, plan.icqFolder, QString::number(whole),
             QString::number(results.size()), QString::number(files), formatSize(qint64(bytes)),
             QString::number(unchanged), QString::number(kept),
             QString::number(double(ms) / 1000.0, 'f', 1));
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
                               CommandLine::tr("cannot read %1: %2")
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
            CommandLine::tr("Dry run: %1 files (%2) to write, %3 needed, %4 free on %5. "
                            "Nothing was changed.")
                .arg(files)
                .arg(formatSize(qint64(bytes)), formatSize(space.needed),
                     space.available < 0 ? CommandLine::tr("unknown") : formatSize(space.available),
                     space.targetFolder));
    return ExitSuccess;
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
            CommandLine::tr("stopped by %1: %2 files copied, the file being written dropped; "
                            "copied whole: %3; not whole: %4")
                .arg(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"))
                .arg(files)
                .arg(whole.isEmpty() ? CommandLine::tr("no component")
                                     : whole.join(QStringLiteral(", ")),
                     cut.isEmpty() ? CommandLine::tr("no component")
                                   : cut.join(QStringLiteral(", "))));
        if (!result.undoFolder.isEmpty())
            console.printError(
                Prefix +
                CommandLine::tr("the files it replaced are kept in %1").arg(result.undoFolder));
        return signal == SIGINT ? ExitInterrupted : ExitTerminated;
    }
    for (const ComponentResult& done : result.components) {
        if (!done.copied) {
            console.printError(
                Prefix + CommandLine::tr("%1 could not be copied").arg(done.component.entryText()));
            for (const QString& line : describeCopyFailures(done.outcome, -1))
                console.printError(QStringLiteral("  ") + line);
        }
        if (task.settings().keptFails)
            for (const std::string& file : done.outcome.kept)
                console.printError(Prefix + CommandLine::tr("kept, not replaced: ") +
                                   fromOsPath(file));
    }
    if (result.finishFailed) // told by the sink, with what failed; the copies stand
        console.printError(Prefix + CommandLine::tr("the run's last step failed (see above)"));
    if (!result.attributesLostIn.isEmpty())
        console.printError(Prefix + attributesLostNote(result.attributesLostIn));
    if (!options.quiet && !options.json) {
        console.print(summaryLine(plan, result.components, ms));
        if (!result.undoFolder.isEmpty())
            console.print(CommandLine::tr("%1 \"zeb2000-cli undo\" puts them back.")
                              .arg(undoSetNote(result.undoFolder)));
    }
    return result.everythingCopied ? ExitSuccess : ExitSomethingFailed;
}

} // namespace

QString nativeFolder(const QString& path)
{
    return withTrailingSeparator(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

std::optional<QString> findIcqFolder(CommandContext& context)
{
    Console& console = context.console;
    QString folder;
    if (context.options.icqFolder.isEmpty()) {
        QString notice;
        folder = icqFolderFromRegistry([&notice](const QString& text) { notice = text; });
        if (!notice.isEmpty() || folder.isEmpty() || folder == NoRegistryValueText) {
            console.printError(Prefix + CommandLine::tr("%1 Name the ICQ folder with --icq.")
                                            .arg(!notice.isEmpty() ? shownRegistryText(notice)
                                                 : folder.isEmpty()
                                                     ? CommandLine::tr("ICQ's registry settings "
                                                                       "name no ICQ folder.")
                                                     : shownRegistryText(folder)));
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
                           CommandLine::tr("no ICQ installation in %1 (no icq.exe)").arg(folder));
        return std::nullopt;
    }
    return folder;
}

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
            context.console.printError(Prefix + CommandLine::tr("no component \"%1\" in %2; "
                                                                "\"list\" shows those there")
                                                    .arg(wanted, sourceFolder));
            return std::nullopt;
        }
        if (!chosen.contains(*match))
            chosen << *match;
    }
    return chosen;
}

int refused(CommandContext& context, const TaskResult& result, const QString& folder)
{
    Console& console = context.console;
    int exitCode = ExitSomethingFailed;
    switch (result.refusal) {
    case TaskRefusal::TargetRefused:
        exitCode = ExitBadUsage;
        console.printError(Prefix + result.reason.toString());
        break;
    case TaskRefusal::IcqRunning:
        exitCode = ExitIcqRunning;
        console.printError(
            Prefix + CommandLine::tr("ICQ is running; close it first, or go on with --force."));
        break;
    case TaskRefusal::Locked:
    case TaskRefusal::SetNotBegun:
        console.printError(Prefix + result.reason.toString());
        break;
    case TaskRefusal::NoSet:
        console.printError(Prefix +
                           CommandLine::tr("no complete dated backup set in %1").arg(folder));
        break;
    case TaskRefusal::PathMissing:
        console.printError(Prefix + CommandLine::tr("%1 does not exist, nor the folder above it; "
                                                    "the disk it is on may not be mounted. "
                                                    "Nothing was copied (--mkpath creates the "
                                                    "whole path).")
                                        .arg(folder));
        break;
    case TaskRefusal::FolderNotMade:
        console.printError(Prefix + CommandLine::tr("%1 could not be created.").arg(folder));
        break;
    case TaskRefusal::NothingToCopy:
        console.printError(
            Prefix +
            CommandLine::tr("there is nothing to copy in %1").arg(result.reason.toString()));
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
        console.printError(Prefix + result.setFailure.toString());
    return exitCode;
}

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
    // The backup stands without its record; only the window's line of state misses it.
    const auto recorded = qScopeGuard([&] {
        if (!task.result().stateFailure.isEmpty())
            console.printError(Prefix +
                               CommandLine::tr("the last backup's state was not recorded: ") +
                               task.result().stateFailure.toString());
    });
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
                CommandLine::tr("Restoring from the set %1 (made %2 UTC): %3.")
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
                           CommandLine::tr("the set %1 is incomplete").arg(result.backupFolder));
        return exitCode;
    }
    if (!result.setFailure.isEmpty()) {
        console.printError(Prefix + result.setFailure.toString());
        return ExitSomethingFailed;
    }
    if (options.keep >= 1)
        context.report.insert(QStringLiteral("removedSets"),
                              QJsonArray::fromStringList(result.removedSets));
    if (!options.quiet && !options.json)
        for (const QString& name : result.removedSets)
            console.print(
                CommandLine::tr("Removed the old set %1").arg(settings.backupFolder + name));
    return ExitSuccess;
}

} // namespace Commands
