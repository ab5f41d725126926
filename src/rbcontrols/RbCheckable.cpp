#include "rbcontrols/RbCheckable.h"

#include "rbcontrols/TextContrast.h"

#include "rbcontrols/RbDrawCore.h"

#include <QPainter>

TRbCheckable::TRbCheckable(QWidget* parent) : TRbCustomControl(parent), m_colors(this)
{
    SetFadeSpeed(fsMedium);
    resize(130, 17);
}

void TRbCheckable::SetBorderLines(TBorderLines v)
{
    if (v == m_borderLines)
        return;
    m_borderLines = v;
    update();
    emit borderLinesChanged();
}

void TRbCheckable::SetBorderLinesColor(TColor c)
{
    if (c == m_borderLinesColor)
        return;
    m_borderLinesColor = c;
    update();
    emit borderLinesColorChanged();
}

void TRbCheckable::SetHotTrack(bool v)
{
    if (v == m_hotTrack)
        return;
    m_hotTrack = v;
    update();
    emit hotTrackChanged();
}

void TRbCheckable::SetSpacing(int v)
{
    if (v == m_spacing)
        return;
    m_spacing = v;
    update();
    emit spacingChanged();
}

void TRbCheckable::SetChecked(bool v)
{
    if (v == m_checked)
        return;
    m_checked = v;
    if (v)
        CheckedOn();
    update();
    NotifyAccessibleState(true, false);
    emit toggled(v);
}

void TRbCheckable::SetShowFocusRect(bool v)
{
    if (v == m_showFocusRect)
        return;
    m_showFocusRect = v;
    update();
    emit showFocusRectChanged();
}

void TRbCheckable::SetCheckColor(TColor c)
{
    if (c == m_checkColor)
        return;
    m_checkColor = c;
    update();
    emit checkColorChanged();
}

void TRbCheckable::PaintCaption(QImage& buffer, const QRect& r)
{
    if (!ShowCaption())
        return;
    const TColor fontColor = FromQColor(CaptionColor());
    PaintSharp(buffer, [this, fontColor, r](QPainter& p) {
        DrawShadowText(p, Caption(), Font(), fontColor, m_colors.TextShadow(), TextShadow(),
                       CaptionFormat(taLeftJustify, false), r, isEnabled());
    });
}

QColor TRbCheckable::CaptionColor() const
{
    const TColor font = m_hotTrack && MouseInside() ? m_colors.HotTrack() : Font().Color();
    return WithContrast(ToQColor(font), ToQColor(Color()));
}

void TRbCheckable::PaintFrame(QImage& canvas) const
{
    const int W = canvas.width(), H = canvas.height();
    if (m_borderLines.testFlag(blTop))
        DrawLineNoEnd(canvas, 0, 0, W, 0, m_borderLinesColor);
    if (m_borderLines.testFlag(blBottom))
        DrawLineNoEnd(canvas, 0, H - 1, W, H - 1, m_borderLinesColor);
    if (m_borderLines.testFlag(blLeft))
        DrawLineNoEnd(canvas, 0, 0, 0, H, m_borderLinesColor);
    if (m_borderLines.testFlag(blRight))
        DrawLineNoEnd(canvas, W - 1, 0, W - 1, H, m_borderLinesColor);
    if (hasFocus() && m_showFocusRect)
        DrawFocusRect(canvas, QRect(0, 0, W, H));
}

void TRbCheckable::MouseEntered()
{
    TRbCustomControl::MouseEntered();
    SetMouseInside(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbCheckable::MouseLeft()
{
    TRbCustomControl::MouseLeft();
    SetMouseInside(false);
    SetPressed(false);
    SetFadeStep(FadeOut);
    StartFade();
}

void TRbCheckable::LeftMouseDown()
{
    TakeFocus();
    SetPressed(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbCheckable::AddAccessibleState(QAccessible::State& state) const
{
    state.checkable = true;
    state.checked = m_checked;
}
