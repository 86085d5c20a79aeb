// A segmented progress bar drawn on a picture box: one row of equal blocks, the first ones in
// the bar colour, the rest in the background colour. It redraws only when one of its own
// operations runs; the canvas keeps the drawing in between.
#pragma once

#include "gui/widgets/PictureBox.h"

#include <QPointer>

#include <optional>

class cProgBar
{
public:
    cProgBar() = default;

    // Binds the canvas: it must be a picture box. Prepares, measures, fits and draws at once.
    void setCanvas(QObject* NewObj);

    // Stored clamped into [Min, Max].
    void setValue(qint32 NewVal);
    qint32 Value() const { return m_value; }
    // Accepted only below Max.
    void setMin(qint32 NewVal);
    qint32 Min() const { return m_min; }
    // Accepted only above Min.
    void setMax(qint32 NewVal);
    qint32 Max() const { return m_max; }

    void Refresh(std::optional<bool> ClearFirst = std::nullopt);
    // Re-measures the blocks, fits the canvas width to a whole number of them and redraws.
    void ResizeEx();

private:
    void MeasureBlocks();
    void DrawBlocks();
    PictureBox& boundCanvas() const;

    QPointer<PictureBox> m_canvas;
    qint32 m_value = 0;
    qint32 m_min = 0;
    qint32 m_max = 100;
    // The selection highlight on the button face, in the platform's colour convention.
    static constexpr quint32 ForeColor = 0x8000000Du;
    static constexpr quint32 BackColor = 0x8000000Fu;
    qint16 m_blockWidth = 0;
    qint16 m_blockHeight = 0;
    qint16 m_gap = 0;
    qint16 m_margin = 0;
    qint16 m_blockCount = 0;
    bool m_resizing = false;
};
