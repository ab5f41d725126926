#include "RbCheckBox.h"

#include "RbDrawCore.h"
#include "RbMarks.h"

#include <QPainter>

namespace {
constexpr int kBox = 13;
}

TRbCheckBox::TRbCheckBox(QWidget* parent) : TRbCustomControl(parent), m_colors(this)
{
    SetFadeSpeed(fsMedium);
    resize(130, 17);
    RebuildLayers();
}

void TRbCheckBox::SetBorderLines(TBorderLines v)
{
    if (v == m_borderLines)
        return;
    m_borderLines = v;
    update();
}

void TRbCheckBox::SetBorderLinesColor(TColor c)
{
    if (c == m_borderLinesColor)
        return;
    m_borderLinesColor = c;
    update();
}

void TRbCheckBox::SetHotTrack(bool v)
{
    if (v == m_hotTrack)
        return;
    m_hotTrack = v;
    update();
}

void TRbCheckBox::SetSpacing(int v)
{
    if (v == m_spacing)
        return;
    m_spacing = v;
    update();
}

void TRbCheckBox::SetChecked(bool v)
{
    if (v == m_checked)
        return;
    m_checked = v;
    update();
    NotifyAccessibleState(true, false);
    emit toggled(v);
}

void TRbCheckBox::SetShowFocusRect(bool v)
{
    if (v == m_showFocusRect)
        return;
    m_showFocusRect = v;
    update();
}

void TRbCheckBox::SetCheckColor(TColor c)
{
    if (c == m_checkColor)
        return;
    m_checkColor = c;
    update();
}

const TRbPropertyTable& TRbCheckBox::Table()
{
    using C = TRbCheckBox;
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
        .Boolean<C>("GradientBorder", &C::GradientBorder, &C::SetGradientBorder);
    return t;
}

void TRbCheckBox::ToggleChecked()
{
    SetChecked(!m_checked);
    TRbCustomControl::Click(); // OnClick
}

void TRbCheckBox::RebuildLayers()
{
    const QRect r(0, 0, kBox, kBox);
    m_normal = MakeBitmap(kBox, kBox);
    m_hot = MakeBitmap(kBox, kBox);
    m_pressed = MakeBitmap(kBox, kBox);
    GradientFill(m_normal, r, m_colors.DefaultFrom(), m_colors.DefaultTo(), gtFromTopLeft);
    GradientFill(m_hot, r, m_colors.OverFrom(), m_colors.OverTo(), gtFromTopLeft);
    GradientFill(m_pressed, r, m_colors.ClickedFrom(), m_colors.ClickedTo(), gtFromTopLeft);
    for (QImage* layer : {&m_normal, &m_hot}) {
        const TColor b = m_colors.BorderColor();
        DrawLineNoEnd(*layer, 0, 0, kBox, 0, b);
        DrawLineNoEnd(*layer, 0, kBox - 1, kBox, kBox - 1, b);
        DrawLineNoEnd(*layer, 0, 0, 0, kBox, b);
        DrawLineNoEnd(*layer, kBox - 1, 0, kBox - 1, kBox, b);
    }
    update();
}

QRect TRbCheckBox::BoxRect() const
{
    // The box is composed at (1, dy) of a buffer that is itself shown at
    // (1, dy): it lands at (2, 2 dy).
    const int dy = (height() - kBox) / 4;
    return QRect(2, 2 * dy, kBox, kBox);
}

void TRbCheckBox::PaintBuffer(QImage& canvas)
{
    const int W = canvas.width(), H = canvas.height();
    const int dy = (H - kBox) / 4;
    const QRect q(1, dy, kBox, kBox);

    QImage box = MakeBitmap(W, H, Color());
    ComposeLayers(box, m_normal, m_hot, 0, q, HoverLevel());
    if (PressLevel() > 0) {
        const int b = m_gradientBorder ? 2 : 1;
        ComposeLayers(box, box, m_pressed, 10, q.adjusted(b, b, -b, -b), PressLevel());
    }
    if (m_checked)
        DrawTintedMark(box, RbCheckMark(), isEnabled() ? m_checkColor : clGray, q.left() + 2, q.top() + 2);
    ComposeLayers(canvas, box, box, 0, QRect(q.left(), q.top(), W, H), 0);

    QPainter p(&canvas);
    if (ShowCaption()) {
        const TColor fontColor = m_hotTrack && MouseInside() ? m_colors.HotTrack() : Font().Color();
        DrawShadowText(p, Caption(), Font(), fontColor, m_colors.TextShadow(), TextShadow(),
                       CaptionFormat(taLeftJustify, false), QRect(m_spacing + 16, 0, W - m_spacing - 16, H),
                       isEnabled());
    }
    p.end();

    if (m_borderLines & BorderLineBit(blTop))
        DrawLineNoEnd(canvas, 0, 0, W, 0, m_borderLinesColor);
    if (m_borderLines & BorderLineBit(blBottom))
        DrawLineNoEnd(canvas, 0, H - 1, W, H - 1, m_borderLinesColor);
    if (m_borderLines & BorderLineBit(blLeft))
        DrawLineNoEnd(canvas, 0, 0, 0, H, m_borderLinesColor);
    if (m_borderLines & BorderLineBit(blRight))
        DrawLineNoEnd(canvas, W - 1, 0, W - 1, H, m_borderLinesColor);
    if (hasFocus() && m_showFocusRect)
        DrawFocusRect(canvas, QRect(0, 0, W, H));
}

void TRbCheckBox::MouseEntered()
{
    TRbCustomControl::MouseEntered();
    SetMouseInside(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbCheckBox::MouseLeft()
{
    TRbCustomControl::MouseLeft();
    SetMouseInside(false);
    SetPressed(false);
    SetFadeStep(FadeOut);
    StartFade();
}

void TRbCheckBox::LeftMouseDown()
{
    TakeFocus();
    SetPressed(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbCheckBox::LeftMouseUp()
{
    if (!Pressed())
        return;
    SetPressed(false);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbCheckBox::AddAccessibleState(QAccessible::State& state) const
{
    state.checkable = true;
    state.checked = m_checked;
}

QStringList TRbCheckBox::AccessibleActionNames() const
{
    return {QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction()};
}

void TRbCheckBox::DoAccessibleAction(const QString& name)
{
    if (isEnabled() && (name == QAccessibleActionInterface::toggleAction()
                        || name == QAccessibleActionInterface::pressAction()))
        ToggleChecked();
}
