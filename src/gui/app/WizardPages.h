// The wizard's four pages, each a frame over the pages' one rectangle that holds its controls.
// Their designed layout is in the layout file with the rest of the window's; what they do is the
// window's handlers, which report under the window's name.
#pragma once

#include "core/ComponentCatalogue.h"

#include <QGroupBox>

class PictureBox;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSpinBox;

// A page with its hidden initialise button (pressed on the way forward) and validate button
// (pressed before the page is left), whose caption and tag mirror the page's verdict in the
// window's state.
class WizardPage : public QGroupBox
{
public:
    QPushButton* cmdInitialize = nullptr;
    QPushButton* cmdValidate = nullptr;

protected:
    WizardPage(QWidget* window, const QString& title);
    void addProtocolButtons(const QRect& initializeGeometry, const QRect& validateGeometry);
};

class SelectTaskPage final : public WizardPage
{
public:
    explicit SelectTaskPage(QWidget* window);
    QLabel* lblWelcomeToZEB2000 = nullptr;
    QLabel* lblChooseATask = nullptr;
    QRadioButton* optBackup = nullptr;
    QLabel* lblBackupOptionDescription = nullptr;
    QRadioButton* optRestore = nullptr;
    QLabel* lblRestoreOptionDescription = nullptr;
    // Shown while a restore into the ICQ folder is there to undo.
    QRadioButton* optUndo = nullptr;
    QLabel* lblUndoOptionDescription = nullptr;
    // How the last backup went, under the designed texts; empty before the first.
    QLabel* lblLastBackup = nullptr;
};

class FolderLocationsPage final : public WizardPage
{
public:
    explicit FolderLocationsPage(QWidget* window);
    QLabel* lblFolderLocationsDescription = nullptr;
    QLabel* lblICQInstallationPath = nullptr;
    QLineEdit* txtICQLocation = nullptr;
    QPushButton* cmdAutoFindICQDir = nullptr;
    QPushButton* cmdBrowseForICQFolder = nullptr;
    QLabel* lblBackupLocation = nullptr;
    QLineEdit* txtZEBLocation = nullptr;
    QPushButton* cmdBrowseForZEBFolder = nullptr;
    // A restore from a folder of dated sets: the set to restore from, newest first.
    QComboBox* cboBackupSet = nullptr;
};

class TaskOptionsPage final : public WizardPage
{
public:
    explicit TaskOptionsPage(QWidget* window);
    // A component list entry: the component's text, with the component itself kept beside it,
    // so that a name holding "[" neither cuts the text nor misleads the copy.
    static QListWidgetItem* entryFor(const Component& component);
    static Component componentOf(const QListWidgetItem* entry);

    QLabel* lblWhatToBackupDescription = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* lstZPXsList = nullptr;
    QPushButton* cmdZPXListRefresh = nullptr;
    QPushButton* cmdZPXListInvert = nullptr;
    QPushButton* cmdZPXListSelectAll = nullptr;
    QLabel* lblUINsToBackup = nullptr;
    QListWidget* lstUINsList = nullptr;
    QPushButton* cmdUINListRefresh = nullptr;
    QPushButton* cmdUINListInvert = nullptr;
    QPushButton* cmdUINListSelectAll = nullptr;
};

class ReadyPage final : public WizardPage
{
public:
    explicit ReadyPage(QWidget* window);
    QLabel* lblEnoughInformationEtcEtc = nullptr;
    QCheckBox* chkOverwriteWithoutPrompting = nullptr;
    QCheckBox* chkExitAfterDoing = nullptr;
    QCheckBox* chkVerifyCopies = nullptr;
    QCheckBox* chkCheckBackup = nullptr;
    // A backup may keep earlier ones, each in a dated set; shown for a backup only.
    QCheckBox* chkKeepHistory = nullptr;
    QSpinBox* spnKeepCount = nullptr;
    void showKeepHistory(bool shown);
    // The weekly backup into this folder, read back from the system; shown for a backup only.
    QCheckBox* chkBackupWeekly = nullptr;
    QLabel* lblOverallProgress = nullptr;
    QLabel* lblOverallPercentage = nullptr;
    PictureBox* Picture1 = nullptr;
};
