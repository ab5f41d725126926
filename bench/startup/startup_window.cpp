// The yardsticks of bench_startup: the least a Qt Widgets program does to
// show a window of the main window's size and title; with --text, the same
// window with one line of text in the program's font, which is what any
// window that shows words costs on top (font files, shaping, glyphs).
#include "app/StartupProbe.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Зелкор"));
    window.setFixedSize(583, 367);
    if (app.arguments().contains(QStringLiteral("--text"))) {
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Соединение не установленно")));
    }
    TStartupProbe::FromEnvironment(&window);
    window.show();
    return app.exec();
}
