#pragma once

#include "link/Frame.h"

#include <QString>

#include <cstdint>

// The connected transducer. One instance for the run, and a snapshot of the
// values last read from the device so a declined save can put them back.
struct TTransducerData {
    int32_t SlaveID = 0;
    QString PLTypeText;
    int32_t PLType = 0;        // 'M' (4-20 mA) or 'N' (0-5 mA)
    QString SensorTypeText;
    int32_t SensorNum = 0;
    TDateValue SensorDate = 0;
    TDateValue CalibrDate = 0;
    int32_t SensorKind = 0;    // 1 Pt 0,00391, 2 Pt 0,00385, 3 Cu 0,00428
    int32_t R0 = 0;            // 100 or 50 ohms
    int32_t TopTempBound = 0;
    int32_t BottomTempBound = 0;
    double Temperature = 0;
    double Resistance = 0;
    bool DirectLeadOut = false;
    int32_t AlarmCur = 0;
    int32_t Average = 0;       // seconds, 0 = off
    bool InfModified = false;
    bool ConfModified = false;
};

void CopyInfoFields(TTransducerData& destination, const TTransducerData& source);
void CopyConfigFields(TTransducerData& destination, const TTransducerData& source);
