// The command line of zeb2000-cli: a command and its options.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

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

struct Invocation
{
    QString command; // find, list, backup, restore, undo
    QString icqFolder;
    QString fromFolder;
    QString toFolder;
    QStringList components; // names or folders
    bool dated = false;
    int keep = -1; // -1: keep every set
    bool latest = false;
    bool overwrite = false;
    bool force = false;
    bool quiet = false;
    bool copyUnchanged = false;
    bool verify = true;
};

// Reads the arguments (the program's name first). Answers the invocation, or none when the
// program is to end at once with `exitCode`: after --help or --version, or bad usage, whose
// message and the usage text have then been printed.
std::optional<Invocation> parseInvocation(const QStringList& arguments, int& exitCode);
