#pragma once

#include "device/DeviceSession.h"

#include <QString>

#include <functional>

// Identification (function 17) and the information record, registers
// 0x0008..0x0017: sensor type text, sensor number, sensor date.

constexpr int kIdentifyRequestLength = 4;
constexpr int kIdentifyAnswerLength = 55;
constexpr int kInformationWriteLength = 41;
constexpr int kSensorTypeWireLength = 24;

void BuildIdentifyRequest(int address, TFrameBuffer& request);
// Takes the identity and the information record of a 55-byte answer into the
// record. An impossible date shows "Неверная дата" and leaves SensorDate 0.
void ParseIdentifyAnswer(IMessageDialog& dialog, const TFrameBuffer& answer, TTransducerData& record);
void BuildInformationWriteRequest(const TTransducerData& record, TFrameBuffer& request);

// Identifies the device at `address`. On Success the record holds its
// identity and SlaveID = address, and the snapshot its information group;
// the caller puts the record on the page. NoAnswer/NoLink have disconnected
// (with the "не найден" message only while ReportLinkErrors was set). In
// every case the status bar is updated and ReportLinkErrors is set again.
TOutcome IdentifyDevice(TDeviceSession& session, int address);

// Writes the information record. Refuses without a date ("Вы забыли указать
// дату.", nothing sent, outcome Refused).
TOutcome WriteInformation(TDeviceSession& session);

// The page-modified flags; both share status panel 2 ("Mod" or empty).
void SetInfoModified(TDeviceSession& session, bool flag);
void SetConfigModified(TDeviceSession& session, bool flag);

// The save prompt at close for a changed information page. `showInformation`
// puts the record back on the page after a declined save.
void ConfirmSaveInformation(TDeviceSession& session, const std::function<void()>& showInformation);

// Texts of the page's validations and prompts.
namespace InfoText {
inline const QString NoConnection = QStringLiteral("Соединение не установлено.");
inline const QString NoConnectionNotSaved = QStringLiteral("Соединение не установлено. Изменения не сохранены.");
inline const QString AskSave = QStringLiteral("Записать изменения информации в память преобразователя?");
inline const QString NoDate = QStringLiteral("Вы забыли указать дату.");
inline const QString BadSensorNum = QStringLiteral("Недопустимое значение номера датчика");
inline const QString BadDate = QStringLiteral("Неправильно указана дата.");
} // namespace InfoText
