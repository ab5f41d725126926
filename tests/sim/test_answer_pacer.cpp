// The time table of an answer on the line.
#include "AnswerPacer.h"

#include <gtest/gtest.h>

namespace {

TSimBytes Answer(size_t n)
{
    TSimBytes a(n);
    for (size_t i = 0; i < n; ++i)
        a[i] = uint8_t(i);
    return a;
}

} // namespace

TEST(AnswerPacer, LineRateAfterTheReplyDelay)
{
    TLineOptions line; // 20 ms, paced, one piece
    const auto t = PaceAnswer(Answer(55), 1'000'000, 0, line);
    ASSERT_EQ(t.size(), 55u);
    // 11 bits at 1200 bit/s: 9.167 ms a character; the 55th is in at 20 + 504.2 ms
    EXPECT_NEAR(double(t.front().dueUs), 1'000'000 + 20'000 + 9'167, 1.0);
    EXPECT_NEAR(double(t.back().dueUs), 1'000'000 + 20'000 + 504'167, 1.0);
    for (size_t i = 0; i < t.size(); ++i)
        EXPECT_EQ(t[i].byte, uint8_t(i));
}

TEST(AnswerPacer, PiecesAndBackToBackAnswers)
{
    TLineOptions line;
    line.pacing = false;
    line.replyDelayMs = 0;
    line.pieces = 3;
    line.pieceGapMs = 300;
    const auto t = PaceAnswer(Answer(15), 0, 0, line);
    ASSERT_EQ(t.size(), 15u);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_EQ(t[i].dueUs, int64_t(i / 5) * 300'000) << i;

    line.pieces = 100; // more pieces than bytes: one byte each
    const auto each = PaceAnswer(Answer(5), 0, 0, line);
    EXPECT_EQ(each.back().dueUs, 4 * 300'000);

    // a second answer waits until the first one is off the line
    TLineOptions paced;
    const auto second = PaceAnswer(Answer(5), 0, 800'000, paced);
    EXPECT_NEAR(double(second.front().dueUs), 800'000 + 9'167, 1.0);
}
