#include "app/Records.h"

#include "device/DeviceSession.h"
#include "link/CommPortDriver.h"
#include "device/TransducerController.h"
#include "app/ExchangeLog.h"
#include "app/ExchangeMonitorFrm.h"
#include "link/MessageDialog.h"
#include "app/TrendFrm.h"

#include <QApplication>
#include <QDate>

TRecords::TRecords(TTransducerController& ctrl, QWidget* window)
    : QObject(window)
    , m_session(ctrl.Session())
    , m_window(window)
    , m_log(new TExchangeLog(this))
{
    connect(&ctrl, &TTransducerController::frameExchanged, m_log, &TExchangeLog::LinkEvent);
    connect(&ctrl, &TTransducerController::measurement, this, [this](const TMeasurement& r) {
        m_store.Add(r.state, r.temperature, r.resistance);
    });
    connect(&ctrl, &TTransducerController::measurementMissed, this, [this] { m_store.MarkGap(); });
    connect(&ctrl, &TTransducerController::diagnosticsStopped, this, [this] { m_store.MarkGap(); });
}

TRecords::~TRecords()
{
    // The windows are the main window's children but read the store and the
    // log, which go with this object: they must go first.
    delete m_trend;
    delete m_monitor;
}

TfrmTrend* TRecords::Trend()
{
    if (!m_trend) {
        m_trend = new TfrmTrend(m_store, m_session.Messages(), m_window);
        m_trend->SaveFileName = SaveFileName;
    }
    return m_trend;
}

TfrmExchangeMonitor* TRecords::Monitor()
{
    if (!m_monitor) {
        m_monitor = new TfrmExchangeMonitor(*m_log, m_session.Messages(), m_window);
        m_monitor->SaveFileName = SaveFileName;
        m_monitor->LinkDescription = [this] {
            const QString port = m_session.link.drv ? m_session.link.drv->PortName() : QString();
            return QStringLiteral("порт %1, адрес %2").arg(port.isEmpty() ? QStringLiteral("—") : port)
                .arg(m_session.Transducer.SlaveID);
        };
    }
    return m_monitor;
}

void TRecords::ShowTrend()
{
    TfrmTrend* trend = Trend();
    trend->show();
    trend->raise();
    trend->activateWindow();
}

void TRecords::ShowMonitor()
{
    TfrmExchangeMonitor* monitor = Monitor();
    monitor->show();
    monitor->raise();
    monitor->activateWindow();
}

bool TRecords::SaveProtocol(const TCalibrationRecord& record)
{
    const QDate day = record.finished.isValid() ? record.finished.date() : QDate::currentDate();
    const QString suggested = QStringLiteral("protokol_%1_%2.pdf")
                                  .arg(record.transducer.SensorNum)
                                  .arg(day.toString(QStringLiteral("yyyyMMdd")));
    const QString path = WithDefaultSuffix(SaveFileName(m_window, QStringLiteral("Сохранить протокол настройки"),
                                                        suggested, QStringLiteral("Документы PDF (*.pdf)")),
                                           QStringLiteral("pdf"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!WriteProtocolPdf(path, record, QApplication::font(), &error)) {
        m_session.Messages().ShowError(error);
        return false;
    }
    return true;
}
