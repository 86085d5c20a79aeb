#include "gui/widgets/PictureBox.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), m_foreColor(palette().color(QPalette::WindowText)),
      m_backColor(palette().color(QPalette::Button))
{}

double PictureBox::innerWidth() const
{
    return std::max(0, width() - 2 * BorderWidth);
}

double PictureBox::innerHeight() const
{
    return std::max(0, height() - 2 * BorderWidth);
}

double PictureBox::outerWidthTwips() const
{
    return double(width()) * TwipsPerPixel;
}

void PictureBox::setOuterWidthTwips(double twips)
{
    resize(std::max(0, int(std::lround(twips / TwipsPerPixel))), height());
}

int PictureBox::toPixels(double value)
{
    return int(std::lround(std::clamp(value, -1e6, 1e6)));
}

void PictureBox::fitImage() const
{
    const QSize inner(std::max(0, width() - 2 * BorderWidth),
                      std::max(0, height() - 2 * BorderWidth));
    if (m_image.size() == inner)
        return;
    QImage fitted(inner, QImage::Format_RGB32);
    fitted.fill(m_backColor);
    if (!m_image.isNull()) {
        QPainter painter(&fitted);
        painter.drawImage(0, 0, m_image);
    }
    m_image = fitted;
}

const QImage& PictureBox::image() const
{
    fitImage();
    return m_image;
}

void PictureBox::clear()
{
    fitImage();
    m_image.fill(m_backColor);
    update();
}

void PictureBox::fillBox(double x1, double y1, double x2, double y2)
{
    fitImage();
    const int left = toPixels(std::min(x1, x2));
    const int right = toPixels(std::max(x1, x2));
    const int top = toPixels(std::min(y1, y2));
    const int bottom = toPixels(std::max(y1, y2));
    const QRect box = QRect(QPoint(left, top), QPoint(right, bottom)) & m_image.rect();
    if (box.isEmpty())
        return;
    QPainter painter(&m_image);
    painter.fillRect(box, m_foreColor);
    // The whole box: a partial update leaves seams at a fractional scale.
    update();
}

QColor PictureBox::colorFromOle(quint32 value, const QPalette& palette)
{
    if ((value & 0x80000000u) == 0)
        return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    switch (value & 0xFFu) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 13: // selection highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // 3-D highlight
        return palette.color(QPalette::Light);
    default: // 15, the button face, and the rest of the 3-D family
        return palette.color(QPalette::Button);
    }
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colors = palette();
    const int w = width();
    const int h = height();
    // At a fractional scale the lines below leave device pixels between them untouched.
    painter.fillRect(rect(), colors.color(QPalette::Button));
    // The classic sunken edge: shadow and dark shadow above and left, light below and right.
    painter.setPen(colors.color(QPalette::Dark));
    painter.drawLine(0, 0, w - 2, 0);
    painter.drawLine(0, 0, 0, h - 2);
    painter.setPen(colors.color(QPalette::Shadow));
    painter.drawLine(1, 1, w - 3, 1);
    painter.drawLine(1, 1, 1, h - 3);
    painter.setPen(colors.color(QPalette::Light));
    painter.drawLine(0, h - 1, w - 1, h - 1);
    painter.drawLine(w - 1, 0, w - 1, h - 1);
    painter.setPen(colors.color(QPalette::Button));
    painter.drawLine(1, h - 2, w - 2, h - 2);
    painter.drawLine(w - 2, 1, w - 2, h - 2);
    painter.drawImage(BorderWidth, BorderWidth, image());
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitImage();
    emit resized();
}
