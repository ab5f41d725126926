#include "rbcontrols/RbPanel.h"

#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbDrawCore.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

// The caption as shown: "&&" is one ampersand, a single "&" marks the access key.
QString WithoutMnemonic(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
                out += QLatin1Char('&');
            ++i;
            if (i < text.size() && text[i] != QLatin1Char('&'))
                out += text[i];
            continue;
        }
        out += text[i];
    }
    return out;
}

// l, t, r, b with right and bottom exclusive.
QRect Ltrb(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }

} // namespace

TRbPanel::TRbPanel(QWidget* parent) : TRbCustomControl(parent)
{
    // A panel holds controls; it is no stop on the way through them.
    setFocusPolicy(Qt::NoFocus);
    m_loading = true; // one rendering once the defaults are in
    Font().SetColor(13500416);
    SetColor(14933983);
    m_toldOuterColor = OuterColor();
    resize(185, 105);
    if (parentWidget())
        parentWidget()->installEventFilter(this);
    SetLoading(false);
}

// ---- properties

void TRbPanel::SetCaptionPosition(TRbCaptionPos p)
{
    if (p == m_captionPosition)
        return;
    const bool frameMoves = (p == cpGroupBox) != (m_captionPosition == cpGroupBox);
    m_captionPosition = p;
    Realign();
    if (frameMoves)
        Rebuild();
    else
        update();
    emit captionPositionChanged();
}

void TRbPanel::SetCornerWidth(int w)
{
    if (w < 0 || w == m_cornerWidth)
        return;
    m_cornerWidth = w;
    Rebuild();
    emit cornerWidthChanged();
}

void TRbPanel::SetBorderWidth(int w)
{
    if (w <= 0 || w == m_borderWidth)
        return;
    m_borderWidth = w;
    Realign();
    Rebuild();
    emit borderWidthChanged();
}

void TRbPanel::SetBorderColor(TColor c)
{
    if (c == m_borderColor)
        return;
    m_borderColor = c;
    Rebuild();
    emit borderColorChanged();
}

void TRbPanel::SetOuterColor(TColor c)
{
    const bool wasFollowing = m_outerFollows;
    m_outerFollows = false;
    if (c == m_outerColor && !wasFollowing)
        return;
    m_outerColor = c;
    Rebuild();
    NoteOuterColor();
}

void TRbPanel::NoteOuterColor()
{
    const TColor now = OuterColor();
    if (now == m_toldOuterColor)
        return;
    m_toldOuterColor = now;
    emit outerColorChanged();
}

TColor TRbPanel::BackdropColor() const
{
    for (const QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* skinned = qobject_cast<const TRbCustomControl*>(w))
            return skinned->Color();
        if (w->autoFillBackground() || w->isWindow())
            return FromQColor(w->palette().color(w->backgroundRole()));
    }
    return clBtnFace;
}

void TRbPanel::SetTextShadowColor(TColor c)
{
    if (c == m_textShadowColor)
        return;
    m_textShadowColor = c;
    update();
    emit textShadowColorChanged();
}

void TRbPanel::SetAntialiased(bool on)
{
    if (on == m_antialiased)
        return;
    const bool gradientOff = on && m_gradient;
    m_antialiased = on;
    if (on)
        m_gradient = false;
    Rebuild();
    emit antialiasedChanged();
    if (gradientOff)
        emit gradientChanged();
}

void TRbPanel::SetGradient(bool on)
{
    const bool v = on && !m_antialiased;
    if (v == m_gradient)
        return;
    m_gradient = v;
    Rebuild();
    emit gradientChanged();
}

// The gradient colours show at once: a cached image that lags behind its
// own properties would only puzzle whoever sets them.
void TRbPanel::SetDefaultFrom(TColor c)
{
    if (c == m_defaultFrom)
        return;
    m_defaultFrom = c;
    if (m_gradient)
        Rebuild();
    else
        update();
    emit defaultFromChanged();
}

void TRbPanel::SetDefaultTo(TColor c)
{
    if (c == m_defaultTo)
        return;
    m_defaultTo = c;
    if (m_gradient)
        Rebuild();
    else
        update();
    emit defaultToChanged();
}

void TRbPanel::SetGradientType(TGradientType t)
{
    if (t == m_gradientType)
        return;
    m_gradientType = t;
    Rebuild();
    emit gradientTypeChanged();
}

void TRbPanel::SetLoading(bool on)
{
    if (on == m_loading)
        return;
    m_loading = on;
    if (!on) {
        Realign();
        Rebuild();
    }
}

QString TRbPanel::AccessibleName() const
{
    return accessibleName().isEmpty() ? WithoutMnemonic(Caption()) : accessibleName();
}

// ---- geometry

int TRbPanel::CaptionHeight() const
{
    return QFontMetrics(Font().ToQFont()).height();
}

QRect TRbPanel::ClientAreaFor(const QRect& client, TRbCaptionPos pos, int borderWidth, int captionHeight)
{
    const int side = borderWidth + 1;
    if (pos != cpGroupBox)
        return client.adjusted(side, side, -side, -side);
    const int half = captionHeight / 2;
    QRect r = client.adjusted(side, half + 2, -side, -(half + 2)).translated(0, half - 1);
    // Moved down by the caption, the area would reach into a frame wider
    // than 2 pixels; it stays inside the frame lines.
    r.setTop(std::max(r.top(), client.top() + half + side));
    r.setBottom(std::min(r.bottom(), client.bottom() - side));
    return r;
}

QRect TRbPanel::ClientArea() const
{
    return ClientAreaFor(rect(), m_captionPosition, m_borderWidth, CaptionHeight());
}

void TRbPanel::Realign()
{
    const QRect all = rect();
    const QRect inner = ClientArea();
    setContentsMargins(std::max(inner.left() - all.left(), 0), std::max(inner.top() - all.top(), 0),
                       std::max(all.right() - inner.right(), 0), std::max(all.bottom() - inner.bottom(), 0));
}

// ---- image

void TRbPanel::Rebuild()
{
    if (!m_loading)
        RebuildLayers();
}

void TRbPanel::RebuildLayers()
{
    if (m_loading)
        return;
    if (DeferRebuild())
        return;
    const int W = width(), H = height();
    m_imageColor = Color();
    if (W <= 0 || H <= 0) {
        m_image = QImage();
        return;
    }
    if (m_outerFollows)
        m_outerColor = BackdropColor();
    const int f = m_antialiased ? 3 : 1;
    QImage work = MakeBitmap(W * f, H * f, m_outerColor);
    const int pw = m_borderWidth * f - 1;
    const int h = pw / 2;
    const int th = CaptionHeight();
    const int y0 = m_captionPosition == cpGroupBox ? h + (th * f) / 2 : h;
    const QRect frame = Ltrb(h, y0, W * f - h, H * f - h);
    const int corner = m_cornerWidth * f;

    if (m_gradient) {
        const QRegion rgn = RoundRectRegion(frame, corner, corner);
        GradientFill(work, work.rect(), m_defaultFrom, m_defaultTo, m_gradientType, &rgn);
    }
    {
        QPainter p(&work);
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(ToQColor(m_borderColor));
        pen.setWidth(std::max(pw, 1)); // a width of 0 is the one-pixel pen
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        if (m_gradient)
            p.setBrush(Qt::NoBrush);
        else
            p.setBrush(ToQColor(m_imageColor));
        // The outline runs through the middle of the frame's outer pixels.
        const QRectF path(frame.left() + 0.5, frame.top() + 0.5, frame.width() - 1.0, frame.height() - 1.0);
        if (corner > 0)
            p.drawRoundedRect(path, corner / 2.0, corner / 2.0);
        else
            p.drawRect(path);
    }

    if (m_antialiased) {
        m_image = MakeBitmap(W, H, m_imageColor);
        // The band must hold the whole frame; a tall group-box caption puts
        // the top line deeper than the corners alone would need.
        int band = m_cornerWidth + 20;
        if (m_captionPosition == cpGroupBox)
            band = std::max(band, 2 * (th / 2 + m_borderWidth + m_cornerWidth / 2 + 2));
        DownsampleBorder(work, m_image, 3, m_imageColor, band);
    } else {
        m_image = work;
    }
    update();
}

void TRbPanel::Resized()
{
    Realign();
    Rebuild();
}

// A parent's new colour reaches a panel that follows it as its Color and as
// the colour around its frame.
void TRbPanel::FollowParentColor()
{
    if (m_outerFollows && m_outerColor != BackdropColor()) {
        m_outerColor = BackdropColor();
        Rebuild();
    } else if (Color() != m_imageColor) {
        Rebuild();
    }
    NoteOuterColor();
}

bool TRbPanel::event(QEvent* e)
{
    // The parent's palette is watched directly: once a panel has a colour of
    // its own, the parent's changes no longer reach it as palette events.
    if (e->type() == QEvent::ParentAboutToChange && parentWidget())
        parentWidget()->removeEventFilter(this);
    const bool handled = TRbCustomControl::event(e);
    if (e->type() == QEvent::ParentChange && parentWidget()) {
        parentWidget()->installEventFilter(this);
        FollowParentColor();
    }
    return handled;
}

bool TRbPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == parentWidget() && e->type() == QEvent::PaletteChange)
        FollowParentColor();
    return TRbCustomControl::eventFilter(watched, e);
}

void TRbPanel::changeEvent(QEvent* e)
{
    TRbCustomControl::changeEvent(e);
    switch (e->type()) {
    case QEvent::PaletteChange: {
        FollowParentColor();
        // Labels on the panel are read against its colour, not the window's.
        const QColor text = ReadableTextColor(Color());
        if (palette().color(QPalette::WindowText) != text) {
            QPalette pal = palette();
            pal.setColor(QPalette::WindowText, text);
            setPalette(pal);
        }
        break;
    }
    case QEvent::FontChange:
        Realign();
        if (m_captionPosition == cpGroupBox)
            Rebuild();
        break;
    default:
        break;
    }
}

// ---- paint

void TRbPanel::PaintBuffer(QImage& buffer)
{
    const int W = buffer.width(), H = buffer.height();
    FillRect(buffer, buffer.rect(), m_outerColor);
    // A hidden panel hears of its size only when shown; paint what it has now.
    // An ancestor's background may have changed without telling the parent.
    if (m_outerFollows && m_outerColor != BackdropColor()) {
        m_outerColor = BackdropColor();
        FillRect(buffer, buffer.rect(), m_outerColor);
        RebuildLayers();
    } else if (m_image.size() != buffer.size() || m_imageColor != Color()) {
        RebuildLayers();
    }
    ComposeLayers(buffer, m_image, m_image, 0, buffer.rect(), 0);
    if (!ShowCaption() || Caption().isEmpty())
        return;

    const int bw = m_borderWidth, cw = m_cornerWidth;
    const int a = (cw + bw) / 2;
    QRect tr = Ltrb(a, bw, W - a, H - bw);
    TRbTextFormat fmt;
    fmt.WordWrap = false;
    fmt.EndEllipsis = true;
    fmt.Prefix = true;
    Qt::Alignment horz = Qt::AlignLeft, vert = Qt::AlignTop;
    switch (m_captionPosition) {
    case cpGroupBox:
        tr.setTop(tr.top() - bw);
        if (cw + bw < 2)
            tr.setLeft(tr.left() + 5);
        break;
    case cpTopLeft: break;
    case cpTopCenter: horz = Qt::AlignHCenter; break;
    case cpTopRight: horz = Qt::AlignRight; break;
    case cpMiddleLeft:
        vert = Qt::AlignVCenter;
        tr.setLeft(tr.left() - (cw - bw) / 2);
        break;
    case cpMiddleCenter:
        horz = Qt::AlignHCenter;
        vert = Qt::AlignVCenter;
        break;
    case cpMiddleRight:
        horz = Qt::AlignRight;
        vert = Qt::AlignVCenter;
        tr.setRight(tr.right() + (cw - bw) / 2);
        break;
    case cpBottomLeft: vert = Qt::AlignBottom; break;
    case cpBottomCenter:
        horz = Qt::AlignHCenter;
        vert = Qt::AlignBottom;
        break;
    case cpBottomRight:
        horz = Qt::AlignRight;
        vert = Qt::AlignBottom;
        break;
    }
    fmt.Align = horz | vert;

    if (m_captionPosition == cpGroupBox) {
        const QFontMetrics fm(Font().ToQFont());
        const int th = fm.height();
        const int tw = fm.horizontalAdvance(WithoutMnemonic(Caption()));
        const int mid = tr.top() + th / 2;
        // Clear the frame line behind the caption; the text itself stands on
        // the panel's colour, readable whatever lies around the panel.
        FillRect(buffer, Ltrb(0, 0, tr.left() + tr.width(), mid), m_outerColor);
        FillRect(buffer, Ltrb(tr.left(), mid, tr.left() + tw, mid + std::min(bw, th / 2)), m_outerColor);
        FillRect(buffer, Ltrb(tr.left() - 2, tr.top(), tr.left() + tw + 2, tr.top() + th), Color());
    }
    PaintSharp(buffer, [this, fmt, tr](QPainter& p) {
        DrawShadowText(p, Caption(), Font(), m_textShadowColor, TextShadow(), fmt, tr, isEnabled());
    });
}
