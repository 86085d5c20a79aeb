// The runtime's number conversion, error object and the one error trap.
#include "errors/ErrorObject.h"
#include "errors/Trap.h"
#include "support/NumberConversion.h"
#include "support/RuntimeServices.h"

#include <QtTest>

namespace {

struct RecordingSink final : ErrorSink
{
    QList<QPair<ErrorObject, QString>> reports;
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        reports.append({error, procedure});
    }
};

qint32 conversionError(const QString& text)
{
    try {
        toInteger16(text);
    } catch (const RuntimeError& failure) {
        return failure.error().number;
    }
    return 0;
}

} // namespace

class RuntimeTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsNumbersWithHalvesToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "13" << 13;
        QTest::newRow("blanks around") << "  13  " << 13;
        QTest::newRow("half down to even") << "2.5" << 2;
        QTest::newRow("half up to even") << "3.5" << 4;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("above half") << "2.51" << 3;
        QTest::newRow("exponent") << "1e3" << 1000;
        QTest::newRow("upper bound") << "32767" << 32767;
        QTest::newRow("lower bound by rounding") << "-32768.5" << -32768;
        QTest::newRow("hex as 16 bits") << "&HFFFF" << -1;
        QTest::newRow("hex") << "&h10" << 16;
        QTest::newRow("octal") << "&O17" << 15;
    }
    void convertsNumbersWithHalvesToEven()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int(toInteger16(text)), expected);
    }

    void refusesOutOfRangeAndNonNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::newRow("above") << "40000" << 6;
        QTest::newRow("rounds above") << "32767.5" << 6;
        QTest::newRow("below") << "-32769" << 6;
        QTest::newRow("wide hex") << "&H10000" << 6;
        QTest::newRow("letters") << "abc" << 13;
        QTest::newRow("empty") << "" << 13;
        QTest::newRow("trailing letters") << "12abc" << 13;
        QTest::newRow("infinity") << "inf" << 13;
        QTest::newRow("bare hex mark") << "&H" << 13;
    }
    void refusesOutOfRangeAndNonNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        QCOMPARE(conversionError(text), error);
    }

    void raisingByNumberFillsDescriptionAndSource()
    {
        const auto raised = [](auto raise) -> ErrorObject {
            try {
                raise();
            } catch (const RuntimeError& failure) {
                return failure.error();
            }
            return {};
        };
        const ErrorObject byNumber = raised([] { raiseError(76); });
        QCOMPARE(byNumber.description, QStringLiteral("Path not found"));
        QCOMPARE(byNumber.source, QStringLiteral("ZEB2000"));
        const ErrorObject zero = raised([] { raiseError(0); });
        QCOMPARE(zero.number, 5);
        QCOMPARE(zero.description, QStringLiteral("Invalid procedure call or argument"));
        QCOMPARE(raised([] { raiseError(1234); }).description,
                 QStringLiteral("Application-defined or object-defined error"));
        const ErrorObject own = raised([] {
            raiseError(qint32(0x80040002), QStringLiteral("Min property must be less than Max."),
                       QStringLiteral("CProgressBar.Min"));
        });
        QCOMPARE(own.number, -2147221502);
        QCOMPARE(own.source, QStringLiteral("CProgressBar.Min"));
        for (const qint32 number :
             {5, 6, 7, 9, 11, 13, 52, 53, 55, 57, 58, 61, 62, 67, 68, 70, 71, 75, 76, 91, 424, 429})
            QVERIFY2(standardErrorDescription(number) != standardErrorDescription(1234),
                     qPrintable(QString::number(number)));
    }

    void trapReportsFailuresUnderTheProcedureName()
    {
        RecordingSink sink;
        QVERIFY(runTrapped(sink, QStringLiteral("frmMain.cmdBack_Click()"), [] {}));
        QVERIFY(sink.reports.isEmpty());

        bool reachedEnd = false;
        QVERIFY(!runTrapped(sink, QStringLiteral("frmMain.cmdNext_Click()"), [&] {
            raiseError(9);
            reachedEnd = true;
        }));
        QVERIFY(!reachedEnd);
        QCOMPARE(sink.reports.size(), 1);
        QCOMPARE(sink.reports[0].first.number, 9);
        QCOMPARE(sink.reports[0].second, QStringLiteral("frmMain.cmdNext_Click()"));

        QString path = QStringLiteral("C:\\ICQ");
        runTrapped(
            sink, [&] { return QStringLiteral("FileCopier.SlashPad ") + path; },
            [&] {
                path += QLatin1Char('\\');
                throw std::bad_alloc();
            });
        QCOMPARE(sink.reports[1].first.number, 7);
        QCOMPARE(sink.reports[1].second, QStringLiteral("FileCopier.SlashPad C:\\ICQ\\"));
    }

    void trapLetsTheProgramsEndThrough()
    {
        RecordingSink sink;
        bool endPassed = false;
        try {
            runTrapped(sink, QStringLiteral("frmMain.cmdExit_Click()"),
                       [] { throw ProgramEnded{}; });
        } catch (const ProgramEnded&) {
            endPassed = true;
        }
        QVERIFY(endPassed);
        QVERIFY(sink.reports.isEmpty());
    }
};

QTEST_GUILESS_MAIN(RuntimeTest)
#include "tst_runtime.moc"
