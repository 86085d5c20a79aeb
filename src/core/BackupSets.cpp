#include "core/BackupSets.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "os/os.h"

namespace {

const QByteArray Header = "ZEB 2000 backup set 1";
const QByteArray CompleteLine = "complete";

BackupSet fromFound(const QString& backupFolder, const FoundSet& found)
{
    BackupSet set;
    set.name = found.name;
    set.folder = withTrailingSeparator(withTrailingSeparator(backupFolder) + found.name);
    set.stamp = found.stamp;
    set.complete = found.lines.contains(CompleteLine);
    return set;
}

} // namespace

BackupSet beginBackupSet(const QString& backupFolder, const QDateTime& now)
{
    const std::string parent = toOsPath(backupFolder);
    if (const int error = Os::makeFolders(parent))
        raiseError(ErrorNumber::PathFileAccessError,
                   QStringLiteral("The backup folder %1 could not be made: %2")
                       .arg(backupFolder, QString::fromStdString(Os::errorText(error))));
    // What a run killed while making or removing a set left behind; what cannot go now goes
    // with a later run.
    (void)Os::removeLeftTemporaries(parent);
    const MadeSet made = makeSetFolder(
        parent, now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HHmm")), Header, now);
    BackupSet set;
    set.name = made.name;
    set.folder = withTrailingSeparator(withTrailingSeparator(backupFolder) + made.name);
    set.stamp = made.stamp;
    return set;
}

void markBackupSetComplete(BackupSet& set)
{
    writeSetRecord(toOsPath(set.folder),
                   Header + '\n' + stampLine(set.stamp) + '\n' + CompleteLine + '\n');
    set.complete = true;
}

QList<BackupSet> backupSets(const QString& backupFolder)
{
    QList<BackupSet> sets;
    for (const FoundSet& found : findSets(toOsPath(backupFolder), Header))
        sets << fromFound(backupFolder, found);
    return sets;
}

std::optional<BackupSet> newestCompleteBackupSet(const QString& backupFolder)
{
    const QList<BackupSet> sets = backupSets(backupFolder);
    for (auto set = sets.crbegin(); set != sets.crend(); ++set)
        if (set->complete)
            return *set;
    return std::nullopt;
}

QStringList pruneBackupSets(const QString& backupFolder, int keep, const QString& spared)
{
    const QList<BackupSet> sets = backupSets(backupFolder);
    QStringList doomed;
    int completeSeen = 0;
    // From the newest down: complete sets beyond `keep` go, and so does every incomplete set
    // below the newest complete one.
    for (auto set = sets.crbegin(); set != sets.crend(); ++set) {
        if (set->complete)
            ++completeSeen;
        const bool goes = set->complete ? completeSeen > qMax(keep, 0) : completeSeen > 0;
        if (goes && set->name != spared)
            doomed << set->name;
    }
    QStringList removed;
    for (const BackupSet& set : sets) {
        if (!doomed.contains(set.name))
            continue;
        const QString& name = set.name;
        const std::string path = toOsPath(withTrailingSeparator(backupFolder) + name);
        // Marked incomplete first: a removal that stops half-way never leaves a set that claims
        // to be whole, and the next prune takes the rest.
        if (set.complete)
            writeSetRecord(path, Header + '\n' + stampLine(set.stamp) + '\n');
        std::string failed;
        if (const int error = removeSetFolder(path, failed))
            raiseError(ErrorNumber::PathFileAccessError,
                       QStringLiteral("The backup set %1 could not be removed (%2: %3).")
                           .arg(fromOsPath(path), fromOsPath(failed),
                                QString::fromStdString(Os::errorText(error))));
        removed << name;
    }
    return removed;
}
