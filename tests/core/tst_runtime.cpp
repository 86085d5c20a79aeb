// The runtime's number conversion, error object and the one error trap.
#include "RecordingSink.h"
#include "core/ErrorObject.h"
#include "core/NumberConversion.h"
#include "core/Trap.h"
#include "gui/runtime/RuntimeServices.h"

#include <QtTest>

namespace {

template <typename Action> ErrorObject errorOf(Action action)
{
    try {
        action();
    } catch (const RuntimeError& failure) {
        return failure.error();
    }
    return {};
}

} // namespace

class RuntimeTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsTextTo16Bits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("blanks around") << "  13  " << 13 << 0;
        QTest::newRow("half down to even") << "2.5" << 2 << 0;
        QTest::newRow("half up to even") << "3.5" << 4 << 0;
        QTest::newRow("lower bound by rounding") << "-32768.5" << -32768 << 0;
        QTest::newRow("hex as 16 bits") << "&HFFFF" << -1 << 0;
        QTest::newRow("octal") << "&O17" << 15 << 0;
        QTest::newRow("above") << "40000" << 0 << 6;
        QTest::newRow("rounds above") << "32767.5" << 0 << 6;
        QTest::newRow("letters") << "abc" << 0 << 13;
        QTest::newRow("infinity") << "inf" << 0 << 13;
    }
    void convertsTextTo16Bits()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, error);
        int converted = 0;
        QCOMPARE(errorOf([&] { converted = toInteger16(text); }).number, error);
        QCOMPARE(converted, value);
    }

    void trapReportsFailuresUnderTheProcedureName()
    {
        // The name is taken at the failure; a standard exception gets the nearest number.
        RecordingSink sink;
        QString path = QStringLiteral("C:\\ICQ");
        QVERIFY(!runTrapped(
            sink, [&] { return QStringLiteral("FileCopier.SlashPad ") + path; },
            [&] {
                path += QLatin1Char('\\');
                throw std::bad_alloc();
            }));
        QCOMPARE(sink.reports, QStringList{"7 FileCopier.SlashPad C:\\ICQ\\"});
        // The program's end is no failure: it passes every trap.
        QVERIFY_THROWS_EXCEPTION(ProgramEnded,
                                 runTrapped(sink, QString(), [] { throw ProgramEnded{}; }));
        QCOMPARE(sink.reports.size(), 1);
    }
};

QTEST_GUILESS_MAIN(RuntimeTest)
#include "tst_runtime.moc"
