#pragma once

#include <QByteArray>
#include <QEvent>
#include <QImage>
#include <QRegion>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include "indicator/IndicatorPixels.h"
#include "indicator/IndicatorRender.h"
#include "indicator/IndicatorTypes.h"

class QTimer;

// A row of seven-segment, nine-segment or 5 x 7 matrix character cells with
// bevels, colours or materials, transparency, hover effects and rotation.
//
// The owner creates it, sets the stored properties and then calls Loaded();
// until then writes of SignNumber, the size, the angle and the scheme are only
// stored. Writes that change the picture do not repaint at once: they post one
// CM_REBUILDINDICATOR to the indicator, so a chain of writes (a scheme and
// then explicit colours) costs a single rebuild when the event loop runs.
//
// The look options are properties; each tells its change once, when the
// stored value changes (a resize that gives the indicator a new size too).
class TLiquidIndicator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(LiquidEnums::TLiquidColorScheme ColorScheme READ ColorScheme WRITE SetColorScheme NOTIFY colorSchemeChanged)
    Q_PROPERTY(int SignNumber READ SignNumber WRITE SetSignNumber NOTIFY signNumberChanged)
    Q_PROPERTY(int IndicatorWidth READ IndicatorWidth WRITE SetIndicatorWidth NOTIFY indicatorWidthChanged)
    Q_PROPERTY(int IndicatorHeight READ IndicatorHeight WRITE SetIndicatorHeight NOTIFY indicatorHeightChanged)
    Q_PROPERTY(int IndicatorAngle READ IndicatorAngle WRITE SetIndicatorAngle NOTIFY indicatorAngleChanged)
    Q_PROPERTY(int IndicatorGap READ IndicatorGap WRITE SetIndicatorGap NOTIFY indicatorGapChanged)
    Q_PROPERTY(LiquidEnums::TLiquidIndicatorKind IndicatorKind READ IndicatorKind WRITE SetIndicatorKind NOTIFY indicatorKindChanged)
    Q_PROPERTY(LiquidEnums::TLiquidBevelKind InnerBevel READ InnerBevel WRITE SetInnerBevel NOTIFY innerBevelChanged)
    Q_PROPERTY(LiquidEnums::TLiquidBevelKind OuterBevel READ OuterBevel WRITE SetOuterBevel NOTIFY outerBevelChanged)
    Q_PROPERTY(int InnerBevelWidth READ InnerBevelWidth WRITE SetInnerBevelWidth NOTIFY innerBevelWidthChanged)
    Q_PROPERTY(int OuterBevelWidth READ OuterBevelWidth WRITE SetOuterBevelWidth NOTIFY outerBevelWidthChanged)
    Q_PROPERTY(TColor BevelColor READ BevelColor WRITE SetBevelColor NOTIFY bevelColorChanged)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor NOTIFY backColorChanged)
    Q_PROPERTY(TColor NumberForeColor READ NumberForeColor WRITE SetNumberForeColor NOTIFY numberForeColorChanged)
    Q_PROPERTY(TColor NumberForeColor1 READ NumberForeColor1 WRITE SetNumberForeColor1 NOTIFY numberForeColor1Changed)
    Q_PROPERTY(TColor NumberBackColor READ NumberBackColor WRITE SetNumberBackColor NOTIFY numberBackColorChanged)
    Q_PROPERTY(LiquidEnums::TLiquidIndicatorStyle IndicatorStyle READ IndicatorStyle WRITE SetIndicatorStyle NOTIFY indicatorStyleChanged)
    Q_PROPERTY(LiquidEnums::TLiquidMouseAction MouseAction READ MouseAction WRITE SetMouseAction NOTIFY mouseActionChanged)
    Q_PROPERTY(LiquidEnums::TLiquidTransparentMode TransparentMode READ TransparentMode WRITE SetTransparentMode NOTIFY transparentModeChanged)
    Q_PROPERTY(LiquidEnums::TLiquidMaterialShadowMode MaterialShadowMode READ MaterialShadowMode WRITE SetMaterialShadowMode NOTIFY materialShadowModeChanged)
    Q_PROPERTY(LiquidEnums::TLiquidMaterialMode MaterialMode READ MaterialMode WRITE SetMaterialMode NOTIFY materialModeChanged)
    Q_PROPERTY(LiquidEnums::TLiquidMaterialMode ForeMaterialMode READ ForeMaterialMode WRITE SetForeMaterialMode NOTIFY foreMaterialModeChanged)
public:
    // The indicator's private rebuild request.
    static const QEvent::Type CM_REBUILDINDICATOR;

    explicit TLiquidIndicator(QWidget* parent = nullptr);
    ~TLiquidIndicator() override;

    // The owner has set the stored properties: size, shape and picture follow.
    void Loaded();
    bool IsLoaded() const { return FLoaded; }

    TLiquidColorScheme ColorScheme() const { return FColorScheme; }
    int SignNumber() const { return FSignNumber; }
    int IndicatorWidth() const { return FIndicatorWidth; }
    int IndicatorHeight() const { return FIndicatorHeight; }
    int IndicatorAngle() const { return FIndicatorAngle; }
    int IndicatorGap() const { return FIndicatorGap; }
    const QByteArray& Indicatorstring() const { return FIndicatorstring; }
    TLiquidIndicatorKind IndicatorKind() const { return FIndicatorKind; }
    TLiquidBevelKind InnerBevel() const { return FInnerBevel; }
    TLiquidBevelKind OuterBevel() const { return FOuterBevel; }
    int InnerBevelWidth() const { return FInnerBevelWidth; }
    int OuterBevelWidth() const { return FOuterBevelWidth; }
    TColor BevelColor() const { return FBevelColor; }
    TColor BackColor() const { return FBackColor; }
    TColor NumberForeColor() const { return FNumberForeColor; }
    TColor NumberForeColor1() const { return FNumberForeColor1; }
    TColor NumberBackColor() const { return FNumberBackColor; }
    TLiquidIndicatorStyle IndicatorStyle() const { return FIndicatorStyle; }
    TLiquidMouseAction MouseAction() const { return FMouseAction; }
    TLiquidTransparentMode TransparentMode() const { return FTransparentMode; }
    const QImage& BackMaterial() const { return FBackMaterial; }
    const QImage& ForeMaterial() const { return FForeMaterial; }
    TLiquidMaterialShadowMode MaterialShadowMode() const { return FMaterialShadowMode; }
    TLiquidMaterialMode MaterialMode() const { return FMaterialMode; }
    TLiquidMaterialMode ForeMaterialMode() const { return FForeMaterialMode; }

    virtual void SetSignNumber(int value);
    virtual void SetIndicatorWidth(int value);
    virtual void SetIndicatorHeight(int value);
    virtual void SetIndicatorAngle(int value);
    virtual void SetIndicatorGap(int value);
    // Windows-1251 bytes; the degree sign is 0xB0.
    virtual void SetIndicatorstring(const QByteArray& value);
    virtual void SetIndicatorKind(TLiquidIndicatorKind value);
    virtual void SetInnerBevel(TLiquidBevelKind value);
    virtual void SetOuterBevel(TLiquidBevelKind value);
    virtual void SetInnerBevelWidth(int value);
    virtual void SetOuterBevelWidth(int value);
    virtual void SetBevelColor(TColor value);
    virtual void SetBackColor(TColor value);
    virtual void SetNumberForeColor(TColor value);
    virtual void SetNumberForeColor1(TColor value);
    virtual void SetNumberBackColor(TColor value);
    virtual void SetIndicatorStyle(TLiquidIndicatorStyle value);
    virtual void SetMouseAction(TLiquidMouseAction value);
    virtual void SetTransparentMode(TLiquidTransparentMode value);
    virtual void SetColorScheme(TLiquidColorScheme value);
    // The picture is copied; the caller keeps its own.
    virtual void SetBackMaterial(const QImage& value);
    virtual void SetForeMaterial(const QImage& value);
    virtual void SetMaterialShadowMode(TLiquidMaterialShadowMode value);
    virtual void SetMaterialMode(TLiquidMaterialMode value);
    virtual void SetForeMaterialMode(TLiquidMaterialMode value);

    // The text from Unicode, converted to Windows-1251.
    void SetIndicatorText(const QString& text);

    // What a screen reader speaks: the shown text, and after a reading with
    // digits the unit the page prints beside the indicator ("23,5 °C").
    void SetAccessibleUnit(const QString& unit);
    const QString& AccessibleUnit() const { return FAccessibleUnit; }
    QString AccessibleValue() const;
    // At most one reading a second reaches assistive technology.
    static constexpr qint64 kAccessibleAnnounceMs = 1000;

    // Pixels of the buffer per logical pixel: the screen's device pixel ratio.
    double RenderRatio() const;

    void UpdateWindowShape();
    void RebuildImage();
    void PrepareMaterials();

    // Copies the buffer through the clip region; all that painting does.
    void PaintBuffer(QPainter& painter) const;

    // The finished picture and what the last rebuild produced, in buffer
    // pixels (RenderRatio() of them per logical pixel).
    const QImage& Image() const { return FRender.Buffer; }
    bool HasClipRegion() const { return FRender.HasClip; }
    const QRegion& ClipRegion() const { return FRender.Clip; }
    const TPolygonList& LitPolygons() const { return FRender.Lit; }
    const TPolygonList& UnlitPolygons() const { return FRender.Unlit; }
    int RebuildCount() const { return FRebuildCount; }
    bool RebuildPending() const { return FRebuildPending; }
    bool MouseInside() const { return FMouseInside; }

signals:
    void mouseEntered(); // OnMouseEnter
    void mouseLeft();    // OnMouseExit

    void colorSchemeChanged();
    void signNumberChanged();
    void indicatorWidthChanged();
    void indicatorHeightChanged();
    void indicatorAngleChanged();
    void indicatorGapChanged();
    void indicatorKindChanged();
    void innerBevelChanged();
    void outerBevelChanged();
    void innerBevelWidthChanged();
    void outerBevelWidthChanged();
    // The colours also change with a colour scheme written once loaded.
    void bevelColorChanged();
    void backColorChanged();
    void numberForeColorChanged();
    void numberForeColor1Changed();
    void numberBackColorChanged();
    void indicatorStyleChanged();
    void mouseActionChanged();
    void transparentModeChanged();
    void materialShadowModeChanged();
    void materialModeChanged();
    void foreMaterialModeChanged();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void RequestRebuild();
    TIndicatorFrame Frame() const;
    QRegion CoveredArea() const;
    void ResizeInternally(QSize size);
    void ResizeForSizeProperty();
    void SetSchemeColors();
    void NotifyAccessibleValue();
    void AnnounceReading();

    template <typename T>
    bool Store(T& field, const T& value)
    {
        if (field == value)
            return false;
        field = value;
        return true;
    }
    // Stores, asks for a rebuild and tells: the plain look options.
    template <typename T>
    void Change(T& field, const T& value, void (TLiquidIndicator::*notify)())
    {
        if (!Store(field, value))
            return;
        RequestRebuild();
        (this->*notify)();
    }
    void NotifySize(int oldWidth, int oldHeight);

    TLiquidColorScheme FColorScheme = csSilver;
    int FSignNumber = 10;
    int FIndicatorWidth = 172;
    int FIndicatorHeight = 36;
    int FIndicatorAngle = 0;
    int FIndicatorGap = 2;
    QByteArray FIndicatorstring;
    TLiquidIndicatorKind FIndicatorKind = ik7segment;
    TLiquidBevelKind FInnerBevel = bkDown;
    TLiquidBevelKind FOuterBevel = bkUP;
    int FInnerBevelWidth = 2;
    int FOuterBevelWidth = 2;
    TColor FBevelColor = 0xDDDDDD;
    TColor FBackColor = 0xDDDDDD;
    TColor FNumberForeColor = 0x363636;
    TColor FNumberForeColor1 = 0x0000FF;
    TColor FNumberBackColor = 0xD3D3D3;
    TLiquidIndicatorStyle FIndicatorStyle = isNormal;
    TLiquidMouseAction FMouseAction = maNone;
    TLiquidTransparentMode FTransparentMode = tmNone;
    QImage FBackMaterial;
    QImage FForeMaterial;
    TLiquidMaterialShadowMode FMaterialShadowMode = msmDark;
    TLiquidMaterialMode FMaterialMode = mmStretch;
    TLiquidMaterialMode FForeMaterialMode = mmStretch;

    bool FLoaded = false;
    bool FMouseInside = false;
    bool FRebuildPending = false;
    bool FRebuildPosted = false;
    bool FInternalResize = false;
    int FRebuildCount = 0;
    QString FAccessibleUnit;
    // The reading as last told to assistive technology, and when: a screen
    // reader is told at most once a second, the newest reading last.
    QString FAnnouncedValue;
    QElapsedTimer FSinceAnnounced;
    QTimer* FAnnounceTimer = nullptr;
    TDerivedMaterials FDerived;
    TRenderOutput FRender;
};
