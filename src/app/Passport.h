#pragma once

#include "app/SaveFileHook.h"
#include "passport/Certificate.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QTimer;
class QWidget;
class TfrmJournal;
class THistoryRecorder;
class THistoryStore;
struct TDeviceSession;
struct TProgSettings;

// The program's side of the history: the journal file opened at start (its
// new records checked), the session's events recorded while the settings
// want it, the journal window, and certificates issued from it. A file that
// cannot be used is told once; the program goes on without recording.
class TPassport : public QObject {
    Q_OBJECT
public:
    TPassport(TDeviceSession& session, TProgSettings& settings, QWidget* window, const QString& path);
    ~TPassport() override;

    void Start();
    void SetRecording(bool on);
    bool IsRecording() const;

    void ShowJournal();
    TfrmJournal* Journal(); // created on first use and kept
    // Asks what the certificate needs and where to save it; false when
    // cancelled or failed (a failure has shown its message).
    bool IssueCertificate(qint64 sensorNumber);
    // "Сохранить протокол...": the certificate of the calibration just done;
    // without a journal to number it, the one-page protocol.
    bool SaveCalibrationCertificate(const TCalibrationRecord& record);

    THistoryStore* Store() const { return m_store.get(); }
    THistoryRecorder* Recorder() const { return m_recorder; }

    // Seams: the save dialog, the input dialog (false: cancelled), the old protocol.
    TSaveFileNameHook SaveFileName = AskSaveFileName;
    std::function<bool(TCertificateInput&, qint64 sensorNumber)> AskInput;
    std::function<bool(const TCalibrationRecord&)> SaveProtocol;

signals:
    // Just before the one warning (the main window makes its message dialog).
    void aboutToWarn();
    void recorded();

private:
    bool OpenStore(bool readOnly);
    void Warn(const QString& text);

    TDeviceSession& m_session;
    TProgSettings& m_settings;
    QWidget* m_window;
    QString m_path;
    std::unique_ptr<THistoryStore> m_store;
    THistoryRecorder* m_recorder = nullptr;
    QPointer<TfrmJournal> m_journal;
    QTimer* m_refresh = nullptr;
    bool m_warned = false;
};
