// zelkor-cli: the transducer from a script, on the program's link and device code.
#include "CliOptions.h"
#include "CliRunner.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
