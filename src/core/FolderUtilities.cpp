#include "core/FolderUtilities.h"

#include "core/ErrorObject.h"
#include "os/os.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool folderExists(const QString& path)
{
    return Os::lookUpFolder(toOsPath(path)) != Os::FolderLookup::NotFound;
}

FolderPathProblem folderPathProblem(const QString& path, bool rootAllowed)
{
    if (path.contains(QChar(u'\0')))
        return FolderPathProblem::NulCharacter;
    if (path.trimmed().isEmpty())
        return FolderPathProblem::Empty;
    const QString internal = QDir::fromNativeSeparators(path);
    if (!QDir::isAbsolutePath(internal))
        return FolderPathProblem::Relative;
    if (rootAllowed)
        return FolderPathProblem::None;
    // "/tmp/.." and a link to "/" name the root as well.
    const QString canonical = QFileInfo(internal).canonicalFilePath();
    if (QDir(QDir::cleanPath(internal)).isRoot() ||
        (!canonical.isEmpty() && QDir(canonical).isRoot()))
        return FolderPathProblem::FileSystemRoot;
    return FolderPathProblem::None;
}

bool isPathSeparator(QChar c)
{
    // Windows takes "/" for "\" as well: a typed "C:/ICQ/" ends in a separator.
    return c == QLatin1Char(Os::PathSeparator) || (Os::PathSeparator == '\\' && c == '/');
}

QString withTrailingSeparator(const QString& path)
{
    if (!path.isEmpty() && isPathSeparator(path.back()))
        return path;
    return path + QLatin1Char(Os::PathSeparator);
}

QStringList listMatchingFiles(const QString& folderAndPattern, Os::HiddenFiles hidden)
{
    std::vector<std::string> names;
    if (const std::int32_t error = Os::listFiles(toOsPath(folderAndPattern), names, hidden))
        raiseError(error);
    QStringList listed;
    listed.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        listed << fromOsPath(name);
    return listed;
}

QString resolvedPath(const QString& path)
{
    return fromOsPath(Os::resolvePathIgnoringCase(toOsPath(path)));
}

std::string toOsPath(const QString& path)
{
#ifdef _WIN32
    return Os::wtf8FromUtf16(path.toStdU16String());
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString fromOsPath(const std::string& path)
{
#ifdef _WIN32
    return QString::fromStdU16String(Os::utf16FromWtf8(path));
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

QString fromOsText(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
