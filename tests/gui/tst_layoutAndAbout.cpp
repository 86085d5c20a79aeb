// The window's start-up state, stacking, keys, the About panel and the Debug button, through the
// real widgets found by name.
#include "ScriptedRuntime.h"
#include "gui/app/frmMain.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class LayoutAndAboutTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedRuntime> runtime;
    std::unique_ptr<frmMain> window;

    // A control by its name; "page0" to "page3" are the four pages, which share one name.
    QWidget* named(const QString& name) const
    {
        static const QStringList titles = {"Select Task", "Folder Locations", "Task Options",
                                           "Ready!"};
        if (name.startsWith(QLatin1String("page")))
            for (QGroupBox* frame : window->findChildren<QGroupBox*>(QStringLiteral("Frame1")))
                if (frame->title() == titles.value(name.back().digitValue()))
                    return frame;
        return window->findChild<QWidget*>(name);
    }
    QWidget* page(int index) const { return named(QStringLiteral("page%1").arg(index)); }
    void showPage(int index) const
    {
        for (int i = 0; i < 4; ++i)
            page(i)->setVisible(i == index);
        window->findChild<QLabel*>(QStringLiteral("lblFrameNumber"))
            ->setText(QString::number(index));
    }
    void click(const char* button) const { window->findChild<QPushButton*>(button)->click(); }
    // As the platform delivers it: a click, then the double-click and its release.
    void doubleClick(const char* name) const
    {
        QTest::mouseClick(named(name), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(named(name), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(named(name), Qt::LeftButton, {}, QPoint(5, 5));
    }

private slots:
    void init()
    {
        runtime = std::make_unique<ScriptedRuntime>();
        window = std::make_unique<frmMain>(*runtime);
    }
    void cleanup()
    {
        window.reset();
        runtime.reset();
    }

    void startUpState_data()
    {
        QTest::addColumn<QString>("parent"); // empty: the window
        QTest::addColumn<QString>("state");  // h hidden, d disabled, c checked, u unchecked
        const std::pair<const char*, const char*> controls[] = {
            {"", "imgBlackImage imgZEBLogo cmdAboutButton cmdCheckForUpgradeButton:d lblCopyright "
                 "cmdDebug cmdBack:d cmdNext cmdExit lblBusy:h lblFrameNumber:h fraAbout:h page0 "
                 "page1:h page2:h page3:h"},
            {"page0", "lblChooseATask optBackup:c optRestore:u lblRestoreOptionDescription"},
            {"page1", "lblICQInstallationPath txtICQLocation cmdAutoFindICQDir "
                      "cmdBrowseForICQFolder txtZEBLocation cmdBrowseForZEBFolder"},
            {"page2", "Label1 lstZPXsList cmdZPXListRefresh cmdZPXListInvert cmdZPXListSelectAll "
                      "lstUINsList:d cmdUINListRefresh:d cmdUINListInvert:d cmdUINListSelectAll:d"},
            {"page3", "chkOverwriteWithoutPrompting:dc chkExitAfterDoing:u chkVerifyCopies:c "
                      "lblOverallPercentage Picture1"},
            {"fraAbout", "imgBigZEBAboutLogo lblAboutFrameTitle lblAboutFrameDetails "
                         "lblEmailAddress lblWebSiteAddress lblAboutFrameDblClickHereToContinue"},
        };
        for (const auto& [parent, names] : controls)
            for (const QString& control : QString::fromLatin1(names).split(' ')) {
                const QStringList parts = control.split(':');
                QTest::newRow(qPrintable(parts[0]))
                    << QString::fromLatin1(parent) << parts.value(1);
            }
    }
    void startUpState()
    {
        QFETCH(QString, parent);
        QWidget* control = named(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), parent.isEmpty() ? window.get() : named(parent));
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
                "cmdUINListSelectAll "
                "cmdUINListInvert cmdBack cmdNext cmdExit cmdAboutButton cmdCheckForUpgradeButton "
                "cmdDebug chkOverwriteWithoutPrompting chkExitAfterDoing chkVerifyCopies "
                "lstZPXsList "
                "cmdZPXListInvert "
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
        QSignalSpy exit(named("cmdExit"), SIGNAL(clicked()));
        // Alt+P and Alt+L belong to labels and lead into the boxes below them.
        showPage(1);
        QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
        QCOMPARE(window->focusWidget(), named("txtZEBLocation"));
        QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(window->focusWidget(), named("txtICQLocation"));
        // Enter presses Next, whatever its caption; Esc presses Exit.
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        window->findChild<QPushButton*>("cmdNext")->setText(QStringLiteral("&Do It !"));
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QCOMPARE(next.size(), 2);
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QCOMPARE(exit.size(), 1);
    }

    // On each page the panel opens over it, its links open their pages and leave it open, and a
    // double click on it closes it where it was opened.
    void aboutPanelOnEveryPage()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (int index = 0; index < 4; ++index) {
            showPage(index);
            named("cmdNext")->setFocus(); // as after Alt+A, which leaves the focus where it is
            click("cmdAboutButton");
            QVERIFY(named("fraAbout")->isVisible() && page(index)->isVisible());
            QVERIFY(!named("cmdBack")->isEnabled() && !named("cmdNext")->isEnabled());
            doubleClick("lblEmailAddress");
            doubleClick("lblWebSiteAddress");
            QVERIFY(named("fraAbout")->isVisible());
            doubleClick(index % 2 ? "fraAbout" : "lblAboutFrameDetails");
            QVERIFY(!named("fraAbout")->isVisible() && page(index)->isVisible());
            QVERIFY(named("cmdBack")->isEnabled() && named("cmdNext")->isEnabled());
            QCOMPARE(window->focusWidget(), named("cmdNext"));
        }
        QCOMPARE(runtime->openedUrls.size(), 8);
        QCOMPARE(
            runtime->openedUrls.mid(0, 2),
            (QStringList{"mailto:zeb@zeb2000.example?subject=ZEB", "http://www.zeb2000.example/"}));
    }

    void debugRaisesTheEnteredError_data()
    {
        QTest::addColumn<QString>("entered"); // empty: Cancel
        QTest::addColumn<QString>("error");
        QTest::newRow("13") << "13"
                            << "13: 'Type mismatch'";
        QTest::newRow("2.5 to even") << " 2.5 "
                                     << "2: 'Application-defined or object-defined error'";
        QTest::newRow("0 refused") << "0"
                                   << "5: 'Invalid procedure call or argument'";
        QTest::newRow("40000") << "40000"
                               << "6: 'Overflow'";
        QTest::newRow("letters") << "abc"
                                 << "13: 'Type mismatch'";
        QTest::newRow("Cancel") << ""
                                << "13: 'Type mismatch'";
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
        QCOMPARE(window->findChild<QLabel*>("lblBusy")->text(), QStringLiteral("True"));
    }
};

QTEST_MAIN(LayoutAndAboutTest)
#include "tst_layoutAndAbout.moc"
