// Click and double-click handlers for widgets that have no such signals (labels, frames,
// images, option buttons, list boxes), without subclassing each kind of widget.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

class MouseEventHook : public QObject
{
    Q_OBJECT

public:
    // Click: one handler call per click; a double-click counts as one click and goes no further,
    // so a link label over a panel neither opens twice nor closes the panel beneath it.
    enum class Event { Click, DoubleClick };

    // Installs the hook on the widget, which owns it.
    static void install(QWidget* widget, Event event, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MouseEventHook(QWidget* widget, Event event, std::function<void()> handler);

    Event m_event;
    std::function<void()> m_handler;
    bool m_releaseEndsDoubleClick = false;
};
