#include "gui/app/WindowState.h"

const QString WindowState::NextCaption = QStringLiteral("&Next >>");
const QString WindowState::DoItCaption = QStringLiteral("&Do It !");

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
