#include "app/PngResource.h"

#include <QImageReader>

QPixmap PngResource(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
