// ICQ's folder from the registry: a real Wine-format user.reg in a throw-away prefix on Linux,
// keys made with reg.exe on Windows.
#include "SampleInstallation.h"

#include "core/IcqDiscovery.h"

#include <QtTest>

class IcqDiscoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void registryValue_data()
    {
        QTest::addColumn<QStringList>("values"); // ICQ's values; none: no ICQ key
        QTest::addColumn<QString>("expected");   // the DOS path the registry names, or a text
        QTest::addColumn<QString>("box");
        const QString noValue = QStringLiteral("Error getting subkey value.");
        QTest::newRow("ICQPath with trailing backslash")
            << QStringList{"ICQPath=C:\\Program Files\\ICQ\\"} << "C:\\Program Files\\ICQ\\"
            << "";
        QTest::newRow("ICQPath without trailing backslash")
            << QStringList{"ICQPath=C:\\Program Files\\ICQ"} << "C:\\Program Files\\ICQ"
            << "";
        QTest::newRow("ICQPath before DataBase")
            << QStringList{"DataBase=C:\\Old\\DB", "ICQPath=C:\\ICQ\\"} << "C:\\ICQ\\"
            << "";
        QTest::newRow("only DataBase, with DB")
            << QStringList{"DataBase=C:\\ICQ\\DB\\DB99"} << "C:\\ICQ\\"
            << "";
        QTest::newRow("only DataBase, without DB") << QStringList{"DataBase=C:\\ICQ\\Db99b"} << ""
                                                   << "";
        // A value that is not text is no folder, however its bytes read.
        QTest::newRow("ICQPath a number") << QStringList{"ICQPath=dword:1"} << noValue << "";
        QTest::newRow("ICQPath bytes, no terminator")
            << QStringList{"ICQPath=hex:433A5C49435120"} << noValue << "";
        QTest::newRow("quotes and accents")
            << QStringList{"ICQPath=C:\\José \"Q\"\\Müller\\"} << "C:\\José \"Q\"\\Müller\\"
            << "";
        QTest::newRow("other drive")
            << QStringList{"DataBase=D:\\Apps\\ICQ\\DB"} << "D:\\Apps\\ICQ\\"
            << "";
#ifndef Q_OS_WIN
        // Cut at the NUL, the path would name another folder: the value counts as unreadable.
        // (Windows' reg.exe cannot write one.)
        QTest::newRow("NUL in ICQPath")
            << QStringList{QStringLiteral("ICQPath=C:\\ICQ") + QChar(0) + "\\x",
                           "DataBase=C:\\ICQ\\DB"}
            << "C:\\ICQ\\"
            << "";
#endif
        QTest::newRow("no key") << QStringList{} << ""
                                << "Error opening key.";
    }
    void registryValue()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        SampleInstallation sample;
        sample.writeRegistry(values);
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefix()));
#ifndef Q_OS_WIN
        // On Linux the DOS path names a folder through the prefix's drive links.
        QTemporaryDir driveD;
        QVERIFY(QDir(driveD.path()).mkpath(QStringLiteral("Apps/ICQ")));
        QFile::link(driveD.path(), sample.prefix() + QStringLiteral("/dosdevices/d:"));
        const QString drive = expected.left(3);
        if (drive == QLatin1String("C:\\") || drive == QLatin1String("D:\\"))
            expected = (drive[0] == 'C' ? QDir(sample.prefix()).canonicalPath() + "/drive_c"
                                        : QDir(driveD.path()).canonicalPath()) +
                       expected.mid(2).replace('\\', '/');
#endif
        QStringList notices;
        QCOMPARE(icqFolderFromRegistry([&notices](const QString& text) { notices << text; }),
                 expected);
        QTEST(notices.join(QString()), "box");
    }
};

QTEST_GUILESS_MAIN(IcqDiscoveryTest)
#include "tst_discovery.moc"
