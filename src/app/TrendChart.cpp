#include "app/TrendChart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

QStringList TrendChartModulePaths()
{
    // Beside the program in the build tree; installed, in its library folder.
    const QDir here(QCoreApplication::applicationDirPath());
    return {here.filePath(QStringLiteral(ZELKOR_TREND_MODULE)),
            QDir::cleanPath(here.filePath(QStringLiteral(ZELKOR_MODULE_RELDIR "/" ZELKOR_TREND_MODULE)))};
}

ITrendChart* CreateTrendChart(QWidget* parent, QString* error)
{
    // Resolved once and kept: the module stays loaded while the program runs.
    static TCreateTrendChart create = nullptr;
    static QString failure;
    if (!create && failure.isEmpty()) {
        QStringList reasons;
        for (const QString& path : TrendChartModulePaths()) {
            if (!QFileInfo::exists(path))
                continue;
            QLibrary module(path);
            module.setLoadHints(QLibrary::PreventUnloadHint);
            create = reinterpret_cast<TCreateTrendChart>(module.resolve(kCreateTrendChartSymbol));
            if (create)
                break;
            reasons << module.errorString();
        }
        if (!create)
            failure = reasons.isEmpty() ? QStringLiteral("нет файла %1").arg(TrendChartModulePaths().constLast())
                                        : reasons.join(QLatin1Char('\n'));
    }
    if (!create) {
        if (error)
            *error = failure;
        return nullptr;
    }
    return create(parent);
}
