#pragma once

#include <QIcon>

// The program's image list (32 x 32): 0 start, 1 stop, 2 colours,
// 3 connect, 4 disconnect, 5 settings, 6 COM port, 7 find first,
// 8 read, 9 write, 10 indicator style, 11 exit, 12 about.
constexpr int kImageCount = 13;
QIcon ImageListIcon(int index);
