// Creates a directory together with every missing ancestor, one prefix at a time.
#include "gui/app/frmMain.h"

#include "core/FolderUtilities.h"
#include "core/Trap.h"
#include "os/os.h"

void frmMain::CreateNewDirectory(const QString& NewDirectory)
{
    runTrapped(
        *this, QStringLiteral("frmMain.CreateNewDirectory(%1)").arg(NewDirectory),
        [this, NewDirectory] {
            setBusy(true);
            const QString path = withTrailingSeparator(NewDirectory);
            for (qsizetype at = 0; at < path.size(); ++at) {
                if (!isPathSeparator(path[at]))
                    continue;
                const QString prefix = path.left(at + 1);
                // The probe only finds out whether the drive can be read at all.
                listMatchingFiles(prefix);
                // Existing folders and drive roots fail here, silently, as they may.
                Os::createDirectory(toOsPath(prefix));
            }
            setBusy(false);
        });
}
