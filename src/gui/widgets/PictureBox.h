// A picture box: a canvas with a 2-pixel sunken border that keeps its drawing in an image of
// its inner area, so that what was drawn survives every repaint of the window. Every paint
// covers the whole box, so nothing of what lay there before (another page) shows through at any
// scale.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

class PictureBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr int BorderWidth = 2;
    static constexpr int TwipsPerPixel = 15;

    explicit PictureBox(QWidget* parent = nullptr);

    // The inner area, in pixels, the unit of every drawing.
    double innerWidth() const;
    double innerHeight() const;
    // The outer width in the container's unit.
    double outerWidthTwips() const;
    void setOuterWidthTwips(double twips);

    void setForeColor(const QColor& color) { m_foreColor = color; }
    // Takes effect at the next clear(), as a picture box's background does for its drawing.
    void setBackColor(const QColor& color) { m_backColor = color; }

    // Clears the drawing to the background colour.
    void clear();
    // A filled box in the drawing colour between two corner points, both included.
    void fillBox(double x1, double y1, double x2, double y2);

    // The drawing, the size of the inner area.
    const QImage& image() const;

    // A colour in the platform's convention: 0x80000000 + n names system colour n, anything
    // else is 0x00BBGGRR.
    static QColor colorFromOle(quint32 value, const QPalette& palette);

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static int toPixels(double value);
    // Fits the image to the inner area, keeping what was drawn; new area shows the background.
    void fitImage() const;

    QColor m_foreColor;
    QColor m_backColor;
    mutable QImage m_image;
};
