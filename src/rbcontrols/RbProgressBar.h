#pragma once

#include "rbcontrols/RbCustomControl.h"

// A bar that uncovers a cached gradient in proportion to its position and
// shows the percentage (and its caption) in the middle.
class TRbProgressBar : public TRbCustomControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption NOTIFY captionChanged)
    Q_PROPERTY(TColor DefaultFrom READ DefaultFrom WRITE SetDefaultFrom NOTIFY defaultFromChanged)
    Q_PROPERTY(TColor DefaultTo READ DefaultTo WRITE SetDefaultTo NOTIFY defaultToChanged)
    Q_PROPERTY(int Max READ Max WRITE SetMax NOTIFY maxChanged)
    Q_PROPERTY(int Min READ Min WRITE SetMin NOTIFY minChanged)
    Q_PROPERTY(int Position READ Position WRITE SetPosition NOTIFY positionChanged)
    Q_PROPERTY(int Step READ Step WRITE SetStep NOTIFY stepChanged)
    Q_PROPERTY(RbEnums::TBorderLines BorderLines READ BorderLines WRITE SetBorderLines NOTIFY borderLinesChanged)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth NOTIFY borderWidthChanged)
    Q_PROPERTY(RbEnums::TGradientType GradientType READ GradientType WRITE SetGradientType NOTIFY gradientTypeChanged)
    Q_PROPERTY(RbEnums::TProgressBarOrientation Orientation READ Orientation WRITE SetOrientation NOTIFY orientationChanged)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText NOTIFY showTextChanged)
public:
    explicit TRbProgressBar(QWidget* parent = nullptr);

    TColor DefaultFrom() const { return m_defaultFrom; }
    void SetDefaultFrom(TColor c);
    TColor DefaultTo() const { return m_defaultTo; }
    void SetDefaultTo(TColor c);
    int Max() const { return m_max; }
    // Ignored unless above Min (and different), except while loading.
    void SetMax(int v);
    int Min() const { return m_min; }
    // Ignored unless below Max (and different), except while loading.
    void SetMin(int v);
    int Position() const { return m_position; }
    // Clamped to Min..Max.
    void SetPosition(int v);
    int Step() const { return m_step; }
    void SetStep(int v);
    TBorderLines BorderLines() const { return m_borderLines; }
    void SetBorderLines(TBorderLines lines);
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor c);
    int BorderWidth() const { return m_borderWidth; }
    // Accepted only when below half the height.
    void SetBorderWidth(int w);
    TGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TGradientType t);
    TProgressBarOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TProgressBarOrientation o);
    bool ShowText() const { return m_showText; }
    void SetShowText(bool on);

    // The position as a whole percentage, 0..100.
    int Percent() const { return m_percent; }
    // What the bar writes in its middle.
    QString DisplayText() const;

    // While set (the window is being built) Min and Max take any value.
    bool Loading() const { return m_loading; }
    void SetLoading(bool on) { m_loading = on; }

    const QImage& GradientImage() const
    {
        EnsureLayers();
        return m_gradient;
    }
    void RebuildLayers() override;

    QAccessible::Role AccessibleRole() const override { return QAccessible::ProgressBar; }

signals:
    void defaultFromChanged();
    void defaultToChanged();
    void maxChanged();
    void minChanged();
    void positionChanged(); // also when a new range clamps the position
    void stepChanged();
    void borderLinesChanged();
    void borderColorChanged();
    void borderWidthChanged();
    void gradientTypeChanged();
    void orientationChanged();
    void showTextChanged();

protected:
    void PaintBuffer(QImage& buffer) override;
    void Resized() override;

private:
    void NotifyValue();

    TColor m_defaultFrom = 11966334;
    TColor m_defaultTo = 14734025;
    int m_max = 100;
    int m_min = 0;
    int m_position = 0;
    int m_step = 1;
    TBorderLines m_borderLines = AllBorderLines;
    TColor m_borderColor = clGray;
    int m_borderWidth = 1;
    TGradientType m_gradientType = gtVertical;
    TProgressBarOrientation m_orientation = pbHorizontal;
    bool m_showText = true;
    int m_percent = 0;
    bool m_loading = false;

    QImage m_gradient;
};
