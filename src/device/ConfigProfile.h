#pragma once

#include "device/TransducerData.h"

#include <QString>
#include <QStringList>

class TIniFile;

// A configuration profile: the configuration page's fields, kept in a small
// INI file (.zcf, Windows-1251, CR LF) so one setting can be applied to many
// transducers. The address is never part of it. The same keys serve the
// command line's --set KEY=VALUE.
//
//   [Configuration]
//   Sensor=pt385        pt391 | pt385 | cu428
//   R0=100              100 | 50
//   Bottom=-50          whole degrees C
//   Top=150
//   Output=direct       direct | inverse
//   Alarm=21            mA: 3.2 | 3.6 | 21 | 22 (4-20 mA), 0 | 5.5 (0-5 mA)
//   Average=off         off | 1..30 seconds
//   [Information]
//   SensorType=...      optional: the information record's sensor text
struct TConfigProfile {
    int SensorKind = 0;       // 1..3
    int R0 = 0;               // 100 or 50
    int BottomTempBound = 0;
    int TopTempBound = 0;
    bool DirectLeadOut = true;
    int AlarmTenths = -1;     // alarm current in 0.1 mA; -1 none chosen
    int Average = 0;          // seconds, 0 = off
    bool HasSensorText = false;
    QString SensorTypeText;
};

extern const QString ConfigProfileSuffix; // "zcf"

// The keys of the [Configuration] section, in file order.
QStringList ConfigProfileKeys();

// Sets one field from a KEY=VALUE pair (keys without regard to case). False
// with a message naming the field for an unknown key or value.
bool SetProfileValue(TConfigProfile& profile, const QString& key, const QString& value, QString* error);

// The checks of the configuration page: bounds within the sensor's limits,
// the upper not below the lower, a span of at least 25 degrees, and an alarm
// current the transducer type offers (either table while the type is unknown).
bool CheckConfigProfile(const TConfigProfile& profile, int plType, QString* error);

// Reads a profile; every key of [Configuration] is required. False with a
// message naming the field (or the file) for a damaged or unreadable file.
// Only the format is checked here; CheckConfigProfile judges the values.
bool LoadConfigProfile(const QString& path, TConfigProfile* profile, QString* error);
bool ParseConfigProfile(const TIniFile& ini, TConfigProfile* profile, QString* error);
// Writes a profile, replacing the file atomically; refuses anything but a
// regular file at `path`.
bool SaveConfigProfile(const QString& path, const TConfigProfile& profile, QString* error);
void WriteConfigProfile(TIniFile& ini, const TConfigProfile& profile);

// The record's configuration fields as a profile, and back. The alarm code of
// the record means a current by the transducer type.
TConfigProfile ProfileFromRecord(const TTransducerData& record);
void ApplyProfileToRecord(const TConfigProfile& profile, TTransducerData& record);

// Alarm current <-> the record's code for a transducer type ('M' / 'N').
int AlarmCodeOf(int tenths, int plType);   // 0 when the type has no such current
int AlarmTenthsOf(int code, int plType);   // -1 when the code means nothing
int AlarmTypeOf(int tenths);               // 'M', 'N' or 0

// The values as the file and the command line write them.
QString SensorKindName(int kind);          // "pt391"; empty for an unknown kind
QString AlarmValueText(int tenths);        // "3.2", "21"
QString AverageValueText(int seconds);     // "off", "5"
