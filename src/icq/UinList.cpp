// The UIN list: one entry per registered-user file in the source side's "UIN" folder.
#include "app/frmMain.h"
#include "errors/ErrorObject.h"
#include "errors/Trap.h"
#include "support/FolderUtilities.h"
#include "support/RuntimeServices.h"
#include "support/os/os.h"

#include <QListWidget>

void frmMain::cmdUINListRefresh_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdUINListRefresh_Click()"),
        [this] {
            setBusy(true);
            lstUINsList->clear();

            const QStringList names =
                ListFiles(gstrSource + QStringLiteral("UIN") + QLatin1Char(Os::PathSeparator) +
                          QStringLiteral("*.UIN"));
            if (names.isEmpty()) {
                ShowErrorMessage(m_services, QStringLiteral("No UINs were found!"));
                setBusy(false);
                return;
            }

            // The UIN is the file's name less its extension ".uin" (in any letter case).
            for (const QString& name : names)
                lstUINsList->addItem(name.chopped(4));
            setBusy(false);
        });
}
