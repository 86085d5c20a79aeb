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
            request.copyUnchanged = m_copyUnchanged;
            request.verify = m_verify;
            request.stop = m_stop;
            request.ownerWindow = static_cast<std::uintptr_t>(
                static_cast<std::intptr_t>(static_cast<qint32>(ownerWindow)));
            request.askReplace = [this](const std::string& targetFile) {
                return askReplace ? askReplace(fromOsPath(targetFile)) : Os::ReplaceAnswer::No;
            };
            if (onProgress)
                request.onProgress = [this](std::uint64_t bytes) { onProgress(qint64(bytes)); };
            m_outcome = {};
            copied = Os::copyFolder(request, m_outcome);
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

QStringList describeCopyFailures(const Os::CopyOutcome& outcome, int limit)
{
    QStringList lines;
    for (const Os::CopyFailure& failure : outcome.failures) {
        if (lines.size() == limit) {
            lines << QStringLiteral("and %1 more").arg(outcome.failures.size() - size_t(limit));
            break;
        }
        lines << (failure.side == Os::CopySide::Source ? QStringLiteral("Cannot read ")
                                                       : QStringLiteral("Cannot write ")) +
                     fromOsPath(failure.path) + QStringLiteral(": ") +
                     QString::fromLocal8Bit(failure.reason);
    }
    return lines;
}
