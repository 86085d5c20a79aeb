// The run of the core on real folders: both directions, what its observer hears, a Cancel that
// ends the run, and the dated backup sets.
#include "RecordingSink.h"
#include "SampleInstallation.h"

#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/UndoSets.h"

#include <QtTest>

namespace {

struct RecordingObserver final : RunObserver
{
    Os::ReplaceAnswer answer = Os::ReplaceAnswer::Yes;
    QStringList events;
    qint64 lastProgress = 0;

    Os::ReplaceAnswer askReplace(const QString& file) override
    {
        events << "asked " + QFileInfo(file).fileName();
        return answer;
    }
    void componentStarted(const Component& component, qint64 bytes) override
    {
        events << QStringLiteral("started %1 %2").arg(component.folder).arg(bytes);
    }
    void componentProgress(qint64 bytesDone) override { lastProgress = bytesDone; }
    void componentFinished(const ComponentResult& result) override
    {
        events << QStringLiteral("finished %1 %2 at %3")
                      .arg(result.component.folder)
                      .arg(result.copied)
                      .arg(lastProgress);
    }
};

} // namespace

class BackupRunTest : public QObject
{
    Q_OBJECT

private slots:
    void copiesEachComponentFromSourceToTarget_data()
    {
        QTest::addColumn<Direction>("direction");
        QTest::newRow("backup") << Direction::Backup;
        QTest::newRow("restore") << Direction::Restore;
    }
    void copiesEachComponentFromSourceToTarget()
    {
        QFETCH(Direction, direction);
        SampleInstallation sample;
        RunPlan plan;
        plan.direction = direction;
        plan.icqFolder = sample.icqFolder();
        plan.backupFolder = sample.backupFolder();
        plan.components = {{"Messages", "DB", true}, {"Contacts", "CL", true}};
        for (const char* folder : {"DB", "CL"})
            SampleInstallation::writeFile(plan.sourceFolder() + folder + "/1.dat",
                                          QByteArray(1500, folder[0]));
        RecordingSink sink;
        RecordingObserver observer;
        const QList<ComponentResult> results = BackupRun(plan, sink, observer).execute();
        QCOMPARE(results.size(), 2);
#ifdef Q_OS_WIN
        const QString done = "0"; // the shell's copy tells of no progress
#else
        const QString done = "1500";
#endif
        QCOMPARE(observer.events, (QStringList{"started DB 1500", "finished DB 1 at " + done,
                                               "started CL 1500", "finished CL 1 at " + done}));
        QCOMPARE(SampleInstallation::readFile(plan.targetFolder() + "CL/1.dat"),
                 QByteArray(1500, 'C'));
        QVERIFY(sink.reports.isEmpty());
    }

#ifndef Q_OS_WIN // the shell asks its own question
    // A Cancel to the replace question ends the whole run, not only its component.
    void cancelEndsTheRun()
    {
        SampleInstallation sample;
        RunPlan plan;
        plan.icqFolder = sample.icqFolder();
        plan.backupFolder = sample.backupFolder();
        plan.components = {{"Messages", "DB", true}, { "Contacts", "CL", true }};
        for (const char* folder : {"DB", "CL"}) {
            SampleInstallation::writeFile(plan.icqFolder + folder + "/1.dat", "new");
            SampleInstallation::writeFile(plan.backupFolder + folder + "/1.dat", "older");
        }
        RecordingSink sink;
        RecordingObserver observer;
        observer.answer = Os::ReplaceAnswer::Cancel;
        const QList<ComponentResult> results = BackupRun(plan, sink, observer).execute();
        QCOMPARE(results.size(), 1);
        QVERIFY(!results[0].copied && results[0].outcome.cancelled);
        QCOMPARE(observer.events.filter("asked").size(), 1);
    }
#endif

    // A restore keeps what it replaces and notes what it adds: the undo gives back the ICQ folder
    // as it was, byte for byte, and only five undo sets stay.
    void restoreThenUndoGivesBackTheIcqFolder()
    {
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        SampleInstallation::writeFile(icq + "DB/a.dat", "ICQ's own a");
        SampleInstallation::writeFile(icq + "DB/b.dat", "ICQ's own b, not in the backup");
        SampleInstallation::writeFile(sample.backupFolder() + "db/A.DAT", "backed-up a");
        SampleInstallation::writeFile(sample.backupFolder() + "db/new/c.dat", "backed-up c");
        const auto snapshot = [&] {
            QStringList files;
            QDirIterator it(icq, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                it.next();
                files << QDir(icq).relativeFilePath(it.filePath()) + '=' +
                             SampleInstallation::readFile(it.filePath());
            }
            files.sort();
            return files;
        };
        const QStringList before = snapshot();

        RunPlan plan;
        plan.direction = Direction::Restore;
        plan.icqFolder = icq;
        plan.backupFolder = sample.backupFolder();
        plan.overwrite = true;
        plan.components = {{"Messages", "DB", true}};
        RecordingSink sink;
        RecordingObserver observer;
        for (int restore = 0; restore < 6; ++restore) {
            BackupRun run(plan, sink, observer);
            QVERIFY(run.execute().first().copied);
            QVERIFY2(QDir::fromNativeSeparators(run.undoFolder()).startsWith(icq + "ZEB Undo/"),
                     qPrintable(QString::number(restore) + run.undoFolder()));
            QCOMPARE(SampleInstallation::readFile(icq + "DB/a.dat"), QByteArray("backed-up a"));
            if (restore == 0)
                QVERIFY(QDir::fromNativeSeparators(undoNewestRestore(icq))
                            .startsWith(icq + "ZEB Undo/"));
            if (restore == 0)
                QCOMPARE(snapshot(), before);
        }
        QCOMPARE(undoSets(icq).size(), 5);
        QVERIFY(sink.reports.isEmpty());
        QVERIFY(offeredComponents(sample.programFolder(), icq).isEmpty());
        QVERIFY(!isSafeComponentFolder("zeb undo/DB"));
    }

    // Only folders named exactly like a set count: the oldest go, nothing else is touched.
    void datedSetsArePrunedOldestFirst()
    {
        QCOMPARE(backupSetName(QDateTime(QDate(2026, 3, 4), QTime(5, 6))),
                 QStringLiteral("2026-03-04 0506"));
        QTemporaryDir dir;
        for (const char* name : {"2024-01-01 0900", "2025-12-31 2359", "2023-05-05 0505",
                                 "2025-01-01 0000 copy", "notes", "2025-6-1 0000"})
            QVERIFY(QDir(dir.path()).mkpath(name));
        QVERIFY(QFile::link(dir.filePath("notes"), dir.filePath("2000-01-01 0000")));
        QCOMPARE(backupSets(dir.path()),
                 (QStringList{"2023-05-05 0505", "2024-01-01 0900", "2025-12-31 2359"}));
        QCOMPARE(pruneBackupSets(dir.path(), 1),
                 (QStringList{"2023-05-05 0505", "2024-01-01 0900"}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"2000-01-01 0000", "2025-01-01 0000 copy", "2025-12-31 2359",
                              "2025-6-1 0000", "notes"}));
    }
};

QTEST_GUILESS_MAIN(BackupRunTest)
#include "tst_backuprun.moc"
