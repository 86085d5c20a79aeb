// The one record of a backup plugin file (*.zpx), which names a component and its folder.
//
// At offset 0, with no padding and no terminators (little-endian):
//   u16 N, N bytes   name             shown to the user, ANSI code page
//   u16 N, N bytes   folder           relative to the ICQ and backup folders
//   i16              flag             0 clear, anything else set
//   u16 N, N bytes   extra text       read and not used
// Anything after the record is ignored.
#pragma once

#include <QString>

struct PluginRecord
{
    QString name;
    QString folder;
    qint16 flag = 0;
    QString extraText;
    // The bytes end before the flag field is whole: the name, the folder or the flag is cut off
    // (and reads as far as it goes, later fields empty). Such a record names no component.
    bool cutBeforeFlag = false;
};

// The record at the start of a plugin file's bytes. Extra text that is cut off keeps the bytes
// that are there.
PluginRecord pluginRecordFromBytes(const QByteArray& bytes);

// Reads the record at the start of the file. A missing file raises error 53, one that cannot be
// opened or read error 75.
PluginRecord readPluginRecord(const QString& path);
