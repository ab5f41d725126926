#include "rbcontrols/RbProgressBar.h"

#include "rbcontrols/RbAccessible.h"
#include "rbcontrols/RbDrawCore.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

// Screen readers read a progress bar by its value; the controls' common
// interface has no value, so the bar gets one of its own.
class TRbProgressAccessible : public TRbAccessibleControl, public QAccessibleValueInterface {
public:
    explicit TRbProgressAccessible(TRbProgressBar* bar) : TRbAccessibleControl(bar) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return TRbAccessibleControl::interface_cast(t);
    }
    QVariant currentValue() const override { return bar()->Position(); }
    void setCurrentValue(const QVariant&) override {} // shows progress, takes no input
    QVariant maximumValue() const override { return bar()->Max(); }
    QVariant minimumValue() const override { return bar()->Min(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    TRbProgressBar* bar() const { return static_cast<TRbProgressBar*>(widget()); }
};

QAccessibleInterface* ProgressAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TRbProgressBar"))
        if (auto* bar = qobject_cast<TRbProgressBar*>(object))
            return new TRbProgressAccessible(bar);
    return nullptr;
}

// Qt asks the factory installed last first: this one goes in after the
// factory that serves every skinned control, which the base installs.
void InstallProgressAccessibility()
{
    static const bool done = [] {
        QAccessible::installFactory(&ProgressAccessibleFactory);
        return true;
    }();
    (void)done;
}

} // namespace

TRbProgressBar::TRbProgressBar(QWidget* parent) : TRbCustomControl(parent)
{
    InstallProgressAccessibility();
    // It shows progress and takes no input.
    setFocusPolicy(Qt::NoFocus);
    SetTextShadow(false);
    resize(150, 16);
    RebuildLayers();
}

// ---- range

void TRbProgressBar::SetPosition(int v)
{
    // Clamped in one go: a range turned upside down while loading must not
    // bounce between its ends.
    if (v < m_min)
        v = m_min;
    if (v > m_max)
        v = m_max;
    const bool moved = v != m_position;
    m_position = v;
    if (m_max <= m_min) {
        m_percent = 0;
    } else {
        const double share = std::abs(double(m_position) - m_min) / (double(m_max) - m_min);
        m_percent = std::clamp(RbRound(share * 100.0), 0, 100);
    }
    update();
    NotifyValue();
    if (moved)
        emit positionChanged();
}

void TRbProgressBar::SetMax(int v)
{
    if (!m_loading && (v == m_max || v <= m_min))
        return;
    const bool changed = v != m_max;
    m_max = v;
    SetPosition(m_position);
    if (changed)
        emit maxChanged();
}

void TRbProgressBar::SetMin(int v)
{
    if (!m_loading && (v == m_min || v >= m_max))
        return;
    const bool changed = v != m_min;
    m_min = v;
    SetPosition(m_position);
    if (changed)
        emit minChanged();
}

void TRbProgressBar::SetStep(int v)
{
    if (v == m_step)
        return;
    m_step = v;
    emit stepChanged();
}

void TRbProgressBar::NotifyValue()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent ev(this, m_position);
    QAccessible::updateAccessibility(&ev);
}

// ---- look

void TRbProgressBar::SetDefaultFrom(TColor c)
{
    if (c == m_defaultFrom)
        return;
    m_defaultFrom = c;
    RebuildLayers();
    emit defaultFromChanged();
}

void TRbProgressBar::SetDefaultTo(TColor c)
{
    if (c == m_defaultTo)
        return;
    m_defaultTo = c;
    RebuildLayers();
    emit defaultToChanged();
}

void TRbProgressBar::SetBorderLines(TBorderLines lines)
{
    lines &= AllBorderLines;
    if (lines == m_borderLines)
        return;
    m_borderLines = lines;
    update();
    emit borderLinesChanged();
}

void TRbProgressBar::SetBorderColor(TColor c)
{
    if (c == m_borderColor)
        return;
    m_borderColor = c;
    update();
    emit borderColorChanged();
}

void TRbProgressBar::SetBorderWidth(int w)
{
    if (w == m_borderWidth || w < 0 || w >= height() / 2)
        return;
    m_borderWidth = w;
    update();
    emit borderWidthChanged();
}

void TRbProgressBar::SetGradientType(TGradientType t)
{
    if (t == m_gradientType)
        return;
    m_gradientType = t;
    RebuildLayers();
    emit gradientTypeChanged();
}

void TRbProgressBar::SetOrientation(TProgressBarOrientation o)
{
    if (o == m_orientation)
        return;
    m_orientation = o;
    update();
    emit orientationChanged();
}

void TRbProgressBar::SetShowText(bool on)
{
    if (on == m_showText)
        return;
    m_showText = on;
    update();
    emit showTextChanged();
}

QString TRbProgressBar::DisplayText() const
{
    if (!m_showText && !ShowCaption())
        return QString();
    const QString percent = m_showText ? QString::number(m_percent) + QLatin1Char('%') : QString();
    if (!Caption().isEmpty() && ShowCaption())
        return m_showText ? Caption() + QLatin1Char(' ') + percent : Caption();
    return percent;
}

// ---- layers and paint

void TRbProgressBar::RebuildLayers()
{
    if (DeferRebuild())
        return;
    m_gradient = MakeBitmap(width(), height(), clNone);
    if (!m_gradient.isNull())
        GradientFill(m_gradient, m_gradient.rect(), m_defaultFrom, m_defaultTo, m_gradientType);
    update();
}

void TRbProgressBar::Resized()
{
    RebuildLayers();
}

void TRbProgressBar::PaintBuffer(QImage& buffer)
{
    const int W = buffer.width(), H = buffer.height();
    if (m_gradient.size() != buffer.size())
        RebuildLayers();

    QRect r(0, 0, W, H);
    if (m_orientation == pbHorizontal)
        r.setRight(W * m_percent / 100 - 1);
    else
        r.setTop(H * (100 - m_percent) / 100); // grows upwards
    const int inset = m_borderLines != 0 ? m_borderWidth + 1 : m_borderWidth;
    r.adjust(inset, inset, -inset, -inset);
    if (m_percent > 0 && !r.isEmpty())
        ComposeLayers(buffer, m_gradient.copy(r), m_gradient, 0, r, 0);

    const QString text = DisplayText();
    if (!text.isEmpty()) {
        TRbTextFormat fmt;
        fmt.Align = Qt::AlignHCenter | Qt::AlignVCenter;
        fmt.WordWrap = false;
        fmt.EndEllipsis = true;
        fmt.Prefix = true;
        PaintSharp(buffer, [this, text, fmt, W, H](QPainter& p) {
            DrawShadowText(p, text, Font(), clWhite, TextShadow(), fmt, QRect(0, 0, W, H), true);
        });
    }

    QPainter p(&buffer);
    // One-pixel lines on the edges, each without its end point.
    p.setPen(ToQColor(m_borderColor));
    if (m_borderLines.testFlag(blTop))
        p.drawLine(0, 0, W - 1, 0);
    if (m_borderLines.testFlag(blBottom))
        p.drawLine(0, H - 1, W - 1, H - 1);
    if (m_borderLines.testFlag(blLeft))
        p.drawLine(0, 0, 0, H - 1);
    if (m_borderLines.testFlag(blRight))
        p.drawLine(W - 1, 0, W - 1, H - 1);
}
