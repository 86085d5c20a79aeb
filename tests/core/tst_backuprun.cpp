// The copy of the core on real folders: the run with the replace question's answers, the report
// of what could not be copied and the undo of a restore. How folders are copied is tested on the OS
// layer (tests/os/test_copy_folder.cpp), the dated backup sets and a repeat backup by the command
// line (tests/cli/cli.sh).
#include "RecordingSink.h"
#include "SampleInstallation.h"

#include "core/BackupRun.h"
#include "core/UndoSets.h"

#include <QtTest>

namespace {

struct RecordingObserver final : RunObserver
{
    Os::ReplaceAnswer answer = Os::ReplaceAnswer::Yes;
    QStringList asked;

    Os::ReplaceAnswer askReplace(const QString& file) override
    {
        asked << QFileInfo(file).fileName();
        return answer;
    }
};

} // namespace

class BackupRunTest : public QObject
{
    Q_OBJECT

private slots:
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
        RunPlan plan;
        plan.icqFolder = sample.icqFolder();
        plan.backupFolder = sample.backupFolder();
        plan.overwrite = overwrite;
        plan.components = {{"Messages", "DB", true}, {"Contacts", "CL", true}};
        for (const QString name : {"one.dat", "two.dat"}) {
            SampleInstallation::writeFile(plan.icqFolder + "DB/" + name, "new");
            SampleInstallation::writeFile(plan.backupFolder + "DB/" + name, "older"); // its size
        }
        SampleInstallation::writeFile(plan.icqFolder + "DB/fresh.dat", "fresh");
        SampleInstallation::writeFile(plan.icqFolder + "CL/1.dat", "contacts");
        RecordingSink sink;
        RecordingObserver observer;
        observer.answer = answer;
        const QList<ComponentResult> results = BackupRun(plan, sink, observer).execute();
        // In name order, as the lists show names.
        QTEST(observer.asked, "asked");
        const auto read = [&](const char* name) {
            return SampleInstallation::readFile(plan.backupFolder + name);
        };
        // fresh.dat comes first and stays copied even when a later question is cancelled.
        QCOMPARE(read("DB/one.dat") + read("DB/two.dat") + read("DB/fresh.dat"),
                 kept + kept + "fresh");
        const bool cancelled = !overwrite && answer == Os::ReplaceAnswer::Cancel;
        QCOMPARE(results.size(), cancelled ? 1 : 2);
        QCOMPARE(results[0].copied, !cancelled);
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
        QCOMPARE(lines[9], QStringLiteral("Cannot write /t/9: full"));
        QCOMPARE(lines[10], QStringLiteral("and 2 more"));
    }

    // A restore keeps what it replaces (in the ICQ folder's spelling of its names) and notes what
    // it adds: the undo gives back the ICQ folder as it was, byte for byte, and only five undo
    // sets stay; a restore that changes nothing leaves none.
    void restoreThenUndoGivesBackTheIcqFolder()
    {
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        SampleInstallation::writeFile(icq + "DB/a.dat", "ICQ's own a");
        SampleInstallation::writeFile(icq + "DB/b.dat", "ICQ's own b, not in the backup");
        SampleInstallation::writeFile(icq + "DB/sub/d.dat", "ICQ's own d");
        SampleInstallation::writeFile(sample.backupFolder() + "db/A.DAT", "backed-up a");
        SampleInstallation::writeFile(sample.backupFolder() + "db/new/c.dat", "backed-up c");
        SampleInstallation::writeFile(sample.backupFolder() + "db/Sub/D.dat", "backed-up d");
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
        for (int restore = 0; restore < 7; ++restore) {
            // ICQ writes between restores, so that each restore replaces something.
            if (restore > 1)
                SampleInstallation::writeFile(icq + "DB/a.dat", QByteArray::number(restore));
            QVERIFY(BackupRun(plan, sink, observer).execute().first().copied);
            if (restore > 0)
                continue;
            QCOMPARE(SampleInstallation::readFile(icq + "DB/a.dat") +
                         SampleInstallation::readFile(icq + "DB/sub/d.dat"),
                     QByteArray("backed-up abacked-up d"));
            const UndoOutcome undone = undoNewestRestore(icq);
            QVERIFY(undone.finished);
            QVERIFY(QDir::fromNativeSeparators(undone.set).startsWith(icq + "ZEB Undo/"));
            QCOMPARE(snapshot(), before);
        }
        QCOMPARE(undoSets(icq).size(), 5);
        QVERIFY(sink.reports.isEmpty());
    }
};

QTEST_GUILESS_MAIN(BackupRunTest)
#include "tst_backuprun.moc"
