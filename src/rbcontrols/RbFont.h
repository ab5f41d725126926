#pragma once

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbTypes.h"

#include <QFont>
#include <QObject>
#include <optional>

// The font of a skinned control or a style manager, with the attributes a
// colour scheme carries. Height < 0 is the character height in pixels; Size
// is in points at 96 dpi, and setting one recomputes the other. Named
// properties, in scheme files under the class name "TFont": Charset, Color,
// Height, Name, Pitch, Size, Style. A control owns one and follows its
// changed(); a manager's reaches the controls through ApplyStyle.
class TRbFont : public QObject {
    Q_OBJECT
    Q_CLASSINFO("SchemeName", "TFont")
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset NOTIFY charsetChanged)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor NOTIFY colorChanged)
    Q_PROPERTY(int Height READ Height WRITE SetHeight NOTIFY heightChanged)
    Q_PROPERTY(QString Name READ Name WRITE SetName NOTIFY nameChanged)
    Q_PROPERTY(RbEnums::TFontPitch Pitch READ Pitch WRITE SetPitch NOTIFY pitchChanged)
    Q_PROPERTY(int Size READ Size WRITE SetSize NOTIFY sizeChanged)
    Q_PROPERTY(RbEnums::TFontStyles Style READ Style WRITE SetStyle NOTIFY styleChanged)
public:
    // Starts as the application font in the window-text colour.
    explicit TRbFont(QObject* parent = nullptr);

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

    // Copies all attributes, the face name included: each attribute that
    // differs reports its change, and changed() follows once.
    void Assign(const TRbFont& source);

signals:
    void charsetChanged();
    void colorChanged();
    void heightChanged(); // sizeChanged() too when the whole points move
    void nameChanged();
    void pitchChanged();
    void sizeChanged();
    void styleChanged();
    // After the attributes' own signals, once for every setter call or Assign
    // that changed anything.
    void changed();

private:
    template <class T> void Change(T& field, const T& value, void (TRbFont::*notify)());

    int m_charset = 1;
    TColor m_color = clWindowText;
    int m_height = -11;
    QString m_name;
    TFontPitch m_pitch = fpDefault;
    TFontStyles m_style;
    // Looking a face up is slow; paints reuse the last result.
    mutable std::optional<QFont> m_qfont;
    mutable QFont m_qfontBase;
};
