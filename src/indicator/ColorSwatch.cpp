#include "indicator/ColorSwatch.h"

#include "indicator/IndicatorPixels.h"

#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    resize(17, 17);
    SetColor(0);
}

void TColorSwatch::SetColor(TColor c)
{
    if (m_color == c)
        return;
    m_color = c;
    // Spoken after the name, so the colour is not known by sight alone.
    setAccessibleDescription(QColor::fromRgb(ColorToRgb(ResolveColor(c, palette()))).name());
    update();
}

void TColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(ColorToRgb(ResolveColor(m_color, palette()))));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}
