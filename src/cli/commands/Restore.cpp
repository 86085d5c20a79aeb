// restore: the components copied back into the ICQ folder, from a folder or the newest sets.
#include "cli/commands/Shared.h"

#include "core/BackupSets.h"
#include "core/ComponentCatalogue.h"

namespace Commands {

QString checkRestore(const Options& options)
{
    return options.fromFolder.isEmpty() ? CommandLine::tr("restore needs --from") : QString();
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
            context.console.printError(
                Prefix + CommandLine::tr("no complete dated backup set in %1").arg(backupFolder));
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

} // namespace Commands
