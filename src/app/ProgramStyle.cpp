#include "app/ProgramStyle.h"

#include "app/PngResource.h"

#include <QApplication>
#include <QStyleOption>

namespace {

const QString kImages = QStringLiteral(":/qt-project.org/styles/commonstyle/images/");

} // namespace

TProgramStyle::TProgramStyle()
    : QProxyStyle(QStringLiteral("fusion"))
{
}

bool TProgramStyle::InstallOverFusion()
{
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
        return false;
    QApplication::setStyle(new TProgramStyle);
    return true;
}

QIcon TProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    const Qt::LayoutDirection dir = option ? option->direction
                                           : widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    QStringList files;
    if (icon == SP_ToolBarHorizontalExtensionButton) {
        const QString rtl = dir == Qt::RightToLeft ? QStringLiteral("rtl-") : QString();
        for (int size : {8, 16, 32})
            files << kImages + QStringLiteral("toolbar-ext-h-%1%2.png").arg(rtl).arg(size);
    } else if (icon == SP_ToolBarVerticalExtensionButton) {
        for (int size : {5, 10, 20})
            files << kImages + QStringLiteral("toolbar-ext-v-%1.png").arg(size);
    } else {
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    QIcon result;
    for (const QString& file : files) {
        const QPixmap pixmap = PngResource(file);
        if (pixmap.isNull()) // another Qt: its own way, whatever it costs
            return QProxyStyle::standardIcon(icon, option, widget);
        result.addPixmap(pixmap);
    }
    return result;
}
