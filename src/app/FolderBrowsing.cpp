// The Browse buttons: a folder picker that fills the box beside them.
#include "app/frmMain.h"

#include "errors/Trap.h"
#include "support/RuntimeServices.h"
#include "support/os/os.h"

#include <QDir>
#include <QLineEdit>

void frmMain::browseForFolderInto(QLineEdit* folderBox, const QString& procedure)
{
    runTrapped(
        *this, procedure,
        [this, folderBox] {
            setBusy(true);
            const QString chosen = m_services.browseForFolder(folderBox->text());
            if (!chosen.isEmpty()) {
                // The folder page expects the trailing separator; the picker gives none.
                QString folder = QDir::toNativeSeparators(chosen);
                if (!folder.endsWith(QLatin1Char(Os::PathSeparator)))
                    folder += QLatin1Char(Os::PathSeparator);
                folderBox->setText(folder);
            }
            setBusy(false);
        });
}

void frmMain::cmdBrowseForICQFolder_Click()
{
    browseForFolderInto(txtICQLocation, QStringLiteral("frmMain.cmdBrowseForICQFolder_Click()"));
}

void frmMain::cmdBrowseForZEBFolder_Click()
{
    browseForFolderInto(txtZEBLocation, QStringLiteral("frmMain.cmdBrowseForZEBFolder_Click()"));
}
