// Dated backup sets: a regular backup makes a folder of its own below the backup folder, named
// "YYYY-MM-DD HHMM" in local time for people to read ("-2", "-3" added where a name is taken).
// What counts is the set's record: when it was made (UTC and a sequence number, so that neither a
// time-zone step nor a wrong clock reorders the sets) and whether the run that made it finished.
// A set is complete only when its marker is written, last, after its data is on the disk.
#pragma once

#include "core/ComponentCatalogue.h"
#include "core/SetRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct BackupSet
{
    QString name;   // the folder's name below the backup folder
    QString folder; // the full path, with its trailing separator
    SetStamp stamp;
    bool complete = false;
    // The component folders it holds: those its record lists when it was marked complete, or,
    // for a record of an older version that lists none, the folders in it.
    QStringList components;

    // Whether it holds the component folder, in any letter case.
    bool holds(const QString& componentFolder) const;
};

// Starts a set below the backup folder (made where missing): its folder holding the record of
// when it was made, the next sequence number of that folder and the time now. Raises the
// runtime's error.
BackupSet beginBackupSet(const QString& backupFolder,
                         const QDateTime& now = QDateTime::currentDateTimeUtc());

// Marks a set complete, with the component folders copied into it. Call it only when everything
// was copied into it, which the copier has put on the disk. Raises the runtime's error.
void markBackupSetComplete(BackupSet& set, const QStringList& components = {});

// The sets below a folder, oldest first by their records. Only folders holding a set's record
// count; nothing else there is ever touched.
QList<BackupSet> backupSets(const QString& backupFolder);

// The newest complete set, if there is one.
std::optional<BackupSet> newestCompleteBackupSet(const QString& backupFolder);

// Where a restore of the latest takes each component from: every component offered in a
// complete set, in the newest complete set that holds it, newest sets first.
struct ComponentInSet
{
    Component component;
    BackupSet set;
};
QList<ComponentInSet> newestSetOfEachComponent(const QString& programFolder,
                                               const QString& backupFolder);

// Keeps, for every component, the newest `keep` complete sets that hold it: a complete set goes
// only when each component in it is held by `keep` newer complete sets (one holding none, when
// `keep` newer complete sets stand above it). The incomplete sets older than the newest complete
// set go too; the set named `spared` (the one just made) stays whatever its place. Answers the
// names removed, or raises the runtime's error for a set that could not be removed.
QStringList pruneBackupSets(const QString& backupFolder, int keep, const QString& spared);
