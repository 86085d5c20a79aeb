// The segmented progress bar and its canvas, checked by reading the canvas's pixels.
#include "gui/widgets/PictureBox.h"
#include "gui/widgets/cProgBar.h"

#include <QtTest>

namespace {

// A canvas whose inner area has the given size in pixels, bound to a bar.
struct Bar
{
    Bar(int innerWidth, int innerHeight)
    {
        box.resize(innerWidth + 4, innerHeight + 4);
        bar.setCanvas(&box);
    }
    PictureBox box;
    cProgBar bar;
};

// One row of the drawing: F for the bar colour, B for the background colour, ? for others.
QString row(const PictureBox& box, int y)
{
    const QRgb fore = box.palette().color(QPalette::Highlight).rgb();
    const QRgb back = box.palette().color(QPalette::Button).rgb();
    QString text;
    for (int x = 0; x < box.image().width(); ++x) {
        const QRgb pixel = box.image().pixel(x, y);
        text += pixel == fore ? u'F' : pixel == back ? u'B' : u'?';
    }
    return text;
}

} // namespace

class ProgBarTest : public QObject
{
    Q_OBJECT

private slots:
    // The canvas is narrowed to whole blocks of width 2/3 of their height plus a pixel of gap;
    // blocks are 4 pixels less high than the canvas, from x = y = 2. A canvas too low for one
    // block keeps its width and draws none. Each value is set after a full bar, so the rows also
    // show that blocks are erased.
    void fillsRoundedBlocksOnAFittedCanvas()
    {
        const struct
        {
            int width, height, value, fitted, blockHeight, pitch, filled;
        } cases[] = {{301, 21, 0, 301, 17, 12, 0},    {301, 21, 50, 301, 17, 12, 12}, // 12.5 to 12
                     {301, 21, 75, 301, 17, 12, 19},  {301, 21, 100, 301, 17, 12, 25},
                     {310, 21, 100, 301, 17, 12, 25}, // narrowed to 301
                     {301, 21, 4, 301, 17, 12, 1},    // block 1 spans x = 2 to 13, corners included
                     {100, 6, 100, 99, 2, 2, 49},     {100, 6, 50, 99, 2, 2, 24},  // 24.5 to 24
                     {100, 4, 100, 100, 0, 1, 0},     {100, 2, 100, 100, 0, 1, 0}, // no room
                     {100, 0, 100, 100, 0, 1, 0}};
        for (const auto& c : cases) {
            Bar bar(c.width, c.height);
            QCOMPARE(bar.box.width(), c.fitted + 4);
            bar.bar.setValue(100);
            bar.bar.setValue(c.value);
            const int lit = std::min(c.filled * c.pitch, c.fitted - 2); // the last meets the edge
            const QString blocks =
                QString(2, 'B') + QString(lit, 'F') + QString(c.fitted - 2 - lit, 'B');
            for (int y = 0; y < c.height; ++y)
                QCOMPARE(row(bar.box, y),
                         y >= 2 && y < 2 + c.blockHeight ? blocks : QString(c.fitted, 'B'));
        }
    }

    void valueIsClampedIntoTheRangeThatFillsTheBar()
    {
        Bar bar(301, 21);
        bar.bar.setValue(150);
        QCOMPARE(bar.bar.Value(), 100);
        bar.bar.setMax(150);
        bar.bar.setMin(50);
        bar.bar.setValue(20);
        QCOMPARE(bar.bar.Value(), 50);
        bar.bar.setValue(100);
        QCOMPARE(row(bar.box, 10),
                 QString(2, 'B') + QString(144, 'F') + QString(155, 'B')); // 12 of 25
    }
};

QTEST_MAIN(ProgBarTest)
#include "tst_progbar.moc"
