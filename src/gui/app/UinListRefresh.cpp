// The UIN list: one entry per registered-user file in the source side's "UIN" folder.
#include "gui/app/frmMain.h"

#include "core/Trap.h"
#include "core/UinCatalogue.h"
#include "gui/runtime/MessageBoxes.h"

#include <QListWidget>

void frmMain::cmdUINListRefresh_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdUINListRefresh_Click()"),
        [this] {
            const BusyScope busy(*this);
            QListWidget* list = m_taskOptions->lstUINsList;
            list->clear();
            const QStringList uins = uinsOnSide(m_state.source());
            if (uins.isEmpty()) {
                ShowErrorMessage(m_services, QStringLiteral("No UINs were found!"));
                return;
            }
            list->addItems(uins);
        });
}
