#pragma once

#include "app/OptionButton.h"
#include "app/SerialPortList.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TRbButton;
class TRbCheckBox;
class TRbPanel;
class TVerifySettingsPage;
class TInstrumentsPage;
class ILookServices;
class TTransducerController;
struct TDeviceSession;
struct TProgSettings;

// "Настройки программы": edits the program settings while the program runs.
// Every change goes into the settings record at once and acts at once; the
// file is written at close. There is no cancel.
class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    TfrmSettings(TProgSettings& settings, TTransducerController& ctrl, ILookServices& look, QWidget* parent = nullptr);

    // Where the port list comes from; FindSerialDevices unless replaced (tests).
    std::function<QVector<TSerialDevice>(const TComPortMap&)> DeviceSource;

    // Handlers, public so tests run them as the events do.
    void FormCreate();
    void FormShow();
    void TreeView1Change(QTreeWidgetItem* node);
    void cbSetConnectBeforeRunClick();
    void rbConnectToNumClick();
    void rbToLastClick();
    void rbFindFirstClick();
    void rseSlaveIDChange();
    void rseRepNumChange();
    void cbQuickSearchClick();
    void cbHistoryRecordingClick();
    void cbComDropDown();
    void cbComSelect(int index);
    // Enter in the field; other keys do nothing special (false).
    bool cbComKeyDown(int key);
    void RbButton2Click();

    QTreeWidget* TreeView1;
    QTreeWidgetItem* nodeRoot;
    QTreeWidgetItem* nodeBasic;
    QTreeWidgetItem* nodeConnection;
    QTreeWidgetItem* nodeVerify;
    QStackedWidget* PageControl1;
    QWidget* tsBasic;
    QWidget* tsConnection;
    TVerifySettingsPage* tsVerify;
    QTreeWidgetItem* nodeInstruments;
    TInstrumentsPage* tsInstruments; // "Эталоны"
    TRbButton* RbButton2;

    TRbPanel* rpSet1;
    QLabel* Label1;
    TRbCheckBox* cbSetConnectBeforeRun;
    TOptionButton* rbConnectToNum;
    QSpinBox* rseSlaveID;
    TOptionButton* rbToLast;
    TOptionButton* rbFindFirst;
    QLabel* Label13;
    QSpinBox* rseRepNum;
    TRbCheckBox* cbHistoryRecording;

    TRbPanel* rpSet2;
    QLabel* Label3;
    QComboBox* cbCom;
    QLabel* Label4;
    QLineEdit* edComSpeed;
    QLabel* Label5;
    QLabel* Label8;
    QLineEdit* Edit3;
    QLabel* Label6;
    QLineEdit* Edit2;
    QLabel* Label7;
    QLabel* Label10;
    QLineEdit* Edit4;
    TRbCheckBox* cbQuickSearch;

signals:
    // Recording of the journal turned on or off.
    void historyRecordingChanged(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FillPortList();
    // The common part of a selection and of Enter: false when the user kept the connection.
    bool ChangePort(int n, const QString& portName);

    TProgSettings& m_settings;
    TDeviceSession& m_session;
    TTransducerController& m_ctrl;
    ILookServices& m_look;
};
