// What the commands of zeb2000-cli share: the first step (the ICQ folder found, the components
// chosen) and the run of a core task with its result told. Each command is in a file of its own.
#pragma once

#include "cli/CommandLine.h"
#include "core/Task.h"

#include <QList>
#include <QString>

#include <optional>

namespace Commands {

inline const QString Prefix = QStringLiteral("zeb2000-cli: ");

// The absolute native path of a folder named on the command line, with its trailing separator.
QString nativeFolder(const QString& path);
// The ICQ folder of the command, with its trailing separator, or none (told) when there is no
// ICQ installation there. Named with --icq, the registry is not read at all.
std::optional<QString> findIcqFolder(CommandContext& context);
// The components to copy: those offered on the source side, or the ones named.
std::optional<QList<Component>> chooseComponents(CommandContext& context,
                                                 const QList<Component>& offered,
                                                 const QString& sourceFolder);
// The exit code of a task that copied nothing, with what stopped it told.
int refused(CommandContext& context, const TaskResult& result, const QString& folder);
// Runs the task with the options' settings and tells what it did; answers the exit code. A dry
// run lists its plan.
int runTask(CommandContext& context, TaskSettings settings);

// The commands, and the checks of their options that the options cannot say alone.
int find(CommandContext& context);
QString checkList(const Options& options);
int list(CommandContext& context);
QString checkBackup(const Options& options);
int backup(CommandContext& context);
QString checkRestore(const Options& options);
int restore(CommandContext& context);
int undo(CommandContext& context);
QString checkCheck(const Options& options);
int check(CommandContext& context);
QString checkSchedule(const Options& options);
int schedule(CommandContext& context);

} // namespace Commands
