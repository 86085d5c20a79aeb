#include "gui/app/WindowState.h"

#include "gui/about/ProductLinks.h"

#include <QCoreApplication>

// The window shows them translated.
const QString WindowState::NextCaption = QStringLiteral(QT_TRANSLATE_NOOP("frmMain", "&Next >>"));
const QString WindowState::DoItCaption = QStringLiteral(QT_TRANSLATE_NOOP("frmMain", "&Do It !"));

std::array<QString, WindowState::PageCount> WindowState::designedRefusals()
{
    return {
        QCoreApplication::translate(
            "frmMain", "Please press PRINT-SCREEN and go to MSPaint, and press CTRL-V, save the "
                       "file, ZIP IT, and email it to %1")
            .arg(ProductLinks::BugReportAddress),
        QCoreApplication::translate("frmMain",
                                    "ICQ location is incorrect. Try using the \"Find\" button."),
        QCoreApplication::translate(
            "frmMain", "At least one component and one UIN must be selected to proceed with !"),
        QCoreApplication::translate(
            "frmMain", "So far so good ! This is just a test version, so it isn't yet coded to "
                       "do what its supposed to !")};
}

void WindowState::setFolders(const QString& icqFolder, const QString& backupFolder, bool newestSets)
{
    const bool backup = m_direction == Direction::Backup;
    m_newestSets = !backup && newestSets;
    m_source = backup ? icqFolder : backupFolder;
    m_target = backup ? backupFolder : icqFolder;
}

bool WindowState::apply(WindowEvent event)
{
    // While the panel covers the page or a run goes on, the page cannot be left.
    const bool pageFree = !m_aboutShown && !runGoingOn();
    switch (event) {
    case WindowEvent::PageLeftForward:
        if (!pageFree || m_page >= LastPage)
            return false;
        ++m_page;
        m_run = RunState::Idle;
        return true;
    case WindowEvent::PageLeftBack:
        if (!pageFree || m_page <= 0)
            return false;
        --m_page;
        m_run = RunState::Idle;
        return true;
    case WindowEvent::AboutOpened:
        if (m_aboutShown)
            return false;
        m_aboutShown = true;
        return true;
    case WindowEvent::AboutClosed:
        if (!m_aboutShown)
            return false;
        m_aboutShown = false;
        return true;
    case WindowEvent::RunStarted:
        if (!pageFree || m_page != LastPage)
            return false;
        m_run = RunState::Running;
        return true;
    case WindowEvent::StopRequested:
        if (m_run != RunState::Running)
            return false;
        m_run = RunState::Stopping;
        return true;
    case WindowEvent::RunEnded:
        if (!runGoingOn())
            return false;
        m_run = RunState::Finished;
        return true;
    }
    return false;
}

ButtonStates WindowState::buttons() const
{
    const bool pageFree = !m_aboutShown && !runGoingOn();
    return {pageFree && m_page > 0, pageFree, m_page == LastPage ? DoItCaption : NextCaption};
}
