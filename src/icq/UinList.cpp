// The UIN list: one entry per registered-user file in the source side's "UIN" folder.
#include "app/frmMain.h"
#include "errors/ErrorObject.h"
#include "errors/Trap.h"
#include "support/FolderUtilities.h"
#include "support/RuntimeServices.h"
#include "support/os/os.h"

#include <QListWidget>

#include <string>
#include <vector>

void frmMain::cmdUINListRefresh_Click()
{
    runTrapped(*this, QStringLiteral("frmMain.cmdUINListRefresh_Click()"), [this] {
        setBusy(true);
        lstUINsList->clear();

        const QChar separator = QLatin1Char(Os::PathSeparator);
        std::vector<std::string> names;
        if (const std::int32_t failure = Os::listFiles(
                toOsPath(gstrSource + QStringLiteral("UIN") + separator + QStringLiteral("*.UIN")),
                names))
            raiseError(failure);
        if (names.empty()) {
            ShowErrorMessage(m_services, QStringLiteral("No UINs were found!"));
            setBusy(false);
            return;
        }

        // The UIN is the file's name less its extension ".uin" (in any letter case).
        for (const std::string& name : names) {
            QString uin = fromOsPath(name);
            uin.chop(4);
            lstUINsList->addItem(uin);
        }
        setBusy(false);
    });
}
