#include "app/KeptEdits.h"

#include "app/ConfigurationPage.h"
#include "app/InformationPage.h"
#include "device/DeviceSession.h"
#include "device/Information.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbCheckBox.h"

#include <QLineEdit>
#include <QSpinBox>

const QString TKeptEdits::AskRestore = QStringLiteral("Восстановить несохранённые изменения?");
const QString TKeptEdits::WriteAnswerLost =
    QStringLiteral("Ответ на запись не получен, но преобразователь мог уже сохранить новые значения.\n\r"
                   "Прочитайте их после восстановления связи: прочитанные значения покажут, что он хранит.");

void TKeptEdits::NoteIdentity(const TTransducerData& t)
{
    m_type = t.PLType;
    m_sensorNum = t.SensorNum;
    m_identified = true;
}

void TKeptEdits::Keep(const TDeviceSession& session, TInformationPage& info, TConfigurationPage& config)
{
    const TTransducerData& t = session.Transducer;
    if (!m_identified || (!t.InfModified && !t.ConfModified))
        return;
    m_keptType = m_type;
    m_keptSensorNum = m_sensorNum;
    m_info = t.InfModified;
    if (m_info) {
        m_sensorType = info.edSensorType->text();
        m_sensorNumText = info.edSensorNum->text();
        m_sensorDate = info.meSensorDate->text();
    }
    m_config = t.ConfModified;
    if (m_config) {
        // The options are in the record as clicked; the numbers stand in their fields.
        for (QSpinBox* s : {config.rseTopTempBound, config.rseBottomTempBound, config.rseAverage, config.rseConfSlaveID})
            s->interpretText();
        m_configValues = t;
        m_configValues.TopTempBound = config.rseTopTempBound->value();
        m_configValues.BottomTempBound = config.rseBottomTempBound->value();
        m_configValues.Average = config.cbAverageTurnOn->Checked() ? config.rseAverage->value() : 0;
        m_configAddress = config.rseConfSlaveID->value();
    }
}

bool TKeptEdits::OfferBack(TDeviceSession& session, TInformationPage& info, TConfigurationPage& config)
{
    if (!HasEdits() || !m_identified || m_type != m_keptType || m_sensorNum != m_keptSensorNum)
        return false;
    const bool restoreInfo = m_info;
    const bool restoreConfig = m_config;
    m_info = m_config = false; // asked once, whatever the answer
    if (session.Messages().Show(AskRestore, mkConfirmation, mbYes | mbNo) != mrYes)
        return false;
    TTransducerData& t = session.Transducer;
    if (restoreConfig) {
        const int32_t address = t.SlaveID; // the address changes only when written
        CopyConfigFields(t, m_configValues);
        t.SlaveID = address;
        config.ShowConfiguration();
        config.rseConfSlaveID->setValue(m_configAddress);
        SetConfigModified(session, true);
    }
    if (restoreInfo) {
        // As typed: the write takes and checks them as it takes typed fields.
        for (auto [field, text] : {std::pair{info.edSensorType, m_sensorType}, std::pair{info.edSensorNum, m_sensorNumText},
                                   std::pair{info.meSensorDate, m_sensorDate}}) {
            field->setText(text);
            emit field->textEdited(text);
        }
        SetInfoModified(session, true);
    }
    return true;
}
