// The one trap of every handler, the error sink and its dialog, through the dialog's real widgets.
#include "RecordingSink.h"
#include "ScriptedRuntime.h"
#include "core/Trap.h"
#include "gui/app/frmMain.h"
#include "gui/errors/frmErrorBox.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

class ErrorReportingTest : public QObject
{
    Q_OBJECT

private slots:
    // The name is taken at the failure; a standard exception gets the nearest number. The
    // program's end is no failure: it passes every trap.
    void trapReportsFailuresUnderTheProcedureName()
    {
        RecordingSink sink;
        QString path = QStringLiteral("C:\\ICQ");
        QVERIFY(!runTrapped(
            sink, [&] { return QStringLiteral("FileCopier.SlashPad ") + path; },
            [&] {
                path += QLatin1Char('\\');
                throw std::bad_alloc();
            }));
        QCOMPARE(sink.reports, QStringList{"7 FileCopier.SlashPad C:\\ICQ\\"});
        QVERIFY_THROWS_EXCEPTION(ProgramEnded,
                                 runTrapped(sink, QString(), [] { throw ProgramEnded{}; }));
        QCOMPARE(sink.reports.size(), 1);
    }

    // One dialog serves every failure: the details line shows in its box and lies on the
    // clipboard, and every fresh load of the dialog beeps. It starts with the focus in the
    // details box, where Enter presses Send Email and Ctrl+Enter types a line break; Esc does
    // nothing; the mail carries what the box holds. Continue goes on, Shut Down ends.
    void oneDialogForEveryFailure()
    {
        ScriptedRuntime runtime;
        frmMain window(runtime);
        const QString first = "Error -2147221501: 'Max must be greater than Min.', Source: "
                              "'CProgressBar.Max', Proc: 'frmMain.Next(it's)'";
        const QString second = "Error 9: '', Source: '', Proc: 'frmMain.cmdBack_Click()'";
        QStringList shown;
        runtime.dialogActions.push_back([&](QDialog& dialog) {
            auto* details = dialog.findChild<QPlainTextEdit*>("txtErrorDetails");
            shown << details->toPlainText();
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Critial application error !"));
            QCOMPARE(dialog.focusWidget(), details);
            window.errorBox()->detailsBox(); // reached while loaded: no beep
            QTest::keyClick(details, Qt::Key_Escape);
            QVERIFY(window.errorBox()->isLoaded());
            dialog.findChild<QPushButton*>("cmdSendEmail")->click();
            details->moveCursor(QTextCursor::End);
            QTest::keyClick(details, Qt::Key_Return, Qt::ControlModifier);
            QTest::keyClicks(details, "typed");
            QTest::keyClick(details, Qt::Key_Return);
            dialog.findChild<QPushButton*>("cmdContinueApp")->click();
        });
        window.HandleErrorsGlobally(
            {qint32(0x80040003), "Max must be greater than Min.", "CProgressBar.Max"},
            "frmMain.Next(it's)");
        QCOMPARE(runtime.clipboard, first);
        QCOMPARE(runtime.openedUrls, (QStringList{frmErrorBox::mailLink(first),
                                                  frmErrorBox::mailLink(first + "\ntyped")}));
        QVERIFY(!runtime.ended);
        QCOMPARE(runtime.beeps, 1);
        frmErrorBox* box = window.errorBox();

        runtime.dialogActions.push_back([&](QDialog& dialog) {
            shown << dialog.findChild<QPlainTextEdit*>("txtErrorDetails")->toPlainText();
            dialog.findChild<QPushButton*>("cmdShutDownApp")->click();
        });
        QVERIFY_THROWS_EXCEPTION(
            ProgramEnded, window.HandleErrorsGlobally({9, "", ""}, "frmMain.cmdBack_Click()"));
        QVERIFY(runtime.ended);
        QCOMPARE(runtime.clipboard, second);
        QCOMPARE(shown, (QStringList{first, second}));
        QCOMPARE(window.errorBox(), box);
        QCOMPARE(runtime.beeps, 2);
    }

    // The details arrive whole however many "&", "#", "%", "?" and line breaks they hold.
    void mailLinkCarriesTheDetailsWhole()
    {
        const QString text = QStringLiteral("Error 53: 'A & B #1 at 100% ? x=y+z'\nProc: 'Größe'");
        const QUrlQuery query(QUrl(frmErrorBox::mailLink(text), QUrl::StrictMode));
        QCOMPARE(query.queryItems().size(), 2);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("ZEB Bug!"));
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
    }
};

QTEST_MAIN(ErrorReportingTest)
#include "tst_errorReporting.moc"
