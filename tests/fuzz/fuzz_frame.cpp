// The frame's field readers and writers and the Windows-1251 conversion.

#include "common/Cp1251.h"
#include "FuzzApp.h"
#include "FuzzInput.h"
#include "link/Frame.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApp();
    FuzzInput in(data, size);

    TFrameBuffer frame{};
    const QByteArray head = in.bytes(kFrameBufferSize);
    std::memcpy(frame.data(), head.constData(), size_t(head.size()));
    const int pos = in.byte() % kFrameBufferSize;
    const int count = in.byte() % (kFrameBufferSize - pos + 1);

    FUZZ_CHECK(GetFrameString(frame, pos, count).size() == count);
    const QByteArray trimmed = TrimFrameText(GetFrameString(frame, pos, count));
    FUZZ_CHECK(trimmed.isEmpty() || (uint8_t(trimmed.front()) > 0x20 && uint8_t(trimmed.back()) > 0x20));

    const int p2 = pos % (kFrameBufferSize - 1);
    const int16_t v16 = GetFrameInt16(frame, p2);
    const int p4 = pos % (kFrameBufferSize - 3);
    const int32_t v32 = GetFrameInt32(frame, p4);
    TFrameBuffer copy{};
    PutFrameInt(copy, p2, 2, v16);
    FUZZ_CHECK(GetFrameInt16(copy, p2) == v16);
    PutFrameInt(copy, p4, 4, v32);
    FUZZ_CHECK(GetFrameInt32(copy, p4) == v32);

    const TDateValue date = GetFrameDate(frame, p4);
    if (date != 0) {
        PutFrameDate(copy, p4, date);
        FUZZ_CHECK(GetFrameDate(copy, p4) == date);
    }

    const int len = std::min(count, kFrameBufferSize - 2);
    TFrameBuffer crc = frame;
    FUZZ_CHECK(PutFrameCRC(crc, len) == len + 2);
    FUZZ_CHECK(FrameCRCValid(crc.data(), len + 2) == (len >= 1)); // a frame has at least one byte before its CRC

    // Every byte survives a round trip through Unicode; text from the code
    // page survives the way back.
    const QString text = fromCp1251(head);
    FUZZ_CHECK(text.size() == head.size());
    FUZZ_CHECK(toCp1251(text) == head);
    const QString wide = QString::fromUtf8(in.rest());
    FUZZ_CHECK(toCp1251(wide).size() == wide.size());

    TFrameBuffer strings{};
    PutFrameString(strings, pos, count, head);
    FUZZ_CHECK(GetFrameString(strings, pos, count) == (head.left(count) + QByteArray(std::max<qsizetype>(0, count - head.size()), '\0')));
    return 0;
}
