#include "indicator/LiquidIndicator.h"

#include "common/Cp1251.h"
#include "indicator/IndicatorAccessible.h"

#include <QAccessible>
#include <QTimer>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <numbers>

const QEvent::Type TLiquidIndicator::CM_REBUILDINDICATOR =
    static_cast<QEvent::Type>(QEvent::registerEventType(0xB065));

TLiquidIndicator::TLiquidIndicator(QWidget* parent)
    : QWidget(parent)
{
    IndicatorInstallAccessibleFactory();
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    ResizeInternally(QSize(FIndicatorWidth, FIndicatorHeight));
    UpdateWindowShape();
    RebuildImage();
}

TLiquidIndicator::~TLiquidIndicator() = default;

void TLiquidIndicator::Loaded()
{
    FLoaded = true;
    // The size properties are the indicator's own; the control follows them.
    ResizeInternally(RotatedBoundingBox(FIndicatorWidth, FIndicatorHeight, FIndicatorAngle));
    PrepareMaterials();
    UpdateWindowShape();
    RebuildImage();
    update();
}

TIndicatorFrame TLiquidIndicator::Frame() const
{
    return {FIndicatorWidth, FIndicatorHeight, FIndicatorAngle, width(), height()};
}

void TLiquidIndicator::RequestRebuild()
{
    FRebuildPending = true;
    if (FRebuildPosted)
        return;
    FRebuildPosted = true;
    QCoreApplication::postEvent(this, new QEvent(CM_REBUILDINDICATOR));
}

bool TLiquidIndicator::event(QEvent* e)
{
    if (e->type() == CM_REBUILDINDICATOR) {
        FRebuildPosted = false;
        if (FRebuildPending) {
            RebuildImage();
            update();
        }
        return true;
    }
    return QWidget::event(e);
}

double TLiquidIndicator::RenderRatio() const
{
    const double r = devicePixelRatioF();
    return r > 1.0 ? r : 1.0;
}

void TLiquidIndicator::RebuildImage()
{
    FRebuildPending = false;
    const QPalette& pal = palette();
    // On a dense screen the picture is built at device resolution from the
    // same logical geometry scaled, so segments stay as sharp as text.
    const double r = RenderRatio();
    const auto dev = [r](int v) { return r == 1.0 ? v : RoundEven(v * r); };
    TRenderInput in;
    in.Frame = {dev(FIndicatorWidth), dev(FIndicatorHeight), FIndicatorAngle, dev(width()), dev(height())};
    in.SignNumber = FSignNumber;
    in.Gap = dev(FIndicatorGap);
    in.Text = FIndicatorstring;
    in.Glyphs.Kind = FIndicatorKind;
    in.Glyphs.Style = FIndicatorStyle;
    in.Glyphs.Hover = FMouseInside && (FMouseAction == maWidth || FMouseAction == maBoth);
    in.HoverColor = FMouseInside && (FMouseAction == maColor || FMouseAction == maBoth);
    in.OuterBevel = FOuterBevel;
    in.InnerBevel = FInnerBevel;
    in.OuterBevelWidth = dev(FOuterBevelWidth);
    in.InnerBevelWidth = dev(FInnerBevelWidth);
    in.BevelColor = ResolveColor(FBevelColor, pal);
    in.BackColor = ResolveColor(FBackColor, pal);
    in.NumberForeColor = ResolveColor(FNumberForeColor, pal);
    in.NumberForeColor1 = ResolveColor(FNumberForeColor1, pal);
    in.NumberBackColor = ResolveColor(FNumberBackColor, pal);
    in.TransparentMode = FTransparentMode;
    // Tiles keep their logical size: tiled pictures are scaled to buffer pixels.
    QImage back = FBackMaterial;
    QImage fore = FForeMaterial;
    TDerivedMaterials derived = FDerived;
    if (r != 1.0) {
        const auto scale = [r](QImage& m) {
            if (MaterialPresent(m))
                m = m.scaled(RoundEven(m.width() * r), RoundEven(m.height() * r));
        };
        if (FMaterialMode == mmTile)
            for (QImage* m : {&back, &derived.Dark, &derived.Light, &derived.Shadow})
                scale(*m);
        if (FForeMaterialMode == mmTile)
            scale(fore);
    }
    in.BackMaterial = &back;
    in.ForeMaterial = &fore;
    in.Derived = &derived;
    in.MaterialMode = FMaterialMode;
    in.ForeMaterialMode = FForeMaterialMode;
    FRender.Buffer.setDevicePixelRatio(1.0); // the renderer paints in buffer pixels
    RenderIndicator(in, FRender);
    FRender.Buffer.setDevicePixelRatio(r);
    ++FRebuildCount;
}

void TLiquidIndicator::PrepareMaterials()
{
    FDerived = MakeDerivedMaterials(FBackMaterial, FMaterialShadowMode);
}

void TLiquidIndicator::UpdateWindowShape()
{
    if (!parentWidget())
        return; // a top-level indicator keeps its rectangle
    const auto corners = FramePolygon(Frame());
    setMask(PolygonRegion(corners, rect()));
}

QRegion TLiquidIndicator::CoveredArea() const
{
    const QRegion shape = mask();
    return shape.isEmpty() ? QRegion(geometry()) : shape.translated(pos());
}

void TLiquidIndicator::ResizeInternally(QSize size)
{
    FInternalResize = true;
    resize(size);
    FInternalResize = false;
}

void TLiquidIndicator::ResizeForSizeProperty()
{
    const QRegion old = CoveredArea();
    ResizeInternally(RotatedBoundingBox(FIndicatorWidth, FIndicatorHeight, FIndicatorAngle));
    UpdateWindowShape();
    RequestRebuild();
    if (QWidget* p = parentWidget()) {
        p->update(old);
        p->update();
    }
    update();
}

void TLiquidIndicator::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (FInternalResize)
        return;
    const double theta = FIndicatorAngle * std::numbers::pi / 1800.0;
    const bool bufferFits = FRender.Buffer.size() == size();
    const int oldWidth = FIndicatorWidth, oldHeight = FIndicatorHeight;
    if (std::fabs(std::sin(theta)) < 0.0001) {
        if (FIndicatorWidth == width() && FIndicatorHeight == height() && bufferFits)
            return;
        FIndicatorWidth = width();
        FIndicatorHeight = height();
        UpdateWindowShape();
        RequestRebuild();
        NotifySize(oldWidth, oldHeight);
    } else if (std::fabs(std::cos(theta)) < 0.0001) {
        if (FIndicatorHeight == width() && FIndicatorWidth == height() && bufferFits)
            return;
        FIndicatorHeight = width();
        FIndicatorWidth = height();
        UpdateWindowShape();
        RequestRebuild();
        NotifySize(oldWidth, oldHeight);
    } else {
        // An oblique indicator takes no free size: back to its bounding box.
        const QSize box = RotatedBoundingBox(FIndicatorWidth, FIndicatorHeight, FIndicatorAngle);
        if (size() == box) {
            if (!bufferFits)
                RequestRebuild();
            return;
        }
        const QRegion old = QRegion(QRect(pos(), e->size())) | CoveredArea();
        ResizeInternally(box);
        UpdateWindowShape();
        if (QWidget* p = parentWidget()) {
            p->update(old);
            p->update();
        }
        RequestRebuild();
    }
}

void TLiquidIndicator::paintEvent(QPaintEvent*)
{
    // Never show a picture older than the properties or built for another screen.
    if (FRebuildPending || FRender.Buffer.devicePixelRatio() != RenderRatio())
        RebuildImage();
    QPainter painter(this);
    PaintBuffer(painter);
}

void TLiquidIndicator::PaintBuffer(QPainter& painter) const
{
    const QImage& buffer = FRender.Buffer;
    const double r = buffer.devicePixelRatio();
    if (!FRender.HasClip) {
        painter.drawImage(0, 0, buffer);
        return;
    }
    if (r == 1.0) {
        painter.setClipRegion(FRender.Clip);
        painter.drawImage(0, 0, buffer);
        return;
    }
    // The clip is in buffer pixels: paint in those, so no edge is rounded.
    painter.save();
    painter.scale(1.0 / r, 1.0 / r);
    painter.setClipRegion(FRender.Clip);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(buffer.size())), buffer, QRectF(buffer.rect()));
    painter.restore();
}

void TLiquidIndicator::NotifySize(int oldWidth, int oldHeight)
{
    if (FIndicatorWidth != oldWidth)
        emit indicatorWidthChanged();
    if (FIndicatorHeight != oldHeight)
        emit indicatorHeightChanged();
}

void TLiquidIndicator::enterEvent(QEnterEvent* e)
{
    FMouseInside = true;
    RequestRebuild();
    QWidget::enterEvent(e);
    emit mouseEntered();
}

void TLiquidIndicator::leaveEvent(QEvent* e)
{
    FMouseInside = false;
    RequestRebuild();
    QWidget::leaveEvent(e);
    emit mouseLeft();
}

// --- property writers -------------------------------------------------------

// Until Loaded() these four are only stored.
void TLiquidIndicator::SetSignNumber(int value)
{
    if (value <= 0 || !Store(FSignNumber, value))
        return;
    if (FLoaded) {
        UpdateWindowShape();
        RequestRebuild();
    }
    emit signNumberChanged();
}

void TLiquidIndicator::SetIndicatorWidth(int value)
{
    if (value <= 0 || !Store(FIndicatorWidth, value))
        return;
    if (FLoaded)
        ResizeForSizeProperty();
    emit indicatorWidthChanged();
}

void TLiquidIndicator::SetIndicatorHeight(int value)
{
    if (value <= 0 || !Store(FIndicatorHeight, value))
        return;
    if (FLoaded)
        ResizeForSizeProperty();
    emit indicatorHeightChanged();
}

void TLiquidIndicator::SetIndicatorAngle(int value)
{
    if (!Store(FIndicatorAngle, value))
        return;
    if (FLoaded) {
        ResizeInternally(RotatedBoundingBox(FIndicatorWidth, FIndicatorHeight, FIndicatorAngle));
        UpdateWindowShape();
        RequestRebuild();
    }
    emit indicatorAngleChanged();
}

void TLiquidIndicator::SetIndicatorGap(int value)
{
    Change(FIndicatorGap, value, &TLiquidIndicator::indicatorGapChanged);
}

void TLiquidIndicator::SetIndicatorstring(const QByteArray& value)
{
    if (!Store(FIndicatorstring, value))
        return;
    RequestRebuild();
    NotifyAccessibleValue();
}

void TLiquidIndicator::SetAccessibleUnit(const QString& unit)
{
    if (Store(FAccessibleUnit, unit))
        NotifyAccessibleValue();
}

QString TLiquidIndicator::AccessibleValue() const
{
    const QString shown = fromCp1251(FIndicatorstring).trimmed();
    const bool reading = std::any_of(shown.cbegin(), shown.cend(), [](QChar c) { return c.isDigit(); });
    if (!reading || FAccessibleUnit.isEmpty())
        return shown; // "----" or nothing: no unit to speak after it
    return shown + QLatin1Char(' ') + FAccessibleUnit;
}

void TLiquidIndicator::NotifyAccessibleValue()
{
    if (FAnnounceTimer && FAnnounceTimer->isActive())
        return; // the newest reading goes out when the second is over
    if (AccessibleValue() == FAnnouncedValue)
        return;
    const qint64 since = FSinceAnnounced.isValid() ? FSinceAnnounced.elapsed() : kAccessibleAnnounceMs;
    if (since >= kAccessibleAnnounceMs) {
        AnnounceReading();
        return;
    }
    if (!FAnnounceTimer) {
        FAnnounceTimer = new QTimer(this);
        FAnnounceTimer->setSingleShot(true);
        // A coarse timer may fire early, and the pause between two announcements is a promise.
        FAnnounceTimer->setTimerType(Qt::PreciseTimer);
        connect(FAnnounceTimer, &QTimer::timeout, this, &TLiquidIndicator::AnnounceReading);
    }
    FAnnounceTimer->start(int(kAccessibleAnnounceMs - since));
}

void TLiquidIndicator::AnnounceReading()
{
    const QString value = AccessibleValue();
    if (value == FAnnouncedValue)
        return;
    // A text change: the desktop's bridge delivers it (a value change it
    // drops, the indicator having no value to set).
    QAccessibleTextUpdateEvent ev(this, 0, FAnnouncedValue, value);
    FAnnouncedValue = value;
    FSinceAnnounced.restart();
    AnnounceIndicatorEvent(&ev);
}

void TLiquidIndicator::SetIndicatorText(const QString& text)
{
    SetIndicatorstring(toCp1251(text));
}

void TLiquidIndicator::SetIndicatorKind(TLiquidIndicatorKind value)
{
    Change(FIndicatorKind, value, &TLiquidIndicator::indicatorKindChanged);
}

void TLiquidIndicator::SetInnerBevel(TLiquidBevelKind value)
{
    Change(FInnerBevel, value, &TLiquidIndicator::innerBevelChanged);
}

void TLiquidIndicator::SetOuterBevel(TLiquidBevelKind value)
{
    Change(FOuterBevel, value, &TLiquidIndicator::outerBevelChanged);
}

void TLiquidIndicator::SetInnerBevelWidth(int value)
{
    if (value > 0)
        Change(FInnerBevelWidth, value, &TLiquidIndicator::innerBevelWidthChanged);
}

void TLiquidIndicator::SetOuterBevelWidth(int value)
{
    if (value > 0)
        Change(FOuterBevelWidth, value, &TLiquidIndicator::outerBevelWidthChanged);
}

void TLiquidIndicator::SetBevelColor(TColor value)
{
    Change(FBevelColor, value, &TLiquidIndicator::bevelColorChanged);
}

void TLiquidIndicator::SetBackColor(TColor value)
{
    Change(FBackColor, value, &TLiquidIndicator::backColorChanged);
}

void TLiquidIndicator::SetNumberForeColor(TColor value)
{
    Change(FNumberForeColor, value, &TLiquidIndicator::numberForeColorChanged);
}

void TLiquidIndicator::SetNumberForeColor1(TColor value)
{
    Change(FNumberForeColor1, value, &TLiquidIndicator::numberForeColor1Changed);
}

void TLiquidIndicator::SetNumberBackColor(TColor value)
{
    Change(FNumberBackColor, value, &TLiquidIndicator::numberBackColorChanged);
}

void TLiquidIndicator::SetIndicatorStyle(TLiquidIndicatorStyle value)
{
    Change(FIndicatorStyle, value, &TLiquidIndicator::indicatorStyleChanged);
}

void TLiquidIndicator::SetMouseAction(TLiquidMouseAction value)
{
    Change(FMouseAction, value, &TLiquidIndicator::mouseActionChanged);
}

void TLiquidIndicator::SetTransparentMode(TLiquidTransparentMode value)
{
    if (!Store(FTransparentMode, value))
        return;
    // Opaque only without transparency; otherwise the parent paints behind.
    setAttribute(Qt::WA_OpaquePaintEvent, value == tmNone);
    RequestRebuild();
    emit transparentModeChanged();
}

void TLiquidIndicator::SetSchemeColors()
{
    const TSchemeColors c = SchemeColors(FColorScheme);
    // All five are stored before any is told.
    const bool back = Store(FBackColor, c.BackColor);
    const bool bevel = Store(FBevelColor, c.BevelColor);
    const bool unlit = Store(FNumberBackColor, c.NumberBackColor);
    const bool fore = Store(FNumberForeColor, c.NumberForeColor);
    const bool fore1 = Store(FNumberForeColor1, c.NumberForeColor1);
    if (back)
        emit backColorChanged();
    if (bevel)
        emit bevelColorChanged();
    if (unlit)
        emit numberBackColorChanged();
    if (fore)
        emit numberForeColorChanged();
    if (fore1)
        emit numberForeColor1Changed();
}

void TLiquidIndicator::SetColorScheme(TLiquidColorScheme value)
{
    // No equality check: rewriting a scheme restores its colours.
    const bool changed = value != FColorScheme;
    FColorScheme = value;
    if (FLoaded) {
        RequestRebuild();
        SetSchemeColors();
    }
    if (changed)
        emit colorSchemeChanged();
}

void TLiquidIndicator::SetBackMaterial(const QImage& value)
{
    FBackMaterial = value;
    PrepareMaterials();
    RequestRebuild();
}

void TLiquidIndicator::SetForeMaterial(const QImage& value)
{
    FForeMaterial = value;
    RequestRebuild();
}

void TLiquidIndicator::SetMaterialShadowMode(TLiquidMaterialShadowMode value)
{
    if (!Store(FMaterialShadowMode, value))
        return;
    PrepareMaterials();
    RequestRebuild();
    emit materialShadowModeChanged();
}

void TLiquidIndicator::SetMaterialMode(TLiquidMaterialMode value)
{
    Change(FMaterialMode, value, &TLiquidIndicator::materialModeChanged);
}

void TLiquidIndicator::SetForeMaterialMode(TLiquidMaterialMode value)
{
    Change(FForeMaterialMode, value, &TLiquidIndicator::foreMaterialModeChanged);
}
