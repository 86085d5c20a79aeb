// The window as designed, its pages' classes included: every control with its caption, geometry,
// colours, fonts, initial state, stacking order and tab order; and the window's default and
// cancel keys.
#include "gui/app/frmMain.h"

#include "gui/about/ProductLinks.h"
#include "gui/widgets/DesignFonts.h"
#include "gui/widgets/DesignedControls.h"
#include "gui/widgets/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

// The product's name and build, in every language (the walks find the window by it).
const QString frmMain::WindowCaption =
    QStringLiteral("ZEB 2000 2.0 Public Beta 1 Build 2518 - Standard Edition");

namespace {

using DesignedControls::button;
using DesignedControls::label;
using DesignedControls::twips;

const QColor White(0xFF, 0xFF, 0xFF);
const QColor Black(0x00, 0x00, 0x00);
const QColor Grey(0x80, 0x80, 0x80);
const QColor LightGrey(0xE0, 0xE0, 0xE0);
const QColor Orange(0xFF, 0x80, 0x00);

void setColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

// Text that stands on the design's white: black, greyed when disabled, whatever the desktop's
// palette says (a dark one would make it white on white). Labels and frame captions draw in
// WindowText; buttons, option buttons and check boxes with a white face in ButtonText. Text
// boxes, lists and the other buttons keep the desktop's colours, background and text alike.
void textOnWhite(QWidget* widget, bool whiteFace = false)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        if (role == QPalette::ButtonText && !whiteFace)
            continue;
        palette.setColor(role, Black);
        palette.setColor(QPalette::Disabled, role, Grey);
    }
    widget->setPalette(palette);
}

// Buttons, option buttons and check boxes paint their background in the Button role.
void paintBackground(QWidget* widget, const QColor& color)
{
    setColor(widget, widget->backgroundRole(), color);
    widget->setAutoFillBackground(true);
}

// A narrower gap between an option button's or check box's indicator and its caption than the
// toolkit's, nearer the one the designed rectangles were drawn for: with the toolkit's own,
// "Restore" would not fit its rectangle at the designed size.
class ChoiceStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_RadioButtonLabelSpacing || metric == PM_CheckBoxLabelSpacing)
            return 4;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Option buttons and check boxes stand on white, their captions fitted to their rectangles.
template <typename Choice>
Choice* choice(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
               bool checked)
{
    auto* control = new Choice(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    control->setChecked(checked);
    auto* style = new ChoiceStyle;
    style->setParent(control);
    control->setStyle(style);
    paintBackground(control, White);
    textOnWhite(control, true);
    DesignFonts::shrinkToFit(control);
    return control;
}

QLabel* image(QWidget* parent, const char* name, const QString& picture, const QRect& geometry,
              bool stretch)
{
    auto* control = new QLabel(parent);
    control->setObjectName(QLatin1String(name));
    control->setPixmap(QPixmap(picture));
    control->setScaledContents(stretch);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    control->setGeometry(geometry);
    return control;
}

// A list of several choices; like the list boxes the design names, entries wider than the box
// are cut off instead of scrolled.
QListWidget* selectionList(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* control = new QListWidget(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    control->setSelectionMode(QAbstractItemView::ExtendedSelection);
    control->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return control;
}

// A button of graphical style: its face takes the given colour instead of the system's.
QPushButton* graphicalButton(QWidget* parent, const char* name, const QString& caption,
                             const QRect& geometry, const QColor& face)
{
    QPushButton* control = button(parent, name, caption, geometry);
    setColor(control, QPalette::Button, face);
    textOnWhite(control, true);
    return control;
}

// Draws a frame as a plain etched line below its caption: the toolkit's own frame tints the area
// inside it, and the pages must stay as white as the controls on them. The line is placed by the
// caption's own rectangle, so that it never crosses the caption at any scale or font.
class EtchedFrameStyle : public QProxyStyle
{
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override
    {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect caption = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
        QRect line = box->rect;
        line.setTop(caption.bottom() + 2);
        qDrawShadeRect(painter, line, box->palette, true, 1);
        drawItemText(painter, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                     box->palette, box->state & State_Enabled, box->text, QPalette::WindowText);
    }
};

// A frame over the pages' rectangle: the pages and the About panel that covers them.
void designFrame(QGroupBox* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    auto* style = new EtchedFrameStyle;
    style->setParent(control);
    control->setStyle(style);
    control->setGeometry(twips(2160, 120, 4815, 4095));
    paintBackground(control, White);
    textOnWhite(control);
}

} // namespace

WizardPage::WizardPage(QWidget* window, const QString& title) : QGroupBox(title, window)
{
    designFrame(this, "Frame1");
}

void WizardPage::addProtocolButtons(const QRect& initializeGeometry, const QRect& validateGeometry)
{
    cmdInitialize = button(this, "cmdInitialize", QStringLiteral("Initialize"), initializeGeometry);
    cmdInitialize->hide();
    cmdValidate = button(this, "cmdValidate", QStringLiteral("0"), validateGeometry);
    cmdValidate->hide();
}

SelectTaskPage::SelectTaskPage(QWidget* window) : WizardPage(window, frmMain::tr("Select Task"))
{
    lblWelcomeToZEB2000 =
        label(this, "lblWelcomeToZEB2000",
              frmMain::tr("Welcome to ZEB 2000 Version 2.0 - the simplest and fastest way to "
                          "backup and restore your ICQ settings !"),
              twips(120, 360, 4575, 495));
    lblChooseATask = label(this, "lblChooseATask", frmMain::tr("Choose a task to perform:"),
                           twips(120, 840, 4575, 255));
    lblBackupOptionDescription =
        label(this, "lblBackupOptionDescription",
              frmMain::tr("Choose this to backup your existing ICQ contact list, and other "
                          "settings. Backup regularly, eg. once a week, to avoid losing new "
                          "data."),
              twips(480, 1440, 3975, 615));
    lblRestoreOptionDescription =
        label(this, "lblRestoreOptionDescription",
              frmMain::tr("Choose this to restore a previously backed up copy of your ICQ "
                          "contact list, and/or other settings."),
              twips(480, 2400, 3975, 495));
    optBackup = choice<QRadioButton>(this, "optBackup", frmMain::tr("Ba&ckup"),
                                     twips(120, 1200, 855, 255), true);
    optRestore = choice<QRadioButton>(this, "optRestore", frmMain::tr("&Restore"),
                                      twips(120, 2160, 855, 255), false);
    // Below Restore, where the page has room.
    optUndo = choice<QRadioButton>(this, "optUndo", frmMain::tr("Undo the &last restore"),
                                   twips(120, 2940, 2535, 255), false);
    optUndo->hide();
    lblUndoOptionDescription =
        label(this, "lblUndoOptionDescription",
              frmMain::tr("Choose this to put back what the last restore replaced."),
              twips(480, 3180, 3975, 255));
    lblUndoOptionDescription->hide();
    // Two lines below the choices: a long backup folder is shortened in its middle.
    lblLastBackup = label(this, "lblLastBackup", QString(), twips(120, 3480, 4575, 480));
    addProtocolButtons(twips(2520, 3600, 975, 375), twips(3600, 3600, 1095, 375));
}

FolderLocationsPage::FolderLocationsPage(QWidget* window)
    : WizardPage(window, frmMain::tr("Folder Locations"))
{
    lblFolderLocationsDescription =
        label(this, "lblFolderLocationsDescription",
              frmMain::tr("This is where you specify your ICQ installation path, and the "
                          "backup location."),
              twips(120, 360, 4575, 615));
    lblICQInstallationPath =
        label(this, "lblICQInstallationPath",
              frmMain::tr("ICQ Installation &Path: This is where your ICQ is installed. If "
                          "you're not sure, then click \"Find\" and continue."),
              twips(120, 960, 4575, 495));
    lblBackupLocation =
        label(this, "lblBackupLocation",
              frmMain::tr("Backup &Location: This is where your backup files are, or will be "
                          "stored, for later restoration."),
              twips(120, 2520, 4575, 495));
    txtICQLocation = new QLineEdit(QStringLiteral("C:\\Program Files\\ICQ\\"), this);
    txtICQLocation->setObjectName(QStringLiteral("txtICQLocation"));
    txtICQLocation->setGeometry(twips(120, 1440, 4575, 405));
    cmdAutoFindICQDir =
        button(this, "cmdAutoFindICQDir", frmMain::tr("&Find"), twips(2160, 1920, 1215, 375));
    cmdBrowseForICQFolder =
        button(this, "cmdBrowseForICQFolder", frmMain::tr("B&rowse"), twips(3480, 1920, 1215, 375));
    txtZEBLocation = new QLineEdit(QStringLiteral("C:\\Program Files\\ZEB\\"), this);
    txtZEBLocation->setObjectName(QStringLiteral("txtZEBLocation"));
    txtZEBLocation->setGeometry(twips(120, 3000, 4575, 405));
    cmdBrowseForZEBFolder =
        button(this, "cmdBrowseForZEBFolder", frmMain::tr("Bro&wse"), twips(3480, 3480, 1215, 375));
    // The access keys belong to the labels and lead into the boxes beneath them.
    lblICQInstallationPath->setBuddy(txtICQLocation);
    lblBackupLocation->setBuddy(txtZEBLocation);
    // Left of Browse, where the row has room; shown for a restore from dated sets only.
    cboBackupSet = new QComboBox(this);
    cboBackupSet->setObjectName(QStringLiteral("cboBackupSet"));
    cboBackupSet->setGeometry(twips(120, 3480, 3255, 375));
    cboBackupSet->setAccessibleName(frmMain::tr("Backup set to restore"));
    cboBackupSet->hide();
    addProtocolButtons(twips(1200, 3480, 975, 375), twips(2280, 3480, 1095, 375));
}

TaskOptionsPage::TaskOptionsPage(QWidget* window) : WizardPage(window, frmMain::tr("Task Options"))
{
    lblWhatToBackupDescription =
        label(this, "lblWhatToBackupDescription",
              frmMain::tr("You can choose what components you wish to backup/restore. "
                          "Multiple selections allowed. Select all, if not sure !"),
              twips(120, 360, 4575, 495));
    Label1 = label(this, "Label1", frmMain::tr("Component(s):"), twips(120, 960, 4575, 255));
    lblUINsToBackup =
        label(this, "lblUINsToBackup", frmMain::tr("UIN(s):"), twips(120, 2520, 4575, 255));
    lstZPXsList = selectionList(this, "lstZPXsList", twips(120, 1200, 2895, 1230));
    // The captions above the lists name them for screen readers (lists do not take their
    // names from a buddy by themselves).
    Label1->setBuddy(lstZPXsList);
    lstZPXsList->setAccessibleName(Label1->text());
    cmdZPXListRefresh =
        button(this, "cmdZPXListRefresh", frmMain::tr("Re&fresh"), twips(3120, 1080, 1575, 375));
    cmdZPXListInvert =
        button(this, "cmdZPXListInvert", frmMain::tr("&Invert"), twips(3120, 1560, 1575, 375));
    cmdZPXListSelectAll = button(this, "cmdZPXListSelectAll", frmMain::tr("Se&lect All"),
                                 twips(3120, 2040, 1575, 375));
    // The UIN list and its buttons show what the page found; nothing lets the user change it.
    lstUINsList = selectionList(this, "lstUINsList", twips(120, 2760, 2895, 1230));
    lstUINsList->setEnabled(false);
    lblUINsToBackup->setBuddy(lstUINsList);
    lstUINsList->setAccessibleName(lblUINsToBackup->text());
    cmdUINListRefresh =
        button(this, "cmdUINListRefresh", frmMain::tr("Refres&h"), twips(3120, 2640, 1575, 375));
    cmdUINListInvert =
        button(this, "cmdUINListInvert", frmMain::tr("Inver&t"), twips(3120, 3120, 1575, 375));
    cmdUINListSelectAll = button(this, "cmdUINListSelectAll", frmMain::tr("Sele&ct All"),
                                 twips(3120, 3600, 1575, 375));
    for (QPushButton* uinButton : {cmdUINListRefresh, cmdUINListInvert, cmdUINListSelectAll})
        uinButton->setEnabled(false);
    addProtocolButtons(twips(2280, 120, 855, 195), twips(3120, 120, 855, 195));
}

ReadyPage::ReadyPage(QWidget* window) : WizardPage(window, frmMain::tr("Ready!"))
{
    lblEnoughInformationEtcEtc =
        label(this, "lblEnoughInformationEtcEtc",
              frmMain::tr("Enough information has been acquired to proceed with the selected "
                          "task. You can use the back and next buttons to make any changes, or "
                          "perform the task right now using the \"Do it!\" button!"),
              twips(120, 360, 4575, 855));
    lblOverallProgress = label(this, "lblOverallProgress", frmMain::tr("Overall Progress:"),
                               twips(120, 3120, 3855, 255));
    lblOverallPercentage = label(this, "lblOverallPercentage", QStringLiteral("0%"),
                                 twips(3960, 3120, 735, 255), Qt::AlignRight);
    addProtocolButtons(twips(2400, 1320, 975, 375), twips(3480, 1320, 1095, 375));
    // Nothing enables the overwrite box: copies always replace what they find.
    chkOverwriteWithoutPrompting =
        choice<QCheckBox>(this, "chkOverwriteWithoutPrompting",
                          frmMain::tr("&Overwrite existing files without prompting (caution!)"),
                          twips(120, 1800, 4575, 255), true);
    chkOverwriteWithoutPrompting->setEnabled(false);
    chkExitAfterDoing = choice<QCheckBox>(
        this, "chkExitAfterDoing", frmMain::tr("&Exit ZEB 2000 after successful task completion"),
        twips(120, 2040, 4575, 255), false);
    // Copies are read back and compared unless the user says otherwise; the choice lasts as
    // long as the window.
    chkVerifyCopies = choice<QCheckBox>(this, "chkVerifyCopies", frmMain::tr("&Verify copies"),
                                        twips(120, 2280, 4575, 255), true);
    // A restore may first read its backup back against the manifest; shown for a restore only.
    chkCheckBackup =
        choice<QCheckBox>(this, "chkCheckBackup", frmMain::tr("Chec&k the backup before restoring"),
                          twips(120, 2520, 4575, 255), false);
    chkCheckBackup->hide();
    // A backup's row in the same place: the weekly backup into this folder.
    chkBackupWeekly =
        choice<QCheckBox>(this, "chkBackupWeekly", frmMain::tr("Back up &weekly to this folder"),
                          twips(120, 2520, 4575, 255), false);
    chkBackupWeekly->hide();
    // Below the description, where the page has room: each backup a dated set, the newest kept.
    chkKeepHistory = choice<QCheckBox>(this, "chkKeepHistory",
                                       frmMain::tr("&Keep earlier backups (a dated set each time)"),
                                       twips(120, 1380, 3495, 255), false);
    spnKeepCount = new QSpinBox(this);
    spnKeepCount->setObjectName(QStringLiteral("spnKeepCount"));
    spnKeepCount->setGeometry(twips(3720, 1335, 975, 345));
    spnKeepCount->setRange(1, 99);
    spnKeepCount->setValue(8);
    spnKeepCount->setAccessibleName(frmMain::tr("Number of earlier backups kept"));
    spnKeepCount->setEnabled(false);
    showKeepHistory(false);
    QObject::connect(chkKeepHistory, &QCheckBox::toggled, spnKeepCount, &QWidget::setEnabled);
    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twips(120, 3360, 4575, 375));
    // The bar only shows; the label above it names it for screen readers, as it says what runs.
    lblOverallProgress->setBuddy(Picture1);
}

void ReadyPage::showKeepHistory(bool shown)
{
    // The spin box's edit line is a control of its own that Qt shows with it: hidden with the
    // box, it is no stop in the tab order of a page that does not show the box.
    for (QWidget* control :
         {static_cast<QWidget*>(chkKeepHistory), static_cast<QWidget*>(spnKeepCount),
          static_cast<QWidget*>(spnKeepCount->findChild<QLineEdit*>())})
        control->setVisible(shown);
}

void frmMain::setupUi()
{
    setWindowTitle(WindowCaption);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/zeb2000.ico")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DesignFonts::standardDialog());
    paintBackground(this, White);
    textOnWhite(this);

    // Black strip: the black image lowest, the logo and the copyright line over it.
    imgBlackImage = image(this, "imgBlackImage", QStringLiteral(":/pictures/black.bmp"),
                          twips(0, 0, 2055, 5175), true);
    imgZEBLogo = image(this, "imgZEBLogo", QStringLiteral(":/pictures/zeb-logo-128.gif"),
                       twips(75, 120, 1920, 1920), false);
    // On a scaled screen the logo drawn at twice the size keeps its place and its sharpness.
    if (qApp->devicePixelRatio() > 1.0) {
        QPixmap sharp(QStringLiteral(":/pictures/zeb-logo-128@2x.gif"));
        sharp.setDevicePixelRatio(2.0);
        imgZEBLogo->setPixmap(sharp);
    }
    lblCopyright = label(this, "lblCopyright", ProductLinks::Copyright, twips(0, 4080, 2055, 975),
                         Qt::AlignHCenter);
    setColor(lblCopyright, QPalette::WindowText, LightGrey);

    // Hidden state holders.
    lblBusy = label(this, "lblBusy", QStringLiteral("False"), twips(2160, 0, 855, 255));
    lblBusy->hide();
    lblFrameNumber =
        label(this, "lblFrameNumber", QStringLiteral("0"), twips(2400, 4320, 255, 255));
    lblFrameNumber->hide();

    cmdAboutButton = graphicalButton(this, "cmdAboutButton", tr("&About ZEB 2000 ..."),
                                     twips(120, 3120, 1815, 375), White);
    cmdCheckForUpgradeButton =
        graphicalButton(this, "cmdCheckForUpgradeButton", tr("Check for &upgrade ..."),
                        twips(120, 3600, 1815, 375), White);
    cmdCheckForUpgradeButton->setEnabled(false);

    // The pages, the first one shown.
    m_selectTask = new SelectTaskPage(this);
    m_folderLocations = new FolderLocationsPage(this);
    m_taskOptions = new TaskOptionsPage(this);
    m_ready = new ReadyPage(this);
    m_pages = {m_selectTask, m_folderLocations, m_taskOptions, m_ready};
    for (WizardPage* later : {m_pages[1], m_pages[2], m_pages[3]})
        later->hide();

    // About panel, above every page.
    fraAbout = new QGroupBox(tr("About ZEB 2000"), this);
    designFrame(fraAbout, "fraAbout");
    imgBigZEBAboutLogo =
        image(fraAbout, "imgBigZEBAboutLogo", QStringLiteral(":/pictures/zeb-logo-256.gif"),
              twips(480, 170, 3840, 3840), false);
    lblAboutFrameTitle =
        label(fraAbout, "lblAboutFrameTitle",
              QStringLiteral("ZEB 2000 Version 2.0 Public Beta 1 (Build 2518) Standard Edition"),
              twips(600, 480, 3615, 1455), Qt::AlignHCenter);
    lblAboutFrameTitle->setFont(DesignFonts::timesNewRoman(15.75, true));
    lblAboutFrameDetails =
        label(fraAbout, "lblAboutFrameDetails",
              tr("This is a BETA version, meant for testing purposes only. It is NOT COMPLETE "
                 "YET. If you want a proper working copy, please download version 1.1 SR-1 from "
                 "the homepage! Please report any bugs to %1, indicating the build you are "
                 "using. Also, check for upgrades regularly!")
                  .arg(ProductLinks::BugReportAddress),
              twips(120, 1800, 4575, 1095), Qt::AlignHCenter);
    lblEmailAddress = label(fraAbout, "lblEmailAddress", ProductLinks::ContactAddress,
                            twips(1560, 2880, 1695, 255), Qt::AlignHCenter);
    lblWebSiteAddress = label(fraAbout, "lblWebSiteAddress", ProductLinks::WebSiteCaption,
                              twips(1560, 3120, 1695, 255), Qt::AlignHCenter);
    for (QLabel* link : {lblEmailAddress, lblWebSiteAddress}) {
        link->setFont(DesignFonts::msSansSerif(false, true));
        setColor(link, QPalette::WindowText, Orange);
        // A link's address is one word: wrapping it would only cut it in two.
        link->setWordWrap(false);
        DesignFonts::shrinkToFit(link);
    }
    // The two links stand one above the other: one size for both.
    if (lblEmailAddress->font().pointSizeF() < lblWebSiteAddress->font().pointSizeF())
        lblWebSiteAddress->setFont(lblEmailAddress->font());
    else
        lblEmailAddress->setFont(lblWebSiteAddress->font());
    lblAboutFrameDblClickHereToContinue =
        label(fraAbout, "lblAboutFrameDblClickHereToContinue",
              tr("Double click anywhere in this frame to continue !"), twips(120, 3600, 4575, 375),
              Qt::AlignHCenter);
    fraAbout->hide();

    // Bottom row.
    cmdDebug = button(this, "cmdDebug", tr("&Debug"), twips(2160, 4320, 975, 375));
    cmdBack = button(this, "cmdBack", tr("<< &Back"), twips(3240, 4320, 1215, 375));
    cmdBack->setEnabled(false);
    cmdNext = button(this, "cmdNext", tr(qUtf8Printable(WindowState::NextCaption)),
                     twips(4440, 4320, 1215, 375));
    // Marks Next as the default button; the Enter key itself is handled in keyPressEvent.
    cmdNext->setDefault(true);
    cmdExit = button(this, "cmdExit", tr("Exit"), twips(5760, 4320, 1215, 375));

    // Reading order: the page's controls, then the bottom row, then the strip.
    const SelectTaskPage& task = *m_selectTask;
    const FolderLocationsPage& folders = *m_folderLocations;
    const TaskOptionsPage& options = *m_taskOptions;
    const ReadyPage& ready = *m_ready;
    QWidget* const tabOrder[] = {task.optBackup,
                                 task.optRestore,
                                 task.optUndo,
                                 folders.txtICQLocation,
                                 folders.cmdAutoFindICQDir,
                                 folders.cmdBrowseForICQFolder,
                                 folders.txtZEBLocation,
                                 folders.cmdBrowseForZEBFolder,
                                 folders.cboBackupSet,
                                 options.lstZPXsList,
                                 options.cmdZPXListRefresh,
                                 options.cmdZPXListInvert,
                                 options.cmdZPXListSelectAll,
                                 options.lstUINsList,
                                 options.cmdUINListRefresh,
                                 options.cmdUINListInvert,
                                 options.cmdUINListSelectAll,
                                 ready.chkOverwriteWithoutPrompting,
                                 ready.chkExitAfterDoing,
                                 ready.chkVerifyCopies,
                                 ready.chkCheckBackup,
                                 ready.chkKeepHistory,
                                 ready.spnKeepCount,
                                 cmdDebug,
                                 cmdBack,
                                 cmdNext,
                                 cmdExit,
                                 cmdAboutButton,
                                 cmdCheckForUpgradeButton};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    task.optBackup->setFocus();

    DesignedControls::fixAndCentre(this, twips(0, 0, 7095, 4815).size());
}

// Enter presses the button that has the focus, else the default button Next (whatever its
// caption); Esc presses Exit. The window is no dialog, so Qt does neither by itself. While the
// About panel is shown, both close it: a double-click is no way for a keyboard.
void frmMain::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const int key = event->key();
        if (m_state.aboutShown() &&
            (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
            HideAboutPanel();
            return;
        }
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
                focused->click();
            else
                cmdNext->click();
            return;
        case Qt::Key_Escape:
            cmdExit->click();
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}
