// ICQ's folder from a real Wine-format user.reg in a throw-away prefix.
#include "SampleInstallation.h"

#include "core/IcqDiscovery.h"

#include <QtTest>

class IcqDiscoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void registryValue_data()
    {
        QTest::addColumn<QString>("values");   // ICQ's value lines; "-": no ICQ key, "": no file
        QTest::addColumn<QString>("expected"); // "<C>": the prefix's drive_c, "<D>": drive D:
        QTest::addColumn<QString>("box");
        const QString noValue = QStringLiteral("Error getting subkey value.");
        QTest::newRow("ICQPath with trailing backslash")
            << "\"ICQPath\"=\"C:\\\\Program Files\\\\ICQ\\\\\""
            << "<C>/Program Files/ICQ/"
            << "";
        QTest::newRow("ICQPath without trailing backslash")
            << "\"ICQPath\"=\"C:\\\\Program Files\\\\ICQ\""
            << "<C>/Program Files/ICQ"
            << "";
        QTest::newRow("only DataBase, with DB") << "\"DataBase\"=\"C:\\\\ICQ\\\\DB\\\\DB99\""
                                                << "<C>/ICQ/"
                                                << "";
        QTest::newRow("only DataBase, without DB") << "\"DataBase\"=\"C:\\\\ICQ\\\\Db99b\""
                                                   << ""
                                                   << "";
        QTest::newRow("neither value") << "\"ICQPath\"=dword:00000001" << noValue << "";
        QTest::newRow("escaped") << "\"ICQPath\"=\"C:\\\\Jos\\x00e9 \\\"Q\\\"\\\\ICQ\\\\\""
                                 << "<C>/José \"Q\"/ICQ/"
                                 << "";
        QTest::newRow("UTF-8 as written") << "\"ICQPath\"=\"C:\\\\Müller\\\\\""
                                          << "<C>/Müller/"
                                          << "";
        // Cut at the NUL, the path would name another folder: the value counts as unreadable.
        QTest::newRow("NUL in ICQPath")
            << "\"ICQPath\"=\"C:\\\\ICQ\\0\\\\x\"\n\"DataBase\"=\"C:\\\\ICQ\\\\DB\""
            << "<C>/ICQ/"
            << "";
        QTest::newRow("mapped drive") << "\"DataBase\"=\"D:\\\\Apps\\\\ICQ\\\\DB\""
                                      << "<D>/Apps/ICQ/"
                                      << "";
        QTest::newRow("no key") << "-"
                                << ""
                                << "Error opening key.";
        QTest::newRow("no file") << ""
                                 << ""
                                 << "Error opening key.";
    }
    void registryValue()
    {
        QFETCH(QString, values);
        QFETCH(QString, expected);
        SampleInstallation sample;
        QTemporaryDir driveD;
        QVERIFY(QDir(driveD.path()).mkpath(QStringLiteral("Apps/ICQ")));
        QFile::link(driveD.path(), sample.prefix() + QStringLiteral("/dosdevices/d:"));
        const QString userReg = sample.prefix() + QStringLiteral("/user.reg");
        if (values == QLatin1String("-"))
            SampleInstallation::writeFile(userReg,
                                          "WINE REGISTRY Version 2\n\n[Software\\\\Wine] 1\n");
        else if (values.isEmpty())
            QFile::remove(userReg);
        else
            sample.writeRegistry(values);
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefix()));

        QStringList notices;
        expected.replace(QStringLiteral("<C>"), QDir(sample.prefix()).canonicalPath() + "/drive_c");
        QCOMPARE(icqFolderFromRegistry([&notices](const QString& text) { notices << text; }),
                 expected.replace(QStringLiteral("<D>"), QDir(driveD.path()).canonicalPath()));
        QTEST(notices.join(QString()), "box");
    }
};

QTEST_GUILESS_MAIN(IcqDiscoveryTest)
#include "tst_discovery.moc"
