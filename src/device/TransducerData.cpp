#include "device/TransducerData.h"

void CopyInfoFields(TTransducerData& d, const TTransducerData& s)
{
    d.SensorTypeText = s.SensorTypeText;
    d.SensorNum = s.SensorNum;
    d.SensorDate = s.SensorDate;
}

void CopyConfigFields(TTransducerData& d, const TTransducerData& s)
{
    d.SlaveID = s.SlaveID;
    d.SensorKind = s.SensorKind;
    d.R0 = s.R0;
    d.BottomTempBound = s.BottomTempBound;
    d.TopTempBound = s.TopTempBound;
    d.DirectLeadOut = s.DirectLeadOut;
    d.AlarmCur = s.AlarmCur;
    d.Average = s.Average;
}
