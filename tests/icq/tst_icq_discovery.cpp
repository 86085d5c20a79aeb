// ICQ's folder from a real Wine-format user.reg in a throw-away prefix: the value rules, the
// registry messages and the Find button that shows the result.
#include "IcqTestSupport.h"
#include "ScriptedRuntime.h"

#include "app/frmMain.h"
#include "icq/IcqDiscovery.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
const QByteArray NoKey = "<no key>";
const QByteArray NoFile = "<no file>";
const QString ErrorText = QStringLiteral("Error getting subkey value.");
} // namespace

class IcqDiscoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void registryValue_data();
    void registryValue();
    void valueThatFillsTheBufferExactly();
    void mappedDrive();
    void findButtonShowsTheFolder();
    void findButtonEmptiesTheBoxWhenTheKeyIsMissing();
};

void IcqDiscoveryTest::registryValue_data()
{
    QTest::addColumn<QByteArray>("values"); // value lines of ICQ's key, as Wine writes them
    QTest::addColumn<QString>("expected");  // "<C>" stands for the prefix's drive_c
    QTest::addColumn<QString>("box");       // the plain box shown, if any

    QTest::newRow("ICQPath with trailing backslash")
        << QByteArray("\"ICQPath\"=\"C:\\\\Program Files\\\\ICQ\\\\\"") << "<C>/Program Files/ICQ/"
        << "";
    QTest::newRow("ICQPath without trailing backslash")
        << QByteArray("\"ICQPath\"=\"C:\\\\Program Files\\\\ICQ\"") << "<C>/Program Files/ICQ"
        << "";
    QTest::newRow("ICQPath wins over DataBase")
        << QByteArray("\"DataBase\"=\"C:\\\\Other\\\\DB\"\n\"ICQPath\"=\"C:\\\\ICQ\\\\\"")
        << "<C>/ICQ/"
        << "";
    QTest::newRow("value names ignore case")
        << QByteArray("\"icqpath\"=\"C:\\\\ICQ\\\\\"") << "<C>/ICQ/"
        << "";
    QTest::newRow("expandable string")
        << QByteArray("\"ICQPath\"=str(2):\"C:\\\\ICQ\\\\\"") << "<C>/ICQ/"
        << "";
    QTest::newRow("DataBase with DB")
        << QByteArray("\"DataBase\"=\"C:\\\\Program Files\\\\ICQ\\\\DB\"")
        << "<C>/Program Files/ICQ/"
        << "";
    QTest::newRow("DataBase cut at the first DB")
        << QByteArray("\"DataBase\"=\"C:\\\\ICQ\\\\DB\\\\DB99\"") << "<C>/ICQ/"
        << "";
    QTest::newRow("DataBase DB matched case-sensitively")
        << QByteArray("\"DataBase\"=\"C:\\\\Program Files\\\\ICQ\\\\db\"") << ""
        << "";
    QTest::newRow("DataBase of 99b has no DB")
        << QByteArray("\"DataBase\"=\"C:\\\\ICQ\\\\Db99b\"") << ""
        << "";
    QTest::newRow("ICQPath not a string falls back to DataBase")
        << QByteArray("\"ICQPath\"=dword:00000001\n\"DataBase\"=\"C:\\\\ICQ\\\\DB\"") << "<C>/ICQ/"
        << "";
    QTest::newRow("neither value") << QByteArray("\"UIN\"=dword:0000006f") << ErrorText << "";
    QTest::newRow("neither value readable")
        << QByteArray("\"ICQPath\"=hex:43,3a\n\"DataBase\"=dword:00000000") << ErrorText << "";
    QTest::newRow("ICQPath too long for the buffer, no DataBase")
        << QByteArray("\"ICQPath\"=\"C:\\\\") + QByteArray(300, 'x') + "\"" << ErrorText << "";
    QTest::newRow("escaped non-ASCII and quote")
        << QByteArray("\"ICQPath\"=\"C:\\\\Users\\\\Jos\\x00e9 \\\"Q\\\"\\\\ICQ\\\\\"")
        << QString::fromUtf8("<C>/Users/José \"Q\"/ICQ/") << "";
    QTest::newRow("UTF-8 as written")
        << QByteArray("\"ICQPath\"=\"C:\\\\M\xc3\xbcller\\\\ICQ\\\\\"")
        << QString::fromUtf8("<C>/Müller/ICQ/") << "";
    QTest::newRow("no key") << NoKey << ""
                            << "Error opening key.";
    QTest::newRow("no registry file") << NoFile << ""
                                      << "Error opening key.";
}

void IcqDiscoveryTest::registryValue()
{
    QFETCH(QByteArray, values);
    QFETCH(QString, expected);
    QFETCH(QString, box);

    TempWinePrefix prefix;
    if (values == NoKey)
        prefix.writeRegistry(QByteArray(), QByteArray());
    else if (values != NoFile)
        prefix.writeRegistry(values);

    ScriptedRuntime runtime;
    QCOMPARE(GetICQRegistryValue(runtime),
             expected.replace(QStringLiteral("<C>"), prefix.driveC()));
    if (box.isEmpty()) {
        QVERIFY(runtime.boxes.empty());
    } else {
        QCOMPARE(int(runtime.boxes.size()), 1);
        QCOMPARE(runtime.boxes[0].prompt, box);
        QCOMPARE(runtime.boxes[0].buttons, MsgButtons::OkOnly);
        QCOMPARE(runtime.boxes[0].icon, MsgIcon::None);
        QVERIFY(runtime.boxes[0].title.isEmpty());
    }
}

// 255 characters and the terminator fill the 256-byte buffer; one more does not fit.
void IcqDiscoveryTest::valueThatFillsTheBufferExactly()
{
    TempWinePrefix prefix;
    QDir(prefix.path()).mkpath(QStringLiteral("drive_c/") + QString(249, QLatin1Char('f')));
    const QByteArray fits = "C:\\" + QByteArray(249, 'f') + "\\ab";
    QCOMPARE(fits.size(), 255);
    QByteArray escaped = fits;
    escaped.replace("\\", "\\\\");

    prefix.writeRegistry("\"ICQPath\"=\"" + escaped + "\"");
    ScriptedRuntime runtime;
    QCOMPARE(GetICQRegistryValue(runtime), prefix.driveC() + QLatin1Char('/') +
                                               QString(249, QLatin1Char('f')) +
                                               QStringLiteral("/ab"));

    prefix.writeRegistry("\"ICQPath\"=\"" + escaped + "c\"\n\"DataBase\"=\"C:\\\\DB\"");
    QCOMPARE(GetICQRegistryValue(runtime), prefix.driveC() + QLatin1Char('/'));
    QVERIFY(runtime.boxes.empty());
}

// A drive other than C: leads wherever the prefix's link for it points.
void IcqDiscoveryTest::mappedDrive()
{
    TempWinePrefix prefix;
    QTemporaryDir elsewhere;
    QDir(elsewhere.path()).mkpath(QStringLiteral("Apps/ICQ"));
    prefix.mapDrive('d', elsewhere.path());
    prefix.writeRegistry("\"DataBase\"=\"D:\\\\Apps\\\\ICQ\\\\DB\"");

    ScriptedRuntime runtime;
    QCOMPARE(GetICQRegistryValue(runtime),
             QDir(elsewhere.path()).canonicalPath() + QStringLiteral("/Apps/ICQ/"));
}

void IcqDiscoveryTest::findButtonShowsTheFolder()
{
    TempWinePrefix prefix;
    prefix.writeRegistry("\"ICQPath\"=\"C:\\\\Program Files\\\\ICQ\"");
    ScriptedRuntime runtime;
    frmMain window(runtime);
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("txtICQLocation"));
    auto* find = window.findChild<QPushButton*>(QStringLiteral("cmdAutoFindICQDir"));
    QVERIFY(box && find);

    box->setText(QStringLiteral("typed by the user"));
    find->click();
    QCOMPARE(box->text(), prefix.driveC() + QStringLiteral("/Program Files/ICQ"));
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblBusy"))->text(), QStringLiteral("False"));
    QVERIFY(runtime.boxes.empty());

    // The error text is shown as it stands; the folder page judges it.
    prefix.writeRegistry("\"Other\"=\"x\"");
    find->click();
    QCOMPARE(box->text(), ErrorText);
}

void IcqDiscoveryTest::findButtonEmptiesTheBoxWhenTheKeyIsMissing()
{
    TempWinePrefix prefix;
    prefix.writeRegistry(QByteArray(), QByteArray());
    ScriptedRuntime runtime;
    frmMain window(runtime);
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("txtICQLocation"));
    QVERIFY(!box->text().isEmpty());

    window.findChild<QPushButton*>(QStringLiteral("cmdAutoFindICQDir"))->click();
    QCOMPARE(box->text(), QString());
    QCOMPARE(runtime.prompts(), QStringList{QStringLiteral("Error opening key.")});
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblBusy"))->text(), QStringLiteral("False"));
}

QTEST_MAIN(IcqDiscoveryTest)
#include "tst_icq_discovery.moc"
