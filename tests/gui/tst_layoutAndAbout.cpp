// The windows as designed (every control's place and start-up state, the progress bar's blocks),
// stacking, keys, the mouse shortcuts of the About panel and the first page, the links and the
// Debug button, through the real widgets found by name.
#include "ScriptedRuntime.h"
#include "gui/app/frmMain.h"
#include "gui/errors/frmErrorBox.h"
#include "gui/widgets/DesignedControls.h"
#include "gui/widgets/PictureBox.h"
#include "gui/widgets/cProgBar.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// One row of a canvas's drawing: F for the bar colour, B for the background colour, ? for others.
QString row(const PictureBox& box, int y)
{
    const QRgb fore = box.palette().color(QPalette::Highlight).rgb();
    const QRgb back = box.palette().color(QPalette::Button).rgb();
    QString text;
    for (int x = 0; x < box.image().width(); ++x) {
        const QRgb pixel = box.image().pixel(x, y);
        text += pixel == fore ? u'F' : pixel == back ? u'B' : u'?';
    }
    return text;
}

} // namespace

class LayoutAndAboutTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedRuntime> runtime;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<frmErrorBox> errorBox;

    // A control by its name; "page0" to "page3" are the four pages, which share one name.
    QWidget* named(const QString& name) const
    {
        static const QStringList titles = {"Select Task", "Folder Locations", "Task Options",
                                           "Ready!"};
        if (name.startsWith(QLatin1String("page")))
            for (QGroupBox* frame : window->findChildren<QGroupBox*>(QStringLiteral("Frame1")))
                if (frame->title() == titles.value(name.back().digitValue()))
                    return frame;
        if (name == errorBox->objectName())
            return errorBox.get();
        if (auto* control = window->findChild<QWidget*>(name))
            return control;
        return errorBox->findChild<QWidget*>(name);
    }
    QWidget* page(int index) const { return named(QStringLiteral("page%1").arg(index)); }
    void showPage(int index) const
    {
        for (int i = 0; i < 4; ++i)
            page(i)->setVisible(i == index);
        window->findChild<QLabel*>(QStringLiteral("lblFrameNumber"))
            ->setText(QString::number(index));
    }
    QString caption(const char* label) const { return window->findChild<QLabel*>(label)->text(); }
    void click(const char* button) const { window->findChild<QPushButton*>(button)->click(); }
    // As the platform delivers it: a click, then the double-click and its release.
    void doubleClick(QWidget* control) const
    {
        if (auto* list = qobject_cast<QListWidget*>(control))
            control = list->viewport();
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(5, 5));
    }

private slots:
    void init()
    {
        runtime = std::make_unique<ScriptedRuntime>();
        window = std::make_unique<frmMain>(*runtime);
        errorBox = std::make_unique<frmErrorBox>(*runtime);
    }
    void cleanup()
    {
        errorBox.reset();
        window.reset();
        runtime.reset();
    }

    // Each control where the design puts it (in twips, from its parent's corner) and as it
    // starts: h hidden, d disabled, c checked, u unchecked. The error dialog's own row gives its
    // client size.
    void designedControls_data()
    {
        QTest::addColumn<QString>("parent"); // empty: the main window
        QTest::addColumn<QString>("state");
        QTest::addColumn<QRect>("rectangle");
        // Each control as "name[:state] left,top,width,height".
        const std::pair<const char*, const char*> controls[] = {
            {"", "imgBlackImage 0,0,2055,5175 imgZEBLogo 75,120,1920,1920 "
                 "cmdAboutButton 120,3120,1815,375 cmdCheckForUpgradeButton:d 120,3600,1815,375 "
                 "lblCopyright 0,4080,2055,975 cmdDebug 2160,4320,975,375 "
                 "cmdBack:d 3240,4320,1215,375 cmdNext 4440,4320,1215,375 "
                 "cmdExit 5760,4320,1215,375 lblBusy:h 2160,0,855,255 "
                 "lblFrameNumber:h 2400,4320,255,255 fraAbout:h 2160,120,4815,4095 "
                 "page0 2160,120,4815,4095 page1:h 2160,120,4815,4095 page2:h 2160,120,4815,4095 "
                 "page3:h 2160,120,4815,4095 frmErrorBox:h 0,0,6375,4335"},
            {"page0",
             "lblWelcomeToZEB2000 120,360,4575,495 lblChooseATask 120,840,4575,255 "
             "optBackup:c 120,1200,855,255 lblBackupOptionDescription 480,1440,3975,615 "
             "optRestore:u 120,2160,855,255 lblRestoreOptionDescription 480,2400,3975,495"},
            {"page1",
             "lblFolderLocationsDescription 120,360,4575,615 "
             "lblICQInstallationPath 120,960,4575,495 txtICQLocation 120,1440,4575,405 "
             "cmdAutoFindICQDir 2160,1920,1215,375 cmdBrowseForICQFolder 3480,1920,1215,375 "
             "lblBackupLocation 120,2520,4575,495 txtZEBLocation 120,3000,4575,405 "
             "cmdBrowseForZEBFolder 3480,3480,1215,375"},
            {"page2",
             "lblWhatToBackupDescription 120,360,4575,495 Label1 120,960,4575,255 "
             "lstZPXsList 120,1200,2895,1230 cmdZPXListRefresh 3120,1080,1575,375 "
             "cmdZPXListInvert 3120,1560,1575,375 cmdZPXListSelectAll 3120,2040,1575,375 "
             "lblUINsToBackup 120,2520,4575,255 lstUINsList:d 120,2760,2895,1230 "
             "cmdUINListRefresh:d 3120,2640,1575,375 cmdUINListInvert:d 3120,3120,1575,375 "
             "cmdUINListSelectAll:d 3120,3600,1575,375"},
            {"page3", "lblEnoughInformationEtcEtc 120,360,4575,855 "
                      "chkOverwriteWithoutPrompting:dc 120,1800,4575,255 "
                      "chkExitAfterDoing:u 120,2040,4575,255 chkVerifyCopies:c 120,2280,4575,255 "
                      "lblOverallProgress 120,3120,3855,255 lblOverallPercentage 3960,3120,735,255 "
                      "Picture1 120,3360,4575,375"},
            {"fraAbout",
             "imgBigZEBAboutLogo 480,170,3840,3840 lblAboutFrameTitle 600,480,3615,1455 "
             "lblAboutFrameDetails 120,1800,4575,1095 lblEmailAddress 1560,2880,1695,255 "
             "lblWebSiteAddress 1560,3120,1695,255 "
             "lblAboutFrameDblClickHereToContinue 120,3600,4575,375"},
            {"frmErrorBox",
             "lblThisAppHasEncountered 120,120,6135,495 txtErrorDetails 120,600,6135,1215 "
             "lblToHelpMakeThisApp 120,1920,6135,855 cmdSendEmail 4320,2760,1935,375 "
             "lblWhenItMayBePossible 120,3240,6135,615 cmdContinueApp 2280,3840,1935,375 "
             "cmdShutDownApp 4320,3840,1935,375"},
        };
        for (const auto& [parent, list] : controls) {
            const QStringList words = QString::fromLatin1(list).split(' ');
            for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
                const QStringList name = words[i].split(':');
                const QStringList r = words[i + 1].split(',');
                QTest::newRow(qPrintable(name[0]))
                    << parent << name.value(1)
                    << DesignedControls::twips(r[0].toInt(), r[1].toInt(), r[2].toInt(),
                                               r[3].toInt());
            }
        }
    }

    void designedControls()
    {
        QFETCH(QString, parent);
        QFETCH(QRect, rectangle);
        QWidget* control = named(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(control);
        if (control->isWindow()) {
            QCOMPARE(control->size(), rectangle.size());
        } else {
            QCOMPARE(control->parentWidget(), parent.isEmpty() ? window.get() : named(parent));
            QCOMPARE(control->geometry(), rectangle);
        }
        QString state = QString::fromLatin1(control->isHidden() ? "h" : "") +
                        QString::fromLatin1(control->isEnabled() ? "" : "d");
        if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable())
            state += button->isChecked() ? 'c' : 'u';
        QTEST(state, "state");
    }

    // Option captions keep the designed size: their rectangles hold them.
#ifndef Q_OS_WIN // the stand-in faces of Linux; Windows has the designed face itself
    void choiceCaptionsAtTheDesignedSize()
    {
        for (const char* name :
             {"optBackup", "optRestore", "chkOverwriteWithoutPrompting", "chkExitAfterDoing"})
            QCOMPARE(named(name)->font().pointSizeF(), window->font().pointSizeF());
    }
#endif

    // The progress bar narrows its canvas to whole blocks of width 2/3 of their height plus a
    // pixel of gap; blocks are 4 pixels less high than the canvas, from x = y = 2. A canvas too
    // low for one block keeps its width and draws none. Each value is set after a full bar, so
    // the rows also show that blocks are erased.
    void progressBarFillsRoundedBlocksOnAFittedCanvas()
    {
        const struct
        {
            int width, height, value, fitted, blockHeight, pitch, filled;
        } cases[] = {{301, 21, 0, 301, 17, 12, 0},    {301, 21, 50, 301, 17, 12, 12}, // 12.5 to 12
                     {301, 21, 75, 301, 17, 12, 19},  {301, 21, 100, 301, 17, 12, 25},
                     {310, 21, 100, 301, 17, 12, 25}, // narrowed to 301
                     {301, 21, 4, 301, 17, 12, 1},    // block 1 spans x = 2 to 13, corners included
                     {100, 6, 100, 99, 2, 2, 49},     {100, 6, 50, 99, 2, 2, 24},  // 24.5 to 24
                     {100, 4, 100, 100, 0, 1, 0},     {100, 2, 100, 100, 0, 1, 0}, // no room
                     {100, 0, 100, 100, 0, 1, 0}};
        for (const auto& c : cases) {
            PictureBox box;
            box.resize(c.width + 4, c.height + 4);
            cProgBar bar;
            bar.setCanvas(&box);
            QCOMPARE(box.width(), c.fitted + 4);
            bar.setValue(100);
            bar.setValue(c.value);
            const int lit = std::min(c.filled * c.pitch, c.fitted - 2); // the last meets the edge
            const QString blocks =
                QString(2, 'B') + QString(lit, 'F') + QString(c.fitted - 2 - lit, 'B');
            for (int y = 0; y < c.height; ++y)
                QCOMPARE(row(box, y),
                         y >= 2 && y < 2 + c.blockHeight ? blocks : QString(c.fitted, 'B'));
        }
    }

    void aboutPanelLiesAboveThePages()
    {
        const QObjectList stack = window->children();
        for (int i = 0; i < 4; ++i)
            QVERIFY(stack.indexOf(named("fraAbout")) > stack.indexOf(page(i)));
    }

    void tabOrder()
    {
        const QStringList chain =
            QStringLiteral(
                "optBackup optRestore txtICQLocation cmdAutoFindICQDir cmdBrowseForICQFolder "
                "txtZEBLocation cmdBrowseForZEBFolder lstUINsList cmdUINListRefresh "
                "cmdUINListSelectAll cmdUINListInvert cmdBack cmdNext cmdExit cmdAboutButton "
                "cmdCheckForUpgradeButton cmdDebug chkOverwriteWithoutPrompting "
                "chkExitAfterDoing chkVerifyCopies lstZPXsList cmdZPXListInvert "
                "cmdZPXListSelectAll cmdZPXListRefresh Picture1")
                .split(' ');
        QStringList order;
        for (QWidget* w = named("optBackup"); order.size() < chain.size();
             w = w->nextInFocusChain())
            if (chain.contains(w->objectName()) && !order.contains(w->objectName()))
                order << w->objectName();
        QCOMPARE(order, chain);
        QCOMPARE(window->focusWidget(), named("optBackup"));
    }

    void keys()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QSignalSpy next(named("cmdNext"), SIGNAL(clicked()));
        QSignalSpy find(named("cmdAutoFindICQDir"), SIGNAL(clicked()));
        QSignalSpy exit(named("cmdExit"), SIGNAL(clicked()));
        // Alt+P and Alt+L belong to labels and lead into the boxes below them.
        showPage(1);
        QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
        QCOMPARE(window->focusWidget(), named("txtZEBLocation"));
        QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(window->focusWidget(), named("txtICQLocation"));
        // Enter presses Next, whatever its caption, unless another button has the focus; Esc
        // presses Exit.
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        window->findChild<QPushButton*>("cmdNext")->setText(QStringLiteral("&Do It !"));
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QCOMPARE(next.size(), 2);
        named("cmdAutoFindICQDir")->setFocus();
        QTest::keyClick(window->focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(find.size(), 1);
        QCOMPARE(next.size(), 2);
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QCOMPARE(exit.size(), 1);
    }

    // A double click on the About panel or a part of it closes the panel over the page it was
    // opened on; on a link it opens the link once and leaves the panel open. On a task option
    // or the UIN list (were it enabled) it presses Next after the click has chosen.
    void doubleClicks_data()
    {
        QTest::addColumn<int>("onPage");
        QTest::addColumn<QString>("effect"); // "closes", a link opened, or the page Next leads to
        QTest::newRow("fraAbout") << 0 << "closes";
        QTest::newRow("imgBigZEBAboutLogo") << 1 << "closes";
        QTest::newRow("lblAboutFrameTitle") << 2 << "closes";
        QTest::newRow("lblAboutFrameDetails") << 3 << "closes";
        QTest::newRow("lblAboutFrameDblClickHereToContinue") << 0 << "closes";
        QTest::newRow("lblEmailAddress") << 1 << "mailto:zeb@zeb2000.example?subject=ZEB";
        QTest::newRow("lblWebSiteAddress") << 2 << "http://www.zeb2000.example/";
        QTest::newRow("optBackup") << 0 << "page 1";
        QTest::newRow("optRestore") << 0 << "page 1";
        QTest::newRow("lstUINsList") << 2 << "page 3";
    }
    void doubleClicks()
    {
        QFETCH(int, onPage);
        QFETCH(QString, effect);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        showPage(onPage);
        QWidget* control = named(QString::fromLatin1(QTest::currentDataTag()));
        if (effect.startsWith(QLatin1String("page"))) {
            for (auto* list : window->findChildren<QListWidget*>()) {
                list->setEnabled(true);
                list->addItem(QStringLiteral("111"));
                list->item(0)->setSelected(true);
            }
            doubleClick(control);
            QCOMPARE(QStringLiteral("page ") + caption("lblFrameNumber"), effect);
            QCOMPARE(caption("lblBusy"), QStringLiteral("False"));
            if (auto* option = qobject_cast<QRadioButton*>(control))
                QVERIFY(option->isChecked());
            return;
        }
        named("cmdNext")->setFocus(); // as after Alt+A, which leaves the focus where it is
        click("cmdAboutButton");
        QVERIFY(named("fraAbout")->isVisible() && page(onPage)->isVisible());
        QVERIFY(!named("cmdBack")->isEnabled() && !named("cmdNext")->isEnabled());
        doubleClick(control);
        if (effect == QLatin1String("closes")) {
            QVERIFY(!named("fraAbout")->isVisible() && page(onPage)->isVisible());
            QVERIFY(named("cmdBack")->isEnabled() && named("cmdNext")->isEnabled());
            QCOMPARE(window->focusWidget(), named("cmdNext"));
            QVERIFY(runtime->openedUrls.isEmpty());
        } else {
            QVERIFY(named("fraAbout")->isVisible());
            QCOMPARE(runtime->openedUrls, QStringList{effect});
        }
        QCOMPARE(caption("lblBusy"), QStringLiteral("False"));
    }

    // The upgrade button (disabled as designed) opens the page of this version while busy.
    void upgradeButtonOpensItsPage()
    {
        QString busyMeanwhile;
        runtime->onShellOpen = [&] { busyMeanwhile = caption("lblBusy"); };
        named("cmdCheckForUpgradeButton")->setEnabled(true);
        click("cmdCheckForUpgradeButton");
        QCOMPARE(runtime->openedUrls,
                 QStringList{"http://www.zeb2000.example/zeb/alpha/versions/20beta1.htm"});
        QCOMPARE(busyMeanwhile, QStringLiteral("True"));
        QCOMPARE(caption("lblBusy"), QStringLiteral("False"));
    }

    // The entered text is read as a 16-bit number: blanks around it are ignored, halves round
    // to even, &H and &O are hexadecimal and octal; 0 cannot be raised.
    void debugRaisesTheEnteredError_data()
    {
        QTest::addColumn<QString>("entered"); // empty: Cancel
        QTest::addColumn<QString>("error");
        const auto row = [](const char* tag, const QString& entered, const QString& error) {
            QTest::newRow(tag) << entered << error;
        };
        const QString own = "'Application-defined or object-defined error'";
        row("blanks around", "  76  ", "76: 'Path not found'");
        row("half down to even", "2.5", "2: " + own);
        row("half up to even", "3.5", "4: " + own);
        row("lower bound by rounding", "-32768.5", "-32768: " + own);
        row("hex as 16 bits", "&HFFFF", "-1: " + own);
        row("octal", "&O17", "15: " + own);
        row("rounds to 0, refused", "-0.4", "5: 'Invalid procedure call or argument'");
        row("above", "40000", "6: 'Overflow'");
        row("rounds above", "32767.5", "6: 'Overflow'");
        row("letters", "abc", "13: 'Type mismatch'");
        row("infinity", "inf", "13: 'Type mismatch'");
        row("Cancel", "", "13: 'Type mismatch'");
    }
    // The details line goes onto the clipboard; after Continue the program stays busy.
    void debugRaisesTheEnteredError()
    {
        QFETCH(QString, entered);
        QFETCH(QString, error);
        runtime->inputAnswers.push_back(entered);
        click("cmdDebug");
        QCOMPARE(runtime->clipboard,
                 "Error " + error + ", Source: 'ZEB2000', Proc: 'frmMain.cmdDebug_Click()'");
        QCOMPARE(runtime->dialogsShown, 1);
        QCOMPARE(caption("lblBusy"), QStringLiteral("True"));
    }
};

QTEST_MAIN(LayoutAndAboutTest)
#include "tst_layoutAndAbout.moc"
