#pragma once

#include "common/WritableFolder.h"
#include "instr/InstrumentSettings.h"

#include <QMap>
#include <QString>

#include <cstdint>
#include <functional>

class TIniFile;

// COM number -> device path, the [Ports] section; the same map the driver's
// port-name resolution takes (TPortMap).
using TComPortMap = QMap<int, QString>;

// The program settings, one record for the run.
struct TProgSettings {
    bool ConnectBeforeRun = false;
    bool ConnectToNum = true;
    bool ConnectToFirst = false;
    bool ConnectToLast = false;
    bool ViewToolBar = true;
    uint8_t DefaultSlaveID = 1;
    uint8_t DefaultComPortNum = 1;
    uint8_t RepeatNum = 2;
    QString ColorShema = QStringLiteral("Standart.rbs");
    bool QuickSearch = true; // the search's quick first pass
    // [History]: the journal of the transducers and the certificates issued from it.
    bool HistoryRecording = true;
    QString OrgName;     // the calibrating organisation, as certificates name it
    QString OrgAddress;
    QString Technician;  // offered when a certificate is issued
    QString Approver;
    // [Verification]: the tolerance in % of span, the decision rule
    // (0 simple acceptance, 1 guarded) and the number of test points.
    double VerifyTolerancePct = 0.25;
    int VerifyDecisionRule = 0;
    int VerifyPoints = 5;
    // [Instruments]: the reference meter and resistance source.
    TInstrumentSettings Instruments;
    QString ProgDir;  // folder of the executable
    QString ExeName;  // file name of the executable

    // [Ports]: kept across a save; the COM-port choice adds new devices.
    TComPortMap Ports;
    // The settings file in use: ProgDir/Zelkor.ini, or the user's
    // configuration folder when ProgDir cannot be written.
    QString IniFileName;
    // Where the file was read from when that differs (a read-only program
    // folder that carries a Zelkor.ini, before the user has one of his own).
    QString SourceFileName;
    // The colour scheme to load at start-up: <ColorSchemas>/ColorShema.
    QString ColorSchemePath;
    // A settings file refused at start (not a file, not text, too large,
    // unreadable): the run uses the defaults and leaves that file as it is.
    QString UnusableFile;
};

extern const QString SettingsFileBaseName;  // "Zelkor.ini"
// No settings file is anywhere near this size; a bigger one is not ours.
constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

// The part of an executable path before its last slash and the part after it
// (no slash: empty folder, the whole path as name).
void SplitExePath(const QString& path, QString& progDir, QString& exeName);

// $XDG_CONFIG_HOME/zelkor, or ~/.config/zelkor when the variable is unset or not absolute.
QString UserConfigDir();
struct TSettingsLocation {
    QString iniFileName;    // read and written
    QString sourceFileName; // read while iniFileName does not exist yet
};
// The settings file lives in `progDir` when that folder can be written,
// otherwise in `userConfigDir`; a Zelkor.ini beside a read-only executable
// then still gives the first run its values.
TSettingsLocation LocateSettings(const QString& progDir, const QString& userConfigDir, bool progDirWritable);

// Reads the settings of the program at `exePath`; a missing file, section or
// key gives the defaults. False (with a message naming the file and the
// problem) when a file exists but is refused: the record then holds the
// defaults and UnusableFile names that file.
bool LoadSettings(TProgSettings& settings, const QString& exePath, const QString& userConfigDir,
                  QString* error = nullptr);
// The running program: its own executable and the user's configuration folder.
bool LoadSettings(TProgSettings& settings, QString* error = nullptr);

// Reads [Defaults] and [Ports] from an open file (the record's paths are untouched).
void ReadSettings(const TIniFile& ini, TProgSettings& settings);
// Writes [Defaults] (in its order) and [Ports] into `ini`, in memory.
void WriteSettings(TIniFile& ini, const TProgSettings& settings);

// More sections for the same file, written before it is saved (the indicator styles).
using TIniWriter = std::function<void(TIniFile&)>;

// The closing save: DefaultSlaveID := slaveID, DefaultComPortNum := comPortNum
// (both modulo 256), then [Defaults], [Ports] and `extra` are written and the
// file is replaced atomically. A failure leaves the old file as it was and
// returns false with a reason. A file refused at start (UnusableFile) is not
// written at all.
bool SaveSettings(TProgSettings& settings, int slaveID, int comPortNum, const TIniWriter& extra = {},
                  QString* error = nullptr);
// The same on a given file object (tests inject write failures through it).
bool SaveSettingsTo(TIniFile& ini, TProgSettings& settings, int slaveID, int comPortNum,
                    const TIniWriter& extra = {}, QString* error = nullptr);

// "//./COM" + n, the port name the start-up gives the driver.
QString StartupPortName(const TProgSettings& settings);

class TTransducerController;
// What the settings give the controller at start-up: the address, the
// port map and name, the repeat count.
void ApplyStartupSettings(TTransducerController& ctrl, const TProgSettings& settings);
