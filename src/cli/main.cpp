// zeb2000-cli: backups and restores without a window, for scripts and timers.
#include "cli/Commands.h"
#include "cli/Invocation.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeb2000-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    int exitCode = 0;
    const std::optional<Invocation> invocation = parseInvocation(app.arguments(), exitCode);
    return invocation ? runCommand(*invocation) : exitCode;
}
