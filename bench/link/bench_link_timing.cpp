// How long the exchanges take against zelkor-sim on a pty (paced at 1200
// bit/s, reply delay 20 ms), with the project's own transaction and, when
// built with libmodbus, with libmodbus as the reference master on the same
// line. Prints one figure per line with its ratio (to libmodbus, or to its
// limit where there is no reference):
//   configuration read, identification, the connect sequence (medians);
//   one empty address of the search's quick pass; the search with the device
//   at address 255, from the timed empty address and the timed find;
//   CPU per configuration read.
// Exit status 1 when a figure misses its limit, 2 when the bench cannot run.

#include "SimProcess.h"

#include "link/CommPortDriver.h"
#include "link/Frame.h"
#include "link/TickSource.h"
#include "link/Transaction.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <ctime>

#ifdef ZELKOR_HAVE_LIBMODBUS
#include <modbus.h>
#endif

namespace {

constexpr int kRuns = 11;
// libmodbus takes slave addresses up to 247 only; the device at 255 of the
// search figure is computed from the times at address 1, which are the same.
constexpr int kDevice = 1;
constexpr int kEmpty = 7; // nobody answers here

class QuietShell final : public ILinkShell {
public:
    explicit QuietShell(TCommPortDriver& drv) : m_drv(drv) {}
    void LinkStatus(TLinkStatus) override {}
    void LinkFault(const TLinkFault&) override {}
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void DeviceLost(const TLinkFault&) override { m_drv.ClosePort(); }

private:
    TCommPortDriver& m_drv;
};

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Median of `runs` timings of `once`; a failed run ends the bench.
double Median(const char* what, const std::function<bool()>& once, int runs = kRuns)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double t0 = NowMs();
        if (!once()) {
            std::fprintf(stderr, "%s: run %d failed\n", what, i + 1);
            std::exit(2);
        }
        ms.push_back(NowMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

TFrameBuffer Request(uint8_t address, std::initializer_list<uint8_t> body)
{
    TFrameBuffer b{};
    b[0] = address;
    int n = 1;
    for (uint8_t v : body)
        b[n++] = v;
    PutFrameCRC(b, n);
    return b;
}

struct OwnLink {
    TCommPortDriver drv;
    QuietShell shell{drv};
    TLinkContext ctx;

    explicit OwnLink(const QString& path)
    {
        drv.SetPortName(path);
        drv.SetBaudRateValue(1200);
        drv.SetStopBits(sb2BITS);
        drv.SetPollingDelay(500);
        drv.EnableDTROnOpen = false;
        drv.OutputTimeout = 1000;
        drv.InputTimeout = 1000;
        ctx.drv = &drv;
        ctx.ticks = &SystemTicks();
        ctx.shell = &shell;
    }
    bool open()
    {
        if (drv.OpenPort())
            return true;
        std::fprintf(stderr, "open: %s\n", qPrintable(QStringLiteral("reason %1, %2").arg(int(drv.lastOpenError())).arg(drv.lastOpenErrorDevice())));
        return false;
    }
    bool run(TOperation op, const TFrameBuffer& request)
    {
        TFrameBuffer answer{};
        return RunTransaction(ctx, op, request, answer) == TOutcome::Success;
    }
    // The calibration date at connection: one attempt, 15 bytes.
    bool readCalibrationDate()
    {
        const TFrameBuffer request = Request(kDevice, {0x03, 0x00, 0x20, 0x00, 0x05});
        drv.PurgeBuffers(true, true);
        if (drv.WriteBytes(request.data(), 8) < 8)
            return false;
        AnswerWait(ctx, 15);
        TFrameBuffer answer{};
        return drv.ReadBytes(answer.data(), 15) == 15 && AnswerCRCValid(answer, 15);
    }
};

#ifdef ZELKOR_HAVE_LIBMODBUS
struct ModbusLink {
    modbus_t* mb = nullptr;
    explicit ModbusLink(const QString& path)
    {
        mb = modbus_new_rtu(qPrintable(path), 1200, 'N', 8, 2);
        if (!mb)
            return;
        modbus_set_slave(mb, kDevice);
        modbus_set_response_timeout(mb, 1, 0);
        if (modbus_connect(mb) != 0) {
            std::fprintf(stderr, "libmodbus: %s\n", modbus_strerror(errno));
            modbus_free(mb);
            mb = nullptr;
        }
    }
    ~ModbusLink()
    {
        if (mb) {
            modbus_close(mb);
            modbus_free(mb);
        }
    }
    bool readConfig()
    {
        uint16_t regs[8];
        return modbus_read_registers(mb, 0x18, 8, regs) == 8;
    }
    bool identify()
    {
        uint8_t dest[MODBUS_MAX_PDU_LENGTH];
        return modbus_report_slave_id(mb, sizeof dest, dest) > 0;
    }
    bool readCalibrationDate()
    {
        uint16_t regs[5];
        return modbus_read_registers(mb, 0x20, 5, regs) == 5;
    }
};
#endif

int failures = 0;

void Figure(const char* name, double ms, double reference, const char* refName, double limitRatio)
{
    const double ratio = ms / reference;
    std::printf("%s: %.1f ms, %s %.1f ms, ratio %.3f\n", name, ms, refName, reference, ratio);
    if (ratio > limitRatio) {
        std::printf("  over the limit of %.2f\n", limitRatio);
        ++failures;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    SimProcess sim({QStringLiteral("--reply-delay"), QStringLiteral("20"), QStringLiteral("--address"),
                    QString::number(kDevice), QStringLiteral("--noise"), QStringLiteral("0")});
    if (!sim.start()) {
        std::fprintf(stderr, "zelkor-sim: %s\n", qPrintable(sim.error()));
        return 2;
    }

    const TFrameBuffer readConfig = Request(kDevice, {0x03, 0x00, 0x18, 0x00, 0x08});
    const TFrameBuffer identify = Request(kDevice, {0x11});
    double mbCpuPerRead = 0;
    double ownConfig = 0, ownIdentify = 0, ownConnect = 0, emptyAddress = 0, cpuPerRead = 0;
    {
        OwnLink own(sim.devicePath());
        if (!own.open())
            return 2;
        own.run(TOperation::ReadConfiguration, readConfig); // first use: lazy set-up out of the figures
        const double cpu0 = CpuMs();
        ownConfig = Median("config read", [&] { return own.run(TOperation::ReadConfiguration, readConfig); });
        cpuPerRead = (CpuMs() - cpu0) / kRuns;
        ownIdentify = Median("identification", [&] { return own.run(TOperation::IdentifyDevice, identify); });
        ownConnect = Median("connect", [&] {
            return own.run(TOperation::IdentifyDevice, identify) && own.run(TOperation::ReadConfiguration, readConfig)
                && own.readCalibrationDate();
        });
        // One address of the quick pass as the search tries it: open, identify, closed again.
        own.drv.ClosePort();
        own.ctx.FirstByteWindow = 250;
        own.drv.InputTimeout = 500;
        const TFrameBuffer empty = Request(kEmpty, {0x11});
        emptyAddress = Median("empty address", [&] {
            own.drv.OpenPort();
            TFrameBuffer answer{};
            const bool silent = RunTransaction(own.ctx, TOperation::IdentifyDevice, empty, answer) == TOutcome::NoAnswer;
            return silent && !own.drv.IsPortOpen();
        });
        own.drv.ClosePort();
    }

#ifdef ZELKOR_HAVE_LIBMODBUS
    {
        ModbusLink mb(sim.devicePath());
        if (!mb.mb)
            return 2;
        mb.readConfig();
        const double cpu0 = CpuMs();
        const double mbConfig = Median("libmodbus config read", [&] { return mb.readConfig(); });
        mbCpuPerRead = (CpuMs() - cpu0) / kRuns;
        const double mbIdentify = Median("libmodbus identification", [&] { return mb.identify(); });
        const double mbConnect = Median("libmodbus connect", [&] {
            return mb.identify() && mb.readConfig() && mb.readCalibrationDate();
        });
        Figure("config read", ownConfig, mbConfig, "libmodbus", 1.02);
        Figure("identification", ownIdentify, mbIdentify, "libmodbus", 1.02);
        Figure("connect sequence", ownConnect, mbConnect, "libmodbus", 1.02);
    }
#else
    std::printf("config read: %.1f ms (libmodbus reference not built)\n", ownConfig);
    std::printf("identification: %.1f ms (libmodbus reference not built)\n", ownIdentify);
    std::printf("connect sequence: %.1f ms (libmodbus reference not built)\n", ownConnect);
#endif
    Figure("quick pass, one empty address", emptyAddress, 300, "limit", 1.0);
    // 254 empty addresses, then the device: its identification and the connection.
    const double searchMs = 254 * emptyAddress + ownIdentify + ownConnect;
    std::printf("search, device at address 255: %.1f s (254 x %.1f ms + %.1f ms found + %.1f ms connect), "
                "limit 80 s, ratio %.3f\n",
                searchMs / 1000, emptyAddress, ownIdentify, ownConnect, searchMs / 80000);
    if (searchMs > 80000)
        ++failures;
    Figure("CPU per config read", cpuPerRead, 1.0, "limit", 1.0);
#ifdef ZELKOR_HAVE_LIBMODBUS
    std::printf("CPU per config read, libmodbus: %.2f ms (ratio %.3f)\n", mbCpuPerRead, cpuPerRead / mbCpuPerRead);
#endif

    sim.stop();
    return failures == 0 ? 0 : 1;
}
