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
#include <QAccessible>
#include <QAccessibleValueInterface>
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

    // Where a person would see a fault in the layout: each control lies inside its frame, each
    // frame inside the window, and no two controls on one parent cover each other. Labels count
    // by the text they show (their rectangles are wider than their words); the design's
    // rectangles meet with a pixel of overlap where twips round, which nobody sees. The strip's
    // black image and the About panel's large logo lie under the controls drawn over them; the
    // About panel lies above the pages.
    void controlsInsideTheirFramesWithoutOverlaps()
    {
        const auto shown = [](QWidget* control) {
            auto* label = qobject_cast<QLabel*>(control);
            if (!label || !label->pixmap().isNull())
                return control->geometry();
            const QRect text = label->fontMetrics().boundingRect(
                QRect(QPoint(0, 0), label->size()), int(label->alignment()) | Qt::TextWordWrap,
                label->text());
            return text.translated(label->pos()) & label->geometry();
        };
        QList<QWidget*> parents = {window.get(), named("fraAbout")};
        for (int i = 0; i < 4; ++i) {
            parents << page(i);
            QVERIFY(window->children().indexOf(parents[1]) > window->children().indexOf(page(i)));
        }
        for (QWidget* parent : parents) {
            QList<QWidget*> controls;
            for (QWidget* control : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const QString name = control->objectName();
                // An empty label shows nothing (the last backup's line for a new user).
                if (control->isHidden() || shown(control).isEmpty() || name.isEmpty() ||
                    name == "imgBlackImage" || name == "imgBigZEBAboutLogo")
                    continue;
                QVERIFY2(parent->rect().contains(shown(control)), qPrintable(name));
                if (!qobject_cast<QGroupBox*>(control))
                    controls << control;
            }
            for (qsizetype i = 0; i < controls.size(); ++i)
                for (qsizetype j = i + 1; j < controls.size(); ++j) {
                    const QRect common = shown(controls[i]) & shown(controls[j]);
                    QVERIFY2(common.width() <= 1 || common.height() <= 1,
                             qPrintable(controls[i]->objectName() + " covers " +
                                        controls[j]->objectName()));
                }
        }
    }

    // The few rectangles that are fixed by number: the window (here for Wine too, whose walk
    // measures none), the page area that pages and the About panel share, the bottom row, and
    // the progress bar (whose pixels the end-to-end test reads); and how the controls start: h
    // hidden, d disabled, c checked, u unchecked.
    void designedRectanglesAndStates_data()
    {
        QTest::addColumn<QRect>("rectangle"); // empty: not fixed here
        QTest::addColumn<QString>("state");
        const auto row = [](const char* name, QRect rectangle, const char* state) {
            QTest::newRow(name) << rectangle << QString::fromLatin1(state);
        };
        using DesignedControls::twips;
        const QRect pageArea = twips(2160, 120, 4815, 4095);
        row("frmMain", twips(0, 0, 7095, 4815), "");
        row("frmErrorBox", twips(0, 0, 6375, 4335), "");
        row("page0", pageArea, "");
        for (const char* name : {"page1", "page2", "page3", "fraAbout"})
            row(name, pageArea, "h");
        row("cmdDebug", twips(2160, 4320, 975, 375), "");
        row("cmdBack", twips(3240, 4320, 1215, 375), "d");
        row("cmdNext", twips(4440, 4320, 1215, 375), "");
        row("cmdExit", twips(5760, 4320, 1215, 375), "");
        row("Picture1", twips(120, 3360, 4575, 375), "");
        row("lblBusy", {}, "h");
        row("lblFrameNumber", {}, "h");
        row("cmdCheckForUpgradeButton", {}, "d");
        row("optBackup", {}, "c");
        row("optRestore", {}, "u");
        for (const char* name :
             {"lstUINsList", "cmdUINListRefresh", "cmdUINListInvert", "cmdUINListSelectAll"})
            row(name, {}, "d");
        row("chkOverwriteWithoutPrompting", {}, "dc");
        row("chkVerifyCopies", {}, "c");
    }
    void designedRectanglesAndStates()
    {
        QFETCH(QRect, rectangle);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QWidget* control = name == "frmMain" ? window.get() : named(name);
        QVERIFY(control);
        if (control->isWindow())
            QCOMPARE(control->size(), rectangle.size());
        else if (!rectangle.isEmpty())
            QCOMPARE(control->geometry(), rectangle);
        QString state =
            QString::fromLatin1(control->isHidden() && !control->isWindow() ? "h" : "") +
            QString::fromLatin1(control->isEnabled() ? "" : "d");
        if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable())
            state += button->isChecked() ? 'c' : 'u';
        QTEST(state, "state");
    }

    // Each stem of the small captions is drawn: with the desktop's font smoothing off, as in a
    // Wine prefix that wineboot made, Wine's hinting dropped every "I" and "!" of the window.
    // Option captions keep the designed size: their rectangles hold them.
    void smallCaptionsKeepEveryStem()
    {
        for (const char* name : {"cmdNext", "lblOverallProgress", "optBackup", "optRestore",
                                 "chkOverwriteWithoutPrompting", "chkExitAfterDoing"}) {
#ifndef Q_OS_WIN // the stand-in faces of Linux; Windows has the designed face itself
            if (QByteArray(name).startsWith("opt") || QByteArray(name).startsWith("chk"))
                QCOMPARE(named(name)->font().pointSizeF(), window->font().pointSizeF());
#endif
            for (const QString& text : {QStringLiteral("I"), QStringLiteral("!")}) {
                QLabel label(text);
                label.setFont(named(name)->font());
                label.setStyleSheet(QStringLiteral("color: black; background: white"));
                label.adjustSize();
                const QImage image = label.grab().toImage();
                // The ink in pixels' worth, smoothed edges counted by their share.
                double ink = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        ink += (255 - qGray(image.pixel(x, y))) / 255.0;
                QVERIFY2(ink >= 3, qPrintable(text + " in " + name + ": " + QString::number(ink)));
            }
        }
    }

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
                     {100, 6, 100, 99, 2, 2, 49},     {100, 4, 100, 100, 0, 1, 0}, // then no room
                     {100, 2, 100, 100, 0, 1, 0},     {100, 0, 100, 100, 0, 1, 0}};
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

    // Tab visits every control of the page in reading order (a control before those below it,
    // and before those right of it on the same rows), then the bottom row from left to right,
    // then the strip's buttons from the top; each once, on every page.
    void tabOrderInReadingOrder()
    {
        const auto before = [](QWidget* a, QWidget* b) {
            const QRect ra = a->geometry();
            const QRect rb = b->geometry();
            if (ra.bottom() < rb.top())
                return true;
            if (rb.bottom() < ra.top())
                return false;
            return ra.left() < rb.left();
        };
        const QList<QWidget*> bottomRow = {named("cmdDebug"), named("cmdBack"), named("cmdNext"),
                                           named("cmdExit")};
        const QList<QWidget*> strip = {named("cmdAboutButton"), named("cmdCheckForUpgradeButton")};
        for (int index = 0; index < 4; ++index) {
            showPage(index);
            QList<QWidget*> pageControls;
            for (QWidget* control : page(index)->findChildren<QWidget*>())
                if (!control->isHidden() && (control->focusPolicy() & Qt::TabFocus))
                    pageControls << control;
            std::stable_sort(pageControls.begin(), pageControls.end(), before);
            const QList<QWidget*> chain = pageControls + bottomRow + strip;
            QStringList expected, visited;
            for (QWidget* control : chain)
                expected << control->objectName();

            QWidget* w = chain.front();
            do {
                if (w->isVisibleTo(window.get()) && (w->focusPolicy() & Qt::TabFocus) &&
                    w != window.get())
                    visited << w->objectName();
                w = w->nextInFocusChain();
            } while (w != chain.front() && visited.size() <= expected.size());
            QCOMPARE(visited, expected);
        }
        showPage(0);
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
        // Enter presses Next, whatever its caption, unless another button has the focus. (Esc
        // for Exit is e2e_startup's; Alt+P and Alt+L, the labels' keys into their boxes, are the
        // walks'.)
        showPage(1);
        window->findChild<QPushButton*>("cmdNext")->setText(QStringLiteral("&Do It !"));
        named("txtICQLocation")->setFocus();
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        named("cmdAutoFindICQDir")->setFocus();
        QTest::keyClick(window->focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(find.size(), 1);
        QCOMPARE(next.size(), 1);

        // While the About panel is shown, Esc and Enter close it instead, whatever has the
        // focus (Next's focus passes on to Exit when the panel turns Next off).
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            named("cmdNext")->setFocus();
            click("cmdAboutButton"); // shown, or the key would press Exit or Next
            QTest::keyClick(window->focusWidget(), key);
            QVERIFY(!named("fraAbout")->isVisible());
            QVERIFY(exit.isEmpty());
            QCOMPARE(next.size(), 1);
        }
    }

    // What a screen reader hears: the two lists by their captions, the progress bar as a
    // progress bar with its value, named by the label above it and out of the tab order.
    void screenReaderNamesAndRoles()
    {
        const auto accessible = [this](const char* name) {
            return QAccessible::queryAccessibleInterface(named(name));
        };
        QCOMPARE(accessible("lstZPXsList")->text(QAccessible::Name),
                 QStringLiteral("Component(s):"));
        QCOMPARE(accessible("lstUINsList")->text(QAccessible::Name), QStringLiteral("UIN(s):"));
        window->progressBar().setCanvas(named("Picture1"));
        window->progressBar().setValue(40);
        QAccessibleInterface* bar = accessible("Picture1");
        QCOMPARE(bar->role(), QAccessible::ProgressBar);
        QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Overall Progress:"));
        QVERIFY(bar->valueInterface());
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 40);
        QCOMPARE(bar->text(QAccessible::Value), QStringLiteral("40%"));
        QCOMPARE(named("Picture1")->focusPolicy(), Qt::NoFocus);
    }

    // A double click on the About panel or a part of it closes the panel over the page it was
    // opened on, Next back with the focus (which buttons each page allows: the window state's
    // table); on a link it opens the link once and leaves the panel open. On a task option it
    // presses Next after the click has chosen.
    void doubleClicks_data()
    {
        QTest::addColumn<int>("onPage");
        QTest::addColumn<QString>("effect"); // "closes", a link opened, or the page Next leads to
        QTest::newRow("fraAbout") << 0 << "closes";
        QTest::newRow("imgBigZEBAboutLogo") << 1 << "closes";
        QTest::newRow("lblAboutFrameTitle") << 0 << "closes";
        QTest::newRow("lblAboutFrameDetails") << 1 << "closes";
        QTest::newRow("lblAboutFrameDblClickHereToContinue") << 0 << "closes";
        QTest::newRow("lblEmailAddress") << 1 << "mailto:zeb@zeb2000.example?subject=ZEB";
        QTest::newRow("lblWebSiteAddress") << 0 << "http://www.zeb2000.example/";
        QTest::newRow("optBackup") << 0 << "page 1";
        QTest::newRow("optRestore") << 0 << "page 1";
    }
    void doubleClicks()
    {
        QFETCH(int, onPage);
        QFETCH(QString, effect);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        if (onPage == 1)
            click("cmdNext");
        QWidget* control = named(QString::fromLatin1(QTest::currentDataTag()));
        if (effect.startsWith(QLatin1String("page"))) {
            doubleClick(control);
            QCOMPARE(QStringLiteral("page ") + caption("lblFrameNumber"), effect);
            QVERIFY(qobject_cast<QRadioButton*>(control)->isChecked());
        } else {
            named("cmdNext")->setFocus(); // as after Alt+A, which leaves the focus where it is
            click("cmdAboutButton");
            QVERIFY(named("fraAbout")->isVisible() && page(onPage)->isVisible());
            QVERIFY(!named("cmdBack")->isEnabled() && !named("cmdNext")->isEnabled());
            doubleClick(control);
            const bool closes = effect == QLatin1String("closes");
            QCOMPARE(named("fraAbout")->isVisible(), !closes);
            QCOMPARE(runtime->openedUrls, closes ? QStringList() : QStringList{effect});
            if (closes) { // over its page
                QVERIFY(page(onPage)->isVisible());
                QCOMPARE(window->focusWidget(), named("cmdNext")); // only an enabled Next takes it
            }
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

    // The entered text is read as a 16-bit number (its forms and rounding are the fuzz target's,
    // whose seeds replay in the suite): blanks around it are ignored; 0 cannot be raised.
    void debugRaisesTheEnteredError_data()
    {
        QTest::addColumn<QString>("entered"); // empty: Cancel
        QTest::addColumn<QString>("error");
        const auto row = [](const char* tag, const QString& entered, const QString& error) {
            QTest::newRow(tag) << entered << error;
        };
        const QString own = "'Application-defined or object-defined error'";
        row("blanks around", "  76  ", "76: 'Path not found'");
        row("a number of no name", "2.5", "2: " + own);
        row("rounds to 0, refused", "-0.4", "5: 'Invalid procedure call or argument'");
        row("above", "40000", "6: 'Overflow'");
        row("letters", "abc", "13: 'Type mismatch'");
        row("infinity", "inf", "13: 'Type mismatch'");
        row("Cancel", "", "13: 'Type mismatch'");
    }
    // The details line goes onto the clipboard; after Continue nothing is at work, so Exit ends
    // the program without the busy question.
    void debugRaisesTheEnteredError()
    {
        QFETCH(QString, entered);
        QFETCH(QString, error);
        runtime->inputAnswers.push_back(entered);
        click("cmdDebug");
        QCOMPARE(runtime->clipboard,
                 "Error " + error + ", Source: 'ZEB2000', Proc: 'frmMain.cmdDebug_Click()'");
        QCOMPARE(runtime->dialogsShown, 1);
        click("cmdExit");
        QVERIFY(runtime->ended);
        QVERIFY(runtime->boxes.empty());
    }
};

QTEST_MAIN(LayoutAndAboutTest)
#include "tst_layoutAndAbout.moc"
