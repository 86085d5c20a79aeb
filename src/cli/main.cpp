// zeb2000-cli: backups and restores without a window, for scripts and timers.
#include "cli/CommandLine.h"
#include "cli/Signals.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeb2000-cli"));
    SystemConsole console;
    if (!Signals::install()) {
        console.printError(CommandLine::tr("zeb2000-cli: the signal handlers could not be set"));
        return ExitSomethingFailed;
    }
    return runCommandLine(app.arguments(), console, QCoreApplication::applicationDirPath());
}
