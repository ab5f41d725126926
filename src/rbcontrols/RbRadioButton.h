#pragma once

#include "RbCustomControl.h"

// A radio button: a gradient circle with a smooth ring and a dot. The click
// (OnClick, clicked()) comes while it is still unchecked; it becomes checked
// on the release right after, and checking it unchecks the other radio
// buttons of the same parent. No key checks it.
//
//   auto* rb = new TRbRadioButton(pnSensorType);
//   rb->SetCaption(QStringLiteral("Pt 0,00391"));
//   connect(rb, &TRbRadioButton::clicked, this, &TfrmMain::rbPl_391Click);
class TRbRadioButton : public TRbCustomControl {
    Q_OBJECT
public:
    explicit TRbRadioButton(QWidget* parent = nullptr);

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
    TRadioSize RadioType() const { return m_radioType; }
    void SetRadioType(TRadioSize v);
    int CircleSize() const { return m_circleSize; }
    int DotOffset() const { return m_dotOffset; }

    void UncheckSiblings();
    // Draws the border ring into layer, smoothed by 4x supersampling.
    void DrawRing(QImage& layer) const;
    void RebuildLayers() override;
    // Where the circle lies on the control.
    QRect CircleRect() const;
    const QImage& NormalLayer() const { return m_normal; }

    QString ClassName() const override { return QStringLiteral("TRbRadioButton"); }
    const TRbPropertyTable& Properties() const override { return Table(); }
    static const TRbPropertyTable& Table();

    QAccessible::Role AccessibleRole() const override { return QAccessible::RadioButton; }
    void AddAccessibleState(QAccessible::State& state) const override;
    QStringList AccessibleActionNames() const override;
    void DoAccessibleAction(const QString& name) override;

signals:
    void toggled(bool checked);

protected:
    void PaintBuffer(QImage& buffer) override;
    void PresentBuffer(QPainter& widgetPainter, const QImage& buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;
    void LeftMouseDown() override;
    void LeftMouseUp() override;
    void FocusChanged() override { update(); }
    void Resized() override { RebuildLayers(); }

private:
    TBorderLines m_borderLines = 0;
    TColor m_borderLinesColor = clGray;
    bool m_hotTrack = false;
    TRbControlColors m_colors;
    int m_spacing = 3;
    bool m_checked = false;
    bool m_showFocusRect = true;
    TColor m_checkColor = clGreen;
    TRadioSize m_radioType = rsMedium;
    int m_circleSize = 13;
    int m_dotOffset = 3;
    TColor m_layerColor = clNone; // the Color the layers were filled with
    QImage m_normal, m_hot, m_pressed;
};
