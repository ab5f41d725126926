#include "device/CalibrationProtocol.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TCalibrationRecord Sample(int type)
{
    TCalibrationRecord r;
    r.transducer.SlaveID = 17;
    r.transducer.PLType = type;
    r.transducer.PLTypeText = QStringLiteral("ИП-Т 4-20");
    r.transducer.SensorTypeText = QStringLiteral("ТСП 100П");
    r.transducer.SensorNum = 40512;
    r.transducer.SensorDate = DateValueFromQDate(QDate(2024, 11, 2));
    r.transducer.CalibrDate = DateValueFromQDate(QDate(2026, 12, 9));
    r.current5 = type == 'M' ? 4012 : 98;
    r.current6 = type == 'M' ? 19987 : 5003;
    r.started = QDateTime(QDate(2026, 12, 9), QTime(10, 2));
    r.finished = QDateTime(QDate(2026, 12, 9), QTime(10, 19));
    return r;
}

QString Value(const QList<TProtocolLine>& lines, const QString& label)
{
    for (const TProtocolLine& l : lines)
        if (l.label == label)
            return l.value;
    return QStringLiteral("<no line %1>").arg(label);
}

// A PDF tool of poppler-utils; an empty string when it is not installed.
QString RunTool(const QString& tool, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return {};
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ProtocolText, NamesTheTransducerTheCurrentsAndTheSession)
{
    const auto m = ProtocolLines(Sample('M'));
    EXPECT_EQ(Value(m, QStringLiteral("Тип преобразователя")), QStringLiteral("M — ИП-Т 4-20"));
    EXPECT_EQ(Value(m, QStringLiteral("Тип датчика")), QStringLiteral("ТСП 100П"));
    EXPECT_EQ(Value(m, QStringLiteral("Номер датчика")), QStringLiteral("40512"));
    EXPECT_EQ(Value(m, QStringLiteral("Дата датчика")), QStringLiteral("02.11.2024"));
    EXPECT_EQ(Value(m, QStringLiteral("Адрес")), QStringLiteral("17"));
    EXPECT_EQ(Value(m, QStringLiteral("Выходной сигнал")), QStringLiteral("4–20 мА"));
    EXPECT_EQ(Value(m, QStringLiteral("Измеренный ток в точке 4,000 мА")), QStringLiteral("4,012 мА"));
    EXPECT_EQ(Value(m, QStringLiteral("Измеренный ток в точке 20,000 мА")), QStringLiteral("19,987 мА"));
    EXPECT_EQ(Value(m, QStringLiteral("Дата настройки, записанная в прибор")), QStringLiteral("09.12.2026"));
    EXPECT_EQ(Value(m, QStringLiteral("Сеанс настройки")), QStringLiteral("09.12.2026 10:02 – 10:19"));

    const auto n = ProtocolLines(Sample('N'));
    EXPECT_EQ(Value(n, QStringLiteral("Выходной сигнал")), QStringLiteral("0–5 мА"));
    EXPECT_EQ(Value(n, QStringLiteral("Измеренный ток в точке 0,100 мА")), QStringLiteral("0,098 мА"));
    EXPECT_EQ(Value(n, QStringLiteral("Измеренный ток в точке 5,000 мА")), QStringLiteral("5,003 мА"));

    // An entry the range check refused travelled as -1: no current to print.
    TCalibrationRecord refused = Sample('M');
    refused.current5 = -1;
    refused.transducer.SensorTypeText.clear();
    const auto r = ProtocolLines(refused);
    EXPECT_TRUE(Value(r, QStringLiteral("Измеренный ток в точке 4,000 мА")).startsWith(QStringLiteral("не принят")));
    EXPECT_EQ(Value(r, QStringLiteral("Тип датчика")), QStringLiteral("—"));
}

TEST(ProtocolPdf, OnePageWithTheTextAndTheFontEmbedded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.pdf"));
    QFont font(QStringLiteral("Liberation Sans"));
    QString error;
    ASSERT_TRUE(WriteProtocolPdf(path, Sample('M'), font, &error)) << error.toStdString();

    const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
    if (info.isEmpty())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext, pdffonts) not installed";
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();

    const QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
                             .simplified();
    for (const QString& part : {QStringLiteral("Протокол настройки измерительного преобразователя"),
                                QStringLiteral("Тип преобразователя: M — ИП-Т 4-20"),
                                QStringLiteral("Номер датчика: 40512"), QStringLiteral("Адрес: 17"),
                                QStringLiteral("Измеренный ток в точке 20,000 мА: 19,987 мА"),
                                QStringLiteral("Дата настройки, записанная в прибор: 09.12.2026"),
                                QStringLiteral("Настройку провёл (Ф. И. О.):"), QStringLiteral("Подпись:")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << "\nin: " << text.toStdString();

    // Every font of the page travels inside the file.
    const QStringList fonts = RunTool(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(fonts.size(), 3) << fonts.join(QLatin1Char('\n')).toStdString();
    for (const QString& row : fonts.mid(2)) {
        const QStringList cols = row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(cols.size(), 5);
        EXPECT_EQ(cols[cols.size() - 5], QStringLiteral("yes")) << row.toStdString();
    }
}

TEST(ProtocolPdf, UnwritablePlaceIsReported)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/p.pdf"));
    QString error;
    EXPECT_FALSE(WriteProtocolPdf(path, Sample('M'), QFont(), &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}
