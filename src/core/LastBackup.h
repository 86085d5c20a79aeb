// How the last backup went, for the window's first page and `zeb2000-cli schedule --status`: a
// small record each backup task writes at its end in the user's state folder, never read from
// any log.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

struct LastBackup
{
    QDateTime whenUtc;
    QString backupFolder; // the folder named, not the dated set inside it
    bool complete = false;
    QString failure;        // why not, in a few words
    bool scheduled = false; // run by the weekly timer or task
};

// The record's file; empty when the system names no state folder.
QString lastBackupFile();
// Writes the record in one piece, its folder made. Answers an empty text, or what failed.
QString recordLastBackup(const LastBackup& backup);
// The record, or none when no backup was ever recorded (or the record cannot be read).
std::optional<LastBackup> readLastBackup();

// The one line of state: "Last backup: 3 days ago to D:\ICQ backups (complete)", "Last weekly
// backup failed: ICQ was running (Tuesday)", or empty without a record. Days are counted from
// the UTC times; only the weekday shown is the local one.
QString lastBackupLine(const std::optional<LastBackup>& backup, const QDateTime& nowUtc);
