#pragma once

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbManagerLink.h"
#include "rbcontrols/RbFont.h"
#include "rbcontrols/RbTypes.h"

#include <QAccessible>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QTimer;

// Base of the skinned controls (button, check box, radio button, panel,
// progress bar). Paints double-buffered: every paint starts in a 24-bit
// buffer filled with Color, PaintBuffer draws into it and the buffer is
// shown at once. Fades between the normal, hot and pressed looks with a
// per-control timer whose ticks run FadeStep.
//
// Platform notifications are routed to the virtual operations below first
// and then to Qt's own handling; mouse presses and releases the other way
// round (Qt's handling, mouseDown/mouseUp signals, then LeftMouseDown/Up).
class TRbCustomControl : public QWidget, public IRbColorsOwner {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor NOTIFY colorChanged)
    Q_PROPERTY(TRbFont* Font READ FontObject CONSTANT)
    Q_PROPERTY(bool TextShadow READ TextShadow WRITE SetTextShadow NOTIFY textShadowChanged)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE SetShowCaption NOTIFY showCaptionChanged)
    Q_PROPERTY(QString About READ About)
public:
    enum TFadeStep { FadeIn, FadeOut };

    explicit TRbCustomControl(QWidget* parent = nullptr);
    ~TRbCustomControl() override;

    // --- properties
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& text);
    // Background colour. While ParentColor is set it follows the parent
    // (a skinned parent's Color, else the parent's window colour).
    TColor Color() const;
    void SetColor(TColor c);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    TRbFont& Font() { return m_font; }
    const TRbFont& Font() const { return m_font; }
    bool TextShadow() const { return m_textShadow; }
    void SetTextShadow(bool on);
    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool on);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool on);
    IRbStyleRegistry* RbStyleManager() const { return m_manager.Manager(); }
    void SetRbStyleManager(IRbStyleRegistry* manager);
    QString About() const;

    // Geometry in the platform's terms.
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetBounds(int left, int top, int w, int h) { setGeometry(left, top, w, h); }

    // --- fade state
    int HoverLevel() const { return m_hoverLevel; }
    int PressLevel() const { return m_pressLevel; }
    bool MouseInside() const { return m_mouseInside; }
    bool Pressed() const { return m_pressed; }
    TFadeStep FadeStep() const { return m_fadeStep; }
    TFadeSpeed FadeSpeed() const { return m_fadeSpeed; }
    // Selects the fade interval; subclasses with a FadeSpeed property use it.
    void SetFadeSpeed(TFadeSpeed s);
    bool FadeRunning() const;
    int FadeTimerInterval() const;

    // (Re)starts the fade timer with FadeIntervals[FadeSpeed()].
    void StartFade();
    // One timer tick: runs FadeStep, swallowing any error. Public so tests
    // and benchmarks drive the fade without waiting.
    void FadeTick();

    // The finished picture of the control as its paint would show it. At a
    // device pixel ratio above 1 the skin is drawn in logical pixels and
    // enlarged, and then captions and marks are drawn over it at the
    // device's resolution; the image carries that ratio.
    QImage RenderBuffer(qreal ratio = 1.0);

    // Draws the layers a hidden control put off (see DeferRebuild) now.
    void EnsureLayers() const;

    // --- virtual operations, in slot order
    virtual void RebuildLayers() = 0;
    virtual void EnabledChanged();
    virtual void FocusChanged();
    virtual void LeftMouseDown();
    virtual void LeftMouseUp();
    virtual void MouseEntered();
    virtual void MouseLeft();
    virtual void MouseMoved();
    virtual void ParentColorChanged();
    virtual void Resized();
    virtual void TextChanged();
    virtual void FadeOutStep();
    virtual void FadeInStep();

    // Runs when a left press and release both happen on the control. The
    // base emits clicked().
    virtual void Click();

    // Accessibility: what QAccessible reports for this control.
    virtual QAccessible::Role AccessibleRole() const { return QAccessible::Client; }
    virtual QString AccessibleName() const;
    virtual void AddAccessibleState(QAccessible::State& state) const;
    virtual QStringList AccessibleActionNames() const { return {}; }
    virtual void DoAccessibleAction(const QString& name);

    // IRbColorsOwner
    void ColorsRebuild() override { RebuildLayers(); }
    void ColorsRepaint() override { update(); }

signals:
    void clicked();       // OnClick
    void mouseEntered();  // OnMouseEnter
    void mouseLeft();     // OnMouseLeave
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

    // Property changes, emitted by the setters once the control shows the
    // new value. Caption, ParentColor and FadeSpeed are published by the
    // subclasses that have them. Color follows the parent while ParentColor
    // is set; colorChanged() then comes when the parent's colour reaches it.
    void captionChanged();
    void colorChanged();
    void parentColorChanged();
    void textShadowChanged();
    void showCaptionChanged();
    void fadeSpeedChanged();

protected:
    // Each RebuildLayers starts with it: a control nobody sees draws its
    // layers when it is shown, rendered or asked for them, so windows and
    // pages that stay hidden cost nothing however often they are restyled.
    bool DeferRebuild();
    // Draws the control into buffer (W x H, Format_RGB888, filled with Color).
    virtual void PaintBuffer(QImage& buffer) = 0;
    // Shows the finished buffer; the radio button overrides it to key out Color.
    virtual void PresentBuffer(QPainter& widgetPainter, const QImage& buffer);
    // Runs draw, in the buffer's (logical) coordinates, on the buffer or, at
    // a ratio above 1, on the enlarged picture: text and marks stay sharp.
    using TSharpDraw = std::function<void(QPainter&)>;
    void PaintSharp(QImage& buffer, TSharpDraw draw);
    // The ratio RenderBuffer is rendering at.
    qreal RenderRatio() const { return m_renderRatio; }

    void SetMouseInside(bool v) { m_mouseInside = v; }
    void SetPressed(bool v) { m_pressed = v; }
    void SetFadeStep(TFadeStep s) { m_fadeStep = s; }
    void SetHoverLevel(int v) { m_hoverLevel = v; }
    void SetPressLevel(int v) { m_pressLevel = v; }
    void StopFade();
    // Takes the focus if the control does not have it and can take it.
    void TakeFocus();
    // Sends an accessibility state change for "checked" or "pressed".
    void NotifyAccessibleState(bool checkedChanged, bool pressedChanged);

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TRbFont* FontObject() { return &m_font; }
    bool m_layersStale = false;
    bool m_buildingLayers = false;
    void PointerEnter();
    void PointerLeave();
    void ApplyFontToWidget();
    // Emits colorChanged() when Color() differs from what was last told.
    void NoteColor();

    QString m_caption;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    TColor m_toldColor = clNone; // Color() as colorChanged() last reported it
    TRbFont m_font;
    bool m_textShadow = true;
    bool m_showCaption = true;
    bool m_tabStop = true;
    TRbManagerLink m_manager{this};
    QMetaObject::Connection m_focusWatch;

    int m_hoverLevel = 0;
    int m_pressLevel = 0;
    bool m_mouseInside = false;
    bool m_pressed = false;
    bool m_pointerOver = false;  // tracked by enter/leave and moves while grabbed
    bool m_leftDownInside = false;
    TFadeSpeed m_fadeSpeed = fsSlow;
    TFadeStep m_fadeStep = FadeIn;
    QTimer* m_fadeTimer = nullptr;
    std::vector<TSharpDraw>* m_sharpDraws = nullptr; // collected while rendering above ratio 1
    qreal m_renderRatio = 1.0;
};
