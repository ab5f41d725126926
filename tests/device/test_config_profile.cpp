// Configuration profiles: the file format, damaged files and the checks.
#include "device/ConfigProfile.h"

#include "common/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QByteArray kGood = "[Configuration]\r\nSensor=pt385\r\nR0=50\r\nBottom=-50\r\nTop=150\r\n"
                         "Output=inverse\r\nAlarm=3,6\r\nAverage=5\r\n";

class ProfileFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = QStringLiteral("p.zcf")) const { return dir.filePath(name); }
    QString put(const QByteArray& bytes, const QString& name = QStringLiteral("p.zcf")) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    // The load's message, empty when it loaded.
    QString loadError(const QByteArray& bytes) const
    {
        TConfigProfile p;
        QString error;
        return LoadConfigProfile(put(bytes), &p, &error) ? QString() : error;
    }
};

TConfigProfile Valid()
{
    TConfigProfile p;
    p.SensorKind = 1;
    p.R0 = 100;
    p.BottomTempBound = -50;
    p.TopTempBound = 150;
    p.AlarmTenths = 210;
    return p;
}

QString CheckError(const TConfigProfile& p, int plType)
{
    QString error;
    return CheckConfigProfile(p, plType, &error) ? QString() : error;
}

} // namespace

TEST_F(ProfileFiles, SavedProfileReadsBackAndIsCp1251WithCrLf)
{
    TConfigProfile p = Valid();
    p.DirectLeadOut = false;
    p.Average = 30;
    p.AlarmTenths = 32;
    p.HasSensorText = true;
    p.SensorTypeText = QStringLiteral("ТСП-100 №7");
    QString error;
    ASSERT_TRUE(SaveConfigProfile(path(), p, &error)) << error.toStdString();

    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("Alarm=3.2\r\n"));
    EXPECT_TRUE(bytes.contains("Output=inverse\r\n"));
    EXPECT_TRUE(bytes.contains("SensorType=" + toCp1251(QStringLiteral("ТСП-100 №7")) + "\r\n"));
    EXPECT_FALSE(bytes.contains("Address"));

    TConfigProfile back;
    ASSERT_TRUE(LoadConfigProfile(path(), &back, &error)) << error.toStdString();
    EXPECT_EQ(back.SensorKind, 1);
    EXPECT_EQ(back.R0, 100);
    EXPECT_EQ(back.BottomTempBound, -50);
    EXPECT_EQ(back.TopTempBound, 150);
    EXPECT_FALSE(back.DirectLeadOut);
    EXPECT_EQ(back.AlarmTenths, 32);
    EXPECT_EQ(back.Average, 30);
    EXPECT_TRUE(back.HasSensorText);
    EXPECT_EQ(back.SensorTypeText, QStringLiteral("ТСП-100 №7"));
}

TEST_F(ProfileFiles, HandWrittenProfileWithLfAndCommaLoads)
{
    QByteArray lf = kGood;
    lf.replace("\r\n", "\n");
    TConfigProfile p;
    QString error;
    ASSERT_TRUE(LoadConfigProfile(put(lf), &p, &error)) << error.toStdString();
    EXPECT_EQ(p.SensorKind, 2);
    EXPECT_EQ(p.R0, 50);
    EXPECT_EQ(p.AlarmTenths, 36);
    EXPECT_EQ(p.Average, 5);
    EXPECT_FALSE(p.HasSensorText);
}

TEST_F(ProfileFiles, DamagedFilesAreRefusedNamingTheField)
{
    EXPECT_TRUE(loadError("").contains(QStringLiteral("нет раздела [Configuration]")));
    EXPECT_TRUE(loadError("\x01\x02 garbage \xff\xfe").contains(QStringLiteral("не является профилем")));
    EXPECT_TRUE(loadError(QByteArray("[Configuration]\r\nSen") + '\0' + "sor=pt385").contains(
        QStringLiteral("не является профилем")));

    QByteArray cut = kGood.left(kGood.indexOf("Alarm"));
    EXPECT_EQ(loadError(cut), QStringLiteral("Профиль «p.zcf»: Аварийный сигнал: нет значения"));

    QByteArray unknown = kGood;
    unknown.replace("pt385", "pt100");
    EXPECT_TRUE(loadError(unknown).startsWith(QStringLiteral("Профиль «p.zcf»: Тип датчика: неизвестное значение «pt100»")));

    QByteArray notNumber = kGood;
    notNumber.replace("Top=150", "Top=15O");
    EXPECT_TRUE(loadError(notNumber).contains(QStringLiteral("Верхняя граница: «15O» не целое число")));

    QByteArray badAlarm = kGood;
    badAlarm.replace("Alarm=3,6", "Alarm=3.65");
    EXPECT_TRUE(loadError(badAlarm).contains(QStringLiteral("Аварийный сигнал: неизвестное значение «3.65»")));

    QByteArray empty = kGood;
    empty.replace("R0=50", "R0=");
    EXPECT_TRUE(loadError(empty).contains(QStringLiteral("Сопротивление датчика: нет значения")));

    QByteArray average = kGood;
    average.replace("Average=5", "Average=31");
    EXPECT_TRUE(loadError(average).contains(QStringLiteral("Усреднение измерений")));
}

TEST_F(ProfileFiles, OversizedFilePipeAndFolderAreRefusedWithoutReading)
{
    QByteArray big = kGood + QByteArray(70 * 1024, ';');
    EXPECT_TRUE(loadError(big).contains(QStringLiteral("не является профилем")));

    TConfigProfile p;
    QString error;
    const QString fifo = path(QStringLiteral("fifo.zcf"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(LoadConfigProfile(fifo, &p, &error)); // would block if it were opened
    EXPECT_TRUE(error.contains(QStringLiteral("не является профилем")));
    EXPECT_FALSE(SaveConfigProfile(fifo, Valid(), &error));
    EXPECT_TRUE(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo)); // still the pipe

    EXPECT_FALSE(LoadConfigProfile(dir.path(), &p, &error));
    EXPECT_FALSE(SaveConfigProfile(dir.path(), Valid(), &error));
    EXPECT_FALSE(LoadConfigProfile(path(QStringLiteral("missing.zcf")), &p, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("не найден")));
}

TEST(ProfileChecks, BoundsFollowTheSensorLimits)
{
    TConfigProfile p = Valid();
    EXPECT_EQ(CheckError(p, 'M'), QString());

    p.TopTempBound = 601;
    EXPECT_TRUE(CheckError(p, 'M').startsWith(QStringLiteral("Верхняя граница: значение 601 вне пределов -175..600")));
    p.TopTempBound = 600;
    p.BottomTempBound = -201;
    EXPECT_TRUE(CheckError(p, 'M').startsWith(QStringLiteral("Нижняя граница: значение -201 вне пределов -200..575")));

    // The copper sensor's narrower limits: a range fine for platinum is refused.
    p = Valid();
    p.TopTempBound = 250;
    EXPECT_EQ(CheckError(p, 'M'), QString());
    p.SensorKind = 3;
    EXPECT_TRUE(CheckError(p, 'M').contains(QStringLiteral("-75..200")));
    p.TopTempBound = 200;
    p.BottomTempBound = -100;
    EXPECT_EQ(CheckError(p, 'M'), QString());
}

TEST(ProfileChecks, RangeOrderAndSpanGiveThePageMessages)
{
    TConfigProfile p = Valid();
    p.BottomTempBound = 100;
    p.TopTempBound = 50;
    EXPECT_EQ(CheckError(p, 'M'), QStringLiteral("Верхняя граница: Значание верней границы диапазона меньше нижней!"));
    p.TopTempBound = 100; // equal bounds are a span problem, not an order one
    EXPECT_EQ(CheckError(p, 'M'), QStringLiteral("Верхняя граница: Длина диапазона не может быть меньше 25 град!"));
    p.BottomTempBound = -200;
    p.TopTempBound = -175;
    EXPECT_EQ(CheckError(p, 'M'), QString());
}

TEST(ProfileChecks, AlarmCurrentMustSuitTheTransducerType)
{
    TConfigProfile p = Valid(); // 21 mA
    EXPECT_EQ(CheckError(p, 'M'), QString());
    EXPECT_TRUE(CheckError(p, 'N').startsWith(QStringLiteral("Аварийный сигнал: 21 мА не предусмотрено")));
    EXPECT_EQ(CheckError(p, 0), QString()); // type not known yet: either table
    p.AlarmTenths = 55;
    EXPECT_EQ(CheckError(p, 'N'), QString());
    EXPECT_FALSE(CheckError(p, 'M').isEmpty());
    p.AlarmTenths = -1;
    EXPECT_TRUE(CheckError(p, 'N').contains(QStringLiteral("не выбран")));
}

TEST(ProfileValues, SetKeysAndRecordMapping)
{
    TConfigProfile p;
    QString error;
    EXPECT_TRUE(SetProfileValue(p, QStringLiteral("SENSOR"), QStringLiteral("Cu428"), &error));
    EXPECT_EQ(p.SensorKind, 3);
    EXPECT_TRUE(SetProfileValue(p, QStringLiteral("average"), QStringLiteral("off"), &error));
    EXPECT_EQ(p.Average, 0);
    EXPECT_FALSE(SetProfileValue(p, QStringLiteral("address"), QStringLiteral("5"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Неизвестный параметр «address»")));
    EXPECT_FALSE(SetProfileValue(p, QStringLiteral("r0"), QStringLiteral("75"), &error));
    EXPECT_FALSE(SetProfileValue(p, QStringLiteral("bottom"), QStringLiteral("99999"), &error));

    // The record's alarm code means a current by the type: code 2 is 3,6 mA or 5,5 mA.
    TTransducerData r;
    r.PLType = 'N';
    r.AlarmCur = 2;
    r.SensorKind = 1;
    EXPECT_EQ(ProfileFromRecord(r).AlarmTenths, 55);
    r.PLType = 'M';
    EXPECT_EQ(ProfileFromRecord(r).AlarmTenths, 36);
    TConfigProfile q = Valid();
    q.AlarmTenths = 220;
    ApplyProfileToRecord(q, r);
    EXPECT_EQ(r.AlarmCur, 4);
    r.PLType = 0; // no type yet: the current's own table decides
    q.AlarmTenths = 0;
    ApplyProfileToRecord(q, r);
    EXPECT_EQ(r.AlarmCur, 1);
}
