// The task on real folders, driven by a scripted observer as both front ends drive it: each
// question answered each way and what the task did then, the replace question's answers and the
// dated sets. How folders are copied is tested on the OS layer
// (tests/os/test_copy_folder.cpp), how each front end asks in tests/cli and tests/gui.
#include "QuietObserver.h"
#include "SampleInstallation.h"

#include "core/LastBackup.h"
#include "core/Task.h"
#include "core/UndoSets.h"

#include <QtTest>

namespace {

// Answers every question alike, and notes each one asked.
struct ScriptedObserver final : Stopping<TaskObserver>
{
    bool yes = true;
    Os::ReplaceAnswer replace = Os::ReplaceAnswer::Yes;
    QStringList asked;

    bool goOnWhileIcqRuns() override { return note("ICQ runs"); }
    bool goOnWithoutRoom(const QString&) override { return note("room"); }
    bool makeWholePath(const QString&) override { return note("path"); }
    bool restoreUnchecked(const QString&, const BackupCheck& check) override
    {
        return note("damaged " + check.damaged.join(u','));
    }
    Os::ReplaceAnswer askReplace(const QString& file) override
    {
        asked << QFileInfo(file).fileName();
        return replace;
    }
    bool note(const QString& question)
    {
        asked << question;
        return yes;
    }
};

TaskSettings settingsFor(const SampleInstallation& sample, Direction direction = Direction::Backup)
{
    TaskSettings settings;
    settings.direction = direction;
    settings.icqFolder = sample.icqFolder();
    settings.backupFolder = sample.backupFolder();
    settings.components = {{"Messages", "DB", true}};
    settings.overwrite = true;
    return settings;
}

} // namespace

class TaskTest : public QObject
{
    Q_OBJECT

    // Each test's own, made afresh before it.
    RecordingSink sink;
    ScriptedObserver observer;

private slots:
    void init()
    {
        qunsetenv("DISPLAY"); // no window counts as ICQ's
        sink = {};
        observer = {};
    }

    // No asked: nothing copied, nothing made; Yes: the task goes on. A sound backup restored asks
    // none.
    void questions_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("refusal"); // TaskRefusal, when the answer is No
        QTest::newRow("none") << "" << false << int(TaskRefusal::None);
#ifndef Q_OS_WIN
        for (const bool yes : {false, true})
            QTest::addRow("ICQ runs, %d", yes) << "ICQ runs" << yes << int(TaskRefusal::IcqRunning);
#endif
        for (const bool yes : {false, true}) {
            QTest::addRow("room, %d", yes) << "room" << yes << int(TaskRefusal::NoRoom);
            QTest::addRow("path, %d", yes) << "path" << yes << int(TaskRefusal::PathMissing);
            QTest::addRow("damaged, %d", yes) << QDir::toNativeSeparators("damaged DB/111.dat")
                                              << yes << int(TaskRefusal::BackupUnchecked);
        }
    }
    void questions()
    {
        QFETCH(QString, situation);
        QFETCH(bool, yes);
        QFETCH(int, refusal);
        SampleInstallation sample;
        qputenv("WINEPREFIX", sample.prefix().toLocal8Bit());
        sample.addComponent("Messages", "DB", "backed up");
        TaskSettings settings = settingsFor(sample);
        QProcess icq;
        if (situation == "ICQ runs") {
            // A program called icq.exe, as Wine runs it, in this prefix.
            const QString program = sample.prefix() + "/icq.exe";
            QVERIFY(QFile::copy(QStandardPaths::findExecutable("sleep"), program));
            icq.start(program, {"600"});
            QVERIFY(icq.waitForStarted());
        } else if (situation == "room") {
            // Larger than any disk, sparse; a Yes goes on to the copy, which is stopped.
            QFile huge(sample.icqFolder() + "DB/huge.db");
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(8) << 40));
        } else if (situation == "path") {
            settings.backupFolder = sample.prefix() + "/media/usb/ICQ backups/";
        } else { // a restore that checks the backup first
            QVERIFY(Task(settings, sink, observer).run().succeeded());
            SampleInstallation::writeFile(sample.icqFolder() + "DB/111.dat", "ICQ's own");
            if (!situation.isEmpty())
                SampleInstallation::writeFile(sample.backupFolder() + "DB/111.dat", "backed uX");
            settings.direction = Direction::Restore;
            settings.checkBackup = true;
        }
        observer.yes = yes;
        Task task(settings, sink, observer);
        if (situation == "room")
            observer.stop = [&task] { task.copy()->requestStop(); };
        const TaskResult& result = task.run();
        if (situation == "ICQ runs" && !yes) // an undo takes the same first steps
            QCOMPARE(int(undoTask(sample.icqFolder(), false, false, observer).refusal),
                     int(TaskRefusal::IcqRunning));
        icq.kill();
        icq.waitForFinished();
        QCOMPARE(observer.asked.value(0), situation);
        const bool wentOn = yes || situation.isEmpty();
        QCOMPARE(int(result.refusal), wentOn ? int(TaskRefusal::None) : refusal);
        QCOMPARE(result.components.size(), wentOn ? 1 : 0);
        QCOMPARE(result.succeeded(), wentOn && situation != "room");
        if (settings.direction == Direction::Backup)
            QCOMPARE(QFileInfo::exists(settings.backupFolder), wentOn);
        else
            QCOMPARE(SampleInstallation::readFile(sample.icqFolder() + "DB/111.dat"),
                     !wentOn ? "ICQ's own"
                     : yes   ? "backed uX"
                             : "backed up");
        QVERIFY(sink.reports.isEmpty());
    }

    // Of two components the first holds two files to replace and a new one; every question gets
    // the same answer, none is asked with Overwrite, and Cancel ends the whole run. On Windows
    // the shell asks its own question (tests/os), so only Overwrite runs there.
    void replaceQuestion_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<Os::ReplaceAnswer>("answer");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QByteArray>("kept");
        using A = Os::ReplaceAnswer;
        const QStringList both = {"one.dat", "two.dat"};
#ifndef Q_OS_WIN
        QTest::newRow("Yes") << false << A::Yes << both << QByteArray("new");
        QTest::newRow("Yes to All") << false << A::YesToAll << both.mid(0, 1) << QByteArray("new");
        QTest::newRow("No") << false << A::No << both << QByteArray("older");
        QTest::newRow("Cancel") << false << A::Cancel << both.mid(0, 1) << QByteArray("older");
#endif
        QTest::newRow("Overwrite") << true << A::Cancel << QStringList() << QByteArray("new");
    }
    void replaceQuestion()
    {
        QFETCH(bool, overwrite);
        QFETCH(Os::ReplaceAnswer, answer);
        QFETCH(QByteArray, kept);
        SampleInstallation sample;
        TaskSettings settings = settingsFor(sample);
        settings.overwrite = overwrite;
        settings.components << Component{"Contacts", "CL", true};
        const QString icq = sample.icqFolder();
        const QString backup = sample.backupFolder();
        for (const QString name : {"one.dat", "two.dat"}) {
            SampleInstallation::writeFile(icq + "DB/" + name, "new");
            SampleInstallation::writeFile(backup + "DB/" + name, "older"); // its size
        }
        SampleInstallation::writeFile(icq + "DB/fresh.dat", "fresh");
        SampleInstallation::writeFile(icq + "CL/1.dat", "contacts");
        observer.replace = answer;
        Task task(settings, sink, observer);
        const TaskResult& result = task.run();
        // In name order, as the lists show names.
        QTEST(observer.asked, "asked");
        const auto read = [&](const char* name) {
            return SampleInstallation::readFile(backup + name);
        };
        // fresh.dat comes first and stays copied even when a later question is cancelled.
        QCOMPARE(read("DB/one.dat") + read("DB/two.dat") + read("DB/fresh.dat"),
                 kept + kept + "fresh");
        const bool cancelled = !overwrite && answer == Os::ReplaceAnswer::Cancel;
        QCOMPARE(result.components.size(), cancelled ? 1 : 2);
        QCOMPARE(result.components[0].copied, !cancelled);
        QCOMPARE(read("CL/1.dat"), cancelled ? QByteArray() : QByteArray("contacts"));
        QVERIFY(sink.reports.isEmpty());
    }

    // What could not be copied is described naming the side that failed, ten files at most.
    void failuresAreDescribedWithTheirSide()
    {
        Os::CopyOutcome many;
        for (int i = 0; i < 12; ++i)
            many.failures.push_back({"/t/" + std::to_string(i), Os::CopySide::Target, "full"});
        const QStringList lines = describeCopyFailures(many);
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[9], "Cannot write /t/9: full");
        QCOMPARE(lines[10], "and 2 more");
    }

    // A dated backup makes a set; only one into which everything was copied is complete and
    // prunes the older sets beyond `keep` (never itself): not one stopped after its first
    // component, though that one was copied whole. One refused before the copy leaves no set
    // behind.
    void datedSets_data()
    {
        QTest::addColumn<int>("setsLeft");
        QTest::newRow("whole") << 2;
#ifndef Q_OS_WIN
        QTest::newRow("failing") << 4;
#endif
        QTest::newRow("refused") << 3;
        QTest::newRow("stopped between components") << 4;
    }
    void datedSets()
    {
        const QByteArray run = QTest::currentDataTag();
        QFETCH(int, setsLeft);
        const bool complete = run == "whole";
        SampleInstallation sample;
        sample.addComponent("Messages", "DB");
        sample.addComponent("Contacts", "CL");
        QStringList before; // three complete sets, oldest first
        for (int n = 0; n < 3; ++n) {
            BackupSet set = beginBackupSet(sample.backupFolder());
            markBackupSetComplete(set);
            before << set.name;
        }
        TaskSettings settings = settingsFor(sample);
        settings.dated = true;
        settings.keep = 2;
        if (run == "failing")
            QFile::link("/nonexistent/target", sample.icqFolder() + "DB/broken.dat");
        settings.components << Component{"Contacts", "CL", true};
        if (run == "refused")
            settings.components.clear();
        Task task(settings, sink, observer);
        if (run == "stopped between components")
            observer.stop = [&task] { task.copy()->requestStop(); };
        observer.afterFirst = true;
        const TaskResult& result = task.run();
        QCOMPARE(result.setComplete, complete);
        QCOMPARE(result.removedSets, complete ? before.mid(0, 2) : QStringList());
        const QList<BackupSet> sets = backupSets(sample.backupFolder());
        QCOMPARE(sets.size(), setsLeft);
        QCOMPARE(sets.last().name == result.setName, run != "refused");
        QCOMPARE(sets.last().complete, complete || run == "refused");
    }

    // The first page's line of state, from the record the task leaves in the state folder:
    // none for a fresh user (nor after a refused dry run), then each backup's own, counted in days
    // from its UTC time.
    void stateLine_data()
    {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("line");   // with "@" for the backup folder
        QTest::addColumn<QString>("german"); // the recorded English failure shown in German too
        QTest::newRow("a refused dry run leaves none") << "dry run" << QString() << QString();
        QTest::newRow("good backup") << "whole"
                                     << "Last backup: 3 days ago to @ (complete)"
                                     << "Letzte Sicherung: vor 3 Tagen nach @ (vollständig)";
        QTest::newRow("failed weekly run")
            << "refused"
            << "Last weekly backup failed: there was nothing to copy (%1)"
            << "Letzte wöchentliche Sicherung fehlgeschlagen: es gab nichts zu kopieren (%1)";
        QTest::newRow("components not whole, as recorded")
            << "recorded: 2 of 3 components not copied whole"
            << "Last backup failed: 2 of 3 components not copied whole (%1)"
            << "Letzte Sicherung fehlgeschlagen: 2 von 3 Komponenten nicht vollständig kopiert "
               "(%1)";
        QTest::newRow("another run's lock, as recorded")
            << "recorded: Another run (process 42) is using /icq; nothing was changed. Try again "
               "when it has finished."
            << "Last backup failed: Another run (process 42) is using /icq; nothing was changed. "
               "Try again when it has finished. (%1)"
            << "Letzte Sicherung fehlgeschlagen: Ein anderer Lauf (Prozess 42) benutzt /icq; "
               "nichts wurde geändert. Versuchen Sie es wieder, wenn er fertig ist. (%1)";
    }
    void stateLine()
    {
        QFETCH(QString, run);
        QFETCH(QString, line);
        QFETCH(QString, german);
        QTemporaryDir state;
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        qputenv("LOCALAPPDATA", QDir::toNativeSeparators(state.path()).toLocal8Bit());
        SampleInstallation sample;
        sample.addComponent("Messages", "DB");
        TaskSettings settings = settingsFor(sample);
        settings.scheduled = run == "refused";
        settings.dryRun = run == "dry run";
        if (run == "refused" || settings.dryRun)
            settings.components.clear();
        if (run.startsWith("recorded: "))
            QVERIFY(recordLastBackup({QDateTime::currentDateTimeUtc(), sample.backupFolder(), false,
                                      run.section(": ", 1), false})
                        .isEmpty());
        else
            QVERIFY(Task(settings, sink, observer).run().stateFailure.isEmpty());
        const std::optional<LastBackup> last = readLastBackup();
        QCOMPARE(last.has_value(), !settings.dryRun);
        const QDateTime now = (last ? last->whenUtc : QDateTime::currentDateTimeUtc()).addDays(3);
        if (last)
            QCOMPARE(last->whenUtc.secsTo(QDateTime::currentDateTimeUtc()) < 60, true);
        const auto filled = [&](QString text, const QLocale& locale) {
            return text
                .replace("@", QDir::toNativeSeparators(QDir::cleanPath(sample.backupFolder())))
                .replace("%1", last ? locale.dayName(last->whenUtc.toLocalTime().date().dayOfWeek())
                                    : QString());
        };
        QCOMPARE(lastBackupLine(last, now).english(), filled(line, QLocale::c()));
        QTranslator translator;
        QVERIFY(translator.load(":/i18n/zeb_core_de.qm"));
        QCoreApplication::installTranslator(&translator);
        const QString shown = lastBackupLine(last, now).toString();
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(shown, filled(german, QLocale(QLocale::German)));
    }
};

QTEST_GUILESS_MAIN(TaskTest)
#include "tst_task.moc"
