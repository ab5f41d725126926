#pragma once

#include "RbCustomControl.h"

// A check box: a 13 x 13 gradient box with a tick mark and a caption. A
// click inverts Checked first and then runs OnClick (clicked()); toggled()
// follows every change of Checked, from code too. No key toggles it.
//
//   auto* cb = new TRbCheckBox(parent);
//   cb->SetCaption(QStringLiteral("Усреднение"));
//   connect(cb, &TRbCheckBox::clicked, this, &TfrmMain::cbAverageTurnOnClick);
class TRbCheckBox : public TRbCustomControl {
    Q_OBJECT
public:
    explicit TRbCheckBox(QWidget* parent = nullptr);

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
    bool GradientBorder() const { return m_gradientBorder; }
    void SetGradientBorder(bool v) { m_gradientBorder = v; }

    // Inverts Checked, then OnClick.
    void ToggleChecked();
    void Click() override { ToggleChecked(); }

    void RebuildLayers() override;
    // Where the box lies on the control.
    QRect BoxRect() const;

    QString ClassName() const override { return QStringLiteral("TRbCheckBox"); }
    const TRbPropertyTable& Properties() const override { return Table(); }
    static const TRbPropertyTable& Table();

    QAccessible::Role AccessibleRole() const override { return QAccessible::CheckBox; }
    void AddAccessibleState(QAccessible::State& state) const override;
    QStringList AccessibleActionNames() const override;
    void DoAccessibleAction(const QString& name) override;

signals:
    void toggled(bool checked);

protected:
    void PaintBuffer(QImage& buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;
    void LeftMouseDown() override;
    void LeftMouseUp() override;
    void FocusChanged() override { update(); }
    void Resized() override { update(); }

private:
    TBorderLines m_borderLines = 0;
    TColor m_borderLinesColor = clGray;
    bool m_hotTrack = false;
    TRbControlColors m_colors;
    int m_spacing = 3;
    bool m_checked = false;
    bool m_showFocusRect = true;
    TColor m_checkColor = clGreen;
    bool m_gradientBorder = true;
    QImage m_normal, m_hot, m_pressed;
};
