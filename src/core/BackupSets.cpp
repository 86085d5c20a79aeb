#include "core/BackupSets.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/TaskReasons.h"
#include "os/os.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QByteArray Header = "ZEB 2000 backup set 1";
const QByteArray CompleteLine = "complete";
const QByteArray ComponentField = "component";

BackupSet fromFound(const QString& backupFolder, const FoundSet& found)
{
    BackupSet set;
    set.name = found.name;
    set.folder = withTrailingSeparator(withTrailingSeparator(backupFolder) + found.name);
    set.stamp = found.stamp;
    set.complete = found.lines.contains(CompleteLine);
    for (const QByteArray& line : found.lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2 && fields[0] == ComponentField)
            if (const std::optional<std::string> folder = decodeField(fields[1]))
                set.components << fromOsPath(*folder);
    }
    if (set.complete && set.components.isEmpty()) {
        // Recorded before the records listed their components: the folders it holds.
        std::vector<Os::FolderEntry> entries;
        if (Os::listFolder(found.path, entries) == 0)
            for (const Os::FolderEntry& entry : entries)
                if (entry.state.kind == Os::FileState::Kind::Folder)
                    set.components << fromOsPath(entry.name);
    }
    return set;
}

} // namespace

BackupSet beginBackupSet(const QString& backupFolder, const QDateTime& now)
{
    const std::string parent = toOsPath(backupFolder);
    if (const int error = Os::makeFolders(parent))
        raiseError(ErrorNumber::PathFileAccessError, Text("Task", TaskReason::BackupFolderNotMade)
                                                         .arg(backupFolder)
                                                         .arg(fromOsText(Os::errorText(error))));
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

bool BackupSet::holds(const QString& componentFolder) const
{
    return components.contains(componentFolder, Qt::CaseInsensitive);
}

void markBackupSetComplete(BackupSet& set, const QStringList& components)
{
    QByteArray record = Header + '\n' + stampLine(set.stamp) + '\n';
    for (const QString& folder : components)
        record += ComponentField + ' ' + encodeField(toOsPath(folder)) + '\n';
    writeSetRecord(toOsPath(set.folder), record + CompleteLine + '\n');
    set.complete = true;
    set.components = components;
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
    keep = qMax(keep, 0);
    int completeSeen = 0;
    QHash<QString, int> heldBy; // complete sets seen so far, by component folder in lower case
    // From the newest down: a complete set goes when every component in it is held by `keep`
    // newer ones; every incomplete set below the newest complete one goes.
    for (auto set = sets.crbegin(); set != sets.crend(); ++set) {
        bool goes = completeSeen > 0;
        if (set->complete) {
            QSet<QString> held;
            for (const QString& component : set->components)
                held.insert(component.toLower());
            goes = completeSeen >= keep;
            for (const QString& component : std::as_const(held))
                goes = goes && heldBy.value(component) >= keep;
            ++completeSeen;
            for (const QString& component : std::as_const(held))
                ++heldBy[component];
        }
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
                       Text("Task", TaskReason::OldSetNotRemoved)
                           .arg(fromOsPath(path))
                           .arg(fromOsPath(failed))
                           .arg(fromOsText(Os::errorText(error))));
        removed << name;
    }
    return removed;
}

QList<ComponentInSet> newestSetOfEachComponent(const QString& programFolder,
                                               const QString& backupFolder)
{
    const QList<BackupSet> sets = backupSets(backupFolder);
    QList<ComponentInSet> found;
    for (auto set = sets.crbegin(); set != sets.crend(); ++set) {
        if (!set->complete)
            continue;
        for (const Component& component : offeredComponents(programFolder, set->folder))
            if (set->holds(component.folder) &&
                std::none_of(found.cbegin(), found.cend(), [&](const ComponentInSet& known) {
                    return known.component.folder == component.folder;
                }))
                found.append({component, *set});
    }
    return found;
}
