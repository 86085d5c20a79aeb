// How the last backup went, for the window's first page and `zeb2000-cli schedule --status`: a
// small record each backup task writes at its end in the user's state folder, never read from
// any log.
#pragma once

#include "core/Text.h"

#include <QDateTime>
#include <QString>

#include <optional>

struct LastBackup
{
    QDateTime whenUtc;
    QString backupFolder; // the folder named, not the dated set inside it
    bool complete = false;
    QString failure;        // why not, in a few words (English, as the record keeps it)
    bool scheduled = false; // run by the weekly timer or task
};

// The record's file; empty when the system names no state folder.
QString lastBackupFile();
// Writes the record in one piece, its folder made. Answers an empty text, or what failed.
Text recordLastBackup(const LastBackup& backup);
// The record, or none when no backup was ever recorded (or the record cannot be read).
std::optional<LastBackup> readLastBackup();

// Why a backup failed, as a task records it; the line shows these in the user's language.
namespace BackupFailure {
inline constexpr const char* IcqRunning = QT_TRANSLATE_NOOP("LastBackup", "ICQ was running");
inline constexpr const char* FolderNotMade =
    QT_TRANSLATE_NOOP("LastBackup", "the backup folder could not be made");
inline constexpr const char* NothingToCopy =
    QT_TRANSLATE_NOOP("LastBackup", "there was nothing to copy");
inline constexpr const char* NoRoom = QT_TRANSLATE_NOOP("LastBackup", "not enough room");
inline constexpr const char* Stopped = QT_TRANSLATE_NOOP("LastBackup", "it was stopped");
inline constexpr const char* NotWhole =
    QT_TRANSLATE_NOOP("LastBackup", "%1 of %2 components not copied whole");
inline constexpr const char* NoManifest =
    QT_TRANSLATE_NOOP("LastBackup", "its manifest could not be written");
inline constexpr const char* Kept = QT_TRANSLATE_NOOP("LastBackup", "files were kept");
} // namespace BackupFailure

// The one line of state: "Last backup: 3 days ago to D:\ICQ backups (complete)", "Last weekly
// backup failed: ICQ was running (Tuesday)", or empty without a record. Days are counted from
// the UTC times; only the weekday shown is the local one.
Text lastBackupLine(const std::optional<LastBackup>& backup, const QDateTime& nowUtc);
