// schedule: the weekly backup set up, removed, or told, with how the last backup went.
#include "cli/commands/Shared.h"

#include "core/ComponentCatalogue.h"
#include "core/FolderUtilities.h"
#include "core/LastBackup.h"
#include "core/TargetChecks.h"
#include "core/WeeklySchedule.h"
#include "os/os.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace Commands {

QString checkSchedule(const Options& options)
{
    if (int(options.weekly) + int(options.off) + int(options.status) != 1)
        return CommandLine::tr("schedule takes one of --weekly, --off and --status");
    if (options.weekly && options.toFolder.isEmpty())
        return CommandLine::tr("schedule --weekly needs --to");
    if (!options.weekly && (!options.toFolder.isEmpty() || !options.icqFolder.isEmpty()))
        return CommandLine::tr("--to and --icq go with --weekly");
    return QString();
}

int schedule(CommandContext& context)
{
    Console& console = context.console;
    const Options& options = context.options;
    QJsonObject& report = context.report;
    const bool quiet = options.quiet || options.json;
    if (options.off) {
        if (const QString failed = unscheduleWeeklyBackup(); !failed.isEmpty()) {
            console.printError(Prefix + failed);
            return ExitSomethingFailed;
        }
        report.insert(QStringLiteral("weekly"), false);
        if (!quiet)
            console.print(CommandLine::tr("The weekly backup is off."));
        return ExitSuccess;
    }
    if (options.weekly) {
        // The run is tried now as far as it can be without copying: an ICQ folder, and a backup
        // folder that breaks no rule, or every week's run would fail.
        const std::optional<QString> icq = findIcqFolder(context);
        if (!icq)
            return ExitIcqNotFound;
        // Without --icq, the ICQ folder the registry names at each run.
        WeeklyBackup backup = weeklyBackupFor(nativeFolder(options.toFolder),
                                              options.icqFolder.isEmpty() ? QString() : *icq);
        const Text refusal =
            targetRefusal(checkBackupTarget(withTrailingSeparator(backup.backupFolder), *icq,
                                            everyPluginComponent(context.programFolder)),
                          backup.backupFolder);
        if (!refusal.isEmpty()) {
            console.printError(Prefix + refusal.toString());
            return ExitBadUsage;
        }
        Text how;
        if (const QString failed = scheduleWeeklyBackup(backup, how); !failed.isEmpty()) {
            console.printError(Prefix + failed);
            return ExitSomethingFailed;
        }
        report.insert(QStringLiteral("weekly"), true);
        report.insert(QStringLiteral("how"), how.english());
        if (!quiet)
            console.print(CommandLine::tr("Weekly backup to %1: %2.")
                              .arg(backup.backupFolder, how.toString()));
        return ExitSuccess;
    }
    const WeeklyState state = weeklyBackupState();
    const std::optional<LastBackup> last = readLastBackup();
    const Text lastLine = lastBackupLine(last, QDateTime::currentDateTimeUtc());
    report.insert(QStringLiteral("weekly"), state.on);
    report.insert(QStringLiteral("how"), state.how.english());
    report.insert(QStringLiteral("backupFolder"), state.backup.backupFolder);
    report.insert(QStringLiteral("icqFolder"), state.backup.icqFolder);
    report.insert(QStringLiteral("winePrefix"), state.backup.winePrefix);
    report.insert(QStringLiteral("lastBackup"), lastLine.english());
    if (!options.json) {
        console.print(CommandLine::tr("Weekly backup: ") + state.how.toString());
        if (!state.backup.backupFolder.isEmpty())
            console.print(CommandLine::tr("Backup folder: ") + state.backup.backupFolder);
        if (!state.backup.icqFolder.isEmpty())
            console.print(CommandLine::tr("ICQ folder: ") + state.backup.icqFolder);
        if (!state.backup.winePrefix.isEmpty())
            console.print(CommandLine::tr("Wine prefix: ") + state.backup.winePrefix);
        console.print(lastLine.isEmpty() ? CommandLine::tr("No backup was made yet.")
                                         : lastLine.toString());
    }
    return ExitSuccess;
}

} // namespace Commands
