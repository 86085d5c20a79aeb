#include "core/LastBackup.h"

#include "core/FolderUtilities.h"
#include "core/SetRecord.h"
#include "core/TaskReasons.h"
#include "os/os.h"

#include <QDir>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

const QByteArray Header = "ZEB 2000 last backup";

QByteArray field(const QString& text)
{
    return encodeField(text.toStdString());
}

// A recorded failure in the user's language where it is one the task writes, else as recorded.
// The first text that matches wins, so a text that begins like another comes before it.
Text shownFailure(const QString& recorded)
{
    using namespace BackupFailure;
    const std::pair<const char*, const char*> known[] = {
        {"LastBackup", IcqRunning}, {"LastBackup", FolderNotMade}, {"LastBackup", NothingToCopy},
        {"LastBackup", NoRoom},     {"LastBackup", Stopped},       {"LastBackup", NotWhole},
        {"LastBackup", NoManifest}, {"LastBackup", Kept}};
    std::vector<std::pair<const char*, const char*>> texts(std::begin(known), std::end(known));
    for (const char* reason : TaskReason::All)
        texts.emplace_back("Task", reason);
    for (const auto& [context, source] : texts) {
        QString pattern = QRegularExpression::escape(QString::fromLatin1(source));
        // "%1", escaped "\%1", matches the argument: a number, a path, the system's words.
        pattern.replace(QRegularExpression(QStringLiteral("\\\\?%\\d")), QStringLiteral("(.+?)"));
        const QRegularExpressionMatch match =
            QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'),
                               QRegularExpression::DotMatchesEverythingOption)
                .match(recorded);
        if (!match.hasMatch())
            continue;
        Text text(context, source);
        for (int at = 1; at <= match.lastCapturedIndex(); ++at)
            text = text.arg(match.captured(at));
        return text;
    }
    return Text::verbatim(recorded);
}

} // namespace

QString lastBackupFile()
{
    const std::string folder = Os::userStateFolder();
    return folder.empty() ? QString() : fromOsPath(osJoin(folder, "last-backup"));
}

Text recordLastBackup(const LastBackup& backup)
{
    const std::string folder = Os::userStateFolder();
    if (folder.empty())
        return Text("LastBackup", "no folder for the program's state (neither $XDG_STATE_HOME "
                                  "nor $HOME is set)");
    // The folder as bytes: a name that is no text on Linux travels unchanged.
    const QByteArray record =
        Header + "\nwhen " + backup.whenUtc.toUTC().toString(Qt::ISODateWithMs).toLatin1() +
        "\nfolder " + encodeField(toOsPath(backup.backupFolder)) + "\ncomplete " +
        (backup.complete ? "yes" : "no") + "\nfailure " + field(backup.failure) + "\nscheduled " +
        (backup.scheduled ? "yes" : "no") + '\n';
    int error = Os::makeFolders(folder);
    const std::string file = osJoin(folder, "last-backup");
    if (error == 0)
        error = Os::writeFileDurably(file, record.toStdString());
    if (error != 0)
        return Text::verbatim(fromOsPath(file) + QStringLiteral(": ") +
                              fromOsText(Os::errorText(error)));
    return {};
}

std::optional<LastBackup> readLastBackup()
{
    const std::string folder = Os::userStateFolder();
    std::string bytes;
    if (folder.empty() || Os::readWholeFile(osJoin(folder, "last-backup"), bytes) != 0)
        return std::nullopt;
    const QList<QByteArray> lines = QByteArray::fromStdString(bytes).split('\n');
    if (lines.size() < 6 || lines[0] != Header)
        return std::nullopt;
    const auto value = [&](int at, const char* key) -> std::optional<std::string> {
        const QByteArray prefix = QByteArray(key) + ' ';
        if (!lines[at].startsWith(prefix))
            return std::nullopt;
        return decodeField(lines[at].mid(prefix.size()));
    };
    const auto when = value(1, "when");
    const auto backupFolder = value(2, "folder");
    const auto complete = value(3, "complete");
    const auto failure = value(4, "failure");
    const auto scheduled = value(5, "scheduled");
    if (!when || !backupFolder || !complete || !failure || !scheduled)
        return std::nullopt;
    LastBackup backup;
    backup.whenUtc = QDateTime::fromString(QString::fromStdString(*when), Qt::ISODateWithMs);
    if (!backup.whenUtc.isValid())
        return std::nullopt;
    backup.backupFolder = fromOsPath(*backupFolder);
    backup.complete = *complete == "yes";
    backup.failure = QString::fromStdString(*failure);
    backup.scheduled = *scheduled == "yes";
    return backup;
}

Text lastBackupLine(const std::optional<LastBackup>& backup, const QDateTime& nowUtc)
{
    if (!backup)
        return {};
    // Whole days elapsed, from the UTC times: a time zone's step never moves them.
    const qint64 days = std::max<qint64>(0, backup->whenUtc.secsTo(nowUtc) / 86400);
    const Text kind = backup->scheduled ? Text("LastBackup", "Last weekly backup")
                                        : Text("LastBackup", "Last backup");
    if (backup->complete) {
        const Text ago = days == 0   ? Text("LastBackup", "less than a day ago")
                         : days == 1 ? Text("LastBackup", "1 day ago")
                                     : Text("LastBackup", "%1 days ago").arg(days);
        QString folder = QDir::toNativeSeparators(backup->backupFolder);
        if (folder.size() > 1 && isPathSeparator(folder.back()) && !folder.endsWith(u":\\"))
            folder.chop(1);
        return Text("LastBackup", "%1: %2 to %3 (complete)").arg(kind).arg(ago).arg(folder);
    }
    static const char* const Weekdays[] = {
        QT_TRANSLATE_NOOP("LastBackup", "Monday"),    QT_TRANSLATE_NOOP("LastBackup", "Tuesday"),
        QT_TRANSLATE_NOOP("LastBackup", "Wednesday"), QT_TRANSLATE_NOOP("LastBackup", "Thursday"),
        QT_TRANSLATE_NOOP("LastBackup", "Friday"),    QT_TRANSLATE_NOOP("LastBackup", "Saturday"),
        QT_TRANSLATE_NOOP("LastBackup", "Sunday")};
    const QDate local = backup->whenUtc.toLocalTime().date();
    const Text when = days < 6 ? Text("LastBackup", Weekdays[local.dayOfWeek() - 1])
                               : Text("LastBackup", "%1 days ago").arg(days);
    return Text("LastBackup", "%1 failed: %2 (%3)")
        .arg(kind)
        .arg(shownFailure(backup->failure))
        .arg(when);
}
