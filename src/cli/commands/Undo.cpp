// undo: what the newest restore replaced put back.
#include "cli/commands/Shared.h"

#include "cli/RunProgress.h"
#include "core/UndoSets.h"

#include <QJsonArray>

namespace Commands {

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
    for (const Text& note : undone.notes)
        console.printError(Prefix + CommandLine::tr("left in place: ") + note.toString());
    context.report.insert(QStringLiteral("undoneSet"), undone.set);
    context.report.insert(QStringLiteral("newer"), QJsonArray::fromStringList(undone.newer));
    context.report.insert(QStringLiteral("notUndone"),
                          QJsonArray::fromStringList(Text::english(undone.failures)));
    if (undone.set.isEmpty()) {
        console.printError(Prefix + CommandLine::tr("there is no restore to undo in %1").arg(*icq));
        return ExitSomethingFailed;
    }
    if (!undone.newer.isEmpty() && !keepNewer) {
        for (const QString& file : undone.newer)
            console.printError(Prefix + CommandLine::tr("changed since the restore: ") + file);
        console.printError(Prefix +
                           CommandLine::tr("nothing was put back. \"zeb2000-cli undo "
                                           "--keep-newer\" puts back all the same and keeps "
                                           "the changed files in %1")
                               .arg(undone.newerFolder));
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
                console.print(CommandLine::tr("  move aside %1").arg(file));
            for (const QString& file : undone.putBack)
                console.print(CommandLine::tr("  put back   %1").arg(file));
            for (const QString& file : undone.removed)
                console.print(CommandLine::tr("  remove     %1").arg(file));
            console.print(CommandLine::tr("Dry run: the undo of %1 would put back %2 files and "
                                          "remove %3. Nothing was changed.")
                              .arg(undone.set)
                              .arg(undone.putBack.size())
                              .arg(undone.removed.size()));
        }
        return ExitSuccess;
    }
    for (const QString& file : undone.newer)
        console.printError(Prefix + CommandLine::tr("changed since the restore, kept in %1: %2")
                                        .arg(undone.newerFolder, file));
    if (!undone.finished) {
        for (const Text& failure : undone.failures)
            console.printError(Prefix + CommandLine::tr("not undone: ") + failure.toString());
        console.printError(Prefix + CommandLine::tr("the undo stopped; %1 stays. Run "
                                                    "\"zeb2000-cli undo\" again to finish.")
                                        .arg(undone.set));
        return ExitSomethingFailed;
    }
    if (!context.options.quiet && !context.options.json)
        console.print(CommandLine::tr("Put back what the restore of %1 replaced.").arg(undone.set));
    return ExitSuccess;
}

} // namespace Commands
