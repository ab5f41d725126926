// The simulator's request framer: bytes in pieces at any time, cut into requests.

#include "FuzzApp.h"
#include "FuzzInput.h"
#include "RequestFramer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    TRequestFramer framer(1 + in.byte() % 80);
    int64_t now = 0;
    size_t fed = 0, taken = 0, largestPiece = 0;
    while (!in.empty()) {
        now += in.byte();
        const QByteArray piece = in.bytes(in.byte() % 40);
        framer.Feed(reinterpret_cast<const uint8_t*>(piece.constData()), size_t(piece.size()), now);
        fed += size_t(piece.size());
        largestPiece = std::max(largestPiece, size_t(piece.size()));
        now += in.byte() % 64;
        for (const TSimBytes& request : framer.Take(now)) {
            FUZZ_CHECK(!request.empty());
            // Garbage is cut once it passes the longest request; one piece may overshoot.
            FUZZ_CHECK(request.size() <= 256 + largestPiece);
            taken += request.size();
        }
        FUZZ_CHECK(framer.Pending() == (framer.Deadline() >= 0));
        FUZZ_CHECK(taken <= fed);
    }
    // Silence closes whatever is left.
    now += 10000;
    for (const TSimBytes& request : framer.Take(now))
        taken += request.size();
    FUZZ_CHECK(!framer.Pending());
    FUZZ_CHECK(taken <= fed);
    return 0;
}
