#pragma once

#include "app/JournalModels.h"
#include "app/SaveFileHook.h"

#include <QList>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class IMessageDialog;
class THistoryStore;

// "Журнал приборов": the transducers with their last event and verdict,
// narrowed by sensor number, type and period; the timeline of the one
// chosen; the details of an event; the selection exported to CSV or JSON.
class TfrmJournal : public QWidget {
    Q_OBJECT
public:
    TfrmJournal(THistoryStore& store, IMessageDialog& messages, QWidget* parent = nullptr);

    // Reads the list again (new events, another filter), keeping the unit chosen.
    void Refresh();
    TJournalFilter Filter() const;
    void SelectUnit(int row);
    void SelectEvent(int row);
    // The records the export takes: the events chosen in the timeline, else
    // the whole timeline, else every event of the transducers listed.
    QList<qint64> SelectedRecordIds();

    void btnExportCsvClick();
    void btnExportJsonClick();
    void btnCertificateClick();
    void btnVerifyClick();

    TSaveFileNameHook SaveFileName = AskSaveFileName;
    // Whether "certificate" is offered: only where somebody issues them.
    void SetCertificatesOffered(bool offered) { m_certificatesOffered = offered; }

    THistoryUnitsModel* UnitsModel() const { return m_units; }
    THistoryTimelineModel* TimelineModel() const { return m_timeline; }
    qint64 CurrentSensor() const { return m_sensor; }

    QLineEdit* edSensorNum;
    QComboBox* cbType;
    QCheckBox* cbPeriod;
    QDateEdit* deFrom;
    QDateEdit* deTo;
    QTableView* tvUnits;
    QTableView* tvTimeline;
    QPlainTextEdit* meDetails;
    QPushButton* btnExportCsv;
    QPushButton* btnExportJson;
    QPushButton* btnCertificate;
    QPushButton* btnVerify;
    QLabel* lbStatus;

signals:
    // A certificate wanted for the sensor (the passport asks what it needs).
    void certificateRequested(qint64 sensorNumber);

private:
    bool m_certificatesOffered = false;
    void LoadTimeline();
    bool Export(const QString& caption, const QString& suggested, const QString& filter, bool csv);

    THistoryStore& m_store;
    IMessageDialog& m_messages;
    THistoryUnitsModel* m_units;
    THistoryTimelineModel* m_timeline;
    qint64 m_sensor = -1;
    QString m_type;
};
