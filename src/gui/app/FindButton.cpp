// The Find button of the folder page: ICQ's folder from ICQ's registry settings.
#include "core/FolderUtilities.h"
#include "core/IcqDiscovery.h"
#include "core/Trap.h"
#include "gui/app/frmMain.h"
#include "gui/runtime/RuntimeServices.h"
#include "os/os.h"

#include <QLineEdit>

namespace {

// The notice in the user's language. Under Linux the registry is a file of the Wine prefix: a key
// that cannot be opened most often means another prefix than the one ICQ was installed in, so
// the box also says which file was read.
QString explained(const QString& notice)
{
    const QString shown = shownRegistryText(notice);
#ifndef _WIN32
    if (notice == QLatin1String("Error opening key."))
        return shown + QStringLiteral("\n\n") +
               frmMain::tr("ZEB 2000 looked for ICQ's settings in %1/user.reg. The WINEPREFIX "
                           "environment variable chooses the Wine prefix (without it, ~/.wine): "
                           "start ZEB 2000 with the same WINEPREFIX as ICQ.")
                   .arg(fromOsPath(Os::winePrefix()));
#endif
    return shown;
}

} // namespace

void frmMain::cmdAutoFindICQDir_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdAutoFindICQDir_Click()"),
        [this] {
            const BusyScope busy(*this);
            const RegistryNotice notice = [this](const QString& message) {
                m_services.msgBox(explained(message), MsgButtons::OkOnly, MsgIcon::None);
            };
            // Whatever the registry gave, the error text included: the folder page judges it.
            m_folderLocations->txtICQLocation->setText(icqFolderFromRegistry(notice));
        });
}
