// Walking the wizard: page index, busy flag, buttons, the page checks and the copy direction.
#include "WizardFixture.h"

#include "os/os.h"

#include <QtTest>

class WizardTest : public QObject
{
    Q_OBJECT

private slots:
    void startsOnSelectTaskAfterTheWarning()
    {
        WizardFixture f;
        QCOMPARE(f.startupBoxes.size(), std::size_t(1));
        const ShownBox& warning = f.startupBoxes.front();
        QCOMPARE(warning.title, QStringLiteral("Warning"));
        QCOMPARE(warning.icon, MsgIcon::Exclamation);
        QCOMPARE(warning.prompt,
                 QStringLiteral("You are about to use a BETA version of ZEB 2000 V2.0 that is "
                                "still \r\nin a testing phase, and may not function correctly, if "
                                "at all.\r\n\r\nYou are advised to continue at your own risk."));
        QCOMPARE(f.page(), QStringLiteral("0"));
        QCOMPARE(f.busy(), QStringLiteral("False"));
    }

    void nextAndBackWalkAllFourPages()
    {
        WizardFixture f;
        f.sample.addComponent("Messages", "DB");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");

        const auto expectPage = [&](int page, bool backEnabled, const QString& next) {
            QCOMPARE(f.page(), QString::number(page));
            QCOMPARE(f.busy(), QStringLiteral("False"));
            for (int i = 0; i < 4; ++i)
                QCOMPARE(f.window->Frame1[i]->isHidden(), i != page);
            QCOMPARE(f.button("cmdBack")->isEnabled(), backEnabled);
            QCOMPARE(f.button("cmdNext")->text(), next);
        };
        f.enterTaskOptions();
        expectPage(2, true, "&Next >>");
        f.press("cmdNext");
        expectPage(3, true, "&Do It !");
        f.press("cmdBack");
        expectPage(2, true, "&Next >>");
        f.press("cmdBack");
        expectPage(1, true, "&Next >>");
        f.press("cmdBack");
        expectPage(0, false, "&Next >>");
        QVERIFY(f.runtime.boxes.empty());
    }

    void folderPageNeedsIcqExeAndAppendsSeparators()
    {
        WizardFixture f;
        f.press("cmdNext");
        auto* icq = f.control<QLineEdit>("txtICQLocation");
        auto* zeb = f.control<QLineEdit>("txtZEBLocation");
        const QString elsewhere = f.sample.prefix() + "/drive_c/Empty";
        QDir().mkpath(elsewhere + "/icq.exe"); // a folder of that name does not count
        icq->setText(elsewhere);
        zeb->setText(f.sample.prefix() + "/Backup");
        f.press("cmdNext");

        QCOMPARE(f.page(), QStringLiteral("1"));
        QCOMPARE(f.busy(), QStringLiteral("False"));
        QCOMPARE(icq->text(), elsewhere + Os::PathSeparator);
        QCOMPARE(zeb->text(), f.sample.prefix() + "/Backup" + Os::PathSeparator);
        QCOMPARE(f.runtime.prompts(),
                 QStringList{"ICQ location is incorrect. Try using the 'Find' button."});
        QCOMPARE(f.runtime.boxes[0].title, QStringLiteral("Error!"));
        QCOMPARE(f.runtime.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(f.window->gstrSource.isEmpty());

        // The file's name is compared as the file system compares it.
        QFile::rename(f.sample.icqFolder() + "icq.exe", f.sample.icqFolder() + "ICQ.EXE");
        icq->setText(f.sample.icqFolder());
        f.press("cmdNext");
        QCOMPARE(f.page(), QStringLiteral("2"));
        QCOMPARE(icq->text(), f.sample.icqFolder()); // its "/" is a separator on Windows too
    }

    // A name outside the ANSI code page would reach Windows' ANSI calls with "?" in it: the page
    // says so. On Linux it is a name like any other.
    void folderNameOutsideTheAnsiCodePage()
    {
        WizardFixture f;
        const QString icq = f.sample.prefix() + QStringLiteral("/drive_c/\u0416\u0443\u043a/");
        SampleInstallation::writeFile(icq + "icq.exe", "MZ");
        f.press("cmdNext");
        f.control<QLineEdit>("txtICQLocation")->setText(icq);
        f.control<QLineEdit>("txtZEBLocation")->setText(f.sample.backupFolder());
        f.press("cmdNext");
#ifdef Q_OS_WIN
        QCOMPARE(f.page(), QStringLiteral("1"));
        QCOMPARE(f.runtime.prompts().size(), 1);
        QVERIFY2(f.runtime.prompts()[0].startsWith("The folder \"" + icq + "\" has characters"),
                 qPrintable(f.runtime.prompts()[0]));
#else
        QCOMPARE(f.page(), QStringLiteral("2"));
        QCOMPARE(f.window->gstrSource, icq);
#endif
    }

    // A box that names no usable folder is refused with its own message, before the boxes are
    // changed or anything is looked up: an empty box would otherwise become the root.
    void folderPageRefusesUnusableBoxes_data()
    {
        QTest::addColumn<QString>("icq"); // "<ICQ>": the sample's ICQ folder
        QTest::addColumn<QString>("backup");
        QTest::addColumn<QString>("message");
        const QString backupHint = " Try using the 'Browse' button.";
        const QString empty = "Backup location is empty." + backupHint;
        const QString relative = "Backup location must be a full path." + backupHint;
        const QString root = "Backup location cannot be the root folder. Choose a folder below it.";
        QTest::newRow("empty backup") << "<ICQ>"
                                      << "" << empty;
        QTest::newRow("blank backup") << "<ICQ>"
                                      << "   " << empty;
        QTest::newRow("parent folder") << "<ICQ>"
                                       << ".." << relative;
        QTest::newRow("NUL in backup") << "<ICQ>" << QString("/tmp/ZEB") + QChar(0) + "/x"
                                       << "Backup location holds a NUL character." + backupHint;
        QTest::newRow("root") << "<ICQ>"
                              << "/" << root;
        QTest::newRow("root by a detour") << "<ICQ>"
                                          << "/tmp/../" << root;
        QTest::newRow("empty ICQ") << ""
                                   << "/tmp/ZEB/"
                                   << "ICQ location is empty. Try using the 'Find' button.";
        QTest::newRow("relative ICQ")
            << "ICQ"
            << ""
            << "ICQ location must be a full path. Try using the 'Find' button.";
    }
    void folderPageRefusesUnusableBoxes()
    {
        QFETCH(QString, icq);
        QFETCH(QString, backup);
        WizardFixture f;
        icq.replace("<ICQ>", f.sample.icqFolder());
        f.press("cmdNext");
        f.control<QLineEdit>("txtICQLocation")->setText(icq);
        f.control<QLineEdit>("txtZEBLocation")->setText(backup);
        f.press("cmdNext");
        QCOMPARE(f.page(), QStringLiteral("1"));
        QTEST(f.runtime.prompts().join(QString()), "message");
        QCOMPARE(f.control<QLineEdit>("txtICQLocation")->text(), icq);
        QCOMPARE(f.control<QLineEdit>("txtZEBLocation")->text(), backup);
        QVERIFY(f.window->gstrSource.isEmpty() && f.window->gstrTarget.isEmpty());
    }

    void folderPageSetsTheCopyDirectionByTask()
    {
        WizardFixture f;
        f.sample.addComponent("Messages", "DB");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.enterTaskOptions(true);
        QCOMPARE(f.window->gstrSource, f.sample.icqFolder());
        QCOMPARE(f.window->gstrTarget, f.sample.backupFolder());
        QCOMPARE(f.entries("lstZPXsList"), QStringList{"Messages [DB]"});

        // A restore reads the catalogues from the backup side, which holds nothing yet.
        f.press("cmdBack");
        f.press("cmdBack");
        f.enterTaskOptions(false);
        QCOMPARE(f.window->gstrSource, f.sample.backupFolder());
        QCOMPARE(f.window->gstrTarget, f.sample.icqFolder());
        QVERIFY(f.entries("lstZPXsList").isEmpty());
        QVERIFY(f.entries("lstUINsList").isEmpty());
        QVERIFY(f.runtime.prompts().contains("No UINs were found!"));

        // The failed page keeps the direction of the last check that passed.
        f.runtime.boxes.clear();
        f.press("cmdNext");
        QCOMPARE(f.page(), QStringLiteral("2"));
        QCOMPARE(f.runtime.prompts(), QStringList{"At least one component and one UIN must be "
                                                  "selected to proceed with !"});
    }

    // Find replaces what the user typed with the folder found, or with nothing.
    void findButtonFillsTheBox()
    {
        WizardFixture f;
        auto* box = f.control<QLineEdit>("txtICQLocation");
        box->setText(QStringLiteral("typed by the user"));
        f.press("cmdAutoFindICQDir");
#ifdef Q_OS_WIN
        QCOMPARE(box->text(), f.sample.icqFolderInRegistry());
#else
        QCOMPARE(box->text(), QDir(f.sample.icqFolder()).canonicalPath() + '/');
#endif
        f.sample.writeRegistry({});
        f.press("cmdAutoFindICQDir");
        QCOMPARE(box->text(), QString());
        QCOMPARE(f.runtime.prompts(), QStringList{"Error opening key."});
    }

    void taskOptionsKeepOrRenewTheSelection()
    {
        WizardFixture f;
        for (const char* folder : {"DB", "NewDB", "2000b"})
            f.sample.addComponent(folder, folder);
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.sample.addUin(f.sample.icqFolder(), "222.UIN");
        f.enterTaskOptions();
        QCOMPARE(f.entries("lstZPXsList", true).size(), 3);
        QCOMPARE(f.entries("lstUINsList", true).size(), 2);

        // Nothing selected: the page refuses to be left.
        f.list("lstZPXsList")->clearSelection();
        f.press("cmdNext");
        QCOMPARE(f.page(), QStringLiteral("2"));
        QCOMPARE(f.runtime.prompts().last(),
                 QStringLiteral("At least one component and one UIN must be selected to proceed "
                                "with !"));

        // Back from "Ready!" keeps the user's choice; forward from the folder page renews it.
        f.list("lstZPXsList")->item(1)->setSelected(true);
        f.press("cmdNext");
        f.press("cmdBack");
        QCOMPARE(f.entries("lstZPXsList", true).size(), 1);
        f.press("cmdBack");
        f.press("cmdNext");
        QCOMPARE(f.entries("lstZPXsList", true).size(), 3);
    }

    void selectAllAndInvertOnTheComponentList()
    {
        WizardFixture f;
        QListWidget* list = f.list("lstZPXsList");
        f.press("cmdZPXListInvert"); // empty list: nothing to do, no failure
        QCOMPARE(list->count(), 0);
        for (const char* name : {"a", "b", "c"})
            list->addItem(name);
        f.press("cmdZPXListInvert"); // none selected: all become selected
        QCOMPARE(f.entries("lstZPXsList", true), (QStringList{"a", "b", "c"}));
        f.press("cmdZPXListInvert"); // all selected: none remain
        QVERIFY(f.entries("lstZPXsList", true).isEmpty());
        list->item(0)->setSelected(true);
        f.press("cmdZPXListInvert"); // some selected: exactly the others
        QCOMPARE(f.entries("lstZPXsList", true), (QStringList{"b", "c"}));
        f.press("cmdZPXListInvert");
        QCOMPARE(f.entries("lstZPXsList", true), QStringList{"a"});
        f.press("cmdZPXListSelectAll");
        QCOMPARE(f.entries("lstZPXsList", true).size(), 3);
        QCOMPARE(f.busy(), QStringLiteral("False"));
    }

    void exitAsksOnlyWhileBusy()
    {
        WizardFixture f;
        f.press("cmdExit");
        QVERIFY(f.runtime.ended && f.runtime.boxes.empty());

        f.runtime.ended = false;
        f.control<QLabel>("lblBusy")->setText("True");
        f.runtime.boxAnswers = {MsgAnswer::No, MsgAnswer::Yes};
        f.press("cmdExit");
        QVERIFY(!f.runtime.ended);
        QCOMPARE(f.runtime.boxes[0].title, QStringLiteral("Program is busy!"));
        QCOMPARE(f.runtime.boxes[0].buttons, MsgButtons::YesNo);
        f.press("cmdExit");
        QVERIFY(f.runtime.ended);
    }

    void browseAndDirectoryCreation()
    {
        WizardFixture f;
        f.press("cmdNext");
        f.runtime.folderAnswers = {f.sample.prefix() + "/Elsewhere", QString()};
        f.press("cmdBrowseForZEBFolder");
        f.press("cmdBrowseForZEBFolder"); // cancelled: the box keeps the folder chosen first
        QCOMPARE(f.control<QLineEdit>("txtZEBLocation")->text(),
                 QDir::toNativeSeparators(f.sample.prefix() + "/Elsewhere") + Os::PathSeparator);

        const QString target = f.sample.prefix() + "/A/B/C";
        f.window->CreateNewDirectory(target);
        f.window->CreateNewDirectory(target + "/"); // existing: silent
        QVERIFY(QFileInfo(target).isDir());
        QCOMPARE(f.runtime.dialogsShown, 0);
        QCOMPARE(f.busy(), QStringLiteral("False"));
    }
};

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
