// zelkor-sim: one Зелкор transducer on a pseudo-terminal, for the demo and
// for end-to-end tests of the configurator.
#include "PtyServer.h"
#include "ScpiPty.h"
#include "SimOptions.h"

#include <QString>

#include <algorithm>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;
int g_wakePipe[2] = {-1, -1};

void onSignal(int)
{
    g_stop = 1;
    const char c = 1;
    [[maybe_unused]] const ssize_t w = ::write(g_wakePipe[1], &c, 1);
}

bool installSignals()
{
    if (::pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (const int s : {SIGINT, SIGTERM, SIGHUP})
        if (::sigaction(s, &sa, nullptr) != 0)
            return false;
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

// Replaces a stale symlink of an earlier run, never a real file.
bool makeLink(const std::string& link, const std::string& target, std::string* error)
{
    struct stat st{};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = link + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        *error = "cannot create " + link + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void removeLink(const std::string& link, const std::string& target)
{
    char buf[4096];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    if (n > 0 && std::string(buf, size_t(n)) == target)
        ::unlink(link.c_str()); // only our own: another run may have taken the name over
}

void showState(const TSimEngine& engine)
{
    const TSimState& s = engine.State();
    char input[48];
    if (const auto ohms = engine.ReferenceResistance())
        std::snprintf(input, sizeof input, "resistance %.3f, ", *ohms);
    else
        input[0] = '\0';
    std::fprintf(stderr,
                 "address %d, type %c, %stemperature %.3f, output %.4f mA, diag state %d, R0 %s, NSX %s, output %s\n",
                 s.address, s.typeCode, input, s.temperature, engine.OutputCurrentMilliamps(), s.diagState,
                 s.r0Corrected ? "corrected" : "not corrected", s.nsxCorrected ? "corrected" : "not corrected",
                 s.outputTrimmed ? "trimmed" : "not trimmed");
}

} // namespace

int main(int argc, char** argv)
{
    TSimOptions opt;
    std::string error;
    if (!ParseSimOptions(argc, argv, opt, &error)) {
        std::fprintf(stderr, "zelkor-sim: %s\n", error.c_str());
        return 2;
    }
    if (opt.help) {
        std::fputs(SimHelpText().c_str(), stdout);
        return 0;
    }

    TSimState state = DefaultSimState();
    const QString stateFile = QString::fromLocal8Bit(opt.stateFile.c_str());
    QString why;
    if (!stateFile.isEmpty() && !LoadSimState(stateFile, state, &why)) {
        std::fprintf(stderr, "zelkor-sim: cannot read %s: %s\n", opt.stateFile.c_str(), why.toLocal8Bit().constData());
        return 1;
    }
    if (opt.address)
        state.address = uint8_t(*opt.address);
    if (opt.typeCode && state.typeCode != uint8_t(*opt.typeCode)) {
        state.typeCode = uint8_t(*opt.typeCode);
        state.typeText = DefaultTypeText(state.typeCode);
        const int alarmCodes = state.typeCode == 'N' ? 2 : 4;
        if (state.alarmCode < 1 || state.alarmCode > alarmCodes)
            state.alarmCode = 1;
        state.outputTrimmed = false; // another output, another trim
    }
    if (opt.temperature)
        state.temperature = *opt.temperature;
    if (opt.diagState)
        state.diagState = uint8_t(*opt.diagState);

    auto save = [&](const TSimState& s) {
        QString err;
        if (!stateFile.isEmpty() && !SaveSimState(stateFile, s, &err))
            std::fprintf(stderr, "zelkor-sim: cannot write %s: %s\n", opt.stateFile.c_str(),
                         err.toLocal8Bit().constData());
    };
    save(state);

    TSimEngine engine(state, opt.faults, opt.noise, uint32_t(::getpid()), opt.output);
    TLineOptions line;
    line.replyDelayMs = opt.replyDelayMs;
    line.pacing = opt.pacing;
    line.pieces = opt.pieces;
    line.pieceGapMs = opt.pieceGapMs;
    line.verbose = opt.verbose;
    TPtyServer server(engine, line);
    if (!installSignals() || !server.Open(&error)) {
        std::fprintf(stderr, "zelkor-sim: %s\n", error.empty() ? std::strerror(errno) : error.c_str());
        return 1;
    }
    server.SetStateChangedHandler([&] { save(engine.State()); });

    TSimMeter meter([&] { return engine.OutputCurrentMilliamps(); }, opt.meterNoiseUa, uint32_t(::getpid()) ^ 0x5A5Au);
    TSimSource source([&](double ohms) {
        const bool ok = engine.SetReferenceResistance(ohms);
        if (engine.TakeStateChanged())
            save(engine.State());
        return ok;
    });
    TScpiPty meterLine("meter", meter, opt.verbose);
    TScpiPty sourceLine("source", source, opt.verbose);
    struct TBenchLine {
        TScpiPty& line;
        const std::string& link;
    };
    const TBenchLine benchLines[] = {{meterLine, opt.meterLink}, {sourceLine, opt.sourceLink}};
    for (const TBenchLine& b : benchLines) {
        if (b.link.empty())
            continue;
        if (!b.line.Open(&error) || !makeLink(b.link, b.line.SlavePath(), &error)) {
            std::fprintf(stderr, "zelkor-sim: %s\n", error.c_str());
            return 1;
        }
        server.AddSideLine(&b.line);
    }
    if (opt.control) {
        server.SetCommandInput(STDIN_FILENO, [&](const std::string& lineText) {
            std::string text = lineText;
            std::replace(text.begin(), text.end(), ',', '.'); // a decimal comma is what a Russian user types
            std::istringstream in(text);
            std::string cmd;
            in >> cmd;
            double v = 0;
            if (cmd == "q")
                return false;
            if (cmd == "meter" || cmd == "source") {
                std::string what;
                in >> what;
                TScpiPty& line = cmd == "meter" ? meterLine : sourceLine;
                if (what == "off" && line.IsOpen()) {
                    line.Close();
                    std::fprintf(stderr, "%s gone\n", cmd.c_str());
                }
                return true;
            }
            if (cmd == "t" && in >> v && v >= -273 && v <= 1000) {
                engine.SetTemperature(v);
            } else if (cmd == "r" && in >> v) {
                if (!engine.SetReferenceResistance(v))
                    std::fprintf(stderr, "no temperature of the sensor gives %.3f ohm\n", v);
            } else if (cmd == "d" && in >> v && v >= 0 && v <= 255) {
                engine.SetDiagState(uint8_t(v));
            } else if (cmd != "s" && !cmd.empty()) {
                std::fprintf(stderr, "commands: t TEMPERATURE, r OHMS, d STATE, meter off, source off, s, q\n");
            }
            if (engine.TakeStateChanged())
                save(engine.State());
            if (!cmd.empty())
                showState(engine);
            return true;
        });
    }

    if (!opt.linkPath.empty() && !makeLink(opt.linkPath, server.SlavePath(), &error)) {
        std::fprintf(stderr, "zelkor-sim: %s\n", error.c_str());
        return 1;
    }
    // The first line of stdout is what scripts and tests wait for.
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);
    if (opt.verbose)
        showState(engine);

    server.Run(&g_stop, g_wakePipe[0]);

    if (!opt.linkPath.empty())
        removeLink(opt.linkPath, server.SlavePath());
    for (const TBenchLine& b : benchLines)
        if (!b.link.empty())
            removeLink(b.link, b.line.SlavePath());
    return 0;
}
