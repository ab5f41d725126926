#pragma once

#include "rbcontrols/RbCheckable.h"

// A check box: a 13 x 13 gradient box with a tick mark and a caption. A
// click inverts Checked first and then runs OnClick (clicked()); toggled()
// follows every change of Checked, from code too. No key toggles it.
//
//   auto* cb = new TRbCheckBox(parent);
//   cb->SetCaption(QStringLiteral("Усреднение"));
//   connect(cb, &TRbCheckBox::clicked, this, &TfrmMain::cbAverageTurnOnClick);
class TRbCheckBox : public TRbCheckable {
    Q_OBJECT
    Q_PROPERTY(bool GradientBorder READ GradientBorder WRITE SetGradientBorder NOTIFY gradientBorderChanged)
public:
    explicit TRbCheckBox(QWidget* parent = nullptr);

    bool GradientBorder() const { return m_gradientBorder; }
    void SetGradientBorder(bool v);

    // Inverts Checked, then OnClick.
    void ToggleChecked();
    void Click() override { ToggleChecked(); }

    void RebuildLayers() override;
    // Where the box lies on the control.
    QRect BoxRect() const;

    QAccessible::Role AccessibleRole() const override { return QAccessible::CheckBox; }
    QStringList AccessibleActionNames() const override;
    void DoAccessibleAction(const QString& name) override;

signals:
    void gradientBorderChanged();

protected:
    void PaintBuffer(QImage& buffer) override;
    void LeftMouseUp() override;
    void Resized() override { update(); }

private:
    bool m_gradientBorder = true;
    QImage m_normal, m_hot, m_pressed;
};
