#include "AnswerPacer.h"

#include <algorithm>

std::vector<TOutByte> PaceAnswer(const TSimBytes& answer, int64_t nowUs, int64_t lineFreeUs,
                                 const TLineOptions& line)
{
    std::vector<TOutByte> out;
    const size_t n = answer.size();
    if (n == 0)
        return out;
    const size_t pieces = std::clamp<size_t>(size_t(std::max(line.pieces, 1)), 1, n);
    const int64_t start = std::max(nowUs + int64_t(line.replyDelayMs) * 1000, lineFreeUs);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const auto piece = int64_t(i * pieces / n);
        int64_t due = start + piece * int64_t(line.pieceGapMs) * 1000;
        if (line.pacing)
            due += int64_t(double(i + 1) * kCharMicros);
        out.push_back({due, answer[i]});
    }
    return out;
}
