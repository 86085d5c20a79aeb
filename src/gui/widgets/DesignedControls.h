// Controls made as the windows' designs give them: positions in twips, labels that wrap and cut
// off like the design's, and a fixed-size window centred on the screen.
#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace DesignedControls {

// The designs measure in twips; 15 of them make one pixel at 96 dots per inch.
QRect twips(int left, int top, int width, int height);

// A label that wraps at word boundaries from its top edge; what does not fit is cut off.
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
              Qt::Alignment alignment = Qt::AlignLeft);
QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& geometry);

// Fixes the window's client size and centres it on the primary screen.
void fixAndCentre(QWidget* window, const QSize& clientSize);

} // namespace DesignedControls
