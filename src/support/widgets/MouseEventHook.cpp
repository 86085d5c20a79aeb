#include "support/widgets/MouseEventHook.h"

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
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (m_event == Event::SwallowDoubleClick)
            return true;
        if (m_event == Event::DoubleClick) {
            m_handler();
            return true;
        }
    }
    if (m_event == Event::Click && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            m_handler();
    }
    return QObject::eventFilter(watched, event);
}
