// The backup and restore run behind "&Do It !", on real folders, with a real X display so that
// a window titled with a UIN makes ICQ look as if it were running.
#include "QuietObserver.h"
#include "WizardFixture.h"

#include "core/BackupSets.h"
#include "core/RunLock.h"
#include "gui/widgets/cProgBar.h"

#include <QComboBox>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

// Components DB, NewDB, 2000a, 2000b and CL; unless the test selects some itself, the window
// then waits on the last page of their backup.
void addFiveComponents(WizardFixture& f, bool toLastPage = true)
{
    for (const char* folder : {"DB", "NewDB", "2000a", "2000b", "CL"})
        f.sample.addComponent(QStringLiteral("ICQ %1").arg(folder), folder,
                              QByteArray(5000, folder[0]));
    f.sample.addUin(f.sample.icqFolder(), "111.uin");
    if (!toLastPage)
        return;
    f.enterTaskOptions();
    f.press("cmdNext");
}

#ifndef Q_OS_WIN
// The bytes this process has read through system calls so far, its threads included.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}
#endif

} // namespace

class RunTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleWithOneFailure()
    {
        WizardFixture f;
        addFiveComponents(f, false);
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
        QStringList labelsAtBoxes;
        f.runtime.onBox = [&] {
            labelsAtBoxes << f.caption("lblOverallProgress") + ' ' +
                                 f.caption("lblOverallPercentage");
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
        QCOMPARE(labelsAtBoxes.last(), QStringLiteral("One or more errors occured! 100%"));
        const ShownBox& result = f.runtime.boxes.back();
        QCOMPARE(result.title, QStringLiteral("Error!"));
        QCOMPARE(result.icon, MsgIcon::Critical);
        QCOMPARE(result.prompt.split("\r\n"),
                 (QStringList{"The following component(s) could not be processed:", "", "",
                              "ICQ CL [CL]", "", "The operation failed."}));
        QCOMPARE(f.caption("lblOverallProgress"), QStringLiteral("Overall Progress"));
        QCOMPARE(f.caption("lblOverallPercentage"), QStringLiteral("0%"));
        QCOMPARE(f.window->progressBar().Value(), 0);
        QVERIFY(!f.runtime.ended);
    }

    // A failure of the run itself goes to the error dialog and ends the run on the spot; once the
    // user continues nothing is at work, so the buttons are back and Exit ends without asking.
    void aFailureOfTheRunEndsItAndExitStillWorks()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.runtime.onDoEvents = [&](int yield) {
            if (yield == 1) // no selection left to count the share by
                f.list("lstZPXsList")->clearSelection();
        };
        f.press("cmdNext");
        QVERIFY(f.runtime.clipboard.startsWith("Error 11: 'Division by zero'"));
        QVERIFY(f.runtime.clipboard.endsWith("Proc: 'frmMain.cmdNext_Click()'"));
        QVERIFY(f.button("cmdNext")->isEnabled() && f.button("cmdBack")->isEnabled());
        f.press("cmdExit");
        QVERIFY(f.runtime.ended);
        QVERIFY(f.runtime.boxes.empty());
    }

    // ICQ titles its main window with the UIN logged on: a window titled exactly with one of the
    // ICQ folder's UINs makes the run warn first. Yes goes on; No copies nothing and leaves the
    // window as it was, Next with the focus.
    void icqRunningWarning_data()
    {
        QTest::addColumn<QString>("otherFile");  // in ICQ's UIN folder, beside 111.uin
        QTest::addColumn<QStringList>("titles"); // of the windows open
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("warned");
        QTest::newRow("second UIN, No") << "222.UIN" << QStringList{"222"} << MsgAnswer::No << true;
        QTest::newRow("first UIN, Yes")
            << "222.UIN" << QStringList{"111"} << MsgAnswer::Yes << true;
        QTest::newRow("a .uin.bak file, titles holding a UIN")
            << "222.uin.bak" << QStringList{"222.uin", "2222", "ICQ 111"} << MsgAnswer::No << false;
    }

    void icqRunningWarning()
    {
        QFETCH(QString, otherFile);
        QFETCH(QStringList, titles);
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, warned);
        WizardFixture f;
        f.sample.addUin(f.sample.icqFolder(), otherFile);
        // Without ICQ's registry key: the folder is known, no registry is read, and no "Error
        // opening key." shown.
        f.sample.writeRegistry({});
        std::vector<std::unique_ptr<QWidget>> windows;
        for (const QString& title : titles) {
            windows.push_back(std::make_unique<QWidget>());
            windows.back()->setWindowTitle(title);
            windows.back()->show();
            QVERIFY(QTest::qWaitForWindowExposed(windows.back().get()));
        }
        addFiveComponents(f);
        f.runtime.boxAnswers = {answer};
        f.button("cmdNext")->setFocus();
        f.press("cmdNext");

        QCOMPARE(f.runtime.boxes.front().title == QLatin1String("Warning!"), warned);
        if (warned) // Enter answers No: going on is not recommended
            QCOMPARE(f.runtime.boxes.front().buttons, MsgButtons::YesNoDefaultNo);
        if (warned)
            QCOMPARE(f.runtime.boxes.front().prompt,
                     QStringLiteral("ICQ appears to be running right now. If you continue,\r\n"
                                    "files may not be properly backed up or restored.\r\n\r\nDo "
                                    "you wish to continue (not recommended) ?"));
        if (warned && answer == MsgAnswer::No)
            QCOMPARE(f.runtime.boxes.size(), std::size_t(1)); // nothing ran to a result
        else
            QCOMPARE(f.runtime.prompts().last(),
                     QStringLiteral("The task was completed successfully!"));
        QVERIFY(f.button("cmdNext")->isEnabled() && f.button("cmdBack")->isEnabled());
        QCOMPARE(f.window->focusWidget(), f.button("cmdNext"));
        QCOMPARE(f.busy(), QStringLiteral("False"));
    }

    // Closing the window during a run asks the busy question, as Exit does, and No lets the run
    // go on. The About panel opened and closed meanwhile (the buttons it leaves: the window
    // state's table), and Next pressed meanwhile (Enter, a shortcut) starts no second run. A run
    // that is to end the program asks it too when it has succeeded: No leaves the window as the
    // last component left it, and it closes unasked. Exit → Yes between components, where the
    // window yields before a copy, ends the run at once and copies nothing more (nothing may wait
    // there for the window's thread).
    void theBusyQuestionDuringAndAfterARun()
    {
        WizardFixture f;
        addFiveComponents(f);
        f.control<QCheckBox>("chkExitAfterDoing")->setChecked(true);
        bool closed = true;
        f.runtime.onDoEvents = [&](int yield) {
            if (yield != 1)
                return;
            f.press("cmdAboutButton");
            f.window->fraAbout_DblClick();
            f.window->cmdNext_Click();
            closed = f.window->close();
        };
        f.press("cmdNext");

        QVERIFY(!closed && !f.runtime.ended);
        QCOMPARE(f.runtime.prompts(),
                 QStringList(2, "Program is busy, are you sure you wish to interrupt and exit?"));
        QCOMPARE(f.caption("lblOverallProgress"),
                 QStringLiteral("Current component: ICQ NewDB  ..."));
        QCOMPARE(f.caption("lblOverallPercentage"), QStringLiteral("100%"));
        QVERIFY(f.window->close()); // not busy: it closes without a question
        QCOMPARE(f.runtime.boxes.size(), std::size_t(2));

        QVERIFY(QDir(f.sample.backupFolder()).removeRecursively());
        f.runtime.boxAnswers = {MsgAnswer::Yes};
        f.runtime.onDoEvents = [&](int) {
            if (f.runtime.boxes.size() == 2)
                f.press("cmdExit");
        };
        f.press("cmdNext");
        QVERIFY(f.runtime.ended && f.runtime.boxes.size() == 3);
        QVERIFY(
            QDir(f.sample.backupFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }

#ifndef Q_OS_WIN
    // "Verify copies" reaches the copier: ticked, each copy is read back after the copy, which
    // reads what it copies once; unticked, nothing more is read.
    void verifyCopiesReachesTheCopier_data()
    {
        QTest::addColumn<bool>("verify");
        QTest::newRow("ticked") << true;
        QTest::newRow("unticked") << false;
    }
    void verifyCopiesReachesTheCopier()
    {
        QFETCH(bool, verify);
        constexpr qint64 Size = qint64(32) << 20;
        WizardFixture f;
        f.sample.addComponent("Messages", "DB", QByteArray(Size, 'm'));
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.enterTaskOptions();
        f.press("cmdNext");
        f.control<QCheckBox>("chkVerifyCopies")->setChecked(verify);
        const qint64 before = bytesRead();
        QVERIFY(before >= 0);
        f.press("cmdNext");
        const qint64 read = bytesRead() - before;
        QCOMPARE(f.runtime.prompts(), QStringList{"The task was completed successfully!"});
        if (verify)
            QVERIFY2(read >= 2 * Size, qPrintable(QString::number(read)));
        else
            QVERIFY2(read < Size * 3 / 2, qPrintable(QString::number(read)));
    }

    // A backup onto FAT (a USB stick), which keeps no modes, goes on without a box per component
    // and names the folders once, in the result. Mounting the image needs root, as the fault
    // injection's FAT case does.
    void modesNotKeptAreToldOnceInTheResult()
    {
        if (geteuid() != 0)
            QSKIP("mounting a FAT image needs root");
        WizardFixture f;
        addFiveComponents(f, false);
        const QString image = f.sample.prefix() + "/fat.img";
        const QString fat = f.sample.prefix() + "/fat";
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(16) << 20));
        file.close();
        QVERIFY(QDir().mkpath(fat));
        QCOMPARE(QProcess::execute("mkfs.vfat", {image}), 0);
        QCOMPARE(QProcess::execute("fusefat", {"-o", "rw+", image, fat}), 0);
        const auto unmount = qScopeGuard([&] { QProcess::execute("fusermount", {"-u", fat}); });
        for (const char* folder : {"2000b", "CL"})
            QVERIFY(QFile::setPermissions(f.sample.icqFolder() + folder + "/111.dat",
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        f.enterTaskOptions(true, fat + "/backup/");
        f.list("lstZPXsList")->clearSelection();
        for (const int entry : {1, 2}) // 2000b and CL
            f.list("lstZPXsList")->item(entry)->setSelected(true);
        f.press("cmdNext");
        f.press("cmdNext"); // the first box is the result: none came before it
        QCOMPARE(f.runtime.boxes[0].prompt,
                 "The task was completed successfully!\r\n\r\nThe files were copied, but the "
                 "file system of " +
                     fat + "/backup/2000b, " + fat +
                     "/backup/CL does not keep the modes or times of some of them.");
    }
#endif

    // A backup into a folder of dated sets keeps the history by default: a new set, and the sets
    // beyond the number kept gone (which ones, and the set's completeness: tests/core).
    void aBackupKeepingHistory()
    {
        WizardFixture f;
        for (int i = 0; i < 2; ++i) {
            BackupSet set = beginBackupSet(f.sample.backupFolder());
            markBackupSetComplete(set, {"DB"});
        }
        addFiveComponents(f);
        f.control<QSpinBox>("spnKeepCount")->setValue(2);
        f.press("cmdNext");
        QCOMPARE(f.runtime.prompts(), QStringList{"The task was completed successfully!"});
        const QList<BackupSet> sets = backupSets(f.sample.backupFolder());
        QCOMPARE(sets.size(), 2);
        QCOMPARE(SampleInstallation::readFile(sets.back().folder + "DB/111.dat"),
                 QByteArray(5000, 'D'));
    }

#ifndef Q_OS_WIN
    // The weekly tick where no user manager answers (as here): ticked, the settings the units
    // read name the chosen folders (the timer's link: tests/cli); the first page then says how
    // the last backup went (each line's text: tests/core); unticked, nothing is left behind.
    void weeklyBackupAndTheLastBackupsLine()
    {
        const QTemporaryDir home;
        const QString config = home.filePath("config");
        const QString timer = home.filePath("data/systemd/user/zeb2000-backup.timer");
        QVERIFY(QDir().mkpath(QFileInfo(timer).path()));
        QVERIFY(QFile::copy(QFINDTESTDATA("../../packaging/systemd/zeb2000-backup.timer"), timer));
        const QByteArray path = qgetenv("PATH");
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        const auto restored = qScopeGuard([&] {
            qputenv("PATH", path);
            qputenv("XDG_STATE_HOME", state);
        });
        qputenv("PATH", home.path().toLocal8Bit()); // no systemctl
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
        qputenv("XDG_STATE_HOME", home.filePath("state").toLocal8Bit());
        WizardFixture f;
        const QLabel* last = f.control<QLabel>("lblLastBackup");
        addFiveComponents(f);
        auto* weekly = f.control<QCheckBox>("chkBackupWeekly");
        QVERIFY(!weekly->isHidden() && !weekly->isChecked());
        weekly->click();
        QVERIFY(weekly->isChecked());
        QVERIFY(f.runtime.prompts().last().contains("next login"));
        const QByteArray settings = SampleInstallation::readFile(config + "/zeb2000/backup.env");
        for (const QString& folder : {f.sample.backupFolder(), f.sample.icqFolder()})
            QVERIFY2(settings.contains('"' + folder.chopped(1).toUtf8() + '"'), settings);

        f.press("cmdNext");
        QVERIFY2(last->text().startsWith("Last backup: less than a day ago to ") &&
                     last->text().endsWith(" (complete)"),
                 qPrintable(last->text()));
        weekly->click();
        QVERIFY(!weekly->isChecked());
        QCOMPARE(SampleInstallation::snapshot(config), QList<QByteArray>());
    }
#endif

    // A restore from a folder of dated sets lists them newest first and chooses the newest
    // complete one, which gives each component from the newest complete set that holds it.
    void aRestoreFromTheNewestCompleteSets()
    {
        WizardFixture f;
        f.sample.addComponent("Messages", "DB", "ICQ's own");
        f.sample.addComponent("Contacts", "CL", "ICQ's own");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        // Messages in the oldest set, Contacts and the UINs in the next, both complete; the
        // newest, with Messages, is incomplete.
        QList<BackupSet> sets;
        for (const char* held : {"DB", "CL", "DB"}) {
            sets << beginBackupSet(f.sample.backupFolder());
            SampleInstallation::writeFile(sets.last().folder + held + "/111.dat",
                                          sets.last().name.toUtf8());
        }
        f.sample.addUin(sets[1].folder, "111.uin");
        markBackupSetComplete(sets[0], {"DB"});
        markBackupSetComplete(sets[1], {"CL", "UIN"});
        f.enterTaskOptions(false);
        auto* choice = f.control<QComboBox>("cboBackupSet");
        QCOMPARE(choice->count(), 3);
        QCOMPARE(choice->currentIndex(), 1);
        QVERIFY(choice->itemText(0).contains(", incomplete, "));
        QCOMPARE(f.entries("lstZPXsList"), (QStringList{"Contacts [CL]", "Messages [DB]"}));
        // The incomplete one is taken only after a Yes; No keeps the choice.
        f.press("cmdBack");
        f.runtime.boxAnswers = {MsgAnswer::No};
        choice->setCurrentIndex(0);
        emit choice->activated(0);
        QCOMPARE(f.runtime.boxes.at(0).buttons, MsgButtons::YesNoDefaultNo);
        QCOMPARE(choice->currentIndex(), 1);
        f.press("cmdNext");
        f.press("cmdNext");
        f.press("cmdNext");
        QCOMPARE(f.runtime.prompts().size(), 2);
        QVERIFY(f.runtime.prompts()[1].startsWith("The task was completed successfully!"));
        // Messages from the oldest set, the one complete set that holds them (the choice of set
        // for each component: tests/cli).
        QCOMPARE(SampleInstallation::readFile(f.sample.icqFolder() + "DB/111.dat"),
                 sets[0].name.toUtf8());
    }

    // A restore made in the window offers its undo on the first page: after a Yes it puts back
    // what the restore replaced, or, where a file changed since, names it and changes nothing
    // (the files: e2e_backup_restore).
    // The restore, of a component whose name holds "[", copies the folder its plugin names; under
    // the success box the labels say "Finished!", and the box tells where the files that the
    // restore replaced were kept.
    void undoOfTheWindowsRestore_data()
    {
        QTest::addColumn<bool>("changedSince");
        QTest::newRow("unchanged") << false;
        QTest::newRow("a file changed since") << true;
    }
    void undoOfTheWindowsRestore()
    {
        QFETCH(bool, changedSince);
        WizardFixture f;
        f.sample.addComponent("Messages [old]", "DB", "ICQ's own");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        SampleInstallation::writeFile(f.sample.backupFolder() + "DB/111.dat", "backed up");
        f.sample.addUin(f.sample.backupFolder(), "111.uin");
        QVERIFY(f.control<QRadioButton>("optUndo")->isHidden());
        f.enterTaskOptions(false);
        f.press("cmdNext");
        QString labelsAtBox;
        f.runtime.onBox = [&] {
            if (labelsAtBox.isEmpty())
                labelsAtBox =
                    f.caption("lblOverallProgress") + ' ' + f.caption("lblOverallPercentage");
        };
        f.press("cmdNext");
        QCOMPARE(labelsAtBox, QStringLiteral("Finished! 100%"));
        QCOMPARE(f.runtime.boxes[0].title, QStringLiteral("Info"));
        QCOMPARE(f.runtime.boxes[0].icon, MsgIcon::Information);
        const QString done = QDir::fromNativeSeparators(f.runtime.boxes[0].prompt);
        QVERIFY2(done.startsWith(
                     "The task was completed successfully!\r\nThe previous files were kept in " +
                     f.sample.icqFolder() + "ZEB Undo/") &&
                     done.count(u'\n') == 1,
                 qPrintable(done));
        if (changedSince)
            SampleInstallation::writeFile(f.sample.icqFolder() + "DB/111.dat", "written since");
        for (int page = 0; page < 3; ++page)
            f.press("cmdBack");
        QVERIFY(!f.control<QRadioButton>("optUndo")->isHidden());
        f.control<QRadioButton>("optUndo")->setChecked(true);
        f.runtime.boxAnswers = {MsgAnswer::Yes};
        f.press("cmdNext");
        QCOMPARE(f.page(), QStringLiteral("0"));
        QCOMPARE(f.runtime.boxes.size(), std::size_t(3));
        QCOMPARE(f.runtime.boxes[1].buttons, MsgButtons::YesNoDefaultNo);
        const QString result = QDir::fromNativeSeparators(f.runtime.boxes[2].prompt);
        QVERIFY2(result.contains(changedSince ? "DB/111.dat" : "Put back"), qPrintable(result));
        QCOMPARE(f.control<QRadioButton>("optUndo")->isHidden(), !changedSince);
    }

    // Each question of the task in its box, and the answer passed on (what No leaves and Yes
    // copies: the task's own test). After No nothing is at work: closing the window then asks
    // nothing. The check of the backup is offered for a restore only.
    void eachQuestionInItsBox_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("question"); // a part of it
        using A = MsgAnswer;
        QTest::newRow("room, No") << "room" << A::No << "Not enough space!"
                                  << "are free on";
        QTest::newRow("without manifest, No") << "without manifest" << A::No << "Check backup"
                                              << "has no manifest";
        for (const A answer : {A::No, A::Yes}) {
            const char* word = answer == A::Yes ? "Yes" : "No";
            QTest::addRow("path, %s", word) << "path" << answer << "Backup location"
                                            << "may not be mounted";
            QTest::addRow("damaged, %s", word) << "damaged" << answer << "Check backup"
                                               << "damaged: DB/111.dat";
        }
        // Another run holds the ICQ folder (here this process's own lock, taken apart from the
        // window): the run waits, then says which process holds it.
        QTest::newRow("locked") << "locked" << A::No << "Warning!"
                                << QString("Another run (process %1) is using ")
                                       .arg(QCoreApplication::applicationPid());
    }
    void eachQuestionInItsBox()
    {
        QFETCH(QString, situation);
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, question);
        WizardFixture f;
        f.sample.addComponent("Messages", "DB", "backed up");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        QString target = f.sample.backupFolder();
        const bool restore = situation != "room" && situation != "path";
        RunLock other;
        if (situation == "room") { // larger than any disk, sparse
            QFile huge(f.sample.icqFolder() + "DB/huge.db");
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(8) << 40));
        } else if (situation == "path") {
            target = f.sample.prefix() + "/media/usb/ICQ backups/";
        } else {
            RunPlan plan;
            plan.icqFolder = f.sample.icqFolder();
            plan.backupFolder = target;
            plan.components = {{"Messages", "DB", true}, {"UINs", "UIN", true}};
            QVERIFY(runQuietly(plan));
            SampleInstallation::writeFile(target + "DB/111.dat", "backed uX");
            if (situation == "without manifest")
                QVERIFY(QFile::remove(target + "ZEB Manifest.txt"));
            else if (situation == "locked")
                other.lock(f.sample.icqFolder());
        }
        f.enterTaskOptions(!restore, target);
        f.press("cmdNext");
        QCOMPARE(f.control<QCheckBox>("chkCheckBackup")->isHidden(), !restore);
        f.control<QCheckBox>("chkCheckBackup")->setChecked(true);
        f.runtime.boxAnswers = {answer};
        f.press("cmdNext");
        // Yes goes on to the run's result box; after No nothing is left at work.
        const std::size_t boxes = answer == MsgAnswer::Yes ? 2 : 1;
        QCOMPARE(f.runtime.boxes.size(), boxes);
        const ShownBox& box = f.runtime.boxes.front();
        QTEST(box.title, "title");
        QCOMPARE(box.buttons, situation == "room"     ? MsgButtons::YesNo
                              : situation == "locked" ? MsgButtons::OkOnly
                                                      : MsgButtons::YesNoDefaultNo);
        QVERIFY2(QDir::fromNativeSeparators(box.prompt).contains(question), qPrintable(box.prompt));
        QVERIFY(f.window->close() && f.runtime.boxes.size() == boxes);
    }
};

QTEST_MAIN(RunTest)
#include "tst_run.moc"
