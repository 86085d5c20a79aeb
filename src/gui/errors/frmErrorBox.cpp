#include "gui/errors/frmErrorBox.h"

#include "gui/about/ProductLinks.h"
#include "gui/runtime/RuntimeServices.h"
#include "gui/widgets/DesignFonts.h"
#include "gui/widgets/DesignedControls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

// The dialog shows them translated.
const QString frmErrorBox::Caption =
    QStringLiteral(QT_TRANSLATE_NOOP("frmErrorBox", "Critial application error !"));
const QString frmErrorBox::DesignedDetails =
    QStringLiteral(QT_TRANSLATE_NOOP("frmErrorBox", "Error Details\r\n"));

namespace {

using DesignedControls::button;
using DesignedControls::label;
using DesignedControls::twips;

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

frmErrorBox::frmErrorBox(RuntimeServices& services, QWidget* parent)
    : QDialog(parent), m_services(services)
{
    setObjectName(QStringLiteral("frmErrorBox"));
    setWindowTitle(tr(qUtf8Printable(Caption)));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/error.ico")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DesignFonts::standardDialog());

    // Labels first, so that the buttons lie above them where their rectangles touch.
    lblThisAppHasEncountered =
        label(this, "lblThisAppHasEncountered",
              tr("This application has encountered a critical error, details of "
                 "which are given below. :"),
              twips(120, 120, 6135, 495));
    lblThisAppHasEncountered->setFont(DesignFonts::msSansSerif(true));
    DesignFonts::shrinkToFit(lblThisAppHasEncountered);
    lblToHelpMakeThisApp =
        label(this, "lblToHelpMakeThisApp",
              tr("To help make this application totally bug-free, please email this data to "
                 "%1. You can click on the button below to start your default mail client, and "
                 "send the mail. Alternatively, this data has also been copied to the "
                 "clipboard, and you can paste it into your mail client if it doesn't start up "
                 "after clicking this button.")
                  .arg(ProductLinks::BugReportAddress),
              twips(120, 1920, 6135, 855));
    lblWhenItMayBePossible =
        label(this, "lblWhenItMayBePossible",
              tr("While it may be possible to continue in cases of some errors, it is "
                 "not recommended, unless you really know what you're upto. This "
                 "feature is intended to be used by advanced users only."),
              twips(120, 3240, 6135, 615));

    txtErrorDetails = new QPlainTextEdit(tr(qUtf8Printable(DesignedDetails)), this);
    txtErrorDetails->setObjectName(QStringLiteral("txtErrorDetails"));
    txtErrorDetails->setGeometry(twips(120, 600, 6135, 1215));
    txtErrorDetails->setFont(DesignFonts::courierNew(9.75));
    txtErrorDetails->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtErrorDetails->setTabChangesFocus(true);
    txtErrorDetails->installEventFilter(this);

    cmdSendEmail = button(this, "cmdSendEmail", tr("Send &Email"), twips(4320, 2760, 1935, 375));
    cmdSendEmail->setDefault(true);
    cmdContinueApp =
        button(this, "cmdContinueApp", tr("Continue (Caution!)"), twips(2280, 3840, 1935, 375));
    cmdShutDownApp =
        button(this, "cmdShutDownApp", tr("Shut Down Application"), twips(4320, 3840, 1935, 375));
    connect(cmdSendEmail, &QPushButton::clicked, this, &frmErrorBox::cmdSendEmail_Click);
    connect(cmdContinueApp, &QPushButton::clicked, this, &frmErrorBox::cmdContinueApp_Click);
    connect(cmdShutDownApp, &QPushButton::clicked, this,
            endingAtQtBoundary([this] { cmdShutDownApp_Click(); }));

    setTabOrder(txtErrorDetails, cmdSendEmail);
    setTabOrder(cmdSendEmail, cmdContinueApp);
    setTabOrder(cmdContinueApp, cmdShutDownApp);

    DesignedControls::fixAndCentre(this, twips(0, 0, 6375, 4335).size());
}

QPlainTextEdit* frmErrorBox::detailsBox()
{
    if (!m_loaded)
        Form_Load();
    return txtErrorDetails;
}

void frmErrorBox::Form_Load()
{
    // One instance serves every failure, so each load puts back what the design shows.
    m_loaded = true;
    txtErrorDetails->setPlainText(tr(qUtf8Printable(DesignedDetails)));
    txtErrorDetails->setFocus();
    m_services.beep();
}

QString frmErrorBox::mailLink(const QString& details)
{
    // Mail programs expect CR LF between the body's lines.
    QString body = details;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    body.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // Encoded, an "&", "#" or line break in the details can no longer cut the body short or
    // start another field; the characters that are safe in a query stay readable.
    const QByteArray encoded = body.toUtf8().toPercentEncoding("!$'()*,/:;@");
    return QStringLiteral("mailto:") + ProductLinks::BugReportAddress +
           QStringLiteral("?subject=ZEB%20Bug!&body=") + QString::fromLatin1(encoded);
}

void frmErrorBox::cmdSendEmail_Click()
{
    m_services.shellOpen(mailLink(txtErrorDetails->toPlainText()));
}

void frmErrorBox::cmdContinueApp_Click()
{
    reject();
}

void frmErrorBox::cmdShutDownApp_Click()
{
    m_services.end();
}

void frmErrorBox::done(int result)
{
    m_loaded = false;
    QDialog::done(result);
}

// There is no cancel button: Esc does nothing.
void frmErrorBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Enter in the details box presses the default button Send Email; Ctrl+Enter types a line
// break there instead.
bool frmErrorBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtErrorDetails && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnter(key)) {
            if (key->modifiers() & Qt::ControlModifier)
                txtErrorDetails->insertPlainText(QStringLiteral("\n"));
            else
                cmdSendEmail->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
