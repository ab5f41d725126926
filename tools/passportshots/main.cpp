// passportshots FOLDER: a sample history (a few transducers, one with a
// whole calibration session and a number change), the journal window and a
// certificate from it, rendered to PNG in FOLDER for a look.
#include "CertificateFixtures.h"

#include "app/CertificateInputFrm.h"
#include "app/JournalFrm.h"
#include "link/MessageDialog.h"
#include "passport/CertificateIssuer.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPixmap>
#include <QTableView>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/passportshots");
    QDir().mkpath(folder);
    const QString db = folder + QStringLiteral("/history.sqlite");
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(db + suffix);
    if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));

    THistoryStore store(db);
    if (!store.Open()) {
        std::fprintf(stderr, "%s\n", store.Error().toUtf8().constData());
        return 1;
    }
    for (int unit = 0; unit < 6; ++unit) {
        THistoryEvent e = SampleEvent(QStringLiteral("connected"), 200100 + unit * 17, unit);
        e.transducerType = unit % 3 == 2 ? QStringLiteral("N") : QStringLiteral("M");
        store.Append(e);
        THistoryEvent v = SampleEvent(QStringLiteral("verification"), 200100 + unit * 17, unit + 1);
        v.transducerType = e.transducerType;
        v.data = QJsonObject{{QStringLiteral("pass"), unit % 2 == 0}, {QStringLiteral("complete"), true},
                             {QStringLiteral("stage"), QStringLiteral("alone")}, {QStringLiteral("points"), QJsonArray()}};
        store.Append(v);
    }
    // 104233 was 12345 before its information was rewritten.
    THistoryEvent old = UnitEvent(QStringLiteral("configurationWritten"), {}, 20);
    old.sensorNumber = 12345;
    store.Append(old);
    store.Append(UnitEvent(QStringLiteral("sensorNumberChanged"),
                           {{QStringLiteral("from"), 12345}, {QStringLiteral("to"), 104233}}, 21));
    AppendSession(store, 11);

    TCertificateData data;
    QString error;
    if (!CertificateFromHistory(store, 104233, &data, &error)) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    data.input.organisation = QStringLiteral("ООО «Метрология-Юг»");
    data.input.organisationAddress = QStringLiteral("г. Краснодар, ул. Северная, 12");
    data.input.ambientTemperature = 21.5;
    data.input.humidity = 45;
    data.input.technician = QStringLiteral("Петров П. П.");
    data.input.approver = QStringLiteral("Сидоров С. С.");
    TIssuedCertificate issued;
    if (!IssueCertificate(store, data, [&](const QString& n) { return folder + QStringLiteral("/sertifikat_%1.pdf").arg(n); },
                          QApplication::font(), &issued, &error)) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    std::printf("%s (%d pages)\n", issued.path.toUtf8().constData(), issued.pages);

    TfrmJournal journal(store, UnattendedMessages());
    journal.show();
    for (int row = 0; row < journal.UnitsModel()->rowCount(); ++row) {
        if (journal.UnitsModel()->data(journal.UnitsModel()->index(row, THistoryUnitsModel::colNumber)).toLongLong() == 104233)
            journal.SelectUnit(row);
    }
    journal.SelectEvent(1);
    QApplication::processEvents();
    const QString png = folder + QStringLiteral("/journal.png");
    journal.grab().save(png);
    std::printf("%s\n", png.toUtf8().constData());

    TfrmCertificateInput input(data.input, 104233);
    input.show();
    QApplication::processEvents();
    const QString inputPng = folder + QStringLiteral("/certificate-input.png");
    input.grab().save(inputPng);
    std::printf("%s\n", inputPng.toUtf8().constData());
    return 0;
}
