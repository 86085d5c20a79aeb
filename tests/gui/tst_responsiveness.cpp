// The window answers its events while a large component is copied: a timer of the window's
// thread is never kept waiting long. ZEB_STALL_MIB sets the component's size (default 256).
#include "WizardFixture.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

class ResponsivenessTest : public QObject
{
    Q_OBJECT

private slots:
    void windowAnswersDuringALargeCopy()
    {
        WizardFixture f;
        const qint64 mebibytes = qEnvironmentVariableIntValue("ZEB_STALL_MIB") > 0
                                     ? qEnvironmentVariableIntValue("ZEB_STALL_MIB")
                                     : 256;
        QFile large(f.sample.icqFolder() + "DB/messages.db");
        QVERIFY(QDir().mkpath(f.sample.icqFolder() + "DB"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(mebibytes << 20));
        large.close();
        f.sample.addPlugin("db.zpx", "Messages", "DB");
        f.sample.addUin(f.sample.icqFolder(), "111.uin");
        f.enterTaskOptions();
        f.press("cmdNext");

        QElapsedTimer clock;
        qint64 last = -1;
        qint64 longest = 0;
        QTimer ticker;
        ticker.setInterval(2);
        connect(
            &ticker, &QTimer::timeout,
            [&] {
                if (last >= 0)
                    longest = qMax(longest, clock.elapsed() - last);
                last = clock.elapsed();
            });
        f.runtime.onKeepAlive = [&] {
            if (!ticker.isActive()) {
                clock.start();
                ticker.start();
            }
        };
        f.press("cmdNext");
        ticker.stop();

        QCOMPARE(f.runtime.prompts(), QStringList{"The task was completed successfully!"});
        qInfo("longest wait of the window's events: %lld ms while %lld MiB were copied in %lld ms",
              longest, mebibytes, clock.elapsed());
        QVERIFY2(last >= 0, "the copy never let the window look at its events");
        QVERIFY2(longest < 250, qPrintable(QString::number(longest)));
    }
};

QTEST_MAIN(ResponsivenessTest)
#include "tst_responsiveness.moc"
