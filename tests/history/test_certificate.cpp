#include "CertificateFixtures.h"

#include "passport/CertificateIssuer.h"
#include "passport/CertificatePdf.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QFont Font()
{
    return QFontDatabase::families().contains(QStringLiteral("Liberation Sans")) ? QFont(QStringLiteral("Liberation Sans"))
                                                                                 : QGuiApplication::font();
}

class CertificateTest : public ::testing::Test {
protected:
    CertificateTest()
        : store(dir.path() + QStringLiteral("/history.sqlite"))
    {
        EXPECT_TRUE(store.Open()) << store.Error().toStdString();
    }
    QString file(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir;
    THistoryStore store;
};

TEST_F(CertificateTest, GathersAsFoundAdjustmentAndAsLeftFromTheHistory)
{
    AppendSession(store);
    // Another unit's events in between change nothing.
    store.Append(SampleEvent(QStringLiteral("verification"), 999));
    TCertificateData d;
    QString error;
    ASSERT_TRUE(CertificateFromHistory(store, 104233, &d, &error)) << error.toStdString();
    ASSERT_TRUE(d.asFound.has_value());
    ASSERT_TRUE(d.adjustment.has_value());
    ASSERT_TRUE(d.asLeft.has_value());
    EXPECT_FALSE(d.asFound->pass);
    EXPECT_TRUE(d.asLeft->pass);
    EXPECT_EQ(d.adjustment->current5, 4012);
    ASSERT_EQ(d.stages.size(), 7);
    EXPECT_EQ(d.stages[5].currentUa, 19987);
    EXPECT_EQ(d.recordIds, (QList<qint64>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(d.item.SensorNum, 104233);
    EXPECT_EQ(d.item.SlaveID, 3);
    EXPECT_TRUE(d.HasVerdict());
    EXPECT_EQ(d.VerdictText(), QStringLiteral("соответствует установленным требованиям"));

    EXPECT_FALSE(CertificateFromHistory(store, 5, &d, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("№ 5")));
}

TEST_F(CertificateTest, AdjustmentWithoutVerificationHasNoVerdict)
{
    TCalibrationRecord c;
    c.transducer = SampleUnit();
    c.current5 = 4001;
    c.current6 = 20002;
    store.Append(UnitEvent(QStringLiteral("calibration"), CalibrationJson(c), 1));
    TCertificateData d;
    QString error;
    ASSERT_TRUE(CertificateFromHistory(store, 104233, &d, &error));
    EXPECT_TRUE(d.adjustment.has_value());
    EXPECT_FALSE(d.asLeft.has_value());
    EXPECT_FALSE(d.HasVerdict());
    EXPECT_TRUE(d.VerdictText().startsWith(QStringLiteral("не определено")));
}

TEST_F(CertificateTest, PdfCarriesEveryFieldAndNumbersItsPages)
{
    AppendSession(store, 11);
    TCertificateData d;
    QString error;
    ASSERT_TRUE(CertificateFromHistory(store, 104233, &d, &error));
    d.input.organisation = QStringLiteral("ООО «Метрология-Юг»");
    d.input.organisationAddress = QStringLiteral("г. Краснодар, ул. Северная, 12");
    d.input.ambientTemperature = 21.5;
    d.input.humidity = 45;
    d.input.technician = QStringLiteral("Петров П. П.");
    d.input.approver = QStringLiteral("Сидоров С. С.");
    d.issued = QDate(2026, 12, 9);

    TIssuedCertificate issued;
    ASSERT_TRUE(IssueCertificate(store, d, [&](const QString& n) { return file(n + QStringLiteral(".pdf")); }, Font(),
                                 &issued, &error))
        << error.toStdString();
    EXPECT_EQ(issued.number, QStringLiteral("2026-0001"));
    EXPECT_EQ(issued.pages, 2);
    const QStringList pages = PdfPages(issued.path);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(pages[i].contains(QStringLiteral("№ 2026-0001")));
        EXPECT_TRUE(pages[i].contains(QStringLiteral("стр. %1 из 2").arg(i + 1)));
    }
    const QString text = pages.join(QLatin1Char('\n')).simplified();
    d.number = issued.number; // as it was printed
    for (const QString& expected : {
             QStringLiteral("СЕРТИФИКАТ КАЛИБРОВКИ"), QStringLiteral("09.12.2026"),
             QStringLiteral("ООО «Метрология-Юг»"), QStringLiteral("г. Краснодар, ул. Северная, 12"),
             QStringLiteral("ЗЕЛКОР-М"), QStringLiteral("ТСП 100П"), QStringLiteral("104233"), QStringLiteral("17.05.2024"),
             QStringLiteral("от -50 до 150 °C"), QStringLiteral("4–20 мА, прямой"), QStringLiteral("α = 0,00391"),
             QStringLiteral("простое принятие"), QStringLiteral("±0,25 %"), QStringLiteral("5 отсчётов"),
             QStringLiteral("Мультиметр В7-78/1"), QStringLiteral("SN-5521"), QStringLiteral("С-ГСХ/12-2026"),
             QStringLiteral("30.06.2027"), QStringLiteral("МСР-60М"),
             QStringLiteral("21,5 °C"), QStringLiteral("45 %"),
             QStringLiteral("Результаты до настройки"), QStringLiteral("Результаты после настройки"),
             QStringLiteral("не соотв."), QStringLiteral("соотв."), QStringLiteral("4,012"), QStringLiteral("19,987"),
             QStringLiteral("Новая дата настройки"), QStringLiteral("соответствует установленным требованиям"),
             QStringLiteral("Петров П. П."), QStringLiteral("Сидоров С. С."), QStringLiteral("(подпись, дата)"),
             CertificateStatement(), QStringLiteral("версия"), d.DataSha256()}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    }
    // The as-found table shows the out-of-tolerance error it measured.
    EXPECT_TRUE(text.contains(QStringLiteral("0,90")));
}

TEST_F(CertificateTest, IssuedCertificateIsRecordedAndTellsAForgery)
{
    AppendSession(store);
    TCertificateData d;
    QString error;
    ASSERT_TRUE(CertificateFromHistory(store, 104233, &d, &error));
    TIssuedCertificate issued;
    ASSERT_TRUE(IssueCertificate(store, d, [&](const QString&) { return file(QStringLiteral("c.pdf")); }, Font(), &issued,
                                 &error));
    THistoryFilter f;
    f.kind = QStringLiteral("certificate");
    const QList<THistoryRecord> recorded = store.Records(f);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded[0].data.value(QStringLiteral("number")).toString(), issued.number);
    EXPECT_EQ(recorded[0].data.value(QStringLiteral("fileSha256")).toString(), FileSha256(issued.path));
    EXPECT_EQ(recorded[0].sensorNumber, 104233);

    QString text;
    EXPECT_EQ(CheckCertificateFile(store, issued.path, &text), TCertificateCheck::Genuine) << text.toStdString();
    EXPECT_TRUE(text.contains(issued.number));

    // One byte changed in a copy.
    QFile::copy(issued.path, file(QStringLiteral("forged.pdf")));
    {
        QFile forged(file(QStringLiteral("forged.pdf")));
        ASSERT_TRUE(forged.open(QIODevice::ReadWrite));
        forged.seek(forged.size() / 2);
        const char c = forged.peek(1).at(0);
        forged.write(QByteArray(1, char(c ^ 0x20)));
    }
    EXPECT_EQ(CheckCertificateFile(store, file(QStringLiteral("forged.pdf")), &text), TCertificateCheck::Unknown);
    EXPECT_EQ(CheckCertificateFile(store, file(QStringLiteral("none.pdf")), &text), TCertificateCheck::Unreadable);

    // A record it certifies altered behind the program's back.
    {
        SqlClient client(store.Path());
        client.exec(QStringLiteral("DROP TRIGGER events_no_update"));
        client.exec(QStringLiteral("UPDATE events SET hash = 'x' WHERE id = 11"));
    }
    EXPECT_EQ(CheckCertificateFile(store, issued.path, &text), TCertificateCheck::Altered);
    EXPECT_TRUE(text.contains(QStringLiteral("11")));
}

TEST_F(CertificateTest, NumbersAreUniqueAndAFailedFileIsNotRecorded)
{
    AppendSession(store);
    TCertificateData d;
    QString error;
    ASSERT_TRUE(CertificateFromHistory(store, 104233, &d, &error));
    d.issued = QDate(2026, 1, 2);
    EXPECT_FALSE(IssueCertificate(store, d, [&](const QString&) { return file(QStringLiteral("no/such/dir/c.pdf")); }, Font(),
                                  nullptr, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no/such/dir")));
    TIssuedCertificate a, b;
    ASSERT_TRUE(IssueCertificate(store, d, [&](const QString& n) { return file(n); }, Font(), &a, &error));
    ASSERT_TRUE(IssueCertificate(store, d, [&](const QString& n) { return file(n); }, Font(), &b, &error));
    // The failed one used its number up; numbers are never given twice.
    EXPECT_EQ(a.number, QStringLiteral("2026-0002"));
    EXPECT_EQ(b.number, QStringLiteral("2026-0003"));
    THistoryFilter f;
    f.kind = QStringLiteral("certificate");
    EXPECT_EQ(store.Records(f).size(), 2);
    EXPECT_TRUE(store.VerifyChain().ok);
}

} // namespace
