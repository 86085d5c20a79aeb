#include "support/FileCopier.h"

#include "errors/ErrorObject.h"
#include "errors/Trap.h"
#include "support/FolderUtilities.h"
#include "support/RuntimeServices.h"
#include "support/os/os.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

#ifdef _WIN32
const QString LineBreak = QStringLiteral("\r\n");
#else
const QString LineBreak = QStringLiteral("\n");
#endif

} // namespace

FileCopier::FileCopier(RuntimeServices& services, ErrorSink& sink)
    : m_services(services), m_sink(sink)
{}

bool FileCopier::Perform(qintptr lngHwnd)
{
    bool copied = false;
    runTrapped(
        m_sink,
        [this] {
            return QStringLiteral("FileCopier.Perform [") + WithTrailingSeparator(m_Source) +
                   m_FileSpec + QStringLiteral("] -> [") + m_Target + QStringLiteral("]");
        },
        [&] {
            Os::CopyRequest request;
            request.from = QFile::encodeName(SlashPad(m_Source) + m_FileSpec).toStdString();
            // The owner window travels as a 32-bit handle, as the platform's record holds it.
            if (lngHwnd < std::numeric_limits<qint32>::min() ||
                lngHwnd > std::numeric_limits<qint32>::max())
                raiseError(ErrorNumber::Overflow);
            request.to = QFile::encodeName(m_Target).toStdString();
            request.overwrite = m_Overwrite;
            request.ownerWindow = static_cast<std::uintptr_t>(
                static_cast<std::intptr_t>(static_cast<qint32>(lngHwnd)));
            request.askReplace = [this](const std::string& targetFile) {
                const QString name =
                    QFileInfo(QFile::decodeName(QByteArray::fromStdString(targetFile))).fileName();
                const MsgAnswer answer = m_services.msgBox(
                    QStringLiteral("This folder already contains a file called '") + name +
                        QStringLiteral("'.") + LineBreak + LineBreak +
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
            request.reportError = [this](const std::string& message) {
                m_services.msgBox(QFile::decodeName(QByteArray::fromStdString(message)),
                                  MsgButtons::OkOnly, MsgIcon::Critical,
                                  QStringLiteral("Error Copying File or Folder"));
            };
            copied = Os::copyFolder(request);
        });
    return copied;
}

QString FileCopier::SlashPad(QString& path)
{
    QString result;
    runTrapped(
        m_sink, [&path] { return QStringLiteral("FileCopier.SlashPad ") + path; },
        [&] {
            path = WithTrailingSeparator(path);
            result = path;
        });
    return result;
}
