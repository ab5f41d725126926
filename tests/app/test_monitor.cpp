#include "app/ExchangeLog.h"
#include "app/ExchangeMonitorFrm.h"
#include "MainRig.h"
#include "PageRig.h"
#include "app/Records.h"
#include "app/TrendFrm.h"
#include "DiagRig.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TFrameBuffer Request(TOperation op, uint8_t function)
{
    TFrameBuffer b{};
    b[0] = 0x01;
    b[1] = function;
    PutFrameCRC(b, RequestLength(op) - 2);
    return b;
}

QByteArray ConfigAnswer()
{
    QByteArray a = HexBytes("01 03 10");
    for (int i = 0; i < 16; ++i)
        a += char(0x20 + i);
    return WithCRC(a);
}

// Each line as "direction | hex | verdict".
QStringList Lines(const TExchangeLog& log)
{
    QStringList lines;
    for (int row = 0; row < log.LineCount(); ++row)
        lines << log.Cell(row, TExchangeLog::colDirection) + QStringLiteral(" | ") + log.Cell(row, TExchangeLog::colBytes)
                     + QStringLiteral(" | ") + log.Cell(row, TExchangeLog::colVerdict);
    return lines;
}

QString Out(const TFrameBuffer& request, TOperation op)
{
    return QStringLiteral("передача | ") + ToHex(FromFrameBuffer(request, RequestLength(op))) + QStringLiteral(" | запрос");
}

QString In(const QByteArray& bytes, const QString& verdict)
{
    return QStringLiteral("приём | ") + ToHex(bytes) + QStringLiteral(" | ") + verdict;
}

class MonitorLog : public ::testing::Test {
protected:
    MonitorLog() { link.ctx.observer = &log; }
    TOutcome run(TOperation op, const TFrameBuffer& request)
    {
        TFrameBuffer answer{};
        return RunTransaction(link.ctx, op, request, answer);
    }

    ScriptedLink link;
    TExchangeLog log;
    const TFrameBuffer readConfig = Request(TOperation::ReadConfiguration, 0x03);
    const TFrameBuffer writeInfo = Request(TOperation::WriteInformation, 0x10);
    const TFrameBuffer calibr = Request(TOperation::SendCalibrationStage, 0x4D);
};

} // namespace

TEST_F(MonitorLog, AnsweredExchangeIsARequestAndItsAnswer)
{
    link.port.answerOnce(HexBytes("01 03"), ConfigAnswer(), 40);
    ASSERT_EQ(run(TOperation::ReadConfiguration, readConfig), TOutcome::Success);
    EXPECT_EQ(Lines(log), (QStringList{Out(readConfig, TOperation::ReadConfiguration), In(ConfigAnswer(), "ответ")}));
    EXPECT_EQ(log.TimeMs(0), 0);
    EXPECT_GE(log.TimeMs(1), 40);
    EXPECT_EQ(log.Cell(1, TExchangeLog::colTime), QString::number(log.TimeMs(1)));
}

TEST_F(MonitorLog, RefusalsNameTheirCode)
{
    const QByteArray exception = WithCRC(HexBytes("01 90 03"));
    link.port.answerOnce(HexBytes("01 10"), exception);
    EXPECT_EQ(run(TOperation::WriteInformation, writeInfo), TOutcome::Refused);
    const QByteArray wrongFunction = WithCRC(HexBytes("01 11 00 08 00 10"));
    link.port.answerOnce(HexBytes("01 10"), wrongFunction);
    EXPECT_EQ(run(TOperation::WriteInformation, writeInfo), TOutcome::Refused);
    const QByteArray calibrRefused = WithCRC(HexBytes("01 00 0B"));
    link.port.answerOnce(HexBytes("01 4D"), calibrRefused);
    EXPECT_EQ(run(TOperation::SendCalibrationStage, calibr), TOutcome::Refused);

    EXPECT_EQ(Lines(log), (QStringList{Out(writeInfo, TOperation::WriteInformation),
                                       In(exception, "исключение 3: Некорректный запрос."),
                                       Out(writeInfo, TOperation::WriteInformation),
                                       In(wrongFunction, "неверная функция в ответе"),
                                       Out(calibr, TOperation::SendCalibrationStage),
                                       In(calibrRefused, "отказ, код 11")}));
}

TEST_F(MonitorLog, DamagedAndUnansweredAttemptsAreEachOneLine)
{
    const QByteArray damaged = WithBadCRC(ConfigAnswer().left(19));
    link.port.answerAlways(HexBytes("01 03"), [&](const QByteArray&) { return damaged; });
    EXPECT_EQ(run(TOperation::ReadConfiguration, readConfig), TOutcome::NoAnswer);
    const QString out = Out(readConfig, TOperation::ReadConfiguration);
    EXPECT_EQ(Lines(log), (QStringList{out, In(damaged, "повреждён CRC"), out, In(damaged, "повреждён CRC")}));

    log.Clear();
    link.port.clearRules();
    link.drv.OpenPort();
    EXPECT_EQ(run(TOperation::ReadConfiguration, readConfig), TOutcome::NoAnswer);
    EXPECT_EQ(Lines(log), (QStringList{out, In({}, "нет ответа"), out, In({}, "нет ответа")}));
    EXPECT_EQ(log.TimeMs(0), 0) << "a clear starts the time again";
}

TEST_F(MonitorLog, StrayFramesAndShortWritesAreNamed)
{
    const QByteArray stray = WithCRC(HexBytes("01 10 00"));
    const QByteArray answer = WithCRC(HexBytes("01 10 00 08 00 10"));
    link.port.answerOnceInPieces(HexBytes("01 10"), {{20, stray}, {2600, answer}});
    EXPECT_EQ(run(TOperation::WriteInformation, writeInfo), TOutcome::Success);
    const QByteArray wrong = WithCRC(HexBytes("01 03 02 00"));
    link.port.answerOnce(HexBytes("01 03"), wrong);
    link.port.answerOnce(HexBytes("01 03"), ConfigAnswer());
    EXPECT_EQ(run(TOperation::ReadConfiguration, readConfig), TOutcome::Success);
    link.port.setOutputBlocked(true);
    EXPECT_EQ(run(TOperation::ReadConfiguration, readConfig), TOutcome::NoLink);

    EXPECT_EQ(Lines(log),
              (QStringList{Out(writeInfo, TOperation::WriteInformation), In(stray, "посторонний кадр, пропущен"),
                           In(answer, "ответ"), Out(readConfig, TOperation::ReadConfiguration),
                           In(wrong, "неверная длина (6 байт вместо 21)"), Out(readConfig, TOperation::ReadConfiguration),
                           In(ConfigAnswer(), "ответ"),
                           QStringLiteral("передача |  | запрос передан не полностью (0 из 8 байт)")}));
}

TEST(MonitorLogLines, KeepsTheLastTenThousandAndTimesAcrossTheTickWrap)
{
    TExchangeLog log;
    TLinkEvent e;
    e.outgoing = true;
    e.verdict = TFrameVerdict::Request;
    for (int i = 0; i < TExchangeLog::kMaxLines + 5; ++i) {
        e.tick = 0xFFFFFF00u + uint32_t(i) * 10; // wraps past 2^32 on the way
        e.bytes = QByteArray(1, char(i & 0x7F));
        log.LinkEvent(e);
    }
    ASSERT_EQ(log.LineCount(), TExchangeLog::kMaxLines);
    EXPECT_EQ(log.Event(0).bytes, QByteArray(1, char(5)));
    EXPECT_EQ(log.TimeMs(0), 50);
    EXPECT_EQ(log.TimeMs(log.LineCount() - 1), qint64(TExchangeLog::kMaxLines + 4) * 10);
    EXPECT_EQ(log.rowCount(), TExchangeLog::kMaxLines);
    EXPECT_EQ(log.Text({0}), QStringLiteral("50\tпередача\t05\tзапрос\n"));
}

TEST(MonitorDiagnostics, MeasurementsMissesAndStrayBytesAreListed)
{
    DiagRig rig;
    TExchangeLog log;
    rig.session.link.observer = &log;
    const QByteArray good = Measurement(235, 10935, 0);
    rig.link.port.answerOnce(HexBytes("01 03 00 20"), good, 300);
    rig.start();
    rig.run(1000); // answered, then the next request goes out unanswered
    rig.run(1000); // the tick finds it unanswered
    const QString req = QStringLiteral("передача | ") + ToHex(kMeasurementRequest) + QStringLiteral(" | запрос");
    ASSERT_GE(log.LineCount(), 5);
    EXPECT_EQ(Lines(log).mid(0, 5), (QStringList{req, In(good, "ответ"), req, In({}, "нет ответа"), req}));

    rig.diag.StopDiagnostics();
    log.Clear();
    const QByteArray exception = WithCRC(HexBytes("01 83 02"));
    rig.diag.HandleDiagnosticsAnswer(reinterpret_cast<const uint8_t*>(exception.constData()), int(exception.size()));
    EXPECT_EQ(Lines(log), QStringList{In(exception, "посторонний кадр, пропущен")});
}

TEST(MonitorWindow, CopiesSavesAndClears)
{
    RecordingMessages messages;
    TExchangeLog log;
    TLinkEvent e;
    for (int i = 0; i < 3; ++i) {
        e.tick = uint32_t(i) * 100;
        e.outgoing = i % 2 == 0;
        e.bytes = HexBytes("01 03");
        e.verdict = i % 2 == 0 ? TFrameVerdict::Request : TFrameVerdict::Answer;
        log.LinkEvent(e);
    }
    TfrmExchangeMonitor monitor(log, messages);
    QCoreApplication::processEvents(); // the view hears of new lines from the event loop
    EXPECT_EQ(monitor.lvExchange->model()->rowCount(), 3);

    monitor.btnCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), log.Text());
    monitor.lvExchange->selectRow(1);
    monitor.btnCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("100\tприём\t01 03\tответ\n"));

    QTemporaryDir dir;
    QString asked;
    monitor.SaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
        return asked;
    };
    monitor.btnSaveClick(); // cancelled: nothing written, nothing said
    EXPECT_TRUE(messages.isEmpty());
    asked = dir.filePath(QStringLiteral("obmen.txt"));
    monitor.btnSaveClick();
    QFile f(asked);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // A title line (the date and time; the link when the window knows it), then the columns.
    const QString saved = QString::fromUtf8(f.readAll());
    const int titleEnd = saved.indexOf(QLatin1Char('\n'));
    EXPECT_TRUE(saved.startsWith(QStringLiteral("Обмен с прибором, "))) << saved.toStdString();
    EXPECT_EQ(saved.mid(titleEnd + 1), QStringLiteral("Время, мс\tНаправление\tБайты\tРезультат\n") + log.Text());
    asked = dir.filePath(QStringLiteral("missing/obmen.txt"));
    monitor.btnSaveClick();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().kind, mkError);
    EXPECT_TRUE(messages.last().text.contains(asked));

    monitor.btnClearClick();
    EXPECT_EQ(monitor.lvExchange->model()->rowCount(), 0);
}

TEST(MonitorMainWindow, ViewMenuOpensTheRecordsAndTheConnectionIsListed)
{
    MainRig rig("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toNum\r\nDefaultSlaveID=5\r\nDefaultComPortNum=3\r\n");
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p, 5); };
    rig.comChoicePort = 3;
    auto frm = rig.make();
    ASSERT_TRUE(frm->IsConnected());

    QMenu* view = rig.menuTitled(*frm, QStringLiteral("Вид"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(frm->findChild<QAction*>(QStringLiteral("actTrend"))));
    EXPECT_TRUE(view->actions().contains(frm->findChild<QAction*>(QStringLiteral("actExchange"))));
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actTrend"))->text(), QStringLiteral("График измерений"));
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actExchange"))->text(), QStringLiteral("Обмен с прибором"));

    frm->findChild<QAction*>(QStringLiteral("actExchange"))->trigger();
    EXPECT_TRUE(frm->Records()->Monitor()->isVisible());
    EXPECT_EQ(frm->Records()->Log().LineCount(), 6) << "the start-up connection is listed";
    frm->findChild<QAction*>(QStringLiteral("actTrend"))->trigger();
    EXPECT_TRUE(frm->Records()->Trend()->isVisible());
}

TEST(MonitorRecords, TheConnectionIsListedAndTheChartFollowsTheReadings)
{
    PageRig rig("[Defaults]\r\nConnectionType=toNum\r\nDefaultSlaveID=5\r\nDefaultComPortNum=3\r\n");
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p, 5); };
    rig.make();
    TRecords records(*rig.ctrl, rig.window.get());
    ASSERT_TRUE(rig.connect());

    records.ShowMonitor();
    ASSERT_TRUE(records.Monitor()->isVisible());
    // Identification, configuration read and the calibration date read, each asked and answered.
    const TExchangeLog& log = records.Log();
    ASSERT_EQ(log.LineCount(), 6);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(log.Cell(row, TExchangeLog::colVerdict), row % 2 ? QStringLiteral("ответ") : QStringLiteral("запрос"))
            << row;
    EXPECT_EQ(uint8_t(log.Event(0).bytes[1]), 0x11);

    // The chart is the module loaded on this first opening: it draws what was measured so far, and what comes next.
    TReadingStore& store = records.Store();
    const qint64 t0 = QDateTime::currentMSecsSinceEpoch() - 10'000;
    store.AddAt(t0, 0, 21.5, 108.4);
    store.AddAt(t0 + 1000, 0, 21.7, 108.5);
    records.ShowTrend();
    TfrmTrend* trend = records.Trend();
    EXPECT_TRUE(trend->isVisible());
    ASSERT_EQ(trend->TemperatureLines().size(), 1);
    ASSERT_EQ(trend->ResistanceLines().size(), 1);
    EXPECT_EQ(trend->TemperatureLines().first()->points(), (QList<QPointF>{{double(t0), 21.5}, {double(t0 + 1000), 21.7}}));
    EXPECT_EQ(trend->ResistanceLines().first()->at(1).y(), 108.5);
    store.AddAt(t0 + 2000, 0, 22.0, 108.6);
    QCoreApplication::processEvents();
    EXPECT_EQ(trend->TemperatureLines().first()->count(), 3);
    EXPECT_EQ(trend->TemperatureLines().first()->at(2).y(), 22.0);
}
