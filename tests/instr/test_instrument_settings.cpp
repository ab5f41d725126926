#include "instr/InstrumentSettings.h"

#include "common/IniFile.h"

#include <gtest/gtest.h>

TEST(InstrumentSettings, DefaultsWhenTheSectionIsMissing)
{
    TIniFile ini(QString{});
    TInstrumentSettings s;
    s.meter.device = QStringLiteral("left over");
    ReadInstrumentSettings(ini, s);
    EXPECT_FALSE(s.meter.Configured());
    EXPECT_FALSE(s.source.Configured());
    EXPECT_EQ(s.meter.baud, 9600u);
    EXPECT_EQ(s.meter.dataBits, 8);
    EXPECT_EQ(s.meter.parity, 0);
    EXPECT_EQ(s.meter.stopBits, 1);
    EXPECT_EQ(s.meter.commands.identify, QStringLiteral("*IDN?"));
    EXPECT_EQ(s.meter.commands.configure, QStringLiteral("CONF:CURR:DC 0.1"));
    EXPECT_EQ(s.meter.commands.read, QStringLiteral("READ?"));
    EXPECT_EQ(s.source.commands.setResistance, QStringLiteral("SOUR:RES <ohms>"));
    EXPECT_EQ(s.source.commands.outputOn, QStringLiteral("OUTP ON"));
    EXPECT_EQ(s.source.commands.outputOff, QStringLiteral("OUTP OFF"));
    const TLineSettings line = s.meter.Line();
    EXPECT_EQ(line.baud, 9600u);
    EXPECT_EQ(line.stopBits, 0) << "one stop bit";
}

TEST(InstrumentSettings, RoundTripThroughTheFile)
{
    TInstrumentSettings s;
    s.meter.device = QStringLiteral("/dev/usbtmc0");
    s.meter.terminator = QStringLiteral("CRLF");
    s.meter.model = QStringLiteral("DMM-7");
    s.meter.serial = QStringLiteral("A17");
    s.meter.certificate = QStringLiteral("С-ГЧ/12-03-2026/1234");
    s.meter.dueDate = QDate(2027, 3, 12);
    s.meter.autoRead = true;
    s.meter.commands.configure.clear(); // none sent
    s.source.device = QStringLiteral("/dev/ttyUSB1");
    s.source.baud = 19200;
    s.source.parity = 2;
    s.source.stopBits = 2;
    s.source.commands.confirm.clear();
    TIniFile ini(QString{});
    WriteInstrumentSettings(ini, s);
    TIniFile again(QString{});
    again.setContent(ini.content());
    TInstrumentSettings r;
    ReadInstrumentSettings(again, r);
    EXPECT_EQ(r.meter.device, s.meter.device);
    EXPECT_EQ(r.meter.terminator, QStringLiteral("CRLF"));
    EXPECT_EQ(r.meter.model, s.meter.model);
    EXPECT_EQ(r.meter.serial, s.meter.serial);
    EXPECT_EQ(r.meter.certificate, s.meter.certificate);
    EXPECT_EQ(r.meter.dueDate, s.meter.dueDate);
    EXPECT_TRUE(r.meter.autoRead);
    EXPECT_TRUE(r.meter.commands.configure.isEmpty());
    EXPECT_EQ(r.source.baud, 19200u);
    EXPECT_EQ(r.source.parity, 2);
    EXPECT_EQ(r.source.stopBits, 2);
    EXPECT_TRUE(r.source.commands.confirm.isEmpty());
    EXPECT_EQ(r.source.commands.setResistance, QStringLiteral("SOUR:RES <ohms>"));
    EXPECT_TRUE(again.sectionExists(InstrumentsSection));
}

TEST(InstrumentSettings, DefaultsAreRecognised)
{
    TInstrumentSettings s;
    EXPECT_TRUE(IsDefaultInstrumentSettings(s));
    s.source.commands.confirm.clear();
    EXPECT_FALSE(IsDefaultInstrumentSettings(s));
    s = {};
    s.meter.dueDate = QDate(2027, 1, 1);
    EXPECT_FALSE(IsDefaultInstrumentSettings(s));
}

TEST(InstrumentSettings, DamagedValuesFallBack)
{
    TIniFile ini(QString{});
    ini.setContent("[Instruments]\nMeterBaud=-5\nMeterDataBits=12\nMeterStopBits=7\nMeterTerminator=\x01\n"
                   "MeterDueDate=31.02.2026\nMeterRead=\nSourceParity=Q\n");
    TInstrumentSettings s;
    ReadInstrumentSettings(ini, s);
    EXPECT_EQ(s.meter.baud, 9600u);
    EXPECT_EQ(s.meter.dataBits, 8);
    EXPECT_EQ(s.meter.stopBits, 1);
    EXPECT_EQ(s.meter.terminator, QStringLiteral("LF"));
    EXPECT_FALSE(s.meter.dueDate.isValid());
    EXPECT_EQ(s.meter.commands.read, QStringLiteral("READ?")) << "a meter must be asked for its reading";
    EXPECT_EQ(s.source.parity, 0);
}

TEST(DueDateWarnings, PastDueWarnedOncePerInstrument)
{
    TInstrumentSettings s;
    s.meter.device = QStringLiteral("/dev/ttyACM0");
    s.meter.model = QStringLiteral("DMM-7");
    s.meter.serial = QStringLiteral("A17");
    s.meter.certificate = QStringLiteral("1234");
    s.meter.dueDate = QDate(2026, 12, 8);
    s.source.device = QStringLiteral("/dev/ttyACM1");
    s.source.dueDate = QDate(2026, 12, 9);
    const QDate today(2026, 12, 9);

    EXPECT_TRUE(CertificateOverdue(s.meter, today));
    EXPECT_FALSE(CertificateOverdue(s.source, today)) << "valid through its due date";

    TDueDateWarnings warnings;
    const QStringList first = warnings.Take(s, today);
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0], QStringLiteral("Мультиметр DMM-7 № A17: срок действия свидетельства о поверке № 1234 "
                                       "истёк 08.12.2026."));
    EXPECT_TRUE(warnings.Take(s, today).isEmpty()) << "once";

    const QStringList later = warnings.Take(s, today.addDays(1));
    ASSERT_EQ(later.size(), 1) << "the source runs out a day later";
    EXPECT_TRUE(later[0].startsWith(QStringLiteral("Источник сопротивления")));
}

TEST(DueDateWarnings, NoWarningWithoutDeviceDateOrSource)
{
    TInstrumentSettings s;
    s.meter.dueDate = QDate(2020, 1, 1); // no device: not in use
    s.source.device = QStringLiteral("/dev/ttyACM1");
    s.source.dueDate = QDate(2020, 1, 1);
    TDueDateWarnings w;
    EXPECT_TRUE(w.Take(s, QDate(2026, 12, 9), false).isEmpty()) << "the source is not used by a calibration";
    s.source.dueDate = QDate();
    EXPECT_TRUE(w.Take(s, QDate(2026, 12, 9)).isEmpty());
}
