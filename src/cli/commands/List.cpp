// list: the components, the UINs and the dated sets on one side.
#include "cli/commands/Shared.h"

#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/ComponentCatalogue.h"
#include "core/SizeFormat.h"
#include "core/UinCatalogue.h"

#include <QFileInfo>
#include <QJsonArray>

namespace Commands {

QString checkList(const Options& options)
{
    return !options.icqFolder.isEmpty() && !options.fromFolder.isEmpty()
               ? CommandLine::tr("list takes --icq or --from, not both")
               : QString();
}

int list(CommandContext& context)
{
    Console& console = context.console;
    QString side;
    if (!context.options.fromFolder.isEmpty()) {
        side = nativeFolder(context.options.fromFolder);
        if (!QFileInfo(side).isDir()) {
            console.printError(Prefix + CommandLine::tr("there is no folder %1").arg(side));
            return ExitSomethingFailed;
        }
    } else {
        const std::optional<QString> icq = findIcqFolder(context);
        if (!icq)
            return ExitIcqNotFound;
        side = *icq;
    }
    if (pluginFiles(context.programFolder).isEmpty()) {
        console.printError(Prefix +
                           CommandLine::tr("no plugin files in %1").arg(context.programFolder));
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
    console.print(CommandLine::tr("Components in %1:").arg(side));
    for (qsizetype at = 0; at < components.size(); ++at)
        console.print(QStringLiteral("  %1  %2")
                          .arg(components[at].entryText(), -40)
                          .arg(formatSize(sizes[at])));
    console.print(CommandLine::tr("UINs:"));
    for (const QString& uin : uins)
        console.print(QStringLiteral("  ") + uin);
    if (!sets.isEmpty())
        console.print(CommandLine::tr("Dated sets, oldest first:"));
    for (const BackupSet& set : sets)
        console.print(
            CommandLine::tr("  %1  made %2 UTC, number %3%4")
                .arg(set.name, set.stamp.madeUtc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                .arg(set.stamp.sequence)
                .arg(set.complete ? QString() : CommandLine::tr(", incomplete")));
    return ExitSuccess;
}

} // namespace Commands
