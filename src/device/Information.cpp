#include "device/Information.h"

#include "device/FrameDate.h"
#include "link/CommPortDriver.h"
#include "common/Cp1251.h"
#include "link/MessageDialog.h"

void BuildIdentifyRequest(int address, TFrameBuffer& request)
{
    request.fill(0);
    request[0] = static_cast<uint8_t>(address & 0xFF);
    request[1] = 0x11;
    PutFrameCRC(request, 2);
}

void ParseIdentifyAnswer(IMessageDialog& dialog, const TFrameBuffer& answer, TTransducerData& record)
{
    record.PLType = answer[3];
    record.PLTypeText = fromCp1251(TrimFrameText(GetFrameString(answer, 5, 16)));
    record.SensorTypeText = fromCp1251(TrimFrameText(GetFrameString(answer, 21, kSensorTypeWireLength)));
    record.SensorNum = GetFrameInt32(answer, 45);
    record.SensorDate = ReadFrameDate(dialog, answer, 49);
}

void BuildInformationWriteRequest(const TTransducerData& record, TFrameBuffer& request)
{
    request.fill(0);
    request[0] = static_cast<uint8_t>(record.SlaveID & 0xFF);
    request[1] = 0x10;
    request[2] = 0x00;
    request[3] = 0x08; // first register
    request[4] = 0x00;
    request[5] = 0x10; // 16 registers
    request[6] = 0x20; // 32 data bytes
    PutFrameString(request, 7, kSensorTypeWireLength, toCp1251(record.SensorTypeText));
    PutFrameInt(request, 31, 4, record.SensorNum);
    PutFrameDate(request, 35, record.SensorDate);
    PutFrameCRC(request, 39);
}

TOutcome IdentifyDevice(TDeviceSession& session, int address)
{
    TFrameBuffer request{};
    TFrameBuffer answer{};
    BuildIdentifyRequest(address, request);
    const TOutcome outcome = RunTransaction(session.link, TOperation::IdentifyDevice, request, answer);
    if (outcome == TOutcome::Success) {
        if (session.shell)
            session.shell->UpdateStatusBar();
        session.Transducer.SlaveID = address;
        ParseIdentifyAnswer(session.Messages(), answer, session.Transducer);
        CopyInfoFields(session.TransducerSnapshot, session.Transducer);
    }
    if (session.shell)
        session.shell->UpdateStatusBar();
    session.link.ReportLinkErrors = true;
    return outcome;
}

TOutcome WriteInformation(TDeviceSession& session)
{
    if (session.Transducer.SensorDate == 0) {
        session.Messages().Show(InfoText::NoDate, mkError, mbOk);
        return TOutcome::Refused;
    }
    TFrameBuffer request{};
    TFrameBuffer answer{};
    BuildInformationWriteRequest(session.Transducer, request);
    const TOutcome outcome = RunTransaction(session.link, TOperation::WriteInformation, request, answer);
    if (outcome == TOutcome::Success) {
        // The snapshot is what the device holds from now on.
        emit session.events.informationWritten(session.TransducerSnapshot, session.Transducer);
        CopyInfoFields(session.TransducerSnapshot, session.Transducer);
    }
    return outcome;
}

static void SetModifiedPanel(TDeviceSession& session, bool flag)
{
    if (session.shell)
        session.shell->SetStatusPanel(2, flag ? QStringLiteral("Mod") : QString());
}

void SetInfoModified(TDeviceSession& session, bool flag)
{
    session.Transducer.InfModified = flag;
    SetModifiedPanel(session, flag);
}

void SetConfigModified(TDeviceSession& session, bool flag)
{
    session.Transducer.ConfModified = flag;
    SetModifiedPanel(session, flag);
}

void ConfirmSaveInformation(TDeviceSession& session, const std::function<void()>& showInformation)
{
    if (!session.Transducer.InfModified)
        return;
    const bool open = session.link.drv && session.link.drv->IsPortOpen();
    if (!open) {
        session.Messages().Show(InfoText::NoConnectionNotSaved, mkInformation, mbOk);
    } else if (session.Messages().Show(InfoText::AskSave, mkConfirmation, mbYes | mbNo) == mrYes) {
        if (session.shell)
            session.shell->ProcessEvents();
        WriteInformation(session);
    } else {
        CopyInfoFields(session.Transducer, session.TransducerSnapshot);
        if (showInformation)
            showInformation();
    }
    SetInfoModified(session, false);
}
