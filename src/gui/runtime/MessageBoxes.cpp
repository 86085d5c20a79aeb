#include "gui/runtime/MessageBoxes.h"

#include "gui/runtime/RuntimeServices.h"

#include <QCoreApplication>

void ShowErrorMessage(RuntimeServices& services, const QString& text)
{
    services.msgBox(text, MsgButtons::OkOnly, MsgIcon::Critical,
                    QCoreApplication::translate("frmMain", "Error!"));
}

RegistryNotice plainBoxNotices(RuntimeServices& services)
{
    return [&services](const QString& message) {
        services.msgBox(message, MsgButtons::OkOnly, MsgIcon::None);
    };
}
