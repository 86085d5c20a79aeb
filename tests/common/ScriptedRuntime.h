// The scripted double of the runtime services: it records every box that the program shows and
// answers from a script; unscripted boxes get OK, or No where OK is not offered.
#pragma once

#include "support/RuntimeServices.h"

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
    std::deque<QString> inputAnswers; // an empty text stands for Cancel
    std::deque<QString> folderAnswers;
    // What to do with each of the program's own dialogs while it is "shown"; without a script
    // the dialog is closed with reject(), as its title bar's close box would.
    std::deque<std::function<void(QDialog&)>> dialogActions;
    QString programFolderPath;
    // Called at each yield, with the number of yields so far: lets a test act during a run.
    std::function<void(int)> onDoEvents;

    // ---- The record --------------------------------------------------------------------------
    std::vector<ShownBox> boxes;
    QStringList inputPrompts;
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
        if (!boxAnswers.empty()) {
            const MsgAnswer answer = boxAnswers.front();
            boxAnswers.pop_front();
            return answer;
        }
        return buttons == MsgButtons::OkOnly ? MsgAnswer::Ok : MsgAnswer::No;
    }
    QString inputBox(const QString& prompt) override
    {
        inputPrompts << prompt;
        return takeFront(inputAnswers);
    }
    QString browseForFolder(const QString&) override { return takeFront(folderAnswers); }
    void showModal(QDialog& dialog) override
    {
        ++dialogsShown;
        if (dialogActions.empty()) {
            dialog.reject();
            return;
        }
        const auto action = dialogActions.front();
        dialogActions.pop_front();
        action(dialog);
    }
    void doEvents() override
    {
        ++yields;
        if (onDoEvents)
            onDoEvents(yields);
    }
    void setClipboardText(const QString& text) override { clipboard = text; }
    void beep() override { ++beeps; }
    [[noreturn]] void end() override
    {
        ended = true;
        throw ProgramEnded{};
    }
    void shellOpen(const QString& url) override { openedUrls << url; }
    QString programFolder() override { return programFolderPath; }

    // The boxes' texts, for compact checks.
    QStringList prompts() const
    {
        QStringList texts;
        for (const ShownBox& box : boxes)
            texts << box.prompt;
        return texts;
    }

private:
    static QString takeFront(std::deque<QString>& queue)
    {
        if (queue.empty())
            return QString();
        QString front = queue.front();
        queue.pop_front();
        return front;
    }
};
