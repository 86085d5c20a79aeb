// The About panel over the pages, and the links that the panel and the strip offer.
#include "gui/app/frmMain.h"

#include "core/Trap.h"
#include "gui/about/ProductLinks.h"
#include "gui/runtime/RuntimeServices.h"

#include <QGroupBox>
#include <QPushButton>

void frmMain::cmdAboutButton_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdAboutButton_Click()"),
        [this] {
            // The page stays as it is beneath the panel; only the way off it is closed.
            changeState(WindowEvent::AboutOpened);
        });
}

// The buttons come back as the page and the run allow: a run still going on keeps Back and
// "&Do It !" off.
void frmMain::HideAboutPanel()
{
    changeState(WindowEvent::AboutClosed);
}

void frmMain::fraAbout_DblClick()
{
    HideAboutPanel();
}

void frmMain::imgBigZEBAboutLogo_DblClick()
{
    HideAboutPanel();
}

void frmMain::lblAboutFrameTitle_DblClick()
{
    HideAboutPanel();
}

void frmMain::lblAboutFrameDetails_DblClick()
{
    HideAboutPanel();
}

void frmMain::lblAboutFrameDblClickHereToContinue_DblClick()
{
    HideAboutPanel();
}

void frmMain::lblEmailAddress_Click()
{
    m_services.shellOpen(QStringLiteral("mailto:") + ProductLinks::ContactAddress +
                         QStringLiteral("?subject=ZEB"));
}

void frmMain::lblWebSiteAddress_Click()
{
    m_services.shellOpen(ProductLinks::HomePage);
}

void frmMain::cmdCheckForUpgradeButton_Click()
{
    runTrapped(
        *this, QStringLiteral("frmMain.cmdCheckForUpgradeButton_Click()"),
        [this] {
            const BusyScope busy(*this);
            m_services.shellOpen(ProductLinks::UpgradePage);
        });
}
