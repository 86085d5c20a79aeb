// Where a backup may go, and how its folder is made: the rules the window and the command line
// share.
#pragma once

#include "core/ComponentCatalogue.h"

#include "core/Text.h"
#include <QList>

#include <QString>

enum class TargetProblem {
    None,
    FileSystemRoot, // a backup would spread its folders over the whole disk
    InsideIcqData,  // every run would copy the earlier backups into ICQ's own data
    NameEndsBadly,  // Windows: a name that ends in a blank or a dot, which it cannot make reliably
};

struct TargetCheck
{
    TargetProblem problem = TargetProblem::None;
    // For InsideIcqData the ICQ or component folder it lies in; for NameEndsBadly the name.
    QString containingFolder;
};

// Whether the backup folder may receive a backup of these components of the ICQ folder (all
// folders with their trailing separator). It may not be the file system's root, the ICQ folder
// itself, nor lie inside the folder of a component that is, or could be, copied, since each run
// would then copy the earlier backups. Links and letter case are seen through.
TargetCheck checkBackupTarget(const QString& backupFolder, const QString& icqFolder,
                              const QList<Component>& components);
// Why the backup folder is refused, in the words the window and the command line both use; an
// empty text when it is not.
Text targetRefusal(const TargetCheck& check, const QString& backupFolder);

enum class TargetCreation {
    Existed,
    Created,
    ParentMissing, // nothing made: the folder above is not there (a disk not mounted?)
    Failed,
};

// Makes the backup folder when it is missing: only its last name, so that a backup never lands
// on the system disk below the mount point of a disk that is not mounted, unless the whole path
// is asked for. A dry run makes nothing and answers what would be done.
TargetCreation makeBackupFolder(const QString& backupFolder, bool wholePath, bool dryRun = false);
