#pragma once

#include "link/Frame.h"

class IMessageDialog;

// The date field of an answer; an impossible date is told to the user and
// read as no date (0).
TDateValue ReadFrameDate(IMessageDialog& dialog, const TFrameBuffer& buffer, int position);
