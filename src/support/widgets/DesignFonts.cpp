#include "support/widgets/DesignFonts.h"

#include <QStringList>

namespace {

QFont fontOf(const QStringList& families, qreal pointSize, bool bold = false)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

namespace DesignFonts {

QFont standardDialog()
{
#ifdef Q_OS_WIN
    return fontOf({QStringLiteral("MS Sans Serif")}, 8.25);
#else
    // DejaVu Sans is the one face that every Debian desktop has; it runs wider than MS Sans
    // Serif, so it needs a smaller size for the captions to fit their labels.
    return fontOf({QStringLiteral("DejaVu Sans")}, 7.5);
#endif
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

} // namespace DesignFonts
