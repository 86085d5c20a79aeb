#include "gui/widgets/DesignedControls.h"

#include "gui/widgets/DesignFonts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace DesignedControls {

QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int value) { return qRound(value / 15.0); };
    return QRect(px(left), px(top), px(width), px(height));
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
              Qt::Alignment alignment)
{
    auto* control = new QLabel(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setTextFormat(Qt::PlainText);
    control->setWordWrap(true);
    control->setAlignment(alignment | Qt::AlignTop);
    control->setGeometry(geometry);
    DesignFonts::shrinkToFit(control);
    return control;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& geometry)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

void fixAndCentre(QWidget* window, const QSize& clientSize)
{
    window->setFixedSize(clientSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, clientSize,
                                                screen->availableGeometry()));
}

} // namespace DesignedControls
