#pragma once

#include "rbcontrols/RbCheckable.h"

// A radio button: a gradient circle with a smooth ring and a dot. The click
// (OnClick, clicked()) comes while it is still unchecked; it becomes checked
// on the release right after, and checking it unchecks the other radio
// buttons of the same parent. No key checks it.
//
//   auto* rb = new TRbRadioButton(pnSensorType);
//   rb->SetCaption(QStringLiteral("Pt 0,00391"));
//   connect(rb, &TRbRadioButton::clicked, this, &TfrmMain::rbPl_391Click);
class TRbRadioButton : public TRbCheckable {
    Q_OBJECT
    Q_PROPERTY(RbEnums::TRadioSize RadioType READ RadioType WRITE SetRadioType NOTIFY radioTypeChanged)
public:
    explicit TRbRadioButton(QWidget* parent = nullptr);

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
    const QImage& NormalLayer() const
    {
        EnsureLayers();
        return m_normal;
    }

    QAccessible::Role AccessibleRole() const override { return QAccessible::RadioButton; }
    QStringList AccessibleActionNames() const override;
    void DoAccessibleAction(const QString& name) override;

signals:
    void radioTypeChanged();

protected:
    void CheckedOn() override { UncheckSiblings(); }
    void PaintBuffer(QImage& buffer) override;
    void PresentBuffer(QPainter& widgetPainter, const QImage& buffer) override;
    void LeftMouseUp() override;
    void Resized() override { RebuildLayers(); }

private:
    TRadioSize m_radioType = rsMedium;
    int m_circleSize = 13;
    int m_dotOffset = 3;
    TColor m_layerColor = clNone; // the Color the layers were filled with
    QImage m_normal, m_hot, m_pressed;
};
