#include "link/CommPortDriver.h"

#include "link/TickSource.h"

#include <algorithm>

namespace {

constexpr int kClosedQueueValue = 65535;
constexpr uint32_t kMinBufSize = 128;
constexpr uint32_t kMaxBufSize = 8192;
constexpr uint16_t kMinPollingDelay = 5;

} // namespace

uint32_t BaudRateOf(TBaudRate rate)
{
    static const uint32_t rates[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400,
                                     56000, 57600, 115200, 128000, 256000};
    const int i = int(rate);
    return i >= 0 && i < int(std::size(rates)) ? rates[i] : 0;
}

TCommPortDriver::TCommPortDriver(ITickSource* ticks, std::unique_ptr<ISerialDevice> device, QObject* parent)
    : QObject(parent)
    , m_ticks(ticks ? ticks : &SystemTicks())
    , m_device(device ? std::move(device) : MakeSystemSerialDevice())
{
    m_receiveBuffer.assign(m_inBufSize, 0);
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pollTimer, &QTimer::timeout, this, &TCommPortDriver::PollTimerTick);
}

TCommPortDriver::~TCommPortDriver()
{
    ClosePort();
}

bool TCommPortDriver::OpenPort()
{
    if (IsPortOpen())
        return true;
    m_devicePath = ResolvePortDevice(m_portName, m_portMap);
    m_openError = m_device->open(m_devicePath);
    if (m_openError != TPortOpenError::None)
        return false;
    if (!ApplyPortSettings()) {
        const TPortOpenError why = m_openError;
        ClosePort();
        m_openError = why;
        return false;
    }
    m_pauseCount = 0;
    m_pollTimer.start(m_pollingDelay);
    return true;
}

void TCommPortDriver::ClosePort()
{
    if (!IsPortOpen())
        return;
    m_pollTimer.stop();
    m_device->close();
}

bool TCommPortDriver::IsPortOpen() const
{
    return m_device->isOpen();
}

bool TCommPortDriver::ApplyPortSettings()
{
    if (!IsPortOpen())
        return false;
    const TPortOpenError err = m_device->applyLineSettings(lineSettings());
    if (err != TPortOpenError::None) {
        m_openError = err;
        return false;
    }
    if (!PurgeBuffers(true, true)) {
        m_openError = TPortOpenError::Other;
        return false;
    }
    // Queue sizes are the kernel's on a tty; InBufSize and OutBufSize only
    // bound the receive buffer and the output free space.
    return true;
}

bool TCommPortDriver::PurgeBuffers(bool input, bool output)
{
    if (!IsPortOpen())
        return false;
    if (!input && !output)
        return true;
    return m_device->purge(input, output);
}

int TCommPortDriver::InputQueueCount()
{
    if (!IsPortOpen())
        return kClosedQueueValue;
    return std::max(0, m_device->inputQueued());
}

int TCommPortDriver::OutputFreeSpace()
{
    if (!IsPortOpen())
        return kClosedQueueValue;
    const int queued = std::max(0, m_device->outputQueued());
    return std::max(0, int(m_outBufSize) - queued);
}

int TCommPortDriver::WriteBytesTimed(const uint8_t* data, int count, uint32_t timeout)
{
    if (!IsPortOpen() || count <= 0)
        return 0;
    int written = 0;
    uint32_t lastProgress = m_ticks->GetTickCount();
    while (written < count) {
        bool moved = false;
        const int space = OutputFreeSpace();
        if (space > 0) {
            const int n = m_device->write(data + written, std::min(count - written, space));
            if (n < 0)
                break; // the device went away
            if (n > 0) {
                written += n;
                moved = true;
                lastProgress = m_ticks->GetTickCount();
            }
        }
        if (written >= count)
            break;
        if (CheckLineStatus && ModemLineStatus() == 0)
            break;
        if (!moved) {
            if (TicksSince(m_ticks->GetTickCount(), lastProgress) > timeout)
                break;
            m_ticks->Sleep(1);
        }
    }
    return written;
}

int TCommPortDriver::WriteBytes(const uint8_t* data, int count)
{
    return WriteBytesTimed(data, count, OutputTimeout);
}

int TCommPortDriver::ReadBytes(uint8_t* buffer, int count)
{
    return ReadBytes(buffer, count, {});
}

int TCommPortDriver::ReadBytes(uint8_t* buffer, int count, const std::function<bool(int got)>& complete)
{
    if (!IsPortOpen() || count <= 0)
        return 0;
    SuspendPolling();
    int got = 0;
    uint32_t lastProgress = m_ticks->GetTickCount();
    while (got < count) {
        const int queued = InputQueueCount();
        if (queued > 0) {
            const int n = m_device->read(buffer + got, std::min(count - got, queued));
            if (n < 0)
                break;
            if (n > 0) {
                got += n;
                lastProgress = m_ticks->GetTickCount();
                if (complete && complete(got))
                    break;
                continue;
            }
        }
        const uint32_t idle = TicksSince(m_ticks->GetTickCount(), lastProgress);
        if (idle > InputTimeout)
            break;
        // Wake on the next byte, or just after the idle limit.
        WaitForInput(InputTimeout - idle + 1);
    }
    ResumePolling();
    return got;
}

int TCommPortDriver::ReadQueued(uint8_t* buffer, int count)
{
    if (!IsPortOpen() || count <= 0)
        return 0;
    // The backend's read never blocks: no need to count the queue first.
    SuspendPolling();
    const int n = m_device->read(buffer, count);
    ResumePolling();
    return std::max(0, n);
}

void TCommPortDriver::WaitReadable(uint32_t ms)
{
    if (IsPortOpen() && ms > 0)
        m_device->waitReadable(ms);
}

uint32_t TCommPortDriver::CharacterTimeUs() const
{
    if (m_baudRateValue == 0)
        return 0;
    // In half bits, for the 1.5 stop bits.
    const uint64_t stopHalves = m_stopBits == sb1BITS ? 2 : m_stopBits == sb1HALFBITS ? 3 : 4;
    const uint64_t halves = 2 * (1 + 5 + uint64_t(m_dataBits) + (m_parity == ptNONE ? 0 : 1)) + stopHalves;
    return uint32_t((halves * 500000u + m_baudRateValue - 1) / m_baudRateValue);
}

void TCommPortDriver::WaitForInput(uint32_t ms)
{
    if (ms == 0)
        return;
    if (!IsPortOpen() || InputQueueCount() > 0) {
        m_ticks->Sleep(1);
        return;
    }
    m_device->waitReadable(ms);
}

void TCommPortDriver::SuspendPolling()
{
    ++m_pauseCount;
}

void TCommPortDriver::ResumePolling()
{
    --m_pauseCount;
}

int TCommPortDriver::ModemLineStatus()
{
    if (!IsPortOpen())
        return 0;
    return std::max(0, m_device->modemStatus());
}

void TCommPortDriver::PollTimerTick()
{
    if (!IsPortOpen() || m_pauseCount > 0)
        return;
    const int queued = InputQueueCount();
    if (queued <= 0)
        return;
    const int n = m_device->read(m_receiveBuffer.data(), std::min<int>(queued, int(m_receiveBuffer.size())));
    if (n > 0 && OnReceiveData)
        OnReceiveData(this, m_receiveBuffer.data(), n);
}

QString TCommPortDriver::lastOpenErrorDevice() const
{
    return m_devicePath.isEmpty() ? ResolvePortDevice(m_portName, m_portMap) : m_devicePath;
}

void TCommPortDriver::SetPort(int port)
{
    if (IsPortOpen() || port < 0)
        return;
    m_port = port;
    if (port >= 1)
        m_portName = ComPortName(port);
}

void TCommPortDriver::SetPortName(const QString& name)
{
    if (IsPortOpen())
        return;
    m_portName = name;
    m_port = pnCustom;
}

void TCommPortDriver::SetBaudRate(TBaudRate rate)
{
    m_baudRate = rate;
    if (rate != brCustom)
        m_baudRateValue = BaudRateOf(rate);
    reapplyIfOpen();
}

void TCommPortDriver::SetBaudRateValue(uint32_t value)
{
    m_baudRateValue = value;
    m_baudRate = brCustom;
    reapplyIfOpen();
}

void TCommPortDriver::SetDataBits(TDataBits bits)
{
    m_dataBits = bits;
    reapplyIfOpen();
}

void TCommPortDriver::SetStopBits(TStopBits bits)
{
    m_stopBits = bits;
    reapplyIfOpen();
}

void TCommPortDriver::SetParity(TParity parity)
{
    m_parity = parity;
    reapplyIfOpen();
}

void TCommPortDriver::SetHwFlow(THwFlowControl flow)
{
    m_hwFlow = flow;
    reapplyIfOpen();
}

void TCommPortDriver::SetSwFlow(TSwFlowControl flow)
{
    m_swFlow = flow;
    reapplyIfOpen();
}

void TCommPortDriver::SetInBufSize(uint32_t size)
{
    if (IsPortOpen())
        return;
    m_inBufSize = std::clamp(size, kMinBufSize, kMaxBufSize);
    m_receiveBuffer.assign(m_inBufSize, 0);
}

void TCommPortDriver::SetOutBufSize(uint32_t size)
{
    if (IsPortOpen())
        return;
    m_outBufSize = std::clamp(size, kMinBufSize, kMaxBufSize);
}

void TCommPortDriver::SetPollingDelay(uint16_t ms)
{
    m_pollingDelay = std::max(ms, kMinPollingDelay);
    if (IsPortOpen())
        m_pollTimer.start(m_pollingDelay);
}

TLineSettings TCommPortDriver::lineSettings() const
{
    TLineSettings s;
    s.baud = m_baudRateValue;
    s.dataBits = 5 + int(m_dataBits);
    s.stopBits = int(m_stopBits);
    s.parity = int(m_parity);
    s.rtsOn = m_hwFlow != hfNONE;
    s.rtsCts = m_hwFlow == hfRTSCTS;
    s.dtrOn = EnableDTROnOpen;
    s.xonXoff = m_swFlow == sfXONXOFF;
    return s;
}

void TCommPortDriver::reapplyIfOpen()
{
    if (IsPortOpen())
        ApplyPortSettings();
}
