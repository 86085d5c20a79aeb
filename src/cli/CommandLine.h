// zeb2000-cli as a library: its commands in one table, each with its own options and help, run
// on a console whose streams a test can swap.
#pragma once

#include "cli/Console.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The exit codes, the same for every command.
enum ExitCode {
    ExitSuccess = 0,
    ExitSomethingFailed = 1,
    ExitBadUsage = 2,
    ExitIcqRunning = 3,
    ExitIcqNotFound = 4,
    ExitInterrupted = 130, // SIGINT (Ctrl+C)
    ExitTerminated = 143,  // SIGTERM
};

// What the exit code means, in the words of the help and of --json (English, whatever the
// language, as every value of the JSON document).
QString exitCodeMeaning(int exitCode);
// The command line's texts in the user's language: CommandLine::tr("...").
struct CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// The options of a command, as read from its command line.
struct Options
{
    QString icqFolder;
    QString fromFolder;
    QString toFolder;
    QStringList components; // names or folders
    bool dated = false;
    int keep = -1; // -1: keep every set
    bool latest = false;
    bool overwrite = false;
    bool force = false;
    bool keepNewer = false; // undo: files changed since the restore are moved aside, not refused
    bool quiet = false;
    bool verbose = false;
    bool json = false;
    bool dryRun = false;
    bool copyUnchanged = false;
    bool verify = true;
    bool makePath = false;
    bool scheduled = false;
    bool weekly = false; // schedule: --weekly, --off or --status
    bool off = false;
    bool status = false;
};

// What a command is run with.
struct CommandContext
{
    Console& console;
    const Options& options;
    QString programFolder; // where the plugin files are
    // What --json prints: filled by the command; the exit code and its meaning are added.
    QJsonObject report;
};

struct Command
{
    QString name;
    const char* summary; // in English; shown in the user's language
    // The long names of the options it takes, from optionNames(); --help, --version, --quiet,
    // --verbose and --json are there for every command that lists them too.
    QStringList options;
    // Checks what the options cannot say alone; answers an error text, or an empty one.
    QString (*check)(const Options& options);
    int (*run)(CommandContext& context);
};

// Every command, in the order the help lists them. The parser knows no others.
const QList<Command>& commandTable();
// The long names of every option that some command may take.
QStringList optionNames();

// Runs the command line (the program's name first) and answers the exit code.
int runCommandLine(const QStringList& arguments, Console& console, const QString& programFolder);
