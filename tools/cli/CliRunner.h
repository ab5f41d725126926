#pragma once

#include "CliOptions.h"
#include "CliShell.h"
#include "device/ConfigProfile.h"
#include "device/DeviceSession.h"
#include "app/ProgSettings.h"

#include <QJsonObject>
#include <QStringList>

class ICurrentReader;
class IResistanceSource;
class TCommPortDriver;

// One run of zelkor-cli: the driver and the session set up as the program
// sets them up, one command carried out with the program's own device
// operations, its result printed, and the exit status.
class TCliRunner {
public:
    explicit TCliRunner(const TCliOptions& options);
    ~TCliRunner();

    int Run();
    // The instruments of verify: a meter for the output current and a source
    // for the reference resistance. Without them stdin gives the current and
    // the engineer sets the resistance.
    void SetVerifyInstruments(ICurrentReader* meter, IResistanceSource* source)
    {
        m_meter = meter;
        m_source = source;
    }

private:
    int RunCommand();
    void SetUpLink();
    int OpenAndIdentify();
    int FailureExit() const { return m_shell.Lost() ? exNoAnswer : exRefused; }

    int Identify();
    int Info();
    int Config();
    int Measure();
    int Search();
    int Verify();

    void Print(const QJsonObject& json, const QStringList& lines);
    static void Error(const QString& text);
    QJsonObject IdentityJson() const;
    QStringList IdentityLines() const;
    QJsonObject ConfigJson(const TConfigProfile& profile, int address) const;
    QStringList ConfigLines(const TConfigProfile& profile, int address) const;
    QString OpenFailureText() const;

    TCliOptions m_o;
    TProgSettings m_settings;
    TCommPortDriver* m_drv;
    TDeviceSession m_session;
    TCliShell m_shell;
    TCliMessages m_msgs;
    bool m_printed = false; // the command's result went to stdout
    ICurrentReader* m_meter = nullptr;
    IResistanceSource* m_source = nullptr;
};
