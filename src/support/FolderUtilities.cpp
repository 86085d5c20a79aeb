#include "support/FolderUtilities.h"

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

std::string toOsPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromOsPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
