#pragma once

#include "device/TransducerData.h"

#include <QString>

class TConfigurationPage;
class TInformationPage;
struct TDeviceSession;

// Typed edits the information and configuration pages held when the device
// was lost. The pages are emptied then; the edits are kept and offered back
// once the same transducer (same type and sensor number) answers again.
class TKeptEdits {
public:
    static const QString AskRestore; // "Восстановить несохранённые изменения?"
    // After a write whose answer was lost: the values may be stored already.
    static const QString WriteAnswerLost;

    // The transducer just identified.
    void NoteIdentity(const TTransducerData& transducer);
    // Before the pages are emptied: what they hold unsaved.
    void Keep(const TDeviceSession& session, TInformationPage& info, TConfigurationPage& config);
    bool HasEdits() const { return m_info || m_config; }
    // After a connection: to the same transducer, asks and, on "Да", puts
    // the edits back on the pages, modified and unsaved. Asked once.
    bool OfferBack(TDeviceSession& session, TInformationPage& info, TConfigurationPage& config);

private:
    int m_type = 0;
    int32_t m_sensorNum = 0;
    bool m_identified = false;

    int m_keptType = 0;
    int32_t m_keptSensorNum = 0;
    bool m_info = false;
    QString m_sensorType, m_sensorNumText, m_sensorDate;
    bool m_config = false;
    TTransducerData m_configValues;
    int m_configAddress = 0;
};
