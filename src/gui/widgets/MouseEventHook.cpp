#include "gui/widgets/MouseEventHook.h"

#include <QMouseEvent>
#include <QWidget>

MouseEventHook::MouseEventHook(QWidget* widget, Event event, std::function<void()> handler)
    : QObject(widget), m_event(event), m_handler(std::move(handler))
{
    widget->installEventFilter(this);
}

void MouseEventHook::install(QWidget* widget, Event event, std::function<void()> handler)
{
    new MouseEventHook(widget, event, std::move(handler));
}

bool MouseEventHook::eventFilter(QObject* watched, QEvent* event)
{
    // A new press starts a new click, whatever came before it.
    if (event->type() == QEvent::MouseButtonPress)
        m_releaseEndsDoubleClick = false;
    if (event->type() != QEvent::MouseButtonDblClick && event->type() != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return QObject::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonDblClick) {
        if (m_event == Event::DoubleClick)
            m_handler();
        else
            m_releaseEndsDoubleClick = true;
        return true;
    }
    if (m_event == Event::Click) {
        const bool secondRelease = std::exchange(m_releaseEndsDoubleClick, false);
        const auto* widget = static_cast<QWidget*>(watched);
        if (!secondRelease && widget->rect().contains(mouse->position().toPoint()))
            m_handler();
    }
    return QObject::eventFilter(watched, event);
}
