#include "cli/FileList.h"

#include "core/FolderUtilities.h"
#include "core/SizeFormat.h"

#include <QJsonObject>

namespace {

QString actionWord(const Os::PlannedFile& file, FileListing listing)
{
    const bool replaces = file.action == Os::PlannedAction::Replace;
    if (listing == FileListing::Planned) {
        switch (file.action) {
        case Os::PlannedAction::Copy:
            return QStringLiteral("copy");
        case Os::PlannedAction::Replace:
            return QStringLiteral("replace");
        case Os::PlannedAction::Link:
            return QStringLiteral("link");
        case Os::PlannedAction::Unchanged:
            return QStringLiteral("unchanged");
        }
    }
    switch (file.result) {
    case Os::FileResult::Written:
        return replaces ? QStringLiteral("replaced") : QStringLiteral("copied");
    case Os::FileResult::Linked:
        return QStringLiteral("linked");
    case Os::FileResult::Unchanged:
        return QStringLiteral("unchanged");
    case Os::FileResult::Kept:
        return QStringLiteral("kept");
    case Os::FileResult::Failed:
        return QStringLiteral("failed");
    case Os::FileResult::Pending:
        break;
    }
    return QStringLiteral("not reached");
}

} // namespace

void listFiles(Console& console, const Os::CopyPlan& plan, const QString& componentFolder,
               FileListing listing, bool quiet, QJsonArray* json)
{
    for (const Os::PlannedFile& file : plan.files) {
        const QString action = actionWord(file, listing);
        const QString path = componentFolder + u'/' + fromOsPath(plan.filePath(file));
        if (json)
            *json << QJsonObject{{QStringLiteral("path"), path},
                                 {QStringLiteral("action"), action},
                                 {QStringLiteral("bytes"), qint64(file.size)}};
        if (!quiet)
            console.print(QStringLiteral("  %1 %2 (%3)")
                              .arg(action, -11)
                              .arg(path, formatSize(qint64(file.size))));
    }
}
