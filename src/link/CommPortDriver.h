#pragma once

#include "link/PortNames.h"
#include "link/SerialDevice.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ITickSource;

enum TPortNumber : int { pnCustom = 0, pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8,
                         pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16 };
enum TBaudRate { brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400,
                 br56000, br57600, br115200, br128000, br256000 };
enum TDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl { sfNONE, sfXONXOFF };
enum TPacketMode { pmDiscard, pmPass };

// bit/s of a TBaudRate; 0 for brCustom.
uint32_t BaudRateOf(TBaudRate rate);

// The serial port component. All calls and the polling timer run on the GUI
// thread. Reads and writes wait with idle time-outs measured on the tick
// source; they sleep in the backend (poll) or for 1 ms per turn, never spin.
// Packet mode is not built: PacketSize/PacketTimeout/PacketMode are kept as
// properties only, and bytes always go to OnReceiveData.
class TCommPortDriver : public QObject {
    Q_OBJECT
public:
    using TReceiveDataEvent = std::function<void(TCommPortDriver* sender, const uint8_t* data, int size)>;

    // ticks: default SystemTicks(); device: default the platform's backend.
    explicit TCommPortDriver(ITickSource* ticks = nullptr, std::unique_ptr<ISerialDevice> device = nullptr,
                             QObject* parent = nullptr);
    ~TCommPortDriver() override;

    bool OpenPort();
    void ClosePort();
    bool IsPortOpen() const;
    bool ApplyPortSettings();
    bool PurgeBuffers(bool input, bool output);
    int InputQueueCount();   // 65535 while closed
    int OutputFreeSpace();   // 65535 while closed
    int WriteBytesTimed(const uint8_t* data, int count, uint32_t timeout);
    int WriteBytes(const uint8_t* data, int count);
    int ReadBytes(uint8_t* buffer, int count);
    // As ReadBytes, but also ends as soon as complete(bytes read so far) is
    // true after new bytes came in.
    int ReadBytes(uint8_t* buffer, int count, const std::function<bool(int got)>& complete);
    // Takes at most `count` of the bytes already queued; never waits.
    int ReadQueued(uint8_t* buffer, int count);
    void SuspendPolling();
    void ResumePolling();
    int ModemLineStatus();   // mlCTS | mlDSR | mlRING | mlRLSD; 0 closed or unknown

    // Blocks until input arrives or `ms` pass (at most 1 ms while bytes are
    // already queued, so a caller waiting for more bytes re-checks soon).
    void WaitForInput(uint32_t ms);
    // Blocks until input is readable or `ms` pass; returns at once while
    // bytes are queued, so it suits a caller that takes them as they come.
    void WaitReadable(uint32_t ms);
    ITickSource& Ticks() const { return *m_ticks; }
    // Time one character takes on the line at the current settings
    // (start bit, data bits, parity, stop bits); 0 without a rate.
    uint32_t CharacterTimeUs() const;

    // The polling timer's handler; public so tests can tick it by hand.
    void PollTimerTick();

    // Why the last OpenPort failed (None after a success).
    TPortOpenError lastOpenError() const { return m_openError; }
    // The device that last OpenPort failure concerns (the resolved path).
    QString lastOpenErrorDevice() const;
    // The device path the last OpenPort tried.
    QString lastDevicePath() const { return m_devicePath; }

    // [Ports] section: COM number -> device path.
    void setPortMap(const TPortMap& map) { m_portMap = map; }
    const TPortMap& portMap() const { return m_portMap; }

    // Properties. Setters clamp, and refuse Port/PortName/buffer sizes while open.
    int Port() const { return m_port; }
    void SetPort(int port);
    QString PortName() const { return m_portName; }
    void SetPortName(const QString& name);
    TBaudRate BaudRate() const { return m_baudRate; }
    void SetBaudRate(TBaudRate rate);
    uint32_t BaudRateValue() const { return m_baudRateValue; }
    void SetBaudRateValue(uint32_t value);
    TDataBits DataBits() const { return m_dataBits; }
    void SetDataBits(TDataBits bits);
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits bits);
    TParity Parity() const { return m_parity; }
    void SetParity(TParity parity);
    THwFlowControl HwFlow() const { return m_hwFlow; }
    void SetHwFlow(THwFlowControl flow);
    TSwFlowControl SwFlow() const { return m_swFlow; }
    void SetSwFlow(TSwFlowControl flow);
    uint32_t InBufSize() const { return m_inBufSize; }
    void SetInBufSize(uint32_t size);
    uint32_t OutBufSize() const { return m_outBufSize; }
    void SetOutBufSize(uint32_t size);
    int16_t PacketSize() const { return m_packetSize; }
    void SetPacketSize(int16_t size) { m_packetSize = size; }
    int32_t PacketTimeout() const { return m_packetTimeout; }
    void SetPacketTimeout(int32_t ms) { m_packetTimeout = ms; }
    TPacketMode PacketMode() const { return m_packetMode; }
    void SetPacketMode(TPacketMode mode) { m_packetMode = mode; }
    uint16_t PollingDelay() const { return m_pollingDelay; }
    void SetPollingDelay(uint16_t ms);
    int PollingPauseCount() const { return m_pauseCount; }

    // Plain fields, read when used.
    bool EnableDTROnOpen = true;
    uint16_t OutputTimeout = 500;
    uint32_t InputTimeout = 200;
    bool CheckLineStatus = false;
    TReceiveDataEvent OnReceiveData; // empty = detached: polled bytes are dropped

private:
    TLineSettings lineSettings() const;
    void reapplyIfOpen();

    ITickSource* m_ticks;
    std::unique_ptr<ISerialDevice> m_device;
    QTimer m_pollTimer;
    std::vector<uint8_t> m_receiveBuffer;
    TPortMap m_portMap;
    TPortOpenError m_openError = TPortOpenError::None;
    QString m_devicePath;
    int m_pauseCount = 0;

    int m_port = pnCOM2;
    QString m_portName = QStringLiteral("\\\\.\\COM2");
    TBaudRate m_baudRate = br9600;
    uint32_t m_baudRateValue = 9600;
    TDataBits m_dataBits = db8BITS;
    TStopBits m_stopBits = sb1BITS;
    TParity m_parity = ptNONE;
    THwFlowControl m_hwFlow = hfNONERTSON;
    TSwFlowControl m_swFlow = sfNONE;
    uint32_t m_inBufSize = 2048;
    uint32_t m_outBufSize = 2048;
    int16_t m_packetSize = -1;
    int32_t m_packetTimeout = -1;
    TPacketMode m_packetMode = pmDiscard;
    uint16_t m_pollingDelay = 50;
};
