#pragma once

#include "rbcontrols/RbCustomControl.h"

#include <QImage>
#include <QPointer>

// A push button with a gradient face, rounded border, optional glyph, text
// shadow, hot tracking and a focus frame; grouped buttons toggle (Down).
// Space clicks it; Enter clicks it when focused or Default; Escape clicks a
// Cancel button. ModalResult is given to the window it lies on and a
// non-zero value ends a modal QDialog with that result once the click
// handlers have run.
//
//   auto* b = new TRbButton(parent);
//   b->SetCaption(QStringLiteral("Прочитать"));
//   b->SetBounds(8, 8, 75, 25);
//   connect(b, &TRbButton::clicked, this, &TfrmMain::btnConfReadClick);
//   b->SetRbStyleManager(RbStyleManager);
class TRbButton : public TRbCustomControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption NOTIFY captionChanged)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult NOTIFY modalResultChanged)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing NOTIFY spacingChanged)
    Q_PROPERTY(RbEnums::TButtonLayout Layout READ Layout WRITE SetLayout NOTIFY layoutChanged)
    Q_PROPERTY(TRbControlColors* Colors READ ColorsObject CONSTANT)
    Q_PROPERTY(RbEnums::TFadeSpeed FadeSpeed READ FadeSpeed WRITE SetFadeSpeed NOTIFY fadeSpeedChanged)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect NOTIFY showFocusRectChanged)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack NOTIFY hotTrackChanged)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault NOTIFY defaultChanged)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel NOTIFY cancelChanged)
    Q_PROPERTY(bool GradientBorder READ GradientBorder WRITE SetGradientBorder NOTIFY gradientBorderChanged)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex NOTIFY groupIndexChanged)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp NOTIFY allowAllUpChanged)
    Q_PROPERTY(bool Down READ Down WRITE SetDown NOTIFY downChanged)
    Q_PROPERTY(RbEnums::TGradientType GradientType READ GradientType WRITE SetGradientType NOTIFY gradientTypeChanged)
public:
    explicit TRbButton(QWidget* parent = nullptr);
    ~TRbButton() override;

    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int v);
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& picture);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int v);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout v);
    TRbControlColors& Colors() { return m_colors; }
    const TRbControlColors& Colors() const { return m_colors; }
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool v);
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool v);
    bool Default() const { return m_default; }
    void SetDefault(bool v);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool v);
    bool GradientBorder() const { return m_gradientBorder; }
    void SetGradientBorder(bool v);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int v);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool v);
    bool Down() const { return m_down; }
    void SetDown(bool value);
    TGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TGradientType t);

    void Click() override;
    bool OtherGroupButtonDown() const;
    void RaiseGroupSiblings();

    void RebuildLayers() override;

    // Where paint puts the caption and the glyph (for layout checks).
    QRect CaptionRect() const;
    QPoint GlyphPosition() const;
    const QImage& NormalLayer() const
    {
        EnsureLayers();
        return m_normal;
    }

    QAccessible::Role AccessibleRole() const override { return QAccessible::PushButton; }
    void AddAccessibleState(QAccessible::State& state) const override;
    QStringList AccessibleActionNames() const override;
    void DoAccessibleAction(const QString& name) override;

signals:
    void modalResultChanged();
    void spacingChanged();
    void layoutChanged();
    void showFocusRectChanged();
    void hotTrackChanged();
    void defaultChanged();
    void cancelChanged();
    void gradientBorderChanged();
    void groupIndexChanged();
    void allowAllUpChanged();
    void downChanged();
    void gradientTypeChanged();

protected:
    void PaintBuffer(QImage& buffer) override;
    void MouseEntered() override;
    void MouseLeft() override;
    void LeftMouseDown() override;
    void LeftMouseUp() override;
    void FocusChanged() override;
    void Resized() override;

    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    TRbControlColors* ColorsObject() { return &m_colors; }
    // Offers Enter and Escape that reach the window unhandled to this button.
    void WatchWindowKeys();
    bool CanTakeFocus() const;
    QList<TRbButton*> GroupSiblings() const;

    int m_modalResult = 0;
    QImage m_glyph;
    bool m_glyphHasAlpha = false;
    int m_spacing = 2;
    TButtonLayout m_layout = blGlyphLeft;
    TRbControlColors m_colors;
    bool m_showFocusRect = true;
    bool m_hotTrack = false;
    bool m_default = false;
    bool m_cancel = false;
    bool m_gradientBorder = true;
    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    bool m_down = false;
    TGradientType m_gradientType = gtVertical;
    QImage m_normal, m_hot, m_pressed;
    QPointer<QWidget> m_watchedWindow;
};
