// What the program finds of ICQ: its folder in the registry (a real Wine-format user.reg in a
// throw-away prefix on Linux, keys made with reg.exe on Windows), and the component and UIN
// catalogues over real folders.
#include "SampleInstallation.h"

#include "core/ComponentCatalogue.h"
#include "core/IcqDiscovery.h"
#include "core/UinCatalogue.h"

#include <QtTest>

namespace {

// The 16-byte example plugin: "Sample", folder "DB", flag 1, an empty fourth field.
const QByteArray Sample = QByteArray::fromHex("060053616D706C650200444201000000");

QByteArray plugin(const QByteArray& folder)
{
    return QByteArray("\1\0P", 3) + char(folder.size()) + '\0' + folder + QByteArray("\1\0\0\0", 4);
}

} // namespace

class CataloguesTest : public QObject
{
    Q_OBJECT

private slots:
    void registryValue_data()
    {
        QTest::addColumn<QStringList>("values"); // ICQ's values; none: no ICQ key
        QTest::addColumn<QString>("expected");   // the DOS path the registry names, or a text
        QTest::addColumn<QString>("box");
        const auto row = [](const char* tag, const QStringList& values, const QString& expected,
                            const QString& box = QString()) {
            QTest::newRow(tag) << values << expected << box;
        };
        const QString noValue = "Error getting subkey value.";
        row("ICQPath before DataBase", {"DataBase=C:\\Old\\DB", "ICQPath=C:\\ICQ"}, "C:\\ICQ");
        row("only DataBase, with DB", {"DataBase=C:\\ICQ\\DB\\DB99"}, "C:\\ICQ\\");
        row("only DataBase, without DB", {"DataBase=C:\\ICQ\\Db99b"}, "");
        // A value that is not text is no folder, however its bytes read.
        row("ICQPath a number", {"ICQPath=dword:00000001"}, noValue);
        row("ICQPath bytes, no terminator", {"ICQPath=hex:43,3a,5c,49,43,51,20"}, noValue);
        // Ω and the Cyrillic name lie outside every Western ANSI code page.
        row("quotes, accents and other scripts", {"ICQPath=C:\\José \"Q\"\\Müller Ω\\Сохр\\"},
            "C:\\José \"Q\"\\Müller Ω\\Сохр\\");
        // Far past any fixed buffer: 303 characters, twice as many bytes in UTF-8.
        const QString longPath = "C:\\" + (QString(49, QChar(0x0416)) + '\\').repeated(6);
        row("long path in another script", {"ICQPath=" + longPath}, longPath);
#ifndef Q_OS_WIN
        // Cut at the NUL, the path would name another folder: the value counts as unreadable.
        // (Windows' reg.exe cannot write one.)
        row("NUL in ICQPath",
            {"ICQPath=C:\\ICQ" + QString(QChar(0)) + "\\x", "DataBase=C:\\ICQ\\DB"}, "C:\\ICQ\\");
#endif
        row("no key", {}, "", "Error opening key.");
    }
    void registryValue()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        SampleInstallation sample;
        sample.writeRegistry(values);
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefix()));
#ifndef Q_OS_WIN
        // On Linux the DOS path names a folder through the prefix's drive link C:.
        if (expected.startsWith("C:\\"))
            expected = QDir(sample.prefix()).canonicalPath() + "/drive_c" +
                       expected.mid(2).replace('\\', '/');
#endif
        QStringList notices;
        QCOMPARE(icqFolderFromRegistry([&notices](const QString& text) { notices << text; }),
                 expected);
        QTEST(notices.join(QString()), "box");
    }

    void components_data()
    {
        QTest::addColumn<QByteArrayList>("plugins");
        QTest::addColumn<QStringList>("folders"); // made below the ICQ folder
        QTest::addColumn<QStringList>("entries");
        const QStringList db = {"DB"};
        const QStringList sample = {"Sample [DB] 1"};
        QTest::newRow("example") << QByteArrayList{Sample} << db << sample;
        QTest::newRow("missing folder")
            << QByteArrayList{Sample} << QStringList{"CL"} << QStringList{};
        QTest::newRow("duplicates") << QByteArrayList{Sample, Sample} << db << sample + sample;
        QTest::newRow("trailing bytes")
            << QByteArrayList{Sample + QByteArray("\5\0junk\xff", 8)} << db << sample;
        // A record cut off before its flag could name the whole side as its folder.
        QTest::newRow("cut before the flag")
            << QByteArrayList{QByteArray(), "\1", Sample.left(12), Sample.left(13),
                              QByteArray("\x10\0Sample\2\0DB\1\0", 14)}
            << db << QStringList{};
        QTest::newRow("cut in the extra text")
            << QByteArrayList{Sample.left(14), Sample.left(14) + QByteArray("\5\0ab", 4)} << db
            << sample + sample;
        QTest::newRow("no plugins") << QByteArrayList{} << db << QStringList{};
        // Each of these folders exists, yet leads out of the ICQ folder or is that folder itself.
        // The undo sets of restores are the program's own.
        const QStringList existing = {"../elsewhere", "etc",         "C:/ICQ", "d:ICQ", "1:ICQ",
                                      "DB",           "ZEB Undo/DB", "...",    ". ."};
        for (const char* folder :
             {"..", "../elsewhere", "DB\\..\\..\\elsewhere", "/etc", "\\etc", "C:\\ICQ", "d:ICQ",
              "1:ICQ", "", ".", "./", "zeb undo/DB", "./ZEB Undo", ".\\ZEB Undo\\DB",
              "ZEB Undo./DB", "./ZEB Undo /DB", "...", ". .", "DB/ ../.."})
            QTest::addRow("unsafe '%s'", folder)
                << QByteArrayList{plugin(folder)} << existing << QStringList{};
        QTest::newRow("dots inside a name")
            << QByteArrayList{plugin("a..b")} << QStringList{"a..b"} << QStringList{"P [a..b] 1"};
    }
    void components()
    {
        QFETCH(QByteArrayList, plugins);
        QFETCH(QStringList, folders);
        SampleInstallation sample;
        for (qsizetype i = 0; i < plugins.size(); ++i)
            SampleInstallation::writeFile(sample.programFolder() + QStringLiteral("/%1.zpx").arg(i),
                                          plugins[i]);
        for (const QString& folder : folders)
            QVERIFY(QDir().mkpath(sample.icqFolder() + folder));
        QStringList offered; // as "Name [Folder] flag", sorted
        for (const Component& component :
             offeredComponents(sample.programFolder(), sample.icqFolder()))
            offered << component.entryText() + ' ' + QString::number(component.flag ? 1 : 0);
        offered.sort();
        QTEST(offered, "entries");
    }

    // UIN files in any letter case; none without a UIN folder.
    void uins()
    {
        SampleInstallation sample;
        QCOMPARE(uinsOnSide(sample.icqFolder()), QStringList());
        for (const char* file : {"111.uin", "222.UIN", "333.txt", "444.uin.bak"})
            sample.addUin(sample.icqFolder(), file);
        QCOMPARE(uinsOnSide(sample.icqFolder()), QStringList({"111", "222"}));
    }
};

QTEST_GUILESS_MAIN(CataloguesTest)
#include "tst_catalogues.moc"
