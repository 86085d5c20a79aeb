#include "gui/widgets/DesignFonts.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace {

QFont fontOf(const QStringList& families, qreal pointSize, bool bold = false)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    // Smoothed whatever the desktop says: unsmoothed, Wine's hinting drops whole stems ("I",
    // "!") at these sizes, and a Wine prefix starts with smoothing off.
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

namespace DesignFonts {

QFont standardDialog()
{
    // The captions were fitted to MS Sans Serif, a bitmap face that does not scale with the
    // monitor's DPI; Windows has its outline twin Microsoft Sans Serif, Wine neither of them.
    // Liberation Sans runs as wide. DejaVu Sans, which every Debian desktop has, runs wider and
    // needs a smaller size.
    QStringList sameWidth = {QStringLiteral("Liberation Sans")};
#ifdef Q_OS_WIN
    sameWidth.prepend(QStringLiteral("Microsoft Sans Serif"));
#endif
    for (const QString& family : sameWidth) {
        const QFont font = fontOf({family}, 8.25);
        if (QFontInfo(font).family() == family)
            return font;
    }
    return fontOf({QStringLiteral("DejaVu Sans")}, 7);
}

QFont msSansSerif(bool bold, bool underline)
{
    QFont font = standardDialog();
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont timesNewRoman(qreal pointSize, bool bold)
{
    return fontOf({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("DejaVu Serif")},
                  pointSize, bold);
}

QFont courierNew(qreal pointSize)
{
    return fontOf({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                   QStringLiteral("DejaVu Sans Mono")},
                  pointSize);
}

namespace {
constexpr qreal SmallestReadable = 6.5;
} // namespace

namespace {

// The caption fits when it fits the room that the indicator leaves in the rectangle; the size
// hint would also ask for margins around it that the design never had.
bool captionFits(QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(qobject_cast<QRadioButton*>(button)
                                                           ? QStyle::SE_RadioButtonContents
                                                           : QStyle::SE_CheckBoxContents,
                                                       &option, button);
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() <= room.width();
}

} // namespace

void growToFit(QAbstractButton* button, int widest)
{
    while (!captionFits(button) && button->width() < widest)
        button->resize(std::min(widest, button->width() + 4), button->height());
}

void shrinkToFit(QAbstractButton* button)
{
    QFont font = button->font();
    while (!captionFits(button) && font.pointSizeF() > SmallestReadable) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        button->setFont(font);
    }
}

void shrinkToFit(QLabel* label)
{
    const auto fits = [label](const QFont& font) {
        const QRect needed = QFontMetrics(font).boundingRect(
            label->contentsRect(),
            int(label->alignment()) | Qt::TextWordWrap | Qt::TextShowMnemonic, label->text());
        return needed.height() <= label->contentsRect().height() &&
               needed.width() <= label->contentsRect().width();
    };
    QFont font = label->font();
    while (!fits(font) && font.pointSizeF() > SmallestReadable) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        label->setFont(font);
    }
}

} // namespace DesignFonts
