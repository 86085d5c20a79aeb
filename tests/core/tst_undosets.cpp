// Undo sets and dated backup sets on real folders: names of any bytes come back, a record that
// leads out of the ICQ folder is refused, files changed after a restore are never destroyed, and
// sets are ordered by their records, whatever their names or the clock say. Faults at every step
// are injected into the command line by tests/faults/undo_faults.sh.
#include "QuietObserver.h"
#include "SampleInstallation.h"

#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/ErrorObject.h"
#include "core/UndoSets.h"

#include <QtTest>

#include <limits>

namespace {

// Restores each component the sample's backup holds; refusing, with every replacement refused.
bool restore(const SampleInstallation& sample, bool refuse = false)
{
    RunPlan plan;
    plan.direction = Direction::Restore;
    plan.icqFolder = sample.icqFolder();
    plan.backupFolder = sample.backupFolder();
    plan.overwrite = !refuse;
    for (const QString& folder :
         QDir(plan.backupFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        plan.components << Component{folder, folder, true};
    return runQuietly(plan, refuse);
}

} // namespace

class UndoSetsTest : public QObject
{
    Q_OBJECT

private slots:
    // A record names paths of bytes: only those that stay inside the ICQ folder and outside the
    // undo folder are taken.
    void recordPaths_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << QByteArray("NewDB/11111111.dat") << true;
        QTest::newRow("dots inside a name") << QByteArray("a..b/..c") << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("climbs") << QByteArray("..") << false;
        QTest::newRow("climbs on the way") << QByteArray("DB/../../x") << false;
        QTest::newRow("absolute") << QByteArray("/etc/passwd") << false;
        QTest::newRow("empty name") << QByteArray("DB//x") << false;
        QTest::newRow("dot") << QByteArray("./x") << false;
        QTest::newRow("into the undo folder") << QByteArray("zeb undo/x") << false;
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << false;
#ifdef Q_OS_WIN
        QTest::newRow("drive") << QByteArray("C:x") << false;
        QTest::newRow("backslash") << QByteArray("a\\..\\..\\x") << false;
        QTest::newRow("dots and spaces") << QByteArray(". ./x") << false;
#else
        QTest::newRow("backslash") << QByteArray("a\\..\\x") << true;
#endif
    }
    void recordPaths()
    {
        QFETCH(QByteArray, path);
        QTEST(isSafeRecordPath(path.toStdString()), "safe");
    }

    // Every byte travels through a record field and back; the field holds no space or line end.
    void everyByteRoundTrips()
    {
        std::string bytes;
        for (int byte = 0; byte < 256; ++byte)
            bytes += char(byte);
        const QByteArray field = encodeField(bytes);
        QVERIFY(!field.contains(' ') && !field.contains('\n') && !field.contains('\r'));
        QCOMPARE(decodeField(field), std::optional<std::string>(bytes));
        QCOMPARE(decodeField(encodeField({})), std::optional<std::string>(std::string()));
        QVERIFY(!decodeField("a b") && !decodeField("%4") && !decodeField("%zz"));
    }

    // What happened to a file after the restore decides: a file the restore wrote and nobody
    // touched goes back; one changed since is named and stops the undo before anything changes;
    // forced, it is kept in the set and the rest is undone.
    void changedAfterRestore_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("newer");
        for (const char* file : {"DB/a.dat", "DB/new.dat"}) {
            QTest::addRow("%s untouched", file) << file << "none" << false;
            QTest::addRow("%s appended to", file) << file << "append" << true;
            QTest::addRow("%s rewritten in its size", file) << file << "rewrite" << true;
            QTest::addRow("%s rewritten in place, time put back", file)
                << file << "in place" << true;
            // Linked into a later restore's set, which that restore's undo puts back.
            QTest::addRow("%s restored and undone again", file) << file << "restore" << false;
            QTest::addRow("%s deleted", file) << file << "delete" << false;
            // The restore stopped before it noted the copy; then ICQ wrote the file in its size.
            QTest::addRow("%s not noted, then rewritten in place", file)
                << file << "not noted" << true;
        }
        // 2.0 wrote SHA-256 in the record: the set is still undone.
        QTest::addRow("untouched, its record from 2.0") << "DB/a.dat"
                                                        << "2.0 record" << false;
#ifndef Q_OS_WIN
        // Kept, and put back, is what the link leads to.
        QTest::addRow("relative link replaced") << "DB/a.dat"
                                                << "relative link" << false;
#endif
    }
    void changedAfterRestore()
    {
        QFETCH(QString, file);
        QFETCH(QString, change);
        QFETCH(bool, newer);
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        SampleInstallation::writeFile(icq + "DB/a.dat", "ICQ's own a");
        // A time a QDateTime holds exactly, so that it can be put back as it was.
        const QDateTime time = QDateTime::fromSecsSinceEpoch(1700000000);
        SampleInstallation::writeFile(sample.backupFolder() + "DB/a.dat", "backed-up a", time);
        SampleInstallation::writeFile(sample.backupFolder() + "DB/new.dat", "backed-up new", time);
        // Spelt otherwise in the backup: kept, and put back, in the ICQ folder's spelling.
        SampleInstallation::writeFile(icq + "DB/sub/d.dat", "ICQ's own d");
        SampleInstallation::writeFile(sample.backupFolder() + "DB/Sub/D.dat", "backed-up d");
        // A component's folder that ICQ does not have, made with those below it.
        SampleInstallation::writeFile(sample.backupFolder() + "CL/deep/er/c.dat", "backed-up c");
        // Names of any bytes, replaced and added, come back by their bytes.
        SampleInstallation::writeByteNames(icq + "DB/", "ICQ's own, ");
        SampleInstallation::writeByteNames(sample.backupFolder() + "DB/", "backed up, longer, ");
        SampleInstallation::writeByteNames(sample.backupFolder() + "DB/new/", "new, ");
        if (change == "relative link") {
            QVERIFY(QFile::rename(icq + "DB/a.dat", icq + "a.dat"));
            QVERIFY(QFile::link("../a.dat", icq + "DB/a.dat"));
        }
        const QList<QByteArray> before = SampleInstallation::snapshot(icq);
        QVERIFY(restore(sample));
        QVERIFY(SampleInstallation::snapshot(icq).contains(
            "f DB/new/ZEB record=new, the record's own name"));
        const QString path = icq + file;
        const QByteArray content = SampleInstallation::readFile(path);
        // The file is written where it is (its inode kept) unless it is removed first.
        if (change == "append") {
            SampleInstallation::writeFile(path, content + " and more");
        } else if (change == "rewrite") {
            QVERIFY(QFile::remove(path)); // another file, of the same size
            SampleInstallation::writeFile(path, QByteArray(content.size(), 'x'));
        } else if (change == "delete") {
            QVERIFY(QFile::remove(path));
        } else if (change == "in place") {
            SampleInstallation::writeFile(path, QByteArray(content.size(), 'x'),
                                          QFileInfo(path).lastModified());
        } else if (change == "2.0 record" || change == "not noted") {
            const QString record = undoSets(icq).value(0).folder + "ZEB record";
            QString text = QString::fromUtf8(SampleInstallation::readFile(record));
            QVERIFY(text.contains("digest="));
            if (change == "not noted")
                text.remove(QRegularExpression(" after=\\S*"));
            else
                text.replace(QRegularExpression("digest=([0-9a-f]{32})"), "digest=\\1\\1");
            SampleInstallation::writeFile(record, text.toUtf8());
            if (change == "not noted")
                SampleInstallation::writeFile(path, QByteArray(content.size(), 'x'));
        } else if (change == "restore") {
            SampleInstallation::writeFile(sample.backupFolder() + file, "backed up later");
            QVERIFY(restore(sample));
            QVERIFY(undoNewestRestore(icq).finished);
        }
        const QList<QByteArray> changed = SampleInstallation::snapshot(icq);

        UndoOutcome undone = undoNewestRestore(icq);
        // Named in the separators of the ICQ folder as it was given.
        QCOMPARE(QDir::fromNativeSeparators(undone.newer.join('\n')), newer ? path : QString());
        if (!newer) {
            QVERIFY(undone.finished);
            QCOMPARE(SampleInstallation::snapshot(icq), before);
            return;
        }
        QVERIFY(!undone.finished);
        QCOMPARE(SampleInstallation::snapshot(icq), changed);
        const QByteArray kept = SampleInstallation::readFile(path);
        undone = undoNewestRestore(icq, true);
        QVERIFY(undone.finished);
        QCOMPARE(SampleInstallation::readFile(undone.newerFolder + '/' + file), kept);
        QVERIFY(QDir(icq + "ZEB Undo").removeRecursively());
        QCOMPARE(SampleInstallation::snapshot(icq), before);
        QVERIFY(undoNewestRestore(icq).set.isEmpty()); // the set kept is not offered again
    }

    // A restore that changes nothing (every replacement refused, or every file the same) leaves
    // no set. After seven restores the newest five sets remain, and the newest undo puts back
    // what the last restore replaced.
    void theNewestFiveRemain()
    {
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        SampleInstallation::writeFile(sample.backupFolder() + "DB/a.dat", "backed up");
        SampleInstallation::writeFile(icq + "DB/a.dat", "ICQ's own");
        restore(sample, true);
        QVERIFY(!QFileInfo::exists(icq + "ZEB Undo"));
        QStringList made;
        for (int restoreNumber = 1; restoreNumber <= 7; ++restoreNumber) {
            SampleInstallation::writeFile(icq + "DB/a.dat",
                                          "before restore " + QByteArray::number(restoreNumber));
            QVERIFY(restore(sample));
            made << undoSets(icq).last().name;
        }
        QVERIFY(restore(sample)); // all the same now
        QStringList left;
        for (const UndoSetInfo& set : undoSets(icq))
            left << set.name;
        QCOMPARE(left, made.mid(2));
        QVERIFY(undoNewestRestore(icq).finished);
        QCOMPARE(SampleInstallation::readFile(icq + "DB/a.dat"), "before restore 7");
    }

    // Sets are ordered by their records: the sequence first, so that a clock set back or a
    // time-zone step reorders nothing. Pruning keeps `keep` complete sets, removes incomplete
    // ones older than the newest complete one and never the set spared.
    void backupSetsByRecord_data()
    {
        QTest::addColumn<QString>("sets");    // oldest first: C complete, I incomplete
        QTest::addColumn<int>("minutesStep"); // between the sets' clocks
        QTest::addColumn<int>("keep");
        QTest::addColumn<int>("spared"); // index, or -1
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("latest"); // the newest complete set, or -1
        QTest::newRow("keep the newest") << "CCC" << 1 << 1 << 2 << "2" << 2;
        QTest::newRow("keep two") << "CCC" << 1 << 2 << 2 << "12" << 2;
        QTest::newRow("clock set back") << "CCC" << -90 << 1 << 2 << "2" << 2;
        QTest::newRow("time-zone step, same minute") << "CC" << 0 << 1 << 1 << "1" << 1;
        QTest::newRow("incomplete below the newest") << "CIC" << 1 << 5 << 2 << "02" << 2;
        QTest::newRow("incomplete above the newest") << "CCI" << 1 << 1 << -1 << "12" << 1;
        QTest::newRow("the one spared stays") << "CCC" << 1 << 1 << 0 << "02" << 2;
        QTest::newRow("none complete") << "II" << 1 << 1 << -1 << "01" << -1;
    }
    void backupSetsByRecord()
    {
        QFETCH(QString, sets);
        QFETCH(int, minutesStep);
        QFETCH(int, keep);
        QFETCH(int, spared);
        QFETCH(int, latest);
        QTemporaryDir folder;
        const QDateTime start = QDateTime::currentDateTimeUtc();
        QStringList names;
        for (qsizetype i = 0; i < sets.size(); ++i) {
            BackupSet set = beginBackupSet(folder.path(), start.addSecs(60 * minutesStep * i));
            QCOMPARE(set.stamp.sequence, quint64(i + 1));
            if (sets[i] == 'C')
                markBackupSetComplete(set);
            names << set.name;
        }
        QStringList byRecord;
        for (const BackupSet& set : backupSets(folder.path()))
            byRecord << set.name;
        QCOMPARE(byRecord, names);
        const std::optional<BackupSet> newest = newestCompleteBackupSet(folder.path());
        QCOMPARE(newest ? names.indexOf(newest->name) : -1, latest);

        pruneBackupSets(folder.path(), keep, spared < 0 ? QString() : names[spared]);
        QString left;
        for (const BackupSet& set : backupSets(folder.path()))
            left += QString::number(names.indexOf(set.name));
        QTEST(left, "left");
        QCOMPARE(QDir(folder.path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                     .size(),
                 left.size()); // nothing else left behind
    }

    // A record at the highest number makes no set after it: a wrapped number would sort the new
    // set first, and the newest complete set would stay the old one.
    void noSetPastTheHighestNumber()
    {
        QTemporaryDir folder;
        BackupSet set = beginBackupSet(folder.path());
        set.stamp.sequence = std::numeric_limits<quint64>::max();
        markBackupSetComplete(set);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, beginBackupSet(folder.path()));
        QCOMPARE(backupSets(folder.path()).size(), 1);
    }
};

QTEST_GUILESS_MAIN(UndoSetsTest)
#include "tst_undosets.moc"
