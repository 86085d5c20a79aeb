// The Browse buttons: a folder picker that fills the box beside them.
#include "gui/app/frmMain.h"

#include "core/FolderUtilities.h"
#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

#include <QDir>
#include <QLineEdit>

void frmMain::browseForFolderInto(QLineEdit* folderBox, const QString& procedure)
{
    runTrapped(
        *this, procedure,
        [this, folderBox] {
            const BusyScope busy(*this);
            const QString chosen = m_services.browseForFolder(folderBox->text());
            if (!chosen.isEmpty()) {
                // The folder page expects the trailing separator; the picker gives none.
                folderBox->setText(withTrailingSeparator(QDir::toNativeSeparators(chosen)));
            }
        });
}

void frmMain::cmdBrowseForICQFolder_Click()
{
    browseForFolderInto(m_folderLocations->txtICQLocation,
                        QStringLiteral("frmMain.cmdBrowseForICQFolder_Click()"));
}

void frmMain::cmdBrowseForZEBFolder_Click()
{
    browseForFolderInto(m_folderLocations->txtZEBLocation,
                        QStringLiteral("frmMain.cmdBrowseForZEBFolder_Click()"));
}
