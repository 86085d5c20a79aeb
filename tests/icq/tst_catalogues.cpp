// The plugin reader and the two catalogues of the Task Options page, through the real widgets
// of the window over real folders.
#include "IcqTestSupport.h"
#include "ScriptedRuntime.h"

#include "app/frmMain.h"
#include "errors/ErrorObject.h"
#include "icq/ComponentList.h"
#include "icq/PluginRecord.h"
#include "support/os/os.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

namespace {

const QByteArray SampleExample = QByteArray::fromHex("060053616D706C650200444201000000");

struct Entry
{
    QString text;
    int flag;
    QString folder;
    bool operator==(const Entry&) const = default;
};

} // namespace

namespace QTest {
template <> char* toString(const Entry& entry)
{
    return qstrdup(QStringLiteral("%1 / %2 / %3")
                       .arg(entry.text)
                       .arg(entry.flag)
                       .arg(entry.folder)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

class CataloguesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Reader
    void examplePluginRecord();
    void recordCutShort_data();
    void recordCutShort();
    void recordTextIsWindows1252();
    void missingOrUnreadablePluginFile();
    void shippedPluginsReadBack();

    // Component list
    void exampleEntry();
    void flagBecomesOneOrZero();
    void missingFolderLeftOutSilently();
    void emptyFolderNameListedWhenSourceExists();
    void duplicatePluginsGiveTwoEntries();
    void trailingBytesChangeNothing();
    void shortPluginFileStillListed();
    void nestedFolderWithEitherSeparator();
    void foldersLeavingTheSourceLeftOut_data();
    void foldersLeavingTheSourceLeftOut();
    void noPluginsFound();
    void refreshReplacesEntriesAndSelectsNone();
    void unreadablePluginReportedUnderTheHandlersName();

    // UIN list
    void uinFilesInAnyLetterCase();
    void uinFolderFoundInAnyLetterCase();
    void noUinsFound_data();
    void noUinsFound();
    void uinListingFailureReportedUnderTheHandlersName();

private:
    QString source() const { return m_dir->filePath(QStringLiteral("source")) + QLatin1Char('/'); }
    QString programFolder() const { return m_dir->filePath(QStringLiteral("program")); }
    void makeFolder(const QString& relative) const { QDir().mkpath(source() + relative); }
    void writePlugin(const QString& fileName, const QByteArray& bytes) const
    {
        TempWinePrefix::writeFile(programFolder() + QLatin1Char('/') + fileName, bytes);
    }
    QList<Entry> refreshComponents();
    // The same, in the order of their texts, where the listing's order does not matter.
    QList<Entry> refreshComponentsSorted()
    {
        QList<Entry> entries = refreshComponents();
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.text < b.text; });
        return entries;
    }
    QStringList refreshUins();
    QString busy() const { return m_window->findChild<QLabel*>(QStringLiteral("lblBusy"))->text(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedRuntime> m_runtime;
    std::unique_ptr<frmMain> m_window;
    QListWidget* m_components = nullptr;
    QListWidget* m_uins = nullptr;
};

void CataloguesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkpath(QStringLiteral("source"));
    QDir(m_dir->path()).mkpath(QStringLiteral("program"));
    m_runtime = std::make_unique<ScriptedRuntime>();
    m_runtime->programFolderPath = programFolder();
    m_window = std::make_unique<frmMain>(*m_runtime);
    m_window->gstrSource = source();
    m_components = m_window->findChild<QListWidget*>(QStringLiteral("lstZPXsList"));
    m_uins = m_window->findChild<QListWidget*>(QStringLiteral("lstUINsList"));
    QVERIFY(m_components && m_uins);
}

void CataloguesTest::cleanup()
{
    m_window.reset();
    m_runtime.reset();
    m_dir.reset();
}

// Refresh through the page's own button, then the entries with their item data.
QList<Entry> CataloguesTest::refreshComponents()
{
    m_window->findChild<QPushButton*>(QStringLiteral("cmdZPXListRefresh"))->click();
    QList<Entry> entries;
    for (int i = 0; i < m_components->count(); ++i) {
        const QListWidgetItem* item = m_components->item(i);
        entries.append({item->text(), item->data(Qt::UserRole).toInt(),
                        item->data(ComponentFolderRole).toString()});
    }
    return entries;
}

// The UIN list's buttons are disabled by design; the page's initialise step calls the handler.
QStringList CataloguesTest::refreshUins()
{
    m_window->cmdUINListRefresh_Click();
    QStringList entries;
    for (int i = 0; i < m_uins->count(); ++i)
        entries << m_uins->item(i)->text();
    return entries;
}

// ---- Reader ------------------------------------------------------------------------------------

void CataloguesTest::examplePluginRecord()
{
    QCOMPARE(pluginRecord("Sample", "DB", 1), SampleExample);
    writePlugin(QStringLiteral("a.zpx"), SampleExample);
    const PluginRecord record = ReadPluginRecord(programFolder() + QStringLiteral("/a.zpx"));
    QCOMPARE(record.ComponentName, QStringLiteral("Sample"));
    QCOMPARE(record.ComponentFolder, QStringLiteral("DB"));
    QCOMPARE(record.ItemDataFlag, qint16(1));
    QCOMPARE(record.ExtraText, QString());
}

void CataloguesTest::recordCutShort_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("extra");

    const QByteArray full = pluginRecord("Sample", "DB", 1, "xyz");
    const struct
    {
        int length;
        const char* name;
        const char* folder;
        int flag;
        const char* extra;
    } cuts[] = {
        {0, "", "", 0, ""},          {1, "", "", 0, ""},          {2, "", "", 0, ""},
        {5, "Sam", "", 0, ""},       {8, "Sample", "", 0, ""},    {9, "Sample", "", 0, ""},
        {11, "Sample", "D", 0, ""},  {12, "Sample", "DB", 0, ""}, {13, "Sample", "DB", 0, ""},
        {14, "Sample", "DB", 1, ""}, {15, "Sample", "DB", 1, ""}, {17, "Sample", "DB", 1, "x"},
    };
    for (const auto& cut : cuts)
        QTest::addRow("%d bytes", cut.length)
            << full.left(cut.length) << QString::fromLatin1(cut.name)
            << QString::fromLatin1(cut.folder) << cut.flag << QString::fromLatin1(cut.extra);
    // A count far beyond the end of the file reads what is there and no further.
    QTest::newRow("huge count") << QByteArray("\xff\xff"
                                              "abc",
                                              5)
                                << "abc"
                                << "" << 0 << "";
}

void CataloguesTest::recordCutShort()
{
    QFETCH(QByteArray, bytes);
    writePlugin(QStringLiteral("short.zpx"), bytes);
    const PluginRecord record = ReadPluginRecord(programFolder() + QStringLiteral("/short.zpx"));
    QTEST(record.ComponentName, "name");
    QTEST(record.ComponentFolder, "folder");
    QTEST(int(record.ItemDataFlag), "flag");
    QTEST(record.ExtraText, "extra");
}

void CataloguesTest::recordTextIsWindows1252()
{
    writePlugin(QStringLiteral("a.zpx"),
                pluginRecord("M\xfcller \x80", "Caf\xe9", -2, "\x93q\x94"));
    const PluginRecord record = ReadPluginRecord(programFolder() + QStringLiteral("/a.zpx"));
    QCOMPARE(record.ComponentName, QString::fromUtf8("Müller €"));
    QCOMPARE(record.ComponentFolder, QString::fromUtf8("Café"));
    QCOMPARE(record.ItemDataFlag, qint16(-2));
    QCOMPARE(record.ExtraText, QString::fromUtf8("“q”"));
}

void CataloguesTest::missingOrUnreadablePluginFile()
{
    const auto numberRaised = [](const QString& path) {
        try {
            ReadPluginRecord(path);
        } catch (const RuntimeError& failure) {
            return failure.error().number;
        }
        return 0;
    };
    QCOMPARE(numberRaised(programFolder() + QStringLiteral("/missing.zpx")),
             ErrorNumber::FileNotFound);
    QCOMPARE(numberRaised(programFolder()), ErrorNumber::PathFileAccessError);
}

// The generator of the shipped plugins and the reader agree on the format.
void CataloguesTest::shippedPluginsReadBack()
{
    const QDir built(QStringLiteral(ZEB_BUILT_PLUGINS));
    const QStringList files = built.entryList({QStringLiteral("*.zpx")}, QDir::Files);
    QVERIFY(files.size() >= 14);
    QStringList folders;
    for (const QString& file : files) {
        const PluginRecord record = ReadPluginRecord(built.filePath(file));
        QVERIFY2(!record.ComponentName.isEmpty(), qPrintable(file));
        QVERIFY2(IsSafeComponentFolder(record.ComponentFolder), qPrintable(file));
        QVERIFY(record.ItemDataFlag != 0);
        if (record.ComponentFolder == QStringLiteral("2000b"))
            QCOMPARE(record.ComponentName, QStringLiteral("ICQ 2000b messages and contacts"));
        folders << record.ComponentFolder;
    }
    for (const char* folder : {"DB", "NewDB", "Db99b", "2000a", "2000b", "2001a", "2002a", "2003a",
                               "CL", "sec", "DataFiles", "Plugins", "UIN", "Received Files"})
        QVERIFY2(folders.contains(QLatin1String(folder)), folder);
}

// ---- Component list
// ------------------------------------------------------------------------------

void CataloguesTest::exampleEntry()
{
    writePlugin(QStringLiteral("sample.zpx"), SampleExample);
    makeFolder(QStringLiteral("DB"));
    QCOMPARE(refreshComponents(), (QList<Entry>{{"Sample [DB]", 1, "DB"}}));
    QVERIFY(m_runtime->boxes.empty());
    QCOMPARE(busy(), QStringLiteral("False"));
}

void CataloguesTest::flagBecomesOneOrZero()
{
    makeFolder(QStringLiteral("A"));
    writePlugin(QStringLiteral("zero.zpx"), pluginRecord("Zero", "A", 0));
    writePlugin(QStringLiteral("minus.zpx"), pluginRecord("Minus", "A", -32768));
    writePlugin(QStringLiteral("seven.zpx"), pluginRecord("Seven", "A", 7));
    const QList<Entry> entries = refreshComponentsSorted();
    QCOMPARE(entries,
             (QList<Entry>{{"Minus [A]", 1, "A"}, {"Seven [A]", 1, "A"}, {"Zero [A]", 0, "A"}}));
}

void CataloguesTest::missingFolderLeftOutSilently()
{
    writePlugin(QStringLiteral("sample.zpx"), SampleExample);
    writePlugin(QStringLiteral("cl.zpx"), pluginRecord("Contacts", "CL", 1));
    makeFolder(QStringLiteral("CL"));
    // A file of the component's name is not its folder.
    TempWinePrefix::writeFile(source() + QStringLiteral("DB"), "not a folder");
    QCOMPARE(refreshComponents(), (QList<Entry>{{"Contacts [CL]", 1, "CL"}}));
    QVERIFY(m_runtime->boxes.empty());

    QFile::remove(source() + QStringLiteral("DB"));
    QDir(source()).rmdir(QStringLiteral("CL"));
    QCOMPARE(refreshComponents(), QList<Entry>{});
    QVERIFY(m_runtime->boxes.empty());
    QCOMPARE(busy(), QStringLiteral("False"));
}

void CataloguesTest::emptyFolderNameListedWhenSourceExists()
{
    writePlugin(QStringLiteral("all.zpx"), pluginRecord("Everything", "", 1));
    QCOMPARE(refreshComponents(), (QList<Entry>{{"Everything []", 1, ""}}));

    m_window->gstrSource = m_dir->filePath(QStringLiteral("absent/"));
    QCOMPARE(refreshComponents(), QList<Entry>{});
}

void CataloguesTest::duplicatePluginsGiveTwoEntries()
{
    writePlugin(QStringLiteral("one.zpx"), SampleExample);
    writePlugin(QStringLiteral("two.zpx"), SampleExample);
    makeFolder(QStringLiteral("DB"));
    QCOMPARE(refreshComponents(),
             (QList<Entry>{{"Sample [DB]", 1, "DB"}, {"Sample [DB]", 1, "DB"}}));
}

void CataloguesTest::trailingBytesChangeNothing()
{
    writePlugin(QStringLiteral("sample.zpx"),
                SampleExample + QByteArray("\x05\x00junk[x]\xff", 10));
    makeFolder(QStringLiteral("DB"));
    QCOMPARE(refreshComponents(), (QList<Entry>{{"Sample [DB]", 1, "DB"}}));
}

void CataloguesTest::shortPluginFileStillListed()
{
    writePlugin(QStringLiteral("cut.zpx"), SampleExample.left(12));
    writePlugin(QStringLiteral("empty.zpx"), QByteArray());
    makeFolder(QStringLiteral("DB"));
    const QList<Entry> entries = refreshComponentsSorted();
    QCOMPARE(entries, (QList<Entry>{{" []", 0, ""}, {"Sample [DB]", 0, "DB"}}));
    QVERIFY(m_runtime->boxes.empty());
}

// Plugin files may name nested folders with either separator; the entry shows the native one.
void CataloguesTest::nestedFolderWithEitherSeparator()
{
    writePlugin(QStringLiteral("back.zpx"), pluginRecord("Skins", "Data\\Skins", 1));
    writePlugin(QStringLiteral("fwd.zpx"), pluginRecord("Sounds", "Data/Sounds", 1));
    makeFolder(QStringLiteral("Data/Skins"));
    makeFolder(QStringLiteral("Data/Sounds"));
    const QList<Entry> entries = refreshComponentsSorted();
    const QString sep(QLatin1Char(Os::PathSeparator));
    QCOMPARE(entries,
             (QList<Entry>{{"Skins [Data" + sep + "Skins]", 1, "Data" + sep + "Skins"},
                           {"Sounds [Data" + sep + "Sounds]", 1, "Data" + sep + "Sounds"}}));
}

void CataloguesTest::foldersLeavingTheSourceLeftOut_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QString>("existing"); // made beforehand, relative to the work folder
    QTest::addColumn<bool>("listed");

    QTest::newRow("parent") << QByteArray("..") << "" << false;
    QTest::newRow("sibling, backslash") << QByteArray("..\\elsewhere") << "elsewhere" << false;
    QTest::newRow("sibling, slash") << QByteArray("../elsewhere") << "elsewhere" << false;
    QTest::newRow("down and out") << QByteArray("DB\\..\\..\\elsewhere") << "source/DB;elsewhere"
                                  << false;
    QTest::newRow("down and back") << QByteArray("DB/../DB") << "source/DB" << false;
    QTest::newRow("climbing with trailing dots") << QByteArray("...") << "source/..." << false;
    QTest::newRow("climbing with blanks") << QByteArray(".. ") << "source/.. " << false;
    QTest::newRow("leading slash") << QByteArray("/etc") << "source/etc" << false;
    QTest::newRow("leading backslash") << QByteArray("\\etc") << "source/etc" << false;
    QTest::newRow("drive") << QByteArray("C:\\ICQ") << "source/C:/ICQ" << false;
    QTest::newRow("drive, no separator") << QByteArray("d:ICQ") << "source/d:ICQ" << false;
    QTest::newRow("drive alone") << QByteArray("Z:") << "source/Z:" << false;
    QTest::newRow("NUL inside") << QByteArray("DB\0x", 4) << "source/DB" << false;
    // Names that only look alike stay.
    QTest::newRow("dots inside a name") << QByteArray("a..b") << "source/a..b" << true;
    QTest::newRow("dots before a name") << QByteArray("..data") << "source/..data" << true;
    QTest::newRow("colon later") << QByteArray("DB:1") << "source/DB:1" << true;
    QTest::newRow("current folder") << QByteArray("./DB") << "source/DB" << true;
}

void CataloguesTest::foldersLeavingTheSourceLeftOut()
{
    QFETCH(QByteArray, folder);
    QFETCH(QString, existing);
    QFETCH(bool, listed);

    for (const QString& path : existing.split(QLatin1Char(';')))
        QVERIFY(QDir(m_dir->path()).mkpath(path.isEmpty() ? QStringLiteral(".") : path));
    writePlugin(QStringLiteral("p.zpx"), pluginRecord("Component", folder, 1));
    // Without the rule every one of these would be listed: its folder exists.
    const QByteArray native = QByteArray(folder).replace('\\', '/');
    QVERIFY(folder.contains('\0') || QFileInfo(source() + QString::fromLatin1(native)).isDir());
    QCOMPARE(refreshComponents().size(), listed ? 1 : 0);
    QVERIFY(m_runtime->boxes.empty());
    QCOMPARE(busy(), QStringLiteral("False"));
}

void CataloguesTest::noPluginsFound()
{
    m_components->addItem(QStringLiteral("left over"));
    writePlugin(QStringLiteral("readme.txt"), SampleExample);
    writePlugin(QStringLiteral(".hidden.zpx"), SampleExample);
    QDir(programFolder()).mkpath(QStringLiteral("folder.zpx"));
    makeFolder(QStringLiteral("DB"));

    QCOMPARE(refreshComponents(), QList<Entry>{});
    QCOMPARE(int(m_runtime->boxes.size()), 1);
    QCOMPARE(m_runtime->boxes[0].prompt, QStringLiteral("No backup plugins were found!"));
    QCOMPARE(m_runtime->boxes[0].icon, MsgIcon::Critical);
    QCOMPARE(m_runtime->boxes[0].buttons, MsgButtons::OkOnly);
    QCOMPARE(m_runtime->boxes[0].title, QStringLiteral("Error!"));
    QCOMPARE(busy(), QStringLiteral("False"));

    // The extension is matched without regard to case.
    writePlugin(QStringLiteral("UPPER.ZPX"), SampleExample);
    QCOMPARE(refreshComponents(), (QList<Entry>{{"Sample [DB]", 1, "DB"}}));
}

void CataloguesTest::refreshReplacesEntriesAndSelectsNone()
{
    writePlugin(QStringLiteral("sample.zpx"), SampleExample);
    makeFolder(QStringLiteral("DB"));
    refreshComponents();
    m_components->selectAll();
    QCOMPARE(refreshComponents().size(), 1);
    QCOMPARE(m_components->selectedItems().size(), 0);
}

// A plugin file that is listed but cannot be read: the failure goes to the error sink under the
// handler's name, the entries read before it stay and the busy flag stays raised.
void CataloguesTest::unreadablePluginReportedUnderTheHandlersName()
{
    makeFolder(QStringLiteral("DB"));
    writePlugin(QStringLiteral("a.zpx"), SampleExample);
    writePlugin(QStringLiteral("c.zpx"), SampleExample);
    // An ordinary file to the listing whose first byte cannot be read.
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), programFolder() + "/b.zpx"));

    std::vector<std::string> order;
    QCOMPARE(Os::listFiles((programFolder() + QStringLiteral("/*.zpx")).toStdString(), order), 0);
    const auto failing = std::find(order.begin(), order.end(), std::string("b.zpx"));
    QVERIFY(failing != order.end());

    refreshComponents();
    QCOMPARE(m_components->count(), int(failing - order.begin()));
    QCOMPARE(m_runtime->dialogsShown, 1);
    QCOMPARE(m_runtime->clipboard,
             QStringLiteral("Error 75: 'Path/File access error', Source: 'ZEB2000', Proc: "
                            "'frmMain.cmdZPXListRefresh_Click()'"));
    QCOMPARE(busy(), QStringLiteral("True"));
}

// ---- UIN list --------------------------------------------------------------------------------

void CataloguesTest::uinFilesInAnyLetterCase()
{
    makeFolder(QStringLiteral("UIN"));
    TempWinePrefix::writeFile(source() + QStringLiteral("UIN/111.uin"), "");
    TempWinePrefix::writeFile(source() + QStringLiteral("UIN/222.UIN"), "");
    TempWinePrefix::writeFile(source() + QStringLiteral("UIN/333.txt"), "");
    TempWinePrefix::writeFile(source() + QStringLiteral("UIN/444.uin.bak"), "");
    makeFolder(QStringLiteral("UIN/555.uin"));
    QStringList entries = refreshUins();
    entries.sort();
    QCOMPARE(entries, (QStringList{"111", "222"}));
    QVERIFY(m_runtime->boxes.empty());
    QCOMPARE(busy(), QStringLiteral("False"));
    QCOMPARE(m_uins->selectedItems().size(), 0);
}

void CataloguesTest::uinFolderFoundInAnyLetterCase()
{
    makeFolder(QStringLiteral("uin"));
    TempWinePrefix::writeFile(source() + QStringLiteral("uin/12345678.Uin"), "");
    QCOMPARE(refreshUins(), QStringList{"12345678"});

    // For a restore the source is the backup folder, with UINs of its own.
    m_window->gstrSource = m_dir->filePath(QStringLiteral("backup/"));
    QDir().mkpath(m_window->gstrSource + QStringLiteral("UIN"));
    TempWinePrefix::writeFile(m_window->gstrSource + QStringLiteral("UIN/999.uin"), "");
    QCOMPARE(refreshUins(), QStringList{"999"});
}

void CataloguesTest::noUinsFound_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("missing UIN folder") << false;
    QTest::newRow("empty UIN folder") << true;
}

void CataloguesTest::noUinsFound()
{
    QFETCH(bool, folderExists);
    if (folderExists)
        makeFolder(QStringLiteral("UIN"));
    m_uins->addItem(QStringLiteral("left over"));
    QCOMPARE(refreshUins(), QStringList{});
    QCOMPARE(int(m_runtime->boxes.size()), 1);
    QCOMPARE(m_runtime->boxes[0].prompt, QStringLiteral("No UINs were found!"));
    QCOMPARE(m_runtime->boxes[0].icon, MsgIcon::Critical);
    QCOMPARE(m_runtime->boxes[0].title, QStringLiteral("Error!"));
    QCOMPARE(busy(), QStringLiteral("False"));
}

void CataloguesTest::uinListingFailureReportedUnderTheHandlersName()
{
    // A folder name longer than any the file system allows cannot be listed at all.
    m_window->gstrSource = m_dir->filePath(QString(300, QLatin1Char('n'))) + QLatin1Char('/');
    m_uins->addItem(QStringLiteral("left over"));
    QCOMPARE(refreshUins(), QStringList{});
    QCOMPARE(m_runtime->clipboard,
             QStringLiteral("Error 52: 'Bad file name or number', Source: 'ZEB2000', Proc: "
                            "'frmMain.cmdUINListRefresh_Click()'"));
    QVERIFY(m_runtime->boxes.empty());
    QCOMPARE(busy(), QStringLiteral("True"));
}

QTEST_MAIN(CataloguesTest)
#include "tst_catalogues.moc"
