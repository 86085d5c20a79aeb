// Whole-list selection for the Task Options page, item by item.
#include "gui/app/frmMain.h"

#include "core/Trap.h"

#include <QListWidget>
#include <QPushButton>

#include <limits>

namespace {

// The item count is read as a 16-bit number, as every counter of the window is.
int itemCount(const QListWidget* list)
{
    if (!list)
        raiseError(ErrorNumber::ObjectRequired);
    if (list->count() > std::numeric_limits<qint16>::max())
        raiseError(ErrorNumber::Overflow);
    return list->count();
}

QString procedureName(const char* method, const QListWidget* list)
{
    return QStringLiteral("frmMain.%1(%2)")
        .arg(QLatin1String(method), list ? list->objectName() : QString());
}

} // namespace

void frmMain::SelectAllInList(QListWidget* lstList)
{
    runTrapped(
        *this, [lstList] { return procedureName("SelectAllInList", lstList); },
        [this, lstList] {
            const BusyScope busy(*this);
            const int count = itemCount(lstList);
            for (int i = 1; i <= count; ++i)
                lstList->item(i - 1)->setSelected(true);
        });
}

void frmMain::InvertList(QListWidget* lstList)
{
    runTrapped(
        *this, [lstList] { return procedureName("InvertList", lstList); },
        [this, lstList] {
            const BusyScope busy(*this);
            const int count = itemCount(lstList);
            for (int i = 1; i <= count; ++i) {
                QListWidgetItem* item = lstList->item(i - 1);
                item->setSelected(!item->isSelected());
            }
        });
}

void frmMain::selectAllButtonClicked(QListWidget* list, const QString& procedure)
{
    runTrapped(
        *this, procedure,
        [this, list] {
            const BusyScope busy(*this);
            SelectAllInList(list);
        });
}

// With nothing selected there is nothing to invert: the list's select-all handler runs instead.
void frmMain::invertButtonClicked(QListWidget* list, void (frmMain::*selectAllHandler)(),
                                  const QString& procedure)
{
    runTrapped(
        *this, procedure,
        [this, list, selectAllHandler] {
            const BusyScope busy(*this);
            if (!list->selectedItems().isEmpty())
                InvertList(list);
            else
                (this->*selectAllHandler)();
        });
}

void frmMain::cmdZPXListSelectAll_Click()
{
    selectAllButtonClicked(m_taskOptions->lstZPXsList,
                           QStringLiteral("frmMain.cmdZPXListSelectAll_Click()"));
}

void frmMain::cmdUINListSelectAll_Click()
{
    selectAllButtonClicked(m_taskOptions->lstUINsList,
                           QStringLiteral("frmMain.cmdUINListSelectAll_Click()"));
}

void frmMain::cmdZPXListInvert_Click()
{
    invertButtonClicked(m_taskOptions->lstZPXsList, &frmMain::cmdZPXListSelectAll_Click,
                        QStringLiteral("frmMain.cmdZPXListInvert_Click()"));
}

void frmMain::cmdUINListInvert_Click()
{
    invertButtonClicked(m_taskOptions->lstUINsList, &frmMain::cmdUINListSelectAll_Click,
                        QStringLiteral("frmMain.cmdUINListInvert_Click()"));
}
