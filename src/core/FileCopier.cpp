#include "core/FileCopier.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/Trap.h"

#include <limits>

FileCopier::FileCopier(ErrorSink& sink) : m_sink(sink) {}

bool FileCopier::perform(qintptr ownerWindow)
{
    bool copied = false;
    runTrapped(
        m_sink,
        [this] {
            return QStringLiteral("FileCopier.Perform [") + withTrailingSeparator(m_source) +
                   m_fileSpec + QStringLiteral("] -> [") + m_target + QStringLiteral("]");
        },
        [&] {
            Os::CopyRequest request;
            request.from = toOsPath(slashPad(m_source) + m_fileSpec);
            // The owner window travels as a 32-bit handle, as the platform's record holds it.
            if (ownerWindow < std::numeric_limits<qint32>::min() ||
                ownerWindow > std::numeric_limits<qint32>::max())
                raiseError(ErrorNumber::Overflow);
            request.to = toOsPath(m_target);
            request.overwrite = m_overwrite;
            request.ownerWindow = static_cast<std::uintptr_t>(
                static_cast<std::intptr_t>(static_cast<qint32>(ownerWindow)));
            request.askReplace = [this](const std::string& targetFile) {
                return askReplace ? askReplace(fromOsPath(targetFile)) : Os::ReplaceAnswer::No;
            };
            request.reportError = [this](const std::string& message) {
                if (reportError)
                    reportError(fromOsPath(message));
            };
            copied = Os::copyFolder(request);
        });
    return copied;
}

QString FileCopier::slashPad(QString& path)
{
    QString result;
    runTrapped(
        m_sink, [&path] { return QStringLiteral("FileCopier.SlashPad ") + path; },
        [&] {
            path = withTrailingSeparator(path);
            result = path;
        });
    return result;
}
