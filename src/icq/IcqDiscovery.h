// Where ICQ is installed, from ICQ's own registry settings, and whether it is running.
#pragma once

#include <QString>

class RuntimeServices;

// ICQ's folder: "ICQPath", else the folder above the database named by "DataBase" (empty when
// that holds no "\DB"), else the text "Error getting subkey value.". A key that cannot be
// opened or closed is reported in a plain box and gives an empty text. On Linux a folder found
// is the native path inside the Wine prefix.
QString GetICQRegistryValue(RuntimeServices& services);

// True when a top-level window is titled with one of the UINs whose files lie in ICQ's "uin"
// folder; ICQ names its main window after the UIN that is logged on. Nothing is cached.
bool IsICQRunning(RuntimeServices& services);
