// The segmented progress bar and its canvas, checked by reading the canvas's pixels.
#include "errors/ErrorObject.h"
#include "support/cProgBar.h"
#include "support/widgets/PictureBox.h"

#include <QLabel>
#include <QtTest>

#include <functional>

namespace {

constexpr qint32 CanvasError = -2147221503;
constexpr qint32 MinError = -2147221502;
constexpr qint32 MaxError = -2147221501;

// A canvas whose inner area has the given size in pixels.
std::unique_ptr<PictureBox> canvas(int innerWidth, int innerHeight)
{
    auto box = std::make_unique<PictureBox>();
    box->resize(innerWidth + 4, innerHeight + 4);
    return box;
}

// One row of the drawing: F for the bar colour, B for the background colour, ? for others.
QString row(const PictureBox& box, int y)
{
    const QImage& image = box.image();
    const QRgb fore = box.palette().color(QPalette::Highlight).rgb();
    const QRgb back = box.palette().color(QPalette::Button).rgb();
    QString text;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        text += pixel == fore ? u'F' : pixel == back ? u'B' : u'?';
    }
    return text;
}

QString run(QChar c, int count)
{
    return QString(count, c);
}

// A row through the blocks of a canvas `width` pixels wide inside, with `filled` blocks of
// 12 pixels in the bar colour; the last block is cut by the canvas's edge.
QString barRow(int filled, int width = 301)
{
    const int bar = std::min(12 * filled, width - 2);
    return run(u'B', 2) + run(u'F', bar) + run(u'B', width - 2 - bar);
}

ErrorObject failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& failure) {
        return failure.error();
    }
    return {};
}

} // namespace

class ProgBarTest : public QObject
{
    Q_OBJECT

private slots:
    // ---- State and errors ----------------------------------------------------------------

    void newInstanceHasItsDefaultsAndDrawsNothing()
    {
        cProgBar bar;
        QCOMPARE(bar.Value(), 0);
        QCOMPARE(bar.Min(), 0);
        QCOMPARE(bar.Max(), 100);
        QCOMPARE(bar.ForeColor(), 0x8000000Du);
        QCOMPARE(bar.BackColor(), 0x8000000Fu);
        QVERIFY(bar.Canvas() == nullptr);
        bar.setValue(50);
        QCOMPARE(bar.Value(), 50);
        bar.Refresh(true);
        QCOMPARE(failureOf([&] { bar.Resize(); }).number, 91); // nothing to measure yet
        QCOMPARE(failureOf([&] { bar.ResizeEx(); }).number, 91);
    }

    void valueIsClampedIntoTheRange()
    {
        cProgBar bar;
        bar.setValue(150);
        QCOMPARE(bar.Value(), 100);
        bar.setValue(-5);
        QCOMPARE(bar.Value(), 0);
        bar.setMax(150);
        bar.setMin(50);
        QCOMPARE(bar.Value(), 0); // not clamped when the range moves
        bar.setValue(20);
        QCOMPARE(bar.Value(), 50);
    }

    void refusedRangeLeavesStateAndDrawingAlone()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setValue(40);
        const QImage before = box->image();

        ErrorObject error = failureOf([&] { bar.setMin(100); });
        QCOMPARE(error.number, MinError);
        QCOMPARE(error.description, QStringLiteral("Min property must be less than Max."));
        QCOMPARE(error.source, QStringLiteral("CProgressBar.Min"));

        error = failureOf([&] { bar.setMax(0); });
        QCOMPARE(error.number, MaxError);
        QCOMPARE(error.description, QStringLiteral("Max property must be greater than Min."));
        QCOMPARE(error.source, QStringLiteral("CProgressBar.Max"));

        QCOMPARE(bar.Min(), 0);
        QCOMPARE(bar.Max(), 100);
        QCOMPARE(bar.Value(), 40);
        QCOMPARE(box->image(), before);
    }

    void onlyAPictureBoxCanBeTheCanvas()
    {
        auto box = canvas(301, 21);
        QLabel label;
        cProgBar bar;
        bar.setCanvas(box.get());
        for (QObject* other : {static_cast<QObject*>(&label), static_cast<QObject*>(nullptr)}) {
            const ErrorObject error = failureOf([&] { bar.setCanvas(other); });
            QCOMPARE(error.number, CanvasError);
            QCOMPARE(error.description,
                     QStringLiteral("Canvas property must be of type PictureBox."));
            QCOMPARE(error.source, QStringLiteral("CProgressBar.Canvas"));
            QCOMPARE(bar.Canvas(), box.get());
        }
    }

    // ---- Metrics and fitting ---------------------------------------------------------------

    void canvas301x21GetsTwentyFiveBlocksAndKeepsItsWidth()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        QCOMPARE(box->scaleMode(), PictureBox::ScaleMode::Pixels);
        QCOMPARE(box->innerWidth(), 301.0);
        QCOMPARE(box->width(), 305);

        // Paint the canvas in a third colour first: a redraw without clearing then shows
        // exactly the boxes it drew.
        box->setForeColor(Qt::black);
        box->fillBox(0, 0, 400, 400);
        bar.setValue(100);
        const QString untouched = run(u'?', 301);
        QCOMPARE(row(*box, 0), untouched);
        QCOMPARE(row(*box, 1), untouched);
        QCOMPARE(row(*box, 19), untouched);
        QCOMPARE(row(*box, 20), untouched);
        for (int y = 2; y <= 18; ++y)
            QCOMPARE(row(*box, y), run(u'?', 2) + run(u'F', 299));

        // Block k ends at 13 + 12 (k - 1): the next block, in the back colour, starts right after.
        bar.setValue(4); // one block
        QCOMPARE(row(*box, 2), run(u'?', 2) + run(u'F', 12) + run(u'B', 287));
        QCOMPARE(row(*box, 18), row(*box, 2));
    }

    void wideCanvasIsNarrowedToWholeBlocks()
    {
        auto box = canvas(310, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        QCOMPARE(box->innerWidth(), 301.0);
        QCOMPARE(box->width(), 305);
        QCOMPARE(box->outerWidthTwips(), 305.0 * 15);
        bar.setValue(100);
        QCOMPARE(row(*box, 10), barRow(25));
    }

    void halfAPitchOverDropsOneBlock()
    {
        auto box = canvas(100, 6);
        cProgBar bar;
        bar.setCanvas(box.get());
        QCOMPARE(box->innerWidth(), 99.0);
        bar.setValue(100); // 49 blocks of 2 pixels including the shared edge, from x = 2
        QCOMPARE(row(*box, 2), run(u'B', 2) + run(u'F', 97));
        QCOMPARE(row(*box, 3), row(*box, 2));
        QCOMPARE(row(*box, 4), run(u'B', 99));
        bar.setValue(50); // 24.5 blocks go to the even 24
        QCOMPARE(row(*box, 2), run(u'B', 2) + run(u'F', 48) + run(u'B', 49));
    }

    void resizeMeasuresWithoutFittingTheWidth()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        box->resize(314 + 4, 25);
        bar.Resize();
        QCOMPARE(box->width(), 318);
        bar.ResizeEx();
        QCOMPARE(box->innerWidth(), 313.0); // 26 blocks: 1 + 26 x 12
    }

    // ---- Filling ---------------------------------------------------------------------------

    void valueFillsRoundedBlocks_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("filled");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("50 gives 12.5, to the even 12") << 50 << 12;
        QTest::newRow("75") << 75 << 19;
        QTest::newRow("100") << 100 << 25;
    }

    void valueFillsRoundedBlocks()
    {
        QFETCH(int, value);
        QFETCH(int, filled);
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setValue(value);
        for (int y : {2, 10, 18})
            QCOMPARE(row(*box, y), barRow(filled));
        QCOMPARE(row(*box, 1), run(u'B', 301));
        QCOMPARE(row(*box, 19), run(u'B', 301));
    }

    void rangeFromFiftyToOneHundredFifty()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setMax(150);
        bar.setMin(50);
        bar.setValue(50);
        QCOMPARE(row(*box, 10), barRow(0));
        bar.setValue(150);
        QCOMPARE(row(*box, 10), barRow(25));
        bar.setValue(100);
        QCOMPARE(row(*box, 10), barRow(12));
    }

    void redrawWithoutClearingErasesFilledBlocks()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setValue(100);
        bar.setValue(0);
        QCOMPARE(row(*box, 10), barRow(0));
    }

    void rangeMovedPastTheValueDrawsBeyondTheBlocks()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setValue(10);
        bar.setMin(20); // fraction below 0: every box in the back colour
        QCOMPARE(row(*box, 10), barRow(0));
        QCOMPARE(box->foreColor(), box->palette().color(QPalette::Button));
        bar.setMin(0);
        bar.setValue(100);
        bar.setMax(50); // fraction 2: fifty filled boxes, the drawing colour left at the bar's
        QCOMPARE(row(*box, 10), barRow(25));
        QCOMPARE(box->foreColor(), box->palette().color(QPalette::Highlight));
    }

    void directColoursAreBlueGreenRed()
    {
        auto box = canvas(301, 21);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setForeColor(0x000000FFu);
        bar.setBackColor(0x00FF0000u);
        bar.setValue(50);
        QCOMPARE(QColor(box->image().pixel(2, 2)), QColor(255, 0, 0));
        QCOMPARE(QColor(box->image().pixel(146, 2)), QColor(0, 0, 255));
        bar.Refresh(true); // the background is the back colour once cleared
        QCOMPARE(QColor(box->image().pixel(0, 0)), QColor(0, 0, 255));
    }

    // ---- Canvases too small for a block ----------------------------------------------------

    void tooLowCanvasDrawsNoBlock_data()
    {
        QTest::addColumn<int>("innerHeight");
        QTest::newRow("4: block height 0") << 4;
        QTest::newRow("3: block width + 1 is 0") << 3;
        QTest::newRow("2: block width + 1 is 0") << 2;
        QTest::newRow("0") << 0;
    }

    void tooLowCanvasDrawsNoBlock()
    {
        QFETCH(int, innerHeight);
        auto box = canvas(100, innerHeight);
        cProgBar bar;
        bar.setCanvas(box.get());
        bar.setValue(100);
        bar.Resize();
        QCOMPARE(box->innerWidth(), 100.0);
        for (int y = 0; y < innerHeight; ++y)
            QCOMPARE(row(*box, y), run(u'B', 100));
    }

    // ---- The canvas ------------------------------------------------------------------------

    void canvasMeasuresInsideItsBorder()
    {
        PictureBox box;
        box.resize(100, 30);
        QCOMPARE(box.scaleMode(), PictureBox::ScaleMode::Twips);
        QCOMPARE(box.innerWidth(), 96.0 * 15);
        QCOMPARE(box.innerHeight(), 26.0 * 15);
        box.setScaleMode(PictureBox::ScaleMode::Pixels);
        QCOMPARE(box.innerWidth(), 96.0);
        QCOMPARE(box.innerHeight(), 26.0);
        QCOMPARE(box.outerWidthTwips(), 1500.0);
        box.setOuterWidthTwips(1230);
        QCOMPARE(box.width(), 82);
        QCOMPARE(box.image().size(), QSize(78, 26));
    }

    void drawingSurvivesRepaintsAndGrowth()
    {
        PictureBox box;
        box.resize(40, 20);
        box.setScaleMode(PictureBox::ScaleMode::Pixels);
        box.setBackColor(Qt::white);
        box.clear();
        box.setForeColor(Qt::red);
        box.fillBox(3, 3, 6, 6);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        for (int pass = 0; pass < 2; ++pass) {
            const QImage shown = box.grab().toImage();
            QCOMPARE(QColor(shown.pixel(2 + 3, 2 + 3)), QColor(Qt::red));
            QCOMPARE(QColor(shown.pixel(2 + 7, 2 + 3)), QColor(Qt::white));
            box.hide();
            box.show();
            box.repaint();
        }
        box.resize(60, 20);
        QCOMPARE(QColor(box.image().pixel(4, 4)), QColor(Qt::red));
        QCOMPARE(QColor(box.image().pixel(50, 4)), QColor(Qt::white));
    }
};

QTEST_MAIN(ProgBarTest)
#include "tst_progbar.moc"
