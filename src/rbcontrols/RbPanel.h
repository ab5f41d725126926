#pragma once

#include "rbcontrols/RbCustomControl.h"

// A container with a rounded frame, smoothed by drawing it three times as
// large and shrinking the edges, and a caption in one of ten places; the
// group-box caption sits on the frame line. Children are laid out in
// ClientArea(): the panel's contents margins follow it, so a layout set on
// the panel keeps its children inside the frame.
class TRbPanel : public TRbCustomControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption NOTIFY captionChanged)
    Q_PROPERTY(RbEnums::TRbCaptionPos CaptionPosition READ CaptionPosition WRITE SetCaptionPosition NOTIFY captionPositionChanged)
    Q_PROPERTY(int CornerWidth READ CornerWidth WRITE SetCornerWidth NOTIFY cornerWidthChanged)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth NOTIFY borderWidthChanged)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(TColor OuterColor READ OuterColor WRITE SetOuterColor NOTIFY outerColorChanged)
    Q_PROPERTY(TColor TextShadowColor READ TextShadowColor WRITE SetTextShadowColor NOTIFY textShadowColorChanged)
    Q_PROPERTY(bool Antialiased READ Antialiased WRITE SetAntialiased NOTIFY antialiasedChanged)
    Q_PROPERTY(bool Gradient READ Gradient WRITE SetGradient NOTIFY gradientChanged)
    Q_PROPERTY(TColor DefaultFrom READ DefaultFrom WRITE SetDefaultFrom NOTIFY defaultFromChanged)
    Q_PROPERTY(TColor DefaultTo READ DefaultTo WRITE SetDefaultTo NOTIFY defaultToChanged)
    Q_PROPERTY(RbEnums::TGradientType GradientType READ GradientType WRITE SetGradientType NOTIFY gradientTypeChanged)
public:
    explicit TRbPanel(QWidget* parent = nullptr);

    TRbCaptionPos CaptionPosition() const { return m_captionPosition; }
    void SetCaptionPosition(TRbCaptionPos p);
    int CornerWidth() const { return m_cornerWidth; }
    void SetCornerWidth(int w);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int w);
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor c);
    // The colour outside the rounded frame (the corners). Until it is set it
    // is the colour painted behind the panel (BackdropColor).
    TColor OuterColor() const { return m_outerFollows ? BackdropColor() : m_outerColor; }
    void SetOuterColor(TColor c);
    // What shows behind the panel: a skinned parent's Color, else the
    // background of the nearest ancestor that paints one.
    TColor BackdropColor() const;
    TColor TextShadowColor() const { return m_textShadowColor; }
    void SetTextShadowColor(TColor c);
    // Never both on: smoothing switches the gradient off.
    bool Antialiased() const { return m_antialiased; }
    void SetAntialiased(bool on);
    bool Gradient() const { return m_gradient; }
    void SetGradient(bool on);
    TColor DefaultFrom() const { return m_defaultFrom; }
    void SetDefaultFrom(TColor c);
    TColor DefaultTo() const { return m_defaultTo; }
    void SetDefaultTo(TColor c);
    TGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TGradientType t);

    // While set (the window is being built) the image is not rendered;
    // clearing it renders once.
    bool Loading() const { return m_loading; }
    void SetLoading(bool on);

    // Frame and fill, the panel's size.
    const QImage& PanelImage() const
    {
        EnsureLayers();
        return m_image;
    }
    void RebuildLayers() override;

    // Height of a caption line in the panel's font.
    int CaptionHeight() const;
    // Where children go, in panel coordinates.
    QRect ClientArea() const;
    static QRect ClientAreaFor(const QRect& client, TRbCaptionPos pos, int borderWidth, int captionHeight);

    QAccessible::Role AccessibleRole() const override { return QAccessible::Grouping; }
    QString AccessibleName() const override;

signals:
    void captionPositionChanged();
    void cornerWidthChanged();
    void borderWidthChanged();
    void borderColorChanged();
    // Also when the panel hears that the backdrop it follows has a new colour.
    void outerColorChanged();
    void textShadowColorChanged();
    void antialiasedChanged();
    void gradientChanged(); // smoothing switches the gradient off
    void defaultFromChanged();
    void defaultToChanged();
    void gradientTypeChanged();

protected:
    void PaintBuffer(QImage& buffer) override;
    void Resized() override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Realign();
    void FollowParentColor();
    void Rebuild();
    // Emits outerColorChanged() when OuterColor() differs from what was last told.
    void NoteOuterColor();

    TRbCaptionPos m_captionPosition = cpTopLeft;
    int m_cornerWidth = 10;
    int m_borderWidth = 2;
    TColor m_borderColor = clGray;
    TColor m_outerColor = clBtnFace;
    bool m_outerFollows = true;
    TColor m_toldOuterColor = clNone;
    TColor m_textShadowColor = clWhite;
    bool m_antialiased = true;
    bool m_gradient = false;
    TColor m_defaultFrom = clWhite;
    TColor m_defaultTo = 14933983;
    TGradientType m_gradientType = gtVertical;
    bool m_loading = false;

    QImage m_image;
    TColor m_imageColor = clNone; // the Color the image was rendered with
};
