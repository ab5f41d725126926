#pragma once

#include "instr/InstrumentSettings.h"

#include <QDate>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The settings page "Эталоны": the current meter and the optional resistance
// source. Like the rest of the settings dialog every change goes into the
// record at once.
class TInstrumentsPage : public QWidget {
    Q_OBJECT
public:
    TInstrumentsPage(TInstrumentSettings& settings, QWidget* parent = nullptr);

    // The devices offered: the serial ports and /dev/usbtmc*; tests replace it.
    std::function<QStringList()> DevicePaths;
    // How "Проверить связь" reaches the instrument; tests plug in a scripted line.
    TDeviceFactory DeviceFactory;
    ITickSource* Ticks = nullptr;
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

    // Loads the controls from the record and refreshes the device lists.
    void LoadFromSettings();
    void FillDeviceLists();
    // "Проверить связь": *IDN? and its answer; fills model and serial.
    bool CheckConnection(TInstrumentRole role);

    struct TControls {
        QComboBox* device = nullptr;
        QComboBox* baud = nullptr;
        QComboBox* format = nullptr;     // 8N1, 8N2, 8E1, 8O1, 7E1, 7O1
        QComboBox* terminator = nullptr; // LF, CRLF, CR
        QPushButton* check = nullptr;
        QLabel* answer = nullptr;
        QLineEdit* model = nullptr;
        QLineEdit* serial = nullptr;
        QLineEdit* certificate = nullptr;
        QLabel* dueLabel = nullptr;
        QLineEdit* dueDate = nullptr;    // DD.MM.YYYY, empty allowed
        QLineEdit* identify = nullptr;
        QLineEdit* configure = nullptr;  // meter
        QLineEdit* read = nullptr;       // meter
        QLineEdit* setResistance = nullptr; // source
        QLineEdit* outputOn = nullptr;
        QLineEdit* outputOff = nullptr;
        QLineEdit* confirm = nullptr;
        QCheckBox* autoRead = nullptr;   // meter
    };
    TControls meter;
    TControls source;
    QTabWidget* tabs = nullptr;

    // The due date shown in red once it has passed.
    bool DueDateShownOverdue(TInstrumentRole role) const;

private:
    QWidget* BuildTab(TInstrumentRole role, TControls& c);
    void Store(TInstrumentRole role);
    void ShowDueDate(TInstrumentRole role);
    TInstrumentConfig& Config(TInstrumentRole role);
    TControls& Controls(TInstrumentRole role);

    TInstrumentSettings& m_settings;
    bool m_loading = false;
};

// /dev/usbtmc* present now.
QStringList UsbtmcDevices();
