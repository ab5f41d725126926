#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <cstdint>

// Colour values: signed 32 bits. >= 0 is RGB laid out 0x00BBGGRR (red low);
// negative names a system colour by its low byte (0xFF0000nn and 0x800000nn
// both occur). System colours are looked up only when pixels are computed.
using TColor = std::int32_t;

inline constexpr TColor RGBColor(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }
inline constexpr TColor SystemColor(int index) { return TColor(0xFF000000u | unsigned(index & 0xFF)); }
inline constexpr bool IsSystemColor(TColor c) { return c < 0; }

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clNone = 0x1FFFFFFF;

// System colour indices of the platform this look comes from.
enum TSystemColorIndex {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30
};

inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);           // -16777201
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);     // -16777208
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
inline constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);

struct TRgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const TRgb&, const TRgb&) = default;
};

// RGB of a colour value; system colours come from the application palette.
TRgb ResolveColor(TColor c);
QColor ToQColor(TColor c);
// A Qt colour as a colour value (alpha dropped).
TColor FromQColor(const QColor& c);

// Told by a colour set when one of its values changes.
class IRbColorsOwner {
public:
    virtual void ColorsRebuild() = 0; // a colour the cached layers are made of
    virtual void ColorsRepaint() = 0; // a colour used only while painting

protected:
    ~IRbColorsOwner() = default;
};

// Gradient colours of the normal and hot looks; base of the other two sets.
class TRbCustomColors : public QObject {
    Q_OBJECT
    Q_PROPERTY(TColor DefaultFrom READ DefaultFrom WRITE SetDefaultFrom NOTIFY defaultFromChanged)
    Q_PROPERTY(TColor DefaultTo READ DefaultTo WRITE SetDefaultTo NOTIFY defaultToChanged)
    Q_PROPERTY(TColor OverFrom READ OverFrom WRITE SetOverFrom NOTIFY overFromChanged)
    Q_PROPERTY(TColor OverTo READ OverTo WRITE SetOverTo NOTIFY overToChanged)
public:
    explicit TRbCustomColors(IRbColorsOwner* owner = nullptr);

    IRbColorsOwner* Owner() const { return m_owner; }
    void SetOwner(IRbColorsOwner* owner) { m_owner = owner; }

    TColor DefaultFrom() const { return m_defaultFrom; }
    TColor DefaultTo() const { return m_defaultTo; }
    TColor OverFrom() const { return m_overFrom; }
    TColor OverTo() const { return m_overTo; }
    void SetDefaultFrom(TColor c) { Change(m_defaultFrom, c, true, &TRbCustomColors::defaultFromChanged); }
    void SetDefaultTo(TColor c) { Change(m_defaultTo, c, true, &TRbCustomColors::defaultToChanged); }
    void SetOverFrom(TColor c) { Change(m_overFrom, c, true, &TRbCustomColors::overFromChanged); }
    void SetOverTo(TColor c) { Change(m_overTo, c, true, &TRbCustomColors::overToChanged); }

    // Copies the stored values of another colour set without telling the
    // owner: the four base values from any set, all nine between two
    // TRbControlColors. The values that differ still report their change,
    // once all are copied. Any other source is refused: false, and *error
    // says why ("Cannot assign a X to a Y.").
    virtual bool Assign(const QObject& source, QString* error = nullptr);

signals:
    void defaultFromChanged();
    void defaultToChanged();
    void overFromChanged();
    void overToChanged();

protected:
    // Stores a new value, tells the owner (to rebuild its layers or only to
    // repaint) and then emits notify.
    template <class C> void Change(TColor& field, TColor value, bool rebuild, void (C::*notify)())
    {
        if (!Store(field, value, rebuild))
            return;
        (static_cast<C*>(this)->*notify)();
    }
    // Raw copy of the four base values, no notification.
    void CopyBase(const TRbCustomColors& src);
    // The values of all colour properties, in declaration order, and the
    // change signals of those that differ from before.
    QList<TColor> Values() const;
    void NotifyChanges(const QList<TColor>& before);

private:
    bool Store(TColor& field, TColor value, bool rebuild);

    IRbColorsOwner* m_owner;
    TColor m_defaultFrom = clWhite;
    TColor m_defaultTo = 13745839;
    TColor m_overFrom = clWhite;
    TColor m_overTo = 12489846;
};

// Colours of buttons, check boxes, radio buttons and of the manager.
class TRbControlColors : public TRbCustomColors {
    Q_OBJECT
    Q_PROPERTY(TColor ClickedFrom READ ClickedFrom WRITE SetClickedFrom NOTIFY clickedFromChanged)
    Q_PROPERTY(TColor ClickedTo READ ClickedTo WRITE SetClickedTo NOTIFY clickedToChanged)
    Q_PROPERTY(TColor HotTrack READ HotTrack WRITE SetHotTrack NOTIFY hotTrackChanged)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(TColor TextShadow READ TextShadow WRITE SetTextShadow NOTIFY textShadowChanged)
public:
    explicit TRbControlColors(IRbColorsOwner* owner = nullptr) : TRbCustomColors(owner) {}

    TColor ClickedFrom() const { return m_clickedFrom; }
    TColor ClickedTo() const { return m_clickedTo; }
    TColor HotTrack() const { return m_hotTrack; }
    TColor BorderColor() const { return m_borderColor; }
    TColor TextShadow() const { return m_textShadow; }
    void SetClickedFrom(TColor c) { Change(m_clickedFrom, c, true, &TRbControlColors::clickedFromChanged); }
    void SetClickedTo(TColor c) { Change(m_clickedTo, c, true, &TRbControlColors::clickedToChanged); }
    void SetHotTrack(TColor c) { Change(m_hotTrack, c, false, &TRbControlColors::hotTrackChanged); }
    void SetBorderColor(TColor c) { Change(m_borderColor, c, true, &TRbControlColors::borderColorChanged); }
    void SetTextShadow(TColor c) { Change(m_textShadow, c, false, &TRbControlColors::textShadowChanged); }

    bool Assign(const QObject& source, QString* error = nullptr) override;

signals:
    void clickedFromChanged();
    void clickedToChanged();
    void hotTrackChanged();
    void borderColorChanged();
    void textShadowChanged();

private:
    TColor m_clickedFrom = 13029334;
    TColor m_clickedTo = 15463415;
    TColor m_hotTrack = clBlue;
    TColor m_borderColor = clGray;
    TColor m_textShadow = clWhite;
};

// Colours of a splitter and the manager's SplitterColors.
class TRbSplitterColors : public TRbCustomColors {
    Q_OBJECT
public:
    explicit TRbSplitterColors(IRbColorsOwner* owner = nullptr);
};
