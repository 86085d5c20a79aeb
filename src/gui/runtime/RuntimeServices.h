// The seam between the program's logic and the desktop. Nothing else in the program opens a
// standard box or ends the process: the product uses QtRuntimeServices, the tests a scripted
// double that records every box and answers from a script.
#pragma once

#include <QString>

class QDialog;

enum class MsgIcon { None, Critical, Exclamation, Information };
// The first button is the default (Enter) unless the name says otherwise.
enum class MsgButtons { OkOnly, YesNo, YesNoDefaultNo };
enum class MsgAnswer { Ok, Yes, No };

// Thrown by a double's end() only: the product's end() never returns. It is no failure, so it
// derives from nothing that a trap catches.
struct ProgramEnded
{
};

// A handler as Qt may call it (a slot, an event hook). The scripted double's end() throws
// ProgramEnded, which must not unwind through Qt's event delivery: Qt's own frames would be left
// without their clean-up. The product's end() never returns, so nothing is lost here.
template <typename Handler> auto endingAtQtBoundary(Handler handler)
{
    return [handler] {
        try {
            handler();
        } catch (const ProgramEnded&) {
        }
    };
}

class RuntimeServices
{
public:
    virtual ~RuntimeServices() = default;

    // A modal box. Without a title the application's title ("ZEB2000") shows.
    virtual MsgAnswer msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                             const QString& title = QString()) = 0;
    // A modal input box; an empty text on Cancel.
    virtual QString inputBox(const QString& prompt) = 0;
    // A modal folder picker starting at startFolder; an empty text on Cancel.
    virtual QString browseForFolder(const QString& startFolder) = 0;
    // Shows one of the program's own dialogs modally and returns when it is closed.
    virtual void showModal(QDialog& dialog) = 0;
    // Handles pending window events (paint, clicks) before it returns.
    virtual void doEvents() = 0;
    // Handles pending window events while work goes on in another thread; unlike doEvents it
    // is no step of a handler, only what keeps the window alive meanwhile.
    virtual void keepAlive() = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual void beep() = 0;
    // Ends the program at once: no further handler, no unload processing.
    [[noreturn]] virtual void end() = 0;
    // Hands a web or mailto link to the program registered for it.
    virtual void shellOpen(const QString& url) = 0;
    // The folder of the running executable, without a trailing separator.
    virtual QString programFolder() = 0;
};
