#include "rbcontrols/RbSplitter.h"

#include "rbcontrols/RbDrawCore.h"

#include <QLayout>
#include <QMouseEvent>
#include <QRubberBand>

namespace {

bool InParentLayout(QWidget* w)
{
    QWidget* p = w->parentWidget();
    return p && p->layout() && p->layout()->indexOf(w) >= 0;
}

} // namespace

TRbSplitter::TRbSplitter(QWidget* parent) : TRbCustomControl(parent), m_colors(this)
{
    // A splitter is dragged, never focused.
    setFocusPolicy(Qt::NoFocus);
    SetFadeSpeed(fsMedium);
    resize(5, 100);
    SetAlign(alLeft);
    RebuildLayers();
}

// ---- properties

void TRbSplitter::SetAlign(TAlign a)
{
    const bool changed = a != m_align;
    m_align = a;
    if (a == alLeft || a == alRight)
        SetGripAlign(gaVertical);
    else if (a == alTop || a == alBottom)
        SetGripAlign(gaHorizontal);
    UpdateCursor();
    if (changed)
        emit alignChanged();
}

void TRbSplitter::SetMinSize(int v)
{
    v = v > 0 ? v : 1;
    if (v == m_minSize)
        return;
    m_minSize = v;
    emit minSizeChanged();
}

void TRbSplitter::SetResizeStyle(TResizeStyle s)
{
    if (s == m_resizeStyle)
        return;
    m_resizeStyle = s;
    emit resizeStyleChanged();
}

void TRbSplitter::SetBeveled(bool v)
{
    if (v == m_beveled)
        return;
    m_beveled = v;
    emit beveledChanged();
}

void TRbSplitter::SetAutoSnap(bool v)
{
    if (v == m_autoSnap)
        return;
    m_autoSnap = v;
    emit autoSnapChanged();
}

void TRbSplitter::UpdateCursor()
{
    setCursor(Vertical() ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void TRbSplitter::SetGradientType(TGradientType t)
{
    if (t == m_gradientType)
        return;
    m_gradientType = t;
    RebuildLayers();
    emit gradientTypeChanged();
}

void TRbSplitter::SetGripAlign(TGripAlign g)
{
    if (g == m_gripAlign)
        return;
    m_gripAlign = g;
    RebuildLayers();
    emit gripAlignChanged();
}

void TRbSplitter::SetShowGrip(bool on)
{
    if (on == m_showGrip)
        return;
    m_showGrip = on;
    RebuildLayers();
    emit showGripChanged();
}

void TRbSplitter::SetDrawAll(bool on)
{
    if (on == m_drawAll)
        return;
    m_drawAll = on;
    RebuildLayers();
    emit drawAllChanged();
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
    if (DeferRebuild())
        return;
    const int w = width(), h = height();
    if (w <= 0 || h <= 0) {
        m_normal = QImage();
        m_hot = QImage();
        return;
    }
    m_layerColor = Color();
    m_normal = MakeBitmap(w, h, m_layerColor);
    m_hot = MakeBitmap(w, h, m_layerColor);

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

void TRbSplitter::PaintBuffer(QImage& buffer)
{
    // Set colours rebuild at once; size and parent colour may have moved since.
    if (m_normal.size() != buffer.size() || m_layerColor != Color())
        RebuildLayers();
    ComposeLayers(buffer, m_normal, m_hot, 0, buffer.rect(), HoverLevel());
}

// ---- fade: hover only, a splitter has no pressed look

void TRbSplitter::MouseEntered()
{
    TRbCustomControl::MouseEntered();
    SetMouseInside(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbSplitter::MouseLeft()
{
    TRbCustomControl::MouseLeft();
    SetMouseInside(false);
    SetFadeStep(FadeOut);
    StartFade();
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
