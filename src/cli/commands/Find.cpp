// find: the ICQ folder ICQ's registry settings name.
#include "cli/commands/Shared.h"

#include "core/IcqDiscovery.h"

namespace Commands {

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

} // namespace Commands
