// Next, Back and Exit: the page index and the busy flag live in hidden labels' captions.
#include "gui/app/WizardPages.h"
#include "gui/app/frmMain.h"

#include "core/NumberConversion.h"
#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// Hiding a page that holds the focus would pass it along the tab order to Back, and the next
// Enter would go back instead of on: the focus moves to Next first.
void moveFocusOffPage(QGroupBox* page, QPushButton* next)
{
    if (page->isAncestorOf(QApplication::focusWidget()))
        next->setFocus(Qt::OtherFocusReason);
}

} // namespace

void frmMain::cmdNext_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdNext_Click()"),
        [this] {
            setBusy(true);
            if (cmdNext->text() == WizardPages::DoItCaption) {
                runTask();
                return;
            }
            qint16 page = toInteger16(lblFrameNumber->text());
            cmdValidate_Click(page);
            QPushButton* validate = WizardPages::member(cmdValidate, page);
            if (validate->text() != QLatin1String("1")) {
                m_services.msgBox(validate->property(WizardPages::TagProperty).toString(),
                                  MsgButtons::OkOnly, MsgIcon::Exclamation,
                                  QStringLiteral("Error!"));
                return;
            }
            if (page < WizardPages::LastPage) {
                moveFocusOffPage(WizardPages::member(Frame1, page), cmdNext);
                WizardPages::member(Frame1, page)->hide();
                WizardPages::member(Frame1, page + 1)->show();
                ++page;
                lblFrameNumber->setText(QString::number(page));
                cmdInitialize_Click(page);
                if (page > 0)
                    cmdBack->setEnabled(true);
                if (page == WizardPages::LastPage)
                    cmdNext->setText(WizardPages::DoItCaption);
            }
            setBusy(false);
        });
}

void frmMain::cmdBack_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdBack_Click()"),
        [this] {
            setBusy(true);
            qint16 page = toInteger16(lblFrameNumber->text());
            if (page > 0) {
                moveFocusOffPage(WizardPages::member(Frame1, page), cmdNext);
                WizardPages::member(Frame1, page)->hide();
                WizardPages::member(Frame1, page - 1)->show();
                --page;
                lblFrameNumber->setText(QString::number(page));
                if (page == 0)
                    cmdBack->setEnabled(false);
                if (page < WizardPages::LastPage)
                    cmdNext->setText(WizardPages::NextCaption);
            }
            setBusy(false);
        });
}

void frmMain::cmdExit_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdExit_Click()"),
        [this] {
            if (lblBusy->text() == QLatin1String("True")) {
                const MsgAnswer answer = m_services.msgBox(
                    QStringLiteral("Program is busy, are you sure you wish to interrupt and exit?"),
                    MsgButtons::YesNo, MsgIcon::Exclamation, QStringLiteral("Program is busy!"));
                if (answer != MsgAnswer::Yes)
                    return;
            }
            stopActiveRun();
            m_services.end();
        });
}

// Qt asks the window for the next widget when it disables the one that has the focus.
bool frmMain::focusNextPrevChild(bool next)
{
    const bool nextDisabled = focusWidget() == cmdNext && !cmdNext->isEnabled();
    const bool moved = QWidget::focusNextPrevChild(next);
    if (nextDisabled)
        m_focusTakenFromNext = focusWidget();
    return moved;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmdNext && event->type() == QEvent::EnabledChange && cmdNext->isEnabled()) {
        if (m_focusTakenFromNext && focusWidget() == m_focusTakenFromNext)
            cmdNext->setFocus(Qt::OtherFocusReason);
        m_focusTakenFromNext = nullptr;
    }
    return QWidget::eventFilter(watched, event);
}
