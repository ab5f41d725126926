#pragma once

#include "device/Calibr.h"
#include "device/VerificationTypes.h"
#include "app/DiagnosticPage.h"
#include "app/PressGuard.h"

#include <QWidget>

#include <functional>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class TRbPanel;
class TTransducerController;

// The page "Настройка": the guided calibration, one stage per press.
class TCalibrationPage : public QWidget, public ICalibrationView {
    Q_OBJECT
public:
    // Shows the controller's calibration from now until it goes.
    explicit TCalibrationPage(TTransducerController& ctrl, QWidget* parent = nullptr);
    ~TCalibrationPage() override;
    // As found while a calibration has begun and nothing is sent yet, as left
    // after one ended accepted, else on its own.
    TVerifyStage VerifyOffer() const;
    void UpdateVerifyOffer();

    // The window's style manager styles the page's skinned controls.
    void SetStyleManager(IRbStyleRegistry* manager);

    // ConnectDevice: the instruction text.
    void ClearStage();
    // The device is gone: no stage to continue, the page as before a start.
    void ResetToIdle();
    // The step the instruction stands for, "Шаг N из 8"; empty while idle.
    QString StepText() const;
    TPressGuard& Guard() { return *m_guard; }

    // ICalibrationView
    void SetStageText(const QString& text) override;
    void SetStageColor(TStageColor color) override;
    void SetBeginCaption(const QString& text) override;
    void SetCancelVisible(bool visible) override;
    void SetCurrentVisible(bool visible) override;
    void SetCurrentValue(double milliamperes) override;
    double CurrentValue() const override;
    void SetDateVisible(bool visible) override;
    void SetDateText(const QString& text) override;
    QString DateText() const override;
    void SetCalibrDateText(const QString& text) override;

    void btnBeginCalibrClick();
    void btnCancelCalibrClick();
    void rseCalibrCurExit();
    void meCalibrNewDateExit();

    static const QString EmptyDateText; // "  .  .    "

    TRbPanel* pnCalibr;
    QLabel* lbStage;
    QLabel* lbStep;
    QLabel* lbCalibrCur;
    QDoubleSpinBox* rseCalibrCur;
    QLabel* lbCalibrNewDate;
    QLineEdit* meCalibrNewDate;
    TSkinButton* btnBeginCalibr;
    TSkinButton* btnCancelCalibr;
    TSkinButton* btnSaveProtocol; // shown after a calibration ended successfully
    TSkinButton* btnVerify;       // the verification, offered before and after a calibration

signals:
    // The stored date, for indCalibrDate of the diagnostics page.
    void calibrDateChanged(const QString& text);
    // "Сохранить протокол...": the window writes the protocol of the last calibration.
    void protocolSaveRequested(const TCalibrationRecord& record);
    // btnVerify: the window opens the verification as the offer says.
    void verifyRequested(TVerifyStage stage);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateStep();
    void RunPendingExits();
    // The entries not yet judged, checked now; false when one was refused.
    bool TakePendingEntries();

    TTransducerController& m_ctrl;
    TDeviceSession& m_session;
    TPressGuard* m_guard;
    // Edited but not yet taken: a press that keeps the focus away from the
    // field must not send the old value.
    bool m_currentEdited = false;
    bool m_dateEdited = false;
    // Left, with the exit still to run (it runs after the event that moved the focus).
    bool m_currentExitPending = false;
    bool m_dateExitPending = false;
};
