#include "rbcontrols/RbRadioButton.h"

#include "rbcontrols/RbDrawCore.h"
#include "rbcontrols/RbMarks.h"

#include <QPainter>

TRbRadioButton::TRbRadioButton(QWidget* parent) : TRbCheckable(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    RebuildLayers();
}

void TRbRadioButton::SetRadioType(TRadioSize v)
{
    if (v == m_radioType)
        return;
    m_radioType = v;
    switch (v) {
    case rsSmall: m_circleSize = 11; m_dotOffset = 2; break;
    case rsMedium: m_circleSize = 13; m_dotOffset = 3; break;
    case rsLarge: m_circleSize = 15; m_dotOffset = 4; break;
    }
    RebuildLayers();
    emit radioTypeChanged();
}

void TRbRadioButton::UncheckSiblings()
{
    QWidget* p = parentWidget();
    if (!p)
        return;
    for (TRbRadioButton* r : p->findChildren<TRbRadioButton*>(Qt::FindDirectChildrenOnly))
        if (r != this)
            r->SetChecked(false);
}

void TRbRadioButton::DrawRing(QImage& layer) const
{
    if (layer.isNull())
        return;
    const int w = layer.width() * 4, h = layer.height() * 4;
    QImage big = layer.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    {
        QPainter p(&big);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ToQColor(Colors().BorderColor()), 4));
        p.drawEllipse(QRectF(3, 3, w - 6, h - 6));
    }
    DownsampleBitmap(big, layer, 4);
}

void TRbRadioButton::RebuildLayers()
{
    if (DeferRebuild())
        return;
    const int cs = m_circleSize;
    const QRegion rgn = EllipseRegion(QRect(0, 0, cs, cs));
    m_layerColor = Color();
    struct Job {
        QImage* layer;
        TColor from, to;
    };
    const Job jobs[] = {{&m_normal, Colors().DefaultFrom(), Colors().DefaultTo()},
                        {&m_hot, Colors().OverFrom(), Colors().OverTo()},
                        {&m_pressed, Colors().ClickedFrom(), Colors().ClickedTo()}};
    for (const Job& j : jobs) {
        *j.layer = MakeBitmap(cs, cs, m_layerColor);
        GradientFill(*j.layer, QRect(0, 0, cs, cs), j.from, j.to, gtFromTopLeft, &rgn);
        DrawRing(*j.layer);
    }
    update();
}

QRect TRbRadioButton::CircleRect() const
{
    return QRect(2, (height() - m_circleSize) / 2, m_circleSize, m_circleSize);
}

void TRbRadioButton::PaintBuffer(QImage& buffer)
{
    const int W = buffer.width(), H = buffer.height();
    // The corners of the layers carry Color, which is keyed out: a new
    // parent colour needs new layers.
    if (m_layerColor != Color())
        RebuildLayers();
    const QRect q = CircleRect();
    ComposeLayers(buffer, m_normal, m_hot, 0, q, HoverLevel());
    if (PressLevel() > 0)
        ComposeLayers(buffer, m_hot, m_pressed, 0, q, PressLevel());
    if (Checked()) {
        const TColor tint = isEnabled() ? CheckColor() : clGray;
        const QPoint at(q.left() + m_dotOffset, q.top() + m_dotOffset);
        if (RenderRatio() > 1.0)
            PaintSharp(buffer, [tint, at](QPainter& p) { PaintCirc3DMark(p, at, tint); });
        else
            DrawTintedMark(buffer, RbCirc3DMark(), tint, at.x(), at.y());
    }

    const int left = m_circleSize + Spacing() + 2;
    PaintCaption(buffer, QRect(left, 0, W - left, H));
    PaintFrame(buffer);
}

void TRbRadioButton::PresentBuffer(QPainter& widgetPainter, const QImage& buffer)
{
    // Drawn with Color as the transparent colour, so the parent shows through.
    const TRgb key = ResolveColor(Color());
    QImage shown(buffer.size(), QImage::Format_ARGB32);
    shown.setDevicePixelRatio(buffer.devicePixelRatio());
    for (int y = 0; y < buffer.height(); ++y) {
        const uchar* s = buffer.constScanLine(y);
        auto* d = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < buffer.width(); ++x, s += 3)
            d[x] = (s[0] == key.r && s[1] == key.g && s[2] == key.b) ? 0u : qRgb(s[0], s[1], s[2]);
    }
    widgetPainter.drawImage(0, 0, shown);
}

void TRbRadioButton::LeftMouseUp()
{
    if (!Pressed())
        return;
    if (!Checked())
        SetChecked(true);
    SetPressed(false);
    SetFadeStep(FadeIn);
    StartFade();
}

QStringList TRbRadioButton::AccessibleActionNames() const
{
    return {QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::toggleAction()};
}

void TRbRadioButton::DoAccessibleAction(const QString& name)
{
    if (!isEnabled())
        return;
    if (name == QAccessibleActionInterface::pressAction() || name == QAccessibleActionInterface::toggleAction()) {
        Click();
        SetChecked(true);
    }
}
