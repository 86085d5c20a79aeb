#include "cli/FileList.h"

#include "cli/CommandLine.h"
#include "core/FolderUtilities.h"
#include "core/SizeFormat.h"

#include <QJsonObject>

namespace {

// In English, as --json says it; the lines say it in the user's language.
const char* actionWord(const Os::PlannedFile& file, FileListing listing)
{
    const bool replaces = file.action == Os::PlannedAction::Replace;
    if (listing == FileListing::Planned) {
        switch (file.action) {
        case Os::PlannedAction::Copy:
            return QT_TRANSLATE_NOOP("CommandLine", "copy");
        case Os::PlannedAction::Replace:
            return QT_TRANSLATE_NOOP("CommandLine", "replace");
        case Os::PlannedAction::Link:
            return QT_TRANSLATE_NOOP("CommandLine", "link");
        case Os::PlannedAction::Unchanged:
            return QT_TRANSLATE_NOOP("CommandLine", "unchanged");
        }
    }
    switch (file.result) {
    case Os::FileResult::Written:
        return replaces ? QT_TRANSLATE_NOOP("CommandLine", "replaced")
                        : QT_TRANSLATE_NOOP("CommandLine", "copied");
    case Os::FileResult::Linked:
        return QT_TRANSLATE_NOOP("CommandLine", "linked");
    case Os::FileResult::Unchanged:
        return QT_TRANSLATE_NOOP("CommandLine", "unchanged");
    case Os::FileResult::Kept:
        return QT_TRANSLATE_NOOP("CommandLine", "kept");
    case Os::FileResult::Failed:
        return QT_TRANSLATE_NOOP("CommandLine", "failed");
    case Os::FileResult::Pending:
        break;
    }
    return QT_TRANSLATE_NOOP("CommandLine", "not reached");
}

} // namespace

void listFiles(Console& console, const Os::CopyPlan& plan, const QString& componentFolder,
               FileListing listing, bool quiet, QJsonArray* json)
{
    for (const Os::PlannedFile& file : plan.files) {
        const char* action = actionWord(file, listing);
        const QString path = componentFolder + u'/' + fromOsPath(plan.filePath(file));
        if (json)
            *json << QJsonObject{{QStringLiteral("path"), path},
                                 {QStringLiteral("action"), QString::fromLatin1(action)},
                                 {QStringLiteral("bytes"), qint64(file.size)}};
        if (!quiet)
            console.print(QStringLiteral("  %1 %2 (%3)")
                              .arg(CommandLine::tr(action), -11)
                              .arg(path, formatSize(qint64(file.size))));
    }
}
