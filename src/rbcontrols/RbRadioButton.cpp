#include "RbRadioButton.h"

#include "RbDrawCore.h"
#include "RbMarks.h"

#include <QPainter>

TRbRadioButton::TRbRadioButton(QWidget* parent) : TRbCustomControl(parent), m_colors(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    SetFadeSpeed(fsMedium);
    resize(130, 17);
    RebuildLayers();
}

void TRbRadioButton::SetBorderLines(TBorderLines v)
{
    if (v == m_borderLines)
        return;
    m_borderLines = v;
    update();
}

void TRbRadioButton::SetBorderLinesColor(TColor c)
{
    if (c == m_borderLinesColor)
        return;
    m_borderLinesColor = c;
    update();
}

void TRbRadioButton::SetHotTrack(bool v)
{
    if (v == m_hotTrack)
        return;
    m_hotTrack = v;
    update();
}

void TRbRadioButton::SetSpacing(int v)
{
    if (v == m_spacing)
        return;
    m_spacing = v;
    update();
}

void TRbRadioButton::SetChecked(bool v)
{
    if (v == m_checked)
        return;
    m_checked = v;
    if (v)
        UncheckSiblings();
    update();
    NotifyAccessibleState(true, false);
    emit toggled(v);
}

void TRbRadioButton::SetShowFocusRect(bool v)
{
    if (v == m_showFocusRect)
        return;
    m_showFocusRect = v;
    update();
}

void TRbRadioButton::SetCheckColor(TColor c)
{
    if (c == m_checkColor)
        return;
    m_checkColor = c;
    update();
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
}

const TRbPropertyTable& TRbRadioButton::Table()
{
    using C = TRbRadioButton;
    static const TRbPropertyTable t = TRbPropertyTable(&TRbCustomControl::Table())
        .String<C>("Caption", &C::Caption, &C::SetCaption)
        .Set<C>("BorderLines", BorderLineNames(), &C::BorderLines, &C::SetBorderLines)
        .Integer<C>("BorderLinesColor", &C::BorderLinesColor, &C::SetBorderLinesColor)
        .Boolean<C>("HotTrack", &C::HotTrack, &C::SetHotTrack)
        .Enumeration<C, TFadeSpeed>("FadeSpeed", FadeSpeedNames(), &C::FadeSpeed, &C::SetFadeSpeed)
        .Object<C>("Colors", [](C& c) -> TRbPersistent* { return &c.Colors(); })
        .Integer<C>("Spacing", &C::Spacing, &C::SetSpacing)
        .Boolean<C>("Checked", &C::Checked, &C::SetChecked)
        .Boolean<C>("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect)
        .Integer<C>("CheckColor", &C::CheckColor, &C::SetCheckColor)
        .Enumeration<C, TRadioSize>("RadioType", RadioSizeNames(), &C::RadioType, &C::SetRadioType);
    return t;
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
        p.setPen(QPen(ToQColor(m_colors.BorderColor()), 4));
        p.drawEllipse(QRectF(3, 3, w - 6, h - 6));
    }
    DownsampleBitmap(big, layer, 4);
}

void TRbRadioButton::RebuildLayers()
{
    const int cs = m_circleSize;
    const QRegion rgn = EllipseRegion(QRect(0, 0, cs, cs));
    m_layerColor = Color();
    struct Job {
        QImage* layer;
        TColor from, to;
    };
    const Job jobs[] = {{&m_normal, m_colors.DefaultFrom(), m_colors.DefaultTo()},
                        {&m_hot, m_colors.OverFrom(), m_colors.OverTo()},
                        {&m_pressed, m_colors.ClickedFrom(), m_colors.ClickedTo()}};
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
    if (m_checked)
        DrawTintedMark(buffer, RbCirc3DMark(), isEnabled() ? m_checkColor : clGray, q.left() + m_dotOffset,
                       q.top() + m_dotOffset);

    if (ShowCaption()) {
        QPainter p(&buffer);
        const TColor fontColor = m_hotTrack && MouseInside() ? m_colors.HotTrack() : Font().Color();
        const int left = m_circleSize + m_spacing + 2;
        DrawShadowText(p, Caption(), Font(), fontColor, m_colors.TextShadow(), TextShadow(),
                       CaptionFormat(taLeftJustify, false), QRect(left, 0, W - left, H), isEnabled());
    }

    if (m_borderLines & BorderLineBit(blTop))
        DrawLineNoEnd(buffer, 0, 0, W, 0, m_borderLinesColor);
    if (m_borderLines & BorderLineBit(blBottom))
        DrawLineNoEnd(buffer, 0, H - 1, W, H - 1, m_borderLinesColor);
    if (m_borderLines & BorderLineBit(blLeft))
        DrawLineNoEnd(buffer, 0, 0, 0, H, m_borderLinesColor);
    if (m_borderLines & BorderLineBit(blRight))
        DrawLineNoEnd(buffer, W - 1, 0, W - 1, H, m_borderLinesColor);
    if (hasFocus() && m_showFocusRect)
        DrawFocusRect(buffer, QRect(0, 0, W, H));
}

void TRbRadioButton::PresentBuffer(QPainter& widgetPainter, const QImage& buffer)
{
    // Drawn with Color as the transparent colour, so the parent shows through.
    const TRgb key = ResolveColor(Color());
    QImage shown(buffer.size(), QImage::Format_ARGB32);
    for (int y = 0; y < buffer.height(); ++y) {
        const uchar* s = buffer.constScanLine(y);
        auto* d = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < buffer.width(); ++x, s += 3)
            d[x] = (s[0] == key.r && s[1] == key.g && s[2] == key.b) ? 0u : qRgb(s[0], s[1], s[2]);
    }
    widgetPainter.drawImage(0, 0, shown);
}

void TRbRadioButton::MouseEntered()
{
    TRbCustomControl::MouseEntered();
    SetMouseInside(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbRadioButton::MouseLeft()
{
    TRbCustomControl::MouseLeft();
    SetMouseInside(false);
    SetPressed(false);
    SetFadeStep(FadeOut);
    StartFade();
}

void TRbRadioButton::LeftMouseDown()
{
    TakeFocus();
    SetPressed(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbRadioButton::LeftMouseUp()
{
    if (!Pressed())
        return;
    if (!m_checked)
        SetChecked(true);
    SetPressed(false);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbRadioButton::AddAccessibleState(QAccessible::State& state) const
{
    state.checkable = true;
    state.checked = m_checked;
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
