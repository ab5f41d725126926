#pragma once

#include "device/TransducerData.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cmath>
#include <limits>

// When a verification was run relative to a trim.
enum class TVerifyStage {
    vsAlone,    // on its own
    vsAsFound,  // before a calibration ("до настройки")
    vsAsLeft,   // after a calibration ("после настройки")
};

// A reference instrument as a certificate names it.
struct TInstrumentInfo {
    QString role;         // "meter" (output current) or "source" (input resistance)
    QString device;       // path it was reached by
    QString model;
    QString serial;
    QString certificate;  // its own calibration certificate
    QDate dueDate;        // that certificate's due date
};

// How a reading is judged settled: the last `samples` readings span at most
// `spread` and drift at most `slope` per second.
struct TSettlingRule {
    int samples = 5;
    double spread = 0.2;  // in the reading's unit
    double slope = 0.05;  // unit per second
};

// One test point: what was to be set, what was expected, what was read.
struct TVerifyPoint {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    double temperature = 0;      // deg C
    double resistance = 0;       // reference to set at the input, ohm
    double expectedCurrent = 0;  // mA
    double reading = kNone;      // the transducer's own settled mean, deg C
    double readingSpread = kNone;
    double current = kNone;      // the measured output, mA
    double digitalError = kNone;     // deg C
    double digitalErrorPct = kNone;  // % of span
    double outputError = kNone;      // mA
    double outputErrorPct = kNone;   // % of span
    bool digitalPass = false;
    bool outputPass = false;
    bool pass = false;

    bool Measured() const { return !std::isnan(reading) && !std::isnan(current); }
};

// A whole verification of one transducer.
struct TVerificationResult {
    TTransducerData transducer;   // identity and configuration as read
    TVerifyStage stage = TVerifyStage::vsAlone;
    double tolerancePct = 0.25;   // of span, for both errors
    QString decisionRule;         // e.g. simple acceptance, |error| <= tolerance
    TSettlingRule readingRule;
    TSettlingRule currentRule;
    QList<TVerifyPoint> points;
    QList<TInstrumentInfo> instruments;
    QDateTime started;
    QDateTime finished;
    bool complete = false;        // every point measured
    bool pass = false;            // complete and every point passed
};
