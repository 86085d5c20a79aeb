// The window as designed, its keys, the About panel and the Debug button, through the real
// widgets found by name.
#include "ScriptedRuntime.h"
#include "app/frmMain.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QRect twips(int left, int top, int width, int height)
{
    return QRect(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0),
                 qRound(height / 15.0));
}

QString captionOf(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    return QString();
}

} // namespace

class LayoutAndAboutTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedRuntime> runtime;
    std::unique_ptr<frmMain> window;

    template <typename Control = QWidget> Control* named(const char* name) const
    {
        return window->findChild<Control*>(QLatin1String(name));
    }
    QGroupBox* page(int index) const
    {
        const QStringList titles = {"Select Task", "Folder Locations", "Task Options", "Ready!"};
        for (QGroupBox* frame : window->findChildren<QGroupBox*>(QStringLiteral("Frame1")))
            if (frame->title() == titles[index])
                return frame;
        return nullptr;
    }
    void showPage(int index) const
    {
        for (int i = 0; i < 4; ++i)
            page(i)->setVisible(i == index);
        named<QLabel>("lblFrameNumber")->setText(QString::number(index));
    }
    QString busy() const { return named<QLabel>("lblBusy")->text(); }
    // As the platform delivers it: a click, then the double-click.
    static void doubleClick(QWidget* widget, QPoint at = QPoint(5, 5))
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
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

    // Every control with its caption, geometry, parent and initial state.
    void controlsAsDesigned()
    {
        struct Row
        {
            const char* name;
            int page; // -1: the window, 4: the About panel
            QString caption;
            QRect geometry;
            bool visible;
            bool enabled;
        };
        const QString any = QStringLiteral("\x01");
        const std::vector<Row> rows = {
            {"imgZEBLogo", -1, "", twips(75, 120, 1920, 1920), true, true},
            {"cmdAboutButton", -1, "&About ZEB 2000 ...", twips(120, 3120, 1815, 375), true, true},
            {"cmdCheckForUpgradeButton", -1, "Check for &upgrade ...", twips(120, 3600, 1815, 375),
             true, false},
            {"lblCopyright", -1, any, twips(0, 4080, 2055, 975), true, true},
            {"cmdDebug", -1, "&Debug", twips(2160, 4320, 975, 375), true, true},
            {"cmdBack", -1, "<< &Back", twips(3240, 4320, 1215, 375), true, false},
            {"cmdNext", -1, "&Next >>", twips(4440, 4320, 1215, 375), true, true},
            {"cmdExit", -1, "Exit", twips(5760, 4320, 1215, 375), true, true},
            {"lblBusy", -1, "False", twips(2160, 0, 855, 255), false, true},
            {"lblFrameNumber", -1, "0", twips(2400, 4320, 255, 255), false, true},
            {"lblChooseATask", 0, "Choose a task to perform:", twips(120, 840, 4575, 255), true,
             true},
            {"optBackup", 0, "Ba&ckup", twips(120, 1200, 855, 255), true, true},
            {"optRestore", 0, "&Restore", twips(120, 2160, 855, 255), true, true},
            {"lblRestoreOptionDescription", 0,
             "Choose this to restore a previously backed up copy of your ICQ contact list, "
             "and/or other settings.",
             twips(480, 2400, 3975, 495), true, true},
            {"lblICQInstallationPath", 1,
             "ICQ Installation &Path: This is where your ICQ is installed. If you're not sure, "
             "then click \"Find\" and continue.",
             twips(120, 960, 4575, 495), true, true},
            {"txtICQLocation", 1, "", twips(120, 1440, 4575, 405), true, true},
            {"cmdAutoFindICQDir", 1, "&Find", twips(2160, 1920, 1215, 375), true, true},
            {"cmdBrowseForICQFolder", 1, "B&rowse", twips(3480, 1920, 1215, 375), true, true},
            {"txtZEBLocation", 1, "", twips(120, 3000, 4575, 405), true, true},
            {"cmdBrowseForZEBFolder", 1, "Bro&wse", twips(3480, 3480, 1215, 375), true, true},
            {"Label1", 2, "Component(s):", twips(120, 960, 4575, 255), true, true},
            {"lstZPXsList", 2, "", twips(120, 1200, 2895, 1230), true, true},
            {"cmdZPXListRefresh", 2, "Re&fresh", twips(3120, 1080, 1575, 375), true, true},
            {"cmdZPXListInvert", 2, "&Invert", twips(3120, 1560, 1575, 375), true, true},
            {"cmdZPXListSelectAll", 2, "Se&lect All", twips(3120, 2040, 1575, 375), true, true},
            {"lstUINsList", 2, "", twips(120, 2760, 2895, 1230), true, false},
            {"cmdUINListRefresh", 2, "Refres&h", twips(3120, 2640, 1575, 375), true, false},
            {"cmdUINListInvert", 2, "Inver&t", twips(3120, 3120, 1575, 375), true, false},
            {"cmdUINListSelectAll", 2, "Sele&ct All", twips(3120, 3600, 1575, 375), true, false},
            {"chkOverwriteWithoutPrompting", 3,
             "&Overwrite existing files without prompting (caution!)", twips(120, 1800, 4575, 255),
             true, false},
            {"chkExitAfterDoing", 3, "&Exit ZEB 2000 after successful task completion",
             twips(120, 2040, 4575, 255), true, true},
            {"lblOverallPercentage", 3, "0%", twips(3960, 3120, 735, 255), true, true},
            {"Picture1", 3, "", twips(120, 3360, 4575, 375), true, true},
            {"imgBigZEBAboutLogo", 4, "", QRect(32, 11, 256, 256), true, true},
            {"lblAboutFrameDblClickHereToContinue", 4,
             "Double click anywhere in this frame to continue !", twips(120, 3600, 4575, 375), true,
             true},
            {"lblEmailAddress", 4, "zeb@zeb2000.example", twips(1560, 2880, 1695, 255), true, true},
        };
        for (const Row& row : rows) {
            QWidget* control = named(row.name);
            QVERIFY2(control, row.name);
            QWidget* parent = row.page < 0    ? static_cast<QWidget*>(window.get())
                              : row.page == 4 ? named("fraAbout")
                                              : page(row.page);
            QVERIFY2(control->parentWidget() == parent, row.name);
            QVERIFY2(control->geometry() == row.geometry, row.name);
            QVERIFY2(control->isHidden() == !row.visible, row.name);
            QVERIFY2(control->isEnabled() == row.enabled, row.name);
            if (row.caption != any && !row.caption.isEmpty())
                QCOMPARE(captionOf(control), row.caption);
        }
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(page(i)->geometry(), twips(2160, 120, 4815, 4095));
            QCOMPARE(page(i)->isHidden(), i != 0);
            const auto initialize =
                page(i)->findChild<QPushButton*>(QStringLiteral("cmdInitialize"));
            const auto validate = page(i)->findChild<QPushButton*>(QStringLiteral("cmdValidate"));
            QVERIFY(initialize->isHidden() && validate->isHidden());
            QCOMPARE(initialize->text(), QStringLiteral("Initialize"));
            QCOMPARE(validate->text(), QStringLiteral("0"));
            QVERIFY(!validate->property("Tag").toString().isEmpty());
        }
        QVERIFY(page(0)
                    ->findChild<QPushButton*>(QStringLiteral("cmdValidate"))
                    ->property("Tag")
                    .toString()
                    .endsWith(QStringLiteral("email it to bugs@zeb2000.example")));
        QCOMPARE(named<QGroupBox>("fraAbout")->title(), QStringLiteral("About ZEB 2000"));
        QVERIFY(named<QGroupBox>("fraAbout")->isHidden());
        QVERIFY(named<QRadioButton>("optBackup")->isChecked());
        QVERIFY(!named<QRadioButton>("optRestore")->isChecked());
        QVERIFY(named<QCheckBox>("chkOverwriteWithoutPrompting")->isChecked());
        QVERIFY(!named<QCheckBox>("chkExitAfterDoing")->isChecked());
        for (const char* list : {"lstZPXsList", "lstUINsList"})
            QCOMPARE(named<QListWidget>(list)->selectionMode(),
                     QAbstractItemView::ExtendedSelection);
        QVERIFY(named<QPushButton>("cmdNext")->isDefault());
    }

    void windowAndColours()
    {
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("ZEB 2000 2.0 Public Beta 1 Build 2518 - Standard Edition"));
        QCOMPARE(window->minimumSize(), QSize(473, 321));
        QCOMPARE(window->maximumSize(), QSize(473, 321));
        QVERIFY(!(window->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!window->windowIcon().isNull());
        const QPoint offCentre =
            window->geometry().center() - window->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        const auto colour = [this](const char* name, QPalette::ColorRole role) {
            return named(name)->palette().color(role);
        };
        QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(colour("lblCopyright", QPalette::WindowText), QColor(0xE0, 0xE0, 0xE0));
        QVERIFY(!named("lblCopyright")->autoFillBackground());
        QCOMPARE(colour("lblEmailAddress", QPalette::WindowText), QColor(0xFF, 0x80, 0x00));
        QCOMPARE(colour("lblWebSiteAddress", QPalette::WindowText), QColor(0xFF, 0x80, 0x00));
        QVERIFY(named("lblWebSiteAddress")->font().underline());
        QCOMPARE(colour("cmdAboutButton", QPalette::Button), QColor(Qt::white));
        QCOMPARE(colour("cmdCheckForUpgradeButton", QPalette::Button), QColor(Qt::white));
        for (const char* name : {"optBackup", "chkExitAfterDoing", "fraAbout"}) {
            QWidget* control = named(name);
            QVERIFY2(control->autoFillBackground(), name);
            QCOMPARE(control->palette().color(control->backgroundRole()), QColor(Qt::white));
        }
        const QFont title = named("lblAboutFrameTitle")->font();
        QVERIFY(title.bold());
        QCOMPARE(title.pointSizeF(), 15.75);
        QVERIFY(named<QLabel>("lblAboutFrameTitle")->alignment() & Qt::AlignHCenter);
        QVERIFY(named<QLabel>("lblOverallPercentage")->alignment() & Qt::AlignRight);
    }

    // Labels and images lie beneath the other controls of their parent; the About panel lies
    // above every page; the black image lowest on the strip.
    void stackingOrder()
    {
        const QObjectList onWindow = window->children();
        QCOMPARE(onWindow.indexOf(named("imgBlackImage")), 0);
        const QList<QWidget*> parents = {window.get(), page(0), page(1),
                                         page(2),      page(3), named("fraAbout")};
        for (QWidget* parent : parents) {
            qsizetype highestLabel = -1, lowestOther = parent->children().size();
            const QObjectList children = parent->children();
            for (qsizetype i = 0; i < children.size(); ++i) {
                auto* widget = qobject_cast<QWidget*>(children[i]);
                if (!widget || widget->isHidden())
                    continue;
                if (qobject_cast<QLabel*>(widget))
                    highestLabel = i;
                else
                    lowestOther = std::min(lowestOther, i);
            }
            QVERIFY2(highestLabel < lowestOther, qPrintable(parent->objectName()));
        }
        const QObjectList pageTree = window->children();
        for (int i = 0; i < 4; ++i)
            QVERIFY(pageTree.indexOf(named("fraAbout")) > pageTree.indexOf(page(i)));
        const QObjectList about = named("fraAbout")->children();
        QVERIFY(about.indexOf(named("imgBigZEBAboutLogo")) <
                about.indexOf(named("lblEmailAddress")));
    }

    void tabOrder()
    {
        const QStringList chain = {"optBackup",
                                   "optRestore",
                                   "txtICQLocation",
                                   "cmdAutoFindICQDir",
                                   "cmdBrowseForICQFolder",
                                   "txtZEBLocation",
                                   "cmdBrowseForZEBFolder",
                                   "lstUINsList",
                                   "cmdUINListRefresh",
                                   "cmdUINListSelectAll",
                                   "cmdUINListInvert",
                                   "cmdBack",
                                   "cmdNext",
                                   "cmdExit",
                                   "cmdAboutButton",
                                   "cmdCheckForUpgradeButton",
                                   "cmdDebug",
                                   "chkOverwriteWithoutPrompting",
                                   "chkExitAfterDoing",
                                   "lstZPXsList",
                                   "cmdZPXListInvert",
                                   "cmdZPXListSelectAll",
                                   "cmdZPXListRefresh",
                                   "Picture1"};
        QStringList order;
        for (QWidget* w = named("optBackup"); order.size() < chain.size();
             w = w->nextInFocusChain())
            if (chain.contains(w->objectName()) && !order.contains(w->objectName()))
                order << w->objectName();
        QCOMPARE(order, chain);
        QCOMPARE(window->focusWidget(), named("optBackup"));
    }

    // Every caption fits its fixed rectangle in the fonts this system has.
    void captionsFit()
    {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || label->objectName() == QLatin1String("lblBusy"))
                continue;
            const QFontMetrics metrics(label->font());
            const QRect needed = metrics.boundingRect(
                label->contentsRect(),
                int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0) |
                    Qt::TextShowMnemonic,
                label->text());
            QVERIFY2(needed.height() <= label->height() && needed.width() <= label->width(),
                     qPrintable(label->objectName()));
        }
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            const int indicator = qobject_cast<QPushButton*>(button) ? 8 : 18;
            QVERIFY2(QFontMetrics(button->font())
                                 .horizontalAdvance(QString(button->text()).remove('&')) +
                             indicator <=
                         button->width(),
                     qPrintable(button->objectName()));
        }
    }

    void keys()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QSignalSpy next(named<QPushButton>("cmdNext"), &QPushButton::clicked);
        QSignalSpy exit(named<QPushButton>("cmdExit"), &QPushButton::clicked);
        QSignalSpy debug(named<QPushButton>("cmdDebug"), &QPushButton::clicked);

        // Alt+P and Alt+L belong to labels and lead into the boxes below them.
        showPage(1);
        QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
        QCOMPARE(window->focusWidget(), named("txtZEBLocation"));
        QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(window->focusWidget(), named("txtICQLocation"));

        // Enter from a text box presses Next, as it does on "&Do It !".
        named<QPushButton>("cmdNext")->setText(QStringLiteral("&Do It !"));
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QCOMPARE(next.size(), 1);
        // A button with the focus takes Enter itself.
        named("cmdDebug")->setFocus();
        runtime->inputAnswers.push_back(QStringLiteral("13"));
        QTest::keyClick(named("cmdDebug"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(debug.size(), 1);
        QCOMPARE(next.size(), 1);
        // Esc presses Exit, wherever the focus is.
        QTest::keyClick(named("txtZEBLocation"), Qt::Key_Escape);
        QCOMPARE(exit.size(), 1);
        QVERIFY(runtime->prompts().last().contains(QStringLiteral("busy")));
    }

    void aboutPanelOnEveryPage()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const char* closers[] = {"fraAbout", "imgBigZEBAboutLogo", "lblAboutFrameTitle",
                                 "lblAboutFrameDetails", "lblAboutFrameDblClickHereToContinue"};
        for (int index = 0; index < 4; ++index) {
            showPage(index);
            named<QPushButton>("cmdAboutButton")->click();
            named<QPushButton>("cmdAboutButton")->click();
            QVERIFY(named("fraAbout")->isVisible());
            QVERIFY(!named("cmdBack")->isEnabled() && !named("cmdNext")->isEnabled());
            QVERIFY(page(index)->isVisible());
            // The links open their pages and leave the panel open.
            doubleClick(named("lblEmailAddress"));
            doubleClick(named("lblWebSiteAddress"));
            QVERIFY(named("fraAbout")->isVisible());
            doubleClick(named(closers[index]));
            QVERIFY(!named("fraAbout")->isVisible());
            QVERIFY(named("cmdBack")->isEnabled() && named("cmdNext")->isEnabled());
            QCOMPARE(named<QLabel>("lblFrameNumber")->text(), QString::number(index));
            QVERIFY(page(index)->isVisible());
        }
        named<QPushButton>("cmdAboutButton")->click();
        doubleClick(named(closers[4]));
        QVERIFY(!named("fraAbout")->isVisible());
        QCOMPARE(runtime->openedUrls.size(), 8);
        QCOMPARE(runtime->openedUrls.first(),
                 QStringLiteral("mailto:zeb@zeb2000.example?subject=ZEB"));
        QCOMPARE(runtime->openedUrls.at(1), QStringLiteral("http://www.zeb2000.example/"));
        QCOMPARE(busy(), QStringLiteral("False"));
    }

    void upgradeButton()
    {
        auto* upgrade = named<QPushButton>("cmdCheckForUpgradeButton");
        QTest::mouseClick(upgrade, Qt::LeftButton);
        QVERIFY(runtime->openedUrls.isEmpty());
        upgrade->setEnabled(true);
        upgrade->click();
        QCOMPARE(runtime->openedUrls,
                 QStringList{"http://www.zeb2000.example/zeb/alpha/versions/20beta1.htm"});
        QCOMPARE(busy(), QStringLiteral("False"));
    }

    void debugRaisesTheEnteredError_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("line");
        const auto line = [](int number, const char* description) {
            return QStringLiteral("Error %1: '%2', Source: 'ZEB2000', Proc: "
                                  "'frmMain.cmdDebug_Click()'")
                .arg(number)
                .arg(QLatin1String(description));
        };
        QTest::newRow("13") << "13" << line(13, "Type mismatch");
        QTest::newRow("2.5 to even")
            << " 2.5 " << line(2, "Application-defined or object-defined error");
        QTest::newRow("0 refused") << "0" << line(5, "Invalid procedure call or argument");
        QTest::newRow("-32768") << "-32768"
                                << line(-32768, "Application-defined or object-defined error");
        QTest::newRow("40000") << "40000" << line(6, "Overflow");
        QTest::newRow("letters") << "abc" << line(13, "Type mismatch");
        QTest::newRow("Cancel") << "" << line(13, "Type mismatch");
    }
    void debugRaisesTheEnteredError()
    {
        QFETCH(QString, entered);
        QFETCH(QString, line);
        runtime->inputAnswers.push_back(entered);
        named<QPushButton>("cmdDebug")->click();
        QCOMPARE(runtime->inputPrompts, QStringList{"number"});
        QCOMPARE(runtime->clipboard, line);
        QCOMPARE(runtime->dialogsShown, 1);
        QCOMPARE(busy(), QStringLiteral("True"));
        // Still busy after Continue: Exit asks its question, and No keeps the program.
        named<QPushButton>("cmdExit")->click();
        QVERIFY(!runtime->ended);
        QVERIFY(runtime->prompts().last().contains(QStringLiteral("busy")));
    }

    void debugThenShutDownEndsTheProgram()
    {
        runtime->inputAnswers.push_back(QStringLiteral("53"));
        runtime->dialogActions.push_back([](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdShutDownApp"))->click();
        });
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, window->cmdDebug_Click());
        QVERIFY(runtime->ended);
        QVERIFY(runtime->clipboard.startsWith(QStringLiteral("Error 53: 'File not found'")));
    }

    // Double-clicking a task chooses it and moves on, as Next does.
    void doubleClickOnATaskPressesNext()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        doubleClick(named("optRestore"), QPoint(8, 8));
        QVERIFY(named<QRadioButton>("optRestore")->isChecked());
        QCOMPARE(named<QLabel>("lblFrameNumber")->text(), QStringLiteral("1"));
        QVERIFY(page(1)->isVisible());
        QCOMPARE(busy(), QStringLiteral("False"));
        // The UIN list stays disabled, so its shortcut never fires from the mouse.
        showPage(2);
        doubleClick(named<QListWidget>("lstUINsList")->viewport());
        QCOMPARE(named<QLabel>("lblFrameNumber")->text(), QStringLiteral("2"));
    }
};

QTEST_MAIN(LayoutAndAboutTest)
#include "tst_layoutAndAbout.moc"
