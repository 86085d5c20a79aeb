// The backup and restore run behind "&Do It !", on real folders, with a real X display so that
// a window titled with a UIN makes ICQ look as if it were running.
#include "WizardFixture.h"

#include "gui/widgets/cProgBar.h"

#include <QtTest>

namespace {

// Components DB, NewDB, 2000a, 2000b and CL, of which the test selects some.
void addFiveComponents(WizardFixture& f)
{
    for (const char* folder : {"DB", "NewDB", "2000a", "2000b", "CL"})
        f.sample.addComponent(QStringLiteral("ICQ %1").arg(folder), folder,
                              QByteArray(5000, folder[0]));
    f.sample.addUin(f.sample.icqFolder(), "111.uin");
}

} // namespace

class RunTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleWithOneFailure()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.enterTaskOptions();
        // Three of the five (listed in name order: 2000a, 2000b, CL, DB, NewDB).
        f.list("lstZPXsList")->clearSelection();
        for (const int entry : {1, 2, 4})
            f.list("lstZPXsList")->item(entry)->setSelected(true);
        f.press("cmdNext");
        // Two files of the second selected component cannot be read: its copy fails, told in one
        // box. A failed run shows what failed even when the program is to be left after it.
        const QString cl = f.sample.icqFolder() + "CL/";
#ifdef Q_OS_WIN
        QDir(cl).removeRecursively(); // the shell's copy fails, and says so itself
#else
        for (const char* name : {"a.dat", "b.dat"})
            QFile::link(cl + "missing", cl + name);
#endif
        f.control<QCheckBox>("chkExitAfterDoing")->setChecked(true);

        QStringList progress, percentages;
        QList<int> barValues;
        f.runtime.onDoEvents = [&](int yield) {
            if (yield % 2 == 1) {
                progress << f.caption("lblOverallProgress");
                QVERIFY(!f.button("cmdNext")->isEnabled());
                QVERIFY(!f.button("cmdBack")->isEnabled());
            } else {
                percentages << f.caption("lblOverallPercentage");
                barValues << f.window->progressBar().Value();
            }
        };
        f.press("cmdNext");

        QCOMPARE(progress,
                 (QStringList{"Current component: ICQ 2000b  ...", "Current component: ICQ CL  ...",
                              "Current component: ICQ NewDB  ..."}));
        QCOMPARE(percentages, (QStringList{"33%", "66%", "100%"}));
        QCOMPARE(barValues, (QList<int>{33, 66, 100}));
#ifndef Q_OS_WIN
        QCOMPARE(f.runtime.boxes.size(), size_t(2));
        const ShownBox& copyErrors = f.runtime.boxes.front();
        QCOMPARE(copyErrors.title, QStringLiteral("Error Copying File or Folder"));
        QCOMPARE(copyErrors.prompt.split("\n"),
                 (QStringList{"These files could not be copied:", "",
                              "Cannot read " + cl + "a.dat: No such file or directory",
                              "Cannot read " + cl + "b.dat: No such file or directory"}));
#endif
        const ShownBox& result = f.runtime.boxes.back();
        QCOMPARE(result.title, QStringLiteral("Error!"));
        QCOMPARE(result.icon, MsgIcon::Critical);
        QCOMPARE(result.prompt.split("\r\n"),
                 (QStringList{"The following component(s) could not be processed:", "", "",
                              "ICQ CL [CL]", "", "The operation failed."}));
        // The others were copied whole.
        for (const char* folder : {"2000b", "NewDB"})
            QCOMPARE(SampleInstallation::readFile(f.sample.backupFolder() + folder + "/111.dat"),
                     QByteArray(5000, folder[0]));
        QVERIFY(!QFileInfo::exists(f.sample.backupFolder() + "DB"));
        QCOMPARE(f.caption("lblOverallProgress"), QStringLiteral("Overall Progress"));
        QCOMPARE(f.caption("lblOverallPercentage"), QStringLiteral("0%"));
        QCOMPARE(f.window->progressBar().Value(), 0);
        QVERIFY(f.button("cmdNext")->isEnabled() && f.button("cmdBack")->isEnabled());
        QCOMPARE(f.busy(), QStringLiteral("False"));
        QVERIFY(!f.runtime.ended);
    }

    void twoRunsInARow()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.enterTaskOptions();
        f.press("cmdNext");
        f.button("cmdNext")->setFocus(); // as after Enter or a click on it
        f.press("cmdNext");
        f.press("cmdNext");
        QCOMPARE(f.runtime.prompts(), (QStringList{"The task was completed successfully!",
                                                   "The task was completed successfully!"}));
        QCOMPARE(f.runtime.boxes[0].title, QStringLiteral("Info"));
        QCOMPARE(f.runtime.boxes[0].icon, MsgIcon::Information);
        QCOMPARE(f.runtime.yields, 20);
        // Next had the focus when the run disabled it; Enter must not find Exit now.
        QCOMPARE(f.window->focusWidget(), f.button("cmdNext"));
    }

    // A failure of the run itself goes to the error dialog and ends the run on the spot, with the
    // busy flag raised; Exit then asks, and ends the program cleanly.
    void aFailureOfTheRunEndsItAndExitStillWorks()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.enterTaskOptions();
        f.press("cmdNext");
        f.runtime.onDoEvents = [&](int yield) {
            if (yield == 1) // no selection left to count the share by
                f.list("lstZPXsList")->clearSelection();
        };
        f.press("cmdNext");
        QVERIFY(f.window->errorBox());
        QVERIFY(f.runtime.clipboard.startsWith("Error 11: 'Division by zero'"));
        QVERIFY(f.runtime.clipboard.endsWith("Proc: 'frmMain.cmdNext_Click()'"));
        QCOMPARE(f.busy(), QStringLiteral("True"));
        f.runtime.boxAnswers = {MsgAnswer::Yes};
        f.press("cmdExit");
        QVERIFY(f.runtime.ended);
    }

    void icqRunningWarningAnsweredNo()
    {
        WizardFixture f;
        addFiveComponents(f);
        QWidget icq;
        icq.setWindowTitle("111");
        icq.show();
        QVERIFY(QTest::qWaitForWindowExposed(&icq));
        f.enterTaskOptions();
        f.press("cmdNext");
        f.runtime.boxAnswers = {MsgAnswer::No};
        f.button("cmdNext")->setFocus();
        f.press("cmdNext");

        QCOMPARE(f.runtime.boxes.size(), std::size_t(1));
        QCOMPARE(f.runtime.boxes[0].title, QStringLiteral("Warning!"));
        QCOMPARE(f.runtime.boxes[0].prompt,
                 QStringLiteral("ICQ appears to be running right now. If you continue,\r\nfiles "
                                "may not be properly backed up or restored.\r\n\r\nDo you wish to "
                                "continue (not recommended) ?"));
        QVERIFY(!QFileInfo::exists(f.sample.backupFolder()));
        QCOMPARE(f.runtime.yields, 0);
        QVERIFY(f.button("cmdNext")->isEnabled() && f.button("cmdBack")->isEnabled());
        QCOMPARE(f.window->focusWidget(), f.button("cmdNext"));
        QCOMPARE(f.busy(), QStringLiteral("False"));
    }

    void exitAfterSuccessAsksAndStaysOnNo()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.enterTaskOptions();
        f.press("cmdNext");
        f.control<QCheckBox>("chkExitAfterDoing")->setChecked(true);
        f.runtime.boxAnswers = {MsgAnswer::No};
        f.press("cmdNext");

        QCOMPARE(f.runtime.prompts(),
                 QStringList{"Program is busy, are you sure you wish to interrupt and exit?"});
        QVERIFY(!f.runtime.ended);
        QCOMPARE(f.caption("lblOverallProgress"),
                 QStringLiteral("Current component: ICQ NewDB  ..."));
        QCOMPARE(f.caption("lblOverallPercentage"), QStringLiteral("100%"));
        QVERIFY(f.button("cmdNext")->isEnabled() && f.button("cmdBack")->isEnabled());
        QCOMPARE(f.busy(), QStringLiteral("False"));

        f.runtime.boxAnswers = {MsgAnswer::Yes};
        f.press("cmdNext");
        QVERIFY(f.runtime.ended);
    }

    void closingTheWindowDuringARunAsksFirst()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.enterTaskOptions();
        f.press("cmdNext");
        f.runtime.boxAnswers = {MsgAnswer::No};
        bool closed = true;
        f.runtime.onDoEvents = [&](int yield) {
            if (yield == 1)
                closed = f.window->close();
        };
        f.press("cmdNext");
        QVERIFY(!closed);
        QCOMPARE(f.runtime.prompts(),
                 (QStringList{"Program is busy, are you sure you wish to interrupt and exit?",
                              "The task was completed successfully!"}));
        QVERIFY(f.window->close()); // not busy: it closes without a question
        QCOMPARE(f.runtime.boxes.size(), std::size_t(2));
    }

#ifndef Q_OS_WIN // the Windows shell's copy of a component runs to its end
    // Exit and Yes while a component is copied: the copy stops before the program ends, the file
    // being written is dropped and those finished stay, whole.
    void exitDuringTheCopyStopsItCleanly()
    {
        WizardFixture f;
        const QString source = f.sample.icqFolder() + "DB/";
        const QString target = f.sample.backupFolder() + "DB/";
        for (int i = 0; i < 20; ++i)
            SampleInstallation::writeFile(source + QString::asprintf("m%02d.dat", i),
                                          QByteArray(100000, char('a' + i)));
        QFile large(source + "zz.db"); // last in name order, and long to copy
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(qint64(768) << 20));
        large.close();
        f.sample.addPlugin("db.zpx", "Messages", "DB");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.enterTaskOptions();
        f.press("cmdNext");
        const auto temporaries = [&] {
            return QDir(target).entryList({".~zeb*"}, QDir::Files | QDir::Hidden);
        };
        f.runtime.boxAnswers = {MsgAnswer::Yes};
        f.runtime.onKeepAlive = [&] {
            if (!f.runtime.ended && temporaries().size() >= 3)
                f.press("cmdExit");
        };
        f.press("cmdNext");

        QVERIFY(f.runtime.ended);
        QCOMPARE(f.runtime.prompts(),
                 QStringList{"Program is busy, are you sure you wish to interrupt and exit?"});
        QVERIFY(temporaries().isEmpty());
        const QStringList copied = QDir(target).entryList(QDir::Files);
        QVERIFY2(copied.size() >= 2 && !copied.contains("zz.db"), qPrintable(copied.join(' ')));
        for (const QString& name : copied)
            QCOMPARE(SampleInstallation::readFile(target + name),
                     SampleInstallation::readFile(source + name));
    }
#endif

    // After a restore the success box says where the files it replaced were kept.
    void restoreTellsWhereThePreviousFilesWereKept()
    {
        WizardFixture f;
        f.sample.addComponent("Messages", "DB", "ICQ's own");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        SampleInstallation::writeFile(f.sample.backupFolder() + "DB/111.dat", "backed up");
        f.sample.addUin(f.sample.backupFolder(), "111.uin");
        f.enterTaskOptions(false);
        f.press("cmdNext");
        f.press("cmdNext");
        const QStringList lines = f.runtime.prompts().value(0).split("\r\n");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("The task was completed successfully!"));
        QVERIFY2(QDir::fromNativeSeparators(lines[1]).startsWith(
                     "The previous files were kept in " + f.sample.icqFolder() + "ZEB Undo/"),
                 qPrintable(lines[1]));
        QCOMPARE(SampleInstallation::readFile(f.sample.icqFolder() + "DB/111.dat"), "backed up");
    }

    void aNameHoldingABracketCopiesItsOwnFolder()
    {
        WizardFixture f;
        f.sample.addComponent("Messages [old]", "DB", "x");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.enterTaskOptions();
        f.press("cmdNext");
        QString label;
        f.runtime.onDoEvents = [&](int yield) {
            if (yield == 1)
                label = f.caption("lblOverallProgress");
        };
        f.press("cmdNext");
        QCOMPARE(label, QStringLiteral("Current component: Messages [old]  ..."));
        QCOMPARE(SampleInstallation::readFile(f.sample.backupFolder() + "DB/111.dat"), "x");
        QCOMPARE(f.runtime.prompts(), QStringList{"The task was completed successfully!"});
    }
};

QTEST_MAIN(RunTest)
#include "tst_run.moc"
