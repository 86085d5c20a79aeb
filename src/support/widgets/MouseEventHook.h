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
    enum class Event { Click, DoubleClick, SwallowDoubleClick };

    // Installs the hook on the widget, which owns it. SwallowDoubleClick keeps a double-click
    // from reaching the widget's parent, so that a link label does not close the panel under it.
    static void install(QWidget* widget, Event event, std::function<void()> handler = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MouseEventHook(QWidget* widget, Event event, std::function<void()> handler);

    Event m_event;
    std::function<void()> m_handler;
};
