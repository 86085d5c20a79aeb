// The component list of the Task Options page: one entry per backup plugin whose folder exists
// on the source side.
#pragma once

#include <QString>
#include <Qt>

// Each entry keeps its component folder (with native separators) in this role, so
// that the run copies the folder the plugin named, whatever the entry's text holds.
constexpr int ComponentFolderRole = Qt::UserRole + 1;

// A plugin's folder must stay below the folder it is joined to: it may not be absolute, name a
// drive or climb out with "..". Such plugins are left out like those whose folder is missing.
bool IsSafeComponentFolder(const QString& folder);

// Plugin files may write nested folders with "\" or "/"; both become the native separator.
QString NativeComponentFolder(const QString& folder);
