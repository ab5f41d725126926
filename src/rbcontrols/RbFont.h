#pragma once

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbTypes.h"

#include <QFont>
#include <functional>
#include <optional>

// The font of a skinned control or a style manager, with the attributes a
// colour scheme carries. Height < 0 is the character height in pixels; Size
// is in points at 96 dpi, and setting one recomputes the other. Named
// properties, in scheme files under the class name "TFont": Charset, Color,
// Height, Name, Pitch, Size, Style.
class TRbFont {
    Q_GADGET
    Q_CLASSINFO("SchemeName", "TFont")
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(RbEnums::TFontPitch Pitch READ Pitch WRITE SetPitch)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(RbEnums::TFontStyles Style READ Style WRITE SetStyle)
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
    // A size equal to Size() keeps the height: a height between two whole
    // point sizes survives a scheme file, which gives both.
    void SetSize(int points);
    void SetStyle(TFontStyles v);

    // The Qt font to draw with. A face that is not installed (the design face
    // "MS Sans Serif" is not) gives the application font's face.
    QFont ToQFont() const;

    // Called after any attribute changed.
    void SetOnChange(std::function<void()> f) { m_onChange = std::move(f); }

    // Copies all attributes, the face name included; notifies once.
    void Assign(const TRbFont& source);

private:
    template <class T> void Change(T& field, const T& value);

    int m_charset = 1;
    TColor m_color = clWindowText;
    int m_height = -11;
    QString m_name;
    TFontPitch m_pitch = fpDefault;
    TFontStyles m_style;
    std::function<void()> m_onChange;
    // Looking a face up is slow; paints reuse the last result.
    mutable std::optional<QFont> m_qfont;
    mutable QFont m_qfontBase;
};
