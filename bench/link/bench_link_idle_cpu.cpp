// Runs one ReadConfiguration transaction with RepeatNum 2 against a pseudo-
// terminal nobody answers (about 4 s) and reports the process CPU time over
// the wall time. Waiting must sleep in poll()/nanosleep, not spin.
// Exit status 1 when the share reaches 2 %.

#include "link/CommPortDriver.h"
#include "link/Transaction.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class QuietShell final : public ILinkShell {
public:
    void LinkStatus(TLinkStatus) override {}
    void LinkFault(const TLinkFault&) override {}
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void DeviceLost(const TLinkFault&) override { disconnected = true; }
    bool disconnected = false;
};

double CpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("posix_openpt");
        return 2;
    }
    TCommPortDriver drv;
    drv.SetPortName(QString::fromLocal8Bit(ptsname(master)));
    drv.SetBaudRateValue(1200);
    drv.SetStopBits(sb2BITS);
    drv.EnableDTROnOpen = false;
    drv.InputTimeout = 1000;
    drv.OutputTimeout = 1000;
    drv.SetPollingDelay(500);
    if (!drv.OpenPort()) {
        std::fprintf(stderr, "%s\n", qPrintable(QStringLiteral("reason %1, %2").arg(int(drv.lastOpenError())).arg(drv.lastOpenErrorDevice())));
        return 2;
    }
    QuietShell shell;
    TLinkContext ctx{&drv, nullptr, &shell, 2, true};

    TFrameBuffer request{};
    request[0] = 0x01;
    request[1] = 0x03;
    request[3] = 0x18;
    request[5] = 0x08;
    PutFrameCRC(request, 6);
    TFrameBuffer answer{};

    const double cpu0 = CpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    const TOutcome outcome = RunTransaction(ctx, TOperation::ReadConfiguration, request, answer);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double cpu = CpuSeconds() - cpu0;
    const double share = 100.0 * cpu / wall;

    std::printf("outcome %s, wall %.3f s, cpu %.4f s, cpu/wall %.3f %%\n",
                outcome == TOutcome::NoAnswer ? "NoAnswer" : "unexpected", wall, cpu, share);
    close(master);
    return outcome == TOutcome::NoAnswer && shell.disconnected && share < 2.0 ? 0 : 1;
}
