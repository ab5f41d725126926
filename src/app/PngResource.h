#pragma once

#include <QPixmap>
#include <QString>

// A PNG picture of the program's resources, read by Qt's built-in PNG reader.
// QPixmap and QIcon, given a file, first ask every image-format plugin
// whether it reads the file, and so load all of them and their libraries at
// start-up; the program's own pictures are PNGs, so they need none.
// A file that is not a PNG gives a null pixmap.
QPixmap PngResource(const QString& path);
