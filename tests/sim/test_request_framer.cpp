// Cutting the byte stream into requests, on a virtual time line.
#include "RequestFramer.h"
#include "SimTestUtil.h"

#include <gtest/gtest.h>

namespace {

void Feed(TRequestFramer& f, const TSimBytes& bytes, int64_t now)
{
    f.Feed(bytes.data(), bytes.size(), now);
}

TSimBytes Concat(const TSimBytes& a, const TSimBytes& b)
{
    TSimBytes r = a;
    r.insert(r.end(), b.begin(), b.end());
    return r;
}

} // namespace

TEST(RequestFramer, KnownLengthsCompleteAtOnce)
{
    TRequestFramer f(40);
    const TSimBytes id = Req({1, 0x11});
    const TSimBytes read = Req({1, 3, 0, 0x20, 0, 5});
    const TSimBytes write = Req({1, 0x10, 0, 0x18, 0, 1, 2, 0, 7});
    const TSimBytes nsx = Req({1, 'O', 1, 0, 0});
    Feed(f, Concat(Concat(id, read), Concat(write, nsx)), 100);
    const auto frames = f.Take(100);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], id);
    EXPECT_EQ(frames[1], read);
    EXPECT_EQ(frames[2], write);
    EXPECT_EQ(frames[3], nsx);
    EXPECT_EQ(f.Deadline(), -1);
}

TEST(RequestFramer, ARequestInPiecesWaitsForItsRest)
{
    TRequestFramer f(40);
    const TSimBytes cal = Req({1, 'M', 5, 0, 0, 0x0F, 0xA0});
    Feed(f, TSimBytes(cal.begin(), cal.begin() + 1), 0);
    EXPECT_TRUE(f.Take(10).empty());
    Feed(f, TSimBytes(cal.begin() + 1, cal.begin() + 5), 20);
    EXPECT_TRUE(f.Take(30).empty());
    EXPECT_EQ(f.Deadline(), 60);
    Feed(f, TSimBytes(cal.begin() + 5, cal.end()), 50);
    const auto frames = f.Take(50);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], cal);
}

TEST(RequestFramer, OtherRequestsEndWithTheSilence)
{
    TRequestFramer f(40);
    // unknown function: only the gap can end it
    const TSimBytes unknown = Req({1, 0x2B, 0x0E, 1, 0});
    Feed(f, unknown, 0);
    EXPECT_TRUE(f.Take(39).empty());
    auto frames = f.Take(40);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], unknown);

    // a read one byte too long: the first 8 bytes carry no valid CRC, so all 9 go together
    const TSimBytes longRead = Req({1, 3, 0, 0x18, 0, 8, 0});
    Feed(f, longRead, 100);
    EXPECT_TRUE(f.Take(100).empty());
    frames = f.Take(140);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], longRead);

    // a damaged identification
    TSimBytes bad = Req({1, 0x11});
    bad[2] ^= 0xFF;
    Feed(f, bad, 200);
    EXPECT_TRUE(f.Take(200).empty());
    frames = f.Take(240);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], bad);
    EXPECT_FALSE(f.Pending());
}

TEST(RequestFramer, ResetDropsAPartialRequest)
{
    TRequestFramer f(40);
    const TSimBytes id = Req({1, 0x11});
    Feed(f, TSimBytes(id.begin(), id.begin() + 2), 0);
    f.Reset();
    Feed(f, id, 10);
    const auto frames = f.Take(10);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], id);
}
