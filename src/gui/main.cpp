#include "core/ErrorObject.h"
#include "gui/app/frmMain.h"
#include "gui/runtime/QtRuntimeServices.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Only the name: a display name would be appended to every window title.
    QApplication::setApplicationName(ApplicationName);

    QtRuntimeServices services;
    frmMain window(services);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
