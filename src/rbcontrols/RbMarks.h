#pragma once

#include <QImage>
#include <QString>

// The program's two 8 x 8 mark bitmaps, drawn from their pixel tables:
// "CHECK", the tick of the check box (black on magenta), and "CIRC3D", the
// dot of the radio button (dark shades on white). Both are 24-bit.
QImage RbMarkBitmap(const QString& name); // null image for an unknown name
const QImage& RbCheckMark();
const QImage& RbCirc3DMark();

class QPainter;
class QPointF;

// The same two marks as shapes, for a dense screen: each covers the pixels
// of its bitmap placed with its top-left at `at`, in the colours
// DrawTintedMark gives the bitmap with `tint`.
void PaintCheckMark(QPainter& p, const QPointF& at, int tint);
void PaintCirc3DMark(QPainter& p, const QPointF& at, int tint);
