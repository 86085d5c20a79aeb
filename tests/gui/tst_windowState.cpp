// The window's state machine on its own: from a history of events, one more event, and what the
// buttons then allow. Every page, every run state, the About panel over each.
#include "gui/app/WindowState.h"

#include <QtTest>

namespace {

// F: Next left the page, B: Back, O/C: About opened/closed, R: run started, S: stop requested,
// E: run ended.
WindowEvent eventOf(QChar letter)
{
    using enum WindowEvent;
    constexpr WindowEvent events[] = {PageLeftForward, PageLeftBack,  AboutOpened, AboutClosed,
                                      RunStarted,      StopRequested, RunEnded};
    return events[QStringLiteral("FBOCRSE").indexOf(letter)];
}

} // namespace

class WindowStateTest : public QObject
{
    Q_OBJECT

private slots:
    void transitions_data()
    {
        QTest::addColumn<QString>("history"); // events that lead to the state, all accepted
        QTest::addColumn<QChar>("event");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("page");
        QTest::addColumn<RunState>("run");
        QTest::addColumn<QString>("buttons"); // B: Back on, N: Next on, D: Next reads "&Do It !"
        const auto row = [](const char* history, char event, bool accepted, int page, RunState run,
                            const char* buttons) {
            QTest::addRow("%s + %c", *history ? history : "start", event)
                << QString::fromLatin1(history) << QChar::fromLatin1(event) << accepted << page
                << run << QString::fromLatin1(buttons);
        };
        using enum RunState;
        // Walking the pages.
        row("", 'F', true, 1, Idle, "BN");
        row("", 'B', false, 0, Idle, "N");
        row("F", 'B', true, 0, Idle, "N");
        row("FF", 'F', true, 3, Idle, "BND");
        row("FFF", 'F', false, 3, Idle, "BND");
        row("FFF", 'B', true, 2, Idle, "BN");
        // The About panel closes the way off the page, and gives back what the page allows.
        row("", 'O', true, 0, Idle, "");
        row("O", 'C', true, 0, Idle, "N"); // Back stays off on the first page
        row("O", 'O', false, 0, Idle, "");
        row("O", 'F', false, 0, Idle, "");
        row("FO", 'B', false, 1, Idle, "");
        row("FO", 'C', true, 1, Idle, "BN");
        row("", 'C', false, 0, Idle, "N");
        // A run: only on the last page, one at a time, and nothing else leaves the page meanwhile.
        row("FF", 'R', false, 2, Idle, "BN");
        row("FFF", 'R', true, 3, Running, "D");
        row("FFFO", 'R', false, 3, Idle, "D");
        row("FFFR", 'R', false, 3, Running, "D");
        row("FFFR", 'B', false, 3, Running, "D");
        row("FFFR", 'F', false, 3, Running, "D");
        row("FFFR", 'O', true, 3, Running, "D");
        row("FFFRO", 'C', true, 3, Running, "D"); // About closed during a run: still off
        row("FFFR", 'E', true, 3, Finished, "BND");
        row("FFFRO", 'E', true, 3, Finished, "D");
        row("FFFRE", 'R', true, 3, Running, "D"); // the run can be repeated
        row("FFFRE", 'B', true, 2, Idle, "BN");
        row("FFFRE", 'E', false, 3, Finished, "BND");
        // Stopping: only a run that goes on can be stopped, and it still keeps the page.
        row("FFFR", 'S', true, 3, Stopping, "D");
        row("FFFRS", 'S', false, 3, Stopping, "D");
        row("FFFRS", 'B', false, 3, Stopping, "D");
        row("FFFRS", 'E', true, 3, Finished, "BND");
        row("FFF", 'S', false, 3, Idle, "BND");
        row("FFF", 'E', false, 3, Idle, "BND");
    }
    void transitions()
    {
        QFETCH(QString, history);
        QFETCH(QChar, event);
        WindowState state;
        for (QChar step : history)
            QVERIFY(state.apply(eventOf(step)));
        QTEST(state.apply(eventOf(event)), "accepted");
        QTEST(state.page(), "page");
        QTEST(state.run(), "run");
        const ButtonStates buttons = state.buttons();
        QString shown;
        if (buttons.back)
            shown += 'B';
        if (buttons.next)
            shown += 'N';
        if (buttons.nextCaption == WindowState::DoItCaption)
            shown += 'D';
        else
            QCOMPARE(buttons.nextCaption, WindowState::NextCaption);
        QTEST(shown, "buttons");
    }

    // Busy while a handler works, however many are nested, and while a run goes on whatever the
    // handlers called meanwhile did.
    void busy()
    {
        WindowState state;
        QVERIFY(!state.busy());
        state.handlerStarted();
        state.handlerStarted();
        state.handlerEnded();
        QVERIFY(state.busy());
        state.handlerEnded();
        QVERIFY(!state.busy());
        for (QChar step : QStringLiteral("FFFR"))
            state.apply(eventOf(step));
        QVERIFY(state.busy());
        state.handlerStarted();
        state.handlerEnded();
        QVERIFY(state.busy());
        state.apply(WindowEvent::StopRequested);
        QVERIFY(state.busy());
        state.apply(WindowEvent::RunEnded);
        QVERIFY(!state.busy());
    }
};

QTEST_MAIN(WindowStateTest)
#include "tst_windowState.moc"
