// The commands of zeb2000-cli in one table, each in a file of its own (cli/commands/).
#include "cli/CommandLine.h"
#include "cli/commands/Shared.h"

using namespace Commands;

const QList<Command>& commandTable()
{
    static const QList<Command> table = {
        {QStringLiteral("find"),
         QT_TRANSLATE_NOOP("CommandLine", "Print the ICQ folder named by ICQ's registry settings."),
         {QStringLiteral("json")},
         nullptr,
         find},
        {QStringLiteral("list"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "List the components and the ICQ users (UINs) on one side."),
         {QStringLiteral("icq"), QStringLiteral("from"), QStringLiteral("json")},
         checkList,
         list},
        {QStringLiteral("backup"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "Copy components from the ICQ folder to a backup folder."),
         {QStringLiteral("to"), QStringLiteral("icq"), QStringLiteral("component"),
          QStringLiteral("dated"), QStringLiteral("keep"), QStringLiteral("mkpath"),
          QStringLiteral("overwrite"), QStringLiteral("full"), QStringLiteral("no-verify"),
          QStringLiteral("force"), QStringLiteral("dry-run"), QStringLiteral("quiet"),
          QStringLiteral("verbose"), QStringLiteral("scheduled"), QStringLiteral("json")},
         checkBackup,
         backup},
        {QStringLiteral("restore"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "Copy components from a backup folder back to the ICQ folder, keeping "
                           "the files it replaces for an undo."),
         {QStringLiteral("from"), QStringLiteral("latest"), QStringLiteral("icq"),
          QStringLiteral("component"), QStringLiteral("overwrite"), QStringLiteral("full"),
          QStringLiteral("no-verify"), QStringLiteral("force"), QStringLiteral("dry-run"),
          QStringLiteral("quiet"), QStringLiteral("verbose"), QStringLiteral("json")},
         checkRestore,
         restore},
        {QStringLiteral("undo"),
         QT_TRANSLATE_NOOP("CommandLine", "Put back what the newest restore replaced."),
         {QStringLiteral("icq"), QStringLiteral("force"), QStringLiteral("keep-newer"),
          QStringLiteral("dry-run"), QStringLiteral("quiet"), QStringLiteral("json")},
         nullptr,
         undo},
        {QStringLiteral("check"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "Read every file of a backup back and compare it with the backup's "
                           "manifest."),
         {QStringLiteral("from"), QStringLiteral("latest"), QStringLiteral("quiet"),
          QStringLiteral("json")},
         checkCheck,
         check},
        {QStringLiteral("schedule"),
         QT_TRANSLATE_NOOP(
             "CommandLine",
             "Set up the weekly backup into dated sets (the newest 8 kept), remove it, "
             "or tell how it stands and how the last backup went."),
         {QStringLiteral("weekly"), QStringLiteral("off"), QStringLiteral("status"),
          QStringLiteral("to"), QStringLiteral("icq"), QStringLiteral("quiet"),
          QStringLiteral("json")},
         checkSchedule,
         schedule},
    };
    return table;
}
