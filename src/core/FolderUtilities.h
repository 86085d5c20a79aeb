// Folder tests, listings and path conversions that the catalogues, the run and both front ends
// share.
#pragma once

#include "os/os.h"

#include <QString>
#include <QStringList>

#include <string>

// True unless the folder is known to be missing: a lookup that fails for any other reason
// answers true as well, so that a folder that merely cannot be examined is still offered.
bool folderExists(const QString& path);

// Why the text of a folder box cannot name a folder to copy from or to, or None. It must be a
// full path: the copy would otherwise land wherever the program was started. A NUL would cut the
// path short below the OS layer. The backup side may not be the file system's root, where a
// backup would spread its folders over the whole disk.
enum class FolderPathProblem { None, Empty, Relative, NulCharacter, FileSystemRoot };
FolderPathProblem folderPathProblem(const QString& path, bool rootAllowed);

// Whether the character separates folders in a path: the native separator, and on Windows "/"
// as well.
bool isPathSeparator(QChar c);

// The path with the native separator at its end, added where it lacks a separator.
QString withTrailingSeparator(const QString& path);

// The directory listing: the names of the ordinary files that match "folder + pattern", in name
// order. A folder that cannot be read at all raises the runtime's error for it.
QStringList listMatchingFiles(const QString& folderAndPattern,
                              Os::HiddenFiles hidden = Os::HiddenFiles::LeftOut);

// The path with every existing name spelt as the file system has it, where it matches only
// without regard to letter case (as Wine finds names); unchanged on Windows.
QString resolvedPath(const QString& path);

// A QString path as the OS layer takes it (WTF-8 on Windows, the native bytes on Linux), and
// back for a message.
std::string toOsPath(const QString& path);
QString fromOsPath(const std::string& path);
// A message of the OS layer (an error's text, a copy's reason): UTF-8 on every system, whatever
// the locale or the ANSI code page.
QString fromOsText(const std::string& text);
