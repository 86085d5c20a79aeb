// Each page's initialise step (on the way forward) and validate step (before it is left). The
// verdict and the message shown when the page refuses are the window's state, which the validate
// button's caption and tag show.
#include "gui/app/frmMain.h"

#include "core/BackupSets.h"
#include "core/FolderUtilities.h"
#include "core/TargetChecks.h"
#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

namespace {

void appendSeparator(QLineEdit* folderBox)
{
    folderBox->setText(withTrailingSeparator(folderBox->text()));
}

// What the folder page says when a box cannot name a folder; empty when both can.
QString folderBoxesRefusal(const QString& icqFolder, const QString& backupFolder)
{
    const auto refusal = [](const QString& box, const QString& button, FolderPathProblem problem) {
        const QString advice =
            QLatin1Char(' ') + frmMain::tr("Try using the '%1' button.").arg(button);
        switch (problem) {
        case FolderPathProblem::None:
            break;
        case FolderPathProblem::Empty:
            return frmMain::tr("%1 is empty.").arg(box) + advice;
        case FolderPathProblem::Relative:
            return frmMain::tr("%1 must be a full path.").arg(box) + advice;
        case FolderPathProblem::NulCharacter:
            return frmMain::tr("%1 holds a NUL character.").arg(box) + advice;
        case FolderPathProblem::FileSystemRoot:
            return frmMain::tr("%1 cannot be the root folder. Choose a folder below it.").arg(box);
        }
        return QString();
    };
    const QString icq = refusal(frmMain::tr("ICQ location"), frmMain::tr("Find"),
                                folderPathProblem(icqFolder, true));
    return !icq.isEmpty() ? icq
                          : refusal(frmMain::tr("Backup location"), frmMain::tr("Browse"),
                                    folderPathProblem(backupFolder, false));
}

// Only an ordinary file counts: a folder or a hidden file of that name does not.
bool fileIsListed(const QString& path)
{
    return !listMatchingFiles(path).isEmpty();
}

} // namespace

void frmMain::cmdInitialize_Click(qint16 Index)
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdInitialize_Click()"),
        [this, Index] {
            const BusyScope busy(*this);
            if (Index == 1)
                listBackupSets(true); // shown for a restore only
            if (Index == 2) {
                // Entering the page afresh rereads both lists and selects every entry again.
                cmdZPXListRefresh_Click();
                cmdZPXListSelectAll_Click();
                cmdUINListRefresh_Click();
                cmdUINListSelectAll_Click();
            }
            if (Index == 3) {
                const bool backup = m_state.direction() == Direction::Backup;
                m_ready->chkCheckBackup->setVisible(!backup);
                m_ready->chkBackupWeekly->setVisible(backup);
                if (backup)
                    showWeeklyBackup();
                // A folder that already holds dated sets goes on with them.
                m_ready->showKeepHistory(backup);
                if (backup)
                    m_ready->chkKeepHistory->setChecked(!backupSets(m_state.target()).isEmpty());
            }
        });
}

void frmMain::cmdValidate_Click(qint16 Index)
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdValidate_Click()"),
        [this, Index] {
            const BusyScope busy(*this);
            const auto verdict = [this, Index](bool valid) {
                m_state.setPageValid(Index, valid);
                render();
            };
            switch (Index) {
            case 0:
                verdict(true);
                break;
            case 1: {
                verdict(false);
                QLineEdit* icqBox = m_folderLocations->txtICQLocation;
                QLineEdit* backupBox = m_folderLocations->txtZEBLocation;
                // Boxes that name no usable folder are refused before anything is looked up
                // or changed.
                if (const QString refusal = folderBoxesRefusal(icqBox->text(), backupBox->text());
                    !refusal.isEmpty()) {
                    m_state.setPageRefusal(1, refusal);
                    break;
                }
                appendSeparator(icqBox);
                appendSeparator(backupBox);
                if (const QString refusal =
                        targetRefusal(
                            checkBackupTarget(backupBox->text(), icqBox->text(),
                                              everyPluginComponent(m_services.programFolder())),
                            backupBox->text())
                            .toString();
                    m_state.direction() == Direction::Backup && !refusal.isEmpty()) {
                    m_state.setPageRefusal(1, refusal);
                } else if (!fileIsListed(icqBox->text() + QStringLiteral("icq.exe"))) {
                    m_state.setPageRefusal(
                        1, tr("ICQ location is incorrect. Try using the 'Find' button."));
                } else if (QComboBox* sets = m_folderLocations->cboBackupSet;
                           m_state.direction() == Direction::Restore && sets->count() > 0) {
                    // A folder of dated sets: the newest complete set of each component, or
                    // only the set chosen by hand.
                    if (sets->currentIndex() < 0) {
                        m_state.setPageRefusal(
                            1, tr("No backup set is chosen. Choose the set to restore "
                                  "from beside the 'Browse' button."));
                    } else {
                        const bool newest = sets->currentIndex() == m_newestCompleteSet;
                        m_state.setFolders(
                            icqBox->text(),
                            newest ? backupBox->text() : sets->currentData().toString(), newest);
                        verdict(true);
                    }
                } else {
                    m_state.setFolders(icqBox->text(), backupBox->text());
                    verdict(true);
                }
                break;
            }
            case 2:
                verdict(!m_taskOptions->lstZPXsList->selectedItems().isEmpty() &&
                        !m_taskOptions->lstUINsList->selectedItems().isEmpty());
                break;
            default:
                break;
            }
        });
}
