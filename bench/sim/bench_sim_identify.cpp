// Time of an answered identification against zelkor-sim beyond what the line
// and the time-outs impose: 55 characters at 1200 bit/s (11 bits each), the
// simulator's reply delay and the read's idle end (InputTimeout). What is
// left is the cost of the simulator, the pty and the link code together.
// Exit status 1 when the mean exceeds 10 ms.

#include "SimProcess.h"

#include "link/CommPortDriver.h"
#include "link/Frame.h"
#include "link/TickSource.h"
#include "link/Transaction.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

class QuietShell final : public ILinkShell {
public:
    void LinkStatus(TLinkStatus) override {}
    void LinkFault(const TLinkFault&) override {}
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void DeviceLost(const TLinkFault&) override { ++disconnects; }
    int disconnects = 0;
};

constexpr int kReplyDelayMs = 20;
constexpr uint32_t kInputTimeoutMs = 1000;
constexpr int kRuns = 6;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    SimProcess sim({QStringLiteral("--reply-delay"), QString::number(kReplyDelayMs)});
    if (!sim.start()) {
        std::fprintf(stderr, "zelkor-sim: %s\n", qPrintable(sim.error()));
        return 2;
    }

    TCommPortDriver drv;
    drv.SetPortName(sim.devicePath());
    drv.SetBaudRateValue(1200);
    drv.SetStopBits(sb2BITS);
    drv.SetPollingDelay(500);
    drv.EnableDTROnOpen = false;
    drv.OutputTimeout = 1000;
    drv.InputTimeout = kInputTimeoutMs;
    if (!drv.OpenPort()) {
        std::fprintf(stderr, "open: %s\n", qPrintable(QStringLiteral("reason %1, %2").arg(int(drv.lastOpenError())).arg(drv.lastOpenErrorDevice())));
        return 2;
    }
    QuietShell shell;
    TLinkContext ctx;
    ctx.drv = &drv;
    ctx.ticks = &SystemTicks();
    ctx.shell = &shell;

    TFrameBuffer request{};
    request[0] = 1;
    request[1] = 0x11;
    PutFrameCRC(request, 2);

    const double imposedMs = 55 * 11 * 1000.0 / 1200.0 + kReplyDelayMs + kInputTimeoutMs;
    std::vector<double> overhead;
    for (int i = 0; i < kRuns; ++i) {
        TFrameBuffer answer{};
        int count = 0;
        const auto t0 = std::chrono::steady_clock::now();
        const TOutcome outcome = RunTransaction(ctx, TOperation::IdentifyDevice, request, answer, &count);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (outcome != TOutcome::Success || count != 55) {
            std::fprintf(stderr, "run %d: no good answer (%d bytes)\n", i + 1, count);
            return 2;
        }
        overhead.push_back(ms - imposedMs);
        std::printf("run %d: %.1f ms, %.2f ms beyond the imposed %.1f ms\n", i + 1, ms, ms - imposedMs, imposedMs);
    }
    drv.ClosePort();
    sim.stop();

    double sum = 0;
    for (double o : overhead)
        sum += o;
    const double mean = sum / double(overhead.size());
    const double worst = *std::max_element(overhead.begin(), overhead.end());
    std::printf("identification overhead: mean %.2f ms, worst %.2f ms (limit 10 ms)\n", mean, worst);
    return mean < 10.0 ? 0 : 1;
}
