// Appends records to a history file as fast as it can and prints the id of
// each one once it is committed: the kill -9 test's victim.
#include "history/HistoryStore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    THistoryStore store(QString::fromLocal8Bit(argv[1]));
    if (!store.Open()) {
        std::fprintf(stderr, "%s\n", store.Error().toUtf8().constData());
        return 1;
    }
    for (int n = 0;; ++n) {
        THistoryEvent e;
        e.kind = QStringLiteral("connected");
        e.port = QStringLiteral("/dev/pts/0");
        e.address = 1 + n % 255;
        e.transducerType = QStringLiteral("M");
        e.sensorNumber = 1000 + n % 50;
        // A large record spans pages, so a kill can land in the middle of one.
        e.data = QJsonObject{{QStringLiteral("n"), n}, {QStringLiteral("pad"), QString(3000 + n % 2000, QLatin1Char('x'))}};
        qint64 id = 0;
        QString error;
        if (!store.Append(e, &id, &error)) {
            std::fprintf(stderr, "%s\n", error.toUtf8().constData());
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(id));
        std::fflush(stdout);
    }
}
