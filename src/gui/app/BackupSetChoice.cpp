// The drop-down of a restore from a folder of dated sets: each set as its record tells it, the
// newest first, and the newest complete one chosen unless the user chooses another.
#include "gui/app/frmMain.h"

#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/FolderUtilities.h"
#include "core/SizeFormat.h"
#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

const QString CrLf = QStringLiteral("\r\n");
// Beside each entry's set folder (the entry's data): whether the set is complete.
constexpr int CompleteRole = Qt::UserRole + 1;

// The box's rectangle is fixed: where an entry would be cut, the font steps down until the
// widest fits, as the design's captions do.
void fitEntries(QComboBox& choice)
{
    QStyleOptionComboBox option;
    option.initFrom(&choice);
    const int room =
        choice.style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &choice)
            .width() -
        4;
    QFont font = choice.parentWidget()->font();
    for (; font.pointSizeF() > 6; font.setPointSizeF(font.pointSizeF() - 0.5)) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (int i = 0; i < choice.count(); ++i)
            widest = qMax(widest, metrics.horizontalAdvance(choice.itemText(i)));
        if (widest <= room)
            break;
    }
    choice.setFont(font);
}

} // namespace

void frmMain::listBackupSets(bool afresh)
{
    runTrapped(
        *this, QStringLiteral("frmMain.listBackupSets()"),
        [this, afresh] {
            QComboBox* choice = m_folderLocations->cboBackupSet;
            // A backup lists none: its folder's sets are read only when it runs.
            if (m_state.direction() != Direction::Restore) {
                choice->hide();
                return;
            }
            const QString text = m_folderLocations->txtZEBLocation->text();
            const QString folder = folderPathProblem(text, false) == FolderPathProblem::None
                                       ? withTrailingSeparator(text)
                                       : QString();
            if (afresh || folder != m_setsListedOf) {
                m_setsListedOf = folder;
                choice->clear();
                m_newestCompleteSet = -1;
                const QList<BackupSet> sets =
                    folder.isEmpty() ? QList<BackupSet>() : backupSets(folder);
                // Oldest first by their records; the time is shown in local time, only to read.
                for (auto set = sets.crbegin(); set != sets.crend(); ++set) {
                    if (set->complete && m_newestCompleteSet < 0)
                        m_newestCompleteSet = choice->count();
                    choice->addItem(QStringLiteral("%1, %2, %3")
                                        .arg(set->stamp.madeUtc.toLocalTime().toString(
                                                 QStringLiteral("yyyy-MM-dd HH:mm")),
                                             set->complete ? tr("complete") : tr("incomplete"),
                                             formatSize(folderSize(set->folder))),
                                    set->folder);
                    choice->setItemData(choice->count() - 1, set->complete, CompleteRole);
                }
                fitEntries(*choice);
                // None complete: nothing is chosen until the user takes an incomplete one.
                m_chosenSet = m_newestCompleteSet;
                choice->setCurrentIndex(m_chosenSet);
            }
            choice->setVisible(choice->count() > 0);
        });
}

// An incomplete set holds what a backup that did not finish had copied: taken only after a Yes.
void frmMain::cboBackupSet_Activated(int index)
{
    runTrapped(
        *this, QStringLiteral("frmMain.cboBackupSet_Activated()"),
        [this, index] {
            QComboBox* choice = m_folderLocations->cboBackupSet;
            if (index == m_chosenSet)
                return;
            if (!choice->itemData(index, CompleteRole).toBool() &&
                m_services.msgBox(tr("This set is incomplete: the backup that made it did not "
                                     "finish, so files may be missing from it or only partly "
                                     "copied.") +
                                      CrLf + CrLf +
                                      tr("Do you wish to restore from it all the same?"),
                                  MsgButtons::YesNoDefaultNo, MsgIcon::Exclamation,
                                  tr("Backup set")) != MsgAnswer::Yes) {
                choice->setCurrentIndex(m_chosenSet);
                return;
            }
            m_chosenSet = index;
        });
}
