// The component and UIN catalogues over real folders, and the shipped plugins read back.
#include "SampleInstallation.h"

#include "core/ComponentCatalogue.h"
#include "core/PluginRecord.h"
#include "core/UinCatalogue.h"

#include <QtTest>

namespace {

// The 16-byte example plugin: "Sample", folder "DB", flag 1, an empty fourth field.
const QByteArray Sample = QByteArray::fromHex("060053616D706C650200444201000000");

QByteArray plugin(const QByteArray& folder)
{
    return QByteArray("\1\0P", 3) + char(folder.size()) + '\0' + folder + QByteArray("\1\0\0\0", 4);
}

// The offered components as "Name [Folder] flag", sorted.
QStringList offered(const SampleInstallation& sample)
{
    QStringList texts;
    for (const Component& component : offeredComponents(sample.programFolder(), sample.icqFolder()))
        texts << component.entryText() + ' ' + QString::number(component.flag ? 1 : 0);
    texts.sort();
    return texts;
}

} // namespace

class CataloguesTest : public QObject
{
    Q_OBJECT

private slots:
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
        const QStringList existing = {"../elsewhere", "etc", "C:/ICQ", "d:ICQ", "1:ICQ", "DB"};
        for (const char* folder : {"..", "../elsewhere", "DB\\..\\..\\elsewhere", "/etc", "\\etc",
                                   "C:\\ICQ", "d:ICQ", "1:ICQ", "", ".", "./"})
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
        QTEST(offered(sample), "entries");
    }

    void uins_data()
    {
        QTest::addColumn<QStringList>("files"); // in the UIN folder; none: no folder
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("box");
        QTest::newRow("any letter case")
            << QStringList{"111.uin", "222.UIN", "333.txt"} << QStringList{"111", "222"};
        QTest::newRow("no UIN files")
            << QStringList{"333.txt"} << QStringList{} << "No UINs were found!";
        QTest::newRow("no UIN folder") << QStringList{} << QStringList{} << "No UINs were found!";
    }
    void uins()
    {
        QFETCH(QStringList, files);
        SampleInstallation sample;
        for (const QString& file : files)
            sample.addUin(sample.icqFolder(), file);
        QTEST(uinsOnSide(sample.icqFolder()), "entries");
    }

    // The generator of the shipped plugins and the reader agree on the format.
    void shippedPluginsReadBack()
    {
        const QDir built(QStringLiteral(ZEB_BUILT_PLUGINS));
        QStringList folders;
        for (const QString& file : built.entryList({QStringLiteral("*.zpx")}, QDir::Files)) {
            const PluginRecord record = readPluginRecord(built.filePath(file));
            QVERIFY2(!record.name.isEmpty() && record.flag != 0, qPrintable(file));
            QVERIFY2(isSafeComponentFolder(record.folder), qPrintable(file));
            folders << record.folder;
        }
        for (const char* folder :
             {"DB", "NewDB", "Db99b", "2000a", "2000b", "2001a", "2002a", "2003a", "CL", "sec",
              "DataFiles", "Plugins", "UIN", "Received Files"})
            QVERIFY2(folders.contains(QLatin1String(folder)), folder);
    }
};

QTEST_GUILESS_MAIN(CataloguesTest)
#include "tst_catalogues.moc"
