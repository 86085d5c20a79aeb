// The critical error dialog: the details of one failure, the mail to the bug-report address,
// and the choice to continue or to shut the program down.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class RuntimeServices;

class frmErrorBox : public QDialog
{
    Q_OBJECT

public:
    static const QString Caption;
    // What the details box holds when the dialog is loaded, before the error handler fills it.
    static const QString DesignedDetails;

    explicit frmErrorBox(RuntimeServices& services, QWidget* parent = nullptr);

    // Loaded from the moment the details box is first reached until Continue or the close box.
    bool isLoaded() const { return m_loaded; }
    // Reaching the details box loads the dialog afresh when it is not loaded.
    QPlainTextEdit* detailsBox();

    // The mail link that carries the details to the bug-report address.
    static QString mailLink(const QString& details);

    // ---- Handlers ----------------------------------------------------------------------------
    void Form_Load();
    void cmdSendEmail_Click();
    void cmdContinueApp_Click();
    void cmdShutDownApp_Click();

    // ---- Controls ----------------------------------------------------------------------------
    QLabel* lblThisAppHasEncountered = nullptr;
    QPlainTextEdit* txtErrorDetails = nullptr;
    QLabel* lblToHelpMakeThisApp = nullptr;
    QPushButton* cmdSendEmail = nullptr;
    QLabel* lblWhenItMayBePossible = nullptr;
    QPushButton* cmdContinueApp = nullptr;
    QPushButton* cmdShutDownApp = nullptr;

    // Unloads the dialog, whichever way it is closed.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RuntimeServices& m_services;
    bool m_loaded = false;
};
