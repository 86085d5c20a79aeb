// The component list: Refresh reads every plugin file in the program's folder.
#include "icq/ComponentList.h"

#include "app/frmMain.h"
#include "errors/ErrorObject.h"
#include "errors/Trap.h"
#include "icq/PluginRecord.h"
#include "support/FolderUtilities.h"
#include "support/RuntimeServices.h"
#include "support/os/os.h"

#include <QListWidget>
#include <QRegularExpression>

bool IsSafeComponentFolder(const QString& folder)
{
    if (folder.startsWith(QLatin1Char('/')) || folder.startsWith(QLatin1Char('\\')))
        return false;
    if (folder.size() >= 2 && folder[1] == QLatin1Char(':') && folder[0].isLetter())
        return false;
    // A NUL would cut the path short below the OS layer and name another folder.
    if (folder.contains(QChar(u'\0')))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& part : folder.split(separators)) {
        // Windows drops trailing dots and spaces from a name, so ". ." and "..." climb as ".."
        // does there; nobody names an ICQ folder like that anywhere.
        const qsizetype dots = part.count(QLatin1Char('.'));
        if (dots >= 2 && dots + part.count(QLatin1Char(' ')) == part.size())
            return false;
    }
    return true;
}

QString NativeComponentFolder(const QString& folder)
{
    QString native = folder;
    native.replace(QLatin1Char('/'), QLatin1Char(Os::PathSeparator));
    native.replace(QLatin1Char('\\'), QLatin1Char(Os::PathSeparator));
    return native;
}

void frmMain::cmdZPXListRefresh_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdZPXListRefresh_Click()"),
        [this] {
            setBusy(true);
            lstZPXsList->clear();

            const QString separator = QString(QLatin1Char(Os::PathSeparator));
            const QString programFolder = m_services.programFolder();
            const QStringList names =
                ListFiles(programFolder + separator + QStringLiteral("*.zpx"));
            if (names.isEmpty()) {
                ShowErrorMessage(m_services, QStringLiteral("No backup plugins were found!"));
                setBusy(false);
                return;
            }

            for (const QString& name : names) {
                const PluginRecord record = ReadPluginRecord(programFolder + separator + name);
                if (!IsSafeComponentFolder(record.ComponentFolder))
                    continue;
                const QString folder = NativeComponentFolder(record.ComponentFolder);
                if (!FolderExists(gstrSource + folder))
                    continue;
                auto* entry = new QListWidgetItem(record.ComponentName + QStringLiteral(" [") +
                                                  folder + QStringLiteral("]"));
                entry->setData(Qt::UserRole, record.ItemDataFlag != 0 ? 1 : 0);
                entry->setData(ComponentFolderRole, folder);
                lstZPXsList->addItem(entry);
            }
            setBusy(false);
        });
}
