// The weekly backup set up by the program itself, for the window's tick and `zeb2000-cli
// schedule`. On Linux the user units' settings file and the timer's enablement (systemctl
// --user, or the enablement link where no user manager answers, so that the timer starts at the
// next login); on Windows a task of the Task Scheduler. The truth is read back from them each
// time.
#pragma once

#include "core/Text.h"

#include <QString>

struct WeeklyBackup
{
    QString backupFolder; // the folder the dated sets go below
    QString icqFolder;    // empty: the one ICQ's registry settings name at each run
    QString winePrefix;   // Linux: the prefix ICQ is installed in
};

struct WeeklyState
{
    bool on = false;
    // How it stands, in a few words: "active", "starts at the next login (…)", "off".
    Text how;
    WeeklyBackup backup; // from the settings file, when there is one
};

// The weekly backup of these folders, as the settings show them (no trailing separator), in this
// user's Wine prefix on Linux.
WeeklyBackup weeklyBackupFor(const QString& backupFolder, const QString& icqFolder);

// Sets the weekly backup up, replacing earlier settings. Answers an empty text, or what failed;
// `how` says how it was done.
QString scheduleWeeklyBackup(const WeeklyBackup& backup, Text& how);
// Removes what scheduleWeeklyBackup() made; nothing of it is left. Answers an empty text, or what
// could not be removed.
QString unscheduleWeeklyBackup();
// Read back from the system, never from what this program remembers.
WeeklyState weeklyBackupState();
