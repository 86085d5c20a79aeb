// The one record of a backup plugin file (*.zpx), which names a component and its folder.
//
// At offset 0, with no padding and no terminators (little-endian):
//   u16 N, N bytes   ComponentName    shown to the user, ANSI code page
//   u16 N, N bytes   ComponentFolder  relative to the ICQ and backup folders
//   i16              ItemDataFlag     0 clear, anything else set
//   u16 N, N bytes   ExtraText        read and not used
// Anything after the record is ignored.
#pragma once

#include <QString>

struct PluginRecord
{
    QString ComponentName;
    QString ComponentFolder;
    qint16 ItemDataFlag = 0;
    QString ExtraText;
};

// Reads the record at the start of the file. A file cut short yields the fields it holds (a
// field cut off keeps the bytes that are there) and empty ones after. A missing file raises
// error 53, one that cannot be opened or read error 75.
PluginRecord ReadPluginRecord(const QString& path);
