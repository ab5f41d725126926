#pragma once

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class TRbPanel;
struct TProgSettings;

// The settings dialog's page "Проверка": the tolerance of a verification,
// its decision rule and the number of test points. Every change goes into
// the settings record at once, as on the dialog's other pages.
class TVerifySettingsPage : public QWidget {
    Q_OBJECT
public:
    TVerifySettingsPage(TProgSettings& settings, QWidget* parent = nullptr);

    // Puts the record's values on the page.
    void ShowSettings();

    TRbPanel* rpVerify;
    QLabel* lbTolerance;
    QDoubleSpinBox* rseTolerance;
    QLabel* lbRule;
    QComboBox* cbDecisionRule;
    QLabel* lbPoints;
    QSpinBox* rsePoints;
    QLabel* lbRuleHint;

private:
    void showHint();

    TProgSettings& m_settings;
};
