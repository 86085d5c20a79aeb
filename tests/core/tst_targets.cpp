// The rules the window and the command line share for a backup's target, and the one size
// formatter of the program.
#include "SampleInstallation.h"
#include "core/SizeFormat.h"
#include "core/TargetChecks.h"

#include <QTest>

class TargetsTest : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << qint64(0) << "0 bytes";
        QTest::newRow("below a KiB") << qint64(1023) << "1023 bytes";
        QTest::newRow("a KiB") << qint64(1024) << "1.0 KiB";
        QTest::newRow("a small component") << qint64(3000) << "2.9 KiB";
        QTest::newRow("just below a MiB") << qint64(1024 * 1024 - 1) << "1.0 MiB";
        QTest::newRow("below a MiB") << qint64(1000 * 1024) << "1000.0 KiB";
        QTest::newRow("MiB") << qint64(5 * 1024 * 1024 + 512 * 1024) << "5.5 MiB";
        QTest::newRow("GiB") << qint64(3) * 1024 * 1024 * 1024 << "3.0 GiB";
    }
    void sizes()
    {
        QFETCH(qint64, bytes);
        QTEST(formatSize(bytes), "text");
    }

    // A target inside what a backup copies is refused, however it is spelt.
    void targets_data()
    {
        QTest::addColumn<QString>("target"); // below the sample's root
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("within");
        const int none = int(TargetProblem::None);
        const int inside = int(TargetProblem::InsideIcqData);
        QTest::newRow("the root") << "/" << int(TargetProblem::FileSystemRoot) << "";
        QTest::newRow("the ICQ folder") << "@/drive_c/ICQ/" << inside << "ICQ/";
        QTest::newRow("a component's folder") << "@/drive_c/ICQ/NewDB" << inside << "NewDB/";
        QTest::newRow("below one, not yet made")
            << "@/drive_c/ICQ/NewDB/a/b/" << inside << "NewDB/";
        QTest::newRow("another letter case") << "@/drive_c/icq/NEWDB/zeb" << inside << "NewDB/";
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, which no path goes through
        QTest::newRow("through a link") << "@/link/NewDB/zeb" << inside << "NewDB/";
#endif
        QTest::newRow("climbing back in") << "@/drive_c/ZEB/../ICQ/NewDB" << inside << "NewDB/";
        QTest::newRow("beside the components") << "@/drive_c/ICQ/Backups" << none << "";
        QTest::newRow("a name that starts like one") << "@/drive_c/ICQ/NewDB2" << none << "";
        QTest::newRow("elsewhere") << "@/drive_c/ZEB/" << none << "";
        QTest::newRow("above the ICQ folder") << "@/drive_c/" << none << "";
#ifdef Q_OS_WIN
        const int endsBadly = int(TargetProblem::NameEndsBadly);
        QTest::newRow("a trailing blank") << "@/drive_c/BackupB " << endsBadly << "BackupB ";
        QTest::newRow("a folder ending in a dot")
            << "@/drive_c/ZEB./backups" << endsBadly << "ZEB.";
#endif
    }
    void targets()
    {
        QFETCH(QString, target);
        QFETCH(QString, within);
        SampleInstallation sample;
        sample.addComponent("Database", "NewDB");
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(sample.prefix() + "/drive_c/ICQ", sample.prefix() + "/link"));
#endif
        const TargetCheck check =
            checkBackupTarget(target.replace('@', sample.prefix()), sample.icqFolder(),
                              {Component{"Database", "NewDB"}});
        QTEST(int(check.problem), "problem");
        QVERIFY2(within.isEmpty()
                     ? check.containingFolder.isEmpty()
                     : QDir::fromNativeSeparators(check.containingFolder).endsWith(within),
                 qPrintable(check.containingFolder));
    }

    // A folder that cannot be made is no success; a dry run makes none, whatever it answers. (The
    // last folder made alone, or the whole path after a Yes, are the task's rows and the command
    // line's, which make them for real.)
    void making_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("wholePath");
        QTest::addColumn<int>("result");
        QTest::newRow("below a file") << "a file/x" << true << int(TargetCreation::Failed);
        QTest::newRow("dry run: a missing parent")
            << "media/usb/ICQ backups" << false << int(TargetCreation::ParentMissing);
        QTest::newRow("dry run: the whole path")
            << "media/usb/ICQ backups" << true << int(TargetCreation::Created);
    }
    void making()
    {
        QFETCH(QString, folder);
        QFETCH(bool, wholePath);
        const bool dryRun = QByteArrayView(QTest::currentDataTag()).startsWith("dry run");
        SampleInstallation sample;
        SampleInstallation::writeFile(sample.prefix() + "/a file", "data");
        const QString path = sample.prefix() + u'/' + folder;
        QTEST(int(makeBackupFolder(path, wholePath, dryRun)), "result");
        QVERIFY(!QFileInfo::exists(sample.prefix() + "/media"));
    }
};

QTEST_GUILESS_MAIN(TargetsTest)
#include "tst_targets.moc"
