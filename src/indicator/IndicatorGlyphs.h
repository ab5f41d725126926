#pragma once

#include <array>
#include <cstdint>

#include "indicator/IndicatorTypes.h"

// Element flags of a segment cell: bit (position - 1) set means lit.
// Positions: 1 e, 2 f, 3 a, 4 b, 5 c, 6 d, 7 g; then for ik7segment 8 is the
// decimal point, for ik9segment 8 and 9 are the colon dots and 10 the point.
using TSegmentFlags = std::uint16_t;

// Number of elements in a cell of the kind (8 or 10; 0 for the matrix).
int SegmentElementCount(TLiquidIndicatorKind kind);

// Flags of a segment cell for the byte ch with its decimal point lit or not.
// A point character ('.' or ',') lights only the decimal point.
TSegmentFlags SegmentCellFlags(TLiquidIndicatorKind kind, unsigned char ch, bool point);

// The seven rows, top to bottom, of the 5 x 7 glyph of ch; bit 4 is the
// leftmost column. Bytes outside 0x21..0x7E and the back quote are blank.
std::array<std::uint8_t, 7> MatrixGlyph(unsigned char ch);

inline bool IsPointChar(unsigned char ch) { return ch == '.' || ch == ','; }
