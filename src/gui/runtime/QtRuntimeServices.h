#pragma once

#include "gui/runtime/RuntimeServices.h"

class QtRuntimeServices final : public RuntimeServices
{
public:
    MsgAnswer msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    QString inputBox(const QString& prompt) override;
    QString browseForFolder(const QString& startFolder) override;
    void showModal(QDialog& dialog) override;
    void doEvents() override;
    void keepAlive() override;
    void setClipboardText(const QString& text) override;
    void beep() override;
    [[noreturn]] void end() override;
    void shellOpen(const QString& url) override;
    QString programFolder() override;
};
