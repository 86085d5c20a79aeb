// Whether ICQ runs, against real top-level X11 windows: ICQ titles its main window with the UIN
// that is logged on. Runs on an Xvfb of its own, with Qt's xcb platform.
#include "IcqTestSupport.h"
#include "ScriptedRuntime.h"

#include "icq/IcqDiscovery.h"

#include <QWidget>
#include <QtTest>

#include <memory>
#include <vector>

class IcqRunningTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowTitles_data();
    void windowTitles();
    void eachCallLooksAgain();

private:
    void openWindow(const QString& title);

    std::vector<std::unique_ptr<QWidget>> m_windows;
};

void IcqRunningTest::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
}

void IcqRunningTest::openWindow(const QString& title)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(title);
    window->resize(120, 40);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    m_windows.push_back(std::move(window));
}

void IcqRunningTest::windowTitles_data()
{
    QTest::addColumn<QByteArray>("icqPath");   // as user.reg holds it; empty: no ICQ key
    QTest::addColumn<QStringList>("uinFiles"); // in ICQ's "uin" folder
    QTest::addColumn<QStringList>("titles");   // of the windows open
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("boxes");

    const QByteArray withSeparator = "C:\\\\ICQ\\\\";
    const QStringList two = {"11111111.uin", "22222222.UIN"};
    QTest::newRow("first UIN") << withSeparator << two << QStringList{"11111111"} << true
                               << QStringList{};
    QTest::newRow("second UIN only")
        << withSeparator << two << QStringList{"22222222"} << true << QStringList{};
    // The title must be the UIN itself, not a name that holds it or the file's name.
    QTest::newRow("other titles only")
        << withSeparator << two
        << QStringList{"33333333", "111111111", "11111111.uin", "ICQ 11111111"} << false
        << QStringList{};
    QTest::newRow("no UIN files") << withSeparator << QStringList{"11111111.txt"}
                                  << QStringList{"11111111"} << false << QStringList{};
    QTest::newRow("folder without trailing backslash")
        << QByteArray("C:\\\\ICQ") << two << QStringList{"22222222"} << true << QStringList{};
    // The registry's message shows, and the run goes on as if ICQ were not running.
    QTest::newRow("no ICQ key") << QByteArray() << two << QStringList{"11111111"} << false
                                << QStringList{"Error opening key."};
}

void IcqRunningTest::windowTitles()
{
    QFETCH(QByteArray, icqPath);
    QFETCH(QStringList, uinFiles);
    QFETCH(QStringList, titles);

    TempWinePrefix prefix;
    if (icqPath.isEmpty())
        prefix.writeRegistry(QByteArray(), QByteArray());
    else
        prefix.writeRegistry("\"ICQPath\"=\"" + icqPath + "\"");
    const QString uinFolder = prefix.path() + QStringLiteral("/drive_c/ICQ/uin/");
    QDir().mkpath(uinFolder);
    for (const QString& file : uinFiles)
        TempWinePrefix::writeFile(uinFolder + file, "");
    for (const QString& title : titles)
        openWindow(title);

    ScriptedRuntime runtime;
    QTEST(IsICQRunning(runtime), "running");
    QTEST(runtime.prompts(), "boxes");
    m_windows.clear();
}

void IcqRunningTest::eachCallLooksAgain()
{
    TempWinePrefix prefix;
    prefix.writeRegistry("\"ICQPath\"=\"C:\\\\ICQ\\\\\"");
    QDir().mkpath(prefix.path() + QStringLiteral("/drive_c/ICQ/uin"));
    TempWinePrefix::writeFile(prefix.path() + QStringLiteral("/drive_c/ICQ/uin/11111111.uin"), "");

    ScriptedRuntime runtime;
    QVERIFY(!IsICQRunning(runtime));
    openWindow(QStringLiteral("11111111"));
    QVERIFY(IsICQRunning(runtime));
    m_windows.clear();
    QTRY_VERIFY(!IsICQRunning(runtime));
}

QTEST_MAIN(IcqRunningTest)
#include "tst_icq_running.moc"
