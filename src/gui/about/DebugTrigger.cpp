// The Debug button, which raises a chosen error to try out the error dialog, and the
// double-clicks that press Next for the user.
#include "gui/app/frmMain.h"

#include "core/NumberConversion.h"
#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

void frmMain::cmdDebug_Click()
{
    // Never ends normally: the raised error, or the conversion's own, leaves through the trap.
    runTrapped(*this, QStringLiteral("frmMain.cmdDebug_Click()"), [this] {
        const BusyScope busy(*this);
        raiseError(toInteger16(m_services.inputBox(tr("number"))));
    });
}

// A failure inside Next is reported by Next itself; these report only their own steps.
void frmMain::optBackup_DblClick()
{
    runTrapped(
        *this, QStringLiteral("frmMain.optBackup_DblClick()"),
        [this] {
            const BusyScope busy(*this);
            cmdNext_Click();
        });
}

void frmMain::optRestore_DblClick()
{
    runTrapped(
        *this, QStringLiteral("frmMain.optRestore_DblClick()"),
        [this] {
            const BusyScope busy(*this);
            cmdNext_Click();
        });
}

void frmMain::lstUINsList_DblClick()
{
    runTrapped(
        *this, QStringLiteral("frmMain.lstUINsList_DblClick()"),
        [this] {
            const BusyScope busy(*this);
            cmdNext_Click();
        });
}
