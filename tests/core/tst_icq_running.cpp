// Whether ICQ runs, against real top-level X11 windows: ICQ titles its main window with the UIN
// that is logged on. Runs on an Xvfb of its own with Qt's xcb platform on Linux, on Windows
// with real windows of its own.
#include "SampleInstallation.h"

#include "core/IcqDiscovery.h"

#include <QWidget>
#include <QtTest>

#include <memory>
#include <vector>

class IcqRunningTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifdef Q_OS_WIN
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("windows"));
#else
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
#endif
    }
    void windowTitles_data()
    {
        QTest::addColumn<QStringList>("uinFiles"); // in ICQ's UIN folder
        QTest::addColumn<QStringList>("titles");   // of the windows open
        QTest::addColumn<bool>("running");
        const QStringList two = {"11111111.uin", "22222222.UIN"};
        QTest::newRow("first UIN") << two << QStringList{"11111111"} << true;
        QTest::newRow("second UIN only") << two << QStringList{"22222222"} << true;
        // The title must be the UIN itself, not a text that holds it.
        QTest::newRow("none") << two << QStringList{"33333333", "111111111", "ICQ 11111111"}
                              << false;
        QTest::newRow("no UIN files")
            << QStringList{"11111111.txt"} << QStringList{"11111111"} << false;
    }
    void windowTitles()
    {
        QFETCH(QStringList, uinFiles);
        QFETCH(QStringList, titles);
        SampleInstallation sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefix()));
        for (const QString& file : uinFiles)
            sample.addUin(sample.icqFolder(), file);
        std::vector<std::unique_ptr<QWidget>> windows;
        for (const QString& title : titles) {
            windows.push_back(std::make_unique<QWidget>());
            windows.back()->setWindowTitle(title);
            windows.back()->show();
            QVERIFY(QTest::qWaitForWindowExposed(windows.back().get()));
        }
        QStringList notices;
        QTEST(isIcqWindowOpen([&notices](const QString& text) { notices << text; }), "running");
        QVERIFY(notices.isEmpty());
    }
};

QTEST_MAIN(IcqRunningTest)
#include "tst_icq_running.moc"
