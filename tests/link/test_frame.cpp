#include "device/FrameDate.h"
#include "link/Frame.h"
#include "RecordingMessages.h"
#include "ScriptedPort.h"

#include <gtest/gtest.h>

namespace {

QByteArray Field(const TFrameBuffer& b, int pos, int n)
{
    return FromFrameBuffer(b, pos + n).mid(pos);
}

} // namespace

TEST(FrameCRC, KnownVectors)
{
    const uint8_t id[] = {0x01, 0x11};
    const TCrc16 c = CalcCRC16(id, 2);
    EXPECT_EQ(c.lo, 0xC0);
    EXPECT_EQ(c.hi, 0x2C);

    const QByteArray digits("123456789");
    const TCrc16 d = CalcCRC16(reinterpret_cast<const uint8_t*>(digits.constData()), 9);
    EXPECT_EQ(d.lo, 0x37);
    EXPECT_EQ(d.hi, 0x4B);

    TFrameBuffer b{};
    b[0] = 0x01;
    b[1] = 0x11;
    EXPECT_EQ(PutFrameCRC(b, 2), 4);
    EXPECT_EQ(FromFrameBuffer(b, 4), HexBytes("01 11 C0 2C"));
    EXPECT_TRUE(FrameCRCValid(b.data(), 4));
    b[3] ^= 1;
    EXPECT_FALSE(FrameCRCValid(b.data(), 4));
    EXPECT_FALSE(FrameCRCValid(b.data(), 2)); // too short to carry a CRC
}

TEST(FrameInt, WidthsAndNegativeValues)
{
    TFrameBuffer b{};
    PutFrameInt(b, 0, 2, -1);
    EXPECT_EQ(Field(b, 0, 2), HexBytes("FF FF"));
    PutFrameInt(b, 2, 2, 300);
    EXPECT_EQ(Field(b, 2, 2), HexBytes("01 2C"));
    PutFrameInt(b, 4, 2, 70000);
    EXPECT_EQ(Field(b, 4, 2), HexBytes("11 70"));
    PutFrameInt(b, 6, 1, 0x1FF);
    EXPECT_EQ(Field(b, 6, 1), HexBytes("FF"));
    PutFrameInt(b, 7, 1, -2);
    EXPECT_EQ(Field(b, 7, 1), HexBytes("FE"));
    EXPECT_EQ(b[8], 0); // nothing beyond the field

    // A 4-byte field holds the full two's complement, so a value read back
    // from the device is written back unchanged.
    PutFrameInt(b, 10, 4, -1);
    EXPECT_EQ(Field(b, 10, 4), HexBytes("FF FF FF FF"));
    EXPECT_EQ(GetFrameInt32(b, 10), -1);
    PutFrameInt(b, 10, 4, -5);
    EXPECT_EQ(Field(b, 10, 4), HexBytes("FF FF FF FB"));
    EXPECT_EQ(GetFrameInt32(b, 10), -5);
    PutFrameInt(b, 20, 4, 123456789);
    EXPECT_EQ(Field(b, 20, 4), HexBytes("07 5B CD 15"));
    EXPECT_EQ(GetFrameInt32(b, 20), 123456789);
}

TEST(FrameInt, Int16IsSigned)
{
    const TFrameBuffer b = ToFrameBuffer(HexBytes("FF FE 80 00 7F FF 00 00"));
    EXPECT_EQ(GetFrameInt16(b, 0), -2);
    EXPECT_EQ(GetFrameInt16(b, 2), -32768);
    EXPECT_EQ(GetFrameInt16(b, 4), 32767);
    EXPECT_EQ(GetFrameInt16(b, 6), 0);
}

TEST(FrameString, FixedWidthFields)
{
    TFrameBuffer b{};
    PutFrameString(b, 5, 24, QByteArray("ab"));
    EXPECT_EQ(Field(b, 5, 24), QByteArray("ab") + QByteArray(22, '\0'));
    PutFrameString(b, 40, 24, QByteArray(30, 'x'));
    EXPECT_EQ(Field(b, 40, 24), QByteArray(24, 'x'));
    EXPECT_EQ(b[64], 0);

    const TFrameBuffer t = ToFrameBuffer(QByteArray("  TSP100") + QByteArray(8, '\0'));
    EXPECT_EQ(GetFrameString(t, 0, 16).size(), 16);
    EXPECT_EQ(TrimFrameText(GetFrameString(t, 0, 16)), QByteArray("TSP100"));
    EXPECT_EQ(TrimFrameText(QByteArray("\x01\x20 \x00", 4)), QByteArray());
}

TEST(FrameDate, RoundTripAndInvalidDates)
{
    RecordingMessages msgs;
    const TFrameBuffer good = ToFrameBuffer(HexBytes("1F 0C 07 D0"));
    const TDateValue d = GetFrameDate(good, 0);
    EXPECT_EQ(QDateFromDateValue(d), QDate(2000, 12, 31));
    EXPECT_TRUE(msgs.isEmpty());

    TFrameBuffer b{};
    PutFrameDate(b, 3, d);
    EXPECT_EQ(Field(b, 3, 4), HexBytes("1F 0C 07 D0"));
    EXPECT_EQ(GetFrameDate(b, 3), d);

    for (const char* bad : {"00 00 00 00", "1F 02 07 D0", "01 0D 07 D0", "01 01 00 00"}) {
        msgs.clear();
        bool valid = true;
        EXPECT_EQ(GetFrameDate(ToFrameBuffer(HexBytes(bad)), 0, &valid), 0) << bad;
        EXPECT_FALSE(valid) << bad;
        EXPECT_TRUE(msgs.isEmpty()) << bad; // the frame reader only reports it
        EXPECT_EQ(ReadFrameDate(msgs, ToFrameBuffer(HexBytes(bad)), 0), 0) << bad;
        ASSERT_EQ(msgs.count(), 1) << bad;
        EXPECT_EQ(msgs.last().text, QStringLiteral("Неверная дата"));
        EXPECT_EQ(msgs.last().kind, mkError);
        EXPECT_EQ(msgs.last().buttons, mbOk);
    }
    // 29 February of a leap year is a date.
    msgs.clear();
    bool valid = false;
    EXPECT_NE(GetFrameDate(ToFrameBuffer(HexBytes("1D 02 07 D8")), 0, &valid), 0);
    EXPECT_TRUE(valid);
    EXPECT_NE(ReadFrameDate(msgs, ToFrameBuffer(HexBytes("1D 02 07 D8")), 0), 0);
    EXPECT_TRUE(msgs.isEmpty());
}
