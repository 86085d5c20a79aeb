#include "core/FileCopier.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/Trap.h"

namespace {

// A component's folder is copied whole.
const QString EveryFile = QStringLiteral("*.*");

} // namespace

FileCopier::FileCopier(ErrorSink& sink) : m_sink(sink) {}

Os::CopyRequest FileCopier::request()
{
    Os::CopyRequest request;
    request.from = toOsPath(slashPad(m_source) + EveryFile);
    request.to = toOsPath(m_target);
    request.overwrite = m_overwrite;
    request.copyUnchanged = m_copyUnchanged;
    request.compareContent = m_compareContent;
    if (!m_linkFrom.isEmpty())
        request.linkFrom = toOsPath(m_linkFrom);
    request.verify = m_verify;
    request.stop = m_stop;
    request.askReplace = [this](const std::string& targetFile) {
        return askReplace ? askReplace(fromOsPath(targetFile)) : Os::ReplaceAnswer::No;
    };
    if (onProgress)
        request.onProgress = [this](std::uint64_t bytes) { onProgress(qint64(bytes)); };
    return request;
}

void FileCopier::walk(Os::CopyPlan& plan)
{
    Os::planCopy(request(), plan);
    m_plan = &plan;
}

bool FileCopier::perform()
{
    bool copied = false;
    runTrapped(
        m_sink,
        [this] {
            return QStringLiteral("FileCopier.Perform [") + withTrailingSeparator(m_source) +
                   EveryFile + QStringLiteral("] -> [") + m_target + QStringLiteral("]");
        },
        [&] {
            const Os::CopyRequest copy = request();
            m_outcome = {};
            Os::CopyPlan ownPlan;
            if (!m_plan)
                Os::planCopy(copy, ownPlan);
            copied = Os::copyFolder(copy, m_plan ? *m_plan : ownPlan, m_outcome);
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
                     fromOsPath(failure.path) + QStringLiteral(": ") + fromOsText(failure.reason);
    }
    return lines;
}
