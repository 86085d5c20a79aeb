// The core's words for why a backup ended that its record may keep in English, written once here
// for where they are raised and for the last backup's line, which finds a recorded one by them
// and shows it in the user's language.
#pragma once

#include <QtGlobal>

namespace TaskReason {
inline constexpr const char* NotLookedAt =
    QT_TRANSLATE_NOOP("Task", "%1 could not be looked at: %2");
inline constexpr const char* LockNotTaken =
    QT_TRANSLATE_NOOP("Task", "The lock of %1 could not be taken (%2: %3).");
inline constexpr const char* AnotherRun =
    QT_TRANSLATE_NOOP("Task", "Another run (process %1) is using %2; nothing was changed. Try "
                              "again when it has finished.");
inline constexpr const char* FileSystemRoot =
    QT_TRANSLATE_NOOP("Task", "%1 is the root of a file system; back up into a folder of its own.");
inline constexpr const char* NameEndsBadly =
    QT_TRANSLATE_NOOP("Task", "%1: the name \"%2\" ends in a blank or a dot, which Windows cannot "
                              "make reliably. Choose another name.");
inline constexpr const char* InsideIcqData =
    QT_TRANSLATE_NOOP("Task", "%1 lies inside %2, which a backup copies: every backup would copy "
                              "the earlier ones into ICQ's own data. Choose a folder outside it.");
inline constexpr const char* BackupFolderNotMade =
    QT_TRANSLATE_NOOP("Task", "The backup folder %1 could not be made: %2");
inline constexpr const char* SetNumberFull =
    QT_TRANSLATE_NOOP("Task", "The set could not be made: the record of %1 holds the highest "
                              "number a set can have; move that set elsewhere.");
inline constexpr const char* SetNotMade =
    QT_TRANSLATE_NOOP("Task", "The set could not be made: %1");
inline constexpr const char* SetRecordNotWritten =
    QT_TRANSLATE_NOOP("Task", "The record of the set could not be written: %1");
inline constexpr const char* EmptySetNotRemoved =
    QT_TRANSLATE_NOOP("Task", "the empty set %1 could not be removed (%2: %3)");
inline constexpr const char* OldSetNotRemoved =
    QT_TRANSLATE_NOOP("Task", "The backup set %1 could not be removed (%2: %3).");

inline constexpr const char* All[] = {NotLookedAt,         LockNotTaken,       AnotherRun,
                                      FileSystemRoot,      NameEndsBadly,      InsideIcqData,
                                      BackupFolderNotMade, SetNumberFull,      SetNotMade,
                                      SetRecordNotWritten, EmptySetNotRemoved, OldSetNotRemoved};
} // namespace TaskReason
