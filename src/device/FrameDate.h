#pragma once

#include "link/Frame.h"

// The date field of an answer; an impossible date is told to the user and
// read as no date (0).
TDateValue ReadFrameDate(const TFrameBuffer& buffer, int position);
