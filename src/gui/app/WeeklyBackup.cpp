// "Backup regularly, eg. once a week": the Ready page's tick sets the weekly backup up or removes
// it, and shows what the system holds; the first page says how the last backup went.
#include "gui/app/WizardPages.h"
#include "gui/app/frmMain.h"

#include "core/LastBackup.h"
#include "core/Trap.h"
#include "core/WeeklySchedule.h"
#include "gui/runtime/MessageBoxes.h"
#include "gui/runtime/RuntimeServices.h"

#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

void frmMain::showLastBackup()
{
    runTrapped(
        *this, QStringLiteral("frmMain.showLastBackup()"),
        [this] {
            QLabel& shown = *m_selectTask->lblLastBackup;
            const QString line =
                lastBackupLine(readLastBackup(), QDateTime::currentDateTimeUtc()).toString();
            // The whole line for the tooltip and screen readers; on the page, what its two lines
            // hold (a word that wraps takes some of the second, hence the margin).
            const QFontMetrics metrics(shown.font());
            shown.setText(metrics.elidedText(line, Qt::ElideMiddle,
                                             2 * shown.width() - 8 * metrics.averageCharWidth()));
            shown.setToolTip(line);
            shown.setAccessibleName(line);
        });
}

void frmMain::showWeeklyBackup()
{
    const WeeklyState weekly = weeklyBackupState();
    // Compared in the form the settings hold, made by the same rule.
    m_ready->chkBackupWeekly->setChecked(weekly.on &&
                                         weekly.backup.backupFolder ==
                                             weeklyBackupFor(m_state.target(), {}).backupFolder);
}

void frmMain::chkBackupWeekly_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.chkBackupWeekly_Click()"),
        [this] {
            const BusyScope busy(*this);
            QString failed;
            Text how;
            if (m_ready->chkBackupWeekly->isChecked())
                failed =
                    scheduleWeeklyBackup(weeklyBackupFor(m_state.target(), m_state.source()), how);
            else
                failed = unscheduleWeeklyBackup();
            // The tick shows what the system now holds, whatever was asked.
            showWeeklyBackup();
            if (!failed.isEmpty())
                ShowErrorMessage(m_services, tr("The weekly backup could not be changed:") + CrLf +
                                                 CrLf + failed);
            else if (!how.isEmpty())
                m_services.msgBox(
                    tr("Weekly backup to %1: %2.")
                        .arg(QDir::toNativeSeparators(m_state.target()), how.toString()),
                    MsgButtons::OkOnly, MsgIcon::Information, tr("Info"));
        });
}
