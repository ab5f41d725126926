#pragma once

#include "rbcontrols/RbCustomControl.h"

// Base of the check box and the radio button: a mark left of the caption,
// optional border lines, hot tracking of the caption, a focus frame and the
// fade between the mark's normal, hot and pressed looks.
class TRbCheckable : public TRbCustomControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption NOTIFY captionChanged)
    Q_PROPERTY(RbEnums::TBorderLines BorderLines READ BorderLines WRITE SetBorderLines NOTIFY borderLinesChanged)
    Q_PROPERTY(TColor BorderLinesColor READ BorderLinesColor WRITE SetBorderLinesColor NOTIFY borderLinesColorChanged)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack NOTIFY hotTrackChanged)
    Q_PROPERTY(RbEnums::TFadeSpeed FadeSpeed READ FadeSpeed WRITE SetFadeSpeed NOTIFY fadeSpeedChanged)
    Q_PROPERTY(TRbControlColors* Colors READ ColorsObject CONSTANT)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing NOTIFY spacingChanged)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked NOTIFY toggled)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect NOTIFY showFocusRectChanged)
    Q_PROPERTY(TColor CheckColor READ CheckColor WRITE SetCheckColor NOTIFY checkColorChanged)
public:
    TBorderLines BorderLines() const { return m_borderLines; }
    void SetBorderLines(TBorderLines v);
    TColor BorderLinesColor() const { return m_borderLinesColor; }
    void SetBorderLinesColor(TColor c);
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool v);
    TRbControlColors& Colors() { return m_colors; }
    const TRbControlColors& Colors() const { return m_colors; }
    int Spacing() const { return m_spacing; }
    void SetSpacing(int v);
    bool Checked() const { return m_checked; }
    void SetChecked(bool v);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool v);
    TColor CheckColor() const { return m_checkColor; }
    void SetCheckColor(TColor c);

    void AddAccessibleState(QAccessible::State& state) const override;

    // The caption's colour as painted: the font's (or the hot-track) colour,
    // moved as far as it takes to read on the control's own colour.
    QColor CaptionColor() const;

signals:
    void toggled(bool checked);
    void borderLinesChanged();
    void borderLinesColorChanged();
    void hotTrackChanged();
    void spacingChanged();
    void showFocusRectChanged();
    void checkColorChanged();

protected:
    explicit TRbCheckable(QWidget* parent);

    // Runs when Checked turns on, before the repaint and toggled().
    virtual void CheckedOn() {}

    // The caption in its font, hot-track colour and shadow, within r.
    void PaintCaption(QImage& buffer, const QRect& r);
    // Border lines and the focus frame over the finished picture.
    void PaintFrame(QImage& canvas) const;

    void MouseEntered() override;
    void MouseLeft() override;
    void LeftMouseDown() override;
    void FocusChanged() override { update(); }

private:
    TRbControlColors* ColorsObject() { return &m_colors; }

    TBorderLines m_borderLines;
    TColor m_borderLinesColor = clGray;
    bool m_hotTrack = false;
    TRbControlColors m_colors;
    int m_spacing = 3;
    bool m_checked = false;
    bool m_showFocusRect = true;
    TColor m_checkColor = clGreen;
};
