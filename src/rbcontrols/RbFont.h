#pragma once

#include "RbColors.h"

#include <QFont>
#include <functional>
#include <optional>

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = int; // bit (1 << TFontStyle)

inline const QStringList& FontPitchNames()
{
    static const QStringList n = {"fpDefault", "fpVariable", "fpFixed"};
    return n;
}
inline const QStringList& FontStyleNames()
{
    static const QStringList n = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    return n;
}

// The font of a skinned control or a style manager, with the attributes a
// colour scheme carries. Height < 0 is the character height in pixels; Size
// is in points at 96 dpi, and setting one recomputes the other. Named
// properties (class name "TFont"): Charset, Color, Height, Name, Pitch, Size, Style.
class TRbFont : public TRbPersistent {
public:
    // Starts as the application font in the window-text colour.
    TRbFont();

    int Charset() const { return m_charset; }
    TColor Color() const { return m_color; }
    int Height() const { return m_height; }
    QString Name() const { return m_name; }
    TFontPitch Pitch() const { return m_pitch; }
    int Size() const;
    TFontStyles Style() const { return m_style; }

    void SetCharset(int v);
    void SetColor(TColor v);
    void SetHeight(int v);
    void SetName(const QString& v);
    void SetPitch(TFontPitch v);
    void SetSize(int points);
    void SetStyle(TFontStyles v);

    // The Qt font to draw with. A face that is not installed (the design face
    // "MS Sans Serif" is not) gives the application font's face.
    QFont ToQFont() const;

    // Called after any attribute changed.
    void SetOnChange(std::function<void()> f) { m_onChange = std::move(f); }

    QString ClassName() const override { return QStringLiteral("TFont"); }
    const TRbPropertyTable& Properties() const override { return Table(); }
    static const TRbPropertyTable& Table();
    // Copies all attributes, the face name included; notifies once.
    bool Assign(const TRbPersistent& source, QString* error = nullptr) override;

private:
    template <class T> void Change(T& field, const T& value);

    int m_charset = 1;
    TColor m_color = clWindowText;
    int m_height = -11;
    QString m_name;
    TFontPitch m_pitch = fpDefault;
    TFontStyles m_style = 0;
    std::function<void()> m_onChange;
    // Looking a face up is slow; paints reuse the last result.
    mutable std::optional<QFont> m_qfont;
    mutable QFont m_qfontBase;
};
