#include "core/ErrorObject.h"
#include "core/Translations.h"
#include "gui/app/frmMain.h"
#include "gui/runtime/QtRuntimeServices.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

namespace {

// --help and --version answer on the terminal, without a window: a display need not exist.
bool answersOnTheTerminal(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

void setUpTheApplication()
{
    // Only the name: a display name would be appended to every window title.
    QCoreApplication::setApplicationName(ApplicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0.2518"));
    // The window's texts and Qt's own (the boxes' buttons, the folder picker).
    installTranslations(
        {QStringLiteral("zeb2000"), QStringLiteral("zeb_core"), QStringLiteral("qtbase")});
}

} // namespace

int main(int argc, char* argv[])
{
    if (answersOnTheTerminal(argc, argv)) {
        QCoreApplication terminal(argc, argv);
        setUpTheApplication();
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QStringLiteral("ZEB 2000 - The Definitive ICQ Backup Solution !\n") +
            frmMain::tr("Backs up and restores ICQ's data in a window; see zeb2000-cli for the "
                        "same without one."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.process(terminal); // prints and ends the program
        return 0;
    }

    QApplication app(argc, argv);
    setUpTheApplication();

    QtRuntimeServices services;
    frmMain window(services);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
