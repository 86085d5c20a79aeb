// The components that the plugin files in the program's folder name, and which of them a side
// (the ICQ folder or the backup folder) holds.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct PluginRecord;

struct Component
{
    QString name;
    QString folder; // relative, with native separators
    bool flag = false;

    // "Name [Folder]", as the lists show a component.
    QString entryText() const;
    bool operator==(const Component&) const = default;
};

// A plugin's folder must name a folder below the one it is joined to: it may not be absolute,
// name a drive, climb out with "..", or be empty or "." (the whole side). Such plugins are left
// out like those whose folder is missing.
bool isSafeComponentFolder(const QString& folder);

// Plugin files may write nested folders with "\" or "/"; both become the native separator.
QString nativeComponentFolder(const QString& folder);

// The plugin files (*.zpx) of the program's folder, in name order.
QStringList pluginFiles(const QString& programFolder);

// The component that a plugin record names, or none when the record is cut off before its flag
// or its folder is unsafe.
std::optional<Component> componentFromRecord(const PluginRecord& record);

// The same for a plugin file. Raises the runtime's error for a file that cannot be read.
std::optional<Component> componentFromPlugin(const QString& pluginPath);

// Whether a side holds the component's folder; sideFolder ends in a separator.
bool isComponentPresent(const Component& component, const QString& sideFolder);

// Every component of the program's folder that the side holds, in plugin-file order.
QList<Component> offeredComponents(const QString& programFolder, const QString& sideFolder);

// Every component the plugin files name, whether a side holds it yet or not; a plugin that
// cannot be read names none.
QList<Component> everyPluginComponent(const QString& programFolder);
