// backup: the components copied from the ICQ folder into a backup folder or a dated set.
#include "cli/commands/Shared.h"

#include "core/ComponentCatalogue.h"

namespace Commands {

QString checkBackup(const Options& options)
{
    return options.toFolder.isEmpty() ? CommandLine::tr("backup needs --to") : QString();
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
    settings.scheduled = options.scheduled;
    return runTask(context, settings);
}

} // namespace Commands
