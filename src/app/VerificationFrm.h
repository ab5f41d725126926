#pragma once

#include "device/CurrentReader.h"
#include "device/PointReader.h"
#include "device/Verification.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class ILookServices;
class TTransducerController;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TRbButton;
struct TDeviceSession;
struct TProgSettings;

// "Проверка преобразователя": the transducer's output and reading checked
// against the reference at a few points of its configured range, before a
// calibration (as found), after it (as left) or on its own. The table
// fills as the points are measured; the verdict shows when all are.
class TfrmVerification : public QDialog {
    Q_OBJECT
public:
    enum Column {
        colNo, colTemperature, colResistance, colExpected, colReading, colDigitalError, colDigitalErrorPct,
        colCurrent, colOutputError, colOutputErrorPct, colMeasure, colResult, colCount
    };

    TfrmVerification(TTransducerController& ctrl, TProgSettings& settings, ILookServices& look,
                     QWidget* parent = nullptr);
    ~TfrmVerification() override;

    // A new verification on the connected transducer's configuration as read
    // from it, with the settings' points and tolerance. False (message shown)
    // when there is nothing to verify.
    bool Prepare(TVerifyStage stage);

    // Where measured currents come from; nullptr: the values typed in the table.
    void SetCurrentReader(ICurrentReader* reader);
    // Where reference resistances are set; nullptr: by hand, from the table.
    void SetResistanceSource(IResistanceSource* source) { m_resistanceSource = source; }

    IMessageDialog& Messages() const { return m_session.Messages(); }
    TVerification& Verification() { return m_verification; }
    TPointReader& PointReader() { return *m_reader; }
    int MeasuringRow() const { return m_measuringRow; }

    // Handlers, public so tests run them as the events do.
    void btnMeasureClick(int row);
    void btnPlanClick();
    void SampleTimerTimer();
    // The typed current of a row, as the reader takes it.
    std::optional<double> TypedCurrent(int row) const;
    QLineEdit* CurrentEdit(int row) const;
    QPushButton* MeasureButton(int row) const;

    QLabel* lbUnit;
    QLabel* lbStage;
    QLabel* lbPoints;
    QSpinBox* rsePoints;
    QLabel* lbTemperatures;
    QLineEdit* edTemperatures;
    TRbButton* btnPlan;
    QLabel* lbLimits;
    QLabel* lbSettling;
    QTableWidget* tblPoints;
    QLabel* lbProgress;
    QLabel* lbVerdict;
    TRbButton* btnClose;

    static QString StageText(TVerifyStage stage);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void CreateControls();
    bool BeginPlan(const TVerifyPlan& plan);
    void FillTable();
    void ShowRow(int row);
    void ShowLimits();
    void ShowVerdict();
    void ShowProgress();
    void EndMeasuring();
    void StopMeasuring(const QString& why);

    TDeviceSession& m_session;
    TProgSettings& m_settings;
    TTransducerController& m_ctrl;
    ILookServices& m_look;
    TVerification m_verification;
    TTypedCurrentReader m_typed;
    ICurrentReader* m_currentReader;
    IResistanceSource* m_resistanceSource = nullptr;
    std::unique_ptr<TPointReader> m_reader;
    QTimer m_sampleTimer;
    TVerifyStage m_stage = TVerifyStage::vsAlone;
    int m_measuringRow = -1;
    bool m_diagnosticsWasRunning = false;
};
