#include "core/FolderUtilities.h"

#include "core/ErrorObject.h"
#include "os/os.h"

#include <QFile>

bool folderExists(const QString& path)
{
    return Os::lookUpFolder(toOsPath(path)) != Os::FolderLookup::NotFound;
}

QString withTrailingSeparator(const QString& path)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    return path.endsWith(separator) ? path : path + separator;
}

QStringList listMatchingFiles(const QString& folderAndPattern)
{
    std::vector<std::string> names;
    if (const std::int32_t error = Os::listFiles(toOsPath(folderAndPattern), names))
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
    return QFile::encodeName(path).toStdString();
}

QString fromOsPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
