#include "rbcontrols/RbCheckBox.h"

#include "rbcontrols/RbDrawCore.h"
#include "rbcontrols/RbMarks.h"

#include <QPainter>

namespace {
constexpr int kBox = 13;
}

TRbCheckBox::TRbCheckBox(QWidget* parent) : TRbCheckable(parent)
{
    RebuildLayers();
}

void TRbCheckBox::SetGradientBorder(bool v)
{
    if (v == m_gradientBorder)
        return;
    m_gradientBorder = v;
    emit gradientBorderChanged();
}

void TRbCheckBox::ToggleChecked()
{
    SetChecked(!Checked());
    TRbCustomControl::Click(); // OnClick
}

void TRbCheckBox::RebuildLayers()
{
    if (DeferRebuild())
        return;
    const QRect r(0, 0, kBox, kBox);
    m_normal = MakeBitmap(kBox, kBox);
    m_hot = MakeBitmap(kBox, kBox);
    m_pressed = MakeBitmap(kBox, kBox);
    GradientFill(m_normal, r, Colors().DefaultFrom(), Colors().DefaultTo(), gtFromTopLeft);
    GradientFill(m_hot, r, Colors().OverFrom(), Colors().OverTo(), gtFromTopLeft);
    GradientFill(m_pressed, r, Colors().ClickedFrom(), Colors().ClickedTo(), gtFromTopLeft);
    for (QImage* layer : {&m_normal, &m_hot}) {
        const TColor b = Colors().BorderColor();
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
    const TColor tint = isEnabled() ? CheckColor() : clGray;
    if (Checked() && RenderRatio() <= 1.0)
        DrawTintedMark(box, RbCheckMark(), tint, q.left() + 2, q.top() + 2);
    ComposeLayers(canvas, box, box, 0, QRect(q.left(), q.top(), W, H), 0);
    // The box lands at q's corner of a buffer placed at q's corner.
    if (Checked() && RenderRatio() > 1.0)
        PaintSharp(canvas, [tint, at = QPointF(2 * q.left() + 2, 2 * q.top() + 2)](QPainter& p) {
            PaintCheckMark(p, at, tint);
        });

    PaintCaption(canvas, QRect(Spacing() + 16, 0, W - Spacing() - 16, H));
    PaintFrame(canvas);
}

void TRbCheckBox::LeftMouseUp()
{
    if (!Pressed())
        return;
    SetPressed(false);
    SetFadeStep(FadeIn);
    StartFade();
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
