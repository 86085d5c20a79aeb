// Dated backup sets: a regular backup makes a folder "YYYY-MM-DD HHMM" of its own below the
// backup folder, keeps the newest few and restores from the newest.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The set folder's name for a backup started at this time.
QString backupSetName(const QDateTime& started);

// The names of the sets below a folder, oldest first. Only folders named exactly like a set
// count; nothing else there is ever touched.
QStringList backupSets(const QString& folder);

// Removes the oldest sets beyond the newest `keep`; answers the names it removed, or raises the
// runtime's error for one it could not remove.
QStringList pruneBackupSets(const QString& folder, int keep);

// The newest set that a backup finished (its manifest written last), or an empty text.
QString newestCompleteSet(const QString& folder);
