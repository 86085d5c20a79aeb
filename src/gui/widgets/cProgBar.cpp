#include "gui/widgets/cProgBar.h"

#include "core/ErrorObject.h"
#include "gui/widgets/PictureBox.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <cmath>
#include <limits>

namespace {

// The property of a canvas that holds the bar's value, for screen readers.
constexpr char ValueProperty[] = "progressValue";

// A canvas with a bar on it is a progress bar to screen readers, with its value in percent.
class ProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ProgressBarAccessible(QWidget* canvas)
        : QAccessibleWidget(canvas, QAccessible::ProgressBar)
    {}
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return QString::number(currentValue().toInt()) + QLatin1Char('%');
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return widget()->property(ValueProperty); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* progressBarAccessible(const QString&, QObject* object)
{
    auto* canvas = qobject_cast<PictureBox*>(object);
    if (!canvas || !canvas->property(ValueProperty).isValid())
        return nullptr;
    return new ProgressBarAccessible(canvas);
}

constexpr qint32 ObjectErrorBase = static_cast<qint32>(0x80040000u);

// Conversions of fractions round to the nearest integer, halves to the even neighbour, and
// overflow as the runtime's integers do.
template <typename Int> Int roundTo(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= double(std::numeric_limits<Int>::min()) &&
          rounded <= double(std::numeric_limits<Int>::max())))
        raiseError(ErrorNumber::Overflow);
    return static_cast<Int>(rounded);
}

qint16 int16(qint32 value)
{
    return roundTo<qint16>(value);
}

} // namespace

PictureBox& cProgBar::boundCanvas() const
{
    if (!m_canvas)
        raiseError(91); // object variable not set: nothing to measure yet
    return *m_canvas;
}

void cProgBar::setCanvas(QObject* NewObj)
{
    auto* box = qobject_cast<PictureBox*>(NewObj);
    if (!box)
        raiseError(ObjectErrorBase + 1,
                   QStringLiteral("Canvas property must be of type PictureBox."),
                   QStringLiteral("CProgressBar.Canvas"));
    static const bool accessible = [] {
        QAccessible::installFactory(progressBarAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    m_canvas = box;
    box->setProperty(ValueProperty, 0);
    box->setForeColor(PictureBox::colorFromOle(ForeColor, box->palette()));
    box->setBackColor(PictureBox::colorFromOle(BackColor, box->palette()));
    ResizeEx();
}

void cProgBar::setValue(qint32 NewVal)
{
    m_value = NewVal < m_min ? m_min : NewVal > m_max ? m_max : NewVal;
    Refresh();
    if (m_canvas) {
        const int percent = static_cast<int>(
            std::lround(100.0 * (double(m_value) - m_min) / (double(m_max) - m_min)));
        if (m_canvas->property(ValueProperty).toInt() != percent) {
            m_canvas->setProperty(ValueProperty, percent);
            QAccessibleValueChangeEvent event(m_canvas.data(), percent);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void cProgBar::setMin(qint32 NewVal)
{
    if (NewVal >= m_max)
        raiseError(ObjectErrorBase + 2, QStringLiteral("Min property must be less than Max."),
                   QStringLiteral("CProgressBar.Min"));
    m_min = NewVal;
    Refresh();
}

void cProgBar::setMax(qint32 NewVal)
{
    if (NewVal <= m_min)
        raiseError(ObjectErrorBase + 3, QStringLiteral("Max property must be greater than Min."),
                   QStringLiteral("CProgressBar.Max"));
    m_max = NewVal;
    Refresh();
}

void cProgBar::Refresh(std::optional<bool> ClearFirst)
{
    if (!m_canvas)
        return;
    if (ClearFirst.value_or(false))
        m_canvas->clear();
    DrawBlocks();
}

void cProgBar::ResizeEx()
{
    if (m_resizing)
        return;
    MeasureBlocks();
    PictureBox& canvas = boundCanvas();

    const qint16 pitch = int16(m_blockWidth + m_gap);
    qint16 needed = int16(m_gap + m_blockCount * pitch);
    const qint16 inner = roundTo<qint16>(canvas.innerWidth());
    const qint16 over = int16(needed - inner);
    if (m_blockCount > 0 && int16(pitch - over) <= over)
        needed = int16(m_gap + (m_blockCount = int16(m_blockCount - 1)) * pitch);

    // A canvas without room for a single block keeps its width: there is nothing to fit.
    if (m_blockCount > 0) {
        const qint16 border =
            roundTo<qint16>(canvas.outerWidthTwips() - double(inner) * PictureBox::TwipsPerPixel);
        m_resizing = true;
        canvas.setOuterWidthTwips(float(needed) * PictureBox::TwipsPerPixel + float(border));
        m_resizing = false;
    }
    Refresh(true);
}

void cProgBar::MeasureBlocks()
{
    PictureBox& canvas = boundCanvas();
    m_gap = 1;
    m_margin = 2;
    m_blockHeight = roundTo<qint16>(float(canvas.innerHeight()) - 4.0f);
    m_blockWidth = roundTo<qint16>(2.0 / 3.0 * m_blockHeight);
    // Less than one pixel of block height leaves no block to draw, and nothing to divide by.
    if (m_blockHeight < 1 || m_blockWidth + 1 <= 0) {
        m_blockCount = 0;
        return;
    }
    m_blockCount = int16(roundTo<qint32>(canvas.innerWidth()) / (m_blockWidth + 1));
}

void cProgBar::DrawBlocks()
{
    PictureBox& canvas = *m_canvas;
    const double fraction = (double(m_value) - m_min) / (double(m_max) - m_min);
    const qint32 filled = roundTo<qint32>(fraction * m_blockCount);
    const QColor fore = PictureBox::colorFromOle(ForeColor, canvas.palette());
    const QColor back = PictureBox::colorFromOle(BackColor, canvas.palette());
    const int top = m_margin;
    const int bottom = m_margin + m_blockHeight - 1;
    // Boxes that would start beyond the canvas change nothing on it; they are not drawn.
    const double limit = canvas.innerWidth();
    double x = m_margin;
    const auto drawBoxes = [&](qint64 count) {
        for (qint64 i = 0; i < count && x < limit; ++i) {
            canvas.fillBox(x, top, x + m_blockWidth, bottom);
            x += m_blockWidth + m_gap;
        }
    };

    canvas.setForeColor(fore);
    if (m_blockCount < 1)
        return;
    drawBoxes(filled);
    if (filled < m_blockCount) {
        canvas.setForeColor(back);
        drawBoxes(qint64(m_blockCount) - filled);
    }
}
