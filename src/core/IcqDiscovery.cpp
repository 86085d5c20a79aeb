#include "core/IcqDiscovery.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "os/os.h"

#include <QCoreApplication>

#include <string>
#include <utility>

namespace {

const std::string DefaultPrefsKey = "SOFTWARE\\Mirabilis\\ICQ\\DefaultPrefs";
// A text value, as far as it can name a folder: one that holds a NUL would be cut short below
// the OS layer and name another folder, so it counts as a value that cannot be read. The value
// is asked for its size first, so that a path of any length Windows allows is read whole.
bool queryFolderText(Os::RegistryKey key, const std::string& name, std::string& text)
{
    std::string buffer;
    std::uint32_t size = 0;
    std::int32_t result = Os::regQueryStringValue(key, name, nullptr, size);
    // The value may grow between asking its size and reading it: ask again until it fits.
    while (result == Os::RegistryMoreData) {
        buffer.assign(size, '\0');
        result = Os::regQueryStringValue(key, name, buffer.data(), size);
    }
    if (result != Os::RegistrySuccess)
        return false;
    // The size counts the terminating zero.
    buffer.resize(size == 0 ? 0 : size - 1);
    if (buffer.find('\0') != std::string::npos)
        return false;
    text = std::move(buffer);
    return true;
}

} // namespace

QString shownRegistryText(const QString& english)
{
    return QCoreApplication::translate("Registry", english.toUtf8().constData());
}

QString icqFolderFromRegistry(const RegistryNotice& notice)
{
    Os::RegistryKey key = 0;
    if (Os::regOpenCurrentUserKey(DefaultPrefsKey, Os::KeyAllAccess, key) != Os::RegistrySuccess) {
        notice(QString::fromLatin1(QT_TRANSLATE_NOOP("Registry", "Error opening key.")));
        return QString();
    }

    std::string folder;
    std::string database;
    bool isFolder = true;
    if (!queryFolderText(key, "ICQPath", folder)) {
        if (!queryFolderText(key, "DataBase", database)) {
            isFolder = false;
        } else {
            // The database lies in a folder "DB..." of the installation: keep what comes
            // before it, the backslash included.
            const std::size_t at = database.find("\\DB");
            folder = at == std::string::npos ? std::string() : database.substr(0, at + 1);
        }
    }

    if (Os::regCloseKey(key) != Os::RegistrySuccess) {
        notice(QString::fromLatin1(QT_TRANSLATE_NOOP("Registry", "Error closing key.")));
        return QString();
    }
    if (!isFolder)
        return NoRegistryValueText;
    if (folder.empty())
        return QString();
    // The registry holds a DOS path; on Linux it names a folder of the Wine prefix.
    return fromOsPath(Os::nativePathFromRegistry(folder));
}

namespace {

// True when a top-level window is titled with one of the UINs of this ICQ folder.
bool isIcqWindowOpenFor(const QString& icqFolder)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    const QString pattern =
        icqFolder + separator + QStringLiteral("uin") + separator + QStringLiteral("*.uin");
    bool running = false;
    // A hidden UIN file is still ICQ's: its window counts.
    for (const QString& name : listMatchingFiles(pattern, Os::HiddenFiles::Listed)) {
        // The title is the name less its extension ".uin".
        if (Os::findTopLevelWindow(name.chopped(4).toLocal8Bit().toStdString()) != 0)
            running = true;
    }
    return running;
}

// A second installation's icq.exe is not this ICQ; with no folder known, any counts.
bool isIcqProgramRunning(const QString& icqFolder)
{
    return Os::isProgramRunning("icq.exe", icqFolder.isEmpty() || icqFolder == NoRegistryValueText
                                               ? std::string()
                                               : toOsPath(withTrailingSeparator(icqFolder)));
}

} // namespace

bool isIcqRunningIn(const QString& icqFolder)
{
    return isIcqWindowOpenFor(icqFolder) || isIcqProgramRunning(icqFolder);
}
