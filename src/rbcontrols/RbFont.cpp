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

TRbFont::TRbFont()
{
    const QFont app = QGuiApplication::font();
    m_name = app.family();
    if (app.pixelSize() > 0)
        m_height = -app.pixelSize();
    else if (app.pointSizeF() > 0)
        m_height = -MulDiv(qRound(app.pointSizeF()), kPixelsPerInch, 72);
}

template <class T> void TRbFont::Change(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    m_qfont.reset();
    if (m_onChange)
        m_onChange();
}

int TRbFont::Size() const { return -MulDiv(m_height, 72, kPixelsPerInch); }

void TRbFont::SetCharset(int v) { Change(m_charset, v & 0xFF); }
void TRbFont::SetColor(TColor v) { Change(m_color, v); }
void TRbFont::SetHeight(int v) { Change(m_height, v); }
void TRbFont::SetName(const QString& v) { Change(m_name, v); }
void TRbFont::SetPitch(TFontPitch v) { Change(m_pitch, v); }
void TRbFont::SetSize(int points)
{
    // A scheme carries Height and then Size; a size the height already has
    // must not round the height away (-10 px would come back as -11).
    if (points != Size())
        SetHeight(-MulDiv(points, kPixelsPerInch, 72));
}
void TRbFont::SetStyle(TFontStyles v) { Change(m_style, v & (fsBold | fsItalic | fsUnderline | fsStrikeOut)); }

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
    const TRbFont* src = &source;
    const bool changed = m_charset != src->m_charset || m_color != src->m_color || m_height != src->m_height
        || m_name != src->m_name || m_pitch != src->m_pitch || m_style != src->m_style;
    m_charset = src->m_charset;
    m_color = src->m_color;
    m_height = src->m_height;
    m_name = src->m_name;
    m_pitch = src->m_pitch;
    m_style = src->m_style;
    m_qfont.reset();
    if (changed && m_onChange)
        m_onChange();
}
