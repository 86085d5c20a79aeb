// The fonts that the window's design names. Where a system lacks a named face, the nearest one
// it has stands in, sized so that the designed captions still fit their fixed rectangles.
#pragma once

#include <QFont>

class QAbstractButton;
class QLabel;

namespace DesignFonts {

// The standard dialog font of every control that carries no font of its own.
QFont standardDialog();
// "MS Sans Serif" 8.25 pt: the standard dialog font's own face.
QFont msSansSerif(bool bold = false, bool underline = false);
// "Times New Roman" at the given size.
QFont timesNewRoman(qreal pointSize, bool bold = false);
// "Courier New" at the given size.
QFont courierNew(qreal pointSize);

// Where a stand-in face needs more room than the designed one did, steps the label's font down
// until its caption fits the label's fixed rectangle.
void shrinkToFit(QLabel* label);
// The same for a caption beside an option button's or check box's indicator.
void shrinkToFit(QAbstractButton* button);
// Widens an option button or check box, up to the given width, until its caption fits: for a
// translation longer than the designed caption where its row is empty to the right.
void growToFit(QAbstractButton* button, int widest);

} // namespace DesignFonts
