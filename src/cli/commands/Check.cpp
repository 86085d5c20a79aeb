// check: every file of a backup read back against its manifest.
#include "cli/commands/Shared.h"

#include "core/BackupManifest.h"
#include "core/BackupSets.h"
#include "core/SizeFormat.h"

#include <QFileInfo>
#include <QJsonArray>

namespace Commands {

namespace {

// The folder --from names, or with --latest the newest complete set below it, which is said
// (as the set checked) and reported; none when there is no such set.
std::optional<QString> folderFrom(CommandContext& context)
{
    const QString folder = nativeFolder(context.options.fromFolder);
    if (!context.options.latest)
        return folder;
    const std::optional<BackupSet> set = newestCompleteBackupSet(folder);
    if (!set) {
        context.console.printError(
            Prefix + CommandLine::tr("no complete dated backup set in %1").arg(folder));
        return std::nullopt;
    }
    context.report.insert(QStringLiteral("set"), set->name);
    if (!context.options.quiet && !context.options.json)
        context.console.print(CommandLine::tr("Checking the set %1 (made %2 UTC).")
                                  .arg(set->folder, set->stamp.madeUtc.toString(
                                                        QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    return set->folder;
}

} // namespace

QString checkCheck(const Options& options)
{
    return options.fromFolder.isEmpty() ? CommandLine::tr("check needs --from") : QString();
}

int check(CommandContext& context)
{
    Console& console = context.console;
    const std::optional<QString> from = folderFrom(context);
    if (!from)
        return ExitSomethingFailed;
    const QString folder = *from;
    context.report.insert(QStringLiteral("folder"), folder);
    if (!QFileInfo(folder).isDir()) {
        console.printError(Prefix + CommandLine::tr("no backup folder %1").arg(folder));
        return ExitSomethingFailed;
    }
    const BackupCheck result = checkBackupFolder(folder);
    context.report.insert(QStringLiteral("complete"), result.hasManifest);
    if (!result.refusal.isEmpty()) {
        console.printError(Prefix +
                           CommandLine::tr("%1 cannot be checked: its manifest names an %2 "
                                           "(a later version made it)")
                               .arg(folder, result.refusal));
        return ExitSomethingFailed;
    }
    if (!result.hasManifest) {
        console.printError(Prefix + CommandLine::tr("%1 is incomplete: it has no manifest (the "
                                                    "backup that made it did not finish)")
                                        .arg(folder));
        return ExitSomethingFailed;
    }
    // The JSON keys stay English; the lines say it in the user's language.
    for (const auto& [key, paths] : {std::pair{"damaged", &result.damaged},
                                     {"missing", &result.missing},
                                     {"extra", &result.extra},
                                     {"unreadable", &result.unreadable}})
        context.report.insert(QLatin1String(key), QJsonArray::fromStringList(*paths));
    for (const QString& line : result.mismatches())
        console.printError(Prefix + line);
    context.report.insert(QStringLiteral("files"), result.files);
    context.report.insert(QStringLiteral("bytes"), result.bytes);
    if (!result.passed())
        return ExitSomethingFailed;
    if (!context.options.quiet && !context.options.json)
        console.print(CommandLine::tr("%1: %2 files, %3, read back and as recorded.")
                          .arg(folder)
                          .arg(result.files)
                          .arg(formatSize(result.bytes)));
    return ExitSuccess;
}

} // namespace Commands
