// Next, Back and Exit: they change the window's state, which the widgets then show.
#include "gui/app/frmMain.h"

#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

void frmMain::cmdNext_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdNext_Click()"),
        [this] {
            // The shortcuts press Next too: they may do so only where the button itself could.
            if (!m_state.buttons().next)
                return;
            const BusyScope busy(*this);
            const int page = m_state.page();
            if (page == WindowState::LastPage) {
                runTask();
                return;
            }
            // The undo needs no other page: it asks, then runs from here.
            if (page == 0 && m_selectTask->optUndo->isChecked()) {
                undoLastRestore();
                return;
            }
            cmdValidate_Click(static_cast<qint16>(page));
            if (!m_state.pageValid(page)) {
                m_services.msgBox(m_state.pageRefusal(page), MsgButtons::OkOnly,
                                  MsgIcon::Exclamation, tr("Error!"));
                return;
            }
            changeState(WindowEvent::PageLeftForward);
            cmdInitialize_Click(static_cast<qint16>(m_state.page()));
        });
}

void frmMain::cmdBack_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdBack_Click()"),
        [this] {
            const BusyScope busy(*this);
            changeState(WindowEvent::PageLeftBack);
        });
}

void frmMain::cmdExit_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdExit_Click()"),
        [this] {
            if (m_state.busy()) {
                const MsgAnswer answer = m_services.msgBox(
                    tr("Program is busy, are you sure you wish to interrupt and exit?"),
                    MsgButtons::YesNo, MsgIcon::Exclamation, tr("Program is busy!"));
                if (answer != MsgAnswer::Yes)
                    return;
            }
            stopActiveRun();
            m_services.end();
        });
}

frmMain::BusyScope::BusyScope(frmMain& window) : m_window(window)
{
    m_window.m_state.handlerStarted();
    m_window.render();
}

frmMain::BusyScope::~BusyScope()
{
    m_window.m_state.handlerEnded();
    m_window.render();
}

void frmMain::changeState(WindowEvent event)
{
    if (m_state.apply(event))
        render();
}

// The widgets as the state says: the hidden labels and verdicts too, which error reports and
// tests read.
void frmMain::render()
{
    lblBusy->setText(m_state.busy() ? QStringLiteral("True") : QStringLiteral("False"));
    lblFrameNumber->setText(QString::number(m_state.page()));
    for (int page = 0; page < WindowState::PageCount; ++page) {
        WizardPage* frame = m_pages[page];
        frame->cmdValidate->setText(m_state.pageValid(page) ? QStringLiteral("1")
                                                            : QStringLiteral("0"));
        frame->cmdValidate->setProperty("Tag", m_state.pageRefusal(page));
        if (page == m_state.page() || frame->isHidden())
            continue;
        // Hiding a page that holds the focus would pass it along the tab order to Back, and
        // the next Enter would go back instead of on: the focus moves to Next first.
        if (frame->isAncestorOf(QApplication::focusWidget()))
            cmdNext->setFocus(Qt::OtherFocusReason);
        frame->hide();
    }
    m_pages[m_state.page()]->show();
    fraAbout->setVisible(m_state.aboutShown());
    const ButtonStates buttons = m_state.buttons();
    cmdBack->setEnabled(buttons.back);
    cmdNext->setEnabled(buttons.next);
    cmdNext->setText(tr(qUtf8Printable(buttons.nextCaption)));
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
