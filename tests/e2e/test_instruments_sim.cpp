// The simulator's meter and resistance source with the program: the trim of
// calibration stages 5 and 6 from the meter's readings, and automatic
// verifications before and after it. Real ticks, real ptys, real timers.

#include "SimProcess.h"

#include "app/CalibrationMeter.h"
#include "app/CalibrationPage.h"
#include "app/MainWindow.h"
#include "app/VerificationFrm.h"
#include "app/VerificationInstruments.h"
#include "instr/InstrumentSettings.h"
#include "link/TickSource.h"
#include "rbcontrols/RbButton.h"
#include "link/CommPortDriver.h"
#include "RecordingMessages.h"
#include "SimState.h"

#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A simulated transducer with a meter and a source beside it, and a main
// window connected to it with both instruments in its settings.
class InstrumentBench {
public:
    explicit InstrumentBench(QStringList extra = {})
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        const QString statePath = tmp.filePath(QStringLiteral("sim.ini"));
        TSimState state = DefaultSimState();
        state.calibrDate = MakeSimDate(15, 3, 2005);
        QString error;
        SaveSimState(statePath, state, &error);
        const QString link = tmp.filePath(QStringLiteral("com1"));
        meterLink = tmp.filePath(QStringLiteral("meter"));
        sourceLink = tmp.filePath(QStringLiteral("source"));
        sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--link"), link, QStringLiteral("--state"),
                                                       statePath, QStringLiteral("--noise"), QStringLiteral("0"),
                                                       QStringLiteral("--no-pacing"), QStringLiteral("--control"),
                                                       QStringLiteral("--meter"), meterLink, QStringLiteral("--source"),
                                                       sourceLink}
                                           + extra);
        started = sim->start();

        const QString prog = tmp.filePath(QStringLiteral("prog"));
        QDir().mkpath(prog + QStringLiteral("/ColorSchemas"));
        Write(prog + QStringLiteral("/ColorSchemas/Standart.rbs"),
              "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=-16777201\r\n");
        Write(prog + QStringLiteral("/Zelkor.ini"),
              "[Defaults]\r\nDefaultSlaveID=1\r\nDefaultComPortNum=1\r\n[Ports]\r\nCOM1=" + link.toLocal8Bit()
                  + "\r\n[Verification]\r\nPoints=2\r\n[Instruments]\r\nMeterDevice=" + meterLink.toLocal8Bit()
                  + "\r\nMeterAutoRead=1\r\nSourceDevice=" + sourceLink.toLocal8Bit() + "\r\n");
        TMainWindowOptions o;
        o.exePath = prog + QStringLiteral("/zelkor");
        o.userConfigDir = tmp.filePath(QStringLiteral("cfg"));
        o.messages = &msgs;
        o.errorBox = [](const QString&) {};
        o.chooseComPort = [](TfrmMain& frm) {
            frm.cpDRV()->SetPort(1);
            return true;
        };
        frm = std::make_unique<TfrmMain>(std::move(o));
    }
    ~InstrumentBench() { QLocale::setDefault(QLocale::c()); }

    bool connect()
    {
        frm->ConnectDevice();
        return frm->IsConnected();
    }
    QString messages() const { return msgs.texts().join(QStringLiteral(" | ")); }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }

    // An automatic verification of `stage`; the instruments are given back at the end.
    TVerificationResult verify(TVerifyStage stage)
    {
        TVerificationInstruments* instruments = frm->VerificationInstruments();
        EXPECT_TRUE(frm->ShowVerification(stage, false)) << messages().toStdString();
        EXPECT_TRUE(instruments->HasMeter() && instruments->HasSource()) << messages().toStdString();
        EXPECT_FALSE(instruments->btnAuto->isHidden());
        instruments->StartAutomatic();
        EXPECT_TRUE(WaitUntil([&] { return !instruments->Running(); }, 60000));
        const TVerificationResult result = frm->VerificationWindow()->Verification().Result();
        EXPECT_FALSE(instruments->SourceOn()) << "the source is off once the run ends";
        instruments->Detach();
        return result;
    }

    QTemporaryDir tmp;
    QString meterLink;
    QString sourceLink;
    bool started = false;
    std::unique_ptr<SimProcess> sim;
    RecordingMessages msgs;
    std::unique_ptr<TfrmMain> frm;
};

} // namespace

TEST(InstrumentsAgainstSimulator, AsFoundFailsTheTrimFromTheMeterMendsItAsLeftPasses)
{
    InstrumentBench b({QStringLiteral("--output-offset"), QStringLiteral("120")});
    ASSERT_TRUE(b.started) << b.sim->error().toStdString();
    ASSERT_TRUE(b.connect()) << b.messages().toStdString();

    const TVerificationResult found = b.verify(TVerifyStage::vsAsFound);
    ASSERT_TRUE(found.complete) << b.messages().toStdString();
    EXPECT_FALSE(found.pass) << "a loop 0,12 mA off is out of 0,25 % of span";
    ASSERT_EQ(found.points.size(), 2);
    for (const TVerifyPoint& p : found.points) {
        EXPECT_NEAR(p.outputError, 0.120, 0.003);
        EXPECT_TRUE(p.digitalPass) << "the input is right, only the output is off";
    }
    ASSERT_EQ(found.instruments.size(), 2);
    EXPECT_EQ(found.instruments[0].role, QStringLiteral("meter"));
    EXPECT_EQ(found.instruments[1].role, QStringLiteral("source"));

    // The calibration: resistances set by the source, currents read by the meter.
    TCalibrationPage& page = *b.frm->tsCalobration();
    TCalibrationMeter& meter = *b.frm->CalibrationMeter();
    std::vector<double> taken;
    for (int press = 0; press < 8; ++press) { // stage 0 to 7 and back to 0
        page.btnBeginCalibr->Click();
        const int stage = b.frm->Session().State.CalibrStage;
        if (stage == 5 || stage == 6) {
            const double nominal = stage == 5 ? 4.0 : 20.0;
            ASSERT_TRUE(WaitUntil([&] { return std::fabs(page.rseCalibrCur->value() - nominal) > 0.05; }, 8000))
                << "stage " << stage << ": " << b.messages().toStdString();
            taken.push_back(page.rseCalibrCur->value());
            EXPECT_FALSE(meter.lbMeterSpread->text().isEmpty());
        } else {
            WaitUntil([&] { return !meter.Busy(); }, 3000);
            QCoreApplication::processEvents();
        }
    }
    EXPECT_EQ(page.lbStage->text(), QStringLiteral("Настройка успешно завершена")) << b.messages().toStdString();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_NEAR(taken[0], 4.120, 0.002);
    EXPECT_NEAR(taken[1], 20.120, 0.002);

    const TVerificationResult left = b.verify(TVerifyStage::vsAsLeft);
    ASSERT_TRUE(left.complete) << b.messages().toStdString();
    EXPECT_TRUE(left.pass) << b.messages().toStdString();
    for (const TVerifyPoint& p : left.points)
        EXPECT_NEAR(p.outputError, 0.0, 0.004);
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
    EXPECT_TRUE(b.sim->stop()) << b.sim->error().toStdString();
}

TEST(InstrumentsAgainstSimulator, MeterGoneMidRunEndsItWithoutAPointAndNamesTheMeter)
{
    InstrumentBench b;
    ASSERT_TRUE(b.started) << b.sim->error().toStdString();
    ASSERT_TRUE(b.connect()) << b.messages().toStdString();
    TVerificationInstruments* instruments = b.frm->VerificationInstruments();
    TfrmVerification* window = b.frm->VerificationWindow();
    ASSERT_TRUE(b.frm->ShowVerification(TVerifyStage::vsAlone, false));
    instruments->StartAutomatic();
    ASSERT_TRUE(WaitUntil([&] { return window->MeasuringRow() == 0 && window->PointReader().Samples() >= 2; }, 8000));
    b.sim->command("meter off");
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(WaitUntil([&] { return !instruments->Running(); }, 8000));
    EXPECT_LT(t.elapsed(), 5000) << "a lost meter is noticed within a reading's time-out";
    EXPECT_FALSE(window->Verification().Point(0).Measured());
    EXPECT_FALSE(window->Verification().Point(1).Measured());
    EXPECT_FALSE(instruments->SourceOn());
    ASSERT_FALSE(b.msgs.isEmpty());
    EXPECT_TRUE(b.msgs.all().first().text.startsWith(QStringLiteral("Мультиметр"))) << b.messages().toStdString();
    EXPECT_TRUE(window->lbProgress->text().contains(QStringLiteral("Автоматическая проверка остановлена")))
        << window->lbProgress->text().toStdString();
    EXPECT_TRUE(b.frm->IsConnected()) << "the transducer itself is still there";
    instruments->Detach();
}

TEST(InstrumentsAgainstSimulator, CommandLineVerifiesWithBothInstrumentsAndNoTyping)
{
    InstrumentBench b({QStringLiteral("--output-offset"), QStringLiteral("120")});
    ASSERT_TRUE(b.started) << b.sim->error().toStdString();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), b.tmp.filePath(QStringLiteral("cfg")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELKOR_CLI_PATH),
            {QStringLiteral("--port"), b.tmp.filePath(QStringLiteral("com1")), QStringLiteral("--json"),
             QStringLiteral("verify"), QStringLiteral("--points"), QStringLiteral("2"), QStringLiteral("--meter"),
             b.meterLink, QStringLiteral("--source"), b.sourceLink});
    p.closeWriteChannel(); // nothing is typed
    ASSERT_TRUE(p.waitForFinished(90000));
    const QString prompts = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 7) << prompts.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_EQ(o.value(QStringLiteral("verdict")).toString(), QStringLiteral("НЕ ГОДЕН"));
    const QJsonArray points = o.value(QStringLiteral("points")).toArray();
    ASSERT_EQ(points.size(), 2) << prompts.toStdString();
    for (const QJsonValue& v : points) {
        const QJsonObject pt = v.toObject();
        EXPECT_NEAR(pt.value(QStringLiteral("outputError")).toDouble(), 0.120, 0.003);
        EXPECT_NEAR(pt.value(QStringLiteral("current")).toDouble() - pt.value(QStringLiteral("expectedCurrent")).toDouble(),
                    0.120, 0.003);
        EXPECT_FALSE(pt.value(QStringLiteral("pass")).toBool());
    }
    const QJsonArray instruments = o.value(QStringLiteral("instruments")).toArray();
    ASSERT_EQ(instruments.size(), 2);
    EXPECT_EQ(instruments[0].toObject().value(QStringLiteral("device")).toString(), b.meterLink);
    EXPECT_EQ(instruments[1].toObject().value(QStringLiteral("role")).toString(), QStringLiteral("source"));
    EXPECT_FALSE(prompts.contains(QStringLiteral("нажмите Enter"))) << "the source sets every point";
    EXPECT_TRUE(b.sim->stop());
}

TEST(InstrumentsAgainstSimulator, StopEndsTheRunAtOnceWithTheSourceOffAtItsLastValue)
{
    InstrumentBench b;
    ASSERT_TRUE(b.started) << b.sim->error().toStdString();
    ASSERT_TRUE(b.connect()) << b.messages().toStdString();
    TVerificationInstruments* instruments = b.frm->VerificationInstruments();
    TfrmVerification* window = b.frm->VerificationWindow();
    ASSERT_TRUE(b.frm->ShowVerification(TVerifyStage::vsAlone, false));
    instruments->btnAuto->Click();
    ASSERT_TRUE(instruments->Running());
    EXPECT_EQ(instruments->btnAuto->Caption(), QStringLiteral("Стоп"));
    ASSERT_TRUE(WaitUntil([&] { return window->PointReader().Samples() >= 2; }, 8000));
    EXPECT_TRUE(instruments->SourceOn());
    QElapsedTimer t;
    t.start();
    instruments->btnAuto->Click();
    EXPECT_LT(t.elapsed(), 1000) << "at once";
    EXPECT_FALSE(instruments->Running());
    EXPECT_EQ(window->MeasuringRow(), -1);
    EXPECT_FALSE(window->Verification().Point(0).Measured());
    EXPECT_FALSE(instruments->SourceOn());
    EXPECT_EQ(instruments->btnAuto->Caption(), QStringLiteral("Автоматически"));
    const double first = window->Verification().Point(0).resistance;
    instruments->Detach();

    // The source itself, asked on its own line.
    TSourceConfig cfg;
    cfg.device = b.sourceLink;
    QString error;
    auto client = OpenInstrument(TInstrumentRole::Source, cfg, SystemTicks(), SystemDeviceFactory(), &error);
    ASSERT_TRUE(client) << error.toStdString();
    QString reply;
    ASSERT_TRUE(client->Query(QStringLiteral("OUTP?"), reply, &error)) << error.toStdString();
    EXPECT_EQ(reply, QStringLiteral("0"));
    double ohms = 0;
    ASSERT_TRUE(client->QueryNumber(QStringLiteral("SOUR:RES?"), ohms, &error)) << error.toStdString();
    EXPECT_NEAR(ohms, first, 0.001);
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
}
