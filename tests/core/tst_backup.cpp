// What a backup records of itself and what `check` finds with it; dated sets that link what did
// not change; the room a run needs at its peak; a stop.
#include "QuietObserver.h"
#include "SampleInstallation.h"

#include "core/BackupManifest.h"
#include "core/BackupRun.h"

#include <QtTest>

#include <algorithm>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

RunPlan backupPlan(const SampleInstallation& sample, const QString& backupFolder)
{
    RunPlan plan;
    plan.icqFolder = sample.icqFolder();
    plan.backupFolder = backupFolder;
    plan.overwrite = true;
    plan.components = {{"Messages", "DB", true}, {"Contacts", "CL", true}};
    return plan;
}

const QDateTime WholeSecond = QDateTime::fromSecsSinceEpoch(1700000000);

// Gives a backup's manifest another first line; with 2.0's, the SHA-256 of each file as 2.0
// wrote it.
void rewriteManifest(const QString& backup, const QByteArray& header)
{
    QList<QByteArray> lines = SampleInstallation::readFile(backup + ManifestFileName).split('\n');
    lines[0] = header;
    // Each line after the header ends in a line end.
    for (qsizetype at = 1; header == "ZEB 2000 manifest 1" && at + 1 < lines.size(); ++at) {
        QList<QByteArray> fields = lines[at].split(' '); // checksum, size, time, path
        std::string name = QByteArray::fromPercentEncoding(fields.mid(3).join(' ')).toStdString();
        std::replace(name.begin(), name.end(), '/', Os::PathSeparator);
        std::string bytes;
        QCOMPARE(Os::readWholeFile(toOsPath(backup) + name, bytes), 0);
        fields[0] =
            QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
                .toHex();
        lines[at] = fields.join(' ');
    }
    SampleInstallation::writeFile(backup + ManifestFileName, lines.join('\n'));
}

// Which file a path leads to.
std::uint64_t inode(const QString& path)
{
    Os::FileState state;
    return Os::fileState(toOsPath(path), state) == 0 ? state.inode : 0;
}

const int ByteNameCount = int(ByteNames.size());

} // namespace

class BackupTest : public QObject
{
    Q_OBJECT

private slots:
    // A backup's manifest lists every file with its checksum; check reads them back and names a
    // flipped byte, a missing file and an extra one, by the checksum the manifest names: 2.0's
    // SHA-256 too, and one this version does not know by its name. Every name of the table keeps
    // its bytes through the manifest. A restore from it reads the bytes.
    void checkFindsWhatWentBadOnTheMedium_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("XXH3-128") << QByteArray("ZEB 2000 manifest 2 xxh3-128");
        QTest::newRow("SHA-256 by 2.0") << QByteArray("ZEB 2000 manifest 1");
        QTest::newRow("unknown checksum") << QByteArray("ZEB 2000 manifest 2 md5");
    }
    void checkFindsWhatWentBadOnTheMedium()
    {
        QFETCH(QByteArray, header);
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        SampleInstallation::writeFile(icq + "DB/a.dat", "alpha");
        SampleInstallation::writeFile(icq + "DB/sub/b.dat", "beta", WholeSecond);
        SampleInstallation::writeFile(icq + "CL/c.dat", "gamma");
        SampleInstallation::writeByteNames(icq + "CL/");
        const QString backup = sample.backupFolder();
        RunPlan plan = backupPlan(sample, backup);
        QVERIFY(runQuietly(plan));
        rewriteManifest(backup, header);
        BackupCheck check = checkBackupFolder(backup);
        if (header.endsWith("md5")) {
            QVERIFY(!check.passed());
            QCOMPARE(check.refusal, QString("unknown checksum \"md5\""));
            // Nor is a backup into it made: the later version's records stay.
            QVERIFY(!runQuietly(plan));
            QVERIFY(SampleInstallation::readFile(backup + ManifestFileName).startsWith(header));
            return;
        }
        QVERIFY(check.passed());
        QCOMPARE(check.files, 3 + ByteNameCount);

        // Damaged with its size and time kept, as a bad sector leaves a file.
        SampleInstallation::writeFile(backup + "DB/sub/b.dat", "bEta", WholeSecond);
        QVERIFY(QFile::remove(backup + "CL/c.dat"));
        SampleInstallation::writeFile(backup + "DB/new.dat", "not backed up");
        check = checkBackupFolder(backup);
        QVERIFY(!check.passed());
        QCOMPARE(check.damaged, QStringList{QDir::toNativeSeparators("DB/sub/b.dat")});
        QCOMPARE(check.missing, QStringList{QDir::toNativeSeparators("CL/c.dat")});
        QCOMPARE(check.extra, QStringList{QDir::toNativeSeparators("DB/new.dat")});
        if (!header.endsWith(" 1")) {
            // A restore reads the bytes: it puts back the backup's b.dat, though its size and time
            // are ICQ's.
            plan.direction = Direction::Restore;
            QVERIFY(runQuietly(plan));
            QCOMPARE(SampleInstallation::readFile(icq + "DB/sub/b.dat"), QByteArray("bEta"));
            return;
        }
        // A backup of one component into it writes XXH3-128: that component from ICQ's
        // bytes (the damaged file copied again), the other's records carried over only where
        // their SHA-256 proves the bytes unchanged. One that went bad is left out, and named.
        QVERIFY(QFile::remove(backup + "DB/new.dat"));
        SampleInstallation::writeFile(backup + "CL/c.dat", "gammX");
        plan.components.removeLast();
        QVERIFY(runQuietly(plan));
        QVERIFY(SampleInstallation::readFile(backup + ManifestFileName)
                    .startsWith("ZEB 2000 manifest 2 xxh3-128\n"));
        check = checkBackupFolder(backup);
        QCOMPARE(check.extra, QStringList{QDir::toNativeSeparators("CL/c.dat")});
        QVERIFY(check.damaged.isEmpty() && check.missing.isEmpty());
        QCOMPARE(check.files, 2 + ByteNameCount);
    }

    // A repeat backup finds every unchanged file's record in the previous manifest, whose lines
    // may come in the order this version writes (paths by their bytes: capitals first, a
    // folder's files between the names around its own) or in any other, and copies nothing; a
    // file's time before 1970 is found too. A manifest with a damaged line counts as none: every
    // file is copied again.
    void aRepeatFindsEveryRecord_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::newRow("in byte order") << QByteArray();
        QTest::newRow("in another order") << QByteArray("reversed");
        QTest::newRow("a size damaged") << QByteArray("damaged");
    }
    void aRepeatFindsEveryRecord()
    {
        QFETCH(QByteArray, change);
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        for (const char* name :
             {"DB/B.dat", "DB/a/c.dat", "DB/a/b/d", "DB/a-", "DB/a0", "DB/A.x/e", "CL/b"})
            SampleInstallation::writeFile(icq + name, name);
        SampleInstallation::writeFile(icq + "DB/a.dat", "DB/a.dat",
                                      QDateTime(QDate(1960, 1, 1), QTime(12, 0), Qt::UTC));
        SampleInstallation::writeByteNames(icq + "CL/");
        // Enough lines that the manifest is read in more than one piece.
        const int many = 800;
        for (int n = 0; n < many; ++n)
            SampleInstallation::writeFile(
                icq + QStringLiteral("DB/m/%1").arg(n, 60, 10, QChar('0')), "m");
        const qint64 files = 8 + many + ByteNameCount;
        const QString backup = sample.backupFolder();
        QVERIFY(runQuietly(backupPlan(sample, backup)));
        QList<QByteArray> lines =
            SampleInstallation::readFile(backup + ManifestFileName).split('\n');
        const auto path = [](const QByteArray& line) {
            return QByteArray::fromPercentEncoding(line.split(' ').mid(3).join(' '));
        };
        QVERIFY(std::is_sorted(lines.begin() + 1, lines.end() - 1,
                               [&](auto& a, auto& b) { return path(a) < path(b); }));
        if (change == "reversed")
            std::reverse(lines.begin() + 1, lines.end() - 1);
        if (change == "damaged")
            lines[5].insert(lines[5].indexOf(' ', lines[5].indexOf(' ') + 1), 'x'); // its size
        SampleInstallation::writeFile(backup + ManifestFileName, lines.join('\n'));
        RecordingSink sink;
        QuietObserver observer;
        std::uint64_t copied = 0;
        for (const ComponentResult& result :
             BackupRun(backupPlan(sample, backup), sink, observer).execute())
            copied += result.outcome.filesCopied;
        QCOMPARE(copied, std::uint64_t(change == "damaged" ? files : 0));
        QCOMPARE(checkBackupFolder(backup).files, files);
    }

    // A check passes after what a backup meets beside plain files: a file gone from ICQ stays in
    // the backup and its manifest; a folder the backup spells otherwise is merged into; two
    // plugin files naming one folder in other letter case copy it once, under the first; of two
    // names that differ only in letter case, one file to Windows, one is backed up and the other
    // named as left out.
    void checkPassesAfter_data()
    {
        QTest::addColumn<qint64>("files"); // in the backup
        QTest::newRow("a file gone from ICQ") << qint64(3);
        QTest::newRow("a folder spelled otherwise in the backup") << qint64(2);
        QTest::newRow("one folder named twice") << qint64(2);
#ifndef Q_OS_WIN
        QTest::newRow("case twins") << qint64(2);
#endif
    }
    void checkPassesAfter()
    {
        const QByteArray what = QTest::currentDataTag();
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        const QString backup = sample.backupFolder();
        SampleInstallation::writeFile(icq + "DB/a.dat", "alpha");
        SampleInstallation::writeFile(icq + "CL/c.dat", "gamma");
        RunPlan plan = backupPlan(sample, backup);
        if (what == "a file gone from ICQ") {
            SampleInstallation::writeFile(icq + "DB/gone.dat", "deleted by ICQ");
            QVERIFY(runQuietly(plan));
            QVERIFY(QFile::remove(icq + "DB/gone.dat"));
        } else if (what == "a folder spelled otherwise in the backup") {
            QVERIFY(QDir().mkpath(backup + "db"));
        } else if (what == "one folder named twice") {
            plan.components << Component{"Messages again", "db", true};
        } else {
            SampleInstallation::writeFile(icq + "DB/A.dat", "upper");
        }
        RecordingSink sink;
        QuietObserver observer;
        const QList<ComponentResult> results = BackupRun(plan, sink, observer).execute();
        QCOMPARE(results.size(), 2);
        QVERIFY(results[1].copied);
        if (what != "case twins") {
            QVERIFY(results[0].copied && sink.reports.isEmpty());
        } else {
            QVERIFY(!results[0].copied);
            QCOMPARE(results[0].outcome.failures.size(), size_t(1));
            QVERIFY(QString::fromStdString(results[0].outcome.failures[0].path)
                        .endsWith("a.dat", Qt::CaseInsensitive));
        }
        const BackupCheck check = checkBackupFolder(backup);
        QVERIFY2(check.passed(), qPrintable((check.missing + check.extra).join(", ")));
        QTEST(check.files, "files");
    }

    // A stopped backup does not reach its end: it leaves no manifest, not even the one of the
    // backup before it, so check calls it incomplete. A stop between components copies no more:
    // the first is whole, the second's folder never made.
    void aStopCopiesNoMore_data()
    {
        QTest::addColumn<bool>("afterFirst");
        QTest::newRow("in the first component") << false;
        QTest::newRow("between components") << true;
    }
    void aStopCopiesNoMore()
    {
        QFETCH(bool, afterFirst);
        SampleInstallation sample;
        SampleInstallation::writeFile(sample.icqFolder() + "DB/a.dat", "alpha");
        SampleInstallation::writeFile(sample.icqFolder() + "CL/c.dat", "gamma");
        const QString first = sample.backupFolder() + "first/";
        const QString second = sample.backupFolder() + "second/";
        QVERIFY(runQuietly(backupPlan(sample, first)));
        QVERIFY(checkBackupFolder(first).passed());

        RecordingSink sink;
        Stopping<QuietObserver> observer;
        observer.afterFirst = afterFirst;
        for (const QString& folder : {second, first}) {
            BackupRun run(backupPlan(sample, folder), sink, observer);
            observer.stop = [&run] { run.requestStop(); };
            const QList<ComponentResult> results = run.execute();
            QCOMPARE(results.size(), 1);
            QCOMPARE(results[0].copied, afterFirst);
            QVERIFY(!checkBackupFolder(folder).hasManifest);
        }
        if (afterFirst) {
            QCOMPARE(SampleInstallation::readFile(second + "DB/a.dat"), "alpha");
            QVERIFY(!QFileInfo::exists(second + "CL"));
        }
    }

    // A new dated set links each file the newest complete set holds unchanged, in subfolders too,
    // and copies the rest; its manifest is whole, every name read by its bytes. Changing the new
    // set goes through a new file, so the older set keeps its bytes. Linking never goes through a
    // link in the earlier set, nor links the very file being backed up: the new set would share a
    // file that ICQ, or someone, writes in place. Nor is a checksum ever taken from a set's own
    // bytes: a file with no record of its size and time went bad there perhaps, so it is copied
    // from ICQ again, without a question, when linking or backing up into that set.
    void datedSetsLinkWhatDidNotChange_data()
    {
        QTest::addColumn<QString>("earlier"); // what the earlier set's DB folder is
        QTest::newRow("a backup") << "";
        QTest::newRow("a backup without a manifest, gone bad") << "no manifest";
#ifndef Q_OS_WIN
        QTest::newRow("a link elsewhere") << "link elsewhere";
        QTest::newRow("hard links to ICQ's files") << "hard links";
#endif
    }
    void datedSetsLinkWhatDidNotChange()
    {
        QFETCH(QString, earlier);
        SampleInstallation sample;
        const QString icq = sample.icqFolder();
        SampleInstallation::writeFile(icq + "DB/sub/same.dat", "same", WholeSecond);
        SampleInstallation::writeFile(icq + "CL/changes.dat", "first");
        SampleInstallation::writeByteNames(icq + "CL/");
        const QString older = sample.backupFolder() + "2026-01-01 0000/";
        const QString newer = sample.backupFolder() + "2026-01-08 0000/";
        const QString elsewhere = sample.backupFolder() + "elsewhere/";
        // The earlier set's manifest records the file as it is, so that only these rules keep
        // the new set from linking it.
        RunPlan plan = backupPlan(sample, older);
        QVERIFY(runQuietly(plan));
        if (earlier == "no manifest") {
            QVERIFY(QFile::remove(older + ManifestFileName));
            SampleInstallation::writeFile(older + "DB/sub/same.dat", "saXe", WholeSecond);
        }
#ifndef Q_OS_WIN
        if (earlier.contains("link"))
            QVERIFY(QDir(older + "DB").removeRecursively());
        if (earlier == "hard links") {
            QVERIFY(QDir().mkpath(older + "DB/sub"));
            QVERIFY(::link(QFile::encodeName(icq + "DB/sub/same.dat"),
                           QFile::encodeName(older + "DB/sub/same.dat")) == 0);
        } else if (earlier == "link elsewhere") {
            plan.backupFolder = elsewhere;
            QVERIFY(runQuietly(plan));
            QVERIFY(QFile::link(elsewhere + "DB", older + "DB"));
        }
#endif
        SampleInstallation::writeFile(icq + "CL/changes.dat", "second");
        plan.backupFolder = newer;
        plan.linkFrom = older;
        QVERIFY(runQuietly(plan));
        QVERIFY(checkBackupFolder(newer).passed());
        QCOMPARE(SampleInstallation::readFile(newer + "CL/changes.dat"), QByteArray("second"));
        QVERIFY(inode(newer + "CL/changes.dat") != inode(older + "CL/changes.dat"));
        const std::uint64_t same = inode(newer + "DB/sub/same.dat");
        QCOMPARE(same == inode(older + "DB/sub/same.dat"), earlier.isEmpty());
        QVERIFY(same != inode(icq + "DB/sub/same.dat") &&
                same != inode(elsewhere + "DB/sub/same.dat"));
        if (earlier == "no manifest") {
            plan.linkFrom.clear();
            plan.backupFolder = older;
            plan.overwrite = false;
            QVERIFY(runQuietly(plan, true));
            QCOMPARE(SampleInstallation::readFile(older + "DB/sub/same.dat"), QByteArray("same"));
        }
        if (!earlier.isEmpty())
            return;
        SampleInstallation::writeFile(icq + "DB/sub/same.dat", "now changed");
        plan.linkFrom.clear();
        QVERIFY(runQuietly(plan));
        QCOMPARE(SampleInstallation::readFile(older + "DB/sub/same.dat"), QByteArray("same"));
        QVERIFY(checkBackupFolder(older).passed());
        QVERIFY(checkBackupFolder(newer).passed());
    }

    // The room a run needs is its peak: a replaced file stays until its component is done, so a
    // changed database needs its whole size; what an earlier component of a backup replaced is
    // free again for a later one; a restore keeps what it replaces for undo.
    void roomIsThePeak_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<qint64>("needed");
        // DB: a 3000-byte file replacing 1000 bytes and a new 500-byte one; CL: 2000 new bytes
        // and 1000 unchanged, which a backup with no manifest to record them writes again.
        QTest::newRow("backup") << int(Direction::Backup) << qint64(3500 - 1000 + 2000 + 1000);
        QTest::newRow("restore") << int(Direction::Restore) << qint64(3500 + 2000);
    }
    void roomIsThePeak()
    {
        QFETCH(int, direction);
        SampleInstallation sample;
        RunPlan plan = backupPlan(sample, sample.backupFolder());
        plan.direction = Direction(direction);
        const QString from = plan.sourceFolder();
        const QString to = plan.targetFolder();
        SampleInstallation::writeFile(from + "DB/db.dat", QByteArray(3000, 'n'));
        SampleInstallation::writeFile(to + "DB/db.dat", QByteArray(1000, 'o'));
        SampleInstallation::writeFile(from + "DB/new.dat", QByteArray(500, 'n'));
        SampleInstallation::writeFile(from + "CL/new.dat", QByteArray(2000, 'n'));
        for (const QString& side : {from, to})
            SampleInstallation::writeFile(side + "CL/same.dat", QByteArray(1000, 's'), WholeSecond);
        RecordingSink sink;
        QuietObserver observer;
        QTEST(BackupRun(plan, sink, observer).spaceEstimate().needed, "needed");
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
