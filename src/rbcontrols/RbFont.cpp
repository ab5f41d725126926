#include "rbcontrols/RbFont.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <cmath>

namespace {

// Asking the font database for a family goes through fontconfig's aliases
// every time; every control asks at start-up, mostly for the same few names.
// The program adds no fonts while it runs, so an answer stays true.
bool HasFamily(const QString& name)
{
    static QHash<QString, bool> known;
    const auto it = known.constFind(name);
    if (it != known.constEnd())
        return *it;
    const bool has = QFontDatabase::hasFamily(name);
    known.insert(name, has);
    return has;
}

} // namespace

namespace {

constexpr int kPixelsPerInch = 96;

// Multiply and divide, rounding half away from zero.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long n = static_cast<long long>(a) * b;
    const long long q = (std::llabs(n) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<long long>(c)));
    return static_cast<int>(((n < 0) != (c < 0)) ? -q : q);
}

} // namespace

TRbFont::TRbFont(QObject* parent) : QObject(parent)
{
    const QFont app = QGuiApplication::font();
    m_name = app.family();
    if (app.pixelSize() > 0)
        m_height = -app.pixelSize();
    else if (app.pointSizeF() > 0)
        m_height = -MulDiv(qRound(app.pointSizeF()), kPixelsPerInch, 72);
}

template <class T> void TRbFont::Change(T& field, const T& value, void (TRbFont::*notify)())
{
    if (field == value)
        return;
    field = value;
    m_qfont.reset();
    (this->*notify)();
    emit changed();
}

int TRbFont::Size() const { return -MulDiv(m_height, 72, kPixelsPerInch); }

void TRbFont::SetCharset(int v) { Change(m_charset, v & 0xFF, &TRbFont::charsetChanged); }
void TRbFont::SetColor(TColor v) { Change(m_color, v, &TRbFont::colorChanged); }
void TRbFont::SetHeight(int v)
{
    if (v == m_height)
        return;
    const int size = Size();
    m_height = v;
    m_qfont.reset();
    emit heightChanged();
    if (Size() != size)
        emit sizeChanged();
    emit changed();
}
void TRbFont::SetName(const QString& v) { Change(m_name, v, &TRbFont::nameChanged); }
void TRbFont::SetPitch(TFontPitch v) { Change(m_pitch, v, &TRbFont::pitchChanged); }
void TRbFont::SetSize(int points)
{
    // A scheme carries Height and then Size; a size the height already has
    // must not round the height away (-10 px would come back as -11).
    if (points != Size())
        SetHeight(-MulDiv(points, kPixelsPerInch, 72));
}
void TRbFont::SetStyle(TFontStyles v)
{
    Change(m_style, v & (fsBold | fsItalic | fsUnderline | fsStrikeOut), &TRbFont::styleChanged);
}

QFont TRbFont::ToQFont() const
{
    const QFont app = QGuiApplication::font();
    if (m_qfont && m_qfontBase == app)
        return *m_qfont;
    QFont f = app;
    if (!m_name.isEmpty() && m_name != f.family() && HasFamily(m_name))
        f.setFamily(m_name);
    if (m_height != 0)
        f.setPixelSize(std::abs(m_height));
    if (m_pitch == fpFixed)
        f.setFixedPitch(true);
    f.setBold(m_style.testFlag(fsBold));
    f.setItalic(m_style.testFlag(fsItalic));
    f.setUnderline(m_style.testFlag(fsUnderline));
    f.setStrikeOut(m_style.testFlag(fsStrikeOut));
    m_qfont = f;
    m_qfontBase = app;
    return f;
}

void TRbFont::Assign(const TRbFont& source)
{
    if (&source == this)
        return;
    const int size = Size();
    const bool charset = m_charset != source.m_charset, color = m_color != source.m_color,
               height = m_height != source.m_height, name = m_name != source.m_name,
               pitch = m_pitch != source.m_pitch, style = m_style != source.m_style;
    m_charset = source.m_charset;
    m_color = source.m_color;
    m_height = source.m_height;
    m_name = source.m_name;
    m_pitch = source.m_pitch;
    m_style = source.m_style;
    m_qfont.reset();
    // Told once everything is copied: a listener reads the whole new font.
    if (charset)
        emit charsetChanged();
    if (color)
        emit colorChanged();
    if (height)
        emit heightChanged();
    if (name)
        emit nameChanged();
    if (pitch)
        emit pitchChanged();
    if (Size() != size)
        emit sizeChanged();
    if (style)
        emit styleChanged();
    if (charset || color || height || name || pitch || style)
        emit changed();
}
