// Walking the wizard: page index, busy flag, buttons, the page checks and the copy direction.
#include "WizardFixture.h"

#include "os/os.h"

#include <QtTest>

namespace {

// A folder name too long for the file system, so that even listing it fails: a bad file name.
const QString Unlistable = QString(300, QLatin1Char('x'));
const QString UnlistableError = QStringLiteral("Error 52: 'Bad file name or number'");

} // namespace

class WizardTest : public QObject
{
    Q_OBJECT

private slots:
    // The window starts on the first page after the warning. Next and Back show one page at a
    // time; Back is off on the first page, Next reads
    // "&Do It !" on the last. The folder page fixes the direction (it finds ICQ.EXE as the file
    // system compares names); Task Options lists the source side's components and UINs, all
    // selected afresh when the folder page leads there, as the user left them when Back does;
    // Invert and Select All change the component selection.
    void walkForwardAndBack()
    {
        WizardFixture f;
        for (const char* folder : {"DB", "NewDB", "2000b"})
            f.sample.addComponent(folder, folder);
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        QFile::rename(f.sample.icqFolder() + "icq.exe", f.sample.icqFolder() + "ICQ.EXE");
        const auto expectPage = [&](int page, bool backEnabled, const QString& next) {
            QCOMPARE(f.page(), QString::number(page));
            QCOMPARE(f.busy(), QStringLiteral("False"));
            for (int i = 0; i < 4; ++i)
                QCOMPARE(f.window->page(i).isHidden(), i != page);
            QCOMPARE(f.button("cmdBack")->isEnabled(), backEnabled);
            QCOMPARE(f.button("cmdNext")->text(), next);
        };
        QCOMPARE(f.startupBoxes.size(), std::size_t(1)); // its title: the e2e walks'
        QCOMPARE(f.startupBoxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.startupBoxes[0].prompt,
                 QStringLiteral("You are about to use a BETA version of ZEB 2000 V2.0 that is "
                                "still \r\nin a testing phase, and may not function correctly, if "
                                "at all.\r\n\r\nYou are advised to continue at your own risk."));
        expectPage(0, false, "&Next >>");
#ifndef Q_OS_WIN // the backups stay outside the Wine prefix that they save
        QCOMPARE(f.control<QLineEdit>("txtZEBLocation")->text(),
                 QDir::homePath() + "/ZEB 2000 backups/");
#endif
        const QString refusal = "At least one component and one UIN must be selected to "
                                "proceed with !";
        f.enterTaskOptions();
        expectPage(2, true, "&Next >>");
        QCOMPARE(f.entries("lstZPXsList", true),
                 (QStringList{"2000b [2000b]", "DB [DB]", "NewDB [NewDB]"}));
        QCOMPARE(f.entries("lstUINsList", true), QStringList{"111"});

        f.list("lstZPXsList")->clearSelection();
        f.press("cmdNext");
        expectPage(2, true, "&Next >>");
        QCOMPARE(f.runtime.prompts(), QStringList{refusal});
        f.press("cmdZPXListInvert"); // none selected: all become selected
        QCOMPARE(f.entries("lstZPXsList", true).size(), 3);
        f.press("cmdZPXListInvert"); // all selected: none remain
        QVERIFY(f.entries("lstZPXsList", true).isEmpty());
        f.press("cmdZPXListSelectAll");
        f.list("lstZPXsList")->item(1)->setSelected(false);
        f.press("cmdZPXListInvert"); // some selected: exactly the others, here DB
        // A double click on the UIN list (were it enabled) presses Next after the click has chosen.
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.list("lstUINsList")->setEnabled(true);
        QWidget* uins = f.list("lstUINsList")->viewport();
        QTest::mouseClick(uins, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(uins, Qt::LeftButton, {}, QPoint(5, 5));
        expectPage(3, true, "&Do It !");
        f.press("cmdBack");
        QCOMPARE(f.entries("lstZPXsList", true), QStringList{"DB [DB]"});
        f.press("cmdBack");
        f.press("cmdNext");
        QCOMPARE(f.entries("lstZPXsList", true).size(), 3);
        f.press("cmdBack");
        f.press("cmdBack");
        expectPage(0, false, "&Next >>");

        // A restore reads from the backup side, which holds nothing yet. (Where each side's run
        // copies to: the run tests.)
        f.enterTaskOptions(false);
        QVERIFY(f.entries("lstZPXsList").isEmpty() && f.entries("lstUINsList").isEmpty());
        QCOMPARE(f.runtime.prompts().mid(1), QStringList{"No UINs were found!"});
        f.press("cmdZPXListInvert"); // an empty list: nothing to do, no failure
        QCOMPARE(f.runtime.dialogsShown, 0);
    }

    // A box that names no usable folder is refused with its own message, before the boxes are
    // changed or anything is looked up: an empty box would otherwise become the root. Boxes
    // that pass get their separators before the page looks for icq.exe.
    void folderPageRefusesUnusableBoxes_data()
    {
        QTest::addColumn<QString>("icq"); // "<ICQ>": the sample's ICQ folder, "<P>" its prefix
        QTest::addColumn<QString>("backup");
        QTest::addColumn<QString>("message"); // empty: the page is left
        QTest::addColumn<bool>("appended");
        const auto row = [](const char* tag, const QString& icq, const QString& backup,
                            const QString& message, bool appended = false) {
            QTest::newRow(tag) << icq << backup << message << appended;
        };
        const QString icqHint = " Try using the 'Find' button.";
        const QString backupHint = " Try using the 'Browse' button.";
        const QString empty = "Backup location is empty." + backupHint;
        const QString relative = "Backup location must be a full path." + backupHint;
        const QString root = "Backup location cannot be the root folder. Choose a folder below it.";
        row("empty backup", "<ICQ>", "", empty);
        row("blank backup", "<ICQ>", "   ", empty);
        row("parent folder", "<ICQ>", "..", relative);
        row("NUL in backup", "<ICQ>", QString("/tmp/ZEB") + QChar(0) + "/x",
            "Backup location holds a NUL character." + backupHint);
        row("root", "<ICQ>", "/", root);
        row("root by a detour", "<ICQ>", "/tmp/../", root);
        row("empty ICQ", "", "/tmp/ZEB/", "ICQ location is empty." + icqHint);
        row("relative ICQ", "ICQ", "", "ICQ location must be a full path." + icqHint);
        // A folder named icq.exe is no icq.exe.
        row("no icq.exe", "<P>/drive_c/Empty", "<P>/Backup", "ICQ location is incorrect." + icqHint,
            true);
        row("backup into the ICQ folder", "<ICQ>", "<ICQ>",
            "<ICQ> lies inside <ICQ>, which a backup copies: every backup would copy the earlier "
            "ones into ICQ's own data. Choose a folder outside it.");
        // A name outside Windows' ANSI code page is a name like any other: paths travel as UTF-16.
        const QString ansi = QStringLiteral("<P>/drive_c/\u0416\u0443\u043a/");
        row("outside the ANSI code page", ansi, "<P>/ZEB/", QString());
    }
    void folderPageRefusesUnusableBoxes()
    {
        QFETCH(QString, icq);
        QFETCH(QString, backup);
        QFETCH(QString, message);
        QFETCH(bool, appended);
        WizardFixture f;
        QDir().mkpath(f.sample.prefix() + "/drive_c/Empty/icq.exe");
        SampleInstallation::writeFile(f.sample.prefix() + "/drive_c/\u0416\u0443\u043a/icq.exe",
                                      "MZ");
        for (QString* text : {&icq, &backup, &message})
            text->replace("<ICQ>", f.sample.icqFolder()).replace("<P>", f.sample.prefix());
        f.press("cmdNext");
        f.control<QLineEdit>("txtICQLocation")->setText(icq);
        f.control<QLineEdit>("txtZEBLocation")->setText(backup);
        f.press("cmdNext");
        QCOMPARE(f.page(), QString::number(message.isEmpty() ? 2 : 1));
        if (message.isEmpty())
            return;
        QCOMPARE(f.runtime.prompts(), QStringList{message});
        QCOMPARE(f.runtime.boxes[0].title, QStringLiteral("Error!"));
        const QString separator = appended ? QString(QLatin1Char(Os::PathSeparator)) : QString();
        QCOMPARE(f.control<QLineEdit>("txtICQLocation")->text(), icq + separator);
        QCOMPARE(f.control<QLineEdit>("txtZEBLocation")->text(), backup + separator);
        QVERIFY(f.window->state().source().isEmpty() && f.window->state().target().isEmpty());
    }

    // Browse and Find fill their boxes. A failure is reported under the procedure it happened in;
    // once the user continues nothing is busy any more. In the folder page's check it leaves the
    // verdict "0", so Next shows the page's first message.
    void foldersAndTheirFailures()
    {
        WizardFixture f;
        f.sample.addComponent("Messages", "DB");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.enterTaskOptions();
        f.press("cmdBack"); // the folder page has passed its check once
        f.runtime.folderAnswers = {f.sample.prefix() + "/Elsewhere", QString()};
        f.press("cmdBrowseForZEBFolder");
        f.press("cmdBrowseForZEBFolder"); // cancelled: the box keeps the folder chosen first
        QCOMPARE(f.control<QLineEdit>("txtZEBLocation")->text(),
                 QDir::toNativeSeparators(f.sample.prefix() + "/Elsewhere") + Os::PathSeparator);
        // Find replaces what its box holds with the folder found (which folder: tests/core), here
        // nothing; under Linux the box then says which settings file was read and how another
        // prefix is chosen, under the application's title.
        f.sample.writeRegistry({});
        f.press("cmdAutoFindICQDir");
        QCOMPARE(f.control<QLineEdit>("txtICQLocation")->text(), QString());
#ifdef Q_OS_WIN
        QCOMPARE(f.runtime.prompts(), QStringList{"Error opening key."});
#else
        QCOMPARE(f.runtime.prompts(),
                 QStringList{"Error opening key.\n\nZEB 2000 looked for ICQ's settings in " +
                             f.sample.prefix() +
                             "/user.reg. The WINEPREFIX environment variable chooses the Wine "
                             "prefix (without it, ~/.wine): start ZEB 2000 with the same "
                             "WINEPREFIX as ICQ."});
#endif
        QCOMPARE(f.runtime.boxes[0].title, QString());

        const QString unlistable = f.sample.prefix() + '/' + Unlistable + '/';
        QString busyAtDialog;
        f.runtime.dialogActions = {[&](QDialog& dialog) {
            busyAtDialog = f.busy();
            dialog.reject();
        }};
        f.control<QLineEdit>("txtICQLocation")->setText(unlistable);
        f.press("cmdNext");
        QCOMPARE(f.runtime.clipboard, UnlistableError + ", Source: 'ZEB2000', Proc: "
                                                        "'frmMain.cmdValidate_Click()'");
        QCOMPARE(f.runtime.dialogsShown, 1);
        QCOMPARE(busyAtDialog, QStringLiteral("True")); // Next is still at work
        QCOMPARE(f.busy(), QStringLiteral("False"));
        QCOMPARE(f.page(), QStringLiteral("1"));
        QCOMPARE(f.runtime.prompts().mid(1),
                 QStringList{"ICQ location is incorrect. Try using the \"Find\" button."});
        QVERIFY(!f.runtime.ended);
    }
};

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
