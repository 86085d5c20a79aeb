// The backup or restore behind "&Do It !": every selected component's folder is copied from
// the source side to the target side, one at a time, with progress and a result message.
#include "gui/app/WindowedJob.h"
#include "gui/app/frmMain.h"

#include "core/BackupRun.h"
#include "core/ComponentCatalogue.h"
#include "core/ErrorSink.h"
#include "core/FolderUtilities.h"
#include "core/Task.h"
#include "core/Trap.h"
#include "core/UndoSets.h"
#include "gui/runtime/MessageBoxes.h"
#include "gui/runtime/RuntimeServices.h"
#include "gui/widgets/cProgBar.h"
#include "os/os.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSpinBox>

namespace {

const QString CrLf = QStringLiteral("\r\n");
#ifdef _WIN32
const QString LineBreak = CrLf;
#else
const QString LineBreak = QStringLiteral("\n");
#endif

// The task's questions in the window's boxes; the run's progress, kept for the window's next
// look.
class WindowObserver final : public TaskObserver
{
public:
    WindowObserver(RuntimeServices& services, WindowedJob& job, QLabel& progress)
        : m_services(services), m_job(job), m_progress(progress)
    {}

    // The folder is known here: the check needs no registry, and sees ICQ in the tray too.
    bool goOnWhileIcqRuns() override
    {
        return m_services.msgBox(
                   frmMain::tr("ICQ appears to be running right now. If you continue,\r\nfiles "
                               "may not be properly backed up or restored.") +
                       CrLf + CrLf + frmMain::tr("Do you wish to continue (not recommended) ?"),
                   MsgButtons::YesNoDefaultNo, MsgIcon::Exclamation,
                   frmMain::tr("Warning!")) == MsgAnswer::Yes;
    }
    bool goOnWithoutRoom(const QString& shortage) override
    {
        return m_services.msgBox(shortage + CrLf + CrLf + frmMain::tr("Do you wish to continue?"),
                                 MsgButtons::YesNo, MsgIcon::Exclamation,
                                 frmMain::tr("Not enough space!")) == MsgAnswer::Yes;
    }
    bool makeWholePath(const QString& backupFolder) override
    {
        return m_services.msgBox(
                   frmMain::tr("The folder %1 does not exist, nor the folder above it; the "
                               "disk it is on may not be mounted.")
                           .arg(backupFolder) +
                       CrLf + CrLf + frmMain::tr("Do you wish to create the whole path?"),
                   MsgButtons::YesNoDefaultNo, MsgIcon::Exclamation,
                   frmMain::tr("Backup location")) == MsgAnswer::Yes;
    }
    bool restoreUnchecked(const QString& backupFolder, const BackupCheck& check) override;
    // Read on the worker thread, while the window stays alive.
    void checkingBackup(const std::function<void()>& check) override
    {
        m_progress.setText(frmMain::tr("Checking the backup  ..."));
        m_job.run(check, [] {});
        m_progress.setText(frmMain::tr("Overall Progress"));
    }

    // The window's runs always replace what they find (the overwrite box is ticked and cannot be
    // cleared), so the copier never asks; were it to, nothing would be replaced.
    Os::ReplaceAnswer askReplace(const QString&) override { return Os::ReplaceAnswer::Cancel; }
    void componentStarted(const Component&, qint64 bytesToCopy) override
    {
        m_total = bytesToCopy;
        m_done = 0;
    }
    void componentProgress(qint64 bytesDone) override { m_done = bytesDone; }
    // The share of the current component done, 0 to 1.
    double share() const
    {
        const qint64 total = m_total;
        return total > 0 ? qBound(0.0, double(m_done) / double(total), 1.0) : 0.0;
    }

private:
    RuntimeServices& m_services;
    WindowedJob& m_job;
    QLabel& m_progress;
    std::atomic<qint64> m_total{0};
    std::atomic<qint64> m_done{0};
};

// A backup that does not match its manifest, or cannot be checked, is restored only when the
// user says so.
bool WindowObserver::restoreUnchecked(const QString& backupFolder, const BackupCheck& check)
{
    QString text;
    if (!check.refusal.isEmpty()) {
        text = frmMain::tr("The backup in %1 cannot be checked: its manifest names an %2, so a "
                           "later version of ZEB 2000 made it.")
                   .arg(backupFolder, check.refusal);
    } else if (!check.hasManifest) {
        text = frmMain::tr("The backup in %1 has no manifest, so its files cannot be checked: "
                           "the backup that made it did not finish, or an earlier version "
                           "made it.")
                   .arg(backupFolder);
    } else {
        QStringList lines = check.mismatches();
        constexpr qsizetype Shown = 10;
        const qsizetype more = lines.size() - Shown;
        if (more > 0)
            lines = lines.mid(0, Shown) << frmMain::tr("and %1 more").arg(more);
        text = frmMain::tr("The backup in %1 does not match its manifest:").arg(backupFolder) +
               CrLf + CrLf + lines.join(CrLf);
    }
    return m_services.msgBox(text + CrLf + CrLf +
                                 frmMain::tr("Do you wish to continue (not recommended) ?"),
                             MsgButtons::YesNoDefaultNo, MsgIcon::Exclamation,
                             frmMain::tr("Check backup")) == MsgAnswer::Yes;
}

// Failures of the copy reach the window's error dialog on the window's thread.
class WindowThreadSink final : public ErrorSink
{
public:
    WindowThreadSink(WindowedJob& job, ErrorSink& window) : m_job(job), m_window(window) {}
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        m_job.ask<bool>(
            [&] {
                m_window.HandleErrorsGlobally(error, procedure);
                return true;
            },
            false);
    }

private:
    WindowedJob& m_job;
    ErrorSink& m_window;
};

// After a component: one box for all that could not be copied.
void reportCopyFailures(RuntimeServices& services, const Os::CopyOutcome& outcome)
{
    const QStringList failures = describeCopyFailures(outcome);
    if (!failures.isEmpty())
        services.msgBox(frmMain::tr("These files could not be copied:") + LineBreak + LineBreak +
                            failures.join(LineBreak),
                        MsgButtons::OkOnly, MsgIcon::Critical,
                        frmMain::tr("Error Copying File or Folder"));
}

// The folders whose file system did not keep some modes or times: said once, with the result,
// rather than in a box per component that stops the run until it is answered.
QString attributesNote(const QStringList& folders)
{
    return folders.isEmpty() ? QString() : CrLf + CrLf + attributesLostNote(folders);
}

} // namespace

void frmMain::runTask()
{
    if (!m_state.apply(WindowEvent::RunStarted))
        return;
    render();
    // However the run ends (refused, finished, or by a failure of its own), the window's
    // buttons come back.
    const auto ended = qScopeGuard([this] {
        changeState(WindowEvent::RunEnded);
        showUndoChoice(); // a restore may have made one
        showLastBackup();
    });

    const bool backup = m_state.direction() == Direction::Backup;
    TaskSettings settings;
    settings.direction = m_state.direction();
    settings.icqFolder = backup ? m_state.source() : m_state.target();
    settings.backupFolder = backup ? m_state.target() : m_state.source();
    settings.everyComponent = everyPluginComponent(m_services.programFolder());
    settings.overwrite = m_ready->chkOverwriteWithoutPrompting->checkState() == Qt::Checked;
    settings.verify = m_ready->chkVerifyCopies->isChecked();
    settings.checkBackup = !backup && m_ready->chkCheckBackup->isChecked();
    settings.dated = backup && m_ready->chkKeepHistory->isChecked();
    settings.keep = m_ready->spnKeepCount->value();
    settings.latest = m_state.fromNewestSets();
    settings.programFolder = withTrailingSeparator(m_services.programFolder());
    for (const QListWidgetItem* entry : m_taskOptions->lstZPXsList->selectedItems())
        settings.components << TaskOptionsPage::componentOf(entry);

    WindowedJob job(m_services);
    WindowObserver observer(m_services, job, *m_ready->lblOverallProgress);
    WindowThreadSink sink(job, *this);
    Task task(settings, sink, observer);
    if (!task.prepare()) {
        const TaskResult& refused = task.result();
        if (refused.refusal == TaskRefusal::Locked)
            m_services.msgBox(refused.reason.toString(), MsgButtons::OkOnly, MsgIcon::Exclamation,
                              tr("Warning!"));
        else if (refused.refusal == TaskRefusal::FolderNotMade)
            ShowErrorMessage(m_services,
                             tr("The folder %1 could not be created.").arg(settings.backupFolder));
        else if (refused.refusal == TaskRefusal::TargetRefused ||
                 refused.refusal == TaskRefusal::SetNotBegun)
            ShowErrorMessage(m_services, refused.reason.toString());
        else if (refused.refusal == TaskRefusal::NoSet)
            ShowErrorMessage(m_services,
                             tr("No complete dated backup set in %1 holds %2.")
                                 .arg(settings.backupFolder, refused.reason.toString()));
        return;
    }
    BackupRun& run = *task.copy();
    m_activeRun = &run;
    m_activeJob = &job;
    // However the run ends (a failure of its own included), the window forgets it.
    const auto forget = qScopeGuard([this] {
        m_activeRun = nullptr;
        m_activeJob = nullptr;
    });

    // The components are taken from the list as the run reaches them: the user may change the
    // selection while it runs. Between components the window's thread is free (nothing waits on
    // it), so the window can handle its events and an Exit there finds no copy at work.
    QString failures;
    qint16 processed = 0;
    int nextEntry = 0;
    cProgBar& bar = progressBar();
    bar.setMax(100);
    bar.setMin(0);

    const auto nextSelected = [&]() -> std::optional<Component> {
        for (; nextEntry < m_taskOptions->lstZPXsList->count(); ++nextEntry) {
            const QListWidgetItem* entry = m_taskOptions->lstZPXsList->item(nextEntry);
            if (!entry->isSelected())
                continue;
            ++nextEntry;
            ++processed;
            const Component component = TaskOptionsPage::componentOf(entry);
            m_ready->lblOverallProgress->setText(
                tr("Current component: %1  ...").arg(component.name));
            m_services.doEvents();
            return component;
        }
        return std::nullopt;
    };
    // The copy goes on in a thread of its own; the bar moves within the component.
    const auto copyInThread = [&](const Component& component) {
        ComponentResult result;
        job.run([&] { result = run.copyComponent(component); },
                [&] { showShareWithin(processed, observer.share()); });
        if (run.stopRequested())
            return result;
        reportCopyFailures(m_services, result.outcome);
        if (!result.copied)
            failures += CrLf + component.entryText();
        // The user may change the selection while the run yields; with none left there is no
        // share to show, which the runtime reports as a division by zero.
        const qsizetype selected = m_taskOptions->lstZPXsList->selectedItems().size();
        if (selected == 0)
            raiseError(ErrorNumber::DivisionByZero);
        const int percent = static_cast<int>(100 * processed / selected);
        m_ready->lblOverallPercentage->setText(QString::number(percent) + QLatin1Char('%'));
        bar.setValue(percent);
        m_services.doEvents();
        return result;
    };
    const TaskResult& result = task.execute(nextSelected, copyInThread);
    // The manifest or the undo set failed after the copy (told by the sink): not a success.
    if (result.finishFailed)
        failures += CrLf + tr("The end of the run (the manifest or the undo set)");
    // The dated set's own steps: its record, the pruning of the old ones.
    if (!result.setFailure.isEmpty())
        failures += CrLf + tr("The dated backup set: %1").arg(result.setFailure.toString());

    // The program ends while the run stops: nothing more to say.
    if (result.stopped)
        return;
    const bool succeeded = result.succeeded();
    const QString& undoFolder = result.undoFolder;
    const QStringList& attributesLostIn = result.attributesLostIn;

    // Leaving the program is for a run that succeeded; a failed one shows what failed first.
    if (succeeded && m_ready->chkExitAfterDoing->checkState() == Qt::Checked) {
        cmdExit_Click();
    } else {
        m_ready->lblOverallPercentage->setText(QStringLiteral("100%"));
        if (succeeded) {
            m_ready->lblOverallProgress->setText(tr("Finished!"));
            // After a restore, where the files it replaced wait for an undo.
            m_services.msgBox(
                tr("The task was completed successfully!") +
                    (undoFolder.isEmpty() ? QString() : CrLf + undoSetNote(undoFolder)) +
                    attributesNote(attributesLostIn),
                MsgButtons::OkOnly, MsgIcon::Information, tr("Info"));
        } else {
            m_ready->lblOverallProgress->setText(tr("One or more errors occured!"));
            ShowErrorMessage(m_services, tr("The following component(s) could not be processed:") +
                                             CrLf + CrLf + failures + CrLf + CrLf +
                                             tr("The operation failed.") +
                                             attributesNote(attributesLostIn));
        }
        m_ready->lblOverallProgress->setText(tr("Overall Progress"));
        m_ready->lblOverallPercentage->setText(QStringLiteral("0%"));
        bar.setValue(0);
    }
}

// Between the ends of components the bar shows the share of the current one as well; at each
// end the run sets the figure of the whole components done.
void frmMain::showShareWithin(qint16 processed, double share)
{
    const qsizetype selected = m_taskOptions->lstZPXsList->selectedItems().size();
    if (selected == 0)
        return;
    const int percent = static_cast<int>(100 * (processed - 1 + share) / double(selected));
    if (percent <= progressBar().Value())
        return;
    m_ready->lblOverallPercentage->setText(QString::number(percent) + QLatin1Char('%'));
    progressBar().setValue(percent);
}

void frmMain::stopActiveRun()
{
    if (!m_activeRun)
        return;
    // The copy drops the file it writes and puts those it wrote in place; a restore's undo set
    // is closed so that what was restored can be undone.
    changeState(WindowEvent::StopRequested);
    m_activeRun->requestStop();
    m_activeJob->abandonAndWait();
    m_activeRun->finish(false);
}

void frmMain::showUndoChoice()
{
    runTrapped(
        *this, QStringLiteral("frmMain.showUndoChoice()"),
        [this] {
            const QString text = m_folderLocations->txtICQLocation->text();
            const bool shown = folderPathProblem(text, true) == FolderPathProblem::None &&
                               hasRestoreToUndo(withTrailingSeparator(text));
            if (!shown && m_selectTask->optUndo->isChecked())
                m_selectTask->optBackup->setChecked(true);
            m_selectTask->optUndo->setVisible(shown);
            m_selectTask->lblUndoOptionDescription->setVisible(shown);
        });
}

// The checks and answers of the command line's undo, in the window's boxes: a file changed since
// the restore stops it before anything is put back.
void frmMain::undoLastRestore()
{
    const QString icq = withTrailingSeparator(m_folderLocations->txtICQLocation->text());
    if (m_services.msgBox(tr("Do you wish to put back the files the last restore "
                             "into %1 replaced, and take away those it added?")
                              .arg(icq),
                          MsgButtons::YesNoDefaultNo, MsgIcon::Exclamation,
                          tr("Undo")) != MsgAnswer::Yes)
        return;
    WindowedJob job(m_services);
    WindowObserver observer(m_services, job, *m_ready->lblOverallProgress);
    const UndoTaskResult task = undoTask(icq, false, false, observer);
    showUndoChoice();
    if (task.refusal == TaskRefusal::Locked)
        m_services.msgBox(task.reason.toString(), MsgButtons::OkOnly, MsgIcon::Exclamation,
                          tr("Warning!"));
    if (task.refusal != TaskRefusal::None)
        return;
    const UndoOutcome& undone = task.outcome;
    const QString notes = undone.notes.isEmpty() ? QString()
                                                 : CrLf + CrLf + tr("Left in place:") + CrLf +
                                                       Text::toStrings(undone.notes).join(CrLf);
    if (undone.set.isEmpty()) {
        ShowErrorMessage(m_services, tr("There is no restore to undo in %1.").arg(icq));
    } else if (!undone.newer.isEmpty()) {
        ShowErrorMessage(m_services, tr("These files were changed since the restore:") + CrLf +
                                         CrLf + undone.newer.join(CrLf) + CrLf + CrLf +
                                         tr("Nothing was put back."));
    } else if (!undone.finished) {
        ShowErrorMessage(m_services, tr("These could not be put back:") + CrLf + CrLf +
                                         Text::toStrings(undone.failures).join(CrLf) + CrLf + CrLf +
                                         tr("The undo stopped; %1 stays. Undo the last restore "
                                            "again to finish.")
                                             .arg(undone.set) +
                                         notes);
    } else {
        m_services.msgBox(tr("Put back what the restore of %1 replaced.").arg(undone.set) + notes,
                          MsgButtons::OkOnly, MsgIcon::Information, tr("Info"));
    }
}
