// zelkor-cli: the transducer from a script, on the program's link and device code.
#include "CliOptions.h"
#include "CliRunner.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Printing a certificate needs fonts, so a (windowless) GUI application.
bool PrintsCertificate(int argc, char* argv[])
{
    bool certificate = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "certificate") == 0)
            certificate = true;
        if (std::strncmp(argv[i], "--verify", 8) == 0)
            return false;
    }
    return certificate;
}

} // namespace

int main(int argc, char* argv[])
{
    std::unique_ptr<QCoreApplication> application;
    if (PrintsCertificate(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication& app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("zelkor-cli"));

    TCliOptions options;
    QString error;
    if (!ParseCliOptions(app.arguments().mid(1), options, &error)) {
        std::fputs((error + QStringLiteral("\nzelkor-cli --help: справка\n")).toUtf8().constData(), stderr);
        return exUsage;
    }
    if (options.help) {
        std::fputs(CliHelpText().toUtf8().constData(), stdout);
        return exDone;
    }
    TCliRunner runner(options);
    return runner.Run();
}
