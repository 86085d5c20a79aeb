#include "core/IcqDiscovery.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "os/os.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

const std::string DefaultPrefsKey = "SOFTWARE\\Mirabilis\\ICQ\\DefaultPrefs";
constexpr std::uint32_t ValueBufferSize = 256;

// The bytes that a query reported, less the terminating zero it counts.
std::string reportedText(const std::array<char, ValueBufferSize>& buffer, std::uint32_t size)
{
    if (size == 0)
        return {};
    return std::string(buffer.data(), std::min<std::uint32_t>(size, ValueBufferSize) - 1);
}

} // namespace

QString icqFolderFromRegistry(const RegistryNotice& notice)
{
    Os::RegistryKey key = 0;
    if (Os::regOpenCurrentUserKey(DefaultPrefsKey, Os::KeyAllAccess, key) != Os::RegistrySuccess) {
        notice(QStringLiteral("Error opening key."));
        return QString();
    }

    std::array<char, ValueBufferSize> buffer{};
    std::uint32_t size = ValueBufferSize;
    std::string folder;
    bool isFolder = true;
    if (Os::regQueryStringValue(key, "ICQPath", buffer.data(), size) == Os::RegistrySuccess) {
        folder = reportedText(buffer, size);
    } else {
        size = ValueBufferSize;
        if (Os::regQueryStringValue(key, "DataBase", buffer.data(), size) != Os::RegistrySuccess) {
            isFolder = false;
        } else {
            // The database lies in a folder "DB..." of the installation: keep what comes
            // before it, the backslash included.
            const std::string database = reportedText(buffer, size);
            const std::size_t at = database.find("\\DB");
            folder = at == std::string::npos ? std::string() : database.substr(0, at + 1);
        }
    }

    if (Os::regCloseKey(key) != Os::RegistrySuccess) {
        notice(QStringLiteral("Error closing key."));
        return QString();
    }
    if (!isFolder)
        return NoRegistryValueText;
    if (folder.empty())
        return QString();
    // The registry holds a DOS path; on Linux it names a folder of the Wine prefix.
    return QString::fromLocal8Bit(Os::nativePathFromRegistry(folder));
}

bool isIcqWindowOpen(const RegistryNotice& notice)
{
    const QChar separator = QLatin1Char(Os::PathSeparator);
    const QString pattern = icqFolderFromRegistry(notice) + separator + QStringLiteral("uin") +
                            separator + QStringLiteral("*.uin");
    bool running = false;
    for (const QString& name : listMatchingFiles(pattern)) {
        // The title is the name less its extension ".uin".
        if (Os::findTopLevelWindow(name.chopped(4).toLocal8Bit().toStdString()) != 0)
            running = true;
    }
    return running;
}

bool isIcqRunning(const RegistryNotice& notice)
{
    return isIcqWindowOpen(notice) || Os::isProgramRunning("icq.exe");
}
