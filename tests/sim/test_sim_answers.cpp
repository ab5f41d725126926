// The simulator's answers, byte by byte, against the register layouts.
#include "SimTestUtil.h"

#include <gtest/gtest.h>

namespace {

TSimEngine Engine(const TSimState& s = SampleState(), const TSimFaults& f = {})
{
    return TSimEngine(s, f, 0.0);
}

} // namespace

TEST(SimAnswers, IdentificationLaysOutTheRecordIn55Bytes)
{
    TSimEngine e = Engine();
    const auto a = e.HandleRequest(Req({5, 0x11}), 0);
    ASSERT_TRUE(a);
    ASSERT_EQ(a->size(), 55u);
    TSimBytes expected = Bytes({5, 0x11, 50, 'M', 0xFF, 'Z', 'K', '-', 'M'});
    expected.resize(5 + 16, 0);
    for (int b : {0xD2, 0xD1, 0xCC, 0x20, 0x35, 0x30}) // "ТСМ 50" in Windows-1251
        expected.push_back(uint8_t(b));
    expected.resize(21 + 24, 0);
    for (int b : {0xFF, 0xFF, 0xFF, 0xFF, 15, 3, 0x07, 0xD5})
        expected.push_back(uint8_t(b));
    EXPECT_EQ(Body(a), expected);
}

TEST(SimAnswers, RegisterReadsOfBothBlocks)
{
    TSimEngine e = Engine();
    // configuration: copper, 50 ohm, -50..150, inverse, alarm 2, averaging 30 s, address 5
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 3, 0x00, 0x18, 0x00, 0x08}), 0)),
              Bytes({5, 3, 0x10, 0, 3, 0, 2, 0xFF, 0xCE, 0x00, 0x96, 0, 1, 0, 2, 0, 0xB2, 0, 5}));
    // measurements: 100.0 deg C, Cu50 gives 71.40 ohm, no fault, calibrated 25.03.2005
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 3, 0x00, 0x20, 0x00, 0x05}), 0)),
              Bytes({5, 3, 0x0A, 0x03, 0xE8, 0x1B, 0xE4, 0, 0, 25, 3, 0x07, 0xD5}));
}

TEST(SimAnswers, NegativeTemperatureAndFaultStates)
{
    TSimState s = SampleState();
    s.temperature = -20.0;
    s.sensorKind = 2;
    s.r0Code = 1;
    TSimEngine e = Engine(s);
    // Pt100 (0.00385) at -20 deg C: 92.16 ohm
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 3, 0, 0x20, 0, 5}), 0)),
              Bytes({5, 3, 10, 0xFF, 0x38, 0x24, 0x00, 0, 0, 25, 3, 0x07, 0xD5}));

    e.SetDiagState(2);
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 3, 0, 0x20, 0, 5}), 0))[8], 2);
    e.SetDiagState(0);
    e.SetTemperature(700.0); // beyond the platinum range
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 3, 0, 0x20, 0, 5}), 0)),
              Bytes({5, 3, 10, 0, 0, 0, 0, 0, 3, 25, 3, 0x07, 0xD5}));
}

TEST(SimAnswers, InformationWriteIsEchoedAndIdentifiedAfterwards)
{
    TSimEngine e = Engine();
    TSimBytes w = Bytes({5, 0x10, 0x00, 0x08, 0x00, 0x10, 0x20});
    for (char c : toCp1251(QStringLiteral("ТСП-100")))
        w.push_back(uint8_t(c));
    w.resize(7 + 24, 0);
    for (int b : {0x00, 0x01, 0xE2, 0x40, 31, 12, 0x07, 0xD0}) // 123456, 31.12.2000
        w.push_back(uint8_t(b));
    EXPECT_EQ(Body(e.HandleRequest(WithCrc(w), 0)), Bytes({5, 0x10, 0, 8, 0, 0x10}));
    EXPECT_TRUE(e.TakeStateChanged());
    EXPECT_FALSE(e.TakeStateChanged());

    const TSimBytes id = Body(e.HandleRequest(Req({5, 0x11}), 0));
    ASSERT_EQ(id.size(), 53u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&id[21]), 24),
              toCp1251(QStringLiteral("ТСП-100")) + QByteArray(17, '\0'));
    EXPECT_EQ(TSimBytes(id.begin() + 45, id.end()), Bytes({0x00, 0x01, 0xE2, 0x40, 31, 12, 0x07, 0xD0}));
}

TEST(SimAnswers, ConfigurationWriteMovesTheAddressAfterTheEcho)
{
    TSimEngine e = Engine();
    // platinum 0.00391, 100 ohm, -200..-175, direct, alarm 4, averaging 1 s, new address 7
    const TSimBytes write = Req({5, 0x10, 0, 0x18, 0, 8, 0x10, 0, 1, 0, 1, 0xFF, 0x38, 0xFF, 0x51, 0, 0, 0, 4, 0, 4,
                                 0, 7});
    EXPECT_EQ(Body(e.HandleRequest(write, 0)), Bytes({5, 0x10, 0, 0x18, 0, 8}));
    EXPECT_EQ(e.State().address, 7);

    EXPECT_FALSE(e.HandleRequest(Req({5, 0x11}), 0)) << "the old address is gone";
    EXPECT_EQ(Body(e.HandleRequest(Req({7, 3, 0, 0x18, 0, 8}), 0)),
              Bytes({7, 3, 0x10, 0, 1, 0, 1, 0xFF, 0x38, 0xFF, 0x51, 0, 0, 0, 4, 0, 4, 0, 7}));
}

TEST(SimAnswers, ConfigurationValuesOutOfPlaceAreRefusedWhole)
{
    // One register wrong at a time, on top of a valid block for type M.
    struct Case {
        const char* what;
        int index; // byte of the register block
        int value;
    };
    const Case cases[] = {
        {"sensor kind 4", 1, 4},          {"R0 code 3", 3, 3},
        {"lower bound -101 for copper", 5, 0x9B}, // FF 9B = -101
        {"span of 24", 7, 14},           // -10..14
        {"output code 2", 9, 2},         {"alarm code 5 on type M", 11, 5},
        {"alarm code 0", 11, 0},         {"averaging 5 is no 6k-2", 13, 5},
        {"averaging 31 s", 13, 184},     {"address 0", 15, 0},
    };
    for (const Case& c : cases) {
        TSimEngine e = Engine();
        // copper, 50 ohm, -10..100, direct, alarm 1, off, address 5
        TSimBytes regs = Bytes({0, 3, 0, 2, 0xFF, 0xF6, 0, 100, 0, 0, 0, 1, 0, 0, 0, 5});
        regs[size_t(c.index)] = uint8_t(c.value);
        TSimBytes w = Bytes({5, 0x10, 0, 0x18, 0, 8, 0x10});
        w.insert(w.end(), regs.begin(), regs.end());
        EXPECT_EQ(Body(e.HandleRequest(WithCrc(w), 0)), Bytes({5, 0x90, 3})) << c.what;
        EXPECT_FALSE(e.TakeStateChanged()) << c.what;
        EXPECT_EQ(Body(e.HandleRequest(Req({5, 3, 0, 0x18, 0, 8}), 0)),
                  Bytes({5, 3, 0x10, 0, 3, 0, 2, 0xFF, 0xCE, 0x00, 0x96, 0, 1, 0, 2, 0, 0xB2, 0, 5}))
            << c.what;
    }
}

TEST(SimAnswers, AlarmCodesFollowTheTransducerType)
{
    TSimState s = SampleState();
    s.typeCode = 'N';
    TSimEngine e = Engine(s);
    auto write = [&](int alarm) {
        return Body(e.HandleRequest(Req({5, 0x10, 0, 0x18, 0, 8, 0x10, 0, 2, 0, 1, 0, 0, 0, 100, 0, 0, 0, alarm, 0,
                                         0, 0, 5}),
                                    0));
    };
    EXPECT_EQ(write(3), Bytes({5, 0x90, 3}));
    EXPECT_EQ(write(2), Bytes({5, 0x10, 0, 0x18, 0, 8}));
}

TEST(SimAnswers, ExceptionAnswersForWhatItDoesNotSupport)
{
    TSimEngine e = Engine();
    struct Case {
        const char* what;
        TSimBytes request;
        TSimBytes answer;
    };
    const Case cases[] = {
        {"function 4", Req({5, 4, 0, 0x18, 0, 8}), Bytes({5, 0x84, 1})},
        {"function 6", Req({5, 6, 0, 0x18, 0, 1}), Bytes({5, 0x86, 1})},
        {"read of the information block", Req({5, 3, 0, 0x08, 0, 0x10}), Bytes({5, 0x83, 2})},
        {"read of half the configuration", Req({5, 3, 0, 0x18, 0, 4}), Bytes({5, 0x83, 2})},
        {"write of the measurement block", Req({5, 0x10, 0, 0x20, 0, 1, 2, 0, 0}), Bytes({5, 0x90, 2})},
        {"identification with a data byte", Req({5, 0x11, 0}), Bytes({5, 0x91, 3})},
        {"read of 9 bytes", Req({5, 3, 0, 0x18, 0, 8, 0}), Bytes({5, 0x83, 3})},
        {"read of no register", Req({5, 3, 0, 0x18, 0, 0}), Bytes({5, 0x83, 3})},
        {"write whose byte count does not match", Req({5, 0x10, 0, 8, 0, 0x10, 0x04, 0, 0, 0, 0}),
         Bytes({5, 0x90, 3})},
        {"R0 correction with a spare byte", Req({5, 'N', 1, 0}), Bytes({5, 0xCE, 3})},
        {"NSX step cut short", Req({5, 'O', 1, 0}), Bytes({5, 0xCF, 3})},
        {"calibration stage cut short", Req({5, 'M', 1, 0, 0, 0}), Bytes({5, 0xCD, 3})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Body(e.HandleRequest(c.request, 0)), c.answer) << c.what;
    EXPECT_FALSE(e.TakeStateChanged());
}

TEST(SimAnswers, DamagedAndForeignRequestsGetSilence)
{
    TSimEngine e = Engine();
    TSimBytes damaged = Req({5, 0x11});
    damaged[3] ^= 0x01;
    EXPECT_FALSE(e.HandleRequest(damaged, 0));
    EXPECT_FALSE(e.HandleRequest(Req({6, 0x11}), 0));
    EXPECT_FALSE(e.HandleRequest(Req({0, 0x11}), 0));
    EXPECT_FALSE(e.HandleRequest(Bytes({5, 0x11, 0xC0}), 0)) << "too short to be a frame";
    EXPECT_FALSE(e.HandleRequest(Req({6, 0x10, 0, 0x18, 0, 8, 0x10, 0, 1, 0, 1, 0, 0, 0, 100, 0, 0, 0, 1, 0, 0, 0, 9}), 0));
    EXPECT_FALSE(e.TakeStateChanged()) << "a write for another address changes nothing";
    EXPECT_TRUE(e.HandleRequest(Req({5, 0x11}), 0));
}

TEST(SimAnswers, FaultSwitches)
{
    TSimFaults drop;
    drop.dropFirst = 2;
    TSimEngine d = Engine(SampleState(), drop);
    EXPECT_FALSE(d.HandleRequest(Req({6, 0x11}), 0)) << "foreign requests are not counted";
    EXPECT_FALSE(d.HandleRequest(Req({5, 0x11}), 0));
    EXPECT_FALSE(d.HandleRequest(Req({5, 0x11}), 0));
    EXPECT_TRUE(d.HandleRequest(Req({5, 0x11}), 0));

    TSimFaults silent;
    silent.silent = true;
    TSimEngine s = Engine(SampleState(), silent);
    EXPECT_FALSE(s.HandleRequest(Req({5, 0x11}), 0));

    TSimFaults forced;
    forced.exceptions[3] = 2;
    forced.exceptions['M'] = 10;
    TSimEngine x = Engine(SampleState(), forced);
    EXPECT_EQ(Body(x.HandleRequest(Req({5, 3, 0, 0x18, 0, 8}), 0)), Bytes({5, 0x83, 2}));
    EXPECT_EQ(Body(x.HandleRequest(Req({5, 'M', 1, 0, 0, 0, 0}), 0)), Bytes({5, 0xCD, 10}));
    EXPECT_EQ(Body(x.HandleRequest(Req({5, 0x11}), 0)).size(), 53u) << "other functions answer normally";

    TSimFaults crc;
    crc.badCrcFirst = 1;
    TSimEngine c = Engine(SampleState(), crc);
    const auto first = c.HandleRequest(Req({5, 0x11}), 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size(), 55u);
    EXPECT_FALSE(FrameCRCValid(first->data(), 55));
    EXPECT_TRUE(Body(c.HandleRequest(Req({5, 0x11}), 0)).size() == 53u) << "only the first answer is damaged";

    crc.badCrcFirst = 0;
    crc.badCrc = true;
    TSimEngine all = Engine(SampleState(), crc);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Body(all.HandleRequest(Req({5, 0x11}), 0)).empty());
}
