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
    void init();
    void cleanup();
    void windowOfTheFirstUin();
    void windowOfTheSecondUinOnly();
    void windowsOfOtherTitlesOnly();
    void noUinFiles();
    void folderWithoutTrailingBackslash();
    void noRegistryKey();
    void eachCallLooksAgain();

private:
    void openWindow(const QString& title);
    void addUinFiles() const;
    QString icqFolder() const { return m_prefix->path() + QStringLiteral("/drive_c/ICQ/"); }

    std::unique_ptr<TempWinePrefix> m_prefix;
    std::vector<std::unique_ptr<QWidget>> m_windows;
};

void IcqRunningTest::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
}

void IcqRunningTest::init()
{
    m_prefix = std::make_unique<TempWinePrefix>();
    QDir().mkpath(icqFolder() + QStringLiteral("uin"));
    m_prefix->writeRegistry("\"ICQPath\"=\"C:\\\\ICQ\\\\\"");
}

void IcqRunningTest::cleanup()
{
    m_windows.clear();
    m_prefix.reset();
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

// Two users, the first with a lower-case extension and the second with an upper-case one.
void IcqRunningTest::addUinFiles() const
{
    TempWinePrefix::writeFile(icqFolder() + QStringLiteral("uin/11111111.uin"), "");
    TempWinePrefix::writeFile(icqFolder() + QStringLiteral("uin/22222222.UIN"), "");
}

void IcqRunningTest::windowOfTheFirstUin()
{
    addUinFiles();
    openWindow(QStringLiteral("11111111"));
    ScriptedRuntime runtime;
    QVERIFY(IsICQRunning(runtime));
    QVERIFY(runtime.boxes.empty());
}

void IcqRunningTest::windowOfTheSecondUinOnly()
{
    addUinFiles();
    openWindow(QStringLiteral("22222222"));
    ScriptedRuntime runtime;
    QVERIFY(IsICQRunning(runtime));
}

// The title must be the UIN itself, not a name that holds it or the file's name.
void IcqRunningTest::windowsOfOtherTitlesOnly()
{
    addUinFiles();
    openWindow(QStringLiteral("33333333"));
    openWindow(QStringLiteral("111111111"));
    openWindow(QStringLiteral("11111111.uin"));
    openWindow(QStringLiteral("ICQ 11111111"));
    ScriptedRuntime runtime;
    QVERIFY(!IsICQRunning(runtime));
}

void IcqRunningTest::noUinFiles()
{
    TempWinePrefix::writeFile(icqFolder() + QStringLiteral("uin/11111111.txt"), "");
    openWindow(QStringLiteral("11111111"));
    ScriptedRuntime runtime;
    QVERIFY(!IsICQRunning(runtime));
}

void IcqRunningTest::folderWithoutTrailingBackslash()
{
    m_prefix->writeRegistry("\"ICQPath\"=\"C:\\\\ICQ\"");
    addUinFiles();
    openWindow(QStringLiteral("22222222"));
    ScriptedRuntime runtime;
    QVERIFY(IsICQRunning(runtime));
}

// The registry's message shows, and the run goes on as if ICQ were not running.
void IcqRunningTest::noRegistryKey()
{
    m_prefix->writeRegistry(QByteArray(), QByteArray());
    addUinFiles();
    openWindow(QStringLiteral("11111111"));
    ScriptedRuntime runtime;
    QVERIFY(!IsICQRunning(runtime));
    QCOMPARE(runtime.prompts(), QStringList{QStringLiteral("Error opening key.")});
}

void IcqRunningTest::eachCallLooksAgain()
{
    addUinFiles();
    ScriptedRuntime runtime;
    QVERIFY(!IsICQRunning(runtime));
    openWindow(QStringLiteral("11111111"));
    QVERIFY(IsICQRunning(runtime));
    m_windows.clear();
    QTRY_VERIFY(!IsICQRunning(runtime));
}

QTEST_MAIN(IcqRunningTest)
#include "tst_icq_running.moc"
