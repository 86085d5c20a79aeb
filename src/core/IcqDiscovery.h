// Where ICQ is installed, from ICQ's own registry settings, and whether it is running.
#pragma once

#include <QString>

#include <functional>

// Tells the user of a registry key that could not be opened or closed ("Error opening key.",
// "Error closing key."); the window shows it in a plain box, the command line prints it.
using RegistryNotice = std::function<void(const QString& message)>;

// The answer of the registry when it holds no folder value at all.
inline const QString NoRegistryValueText =
    QString::fromLatin1(QT_TRANSLATE_NOOP("Registry", "Error getting subkey value."));
// The notices and NoRegistryValueText are English, as callers compare them; this gives one in
// the user's language (any other text as it is).
QString shownRegistryText(const QString& english);

// ICQ's folder: "ICQPath", else the folder above the database named by "DataBase" (empty when
// that holds no "\DB"), else NoRegistryValueText. A key that cannot be opened or closed is told
// through the notice and gives an empty text. On Linux a folder found is the native path
// inside the Wine prefix.
QString icqFolderFromRegistry(const RegistryNotice& notice);

// Whether ICQ runs in this ICQ folder: a top-level window is titled with one of the UINs whose
// files lie in its "uin" folder (ICQ names its main window after the UIN that is logged on), or
// (for a timer that has no display) a process runs this folder's "icq.exe" (see
// Os::isProgramRunning). The registry, which may not name this folder or any, is not read;
// nothing is cached.
bool isIcqRunningIn(const QString& icqFolder);
