// The UIN list: one entry per registered-user file in the source side's "UIN" folder.
#include "gui/app/frmMain.h"

#include "core/BackupSets.h"
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
            QStringList uins;
            if (m_state.fromNewestSets()) {
                // From dated sets: those of the newest complete set that holds any.
                const QList<BackupSet> sets = backupSets(m_state.source());
                for (auto set = sets.crbegin(); set != sets.crend() && uins.isEmpty(); ++set)
                    if (set->complete)
                        uins = uinsOnSide(set->folder);
            } else {
                uins = uinsOnSide(m_state.source());
            }
            if (uins.isEmpty()) {
                ShowErrorMessage(m_services, tr("No UINs were found!"));
                return;
            }
            list->addItems(uins);
        });
}
