// Folder test and the critical message box that the catalogues and the run share.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

class RuntimeServices;

// True unless the folder is known to be missing: a lookup that fails for any other reason
// answers true as well, so that a folder that merely cannot be examined is still offered.
bool FolderExists(const QString& path);

// A modal box with the critical icon, OK alone and the title "Error!".
void ShowErrorMessage(RuntimeServices& services, const QString& text);

// The path with the native separator at its end, added where it lacks one.
QString WithTrailingSeparator(const QString& path);

// The directory listing: the names of the ordinary files that match "folder + pattern", in the
// file system's order. A folder that cannot be read at all raises the runtime's error for it.
QStringList ListFiles(const QString& folderAndPattern);

// A QString path as the OS layer takes it, and back.
std::string toOsPath(const QString& path);
QString fromOsPath(const std::string& path);
