#include "RbSplitter.h"

#include "RbCustomControl.h"
#include "RbDrawCore.h"

#include <QAccessibleWidget>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>

namespace {

// A splitter is no skinned control, so the controls' accessibility factory
// does not cover it; screen readers should still hear a splitter.
QAccessibleInterface* SplitterAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TRbSplitter"))
        if (auto* w = qobject_cast<QWidget*>(object))
            return new QAccessibleWidget(w, QAccessible::Splitter);
    return nullptr;
}

void InstallSplitterAccessibility()
{
    static const bool done = [] {
        QAccessible::installFactory(&SplitterAccessibleFactory);
        return true;
    }();
    (void)done;
}

bool InParentLayout(QWidget* w)
{
    QWidget* p = w->parentWidget();
    return p && p->layout() && p->layout()->indexOf(w) >= 0;
}

} // namespace

TRbSplitter::TRbSplitter(QWidget* parent) : QWidget(parent), m_colors(this)
{
    InstallSplitterAccessibility();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_fadeTimer = new QTimer(this);
    connect(m_fadeTimer, &QTimer::timeout, this, &TRbSplitter::FadeTick);
    resize(5, 100);
    SetAlign(alLeft);
    RebuildLayers();
}

TRbSplitter::~TRbSplitter()
{
    m_manager.Release();
}

// ---- properties

void TRbSplitter::SetAlign(TAlign a)
{
    m_align = a;
    if (a == alLeft || a == alRight)
        SetGripAlign(gaVertical);
    else if (a == alTop || a == alBottom)
        SetGripAlign(gaHorizontal);
    UpdateCursor();
}

void TRbSplitter::UpdateCursor()
{
    setCursor(Vertical() ? Qt::SplitHCursor : Qt::SplitVCursor);
}

TColor TRbSplitter::Color() const
{
    if (m_parentColor) {
        if (auto* skinned = qobject_cast<const TRbCustomControl*>(parentWidget()))
            return skinned->Color();
        if (QWidget* p = parentWidget())
            return FromQColor(p->palette().color(p->backgroundRole()));
    }
    return m_color;
}

void TRbSplitter::SetColor(TColor c)
{
    const bool wasParent = m_parentColor;
    m_parentColor = false;
    if (c == m_color && !wasParent)
        return;
    m_color = c;
    RebuildLayers();
}

void TRbSplitter::SetParentColor(bool on)
{
    if (on == m_parentColor)
        return;
    m_parentColor = on;
    RebuildLayers();
}

void TRbSplitter::SetGradientType(TGradientType t)
{
    if (t == m_gradientType)
        return;
    m_gradientType = t;
    RebuildLayers();
}

void TRbSplitter::SetGripAlign(TGripAlign g)
{
    if (g == m_gripAlign)
        return;
    m_gripAlign = g;
    RebuildLayers();
}

void TRbSplitter::SetShowGrip(bool on)
{
    if (on == m_showGrip)
        return;
    m_showGrip = on;
    RebuildLayers();
}

void TRbSplitter::SetDrawAll(bool on)
{
    if (on == m_drawAll)
        return;
    m_drawAll = on;
    RebuildLayers();
}

void TRbSplitter::SetRbStyleManager(IRbStyleRegistry* manager)
{
    m_manager.Set(manager);
}

QString TRbSplitter::About() const
{
    return QStringLiteral("RbControls skinned controls, version 1.0");
}

const TRbPropertyTable& TRbSplitter::Table()
{
    using C = TRbSplitter;
    static const TRbPropertyTable t = TRbPropertyTable()
        .Enumeration<C, TAlign>("Align", AlignNames(), &C::Align, &C::SetAlign)
        .Integer<C>("Color", &C::Color, &C::SetColor)
        .Boolean<C>("ParentColor", &C::ParentColor, &C::SetParentColor)
        .Integer<C>("MinSize", &C::MinSize, &C::SetMinSize)
        .Enumeration<C, TResizeStyle>("ResizeStyle", ResizeStyleNames(), &C::ResizeStyle, &C::SetResizeStyle)
        .Boolean<C>("Beveled", &C::Beveled, &C::SetBeveled)
        .Boolean<C>("AutoSnap", &C::AutoSnap, &C::SetAutoSnap)
        .Enumeration<C, TGradientType>("GradientType", GradientTypeNames(), &C::GradientType, &C::SetGradientType)
        .Enumeration<C, TGripAlign>("GripAlign", GripAlignNames(), &C::GripAlign, &C::SetGripAlign)
        .Enumeration<C, TFadeSpeed>("FadeSpeed", FadeSpeedNames(), &C::FadeSpeed, &C::SetFadeSpeed)
        .Object<C>("Colors", [](C& s) -> TRbPersistent* { return &s.Colors(); })
        .Boolean<C>("ShowGrip", &C::ShowGrip, &C::SetShowGrip)
        .Boolean<C>("DrawAll", &C::DrawAll, &C::SetDrawAll)
        .String<C>("About", &C::About, nullptr);
    return t;
}

// ---- layers

void TRbSplitter::DrawGripDot(QImage& layer, int x, int y)
{
    FillRect(layer, QRect(x, y, 2, 2), clGray);
    FillRect(layer, QRect(x + 1, y + 1, 2, 2), clWhite);
    FillRect(layer, QRect(x + 1, y + 2, 1, 1), clSilver);
    FillRect(layer, QRect(x + 1, y + 1, 1, 1), clGray);
    FillRect(layer, QRect(x, y, 1, 1), clWhite);
}

void TRbSplitter::DrawGrip(QImage& layer) const
{
    const int w = layer.width(), h = layer.height();
    const bool column = m_gripAlign == gaVertical;
    const int cx = column ? (w - 3) / 2 : w / 2;
    const int cy = column ? h / 2 : (h - 3) / 2;
    for (int k = -40; k <= 38; k += 3) {
        if (column)
            DrawGripDot(layer, cx, cy + k);
        else
            DrawGripDot(layer, cx + k, cy);
    }
}

void TRbSplitter::RebuildLayers()
{
    const int w = width(), h = height();
    if (w <= 0 || h <= 0) {
        m_normal = QImage();
        m_hot = QImage();
        return;
    }
    const TColor face = Color();
    m_normal = MakeBitmap(w, h, face);
    m_hot = MakeBitmap(w, h, face);

    const bool column = m_gripAlign == gaVertical;
    const int cx = column ? (w - 3) / 2 : w / 2;
    const int cy = column ? h / 2 : (h - 3) / 2;
    QRect g(0, 0, w, h);
    if (!m_drawAll) {
        // Only a band of 80 pixels around the grip.
        if (column)
            g = QRect(0, cy - 40, w, 80);
        else
            g = QRect(cx - 40, 0, 80, h);
    }
    GradientFill(m_normal, g, m_colors.DefaultFrom(), m_colors.DefaultTo(), m_gradientType);
    GradientFill(m_hot, g, m_colors.OverFrom(), m_colors.OverTo(), m_gradientType);
    if (m_showGrip) {
        DrawGrip(m_normal);
        DrawGrip(m_hot);
    }
    update();
}

QImage TRbSplitter::RenderBuffer()
{
    if (m_normal.height() != height() || m_normal.width() != width())
        RebuildLayers();
    QImage buffer = MakeBitmap(width(), height(), clNone);
    if (buffer.isNull())
        return buffer;
    ComposeLayers(buffer, m_normal, m_hot, 0, buffer.rect(), m_hoverLevel);
    return buffer;
}

void TRbSplitter::paintEvent(QPaintEvent*)
{
    const QImage buffer = RenderBuffer();
    if (buffer.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, buffer);
}

void TRbSplitter::resizeEvent(QResizeEvent* e)
{
    RebuildLayers();
    QWidget::resizeEvent(e);
}

void TRbSplitter::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::PaletteChange && m_parentColor)
        RebuildLayers();
    QWidget::changeEvent(e);
}

// ---- fade

bool TRbSplitter::FadeRunning() const { return m_fadeTimer->isActive(); }
int TRbSplitter::FadeTimerInterval() const { return m_fadeTimer->interval(); }

void TRbSplitter::StartFade()
{
    m_fadeTimer->stop();
    m_fadeTimer->start(FadeIntervals[std::size_t(m_fadeSpeed) % FadeIntervals.size()]);
}

void TRbSplitter::FadeTick()
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

void TRbSplitter::FadeInStep()
{
    if (m_hoverLevel < 100)
        m_hoverLevel += 10;
    else
        m_hoverLevel = 100;
    update();
    if (m_hoverLevel >= 100)
        m_fadeTimer->stop();
}

void TRbSplitter::FadeOutStep()
{
    if (m_hoverLevel > 0) {
        m_hoverLevel -= 10;
    } else {
        m_hoverLevel = 0;
        m_fadeTimer->stop();
    }
    update();
}

void TRbSplitter::enterEvent(QEnterEvent* e)
{
    m_mouseInside = true;
    m_fadeStep = FadeIn;
    StartFade();
    QWidget::enterEvent(e);
}

void TRbSplitter::leaveEvent(QEvent* e)
{
    m_mouseInside = false;
    m_fadeStep = FadeOut;
    StartFade();
    QWidget::leaveEvent(e);
}

// ---- resizing the neighbour

QWidget* TRbSplitter::ResizeControl() const
{
    if (m_resizeControl)
        return m_resizeControl;
    QWidget* p = parentWidget();
    if (!p || m_align == alNone || m_align == alClient)
        return nullptr;
    const QRect me = geometry();
    QWidget* best = nullptr;
    int bestEdge = 0;
    for (QObject* o : p->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w == this || w->isWindow() || w == m_band || w->isHidden())
            continue;
        const QRect g = w->geometry();
        const bool overlapsAcross = Vertical() ? (g.top() <= me.bottom() && g.bottom() >= me.top())
                                               : (g.left() <= me.right() && g.right() >= me.left());
        if (!overlapsAcross)
            continue;
        // The nearest sibling on the aligned side.
        int edge = 0;
        switch (m_align) {
        case alTop:
            if (g.bottom() >= me.top())
                continue;
            edge = g.bottom();
            break;
        case alBottom:
            if (g.top() <= me.bottom())
                continue;
            edge = -g.top();
            break;
        case alLeft:
            if (g.right() >= me.left())
                continue;
            edge = g.right();
            break;
        case alRight:
            if (g.left() <= me.right())
                continue;
            edge = -g.left();
            break;
        default:
            continue;
        }
        if (!best || edge > bestEdge) {
            best = w;
            bestEdge = edge;
        }
    }
    return best;
}

int TRbSplitter::SplitSize(int delta) const
{
    const bool grows = m_align == alTop || m_align == alLeft;
    int size = m_dragStartSize + (grows ? delta : -delta);
    // Keep MinSize for what lies on the far side of the splitter.
    const int maxSize = std::max(m_dragStartSize + m_dragRoom - m_minSize, m_minSize);
    if (size > maxSize)
        size = maxSize;
    if (size < m_minSize)
        size = m_autoSnap ? 0 : m_minSize;
    return size;
}

void TRbSplitter::ApplySize(int size)
{
    QWidget* c = m_dragControl;
    if (!c)
        return;
    const bool across = Vertical();
    if (InParentLayout(c)) {
        // The layout keeps the order; a fixed extent is what it honours.
        if (across)
            c->setFixedWidth(size);
        else
            c->setFixedHeight(size);
        return;
    }
    QRect g = c->geometry();
    QRect me = geometry();
    switch (m_align) {
    case alTop:
        g.setHeight(size);
        me.moveTop(g.top() + size);
        break;
    case alBottom:
        g.setTop(g.bottom() + 1 - size);
        me.moveBottom(g.top() - 1);
        break;
    case alLeft:
        g.setWidth(size);
        me.moveLeft(g.left() + size);
        break;
    case alRight:
        g.setLeft(g.right() + 1 - size);
        me.moveRight(g.left() - 1);
        break;
    default:
        return;
    }
    c->setGeometry(g);
    setGeometry(me);
}

void TRbSplitter::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    m_dragControl = ResizeControl();
    if (!m_dragControl)
        return;
    const QPoint pos = mapToParent(e->position().toPoint());
    m_dragging = true;
    m_dragStart = Vertical() ? pos.x() : pos.y();
    m_dragStartSize = Vertical() ? m_dragControl->width() : m_dragControl->height();
    m_dragSize = m_dragStartSize;
    // Room on the far side of the splitter, fixed for the whole drag (the
    // splitter itself moves while a live drag runs).
    m_dragRoom = 0;
    if (QWidget* p = parentWidget()) {
        const QRect me = geometry();
        switch (m_align) {
        case alTop: m_dragRoom = p->height() - (me.bottom() + 1); break;
        case alBottom: m_dragRoom = me.top(); break;
        case alLeft: m_dragRoom = p->width() - (me.right() + 1); break;
        case alRight: m_dragRoom = me.left(); break;
        default: break;
        }
    }
    if ((m_resizeStyle == rsLine || m_resizeStyle == rsPattern) && parentWidget()) {
        if (!m_band)
            m_band = new QRubberBand(QRubberBand::Line, parentWidget());
        m_band->setGeometry(geometry());
        m_band->show();
    }
    e->accept();
}

void TRbSplitter::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(e);
        return;
    }
    const QPoint pos = mapToParent(e->position().toPoint());
    m_dragSize = SplitSize((Vertical() ? pos.x() : pos.y()) - m_dragStart);
    if (m_resizeStyle == rsUpdate) {
        ApplySize(m_dragSize);
    } else if (m_band && m_band->isVisible()) {
        // Where the splitter will stand once the size is applied.
        QRect r = geometry();
        const int moved = m_dragSize - m_dragStartSize;
        switch (m_align) {
        case alTop: r.translate(0, moved); break;
        case alBottom: r.translate(0, -moved); break;
        case alLeft: r.translate(moved, 0); break;
        case alRight: r.translate(-moved, 0); break;
        default: break;
        }
        m_band->setGeometry(r);
    }
    e->accept();
}

void TRbSplitter::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !m_dragging) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    m_dragging = false;
    if (m_band)
        m_band->hide();
    if (m_resizeStyle != rsUpdate)
        ApplySize(m_dragSize);
    m_dragControl = nullptr;
    e->accept();
}
