// The Find button of the folder page: ICQ's folder from ICQ's registry settings.
#include "core/IcqDiscovery.h"
#include "core/Trap.h"
#include "gui/app/frmMain.h"
#include "gui/runtime/MessageBoxes.h"

#include <QLineEdit>

void frmMain::cmdAutoFindICQDir_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdAutoFindICQDir_Click()"),
        [this] {
            setBusy(true);
            // Whatever the registry gave, the error text included: the folder page judges it.
            txtICQLocation->setText(icqFolderFromRegistry(plainBoxNotices(m_services)));
            setBusy(false);
        });
}
