#include "SimOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool toInt(const std::string& s, long min, long max, long* out)
{
    if (s.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < min || v > max)
        return false;
    *out = v;
    return true;
}

bool toReal(const std::string& s, double* out)
{
    if (s.empty())
        return false;
    std::string t = s;
    for (char& c : t)
        if (c == ',')
            c = '.'; // a decimal comma is what a Russian user types
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(t.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

// FUNC is a number (17, 0x11) or one of the letters of the private functions.
bool parseException(const std::string& s, int* function, int* code)
{
    const size_t colon = s.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string f = s.substr(0, colon);
    long fv = 0, cv = 0;
    if (f == "M" || f == "N" || f == "O")
        fv = f[0];
    else if (!toInt(f, 1, 127, &fv))
        return false;
    if (!toInt(s.substr(colon + 1), 0, 255, &cv))
        return false;
    *function = int(fv);
    *code = int(cv);
    return true;
}

} // namespace

bool ParseSimOptions(int argc, const char* const* argv, TSimOptions& o, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string* v) {
            if (i + 1 >= argc)
                return false;
            *v = argv[++i];
            return true;
        };
        std::string v;
        long n = 0;
        double r = 0;
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--no-pacing") {
            o.pacing = false;
        } else if (a == "--silent") {
            o.faults.silent = true;
        } else if (a == "--bad-crc") {
            o.faults.badCrc = true;
        } else if (a == "--verbose" || a == "-v") {
            o.verbose = true;
        } else if (a == "--control") {
            o.control = true;
        } else if (a == "--link" || a == "--state") {
            if (!value(&v) || v.empty())
                return fail(a + " needs a path");
            (a == "--link" ? o.linkPath : o.stateFile) = v;
        } else if (a == "--meter" || a == "--source") {
            if (!value(&v) || v.empty())
                return fail(a + " needs a path for its link");
            (a == "--meter" ? o.meterLink : o.sourceLink) = v;
        } else if (a == "--meter-noise") {
            if (!value(&v) || !toReal(v, &r) || r < 0 || r > 1000)
                return fail("--meter-noise needs microamperes from 0 to 1000");
            o.meterNoiseUa = r;
        } else if (a == "--address") {
            if (!value(&v) || !toInt(v, 1, 255, &n))
                return fail("--address needs a number from 1 to 255");
            o.address = int(n);
        } else if (a == "--type") {
            if (!value(&v) || (v != "M" && v != "N" && v != "m" && v != "n"))
                return fail("--type needs M (4-20 mA) or N (0-5 mA)");
            o.typeCode = char(std::toupper(static_cast<unsigned char>(v[0])));
        } else if (a == "--temperature") {
            if (!value(&v) || !toReal(v, &r) || r < -273.0 || r > 1000.0)
                return fail("--temperature needs degrees Celsius from -273 to 1000");
            o.temperature = r;
        } else if (a == "--diag-state") {
            if (!value(&v) || !toInt(v, 0, 255, &n))
                return fail("--diag-state needs a number from 0 to 255");
            o.diagState = int(n);
        } else if (a == "--noise") {
            if (!value(&v) || !toReal(v, &r) || r < 0 || r > 100)
                return fail("--noise needs degrees from 0 to 100");
            o.noise = r;
        } else if (a == "--output-offset") {
            if (!value(&v) || !toReal(v, &r) || std::fabs(r) > 2000)
                return fail("--output-offset needs microamperes from -2000 to 2000");
            o.output.offsetUa = r;
        } else if (a == "--output-gain") {
            if (!value(&v) || !toReal(v, &r) || std::fabs(r) > 100000)
                return fail("--output-gain needs parts per million from -100000 to 100000");
            o.output.gainPpm = r;
        } else if (a == "--reply-delay") {
            if (!value(&v) || !toInt(v, 0, 60000, &n))
                return fail("--reply-delay needs milliseconds from 0 to 60000");
            o.replyDelayMs = int(n);
        } else if (a == "--pieces") {
            if (!value(&v) || !toInt(v, 1, 64, &n))
                return fail("--pieces needs a number from 1 to 64");
            o.pieces = int(n);
        } else if (a == "--piece-gap") {
            if (!value(&v) || !toInt(v, 0, 60000, &n))
                return fail("--piece-gap needs milliseconds from 0 to 60000");
            o.pieceGapMs = int(n);
        } else if (a == "--drop-first") {
            if (!value(&v) || !toInt(v, 0, 1000000, &n))
                return fail("--drop-first needs a count");
            o.faults.dropFirst = int(n);
        } else if (a == "--bad-crc-first") {
            if (!value(&v) || !toInt(v, 0, 1000000, &n))
                return fail("--bad-crc-first needs a count");
            o.faults.badCrcFirst = int(n);
        } else if (a == "--exception") {
            int f = 0, c = 0;
            if (!value(&v) || !parseException(v, &f, &c))
                return fail("--exception needs FUNC:CODE, e.g. 3:2 or M:11");
            o.faults.exceptions[f] = c;
        } else {
            return fail("unknown option " + a + " (see --help)");
        }
    }
    return true;
}

std::string SimHelpText()
{
    return R"(Usage: zelkor-sim [options]

Plays one Zelkor temperature transducer on a pseudo-terminal. Prints the
pty's device path on the first line of stdout; open that path (or the
--link) as the serial port. Ends cleanly on SIGINT, SIGTERM or SIGHUP.

It answers function 17 (identification), 3 (registers 0x0018 x8,
configuration; 0x0020 x5, measurements and calibration date), 16 (0x0008 x16,
information record; 0x0018 x8, configuration; a new address in register
0x001F takes effect after the answer), 'M' (calibration stages 0..7),
'N' (R0 correction) and 'O' (NSX correction). Other functions get exception 1,
other register blocks 2, malformed requests 3. Requests with a bad CRC or
for another address are ignored.

Device:
  --link PATH          also make PATH a symlink to the pty (removed on exit)
  --state FILE         keep the transducer's memory in FILE (INI, Windows-1251);
                       written on every change, read at start. Without it
                       nothing survives a restart.
  --address N          slave address 1..255 (default 1)
  --type M|N           M: 4-20 mA output, N: 0-5 mA output (default M)
  --temperature T      true sensor temperature, deg C (default 0)
  --diag-state S       self-diagnostic state: 0 none, 1 ADC not answering,
                       2 not calibrated, 3 sensor fault (default 0; a
                       temperature outside the sensor's range also gives 3)
  --noise D            measurement noise amplitude, deg C (default 0.05)
  --output-offset UA   the current output's offset error, uA (default 0)
  --output-gain PPM    its gain error, parts per million (default 0); the
                       trim of calibration stages 5 and 6 takes both out
  --address, --type, --temperature and --diag-state override the state file
  and are written to it.

Bench instruments (SCPI, each on a pty of its own, 9600 8N1, lines end in LF):
  --meter LINK         a DC current meter in the output loop, its pty linked
                       at LINK: *IDN?, CONF:CURR:DC, READ? (amperes),
                       MEAS:CURR:DC?, SYST:ERR?
  --meter-noise UA     the meter's reading noise, uA (default 0.5)
  --source LINK        a resistance source at the input, linked at LINK:
                       *IDN?, SOUR:RES OHMS, OUTP ON|OFF, *OPC?; while its
                       output is on the transducer measures that resistance
  With --control, "meter off" and "source off" take an instrument away (its
  line hangs up), as a cable pulled mid-run.

Line:
  --reply-delay MS     wait before answering (default 20)
  --no-pacing          send answers at once instead of at 1200 bit/s
                       (11 bits per character)
  --pieces N           deliver every answer in N pieces ...
  --piece-gap MS       ... with MS of silence between them (default 200)

Faults:
  --silent             never answer
  --drop-first N       ignore the first N requests addressed to it
  --exception F:C      answer function F (number, or M, N, O) with code C;
                       may be given more than once
  --bad-crc            corrupt the CRC of every answer
  --bad-crc-first N    corrupt the CRC of the first N answers only

Other:
  --control            read commands from stdin: "t VALUE" (temperature),
                       "r OHMS" (a decade box in place of the sensor),
                       "d STATE" (diagnostic state), "s" (show), "q" (quit)
  -v, --verbose        log every request and answer to stderr
  -h, --help           this text
)";
}
