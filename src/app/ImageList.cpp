#include "app/ImageList.h"

#include "app/PngResource.h"

QIcon ImageListIcon(int index)
{
    if (index < 0 || index >= kImageCount)
        return {};
    return QIcon(PngResource(QStringLiteral(":/icons/image%1.png").arg(index, 2, 10, QLatin1Char('0'))));
}
