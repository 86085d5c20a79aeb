#include "support/FolderUtilities.h"

#include "errors/ErrorObject.h"
#include "support/RuntimeServices.h"
#include "support/os/os.h"

#include <QFile>

bool FolderExists(const QString& path)
{
    return Os::lookUpFolder(toOsPath(path)) != Os::FolderLookup::NotFound;
}

void ShowErrorMessage(RuntimeServices& services, const QString& text)
{
    services.msgBox(text, MsgButtons::OkOnly, MsgIcon::Critical, QStringLiteral("Error!"));
}

QString WithTrailingSeparator(const QString& path)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    return path.endsWith(separator) ? path : path + separator;
}

QStringList ListFiles(const QString& folderAndPattern)
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

std::string toOsPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromOsPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
