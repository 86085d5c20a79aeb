// The error sink and its dialog, through the dialog's real widgets.
#include "ScriptedRuntime.h"
#include "app/frmMain.h"
#include "errors/frmErrorBox.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

class ErrorReportingTest : public QObject
{
    Q_OBJECT

private:
    static QPushButton* button(QDialog& dialog, const char* name)
    {
        return dialog.findChild<QPushButton*>(QLatin1String(name));
    }
    static QPlainTextEdit* details(QDialog& dialog)
    {
        return dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtErrorDetails"));
    }

private slots:
    void detailsLineGoesIntoTheDialogAndOntoTheClipboard_data()
    {
        QTest::addColumn<ErrorObject>("error");
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("line");
        QTest::newRow("standard") << ErrorObject{5, "Invalid procedure call or argument", "ZEB2000"}
                                  << "frmMain.cmdNext_Click()"
                                  << "Error 5: 'Invalid procedure call or argument', Source: "
                                     "'ZEB2000', Proc: 'frmMain.cmdNext_Click()'";
        QTest::newRow("negative") << ErrorObject{qint32(0x80040003),
                                                 "Max property must be greater than Min.",
                                                 "CProgressBar.Max"}
                                  << "frmMain.cmdNext_Click()"
                                  << "Error -2147221501: 'Max property must be greater than "
                                     "Min.', Source: 'CProgressBar.Max', Proc: "
                                     "'frmMain.cmdNext_Click()'";
        QTest::newRow("empty texts, apostrophes kept")
            << ErrorObject{76, "", ""} << "frmMain.CreateNewDirectory(C:\\it's)"
            << "Error 76: '', Source: '', Proc: 'frmMain.CreateNewDirectory(C:\\it's)'";
    }
    void detailsLineGoesIntoTheDialogAndOntoTheClipboard()
    {
        QFETCH(ErrorObject, error);
        QFETCH(QString, procedure);
        QFETCH(QString, line);
        ScriptedRuntime runtime;
        frmMain window(runtime);
        QString shown;
        runtime.dialogActions.push_back([&](QDialog& dialog) {
            shown = details(dialog)->toPlainText();
            button(dialog, "cmdContinueApp")->click();
        });
        window.HandleErrorsGlobally(error, procedure);
        QCOMPARE(shown, line);
        QCOMPARE(runtime.clipboard, line);
        QCOMPARE(runtime.dialogsShown, 1);
        QVERIFY(!window.errorBox()->isLoaded());
    }

    // One instance; every fresh load beeps and puts the designed text back.
    void eachFreshLoadBeepsAndReusesTheOneDialog()
    {
        ScriptedRuntime runtime;
        frmMain window(runtime);
        window.HandleErrorsGlobally({13, "Type mismatch", "ZEB2000"}, "frmMain.cmdDebug_Click()");
        frmErrorBox* first = window.errorBox();
        QCOMPARE(runtime.beeps, 1);
        // Closed from the title bar (the double's default) it unloads as Continue does.
        QVERIFY(!first->isLoaded());
        QCOMPARE(first->detailsBox()->toPlainText(), QStringLiteral("Error Details\n"));
        QCOMPARE(runtime.beeps, 2);
        first->detailsBox();
        QCOMPARE(runtime.beeps, 2);
        first->reject();
        window.HandleErrorsGlobally({6, "Overflow", "ZEB2000"}, "frmMain.cmdNext_Click()");
        QCOMPARE(window.errorBox(), first);
        QCOMPARE(runtime.beeps, 3);
        QVERIFY(runtime.clipboard.startsWith(QStringLiteral("Error 6: 'Overflow'")));
    }

    void shutDownEndsTheProgramFromInsideTheSink()
    {
        ScriptedRuntime runtime;
        frmMain window(runtime);
        runtime.dialogActions.push_back(
            [](QDialog& dialog) { button(dialog, "cmdShutDownApp")->click(); });
        QVERIFY_THROWS_EXCEPTION(
            ProgramEnded, window.HandleErrorsGlobally({9, "Subscript out of range", "ZEB2000"},
                                                      "frmMain.cmdBack_Click()"));
        QVERIFY(runtime.ended);
        QVERIFY(runtime.clipboard.startsWith(QStringLiteral("Error 9: ")));
    }

    void theDialogAsDesigned()
    {
        ScriptedRuntime runtime;
        frmErrorBox dialog(runtime);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Critial application error !"));
        QCOMPARE(dialog.minimumSize(), QSize(425, 289));
        QCOMPARE(dialog.maximumSize(), QSize(425, 289));
        QVERIFY(!(dialog.windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(button(dialog, "cmdSendEmail")->isDefault());
        QVERIFY(!button(dialog, "cmdContinueApp")->isDefault());
        const QStringList chain = {"txtErrorDetails", "cmdSendEmail", "cmdContinueApp",
                                   "cmdShutDownApp"};
        QStringList order;
        for (QWidget* w = details(dialog); order.size() < chain.size(); w = w->nextInFocusChain())
            if (chain.contains(w->objectName()))
                order << w->objectName();
        QCOMPARE(order, chain);
        QVERIFY(QFontInfo(details(dialog)->font()).fixedPitch());
        QCOMPARE(button(dialog, "cmdShutDownApp")->geometry(), QRect(288, 256, 129, 25));
        QVERIFY(!dialog.isLoaded());
        QCOMPARE(runtime.beeps, 0);
    }

    // Enter sends the mail even from the multi-line box; Ctrl+Enter types a line break there;
    // Esc does nothing.
    void keysOfTheDialog()
    {
        ScriptedRuntime runtime;
        frmErrorBox dialog(runtime);
        QPlainTextEdit* box = dialog.detailsBox();
        box->setPlainText(QStringLiteral("Error 5"));
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(box, QStringLiteral("more"));
        QVERIFY(runtime.openedUrls.isEmpty());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(runtime.openedUrls.size(), 1);
        QCOMPARE(QUrlQuery(QUrl(runtime.openedUrls[0]))
                     .queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 QStringLiteral("Error 5\r\nmore"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isLoaded());
        button(dialog, "cmdSendEmail")->click();
        QCOMPARE(runtime.openedUrls.size(), 2);
        QVERIFY(dialog.isLoaded());
    }

    // The details arrive whole however many "&", "#", "%", "?" and line breaks they hold.
    void mailLinkCarriesTheDetailsWhole()
    {
        const QString text = QStringLiteral(
            "Error 53: 'A & B #1 at 100% ? x=y+z', Source: 'ZEB2000'\nProc: 'Größe'");
        const QString link = frmErrorBox::mailLink(text);
        QCOMPARE(link,
                 QStringLiteral(
                     "mailto:bugs@zeb2000.example?subject=ZEB%20Bug!&body=Error%2053:%20'A%20%26"
                     "%20B%20%231%20at%20100%25%20%3F%20x%3Dy%2Bz',%20Source:%20'ZEB2000'%0D%0A"
                     "Proc:%20'Gr%C3%B6%C3%9Fe'"));
        const QUrlQuery query(QUrl(link, QUrl::StrictMode));
        QCOMPARE(query.queryItems().size(), 2);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("ZEB Bug!"));
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
    }
};

QTEST_MAIN(ErrorReportingTest)
#include "tst_errorReporting.moc"
