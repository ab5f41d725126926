#pragma once

#include "app/OptionButton.h"

#include <QColor>
#include <QWidget>

class QLabel;
class QSpinBox;
class ILookServices;
class TTransducerController;
struct TDeviceSession;
class TRbButton;
class TRbCheckBox;
class TRbPanel;
class TRbStyleManager;
class TPressGuard;
struct TConfigProfile;

// Page tsConfiguration: the transducer's configuration block (sensor kind,
// R0, range, output direction, alarm current, averaging, address) with its
// read and write buttons and the save prompt at close.
class TConfigurationPage : public QWidget {
    Q_OBJECT
public:
    TConfigurationPage(TTransducerController& ctrl, ILookServices& look, QWidget* parent = nullptr);
    ~TConfigurationPage() override;

    // The skinned controls take their look from `manager` (the window's),
    // and the hover highlight its hot-track colour.
    void SetStyleManager(TRbStyleManager* manager);
    TRbStyleManager* StyleManager() const { return m_manager; }

    // Takes the page into the record, checks it and writes the block.
    void WriteConfiguration();
    // Puts the record's configuration on the page; not an edit.
    void ShowConfiguration();
    // Limits and labels of sensor kind 1, 2 or 3; the range becomes the full one.
    void SetSensorType(int code);
    // ClearDeviceFields: no option checked, the numbers at 0 (as far as their limits allow).
    void ClearFields();
    // At close: ask to write a changed page, or put the last read values back.
    void ConfirmSaveConfiguration();
    // The page's fields as a profile; false with a message naming the field
    // when one has no choice or the page's checks refuse them.
    bool TakeProfile(TConfigProfile* profile, QString* error) const;
    // Sets the controls from a profile as the user would, then marks the page
    // modified; nothing is written. A profile that fails the page's checks
    // leaves the page as it was (false with a message naming the field).
    bool FillFromProfile(const TConfigProfile& profile, QString* error);

    // Handlers, public so tests run them as the user's actions do.
    void btnConfReadClick();
    void btnConfWriteClick();
    void rbPl_391Click();
    void rbPl_385Click();
    void rbCuClick();
    void rbR100Click();
    void rbR50Click();
    void rbI0Click();
    void rbI5_5Click();
    void rbI3_6Click();
    void rbI3_8Click();
    void rbI21Click();
    void rbI22Click();
    void rseTopTempBoundChange();
    void rseTopTempBoundExit();
    void rseBottomTempBoundChange();
    void rseBottomTempBoundExit();
    void cbAverageTurnOnClick();
    void rseAverageChange();
    void rseAverageExit();
    void rbDirectLeadOutClick();
    void rbInversLeadOutClick();
    void rseConfSlaveIDChange();
    // Hover over one of the three controls of sensor option 0, 1 or 2.
    void SensorOptionMouseMove(int option);
    void SensorOptionMouseLeave(int option);

    // The text colour of a sensor option's three controls (tests).
    QColor SensorOptionColor(int option, int control) const;
    QColor HotTrackColor() const;

    TRbPanel* pnSensorType;
    TOptionButton* rbPl_391;
    QLabel* lbPt_391;
    QLabel* Label1;
    TOptionButton* rbPl_385;
    QLabel* lbPt_385;
    QLabel* Label9;
    TOptionButton* rbCu;
    QLabel* lbCu;
    QLabel* Label10;

    TRbPanel* pnAlarmCur4D;
    TOptionButton* rbI3_6;
    TOptionButton* rbI3_8;
    TOptionButton* rbI21;
    TOptionButton* rbI22;
    TRbPanel* pnAlarmCur4E;
    TOptionButton* rbI0;
    TOptionButton* rbI5_5;

    TRbPanel* pnTempRenge;
    QLabel* Label6;
    QSpinBox* rseTopTempBound;
    QLabel* Label3;
    QLabel* lbMaxTemp;
    QLabel* Label7;
    QSpinBox* rseBottomTempBound;
    QLabel* Label5;
    QLabel* lbMinTemp;

    TRbPanel* pnR;
    TOptionButton* rbR100;
    TOptionButton* rbR50;

    TRbPanel* pnAverage;
    TRbCheckBox* cbAverageTurnOn;
    QSpinBox* rseAverage;
    QLabel* RxLabel1;

    TRbPanel* pnLeadOutWire;
    TOptionButton* rbDirectLeadOut;
    TOptionButton* rbInversLeadOut;

    TRbPanel* PnConfSlaveID;
    QSpinBox* rseConfSlaveID;

    TRbButton* btnConfRead;
    TRbButton* btnConfWrite;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void SensorClick(int option);
    void SetSensorOptionColor(int option, const QColor& color);
    int SensorOptionOf(QObject* control) const;
    void Modified();

    TDeviceSession& m_session;
    TTransducerController& m_ctrl;
    ILookServices& m_look;
    TRbStyleManager* m_manager = nullptr;
    bool m_filling = false; // the page is being filled from the record
    TPressGuard* m_writeGuard = nullptr;
};
