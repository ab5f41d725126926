#pragma once

#include "app/ProgSettings.h"
#include "app/SerialPortList.h"

#include <QComboBox>
#include <QDialog>

#include <functional>

class IMessageDialog;
class IRbStyleRegistry;
class QPushButton;
class TRbPanel;

using TCOMChoiceButton = QPushButton;

// A port drop-down that refills itself each time its list opens.
class TComPortCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        emit aboutToDropDown();
        QComboBox::showPopup();
    }

signals:
    void aboutToDropDown();
};

// Fills a port drop-down with the ports present ("COMn: /dev/… (…)"), none
// selected, the list as wide as its longest entry. New devices are numbered
// into `ports`; true when that map changed.
bool FillPortCombo(QComboBox& box, TComPortMap& ports, const QVector<TSerialDevice>& found);
// Shows the beginning of the current entry ("COM1: …") and the whole of it as the tooltip.
void ShowPortEntry(QComboBox& box);

// The COM-port choice: a drop-down of the ports present; picking one sets
// the port number, typing "comN" and Enter sets the port by name. Result
// QDialog::Accepted (1) from "Ok" or Enter, Rejected (2 in the program's
// terms) from the close box. The window never opens or closes the port.
class TfrmCOMChoice : public QDialog {
    Q_OBJECT
public:
    TfrmCOMChoice(TProgSettings& settings, IMessageDialog& messages, QWidget* parent = nullptr);

    // Where the device list comes from; FindSerialDevices unless replaced (tests).
    std::function<QVector<TSerialDevice>(const TComPortMap&)> DeviceSource;

    // The window's skinned frame takes its look from `manager` (the main window's).
    void SetStyleManager(IRbStyleRegistry* manager);

    // The handlers, callable as the events run them.
    void FormShow();
    void cbComPortDropDown();
    void cbComPortSelect(int index);
    // Enter in the field; true when the window was closed.
    bool cbComPortKeyDown(int key);
    void Button1Click();

    TRbPanel* RbPanel1 = nullptr;
    QComboBox* cbComPort = nullptr;
    TCOMChoiceButton* Button1 = nullptr;

signals:
    // The driver's side; the main window connects them to the driver.
    void portChosen(int number);                  // the port by its number
    void portNameChosen(const QString& name);     // the port by a typed name
    void portMapChanged(const TComPortMap& map);  // [Ports] gained a device
    void schemeColorsWanted();                    // the window is about to show

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList();
    // The current entry, when it is one of the list unchanged, chosen as by
    // cbComPortSelect; false otherwise.
    bool ChoosePresetEntry();

    TProgSettings& m_settings;
    IMessageDialog& m_messages;
};
