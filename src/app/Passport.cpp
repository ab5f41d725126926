#include "app/Passport.h"

#include "app/CertificateInputFrm.h"
#include "app/JournalFrm.h"
#include "app/ProgSettings.h"
#include "device/DeviceSession.h"
#include "history/HistoryStore.h"
#include "link/MessageDialog.h"
#include "passport/CertificateIssuer.h"
#include "passport/HistoryRecorder.h"

#include <QApplication>
#include <QTimer>

TPassport::TPassport(TDeviceSession& session, TProgSettings& settings, QWidget* window, const QString& path)
    : QObject(window)
    , m_session(session)
    , m_settings(settings)
    , m_window(window)
    , m_path(path)
{
    m_recorder = new THistoryRecorder(session, nullptr, this);
    connect(m_recorder, &THistoryRecorder::failed, this, &TPassport::Warn);
    // An open journal shows new events, read once per burst of them.
    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(300);
    connect(m_refresh, &QTimer::timeout, this, [this] {
        if (m_journal && m_journal->isVisible())
            m_journal->Refresh();
    });
    connect(m_recorder, &THistoryRecorder::recorded, this, [this] {
        if (m_journal && m_journal->isVisible() && !m_refresh->isActive())
            m_refresh->start();
    });
    AskInput = [this](TCertificateInput& input, qint64 sensor) {
        TfrmCertificateInput dialog(input, sensor, m_window);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        input = dialog.Input();
        return true;
    };
}

TPassport::~TPassport()
{
    // The journal's models read through the store's connection.
    delete m_journal;
}

void TPassport::Warn(const QString& text)
{
    if (m_warned)
        return;
    m_warned = true;
    emit aboutToWarn();
    m_session.Messages().Show(text, mkWarning, mbOk);
}

bool TPassport::OpenStore(bool readOnly)
{
    if (m_store && m_store->IsOpen() && (readOnly || m_store->CanWrite()))
        return true;
    delete m_journal;
    auto store = std::make_unique<THistoryStore>(m_path);
    const bool opened = store->Open(readOnly);
    m_store = std::move(store);
    m_recorder->SetStore(m_store.get());
    return opened;
}

void TPassport::Start()
{
    m_recorder->SetEnabled(m_settings.HistoryRecording);
    if (!m_settings.HistoryRecording)
        return;
    if (!OpenStore(false) || !m_store->CanWrite()) {
        Warn(m_store->Error() + QStringLiteral("\nСобытия в журнал приборов не записываются."));
        return;
    }
    const TChainCheck check = m_store->VerifyNew();
    if (!check.ok)
        Warn(QStringLiteral("Журнал приборов %1: %2.\nЗаписи не исправляются; проверьте журнал: "
                            "zelkor-cli history --verify")
                 .arg(m_store->Path(), check.Text()));
}

void TPassport::SetRecording(bool on)
{
    m_recorder->SetEnabled(on);
    if (on && (!m_store || !m_store->CanWrite()))
        Start();
}

bool TPassport::IsRecording() const
{
    return m_recorder->IsRecording();
}

TfrmJournal* TPassport::Journal()
{
    if (!m_journal) {
        if (!m_store || !m_store->IsOpen())
            OpenStore(true);
        m_journal = new TfrmJournal(*m_store, m_session.Messages(), m_window);
        m_journal->SaveFileName = SaveFileName;
        m_journal->SetCertificatesOffered(true);
        connect(m_journal, &TfrmJournal::certificateRequested, this, &TPassport::IssueCertificate);
    }
    return m_journal;
}

void TPassport::ShowJournal()
{
    TfrmJournal* journal = Journal();
    journal->Refresh();
    journal->show();
    journal->raise();
    journal->activateWindow();
}

bool TPassport::IssueCertificate(qint64 sensorNumber)
{
    if (!OpenStore(false) || !m_store->CanWrite()) {
        m_session.Messages().ShowError(QStringLiteral("Сертификат не выдан: %1").arg(m_store->Error()));
        return false;
    }
    TCertificateData data;
    QString error;
    if (!CertificateFromHistory(*m_store, sensorNumber, &data, &error)) {
        m_session.Messages().ShowError(error);
        return false;
    }
    TCertificateInput input;
    input.organisation = m_settings.OrgName;
    input.organisationAddress = m_settings.OrgAddress;
    input.technician = m_settings.Technician;
    input.approver = m_settings.Approver;
    if (!AskInput(input, sensorNumber))
        return false;
    // What was typed is offered next time.
    m_settings.OrgName = input.organisation;
    m_settings.OrgAddress = input.organisationAddress;
    m_settings.Technician = input.technician;
    m_settings.Approver = input.approver;
    data.input = input;
    TIssuedCertificate issued;
    const auto pathFor = [&](const QString& number) {
        return SaveFileName(m_window, QStringLiteral("Сохранить сертификат калибровки"),
                            QStringLiteral("sertifikat_%1.pdf").arg(number), QStringLiteral("Документы PDF (*.pdf)"));
    };
    if (!::IssueCertificate(*m_store, data, pathFor, QApplication::font(), &issued, &error, &m_session.events)) {
        m_session.Messages().ShowError(error);
        return false;
    }
    if (m_journal)
        m_journal->Refresh();
    return true;
}

bool TPassport::SaveCalibrationCertificate(const TCalibrationRecord& record)
{
    if (IsRecording())
        return IssueCertificate(record.transducer.SensorNum);
    return SaveProtocol ? SaveProtocol(record) : false;
}
