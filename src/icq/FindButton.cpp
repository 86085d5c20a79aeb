// The Find button of the folder page: ICQ's folder from ICQ's registry settings.
#include "app/frmMain.h"
#include "errors/Trap.h"
#include "icq/IcqDiscovery.h"

#include <QLineEdit>

void frmMain::cmdAutoFindICQDir_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdAutoFindICQDir_Click()"),
        [this] {
            setBusy(true);
            // Whatever the registry gave, the error text included: the folder page judges it.
            txtICQLocation->setText(GetICQRegistryValue(m_services));
            setBusy(false);
        });
}
