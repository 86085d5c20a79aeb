#include "cli/Invocation.h"

#include "cli/Terminal.h"

#include <QCommandLineParser>
#include <QMap>

namespace {

const QString Commands = QStringLiteral(
    "Backs up and restores the data of classic ICQ without a window.\n\n"
    "Commands:\n"
    "  find      Print the ICQ folder named by ICQ's registry settings.\n"
    "  list      List the components and the ICQ users (UINs) on one side.\n"
    "  backup    Copy components from the ICQ folder to a backup folder.\n"
    "  restore   Copy components from a backup folder back to the ICQ folder, keeping the\n"
    "            files it replaces for an undo.\n"
    "  undo      Put back what the newest restore replaced.\n\n"
    "The ICQ folder is the one ICQ's registry settings name, in the Wine prefix $WINEPREFIX\n"
    "(else ~/.wine) on Linux, unless --icq names one. Exit status: 0 all copied, 1 something\n"
    "could not be copied or was kept, 2 bad usage, 3 ICQ is running, 4 no ICQ folder,\n"
    "130 and 143 stopped by SIGINT and SIGTERM.");

// The options each command takes.
const QMap<QString, QStringList> CommandOptions = {
    {QStringLiteral("find"), {}},
    {QStringLiteral("list"), {QStringLiteral("icq"), QStringLiteral("from")}},
    {QStringLiteral("backup"),
     {QStringLiteral("to"), QStringLiteral("icq"), QStringLiteral("component"),
      QStringLiteral("dated"), QStringLiteral("keep"), QStringLiteral("overwrite"),
      QStringLiteral("full"), QStringLiteral("no-verify"), QStringLiteral("force"),
      QStringLiteral("quiet")}},
    {QStringLiteral("restore"),
     {QStringLiteral("from"), QStringLiteral("latest"), QStringLiteral("icq"),
      QStringLiteral("component"), QStringLiteral("overwrite"), QStringLiteral("full"),
      QStringLiteral("no-verify"), QStringLiteral("force"), QStringLiteral("quiet")}},
    {QStringLiteral("undo"), {QStringLiteral("icq"), QStringLiteral("force")}},
};

} // namespace

std::optional<Invocation> parseInvocation(const QStringList& arguments, int& exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Commands);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("find, list, backup, restore or undo."));
    parser.addOptions({
        {QStringLiteral("icq"), QStringLiteral("The ICQ folder (instead of the registry's)."),
         QStringLiteral("dir")},
        {QStringLiteral("from"), QStringLiteral("The backup folder to list or restore from."),
         QStringLiteral("dir")},
        {QStringLiteral("to"), QStringLiteral("The backup folder to back up into."),
         QStringLiteral("dir")},
        {QStringLiteral("component"),
         QStringLiteral("Only this component, by name or folder; may be repeated."),
         QStringLiteral("name")},
        {QStringLiteral("dated"), QStringLiteral("Back up into a new set folder "
                                                 "\"YYYY-MM-DD HHMM\" below the backup folder.")},
        {QStringLiteral("keep"),
         QStringLiteral("With --dated: keep the newest n complete sets, remove older ones."),
         QStringLiteral("n")},
        {QStringLiteral("latest"),
         QStringLiteral("Restore from the newest complete set below --from.")},
        {QStringLiteral("overwrite"), QStringLiteral("Replace existing files without asking.")},
        {QStringLiteral("full"),
         QStringLiteral("Copy every file, also those the target holds in the same size and "
                        "time.")},
        {QStringLiteral("no-verify"),
         QStringLiteral("Do not read each copy back to compare it with its source.")},
        {QStringLiteral("force"),
         QStringLiteral("Go on although ICQ is running; undo: also put back files changed "
                        "since the restore, keeping those in the set.")},
        {QStringLiteral("quiet"), QStringLiteral("Print nothing but what went wrong.")},
    });

    const auto refuse = [&](const QString& message) {
        Terminal::printError(QStringLiteral("zeb2000-cli: ") + message);
        Terminal::printError(parser.helpText());
        exitCode = ExitBadUsage;
        return std::nullopt;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        Terminal::print(parser.helpText());
        exitCode = ExitSuccess;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        Terminal::print(QStringLiteral("zeb2000-cli 2.0.0"));
        exitCode = ExitSuccess;
        return std::nullopt;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1 || !CommandOptions.contains(positional.first()))
        return refuse(positional.isEmpty() ? QStringLiteral("no command given")
                                           : QStringLiteral("unknown command: ") +
                                                 positional.join(QLatin1Char(' ')));
    Invocation invocation;
    invocation.command = positional.first();
    for (const QString& option : parser.optionNames())
        if (!CommandOptions[invocation.command].contains(option))
            return refuse(QStringLiteral("%1 takes no --%2").arg(invocation.command, option));

    invocation.icqFolder = parser.value(QStringLiteral("icq"));
    invocation.fromFolder = parser.value(QStringLiteral("from"));
    invocation.toFolder = parser.value(QStringLiteral("to"));
    invocation.components = parser.values(QStringLiteral("component"));
    invocation.dated = parser.isSet(QStringLiteral("dated"));
    invocation.latest = parser.isSet(QStringLiteral("latest"));
    invocation.overwrite = parser.isSet(QStringLiteral("overwrite"));
    invocation.force = parser.isSet(QStringLiteral("force"));
    invocation.quiet = parser.isSet(QStringLiteral("quiet"));
    invocation.copyUnchanged = parser.isSet(QStringLiteral("full"));
    invocation.verify = !parser.isSet(QStringLiteral("no-verify"));
    if (parser.isSet(QStringLiteral("keep"))) {
        bool number = false;
        invocation.keep = parser.value(QStringLiteral("keep")).toInt(&number);
        if (!number || invocation.keep < 1)
            return refuse(QStringLiteral("--keep takes a number of sets, 1 or more"));
        if (!invocation.dated)
            return refuse(QStringLiteral("--keep goes with --dated"));
    }
    if (invocation.command == QLatin1String("backup") && invocation.toFolder.isEmpty())
        return refuse(QStringLiteral("backup needs --to"));
    if (invocation.command == QLatin1String("restore") && invocation.fromFolder.isEmpty())
        return refuse(QStringLiteral("restore needs --from"));
    if (invocation.command == QLatin1String("list") && !invocation.icqFolder.isEmpty() &&
        !invocation.fromFolder.isEmpty())
        return refuse(QStringLiteral("list takes --icq or --from, not both"));
    return invocation;
}
