#include "cli/CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QMap>

#include <algorithm>

namespace {

const QString Program = QStringLiteral("zeb2000-cli");

struct OptionDefinition
{
    QStringList names;       // the short name first, where there is one
    const char* description; // in English; shown in the user's language
    QString valueName;
};

// Every option of every command, by its long name; a command picks its own from these.
const QMap<QString, OptionDefinition>& optionDefinitions()
{
    static const QMap<QString, OptionDefinition> definitions = {
        {QStringLiteral("icq"),
         {{QStringLiteral("icq")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "The ICQ folder (instead of the one the registry names)."),
          QStringLiteral("dir")}},
        {QStringLiteral("from"),
         {{QStringLiteral("from")},
          QT_TRANSLATE_NOOP("CommandLine", "The backup folder to list or restore from."),
          QStringLiteral("dir")}},
        {QStringLiteral("to"),
         {{QStringLiteral("to")},
          QT_TRANSLATE_NOOP("CommandLine", "The backup folder to back up into."),
          QStringLiteral("dir")}},
        {QStringLiteral("component"),
         {{QStringLiteral("component")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Only this component, by name or folder; may be repeated."),
          QStringLiteral("name")}},
        {QStringLiteral("dated"),
         {{QStringLiteral("dated")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Back up into a new set folder \"YYYY-MM-DD HHMM\" below the backup "
                            "folder."),
          {}}},
        {QStringLiteral("keep"),
         {{QStringLiteral("keep")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "With --dated: remove the oldest sets beyond the newest n, after a "
                            "backup in which everything was copied."),
          QStringLiteral("n")}},
        {QStringLiteral("mkpath"),
         {{QStringLiteral("mkpath")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Create every missing folder of the backup folder's path, not only "
                            "the last."),
          {}}},
        {QStringLiteral("latest"),
         {{QStringLiteral("latest")},
          QT_TRANSLATE_NOOP("CommandLine", "Restore from the newest set below --from."),
          {}}},
        {QStringLiteral("overwrite"),
         {{QStringLiteral("overwrite")},
          QT_TRANSLATE_NOOP("CommandLine", "Replace existing files without asking."),
          {}}},
        {QStringLiteral("full"),
         {{QStringLiteral("full")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Copy every file, also those the target holds in the same size and "
                            "time."),
          {}}},
        {QStringLiteral("no-verify"),
         {{QStringLiteral("no-verify")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Do not read each copy back to compare it with its source."),
          {}}},
        {QStringLiteral("force"),
         {{QStringLiteral("force")},
          QT_TRANSLATE_NOOP("CommandLine", "Go on although ICQ is running."),
          {}}},
        {QStringLiteral("keep-newer"),
         {{QStringLiteral("keep-newer")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Undo all the same, moving the files changed since the restore into "
                            "the set's newer/ folder first."),
          {}}},
        {QStringLiteral("quiet"),
         {{QStringLiteral("q"), QStringLiteral("quiet")},
          QT_TRANSLATE_NOOP("CommandLine", "Print nothing but what went wrong."),
          {}}},
        {QStringLiteral("verbose"),
         {{QStringLiteral("v"), QStringLiteral("verbose")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Tell each component's result and what became of every file."),
          {}}},
        {QStringLiteral("dry-run"),
         {{QStringLiteral("n"), QStringLiteral("dry-run")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "List what would be copied, replaced, linked, put back or removed, and "
                            "the room it needs; change nothing."),
          {}}},
        {QStringLiteral("weekly"),
         {{QStringLiteral("weekly")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Back up every week into dated sets below --to: the settings the user "
                            "timer reads written and the timer enabled (or, on Windows, the "
                            "scheduled task)."),
          {}}},
        {QStringLiteral("off"),
         {{QStringLiteral("off")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Stop the weekly backup and remove what --weekly set up."),
          {}}},
        {QStringLiteral("status"),
         {{QStringLiteral("status")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Tell whether the weekly backup is on, its folders, and how the last "
                            "backup went."),
          {}}},
        {QStringLiteral("scheduled"),
         {{QStringLiteral("scheduled")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Record the backup as the weekly one (the timer and the scheduled task "
                            "pass it)."),
          {}}},
        {QStringLiteral("json"),
         {{QStringLiteral("json")},
          QT_TRANSLATE_NOOP("CommandLine",
                            "Print the result as one JSON document on standard output."),
          {}}},
    };
    return definitions;
}

const OptionDefinition HelpOption{{QStringLiteral("h"), QStringLiteral("help")},
                                  QT_TRANSLATE_NOOP("CommandLine", "Print this help and exit."),
                                  {}};
const OptionDefinition VersionOption{
    {QStringLiteral("V"), QStringLiteral("version")},
    QT_TRANSLATE_NOOP("CommandLine", "Print the version and exit."),
    {}};

// A help entry: the left column, then the text wrapped within 79 columns, its later lines
// indented below the first.
QString helpEntry(const QString& left, int leftWidth, const QString& text)
{
    const int width = 79 - leftWidth;
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    lines << line;
    return QStringLiteral("%1").arg(left, -leftWidth) +
           lines.join(QLatin1Char('\n') + QString(leftWidth, QLatin1Char(' ')));
}

QCommandLineOption toOption(const OptionDefinition& definition)
{
    return QCommandLineOption(definition.names, CommandLine::tr(definition.description),
                              definition.valueName);
}

QString optionLines(const QList<OptionDefinition>& definitions)
{
    QStringList lines;
    for (const OptionDefinition& definition : definitions) {
        QStringList names;
        for (const QString& name : definition.names)
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString left = names.join(QStringLiteral(", "));
        if (definition.names.first().size() > 1)
            left.prepend(QStringLiteral("    "));
        if (!definition.valueName.isEmpty())
            left += QStringLiteral(" <%1>").arg(definition.valueName);
        lines << helpEntry(QStringLiteral("  ") + left + QStringLiteral("  "), 26,
                           CommandLine::tr(definition.description));
    }
    return lines.join(QLatin1Char('\n'));
}

QString programHelp()
{
    QStringList commands;
    for (const Command& command : commandTable())
        commands << helpEntry(QStringLiteral("  ") + command.name, 12,
                              CommandLine::tr(command.summary));
    return CommandLine::tr("Usage: %1 <command> [options]\n"
                           "Backs up and restores the data of classic ICQ without a window.\n\n"
                           "Commands:\n%2\n\nOptions:\n%3\n\n"
                           "'%1 <command> --help' lists the options of a command.\n"
                           "The ICQ folder is the one ICQ's registry settings name, in the Wine "
                           "prefix\n$WINEPREFIX (else ~/.wine) on Linux, unless --icq names one.\n"
                           "Exit status: 0 all copied, 1 something could not be copied or was "
                           "kept,\n2 bad usage, 3 ICQ is running, 4 no ICQ folder, 130 and 143 "
                           "stopped by SIGINT\nand SIGTERM.")
        .arg(Program, commands.join(QLatin1Char('\n')), optionLines({HelpOption, VersionOption}));
}

QString commandHelp(const Command& command)
{
    QList<OptionDefinition> definitions;
    for (const QString& name : command.options)
        definitions << optionDefinitions().value(name);
    definitions << HelpOption;
    return CommandLine::tr("Usage: %1 %2 [options]\n%3\n\nOptions:\n%4")
        .arg(Program, command.name, CommandLine::tr(command.summary), optionLines(definitions));
}

} // namespace

QString exitCodeMeaning(int exitCode)
{
    switch (exitCode) {
    case ExitSuccess:
        return QStringLiteral("success");
    case ExitSomethingFailed:
        return QStringLiteral("something could not be copied or was kept");
    case ExitBadUsage:
        return QStringLiteral("bad usage");
    case ExitIcqRunning:
        return QStringLiteral("ICQ is running");
    case ExitIcqNotFound:
        return QStringLiteral("no ICQ folder");
    case ExitInterrupted:
        return QStringLiteral("stopped by SIGINT");
    case ExitTerminated:
        return QStringLiteral("stopped by SIGTERM");
    default:
        return QString();
    }
}

QStringList optionNames()
{
    return optionDefinitions().keys();
}

int runCommandLine(const QStringList& arguments, Console& console, const QString& programFolder)
{
    const auto refuse = [&console](const QString& message) {
        console.printError(Program + QStringLiteral(": ") + message);
        console.printError(CommandLine::tr("Try '%1 --help'.").arg(Program));
        return int(ExitBadUsage);
    };
    const QString first = arguments.value(1);
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        console.print(programHelp());
        return ExitSuccess;
    }
    if (first == QLatin1String("-V") || first == QLatin1String("--version")) {
        console.print(Program + QStringLiteral(" ") + QStringLiteral(ZEB_RELEASE_TEXT));
        return ExitSuccess;
    }
    if (first.isEmpty())
        return refuse(CommandLine::tr("no command given"));
    const auto command =
        std::find_if(commandTable().begin(), commandTable().end(),
                     [&first](const Command& candidate) { return candidate.name == first; });
    if (command == commandTable().end())
        return refuse(first.startsWith(QLatin1Char('-'))
                          ? CommandLine::tr("a command comes first, not the option '%1'").arg(first)
                          : CommandLine::tr("unknown command '%1'").arg(first));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help = toOption(HelpOption);
    const QCommandLineOption version = toOption(VersionOption);
    parser.addOption(help);
    parser.addOption(version);
    for (const QString& name : command->options)
        parser.addOption(toOption(optionDefinitions().value(name)));
    if (!parser.parse(QStringList{arguments.first()} + arguments.mid(2)))
        return refuse(QStringLiteral("%1: %2").arg(command->name, parser.errorText()));
    if (parser.isSet(help)) {
        console.print(commandHelp(*command));
        return ExitSuccess;
    }
    if (parser.isSet(version)) {
        console.print(Program + QStringLiteral(" ") + QStringLiteral(ZEB_RELEASE_TEXT));
        return ExitSuccess;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(CommandLine::tr("%1 takes no argument '%2'")
                          .arg(command->name, parser.positionalArguments().first()));
    const auto has = [&](const char* name) {
        return command->options.contains(QLatin1String(name)) &&
               parser.isSet(QString::fromLatin1(name));
    };
    const auto value = [&](const char* name) {
        return has(name) ? parser.value(QString::fromLatin1(name)) : QString();
    };
    Options options;
    options.icqFolder = value("icq");
    options.fromFolder = value("from");
    options.toFolder = value("to");
    options.components =
        has("component") ? parser.values(QStringLiteral("component")) : QStringList();
    options.dated = has("dated");
    options.latest = has("latest");
    options.overwrite = has("overwrite");
    options.force = has("force");
    options.keepNewer = has("keep-newer");
    options.quiet = has("quiet");
    options.verbose = has("verbose");
    options.json = has("json");
    options.dryRun = has("dry-run");
    options.copyUnchanged = has("full");
    options.verify = !has("no-verify");
    options.makePath = has("mkpath");
    options.scheduled = has("scheduled");
    options.weekly = has("weekly");
    options.off = has("off");
    options.status = has("status");
    if (has("keep")) {
        bool number = false;
        options.keep = value("keep").toInt(&number);
        if (!number || options.keep < 1)
            return refuse(CommandLine::tr("--keep takes a number of sets, 1 or more"));
        if (!options.dated)
            return refuse(CommandLine::tr("--keep goes with --dated"));
    }
    if (options.quiet && options.verbose)
        return refuse(CommandLine::tr("--quiet and --verbose exclude each other"));
    if (command->check != nullptr) {
        const QString problem = command->check(options);
        if (!problem.isEmpty())
            return refuse(problem);
    }
    CommandContext context{console, options, programFolder, {}};
    const int exitCode = command->run(context);
    if (options.json) {
        context.report.insert(QStringLiteral("command"), command->name);
        context.report.insert(QStringLiteral("exitCode"), exitCode);
        context.report.insert(QStringLiteral("meaning"), exitCodeMeaning(exitCode));
        console.printJson(context.report);
    }
    return exitCode;
}
