#include "rbcontrols/RbButton.h"

#include "rbcontrols/RbDrawCore.h"

#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Glyphs with an alpha channel are flattened onto this key colour, which is
// then their transparent colour.
constexpr QRgb kGlyphKey = 0xFFFF00FF;

bool NoModifiers(Qt::KeyboardModifiers m)
{
    return (m & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

TRbButton::TRbButton(QWidget* parent) : TRbCustomControl(parent), m_colors(this)
{
    SetFadeSpeed(fsMedium);
    resize(75, 25);
    RebuildLayers();
}

TRbButton::~TRbButton()
{
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

// ---- properties

void TRbButton::SetGlyph(const QImage& picture)
{
    m_glyph = QImage();
    m_glyphHasAlpha = false;
    if (!picture.isNull()) {
        if (picture.hasAlphaChannel()) {
            const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
            m_glyph = QImage(argb.size(), QImage::Format_RGB888);
            for (int y = 0; y < argb.height(); ++y)
                for (int x = 0; x < argb.width(); ++x) {
                    const QRgb c = argb.pixel(x, y);
                    m_glyph.setPixel(x, y, qAlpha(c) < 128 ? kGlyphKey : c);
                }
            m_glyphHasAlpha = true;
        } else {
            m_glyph = picture.convertToFormat(QImage::Format_RGB888);
        }
    }
    update();
}

void TRbButton::SetModalResult(int v)
{
    if (v == m_modalResult)
        return;
    m_modalResult = v;
    emit modalResultChanged();
}

void TRbButton::SetSpacing(int v)
{
    v = std::max(v, 0);
    if (v == m_spacing)
        return;
    m_spacing = v;
    emit spacingChanged();
}

void TRbButton::SetLayout(TButtonLayout v)
{
    if (v == m_layout)
        return;
    m_layout = v;
    update();
    emit layoutChanged();
}

void TRbButton::SetShowFocusRect(bool v)
{
    if (v == m_showFocusRect)
        return;
    m_showFocusRect = v;
    update();
    emit showFocusRectChanged();
}

void TRbButton::SetHotTrack(bool v)
{
    if (v == m_hotTrack)
        return;
    m_hotTrack = v;
    update();
    emit hotTrackChanged();
}

void TRbButton::SetDefault(bool v)
{
    if (v == m_default)
        return;
    m_default = v;
    WatchWindowKeys();
    // Every skinned control of the window hears of it as a focus change.
    if (QWidget* w = window()) {
        if (auto* self = qobject_cast<TRbCustomControl*>(w))
            self->FocusChanged();
        for (TRbCustomControl* c : w->findChildren<TRbCustomControl*>())
            c->FocusChanged();
    }
    emit defaultChanged();
}

void TRbButton::SetCancel(bool v)
{
    const bool changed = v != m_cancel;
    m_cancel = v;
    WatchWindowKeys();
    if (changed)
        emit cancelChanged();
}

void TRbButton::SetGradientBorder(bool v)
{
    if (v == m_gradientBorder)
        return;
    m_gradientBorder = v;
    emit gradientBorderChanged();
}

void TRbButton::SetGroupIndex(int v)
{
    if (v == m_groupIndex)
        return;
    m_groupIndex = v;
    emit groupIndexChanged();
}

void TRbButton::SetAllowAllUp(bool v)
{
    if (v == m_allowAllUp)
        return;
    m_allowAllUp = v;
    emit allowAllUpChanged();
}

void TRbButton::SetGradientType(TGradientType t)
{
    if (t == m_gradientType)
        return;
    m_gradientType = t;
    RebuildLayers();
    emit gradientTypeChanged();
}

// ---- click, groups, Down

void TRbButton::Click()
{
    QPointer<TRbButton> self(this);
    QPointer<QDialog> dialog = window() != this ? qobject_cast<QDialog*>(window()) : nullptr;
    const int result = m_modalResult;
    if (dialog)
        dialog->setResult(result);
    SetDown(m_groupIndex > 0 && !m_down);
    TRbCustomControl::Click(); // clicked(): the OnClick handlers
    // The window closes after its handlers ran, unless one of them took the
    // result back.
    if (dialog && result != 0 && dialog->isModal() && dialog->isVisible() && dialog->result() == result)
        dialog->done(result);
    (void)self;
}

void TRbButton::SetDown(bool value)
{
    if (m_groupIndex <= 0)
        return;
    if (!value && !OtherGroupButtonDown())
        return;
    const bool changed = value != m_down;
    m_down = value;
    if (value) {
        RaiseGroupSiblings();
        SetMouseInside(true);
        SetPressed(true);
        SetFadeStep(FadeIn);
    } else {
        SetPressed(false);
        SetFadeStep(FadeOut);
    }
    StartFade();
    if (changed) {
        NotifyAccessibleState(true, true);
        emit downChanged();
    }
}

QList<TRbButton*> TRbButton::GroupSiblings() const
{
    QList<TRbButton*> list;
    if (QWidget* p = parentWidget())
        for (TRbButton* b : p->findChildren<TRbButton*>(Qt::FindDirectChildrenOnly))
            if (b != this && b->m_groupIndex == m_groupIndex)
                list << b;
    return list;
}

bool TRbButton::OtherGroupButtonDown() const
{
    if (m_allowAllUp)
        return true;
    if (m_groupIndex <= 0 || !parentWidget())
        return false;
    for (TRbButton* b : GroupSiblings())
        if (b->m_down)
            return true;
    return false;
}

void TRbButton::RaiseGroupSiblings()
{
    if (m_groupIndex <= 0 || !parentWidget())
        return;
    for (TRbButton* b : GroupSiblings())
        b->SetDown(false);
}

// ---- layers and paint

void TRbButton::RebuildLayers()
{
    if (DeferRebuild())
        return;
    const int w = width(), h = height();
    const QRect r(0, 0, w, h);
    m_normal = MakeBitmap(w, h);
    m_hot = MakeBitmap(w, h);
    m_pressed = MakeBitmap(w, h);
    GradientFill(m_normal, r, m_colors.DefaultFrom(), m_colors.DefaultTo(), m_gradientType);
    GradientFill(m_hot, r, m_colors.OverFrom(), m_colors.OverTo(), m_gradientType);
    GradientFill(m_pressed, r, m_colors.ClickedFrom(), m_colors.ClickedTo(), m_gradientType);
    update();
}

QRect TRbButton::CaptionRect() const
{
    QRect t(0, 0, width(), height());
    if (!m_glyph.isNull()) {
        const int shift = m_glyph.width() + m_spacing;
        switch (m_layout) {
        case blGlyphLeft: t.setLeft(t.left() + shift); break;
        case blGlyphRight: t.setLeft(t.left() - shift); break;
        case blGlyphTop: t.setTop(t.top() + shift); break;
        case blGlyphBottom: t.setTop(t.top() - shift); break;
        }
    }
    return t;
}

QPoint TRbButton::GlyphPosition() const
{
    const QRect t = CaptionRect();
    const int L = t.left(), Tp = t.top(), Rt = t.left() + t.width(), B = t.top() + t.height();
    const int W = width(), H = height(), Gw = m_glyph.width(), Gh = m_glyph.height(), S = m_spacing;
    const QFontMetrics fm(Font().ToQFont());
    const bool withCaption = !Caption().isEmpty() && ShowCaption();
    const int TW = withCaption ? fm.horizontalAdvance(Caption()) : 0;
    const int TH = withCaption ? fm.height() : 0;
    switch (m_layout) {
    case blGlyphLeft:
        return withCaption ? QPoint((L + Rt - TW) / 2 - S - Gw, (H - Gh) / 2) : QPoint((L + Rt - S) / 2 - Gw, (H - Gh) / 2);
    case blGlyphRight:
        return withCaption ? QPoint((L + Rt + TW) / 2 + S, (H - Gh) / 2) : QPoint((L + Rt) / 2 + S, (H - Gh) / 2);
    case blGlyphTop:
        return withCaption ? QPoint((W - Gw) / 2, (Tp + B - TH) / 2 - S - Gh) : QPoint((W - Gw) / 2, (Tp + B) / 2 - S - Gh);
    case blGlyphBottom:
        return withCaption ? QPoint((W - Gw) / 2, (Tp + B + TH) / 2 + S) : QPoint((W - Gw) / 2, (Tp + B) / 2 + S);
    }
    return {};
}

void TRbButton::PaintBuffer(QImage& buffer)
{
    const int W = buffer.width(), H = buffer.height();
    if (m_normal.size() != buffer.size())
        RebuildLayers();
    const QRect R(0, 0, W, H);
    ComposeLayers(buffer, m_normal, m_hot, 1, R, HoverLevel());
    if (PressLevel() > 0) {
        const QRect inner = m_gradientBorder ? R.adjusted(3, 3, -3, -3) : R;
        ComposeLayers(buffer, buffer, m_pressed, 1, inner, PressLevel());
    }

    QPainter p(&buffer);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ToQColor(Color()), 1));
    p.drawRect(0, 0, W - 1, H - 1);
    p.setPen(QPen(ToQColor(m_colors.BorderColor()), 1));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.drawRoundedRect(QRectF(0.5, 0.5, W - 1, H - 1), 2.5, 2.5);
    p.end();

    if (ShowCaption()) {
        const TColor fontColor = m_hotTrack && MouseInside() ? m_colors.HotTrack() : Font().Color();
        PaintSharp(buffer, [this, fontColor](QPainter& sharp) {
            DrawShadowText(sharp, Caption(), Font(), fontColor, m_colors.TextShadow(), TextShadow(),
                           CaptionFormat(taCenter, false), CaptionRect(), isEnabled());
        });
    }

    if (!m_glyph.isNull()) {
        QImage glyph = m_glyph;
        QImage key(1, 1, QImage::Format_RGB888);
        key.setPixel(0, 0, m_glyphHasAlpha ? kGlyphKey : glyph.pixel(0, glyph.height() - 1));
        if (!isEnabled()) {
            TintBitmap(glyph, 0x404040);
            TintBitmap(key, 0x404040);
        }
        const QPoint at = GlyphPosition();
        const QColor k = key.pixelColor(0, 0);
        DrawTransparent(buffer, glyph, at.x(), at.y(), TRgb{uchar(k.red()), uchar(k.green()), uchar(k.blue())});
    }

    if (hasFocus() && m_showFocusRect)
        DrawFocusRect(buffer, R.adjusted(2, 2, -2, -2));
}

// ---- states and fade

void TRbButton::MouseEntered()
{
    TRbCustomControl::MouseEntered();
    SetMouseInside(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbButton::MouseLeft()
{
    TRbCustomControl::MouseLeft();
    if (m_down)
        return;
    SetMouseInside(false);
    SetFadeStep(FadeOut);
    StartFade();
}

void TRbButton::LeftMouseDown()
{
    TakeFocus();
    SetMouseInside(true);
    SetPressed(true);
    SetFadeStep(FadeIn);
    StartFade();
}

void TRbButton::LeftMouseUp()
{
    if (!Pressed() || m_down)
        return;
    SetPressed(false);
    if (MouseInside())
        SetFadeStep(FadeIn);
    StartFade();
}

void TRbButton::FocusChanged() { update(); }

void TRbButton::Resized() { RebuildLayers(); }

// ---- keys

bool TRbButton::CanTakeFocus() const
{
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

void TRbButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && NoModifiers(e->modifiers()) && !e->isAutoRepeat()) {
        Click();
        e->accept();
        return;
    }
    // Enter on the focused button is the dialog key it answers first.
    if (IsEnter(e->key()) && CanTakeFocus()) {
        Click();
        e->accept();
        return;
    }
    TRbCustomControl::keyPressEvent(e);
}

void TRbButton::WatchWindowKeys()
{
    QWidget* w = window();
    if (w == this)
        w = nullptr;
    if (m_watchedWindow && m_watchedWindow != w)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = nullptr;
    if (w && (m_default || m_cancel)) {
        w->installEventFilter(this);
        m_watchedWindow = w;
    }
}

void TRbButton::showEvent(QShowEvent* e)
{
    WatchWindowKeys();
    TRbCustomControl::showEvent(e);
}

bool TRbButton::eventFilter(QObject* watched, QEvent* e)
{
    // Keys nobody in the window took (a focused edit passes Enter on) reach
    // the window; the Default and Cancel buttons answer them.
    if (watched == m_watchedWindow && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool enter = IsEnter(k->key()) && (m_default || hasFocus());
        const bool escape = k->key() == Qt::Key_Escape && m_cancel && NoModifiers(k->modifiers());
        if ((enter || escape) && CanTakeFocus() && window() == m_watchedWindow) {
            Click();
            return true;
        }
    }
    return TRbCustomControl::eventFilter(watched, e);
}

// ---- accessibility

void TRbButton::AddAccessibleState(QAccessible::State& state) const
{
    state.defaultButton = m_default;
    state.pressed = m_down || (Pressed() && MouseInside());
    if (m_groupIndex > 0) {
        state.checkable = true;
        state.checked = m_down;
    }
}

QStringList TRbButton::AccessibleActionNames() const
{
    return {QAccessibleActionInterface::pressAction()};
}

void TRbButton::DoAccessibleAction(const QString& name)
{
    if (name == QAccessibleActionInterface::pressAction() && isEnabled())
        Click();
}
