// bench_startup [--runs N] [--program PATH] [--window PATH] [--check]
//
// Starts zelkor and bench_startup_window (a bare window of the same size and
// title) in turn on a private Xvfb display, each from launch until its window
// has been painted (the "zelkor: shown" line of ZELKOR_STARTUP_PROBE), and
// reads the resident memory once the window stands, and the processor time
// its threads used by then (steadier than the clock on a shared machine).
// Prints the medians of N runs (5) and the ratios; --check fails when start-up is over 1.5 times
// and memory over 1.2 times the bare window's. The same window with one line
// of text runs beside them, for the share of memory any text costs.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr double kMaxTimeRatio = 1.5;
constexpr double kMaxMemoryRatio = 1.2;
constexpr int kShownTimeoutMs = 20000;
constexpr int kSettleMs = 300;

struct TSample
{
    double ms = 0;    // wall clock, launch to painted window
    double cpuMs = 0; // time on a processor by then, all threads: steadier on a busy machine
    double rssMB = 0;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Nanoseconds the process's threads have run (first field of schedstat).
double CpuMs(qint64 pid)
{
    double ns = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(t) + QStringLiteral("/schedstat"));
        if (f.open(QIODevice::ReadOnly))
            ns += f.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

std::optional<double> ResidentMB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return std::nullopt;
}

// A display of our own, so no desktop or other run disturbs the figures.
class TXvfb
{
public:
    ~TXvfb()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.terminate();
            if (!m_proc.waitForFinished(3000))
                m_proc.kill();
            m_proc.waitForFinished(1000);
        }
    }

    QString Start()
    {
        // Nobody reads its complaints; a full pipe would stop the server.
        m_proc.setStandardErrorFile(QProcess::nullDevice());
        m_proc.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                              QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                              QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_proc.waitForStarted(5000))
            return {};
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains('\n') && t.elapsed() < 10000 && m_proc.waitForReadyRead(10000))
            out += m_proc.readAllStandardOutput();
        const QByteArray number = out.trimmed();
        return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
    }

private:
    QProcess m_proc;
};

std::optional<TSample> Launch(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                              QString* error)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QFileInfo(program).absolutePath());
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    QByteArray out;
    std::optional<TSample> sample;
    while (t.elapsed() < kShownTimeoutMs) {
        if (out.contains("zelkor: shown")) {
            sample = TSample{t.nsecsElapsed() / 1e6, CpuMs(p.processId()), 0};
            break;
        }
        if (!p.waitForReadyRead(kShownTimeoutMs - static_cast<int>(t.elapsed())))
            break;
        out += p.readAll();
    }
    if (sample) {
        QThread::msleep(kSettleMs);
        if (const auto rss = ResidentMB(p.processId()))
            sample->rssMB = *rss;
        else
            sample.reset();
    }
    if (!sample)
        *error = QStringLiteral("%1 showed no window: %2").arg(program, QString::fromLocal8Bit(out + p.readAll()));
    p.terminate();
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
    }
    return sample;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    QString program = here + QStringLiteral("/zelkor");
    QString window = here + QStringLiteral("/bench_startup_window");
    int runs = 5;
    bool check = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (a == QLatin1String("--program") && i + 1 < args.size())
            program = args[++i];
        else if (a == QLatin1String("--window") && i + 1 < args.size())
            window = args[++i];
        else if (a == QLatin1String("--check"))
            check = true;
        else {
            std::fprintf(stderr, "usage: bench_startup [--runs N] [--program PATH] [--window PATH] [--check]\n");
            return 2;
        }
    }

    // The program runs from a folder of its own with its schemes and no
    // settings file, as on a first start; its home is empty too.
    QTemporaryDir scratch;
    const QString progDir = scratch.filePath(QStringLiteral("prog"));
    QDir().mkpath(progDir + QStringLiteral("/ColorSchemas"));
    const QString progCopy = progDir + QStringLiteral("/zelkor");
    if (!QFile::copy(program, progCopy)) {
        std::fprintf(stderr, "bench_startup: cannot copy %s\n", qPrintable(program));
        return 1;
    }
    const QDir schemes(QFileInfo(program).absolutePath() + QStringLiteral("/ColorSchemas"));
    for (const QString& f : schemes.entryList(QDir::Files))
        QFile::copy(schemes.filePath(f), progDir + QStringLiteral("/ColorSchemas/") + f);

    TXvfb xvfb;
    const QString display = xvfb.Start();
    if (display.isEmpty()) {
        std::fprintf(stderr, "bench_startup: Xvfb did not start (apt-get install xvfb)\n");
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("ZELKOR_STARTUP_PROBE"), QStringLiteral("report"));
    env.insert(QStringLiteral("HOME"), scratch.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), scratch.filePath(QStringLiteral("home/.local/share")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), scratch.filePath(QStringLiteral("run")));
    QDir().mkpath(scratch.filePath(QStringLiteral("run")));
    QFile::setPermissions(scratch.filePath(QStringLiteral("run")), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                       | QFileDevice::ExeOwner);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // No session bus: without one, libdbus would start a bus for the new
    // display (dbus-launch), which costs seconds and is no part of start-up.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + scratch.filePath(QStringLiteral("no-bus")));

    std::vector<double> progMs, progCpu, progMB, winMs, winCpu, winMB, textMs, textCpu, textMB;
    QString error;
    // One unmeasured round first, so all start from a warm disk cache; then
    // the three take turns going first.
    for (int i = -1; i < runs; ++i) {
        for (int k = 0; k < 3; ++k) {
            const int which = (k + std::max(i, 0)) % 3; // 0 program, 1 bare window, 2 window with text
            const QStringList args = which == 2 ? QStringList{QStringLiteral("--text")} : QStringList{};
            const auto s = Launch(which == 0 ? progCopy : window, args, env, &error);
            if (!s) {
                std::fprintf(stderr, "bench_startup: %s\n", qPrintable(error));
                return 1;
            }
            if (i < 0)
                continue;
            auto& ms = which == 0 ? progMs : which == 1 ? winMs : textMs;
            auto& cpu = which == 0 ? progCpu : which == 1 ? winCpu : textCpu;
            auto& mb = which == 0 ? progMB : which == 1 ? winMB : textMB;
            ms.push_back(s->ms);
            cpu.push_back(s->cpuMs);
            mb.push_back(s->rssMB);
        }
    }

    const double pt = Median(progMs), wt = Median(winMs), pm = Median(progMB), wm = Median(winMB);
    const double pc = Median(progCpu), wc = Median(winCpu);
    const double timeRatio = pt / wt, cpuRatio = pc / wc, memRatio = pm / wm;
    std::printf("runs: %d on display %s\n", runs, qPrintable(display));
    std::printf("%-22s %10s %10s %10s\n", "", "start, ms", "CPU, ms", "RSS, MB");
    std::printf("%-22s %10.1f %10.1f %10.1f\n", "zelkor", pt, pc, pm);
    std::printf("%-22s %10.1f %10.1f %10.1f\n", "bare window", wt, wc, wm);
    std::printf("%-22s %10.1f %10.1f %10.1f\n", "window with one text", Median(textMs), Median(textCpu),
                Median(textMB));
    std::printf("start-up ratio: %.2f (at most %.1f); on the processor %.2f\n", timeRatio, kMaxTimeRatio, cpuRatio);
    std::printf("memory ratio:   %.2f (at most %.1f); %.2f against the window with one text, which is %.2f of the bare one\n",
                memRatio, kMaxMemoryRatio, pm / Median(textMB), Median(textMB) / wm);
    if (check && (timeRatio > kMaxTimeRatio || memRatio > kMaxMemoryRatio))
        return 1;
    return 0;
}
