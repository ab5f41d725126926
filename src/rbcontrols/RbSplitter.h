#pragma once

#include "rbcontrols/RbCustomControl.h"

#include <QImage>
#include <QPointer>

class QRubberBand;

// A splitter bar with a gradient face, a row of grip dots and a hover fade.
// Dragging it resizes the neighbouring control on its aligned side: the
// sibling just above a top-aligned splitter, left of a left-aligned one, and
// so on (or the one given with SetResizeControl). A neighbour that sits in
// its parent's layout gets a fixed size in the split direction, so the
// layout places everything else; a freely placed one is resized and the
// splitter moves along its edge.
class TRbSplitter : public TRbCustomControl {
    Q_OBJECT
    Q_PROPERTY(RbEnums::TAlign Align READ Align WRITE SetAlign NOTIFY alignChanged)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor NOTIFY parentColorChanged)
    Q_PROPERTY(int MinSize READ MinSize WRITE SetMinSize NOTIFY minSizeChanged)
    Q_PROPERTY(RbEnums::TResizeStyle ResizeStyle READ ResizeStyle WRITE SetResizeStyle NOTIFY resizeStyleChanged)
    Q_PROPERTY(bool Beveled READ Beveled WRITE SetBeveled NOTIFY beveledChanged)
    Q_PROPERTY(bool AutoSnap READ AutoSnap WRITE SetAutoSnap NOTIFY autoSnapChanged)
    Q_PROPERTY(RbEnums::TGradientType GradientType READ GradientType WRITE SetGradientType NOTIFY gradientTypeChanged)
    Q_PROPERTY(RbEnums::TGripAlign GripAlign READ GripAlign WRITE SetGripAlign NOTIFY gripAlignChanged)
    Q_PROPERTY(RbEnums::TFadeSpeed FadeSpeed READ FadeSpeed WRITE SetFadeSpeed NOTIFY fadeSpeedChanged)
    Q_PROPERTY(TRbSplitterColors* Colors READ ColorsObject CONSTANT)
    Q_PROPERTY(bool ShowGrip READ ShowGrip WRITE SetShowGrip NOTIFY showGripChanged)
    Q_PROPERTY(bool DrawAll READ DrawAll WRITE SetDrawAll NOTIFY drawAllChanged)
public:
    explicit TRbSplitter(QWidget* parent = nullptr);

    // --- platform splitter properties
    TAlign Align() const { return m_align; }
    // Left/right makes a column of grip dots, top/bottom a row.
    void SetAlign(TAlign a);
    int MinSize() const { return m_minSize; }
    void SetMinSize(int v);
    TResizeStyle ResizeStyle() const { return m_resizeStyle; }
    void SetResizeStyle(TResizeStyle s);
    bool Beveled() const { return m_beveled; }
    void SetBeveled(bool v);
    // A drag below MinSize collapses the neighbour to 0.
    bool AutoSnap() const { return m_autoSnap; }
    void SetAutoSnap(bool v);

    // --- own properties
    TGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TGradientType t);
    TGripAlign GripAlign() const { return m_gripAlign; }
    void SetGripAlign(TGripAlign g);
    TRbSplitterColors& Colors() { return m_colors; }
    const TRbSplitterColors& Colors() const { return m_colors; }
    bool ShowGrip() const { return m_showGrip; }
    void SetShowGrip(bool on);
    bool DrawAll() const { return m_drawAll; }
    void SetDrawAll(bool on);

    // The control a drag resizes; none means the neighbour found by Align.
    void SetResizeControl(QWidget* w) { m_resizeControl = w; }
    QWidget* ResizeControl() const;

    // --- layers
    void RebuildLayers() override;
    const QImage& NormalLayer() const
    {
        EnsureLayers();
        return m_normal;
    }
    const QImage& HotLayer() const
    {
        EnsureLayers();
        return m_hot;
    }

    // Draws one grip dot: its 3 x 3 pattern with the top-left at (x, y).
    static void DrawGripDot(QImage& layer, int x, int y);

    QAccessible::Role AccessibleRole() const override { return QAccessible::Splitter; }

signals:
    void alignChanged();
    void minSizeChanged();
    void resizeStyleChanged();
    void beveledChanged();
    void autoSnapChanged();
    void gradientTypeChanged();
    void gripAlignChanged();
    void showGripChanged();
    void drawAllChanged();

protected:
    // The two layers mixed by HoverLevel.
    void PaintBuffer(QImage& buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;
    void ParentColorChanged() override { RebuildLayers(); }
    void Resized() override { RebuildLayers(); }
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TRbSplitterColors* ColorsObject() { return &m_colors; }
    void DrawGrip(QImage& layer) const;
    bool Vertical() const { return m_align == alLeft || m_align == alRight; }
    // The neighbour's size for a drag of delta pixels from where it began.
    int SplitSize(int delta) const;
    void ApplySize(int size);
    void UpdateCursor();

    TAlign m_align = alLeft;
    int m_minSize = 30;
    TResizeStyle m_resizeStyle = rsPattern;
    bool m_beveled = false;
    bool m_autoSnap = true;

    TGradientType m_gradientType = gtHorizontal;
    TGripAlign m_gripAlign = gaVertical;
    TRbSplitterColors m_colors;
    bool m_showGrip = true;
    bool m_drawAll = true;
    QPointer<QWidget> m_resizeControl;

    QImage m_normal;
    QImage m_hot;
    TColor m_layerColor = clNone; // the Color the layers were filled with

    // drag state
    bool m_dragging = false;
    QPointer<QWidget> m_dragControl;
    int m_dragStart = 0;      // pointer position along the split axis, in parent coordinates
    int m_dragStartSize = 0;  // neighbour size when the drag began
    int m_dragSize = 0;       // size the drag has reached
    int m_dragRoom = 0;       // space beyond the splitter when the drag began
    QRubberBand* m_band = nullptr;
};
