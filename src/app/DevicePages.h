#pragma once

#include "app/KeptEdits.h"
#include "instr/InstrumentSettings.h"

#include <QTabWidget>

class ILookServices;
class TCalibrationMeter;
class TCalibrationPage;
class TConfigurationPage;
class TDiagnosticPage;
class TInformationPage;
class TRbStyleManager;
class TTransducerController;
struct TProgSettings;

// The four pages of the transducer in their tab control, following the
// controller: what a connection reads shows on them, a disconnect empties
// them and keeps their unsaved edits for the same transducer.
class TDevicePages : public QTabWidget {
    Q_OBJECT
public:
    TDevicePages(TTransducerController& ctrl, TProgSettings& settings, ILookServices& look,
                 TDueDateWarnings& warnings, QWidget* parent = nullptr);

    // The skinned controls of every page take their look from `manager`.
    void SetStyleManager(TRbStyleManager* manager);
    // What a disconnect empties on the pages.
    void ClearDeviceFields();

    TInformationPage* tsInformation() const { return m_tsInformation; }
    TConfigurationPage* tsConfiguration() const { return m_tsConfiguration; }
    TCalibrationPage* tsCalobration() const { return m_tsCalobration; }
    TDiagnosticPage* tsDiagnostic() const { return m_tsDiagnostic; }
    TCalibrationMeter* CalibrationMeter() const { return m_calibrationMeter; }

private:
    void FollowController();

    TTransducerController& m_ctrl;
    TInformationPage* m_tsInformation = nullptr;
    TConfigurationPage* m_tsConfiguration = nullptr;
    TCalibrationPage* m_tsCalobration = nullptr;
    TDiagnosticPage* m_tsDiagnostic = nullptr;
    TCalibrationMeter* m_calibrationMeter = nullptr; // the reference instruments at stages 1 to 6
    TKeptEdits m_keptEdits;                          // unsaved page edits over a lost link
};
