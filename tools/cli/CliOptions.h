#pragma once

#include <QString>
#include <QList>
#include <QStringList>

// Exit status of zelkor-cli.
enum TCliExit : int {
    exDone = 0,
    exUsage = 2,
    exNoAnswer = 3,   // no answer, or the link was lost
    exRefused = 4,    // the device refused, or did not keep what was written
    exPortFailed = 5, // the port cannot be opened
    exCheckFailed = 6, // a value (or a profile) failed a check
    exNotPassed = 7,   // the verification's verdict is НЕ ГОДЕН
    exNotGenuine = 8,  // the history's chain or a certificate did not match
    exNoHistory = 9    // the history file cannot be used
};

// The command line: global options, a command, the command's options.
struct TCliOptions {
    QString port;          // DEVICE or COMn; empty: the program's settings
    int address = 0;       // 1..255; 0: the program's settings
    int repeat = 0;        // attempts per request 1..10; 0: the program's settings
    bool json = false;
    bool yes = false;      // questions are answered "Да"
    bool quiet = false;    // no progress lines on stderr (messages still go there)
    bool help = false;

    QString command;       // identify, info, config, measure, search

    // info
    bool hasText = false, hasNumber = false, hasDate = false;
    QString text, number, date;
    // config
    QString load, save;
    QStringList sets;      // KEY=VALUE, in the order given
    bool write = false;
    // measure
    int count = 0;         // 0: until interrupted
    bool csv = false;
    // search
    bool quick = false;
    // history (--number, --csv above), certificate (--number)
    QString since;
    bool verify = false;
    QString verifyFile, out;
    QString ambientTemperature, humidity, technician, approver;
    // verify
    int points = 0;        // 0: the program's settings
    QList<double> at;      // typed temperatures instead of evenly spread points
    double tolerance = 0;  // % of span; 0: the program's settings
    bool all = false;      // every address that answers, not just the first
    QString meter;         // a SCPI meter reads the currents
    QString source;        // a SCPI resistance source sets the points
};

// False with a Russian message for a usage error.
bool ParseCliOptions(const QStringList& arguments, TCliOptions& options, QString* error);
QString CliHelpText();
