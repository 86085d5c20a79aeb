// The backup or restore behind "&Do It !": every selected component's folder is copied from
// the source side to the target side, one at a time, with progress and a result message.
#include "gui/app/WizardPages.h"
#include "gui/app/frmMain.h"

#include "core/BackupRun.h"
#include "core/FileCopier.h"
#include "core/IcqDiscovery.h"
#include "gui/runtime/MessageBoxes.h"
#include "gui/runtime/RuntimeServices.h"
#include "gui/widgets/cProgBar.h"
#include "os/os.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString CrLf = QStringLiteral("\r\n");
#ifdef _WIN32
const QString LineBreak = CrLf;
#else
const QString LineBreak = QStringLiteral("\n");
#endif

Os::ReplaceAnswer askReplaceInABox(RuntimeServices& services, const QString& targetFile)
{
    const MsgAnswer answer = services.msgBox(
        QStringLiteral("This folder already contains a file called '") +
            QFileInfo(targetFile).fileName() + QStringLiteral("'.") + LineBreak + LineBreak +
            QStringLiteral("Would you like to replace the existing file?"),
        MsgButtons::YesYesToAllNoCancel, MsgIcon::Exclamation,
        QStringLiteral("Confirm File Replace"));
    switch (answer) {
    case MsgAnswer::Yes:
    case MsgAnswer::Ok:
        return Os::ReplaceAnswer::Yes;
    case MsgAnswer::YesToAll:
        return Os::ReplaceAnswer::YesToAll;
    case MsgAnswer::No:
        return Os::ReplaceAnswer::No;
    case MsgAnswer::Cancel:
        break;
    }
    return Os::ReplaceAnswer::Cancel;
}

// The run's questions in the shell's boxes.
class BoxAnsweringObserver final : public RunObserver
{
public:
    explicit BoxAnsweringObserver(RuntimeServices& services) : m_services(services) {}
    Os::ReplaceAnswer askReplace(const QString& targetFile) override
    {
        return askReplaceInABox(m_services, targetFile);
    }

private:
    RuntimeServices& m_services;
};

// After a component: one box for all that could not be copied, and one for modes or times the
// target could not keep.
void reportCopyProblems(RuntimeServices& services, const QString& target,
                        const Os::CopyOutcome& outcome)
{
    const QStringList failures = describeCopyFailures(outcome);
    if (!failures.isEmpty())
        services.msgBox(QStringLiteral("These files could not be copied:") + LineBreak + LineBreak +
                            failures.join(LineBreak),
                        MsgButtons::OkOnly, MsgIcon::Critical,
                        QStringLiteral("Error Copying File or Folder"));
    if (outcome.attributesLost)
        services.msgBox(QStringLiteral("The files were copied into ") + target +
                            QStringLiteral(", but its file system does not keep the modes or "
                                           "times of some of them."),
                        MsgButtons::OkOnly, MsgIcon::Exclamation, QStringLiteral("Warning"));
}

// The entry's text is the name, a blank and the folder in brackets; the folder itself is kept
// beside the entry, so a name that holds "[" neither cuts the label nor misleads the copy.
QString componentNameWithBlank(const QListWidgetItem* entry, const QString& folder)
{
    const QString text = entry->text();
    return text.left(text.size() - folder.size() - 2);
}

} // namespace

void frmMain::runTask()
{
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(false);

    if (isIcqWindowOpen(plainBoxNotices(m_services))) {
        const MsgAnswer answer = m_services.msgBox(
            QStringLiteral("ICQ appears to be running right now. If you continue,") + CrLf +
                QStringLiteral("files may not be properly backed up or restored.") + CrLf + CrLf +
                QStringLiteral("Do you wish to continue (not recommended) ?"),
            MsgButtons::YesNo, MsgIcon::Exclamation, QStringLiteral("Warning!"));
        if (answer != MsgAnswer::Yes) {
            cmdBack->setEnabled(true);
            cmdNext->setEnabled(true);
            setBusy(false);
            return;
        }
    }

    BoxAnsweringObserver observer(m_services);
    RunPlan plan;
    const bool backup = optBackup->isChecked();
    plan.direction = backup ? Direction::Backup : Direction::Restore;
    plan.icqFolder = backup ? gstrSource : gstrTarget;
    plan.backupFolder = backup ? gstrTarget : gstrSource;
    plan.overwrite = chkOverwriteWithoutPrompting->checkState() == Qt::Checked;
    plan.ownerWindow = static_cast<qintptr>(winId());
    BackupRun run(plan, *this, observer);

    bool succeeded = true;
    QString failures;
    qint16 processed = 0;
    cProgBar& bar = progressBar();
    bar.setMax(100);
    bar.setMin(0);

    const int lastEntry = lstZPXsList->count() - 1;
    for (int index = 0; index <= lastEntry; ++index) {
        QListWidgetItem* entry = lstZPXsList->item(index);
        if (!entry || !entry->isSelected())
            continue;
        ++processed;
        const QString folder = entry->data(WizardPages::ComponentFolderRole).toString();
        const QString nameWithBlank = componentNameWithBlank(entry, folder);
        lblOverallProgress->setText(QStringLiteral("Current component: ") + nameWithBlank +
                                    QStringLiteral(" ..."));
        m_services.doEvents();

        const ComponentResult result = run.copyComponent(
            {nameWithBlank.chopped(1), folder, entry->data(Qt::UserRole).toInt() != 0});
        reportCopyProblems(m_services, gstrTarget + folder, result.outcome);
        if (!result.copied) {
            succeeded = false;
            failures += CrLf + entry->text();
        }

        // The user may change the selection while the run yields; with none left there is no
        // share to show, which the runtime reports as a division by zero.
        const qsizetype selected = lstZPXsList->selectedItems().size();
        if (selected == 0)
            raiseError(ErrorNumber::DivisionByZero);
        const int percent = static_cast<int>(100 * processed / selected);
        lblOverallPercentage->setText(QString::number(percent) + QLatin1Char('%'));
        bar.setValue(percent);
        m_services.doEvents();
    }

    // Leaving the program is for a run that succeeded; a failed one shows what failed first.
    if (succeeded && chkExitAfterDoing->checkState() == Qt::Checked) {
        cmdExit_Click();
    } else {
        lblOverallPercentage->setText(QStringLiteral("100%"));
        if (succeeded) {
            lblOverallProgress->setText(QStringLiteral("Finished!"));
            m_services.msgBox(QStringLiteral("The task was completed successfully!"),
                              MsgButtons::OkOnly, MsgIcon::Information, QStringLiteral("Info"));
        } else {
            lblOverallProgress->setText(QStringLiteral("One or more errors occured!"));
            ShowErrorMessage(m_services,
                             QStringLiteral("The following component(s) could not be processed:") +
                                 CrLf + CrLf + failures + CrLf + CrLf +
                                 QStringLiteral("The operation failed."));
        }
        lblOverallProgress->setText(QStringLiteral("Overall Progress"));
        lblOverallPercentage->setText(QStringLiteral("0%"));
        bar.setValue(0);
    }

    cmdBack->setEnabled(true);
    cmdNext->setEnabled(true);
    setBusy(false);
}
