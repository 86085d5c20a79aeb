// zeb2000-cli: backups and restores without a window, for scripts and timers.
#include "cli/CommandLine.h"
#include "cli/Signals.h"
#include "core/Translations.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeb2000-cli"));
    // Messages and help in the user's language; --json and the exit codes never change with it.
    installTranslations(
        {QStringLiteral("zeb2000-cli"), QStringLiteral("zeb_core"), QStringLiteral("qtbase")});
    SystemConsole console;
    if (!Signals::install()) {
        console.printError(CommandLine::tr("zeb2000-cli: the signal handlers could not be set"));
        return ExitSomethingFailed;
    }
    return runCommandLine(app.arguments(), console, QCoreApplication::applicationDirPath());
}
