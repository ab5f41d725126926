#include "device/TransducerController.h"

#include "ConfigFrames.h"
#include "DiagRig.h"
#include "InfoFrames.h"
#include "RecordingMessages.h"
#include "ScriptedPort.h"
#include "VirtualClock.h"
#include "device/DeviceMessages.h"
#include "device/DeviceScan.h"
#include "link/CommPortDriver.h"

#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray kIdentify1 = WithCRC(HexBytes("01 11"));
const QByteArray kReadConfig1 = WithCRC(HexBytes("01 03 00 18 00 08"));
const QString kNotFound1 = QStringLiteral("Прибор номер 1 не найден.");

QByteArray IdentifyRequest(int address)
{
    return WithCRC(QByteArray(1, char(address)) + char(0x11));
}

// A controller on a scripted port, its signals written down in order.
struct ControllerRig {
    ControllerRig()
    {
        auto owned = std::make_unique<ScriptedPort>(clock);
        port = owned.get();
        ctrl = std::make_unique<TTransducerController>(&clock, std::move(owned));
        ctrl->SetMessageDialog(&msgs);
        ctrl->Driver()->SetPort(1);
        ctrl->Session().Transducer.SlaveID = 1;
        TTransducerController* c = ctrl.get();
        QObject::connect(c, &TTransducerController::identified, [this](const TTransducerData& t) {
            log << QStringLiteral("identified:%1").arg(t.SlaveID);
        });
        QObject::connect(c, &TTransducerController::configurationRead, [this](const TTransducerData& t) {
            log << QStringLiteral("configurationRead:%1..%2").arg(t.BottomTempBound).arg(t.TopTempBound);
        });
        QObject::connect(c, &TTransducerController::connectReadsDone, [this] { log << QStringLiteral("readsDone"); });
        QObject::connect(c, &TTransducerController::connected, [this] { log << QStringLiteral("connected"); });
        QObject::connect(c, &TTransducerController::disconnecting, [this] {
            log << QStringLiteral("disconnecting:%1").arg(ctrl->IsConnected() ? "open" : "closed");
        });
        QObject::connect(c, &TTransducerController::disconnected, [this] { log << QStringLiteral("disconnected"); });
        QObject::connect(c, &TTransducerController::linkStateChanged, [this](bool open, const QString& label) {
            log << QStringLiteral("link:%1:%2").arg(open ? "open" : "closed", label);
        });
        QObject::connect(c, &TTransducerController::statusPanelText, [this](int panel, const QString& text) {
            if (panel == 2)
                log << QStringLiteral("panel2:") + text;
        });
        QObject::connect(&c->events(), &TDeviceEvents::connected, [this] { log << QStringLiteral("event:connected"); });
        QObject::connect(&c->events(), &TDeviceEvents::disconnected,
                         [this] { log << QStringLiteral("event:disconnected"); });
    }

    QList<QByteArray> writes() const
    {
        QList<QByteArray> w;
        for (const TRecordedWrite& r : port->writes())
            w << r.bytes;
        return w;
    }

    void answerAsDevice(uint8_t address, const TConfigRegisters* config = nullptr)
    {
        port->answerAlways(QByteArray(1, char(address)) + char(0x11),
                           [address](const QByteArray&) { return SampleIdentifyAnswer(address); });
        AnswerConfigurationReads(*port, address, config);
    }

    VirtualClock clock;
    RecordingMessages msgs;
    ScriptedPort* port = nullptr;
    std::unique_ptr<TTransducerController> ctrl;
    QStringList log;
};

class CountingPrompts : public ITransducerPrompts {
public:
    explicit CountingPrompts(TCommPortDriver* drv) : m_drv(drv) {}
    bool ChooseComPort() override
    {
        ++asked;
        if (answer)
            m_drv->SetPort(2);
        return answer;
    }
    int asked = 0;
    bool answer = true;

private:
    TCommPortDriver* m_drv;
};

} // namespace

TEST(TransducerController, ConnectIdentifiesReadsTheConfigurationAndTellsInOrder)
{
    ControllerRig rig;
    TConfigRegisters config;
    config.bottom = -40;
    config.top = 120;
    rig.answerAsDevice(1, &config);
    rig.ctrl->Session().Transducer.InfModified = true;

    rig.ctrl->Connect();

    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.writes(), (QList<QByteArray>{kIdentify1, kReadConfig1}));
    EXPECT_TRUE(rig.msgs.texts().isEmpty());
    const TTransducerData& t = rig.ctrl->Session().Transducer;
    EXPECT_EQ(t.SensorNum, 12345);
    EXPECT_EQ(t.TopTempBound, 120);
    EXPECT_EQ(t.BottomTempBound, -40);
    EXPECT_FALSE(t.InfModified);
    EXPECT_EQ(rig.log, (QStringList{QStringLiteral("link:open:COM1"), QStringLiteral("link:open:COM1"),
                                    QStringLiteral("identified:1"), QStringLiteral("configurationRead:-40..120"),
                                    QStringLiteral("readsDone"), QStringLiteral("event:connected"),
                                    QStringLiteral("panel2:"), QStringLiteral("panel2:"),
                                    QStringLiteral("connected")}));
    EXPECT_EQ(rig.ctrl->PortNumber(), 1);
}

TEST(TransducerController, LostDeviceOnConnectDisconnectsWithTheMessage)
{
    ControllerRig rig;
    rig.ctrl->Session().link.ReportLinkErrors = true;

    rig.ctrl->Connect();

    EXPECT_FALSE(rig.ctrl->IsConnected());
    // Two attempts, then nothing more: no configuration read on a lost device.
    EXPECT_EQ(rig.writes(), (QList<QByteArray>{kIdentify1, kIdentify1}));
    EXPECT_EQ(rig.msgs.texts(), QStringList{kNotFound1});
    EXPECT_EQ(rig.log, (QStringList{QStringLiteral("disconnecting:open"), QStringLiteral("event:disconnected"),
                                    QStringLiteral("link:closed:"), QStringLiteral("disconnected"),
                                    QStringLiteral("panel2:"), QStringLiteral("panel2:"),
                                    // IdentifyDevice's own closing step, then the connection's flags
                                    QStringLiteral("link:closed:"), QStringLiteral("panel2:"),
                                    QStringLiteral("panel2:")}));
    // The identification reports errors again from now on.
    EXPECT_TRUE(rig.ctrl->Session().link.ReportLinkErrors);
}

TEST(TransducerController, PortThatDoesNotOpenIsReportedOnlyWhenAsked)
{
    ControllerRig rig;
    rig.port->setOpenError(TPortOpenError::Busy);
    rig.ctrl->Connect(); // ReportLinkErrors off: silent
    EXPECT_TRUE(rig.msgs.texts().isEmpty());
    EXPECT_EQ(rig.port->writeCount(), 0);

    rig.ctrl->Session().link.ReportLinkErrors = true;
    rig.ctrl->Connect();
    ASSERT_EQ(rig.msgs.texts().size(), 1);
    EXPECT_TRUE(rig.msgs.texts().first().startsWith(QStringLiteral("Нет соединения c COM1")));
    EXPECT_FALSE(rig.ctrl->IsConnected());
}

TEST(TransducerController, DisconnectTellsBeforeAndAfterTheCloseAndClearsTheFlags)
{
    ControllerRig rig;
    rig.answerAsDevice(1);
    rig.ctrl->Connect();
    ASSERT_TRUE(rig.ctrl->IsConnected());
    QStringList panel3;
    QObject::connect(rig.ctrl.get(), &TTransducerController::statusPanelText, [&](int panel, const QString& text) {
        if (panel == 3)
            panel3 << text;
    });
    rig.ctrl->SetConfigModified(true);
    rig.log.clear();

    rig.ctrl->Disconnect();

    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_FALSE(rig.ctrl->Session().Transducer.ConfModified);
    EXPECT_EQ(panel3, QStringList{QString()});
    EXPECT_EQ(rig.log, (QStringList{QStringLiteral("disconnecting:open"), QStringLiteral("event:disconnected"),
                                    QStringLiteral("link:closed:"), QStringLiteral("disconnected"),
                                    QStringLiteral("panel2:"), QStringLiteral("panel2:")}));

    // Closed already: the history hears of no second disconnect.
    rig.log.clear();
    rig.ctrl->Disconnect();
    EXPECT_FALSE(rig.log.contains(QStringLiteral("event:disconnected")));
    EXPECT_TRUE(rig.log.contains(QStringLiteral("disconnected")));
}

TEST(TransducerController, LostCalibrationStageIsOverBeforeTheDisconnectBegins)
{
    ControllerRig rig;
    rig.answerAsDevice(1);
    rig.ctrl->Connect();
    ASSERT_TRUE(rig.ctrl->IsConnected());
    TDeviceSession& s = rig.ctrl->Session();
    QList<int> stageAtDisconnect;
    QObject::connect(rig.ctrl.get(), &TTransducerController::disconnecting,
                     [&] { stageAtDisconnect << s.State.CalibrStage; });

    // A configuration read that goes unanswered keeps the stage for the cancel.
    rig.port->clearRules();
    s.State.CalibrStage = 3;
    EXPECT_FALSE(rig.ctrl->ReadConfiguration());
    EXPECT_EQ(stageAtDisconnect, QList<int>{3});

    // A stage request that goes unanswered has no stage left to cancel.
    rig.answerAsDevice(1);
    rig.ctrl->Connect();
    rig.port->clearRules();
    s.State.CalibrStage = 3;
    TFrameBuffer request = ToFrameBuffer(WithCRC(HexBytes("01 4D 03 00 00 00 00")));
    TFrameBuffer answer{};
    EXPECT_EQ(RunTransaction(s.link, TOperation::SendCalibrationStage, request, answer), TOutcome::NoAnswer);
    EXPECT_EQ(stageAtDisconnect, (QList<int>{3, 0}));
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.msgs.texts().last(), QStringLiteral("Не получен ответ от прибора."));
}

TEST(TransducerController, ReadConfigurationEmitsTheRecordWithTheDiagnosticsTimerPaused)
{
    ControllerRig rig;
    TConfigRegisters config;
    rig.answerAsDevice(1, &config);
    rig.ctrl->Connect();
    ASSERT_TRUE(rig.ctrl->IsConnected());
    TDeviceSession& s = rig.ctrl->Session();
    s.State.DiagRunning = true;
    rig.ctrl->DiagnosticsTimer()->start();
    QList<bool> timerDuringRead;
    QList<int> kinds;
    QObject::connect(rig.ctrl.get(), &TTransducerController::configurationRead, [&](const TTransducerData& t) {
        timerDuringRead << rig.ctrl->DiagnosticsTimer()->isActive();
        kinds << t.SensorKind;
    });

    config.sensorKind = 3;
    config.top = 180;
    rig.port->clearWrites();
    EXPECT_TRUE(rig.ctrl->ReadConfiguration());

    EXPECT_EQ(rig.writes(), QList<QByteArray>{kReadConfig1});
    EXPECT_EQ(kinds, QList<int>{3});
    EXPECT_EQ(s.Transducer.TopTempBound, 180);
    EXPECT_EQ(s.TransducerSnapshot.TopTempBound, 180);
    EXPECT_EQ(timerDuringRead, QList<bool>{false});
    EXPECT_TRUE(rig.ctrl->DiagnosticsTimer()->isActive());

    // A failed read emits nothing; the timer of a mode the loss ended stays off.
    rig.port->clearRules();
    EXPECT_FALSE(rig.ctrl->ReadConfiguration());
    EXPECT_EQ(kinds.size(), 1);
    EXPECT_FALSE(rig.ctrl->DiagnosticsTimer()->isActive());
}

TEST(TransducerController, SearchFindsTheFirstDeviceAndConnectsToIt)
{
    ControllerRig rig;
    rig.answerAsDevice(3);
    QList<int> tried;
    QStringList search;
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchStarted, [&](int first, int last) {
        search << QStringLiteral("started:%1-%2").arg(first).arg(last);
    });
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchProgress, [&](int address, int port) {
        tried << address;
        EXPECT_EQ(port, 1);
    });
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchEnded, [&] {
        search << QStringLiteral("ended:%1").arg(rig.log.contains(QStringLiteral("connected")) ? "connected" : "-");
    });

    rig.ctrl->SearchFirstDevice(false, [] { return 7; });

    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.ctrl->Session().Transducer.SlaveID, 3);
    EXPECT_EQ(tried, (QList<int>{1, 2, 3}));
    EXPECT_EQ(search, (QStringList{QStringLiteral("started:1-255"), QStringLiteral("ended:connected")}));
    // Silent addresses twice each, the device once, then the connection's own identification and read.
    EXPECT_EQ(rig.writes(),
              (QList<QByteArray>{IdentifyRequest(1), IdentifyRequest(1), IdentifyRequest(2), IdentifyRequest(2),
                                 IdentifyRequest(3), IdentifyRequest(3), WithCRC(HexBytes("03 03 00 18 00 08"))}));
    EXPECT_TRUE(rig.msgs.texts().isEmpty());
    EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
}

TEST(TransducerController, SearchStopsBeforeTheNextAddressWhenAsked)
{
    ControllerRig rig;
    rig.answerAsDevice(3);
    QList<int> tried;
    int ended = 0;
    bool stopAt2 = true;
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchProgress, [&](int address, int) {
        tried << address;
        if (address == 2 && stopAt2)
            rig.ctrl->RequestSearchStop();
    });
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchEnded, [&] { ++ended; });

    rig.ctrl->SearchFirstDevice(false, [] { return 7; });

    EXPECT_EQ(tried, (QList<int>{1, 2}));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_FALSE(rig.log.contains(QStringLiteral("connected")));
    EXPECT_EQ(rig.ctrl->Session().Transducer.SlaveID, 2); // the address tried last
    EXPECT_TRUE(rig.msgs.texts().isEmpty());

    // A new search clears the request it was left.
    tried.clear();
    stopAt2 = false;
    rig.ctrl->SearchFirstDevice(false, [] { return 7; });
    EXPECT_EQ(tried, (QList<int>{1, 2, 3}));
    EXPECT_TRUE(rig.ctrl->IsConnected());
}

TEST(TransducerController, SearchThatFindsNobodyFallsBackToTheDefaultAddress)
{
    ControllerRig rig;
    int passes = 0;
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchPassStarted, [&] { ++passes; });
    rig.ctrl->SearchFirstDevice(true, [] { return 7; });
    EXPECT_EQ(passes, 2); // the quick pass found nobody, the full scan followed
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.ctrl->Session().Transducer.SlaveID, 7);
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Ниодного прибора не найдено.")});
}

// The search without arguments reads its settings when it starts, not when they were given.
TEST(TransducerController, SearchTakesItsSettingsWhenItStarts)
{
    ControllerRig rig;
    bool quick = false;
    int fallback = 7;
    rig.ctrl->SetSearchSettings([&] { return quick; }, [&] { return fallback; });
    int passes = 0;
    QObject::connect(rig.ctrl.get(), &TTransducerController::searchPassStarted, [&] { ++passes; });

    quick = true;
    fallback = 9;
    rig.ctrl->SearchFirstDevice();
    EXPECT_EQ(passes, 2) << "the quick pass, then the full scan";
    EXPECT_EQ(rig.ctrl->Session().Transducer.SlaveID, 9);

    passes = 0;
    quick = false;
    fallback = 4;
    rig.ctrl->SearchFirstDevice();
    EXPECT_LT(passes, 2) << "no quick pass";
    EXPECT_EQ(rig.ctrl->Session().Transducer.SlaveID, 4);
    EXPECT_EQ(rig.msgs.countOf(QStringLiteral("Ниодного прибора не найдено.")), 2);
}

TEST(TransducerController, PortNamedByTextAsksThePromptsFirst)
{
    ControllerRig rig;
    rig.answerAsDevice(1);
    rig.ctrl->Driver()->SetPortName(QStringLiteral("/dev/ttyUSB0"));
    ASSERT_EQ(rig.ctrl->Driver()->Port(), int(pnCustom));

    // No prompts set: the default answers "cancel", nothing is opened.
    rig.ctrl->Connect();
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.port->writeCount(), 0);

    CountingPrompts prompts(rig.ctrl->Driver());
    prompts.answer = false;
    rig.ctrl->SetPrompts(&prompts);
    rig.ctrl->SearchFirstDevice(false, [] { return 7; });
    EXPECT_EQ(prompts.asked, 1);
    EXPECT_EQ(rig.port->writeCount(), 0);

    prompts.answer = true;
    rig.ctrl->Connect();
    EXPECT_EQ(prompts.asked, 2);
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.ctrl->PortNumber(), 2);
    EXPECT_EQ(rig.writes(), (QList<QByteArray>{kIdentify1, kReadConfig1}));

    // A standard port is opened without asking.
    rig.ctrl->Connect();
    EXPECT_EQ(prompts.asked, 2);
}

TEST(TransducerController, OfferToConnectConnectsOnYes)
{
    ControllerRig rig;
    rig.answerAsDevice(1);
    rig.msgs.answer(mrNo);
    EXPECT_FALSE(rig.ctrl->AskToConnect());
    EXPECT_EQ(rig.port->writeCount(), 0);

    rig.msgs.answer(mrYes);
    EXPECT_TRUE(rig.ctrl->AskToConnect());
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.msgs.texts().size(), 2);
    EXPECT_TRUE(rig.ctrl->AskToConnect()); // connected: nothing asked
    EXPECT_EQ(rig.msgs.texts().size(), 2);

    // A device that does not answer: the failure names the address and the port.
    rig.ctrl->Disconnect();
    rig.port->clearRules();
    rig.msgs.answer(mrYes);
    EXPECT_FALSE(rig.ctrl->AskToConnect());
    EXPECT_EQ(rig.msgs.texts().last(),
              QStringLiteral("Не удалось установить соединение с прибором\n\r номер 1 подключенному к порту СОМ1.\n\r"
                             " Попробуйте установить соединение с другим номером."));
}

// ---------------------------------------------------------------- calibration and diagnostics

namespace {

// The controller's port open at address 1, the calibration and diagnostics
// signals written down in order.
// Values typed through the recorded dialog, as the window types them.
class TypedValues : public ITransducerPrompts {
public:
    explicit TypedValues(RecordingMessages& msgs) : m_msgs(msgs) {}
    int EnterValue(const QString& prompt, double& value, double defaultValue) override
    {
        return m_msgs.EnterValue(prompt, value, 0, defaultValue);
    }

private:
    RecordingMessages& m_msgs;
};

struct OperationsRig : ControllerRig {
    OperationsRig()
    {
        ctrl->SetPrompts(&typed);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        ctrl->Driver()->OpenPort();
        ctrl->Session().Transducer.PLType = 'M';
        log.clear();
        TTransducerController* c = ctrl.get();
        QObject::connect(c, &TTransducerController::calibrationStageDone, [this](int stage, int current, bool accepted) {
            log << QStringLiteral("stage:%1:%2:%3").arg(stage).arg(current).arg(accepted ? "accepted" : "refused");
        });
        QObject::connect(c, &TTransducerController::calibrationProtocolAvailable,
                         [this](bool available) { log << QStringLiteral("protocol:%1").arg(available); });
        QObject::connect(c, &TTransducerController::measurement, [this](const TMeasurement& m) {
            log << QStringLiteral("measurement:%1:%2:%3").arg(m.state).arg(m.temperature).arg(m.resistance);
        });
        QObject::connect(c, &TTransducerController::measurementMissed, [this] { log << QStringLiteral("missed"); });
        QObject::connect(c, &TTransducerController::diagnosticsStopped, [this] { log << QStringLiteral("stopped"); });
        QObject::connect(c, &TTransducerController::correctionDone,
                         [this](TDeviceEvents::Correction kind, bool reset, int result) {
                             log << QStringLiteral("correction:%1:%2:%3")
                                        .arg(kind == TDeviceEvents::Correction::R0 ? "R0" : "NSX")
                                        .arg(reset)
                                        .arg(result);
                         });
        QObject::connect(c, &TTransducerController::frameExchanged, [this](const TLinkEvent& e) { frames << e; });
    }
    ~OperationsRig() { QLocale::setDefault(QLocale::c()); }

    // What the driver's polling delivers `ms` later.
    void poll(uint32_t ms = 500)
    {
        clock.advanceMs(ms);
        ctrl->Driver()->PollTimerTick();
    }

    QList<TLinkEvent> frames;
    TypedValues typed{msgs};
};

} // namespace

TEST(ControllerCalibration, ARunSignalsEveryStageAndThenItsProtocol)
{
    OperationsRig rig;
    RecordingCalibrView view;
    rig.ctrl->SetCalibrationView(&view);
    rig.ctrl->Calibration().Today = [] { return QDate(2026, 12, 9); };
    rig.port->answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
    QStringList history; // the journal's connection to the session's events
    QObject::connect(&rig.ctrl->events(), &TDeviceEvents::calibrationStageDone,
                     [&](int stage, int, bool accepted) { history << QStringLiteral("%1:%2").arg(stage).arg(accepted); });

    for (int press = 0; press < 8; ++press)
        rig.ctrl->NextCalibrationStage();
    EXPECT_EQ(rig.log, (QStringList{"protocol:0", "stage:1:0:accepted", "stage:2:0:accepted", "stage:3:0:accepted",
                                    "stage:4:0:accepted", "stage:5:4000:accepted", "stage:6:20000:accepted",
                                    "stage:7:20000:accepted", "protocol:1"}));
    EXPECT_EQ(history, (QStringList{"1:1", "2:1", "3:1", "4:1", "5:1", "6:1", "7:1"}));
    EXPECT_EQ(view.stage, QStringLiteral("Настройка успешно завершена"));
    EXPECT_EQ(view.indicatorDate, QStringLiteral("09.12.2026"));
    EXPECT_TRUE(rig.ctrl->HasCalibrationProtocol());
    EXPECT_EQ(rig.ctrl->LastCalibration().current5, 4000);
    EXPECT_EQ(rig.ctrl->CalibrationStage(), 0);
    EXPECT_EQ(rig.writes().last(), WithCRC(HexBytes("01 4D 07 09 0C 07 EA")));

    // Refused: said so, the stage stays; a detached page is left alone.
    rig.log.clear();
    rig.ctrl->SetCalibrationView(nullptr);
    rig.port->clearRules();
    rig.ctrl->NextCalibrationStage();
    rig.port->answerOnce(HexBytes("01 4D"), ShortAnswer(0x00, 10));
    rig.ctrl->NextCalibrationStage();
    EXPECT_EQ(rig.log, (QStringList{"protocol:0", "stage:1:20000:refused"}));
    EXPECT_EQ(rig.msgs.texts(), QStringList{"Измеряемое АЦП значение не в диапазоне возможных значений"});
    EXPECT_EQ(rig.ctrl->CalibrationStage(), 1);
    EXPECT_EQ(view.stage, QStringLiteral("Настройка успешно завершена"));
}

TEST(ControllerDiagnostics, MeasurementsCarryTheirValuesAndMissesAndTheStopAreSignalled)
{
    OperationsRig rig;
    RecordingDiagView view;
    rig.ctrl->SetDiagnosticsView(&view);
    rig.port->answerOnce(HexBytes("01 03 00 20"), Measurement(235, 10935, 0), 300);
    rig.port->answerOnce(HexBytes("01 03 00 20"), Measurement(0, 0, 3), 300);

    rig.ctrl->StartDiagnostics();
    EXPECT_TRUE(rig.ctrl->DiagnosticsTimer()->isActive()) << "the controller's own timer polls";
    rig.poll();
    rig.clock.advanceMs(500);
    rig.ctrl->PollDiagnostics();
    rig.poll();
    rig.clock.advanceMs(500);
    rig.ctrl->PollDiagnostics(); // answered: the next request goes out
    rig.clock.advanceMs(1000);
    rig.ctrl->PollDiagnostics(); // finds it unanswered
    rig.ctrl->StopDiagnostics();

    EXPECT_EQ(rig.log, (QStringList{"measurement:0:23.5:109.35", "measurement:3:nan:nan", "missed", "stopped"}));
    EXPECT_FALSE(rig.ctrl->DiagnosticsTimer()->isActive());
    EXPECT_TRUE(view.infoHistory.contains(QStringLiteral("Неисправностей не обнаружено")));
    EXPECT_EQ(view.t, QString()) << "the stop empties the readouts";

    // The exchange monitor's feed: each request, each answer, the miss.
    QList<TFrameVerdict> verdicts;
    for (const TLinkEvent& e : rig.frames)
        verdicts << e.verdict;
    EXPECT_EQ(verdicts, (QList<TFrameVerdict>{TFrameVerdict::Request, TFrameVerdict::Answer, TFrameVerdict::Request,
                                              TFrameVerdict::Answer, TFrameVerdict::Request, TFrameVerdict::NoAnswer,
                                              TFrameVerdict::Request}));
    EXPECT_EQ(rig.frames.first().bytes, kMeasurementRequest);
    EXPECT_EQ(rig.frames[1].bytes, Measurement(235, 10935, 0));
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(ControllerDiagnostics, CorrectionsSignalKindResetAndTheDevicesCode)
{
    OperationsRig rig;
    rig.port->answerAlways(HexBytes("01 03 00 20"), [](const QByteArray&) { return Measurement(235, 10935, 0); });
    rig.ctrl->CorrectR0(true); // not measuring: refused before anything is sent
    EXPECT_EQ(rig.msgs.texts(), QStringList{"Сначала нужно запустить процесс диагностики"});

    rig.ctrl->StartDiagnostics();
    rig.port->answerOnce(HexBytes("01 4E 01"), ShortAnswer(0x4E));
    rig.ctrl->CorrectR0(true);
    rig.port->answerOnce(HexBytes("01 4E 01"), ShortAnswer(0x00, 12));
    rig.ctrl->CorrectR0(true);
    rig.port->answerOnce(HexBytes("01 4F 01"), ShortAnswer(0x4F));
    rig.port->answerOnce(HexBytes("01 4F 02"), ShortAnswer(0x4F));
    rig.msgs.answerValue(mrYes, 36.6);
    rig.ctrl->CorrectNSX();

    rig.log.removeAll(QStringLiteral("measurement:0:23.5:109.35"));
    EXPECT_EQ(rig.log, (QStringList{"correction:R0:0:0", "correction:R0:0:12", "correction:NSX:0:0"}));
    EXPECT_EQ(rig.writes().last(), WithCRC(HexBytes("01 4F 02 01 6E")));
    ASSERT_EQ(rig.msgs.texts().size(), 3);
    EXPECT_EQ(rig.msgs.texts()[1], CannotText(TCannotText::R0Deviation));
    EXPECT_EQ(rig.msgs.texts()[2], QStringLiteral("Введите действительное значение температуры."));
    EXPECT_TRUE(rig.ctrl->DiagnosticsTimer()->isActive()) << "measuring again after each";
}

// Without prompts that take a value the NSX entry is cancelled: the first
// step's answer is not followed by the second.
TEST(ControllerDiagnostics, NSXWithoutAValueEntrySendsOnlyItsFirstStep)
{
    OperationsRig rig;
    rig.ctrl->SetPrompts(nullptr);
    rig.port->answerAlways(HexBytes("01 03 00 20"), [](const QByteArray&) { return Measurement(235, 10935, 0); });
    rig.ctrl->StartDiagnostics();
    rig.port->answerOnce(HexBytes("01 4F 01"), ShortAnswer(0x4F));
    rig.msgs.answerValue(mrYes, 36.6); // the dialog would have given a value: it is not asked
    rig.ctrl->CorrectNSX();

    EXPECT_EQ(rig.msgs.pendingAnswers(), 1);
    EXPECT_FALSE(rig.log.contains(QStringLiteral("correction:NSX:0:0")));
    for (const QByteArray& w : rig.writes())
        EXPECT_FALSE(w.startsWith(HexBytes("01 4F 02"))) << w.toHex(' ').toStdString();
    EXPECT_TRUE(rig.writes().contains(WithCRC(HexBytes("01 4F 01 00 00")))) << "the first step went out";
    EXPECT_TRUE(rig.ctrl->DiagnosticsTimer()->isActive());
}
