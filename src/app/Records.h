#pragma once

#include "device/CalibrationProtocol.h"
#include "device/ReadingStore.h"
#include "app/SaveFileHook.h"

#include <QObject>
#include <QPointer>

class QWidget;
class TExchangeLog;
class TfrmExchangeMonitor;
class TfrmTrend;
class TTransducerController;
struct TDeviceSession;

// What an engineer can keep from a session: the measurement trend, the
// exchange monitor and the calibration protocol. Nothing reaches a file
// unless the user saves it.
class TRecords : public QObject {
    Q_OBJECT
public:
    // Keeps the controller's frames and every reading of its diagnostics,
    // noting each stop and miss, from now on; `window` parents the windows.
    TRecords(TTransducerController& ctrl, QWidget* window);
    ~TRecords() override;

    void ShowTrend();
    void ShowMonitor();
    // Asks for a file and writes the protocol; false when cancelled or failed
    // (a failure has shown its message).
    bool SaveProtocol(const TCalibrationRecord& record);

    TReadingStore& Store() { return m_store; }
    TExchangeLog& Log() { return *m_log; }
    // Created on first use and kept.
    TfrmTrend* Trend();
    TfrmExchangeMonitor* Monitor();

    // Passed on to the windows created afterwards.
    TSaveFileNameHook SaveFileName = AskSaveFileName;

private:
    TDeviceSession& m_session;
    QWidget* m_window;
    TReadingStore m_store;
    TExchangeLog* m_log;
    QPointer<TfrmTrend> m_trend;
    QPointer<TfrmExchangeMonitor> m_monitor;
};
