// The scripted double of the runtime services: it records every box that the program shows and
// answers from a script; unscripted boxes get OK, or No where OK is not offered.
#pragma once

#include "gui/runtime/RuntimeServices.h"

#include <QCoreApplication>
#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

struct ShownBox
{
    QString prompt;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

class ScriptedRuntime final : public RuntimeServices
{
public:
    // ---- The script --------------------------------------------------------------------------
    std::deque<MsgAnswer> boxAnswers;
    std::deque<QString> inputAnswers;  // an empty text stands for Cancel
    std::deque<QString> folderAnswers; // likewise
    // What to do with each of the program's own dialogs while it is "shown"; without a script
    // the dialog is closed with reject(), as its title bar's close box would.
    std::deque<std::function<void(QDialog&)>> dialogActions;
    QString programFolderPath;
    // Called at each yield with the number of yields so far: lets a test act during a run.
    std::function<void(int)> onDoEvents;
    // Called while the window waits for work in another thread: lets a test act during a copy.
    std::function<void()> onKeepAlive;
    // Called as a box is shown, or a link opened: lets a test look at the window meanwhile.
    std::function<void()> onBox;
    std::function<void()> onShellOpen;

    // ---- The record --------------------------------------------------------------------------
    std::vector<ShownBox> boxes;
    int dialogsShown = 0;
    int yields = 0;
    int beeps = 0;
    bool ended = false;
    QString clipboard;
    QStringList openedUrls;

    MsgAnswer msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override
    {
        boxes.push_back({prompt, buttons, icon, title});
        if (onBox)
            onBox();
        const MsgAnswer unscripted = buttons == MsgButtons::OkOnly ? MsgAnswer::Ok : MsgAnswer::No;
        return takeFront(boxAnswers, unscripted);
    }
    QString inputBox(const QString&) override { return takeFront(inputAnswers, QString()); }
    QString browseForFolder(const QString&) override { return takeFront(folderAnswers, QString()); }
    void showModal(QDialog& dialog) override
    {
        ++dialogsShown;
        const int endsBefore = m_ends;
        takeFront(dialogActions, std::function<void(QDialog&)>(&QDialog::reject))(dialog);
        // A button that ended the program was stopped at Qt's boundary; as end() never returns,
        // the end goes on from here.
        if (m_ends != endsBefore)
            throw ProgramEnded{};
    }
    void doEvents() override
    {
        ++yields;
        if (onDoEvents)
            onDoEvents(yields);
    }
    void keepAlive() override
    {
        QCoreApplication::processEvents();
        if (onKeepAlive)
            onKeepAlive();
    }
    void setClipboardText(const QString& text) override { clipboard = text; }
    void beep() override { ++beeps; }
    [[noreturn]] void end() override
    {
        ended = true;
        ++m_ends;
        throw ProgramEnded{};
    }
    void shellOpen(const QString& url) override
    {
        openedUrls << url;
        if (onShellOpen)
            onShellOpen();
    }
    QString programFolder() override { return programFolderPath; }

    QStringList prompts() const
    {
        QStringList texts;
        for (const ShownBox& box : boxes)
            texts << box.prompt;
        return texts;
    }

private:
    int m_ends = 0;

    template <typename T> static T takeFront(std::deque<T>& queue, T unscripted)
    {
        if (queue.empty())
            return unscripted;
        T front = std::move(queue.front());
        queue.pop_front();
        return front;
    }
};
