// The main window: a wizard of four pages over one rectangle, each page a class holding its
// controls, with the black strip and the logo, the bottom row and the About panel. Its controls
// are real widgets whose objectName is the control's name. The wizard's state lives in a
// WindowState; the hidden labels and the validate buttons mirror it. Handlers are defined in
// the folder of the subsystem they belong to.
#pragma once

#include "core/ErrorSink.h"
#include "gui/app/WindowState.h"
#include "gui/app/WizardPages.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class BackupRun;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class RuntimeServices;
class WindowedJob;
class cProgBar;
class frmErrorBox;

class frmMain : public QWidget, public ErrorSink
{
    Q_OBJECT

public:
    explicit frmMain(RuntimeServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    static const QString WindowCaption;

    void HandleErrorsGlobally(const ErrorObject& errErrorObject,
                              const QString& strSubProcedureName) override;
    void SelectAllInList(QListWidget* lstList);
    void InvertList(QListWidget* lstList);

    // The window's one progress bar, drawing on Picture1.
    cProgBar& progressBar();
    // What the window shows and allows.
    const WindowState& state() const { return m_state; }
    // The error dialog, once the first failure has created it.
    frmErrorBox* errorBox() const { return m_errorBox.get(); }
    // A page by its number, 0 to WindowState::LastPage.
    WizardPage& page(int index) const { return *m_pages.at(static_cast<std::size_t>(index)); }

    // ---- Handlers ----------------------------------------------------------------------------
    void Form_Load();
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdExit_Click();
    void cmdInitialize_Click(qint16 Index);
    void cmdValidate_Click(qint16 Index);
    void cmdAutoFindICQDir_Click();
    void cmdBrowseForICQFolder_Click();
    void cmdBrowseForZEBFolder_Click();
    void cmdZPXListRefresh_Click();
    void cmdUINListRefresh_Click();
    void cmdZPXListSelectAll_Click();
    void cmdZPXListInvert_Click();
    void cmdUINListSelectAll_Click();
    void cmdUINListInvert_Click();
    void cmdAboutButton_Click();
    void cmdCheckForUpgradeButton_Click();
    void lblEmailAddress_Click();
    void lblWebSiteAddress_Click();
    void fraAbout_DblClick();
    void imgBigZEBAboutLogo_DblClick();
    void lblAboutFrameTitle_DblClick();
    void lblAboutFrameDetails_DblClick();
    void lblAboutFrameDblClickHereToContinue_DblClick();
    void cmdDebug_Click();
    void optBackup_DblClick();
    void optRestore_DblClick();
    void lstUINsList_DblClick();
    void cboBackupSet_Activated(int index);

private:
    // ---- Controls ----------------------------------------------------------------------------
    // Black strip
    QLabel* imgBlackImage = nullptr;
    QLabel* imgZEBLogo = nullptr;
    QPushButton* cmdAboutButton = nullptr;
    QPushButton* cmdCheckForUpgradeButton = nullptr;
    QLabel* lblCopyright = nullptr;
    // Bottom row
    QPushButton* cmdDebug = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdExit = nullptr;
    // Hidden mirrors of the state
    QLabel* lblBusy = nullptr;
    QLabel* lblFrameNumber = nullptr;
    // The pages, also by number
    SelectTaskPage* m_selectTask = nullptr;
    FolderLocationsPage* m_folderLocations = nullptr;
    TaskOptionsPage* m_taskOptions = nullptr;
    ReadyPage* m_ready = nullptr;
    std::array<WizardPage*, WindowState::PageCount> m_pages{};
    // About panel
    QGroupBox* fraAbout = nullptr;
    QLabel* imgBigZEBAboutLogo = nullptr;
    QLabel* lblAboutFrameTitle = nullptr;
    QLabel* lblAboutFrameDetails = nullptr;
    QLabel* lblEmailAddress = nullptr;
    QLabel* lblWebSiteAddress = nullptr;
    QLabel* lblAboutFrameDblClickHereToContinue = nullptr;

    void setupUi();         // every control in its designed state (layout file)
    void connectHandlers(); // the events that have handlers
    // Marks a handler at work for its whole extent, however it ends: a failure reported
    // through the error dialog leaves nothing busy behind once the user continues.
    class BusyScope
    {
    public:
        explicit BusyScope(frmMain& window);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        frmMain& m_window;
    };
    void changeState(WindowEvent event);
    void render();  // the widgets as the state says
    void runTask(); // the backup or restore behind "&Do It !"
    // Asks whether to go on when the target side lacks the room the plan needs.
    void showShareWithin(qint16 processed, double share);
    // Stops a run's copy cleanly before the program ends.
    void stopActiveRun();
    void HideAboutPanel();
    // The backup folder's dated sets in the drop-down, for a restore; the newest complete one
    // chosen. Lists again when the folder changed, or afresh (the page entered: a run since may
    // have made or pruned sets).
    void listBackupSets(bool afresh = false);
    // The undo choice on the first page, shown while the ICQ folder has a restore to undo.
    void showUndoChoice();
    // The first page's line of how the last backup went (weekly file).
    void showLastBackup();
    // The Ready page's weekly tick, read back from the system, and the user's tick or untick.
    void showWeeklyBackup();
    void chkBackupWeekly_Click();
    // Undoes the last restore after a Yes, telling the result in the window's boxes.
    void undoLastRestore();
    void browseForFolderInto(QLineEdit* folderBox, const QString& procedure);
    void selectAllButtonClicked(QListWidget* list, const QString& procedure);
    void invertButtonClicked(QListWidget* list, void (frmMain::*selectAllHandler)(),
                             const QString& procedure);

    RuntimeServices& m_services;
    WindowState m_state;
    std::unique_ptr<cProgBar> m_progBar;
    std::unique_ptr<frmErrorBox> m_errorBox;
    BackupRun* m_activeRun = nullptr; // while "&Do It !" runs
    WindowedJob* m_activeJob = nullptr;
    // The folder whose sets the drop-down lists, the entry of its newest complete set and the
    // entry last chosen (-1: none).
    QString m_setsListedOf;
    int m_newestCompleteSet = -1;
    int m_chosenSet = -1;
    // Enter presses the focused button or Next; Esc presses Exit (layout file).
    void keyPressEvent(QKeyEvent* event) override;
    // Closing the window while a handler works asks as Exit does, so that a run is not left
    // going on behind a window that is gone.
    void closeEvent(QCloseEvent* event) override;
    // Disabling Next while it has the focus (a run, the About panel) passes the focus on along
    // the tab order to Exit, where the next Enter would end the program: Next takes it back
    // when it is enabled again, unless the user has moved it meanwhile (navigation file).
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QPointer<QWidget> m_focusTakenFromNext;
};
