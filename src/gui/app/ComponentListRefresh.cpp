// The component list of the Task Options page: one entry per plugin file whose folder exists on
// the source side, each carrying its component.
#include "gui/app/frmMain.h"

#include "core/BackupSets.h"
#include "core/ComponentCatalogue.h"
#include "core/FolderUtilities.h"
#include "core/Trap.h"
#include "gui/runtime/MessageBoxes.h"
#include "gui/runtime/RuntimeServices.h"

#include <QListWidget>

QListWidgetItem* TaskOptionsPage::entryFor(const Component& component)
{
    auto* entry = new QListWidgetItem(component.entryText());
    entry->setData(Qt::UserRole, QVariant::fromValue(component));
    return entry;
}

Component TaskOptionsPage::componentOf(const QListWidgetItem* entry)
{
    return entry->data(Qt::UserRole).value<Component>();
}

void frmMain::cmdZPXListRefresh_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdZPXListRefresh_Click()"),
        [this] {
            const BusyScope busy(*this);
            QListWidget* list = m_taskOptions->lstZPXsList;
            list->clear();

            const QString programFolder = withTrailingSeparator(m_services.programFolder());
            const QStringList files = pluginFiles(programFolder);
            if (files.isEmpty()) {
                ShowErrorMessage(m_services, tr("No backup plugins were found!"));
                return;
            }

            // From dated sets: the components some complete set holds.
            QStringList inSets;
            if (m_state.fromNewestSets())
                for (const ComponentInSet& found :
                     newestSetOfEachComponent(programFolder, m_state.source()))
                    inSets << found.component.folder;
            // Entry by entry, so that a plugin file that cannot be read keeps those before it.
            for (const QString& file : files) {
                const std::optional<Component> component =
                    componentFromPlugin(programFolder + file);
                if (component &&
                    (m_state.fromNewestSets() ? inSets.contains(component->folder)
                                              : isComponentPresent(*component, m_state.source())))
                    list->addItem(TaskOptionsPage::entryFor(*component));
            }
        });
}
