#include "gui/runtime/MessageBoxes.h"

#include "core/FileCopier.h"
#include "gui/runtime/RuntimeServices.h"

#include <QFileInfo>

namespace {

#ifdef _WIN32
const QString LineBreak = QStringLiteral("\r\n");
#else
const QString LineBreak = QStringLiteral("\n");
#endif

} // namespace

void ShowErrorMessage(RuntimeServices& services, const QString& text)
{
    services.msgBox(text, MsgButtons::OkOnly, MsgIcon::Critical, QStringLiteral("Error!"));
}

RegistryNotice plainBoxNotices(RuntimeServices& services)
{
    return [&services](const QString& message) {
        services.msgBox(message, MsgButtons::OkOnly, MsgIcon::None);
    };
}

void answerCopierWithBoxes(FileCopier& copier, RuntimeServices& services)
{
    copier.askReplace = [&services](const QString& targetFile) {
        const MsgAnswer answer = services.msgBox(
            QStringLiteral("This folder already contains a file called '") +
                QFileInfo(targetFile).fileName() + QStringLiteral("'.") + LineBreak + LineBreak +
                QStringLiteral("Would you like to replace the existing file?"),
            MsgButtons::YesYesToAllNoCancel, MsgIcon::Exclamation,
            QStringLiteral("Confirm File Replace"));
        switch (answer) {
        case MsgAnswer::Yes:
        case MsgAnswer::Ok:
            return Os::ReplaceAnswer::Yes;
        case MsgAnswer::YesToAll:
            return Os::ReplaceAnswer::YesToAll;
        case MsgAnswer::No:
            return Os::ReplaceAnswer::No;
        case MsgAnswer::Cancel:
            break;
        }
        return Os::ReplaceAnswer::Cancel;
    };
    copier.reportError = [&services](const QString& message) {
        services.msgBox(message, MsgButtons::OkOnly, MsgIcon::Critical,
                        QStringLiteral("Error Copying File or Folder"));
    };
}
