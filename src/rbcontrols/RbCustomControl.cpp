#include "rbcontrols/RbCustomControl.h"

#include "rbcontrols/RbAccessible.h"
#include "rbcontrols/RbDrawCore.h"

#include <QApplication>
#include <QtMath>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

TRbCustomControl::TRbCustomControl(QWidget* parent) : QWidget(parent)
{
    RbInstallAccessibleFactory();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_fadeTimer = new QTimer(this);
    connect(m_fadeTimer, &QTimer::timeout, this, &TRbCustomControl::FadeTick);
    connect(&m_font, &TRbFont::changed, this, &TRbCustomControl::ApplyFontToWidget);
    ApplyFontToWidget();
    m_toldColor = Color();
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        QWidget* w = window();
        if ((old && old->window() == w) || (now && now->window() == w))
            FocusChanged();
    });
}

TRbCustomControl::~TRbCustomControl()
{
    disconnect(m_focusWatch);
    m_manager.Release();
}

// ---- properties

void TRbCustomControl::SetCaption(const QString& text)
{
    if (text == m_caption)
        return;
    m_caption = text;
    QAccessibleEvent ev(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&ev);
    TextChanged();
    emit captionChanged();
}

TColor TRbCustomControl::Color() const
{
    if (m_parentColor) {
        if (auto* skinned = qobject_cast<const TRbCustomControl*>(parentWidget()))
            return skinned->Color();
        if (QWidget* p = parentWidget())
            return FromQColor(p->palette().color(p->backgroundRole()));
    }
    return m_color;
}

void TRbCustomControl::SetColor(TColor c)
{
    const bool wasParent = m_parentColor;
    m_parentColor = false;
    if (c == m_color && !wasParent)
        return;
    m_color = c;
    // Children that follow this control's colour hear of it as a palette change.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(c));
    setPalette(pal);
    update();
    if (wasParent)
        emit parentColorChanged();
    NoteColor();
}

void TRbCustomControl::SetParentColor(bool on)
{
    if (on == m_parentColor)
        return;
    m_parentColor = on;
    update();
    emit parentColorChanged();
    NoteColor();
}

void TRbCustomControl::NoteColor()
{
    const TColor now = Color();
    if (now == m_toldColor)
        return;
    m_toldColor = now;
    emit colorChanged();
}

void TRbCustomControl::SetTextShadow(bool on)
{
    if (on == m_textShadow)
        return;
    m_textShadow = on;
    update();
    emit textShadowChanged();
}

void TRbCustomControl::SetShowCaption(bool on)
{
    if (on == m_showCaption)
        return;
    m_showCaption = on;
    update();
    emit showCaptionChanged();
}

void TRbCustomControl::SetFadeSpeed(TFadeSpeed s)
{
    if (s == m_fadeSpeed)
        return;
    m_fadeSpeed = s;
    emit fadeSpeedChanged();
}

void TRbCustomControl::SetTabStop(bool on)
{
    m_tabStop = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void TRbCustomControl::SetRbStyleManager(IRbStyleRegistry* manager)
{
    m_manager.Set(manager);
}

QString TRbCustomControl::About() const
{
    return QStringLiteral("RbControls skinned controls, version 1.0");
}

void TRbCustomControl::ApplyFontToWidget()
{
    setFont(m_font.ToQFont());
    update();
}

// ---- fade

bool TRbCustomControl::FadeRunning() const { return m_fadeTimer->isActive(); }
int TRbCustomControl::FadeTimerInterval() const { return m_fadeTimer->interval(); }

void TRbCustomControl::StartFade()
{
    m_fadeTimer->stop();
    m_fadeTimer->start(FadeIntervals[std::size_t(m_fadeSpeed) % FadeIntervals.size()]);
}

void TRbCustomControl::StopFade() { m_fadeTimer->stop(); }

void TRbCustomControl::FadeTick()
{
    try {
        if (m_fadeStep == FadeIn)
            FadeInStep();
        else
            FadeOutStep();
    } catch (...) {
        // A failed step costs one frame, never the program.
    }
}

void TRbCustomControl::FadeInStep()
{
    if (m_pressed && m_mouseInside) {
        if (m_pressLevel >= 100) {
            m_pressLevel = 100;
            update();
            StopFade();
        } else {
            m_pressLevel += 25;
            update();
        }
        return;
    }
    if (m_pressLevel > 0)
        m_pressLevel -= 25;
    if (m_hoverLevel >= 100)
        m_hoverLevel = 100;
    else
        m_hoverLevel += 10;
    update();
    if (m_pressLevel <= 0 && m_hoverLevel >= 100)
        StopFade();
}

void TRbCustomControl::FadeOutStep()
{
    if (m_pressLevel > 0)
        m_pressLevel -= 25;
    if (m_hoverLevel > 0 || m_pressLevel > 0) {
        m_hoverLevel -= 10;
    } else {
        m_hoverLevel = 0;
        m_pressLevel = 0;
        StopFade();
    }
    update();
}

// ---- virtual operations: defaults

void TRbCustomControl::EnabledChanged() { update(); }
void TRbCustomControl::FocusChanged() {}
void TRbCustomControl::LeftMouseDown() { TakeFocus(); }
void TRbCustomControl::LeftMouseUp() {}
void TRbCustomControl::MouseEntered() { emit mouseEntered(); }
void TRbCustomControl::MouseLeft() { emit mouseLeft(); }
void TRbCustomControl::MouseMoved() {}
void TRbCustomControl::ParentColorChanged() {}
void TRbCustomControl::Resized() {}
void TRbCustomControl::TextChanged() { update(); }
void TRbCustomControl::Click() { emit clicked(); }

void TRbCustomControl::TakeFocus()
{
    if (!hasFocus() && isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
}

// ---- accessibility

QString TRbCustomControl::AccessibleName() const
{
    return accessibleName().isEmpty() ? m_caption : accessibleName();
}

void TRbCustomControl::AddAccessibleState(QAccessible::State&) const {}

void TRbCustomControl::DoAccessibleAction(const QString&) {}

void TRbCustomControl::NotifyAccessibleState(bool checkedChanged, bool pressedChanged)
{
    QAccessible::State changed;
    changed.checked = checkedChanged;
    changed.pressed = pressedChanged;
    QAccessibleStateChangeEvent ev(this, changed);
    QAccessible::updateAccessibility(&ev);
}

// ---- painting

bool TRbCustomControl::DeferRebuild()
{
    if (m_buildingLayers || isVisible()) {
        m_layersStale = false;
        return false;
    }
    m_layersStale = true;
    return true;
}

void TRbCustomControl::EnsureLayers() const
{
    if (!m_layersStale)
        return;
    auto* self = const_cast<TRbCustomControl*>(this);
    self->m_buildingLayers = true;
    self->RebuildLayers();
    self->m_buildingLayers = false;
    self->m_layersStale = false;
}

QImage TRbCustomControl::RenderBuffer(qreal ratio)
{
    EnsureLayers();
    // What the paint itself rebuilds (a size or parent colour that moved) is
    // drawn now, shown or not.
    struct Now {
        bool& flag;
        const bool was;
        ~Now() { flag = was; }
    } now{m_buildingLayers, m_buildingLayers};
    m_buildingLayers = true;
    QImage buffer = MakeBitmap(std::max(width(), 0), std::max(height(), 0), Color());
    if (buffer.isNull())
        return buffer;
    if (ratio <= 1.0) {
        PaintBuffer(buffer);
        return buffer;
    }
    std::vector<TSharpDraw> sharp;
    {
        struct Collect {
            TRbCustomControl* c;
            ~Collect() { c->m_sharpDraws = nullptr, c->m_renderRatio = 1.0; }
        } collect{this};
        m_sharpDraws = &sharp;
        m_renderRatio = ratio;
        PaintBuffer(buffer);
    }
    // The skin is pixel work in logical pixels: enlarged without smoothing,
    // its lines keep their edges.
    QImage big = buffer.scaled(qCeil(buffer.width() * ratio), qCeil(buffer.height() * ratio), Qt::IgnoreAspectRatio,
                               Qt::FastTransformation);
    big.setDevicePixelRatio(ratio);
    QPainter p(&big);
    for (const TSharpDraw& draw : sharp) {
        p.save();
        draw(p);
        p.restore();
    }
    return big;
}

void TRbCustomControl::PaintSharp(QImage& buffer, TSharpDraw draw)
{
    if (m_sharpDraws) {
        m_sharpDraws->push_back(std::move(draw));
        return;
    }
    QPainter p(&buffer);
    draw(p);
}

void TRbCustomControl::PresentBuffer(QPainter& widgetPainter, const QImage& buffer)
{
    widgetPainter.drawImage(0, 0, buffer);
}

void TRbCustomControl::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    const QImage buffer = RenderBuffer(devicePixelRatioF());
    QPainter p(this);
    PresentBuffer(p, buffer);
}

// ---- message routing

bool TRbCustomControl::event(QEvent* e)
{
    if (e->type() == QEvent::Show)
        EnsureLayers();
    const bool handled = QWidget::event(e);
    // A new parent brings a new colour to follow.
    if (e->type() == QEvent::ParentChange && m_parentColor)
        NoteColor();
    return handled;
}

void TRbCustomControl::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::EnabledChange:
        EnabledChanged();
        break;
    case QEvent::PaletteChange:
        if (m_parentColor) {
            ParentColorChanged();
            update();
            NoteColor();
        }
        break;
    default:
        break;
    }
    QWidget::changeEvent(e);
}

void TRbCustomControl::PointerEnter()
{
    if (m_pointerOver)
        return;
    m_pointerOver = true;
    MouseEntered();
}

void TRbCustomControl::PointerLeave()
{
    if (!m_pointerOver)
        return;
    m_pointerOver = false;
    MouseLeft();
}

void TRbCustomControl::enterEvent(QEnterEvent* e)
{
    PointerEnter();
    QWidget::enterEvent(e);
}

void TRbCustomControl::leaveEvent(QEvent* e)
{
    PointerLeave();
    QWidget::leaveEvent(e);
}

void TRbCustomControl::mouseMoveEvent(QMouseEvent* e)
{
    // While a button holds the mouse grab, crossing the edge still counts as
    // entering or leaving.
    if (e->buttons() != Qt::NoButton) {
        if (rect().contains(e->position().toPoint()))
            PointerEnter();
        else
            PointerLeave();
    }
    MouseMoved();
    e->accept();
}

void TRbCustomControl::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    QPointer<TRbCustomControl> self(this);
    // A press means the pointer is here, even if no enter was reported (the
    // control appeared under it).
    if (rect().contains(e->position().toPoint()))
        PointerEnter();
    if (!self)
        return;
    emit mouseDown(e->button(), e->modifiers(), e->position().toPoint());
    if (!self || e->button() != Qt::LeftButton)
        return;
    m_leftDownInside = true;
    LeftMouseDown();
}

void TRbCustomControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A double click is two single clicks.
    mousePressEvent(e);
}

void TRbCustomControl::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    QPointer<TRbCustomControl> self(this);
    const bool left = e->button() == Qt::LeftButton;
    const bool click = left && m_leftDownInside && isEnabled() && rect().contains(e->position().toPoint());
    if (left)
        m_leftDownInside = false;
    if (click)
        Click();
    if (!self)
        return;
    emit mouseUp(e->button(), e->modifiers(), e->position().toPoint());
    if (self && left)
        LeftMouseUp();
}

void TRbCustomControl::resizeEvent(QResizeEvent* e)
{
    Resized();
    QWidget::resizeEvent(e);
}
