#pragma once

#include "app/PressGuard.h"
#include "device/Diagnostics.h"

#include "rbcontrols/RbButton.h"

#include <QIcon>
#include <QWidget>

class TRbPanel;
class QLabel;
class QTimer;
class TLiquidIndicator;
class TTransducerController;

// The skinned push button of the diagnostics and calibration pages.
using TSkinButton = TRbButton;
inline void SetButtonCaption(TSkinButton* button, const QString& text) { button->SetCaption(text); }
inline QString ButtonCaption(const TSkinButton* button) { return button->Caption(); }
inline void SetButtonGlyph(TSkinButton* button, const QIcon& picture)
{
    button->SetGlyph(picture.pixmap(32, 32).toImage());
}

// The page "Диагностика ": live temperature and resistance, the device's
// self-diagnostic state, the calibration date, and the two corrections.
class TDiagnosticPage : public QWidget, public IDiagnosticsView {
    Q_OBJECT
public:
    // Shows the controller's diagnostics from now until it goes.
    explicit TDiagnosticPage(TTransducerController& ctrl, QWidget* parent = nullptr);
    ~TDiagnosticPage() override;

    QTimer* DiagnosticsTimer() const { return m_timer; }

    // The window's style manager styles the page's skinned controls.
    void SetStyleManager(IRbStyleRegistry* manager);

    // ClearDeviceFields: the three indicators.
    void ClearIndicators();
    // ConnectDevice: the state text.
    void ClearDiagInfo();

    // IDiagnosticsView
    void SetTimerEnabled(bool enabled) override;
    bool TimerEnabled() const override;
    void SetRunningLook(bool running) override;
    void SetTemperatureText(const QString& text) override;
    QString TemperatureText() const override;
    void SetResistanceText(const QString& text) override;
    void SetDiagInfo(const QString& text) override;
    QString DiagInfo() const override { return m_diagInfo; }
    void SetCalibrDateText(const QString& text) override;

    void btnBeginDiagnosticsClick();
    void btnCorrR0Click();
    void btnCorrNSXClick();
    void DiagnosticsTimerTimer();

    // What a correction's result text is held on the page for before the
    // next reading's state text may replace it.
    static constexpr uint32_t kResultHoldMs = 5000;
    static const QString AskCorrectR0;
    static const QString AskCorrectNSX;
    TPressGuard& Guard() { return *m_guard; }

    // The pictures of btnBeginDiagnostics: images 0 and 1 of the window's list.
    static QIcon StartPicture();
    static QIcon StopPicture();

    QLabel* lbT;
    TLiquidIndicator* indT;
    QLabel* lbTUnit;
    QLabel* lbR;
    TLiquidIndicator* indR;
    QLabel* lbRUnit;
    TSkinButton* btnBeginDiagnostics;
    TSkinButton* btnCorrR0;
    TSkinButton* btnCorrNSX;
    TRbPanel* RbPanel1; // "Состояние самодиагностики: "
    QLabel* lbDiagInf;
    TRbPanel* RbPanel2; // "Дата настройки: "
    TLiquidIndicator* indCalibrDate;

private:
    TLiquidIndicator* MakeIndicator(const QString& name, int signs, int width, int height);
    // Asked before a correction that would reach the device; false: nothing is sent.
    bool ConfirmCorrection(const QString& question);
    void ShowDiagInfo(const QString& text);
    void FlushHeldInfo();


    TTransducerController& m_ctrl;
    TDeviceSession& m_session;
    QTimer* m_timer;
    QString m_diagInfo;
    TPressGuard* m_guard;
    QTimer* m_holdTimer;
    uint32_t m_resultShownAt = 0;
    bool m_holdingResult = false;
    bool m_infoWaiting = false;
    QString m_waitingInfo;
};
