#include "app/COMChoiceFrm.h"
#include "app/MainWindow.h"
#include "app/PngResource.h"
#include "app/ProgramStyle.h"
#include "app/QtTranslations.h"
#include "app/ScreenFit.h"
#include "app/StartupProbe.h"
#include "app/ViewStatusFrm.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLocale>

namespace {

// The window was laid out for an 8-point sans font of Arial's widths; use the
// closest one the setup installs that has Cyrillic letters (DejaVu Sans is
// wider: "Соединение не установленно" would not fit its status panel).
QFont ProgramFont()
{
    const QStringList families = QFontDatabase::families();
    for (const QString& name : {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}) {
        if (families.contains(name))
            return QFont(name, 8);
    }
    QFont f = QApplication::font();
    f.setPointSize(8);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TProgramStyle::InstallOverFusion();
    // The application's title; not its display name, which the window system
    // would append to every window caption ("Зелкор — Zelkor").
    QApplication::setApplicationName(QStringLiteral("Zelkor"));
    QApplication::setFont(ProgramFont());
    // Qt's own dialogs and standard buttons in the user's language.
    InstallQtTranslations(app, QLocale());
    TScreenFit::Install(app);

    TfrmMain frmMain; // its creation runs the start-up sequence
    QApplication::setWindowIcon(QIcon(PngResource(QStringLiteral(":/icons/zelkor.png"))));
    frmMain.ViewStatus();
    frmMain.COMChoice();
    frmMain.EnsureMessageDialog();
    QObject::connect(&frmMain, &TfrmMain::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    TStartupProbe::FromEnvironment(&frmMain); // scripts only: reports the first paint
    frmMain.show();
    return app.exec();
}
