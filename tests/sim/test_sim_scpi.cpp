#include "ScpiInstruments.h"
#include "SimOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

TEST(SimScpi, ShortFormsOfHeaders)
{
    EXPECT_EQ(ShortScpiHeader("SOURCE:RESISTANCE"), "SOUR:RES");
    EXPECT_EQ(ShortScpiHeader("CONFIGURE:CURRENT:DC"), "CONF:CURR:DC");
    EXPECT_EQ(ShortScpiHeader("MEASURE:CURRENT:DC?"), "MEAS:CURR:DC?");
    EXPECT_EQ(ShortScpiHeader("SYSTEM:ERROR?"), "SYST:ERR?");
    EXPECT_EQ(ShortScpiHeader("OUTPUT:STATE"), "OUTP:STAT");
    EXPECT_EQ(ShortScpiHeader("READ?"), "READ?");
}

TEST(SimScpi, MeterReadsTheLoopInAmperesWithinItsNoise)
{
    double ma = 12.345;
    TSimMeter meter([&] { return ma; }, 0.5, 7);
    EXPECT_EQ(meter.Handle("*IDN?").value_or(""), "SIMLAB,SDM-4020,SL-20451,1.03");
    EXPECT_FALSE(meter.Handle("conf:curr:dc 0.1").has_value());
    double lo = 1, hi = -1;
    for (int i = 0; i < 200; ++i) {
        const std::string r = meter.Handle("READ?").value_or("");
        const double amps = std::strtod(r.c_str(), nullptr);
        lo = std::min(lo, amps);
        hi = std::max(hi, amps);
    }
    EXPECT_GE(lo, 12.3445e-3);
    EXPECT_LE(hi, 12.3455e-3);
    EXPECT_GT(hi - lo, 0.5e-6) << "the noise is there";
    ma = 4.0;
    EXPECT_NEAR(std::strtod(meter.Handle("MEAS:CURR:DC?")->c_str(), nullptr), 4.0e-3, 0.6e-6);
}

TEST(SimScpi, MeterInAnotherFunctionReadsOverloadAndUnknownHeadersAreErrors)
{
    TSimMeter meter([] { return 4.0; }, 0, 1);
    meter.Handle("CONF:VOLT:DC 10");
    EXPECT_EQ(meter.Handle("READ?").value_or(""), "+9.90000000E+37");
    EXPECT_FALSE(meter.Handle("FOO:BAR 1").has_value());
    EXPECT_EQ(meter.Handle("SYST:ERR?").value_or(""), "-113,\"Undefined header\"");
    EXPECT_EQ(meter.Handle("SYST:ERR?").value_or(""), "+0,\"No error\"");
}

TEST(SimScpi, SourceReachesTheInputOnlyWhileItsOutputIsOn)
{
    std::vector<double> applied;
    TSimSource source([&](double ohms) {
        applied.push_back(ohms);
        return ohms < 400;
    });
    EXPECT_FALSE(source.Handle("SOUR:RES 138.51").has_value());
    EXPECT_TRUE(applied.empty());
    source.Handle("OUTP ON");
    source.Handle(":SOURce:RESistance 60.26");
    EXPECT_EQ(applied, (std::vector<double>{138.51, 60.26}));
    EXPECT_EQ(source.Handle("*OPC?").value_or(""), "1");
    EXPECT_EQ(source.Handle("OUTP?").value_or(""), "1");
    source.Handle("OUTP OFF");
    source.Handle("SOUR:RES 100");
    EXPECT_EQ(applied.size(), 2u);
    EXPECT_EQ(source.Handle("OUTP?").value_or(""), "0");
    EXPECT_DOUBLE_EQ(source.Resistance(), 100);

    source.Handle("SOUR:RES abc");
    EXPECT_EQ(source.Handle("SYST:ERR?").value_or(""), "-222,\"Data out of range\"");
    EXPECT_DOUBLE_EQ(source.Resistance(), 100) << "a refused value is not taken";
    source.Handle("OUTP ON");
    source.Handle("SOUR:RES 500"); // no temperature of the sensor for it
    EXPECT_EQ(source.Handle("SYST:ERR?").value_or(""), "-222,\"Data out of range\"");
}

TEST(SimScpi, OptionsForTheInstruments)
{
    TSimOptions o;
    std::string error;
    const char* argv[] = {"zelkor-sim", "--meter", "/tmp/m", "--source", "/tmp/s", "--meter-noise", "2,5"};
    ASSERT_TRUE(ParseSimOptions(7, argv, o, &error)) << error;
    EXPECT_EQ(o.meterLink, "/tmp/m");
    EXPECT_EQ(o.sourceLink, "/tmp/s");
    EXPECT_DOUBLE_EQ(o.meterNoiseUa, 2.5);
    TSimOptions bad;
    const char* argv2[] = {"zelkor-sim", "--meter-noise", "-1"};
    EXPECT_FALSE(ParseSimOptions(3, argv2, bad, &error));
    const char* argv3[] = {"zelkor-sim", "--meter"};
    EXPECT_FALSE(ParseSimOptions(2, argv3, bad, &error));
}
