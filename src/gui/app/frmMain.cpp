#include "gui/app/frmMain.h"

#include "core/FolderUtilities.h"
#include "gui/errors/frmErrorBox.h"
#include "gui/runtime/RuntimeServices.h"
#include "gui/widgets/MouseEventHook.h"
#include "gui/widgets/cProgBar.h"
#include "os/os.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

// ICQ's default folder is a Windows path; under Linux it lives inside the Wine prefix.
QString defaultIcqFolder()
{
    return fromOsPath(Os::nativePathFromRegistry("C:\\Program Files\\ICQ\\"));
}

// Under Linux the backups stay outside the Wine prefix that they save: resetting a prefix, a
// usual cure for Wine's troubles, would delete them with it.
QString defaultBackupFolder()
{
#ifdef _WIN32
    return QStringLiteral("C:\\Program Files\\ZEB\\");
#else
    return QDir::homePath() + QStringLiteral("/ZEB 2000 backups/");
#endif
}

} // namespace

frmMain::frmMain(RuntimeServices& services, QWidget* parent) : QWidget(parent), m_services(services)
{
    setupUi();
    m_folderLocations->txtICQLocation->setText(defaultIcqFolder());
    m_folderLocations->txtZEBLocation->setText(defaultBackupFolder());
    connectHandlers();
    showUndoChoice();
    showLastBackup();
    render();
}

frmMain::~frmMain() = default;

void frmMain::connectHandlers()
{
    const auto onClick = [this](QAbstractButton* button, void (frmMain::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                endingAtQtBoundary([this, handler] { (this->*handler)(); }));
    };
    onClick(cmdNext, &frmMain::cmdNext_Click);
    cmdNext->installEventFilter(this); // gives the focus back when Next is enabled again
    onClick(cmdBack, &frmMain::cmdBack_Click);
    onClick(cmdExit, &frmMain::cmdExit_Click);
    const FolderLocationsPage& folders = *m_folderLocations;
    onClick(folders.cmdAutoFindICQDir, &frmMain::cmdAutoFindICQDir_Click);
    onClick(folders.cmdBrowseForICQFolder, &frmMain::cmdBrowseForICQFolder_Click);
    onClick(folders.cmdBrowseForZEBFolder, &frmMain::cmdBrowseForZEBFolder_Click);
    const TaskOptionsPage& options = *m_taskOptions;
    onClick(options.cmdZPXListRefresh, &frmMain::cmdZPXListRefresh_Click);
    onClick(options.cmdZPXListSelectAll, &frmMain::cmdZPXListSelectAll_Click);
    onClick(options.cmdZPXListInvert, &frmMain::cmdZPXListInvert_Click);
    onClick(options.cmdUINListRefresh, &frmMain::cmdUINListRefresh_Click);
    onClick(options.cmdUINListSelectAll, &frmMain::cmdUINListSelectAll_Click);
    onClick(options.cmdUINListInvert, &frmMain::cmdUINListInvert_Click);
    onClick(cmdAboutButton, &frmMain::cmdAboutButton_Click);
    onClick(cmdCheckForUpgradeButton, &frmMain::cmdCheckForUpgradeButton_Click);
    onClick(cmdDebug, &frmMain::cmdDebug_Click);
    onClick(m_ready->chkBackupWeekly, &frmMain::chkBackupWeekly_Click);
    for (qint16 index = 0; index < WindowState::PageCount; ++index) {
        connect(page(index).cmdInitialize, &QAbstractButton::clicked, this,
                endingAtQtBoundary([this, index] { cmdInitialize_Click(index); }));
        connect(page(index).cmdValidate, &QAbstractButton::clicked, this,
                endingAtQtBoundary([this, index] { cmdValidate_Click(index); }));
    }
    connect(folders.txtICQLocation, &QLineEdit::textChanged, this,
            endingAtQtBoundary([this] { showUndoChoice(); }));
    connect(folders.txtZEBLocation, &QLineEdit::textChanged, this,
            endingAtQtBoundary([this] { listBackupSets(); }));
    connect(folders.cboBackupSet, &QComboBox::activated, this, [this](int index) {
        endingAtQtBoundary([this, index] { cboBackupSet_Activated(index); })();
    });
    // The task is the window's state; the option buttons only let the user choose it.
    connect(m_selectTask->optBackup, &QRadioButton::toggled, this, [this](bool backup) {
        m_state.setDirection(backup ? Direction::Backup : Direction::Restore);
    });

    using Event = MouseEventHook::Event;
    const auto onMouse = [this](QWidget* widget, Event event, void (frmMain::*handler)()) {
        MouseEventHook::install(widget, event,
                                endingAtQtBoundary([this, handler] { (this->*handler)(); }));
    };
    onMouse(lblEmailAddress, Event::Click, &frmMain::lblEmailAddress_Click);
    onMouse(lblWebSiteAddress, Event::Click, &frmMain::lblWebSiteAddress_Click);
    onMouse(fraAbout, Event::DoubleClick, &frmMain::fraAbout_DblClick);
    onMouse(imgBigZEBAboutLogo, Event::DoubleClick, &frmMain::imgBigZEBAboutLogo_DblClick);
    onMouse(lblAboutFrameTitle, Event::DoubleClick, &frmMain::lblAboutFrameTitle_DblClick);
    onMouse(lblAboutFrameDetails, Event::DoubleClick, &frmMain::lblAboutFrameDetails_DblClick);
    onMouse(lblAboutFrameDblClickHereToContinue, Event::DoubleClick,
            &frmMain::lblAboutFrameDblClickHereToContinue_DblClick);
    onMouse(m_selectTask->optBackup, Event::DoubleClick, &frmMain::optBackup_DblClick);
    onMouse(m_selectTask->optRestore, Event::DoubleClick, &frmMain::optRestore_DblClick);
    onMouse(options.lstUINsList->viewport(), Event::DoubleClick, &frmMain::lstUINsList_DblClick);
}

cProgBar& frmMain::progressBar()
{
    if (!m_progBar)
        m_progBar = std::make_unique<cProgBar>();
    return *m_progBar;
}

void frmMain::Form_Load()
{
    progressBar().setCanvas(m_ready->Picture1);
    m_services.msgBox(tr("You are about to use a BETA version of ZEB 2000 V2.0 that is still \r\n"
                         "in a testing phase, and may not function correctly, if at all.\r\n\r\n"
                         "You are advised to continue at your own risk."),
                      MsgButtons::OkOnly, MsgIcon::Exclamation, tr("Warning"));
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_state.busy()) {
        event->accept();
        return;
    }
    // Exit ends the program on Yes; on No the window stays and the run goes on.
    event->ignore();
    endingAtQtBoundary([this] { cmdExit_Click(); })();
}
