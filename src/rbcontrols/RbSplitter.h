#pragma once

#include "RbColors.h"
#include "RbManagerLink.h"
#include "RbProperties.h"
#include "RbTypes.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QRubberBand;
class QTimer;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TGripAlign { gaVertical, gaHorizontal };
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

inline const QStringList& GripAlignNames()
{
    static const QStringList n = {"gaVertical", "gaHorizontal"};
    return n;
}
inline const QStringList& AlignNames()
{
    static const QStringList n = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    return n;
}
inline const QStringList& ResizeStyleNames()
{
    static const QStringList n = {"rsNone", "rsLine", "rsUpdate", "rsPattern"};
    return n;
}

// A splitter bar with a gradient face, a row of grip dots and a hover fade.
// Dragging it resizes the neighbouring control on its aligned side: the
// sibling just above a top-aligned splitter, left of a left-aligned one, and
// so on (or the one given with SetResizeControl). A neighbour that sits in
// its parent's layout gets a fixed size in the split direction, so the
// layout places everything else; a freely placed one is resized and the
// splitter moves along its edge.
class TRbSplitter : public QWidget, public TRbPersistent, public IRbColorsOwner {
    Q_OBJECT
public:
    explicit TRbSplitter(QWidget* parent = nullptr);
    ~TRbSplitter() override;

    // --- platform splitter properties
    TAlign Align() const { return m_align; }
    // Left/right makes a column of grip dots, top/bottom a row.
    void SetAlign(TAlign a);
    int MinSize() const { return m_minSize; }
    void SetMinSize(int v) { m_minSize = v > 0 ? v : 1; }
    TResizeStyle ResizeStyle() const { return m_resizeStyle; }
    void SetResizeStyle(TResizeStyle s) { m_resizeStyle = s; }
    bool Beveled() const { return m_beveled; }
    void SetBeveled(bool v) { m_beveled = v; }
    // A drag below MinSize collapses the neighbour to 0.
    bool AutoSnap() const { return m_autoSnap; }
    void SetAutoSnap(bool v) { m_autoSnap = v; }
    // Follows the parent (a skinned parent's Color, else its window colour)
    // until set.
    TColor Color() const;
    void SetColor(TColor c);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);

    // --- own properties
    TGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TGradientType t);
    TGripAlign GripAlign() const { return m_gripAlign; }
    void SetGripAlign(TGripAlign g);
    TFadeSpeed FadeSpeed() const { return m_fadeSpeed; }
    void SetFadeSpeed(TFadeSpeed s) { m_fadeSpeed = s; }
    TRbSplitterColors& Colors() { return m_colors; }
    const TRbSplitterColors& Colors() const { return m_colors; }
    bool ShowGrip() const { return m_showGrip; }
    void SetShowGrip(bool on);
    IRbStyleRegistry* RbStyleManager() const { return m_manager.Manager(); }
    void SetRbStyleManager(IRbStyleRegistry* manager);
    bool DrawAll() const { return m_drawAll; }
    void SetDrawAll(bool on);
    QString About() const;

    // The control a drag resizes; none means the neighbour found by Align.
    void SetResizeControl(QWidget* w) { m_resizeControl = w; }
    QWidget* ResizeControl() const;

    // --- layers and fade
    void RebuildLayers();
    const QImage& NormalLayer() const { return m_normal; }
    const QImage& HotLayer() const { return m_hot; }
    int HoverLevel() const { return m_hoverLevel; }
    bool MouseInside() const { return m_mouseInside; }
    bool FadeRunning() const;
    int FadeTimerInterval() const;
    // One tick of the fade timer; public so tests drive it without waiting.
    void FadeTick();
    // The picture paint shows: the two layers mixed by HoverLevel.
    QImage RenderBuffer();

    // Draws one grip dot: its 3 x 3 pattern with the top-left at (x, y).
    static void DrawGripDot(QImage& layer, int x, int y);

    QString ClassName() const override { return QStringLiteral("TRbSplitter"); }
    const TRbPropertyTable& Properties() const override { return Table(); }
    static const TRbPropertyTable& Table();

    // IRbColorsOwner
    void ColorsRebuild() override { RebuildLayers(); }
    void ColorsRepaint() override { update(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    enum TFadeStep { FadeIn, FadeOut };
    void StartFade();
    void FadeInStep();
    void FadeOutStep();
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
    TColor m_color = clBtnFace;
    bool m_parentColor = true;

    TGradientType m_gradientType = gtHorizontal;
    TGripAlign m_gripAlign = gaVertical;
    TFadeSpeed m_fadeSpeed = fsMedium;
    TRbSplitterColors m_colors;
    bool m_showGrip = true;
    bool m_drawAll = true;
    TRbManagerLink m_manager{this};
    QPointer<QWidget> m_resizeControl;

    QImage m_normal;
    QImage m_hot;
    int m_hoverLevel = 0;
    bool m_mouseInside = false;
    TFadeStep m_fadeStep = FadeIn;
    QTimer* m_fadeTimer = nullptr;

    // drag state
    bool m_dragging = false;
    QPointer<QWidget> m_dragControl;
    int m_dragStart = 0;      // pointer position along the split axis, in parent coordinates
    int m_dragStartSize = 0;  // neighbour size when the drag began
    int m_dragSize = 0;       // size the drag has reached
    int m_dragRoom = 0;       // space beyond the splitter when the drag began
    QRubberBand* m_band = nullptr;
};
