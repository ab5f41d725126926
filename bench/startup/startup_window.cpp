// The yardstick of bench_startup: the least a Qt Widgets program does to show
// a window of the main window's size and title.
#include "app/StartupProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Зелкор"));
    window.setFixedSize(583, 367);
    TStartupProbe::FromEnvironment(&window);
    window.show();
    return app.exec();
}
