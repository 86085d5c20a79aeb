// The error sink and its dialog, through the dialog's real widgets.
#include "ScriptedRuntime.h"
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
    void continueOrShutDown_data()
    {
        QTest::addColumn<ErrorObject>("error");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("line");
        QTest::newRow("Continue")
            << ErrorObject{qint32(0x80040003), "Max must be greater than Min.", "CProgressBar.Max"}
            << "cmdContinueApp"
            << "Error -2147221501: 'Max must be greater than Min.', Source: 'CProgressBar.Max', "
               "Proc: 'frmMain.Next(it's)'";
        QTest::newRow("Shut Down") << ErrorObject{9, "", ""} << "cmdShutDownApp"
                                   << "Error 9: '', Source: '', Proc: 'frmMain.Next(it's)'";
    }
    // The details line shows in the dialog and lies on the clipboard; only Shut Down ends.
    void continueOrShutDown()
    {
        QFETCH(ErrorObject, error);
        QFETCH(QString, button);
        QFETCH(QString, line);
        ScriptedRuntime runtime;
        frmMain window(runtime);
        QString shown;
        runtime.dialogActions.push_back([&](QDialog& dialog) {
            shown = dialog.findChild<QPlainTextEdit*>("txtErrorDetails")->toPlainText();
            dialog.findChild<QPushButton*>(button)->click();
        });
        try {
            window.HandleErrorsGlobally(error, QStringLiteral("frmMain.Next(it's)"));
        } catch (const ProgramEnded&) {
        }
        QCOMPARE(runtime.ended, button == QLatin1String("cmdShutDownApp"));
        QCOMPARE(shown, line);
        QCOMPARE(runtime.clipboard, line);
    }

    // The dialog starts with the focus in the details box, where Enter presses Send Email and
    // Ctrl+Enter types a line break; Esc does nothing. The mail carries what the box holds.
    void detailsBoxKeysAndTheMail()
    {
        ScriptedRuntime runtime;
        frmMain window(runtime);
        const QString line = "Error 6: 'Overflow', Source: 'ZEB2000', Proc: 'frmMain.x()'";
        runtime.dialogActions.push_back([&](QDialog& dialog) {
            auto* details = dialog.findChild<QPlainTextEdit*>("txtErrorDetails");
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Critial application error !"));
            QCOMPARE(dialog.focusWidget(), details);
            QTest::keyClick(details, Qt::Key_Escape);
            QVERIFY(window.errorBox()->isLoaded());
            dialog.findChild<QPushButton*>("cmdSendEmail")->click();
            details->moveCursor(QTextCursor::End);
            QTest::keyClick(details, Qt::Key_Return, Qt::ControlModifier);
            QTest::keyClicks(details, "typed");
            QTest::keyClick(details, Qt::Key_Return);
        });
        window.HandleErrorsGlobally({6, "Overflow", "ZEB2000"}, "frmMain.x()");
        QCOMPARE(runtime.openedUrls, (QStringList{frmErrorBox::mailLink(line),
                                                  frmErrorBox::mailLink(line + "\ntyped")}));
    }

    // One dialog; every fresh load of it beeps, reaching it while loaded does not.
    void eachFreshLoadBeeps()
    {
        ScriptedRuntime runtime;
        frmMain window(runtime);
        window.HandleErrorsGlobally({13, "Type mismatch", "ZEB2000"}, "frmMain.cmdDebug_Click()");
        frmErrorBox* box = window.errorBox();
        QCOMPARE(runtime.beeps, 1);
        box->detailsBox();
        box->detailsBox();
        QCOMPARE(runtime.beeps, 2);
        box->reject();
        window.HandleErrorsGlobally({6, "Overflow", "ZEB2000"}, "frmMain.cmdNext_Click()");
        QCOMPARE(window.errorBox(), box);
        QCOMPARE(runtime.beeps, 3);
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
