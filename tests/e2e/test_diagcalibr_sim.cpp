// Diagnostics, the R0 correction and a whole calibration against zelkor-sim
// on a pty: real ticks, real serial backend, real timers.

#include "SimProcess.h"

#include "app/CalibrationPage.h"
#include "link/CommPortDriver.h"
#include "common/Cp1251.h"
#include "app/DiagnosticPage.h"
#include "indicator/LiquidIndicator.h"
#include "app/MainWindow.h"
#include "RecordingMessages.h"
#include "SimState.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString Shown(const TLiquidIndicator* ind)
{
    return fromCp1251(ind->Indicatorstring());
}

// Lets the event loop run (timers, the driver's polling) until `done` or `ms` pass.
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

// The program folder, a simulator whose memory is `state`, and a main window
// connected to it through COM1.
class SimBench {
public:
    explicit SimBench(const TSimState& state, QStringList extra = {})
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        statePath = tmp.filePath(QStringLiteral("sim.ini"));
        QString error;
        saved = SaveSimState(statePath, state, &error);
        const QString link = tmp.filePath(QStringLiteral("com1"));
        sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--link"), link, QStringLiteral("--state"),
                                                       statePath, QStringLiteral("--noise"), QStringLiteral("0")}
                                           + extra);
        started = sim->start();

        const QString prog = tmp.filePath(QStringLiteral("prog"));
        QDir().mkpath(prog + QStringLiteral("/ColorSchemas"));
        Write(prog + QStringLiteral("/ColorSchemas/Standart.rbs"),
              "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=-16777201\r\n");
        Write(prog + QStringLiteral("/Zelkor.ini"),
              "[Defaults]\r\nDefaultSlaveID=1\r\nDefaultComPortNum=1\r\n[Ports]\r\nCOM1=" + link.toLocal8Bit() + "\r\n");
        TMainWindowOptions o;
        o.exePath = prog + QStringLiteral("/zelkor");
        o.userConfigDir = tmp.filePath(QStringLiteral("cfg"));
        o.messages = &msgs;
        o.errorBox = [this](const QString& text) { errorBoxes << text; };
        o.chooseComPort = [](TfrmMain& frm) {
            frm.cpDRV()->SetPort(1);
            return true;
        };
        frm = std::make_unique<TfrmMain>(std::move(o));
    }
    ~SimBench() { QLocale::setDefault(QLocale::c()); }

    bool connect()
    {
        frm->ConnectDevice();
        return frm->IsConnected();
    }
    TSimState stored()
    {
        TSimState s;
        QString error;
        LoadSimState(statePath, s, &error);
        return s;
    }
    QString messages() const { return msgs.texts().join(QStringLiteral(" | ")); }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }

    QTemporaryDir tmp;
    QString statePath;
    bool saved = false;
    bool started = false;
    std::unique_ptr<SimProcess> sim;
    RecordingMessages msgs;
    QStringList errorBoxes;
    std::unique_ptr<TfrmMain> frm;
};

TSimState BenchState(double temperature)
{
    TSimState s = DefaultSimState();
    s.temperature = temperature;
    s.calibrDate = MakeSimDate(15, 3, 2005);
    return s;
}

TEST(DiagnosticsAgainstSimulator, LiveTemperatureAndR0Correction)
{
    // Every answer in two pieces 300 ms apart: the measuring loop joins them across deliveries.
    SimBench b(BenchState(5.0), {QStringLiteral("--pieces"), QStringLiteral("2"), QStringLiteral("--piece-gap"),
                                 QStringLiteral("300")});
    ASSERT_TRUE(b.saved && b.started) << b.sim->error().toStdString();
    ASSERT_TRUE(b.connect()) << b.messages().toStdString();
    TDiagnosticPage& page = *b.frm->tsDiagnostic();
    EXPECT_EQ(Shown(page.indCalibrDate), QStringLiteral("15.03.2005")) << "the one-shot read at connection";
    EXPECT_TRUE(Shown(page.indT).isEmpty());

    // A few ticks of measuring: the simulator's temperature, and no repeats.
    page.btnBeginDiagnostics->Click();
    EXPECT_TRUE(WaitUntil([&] { return Shown(page.indT) == QStringLiteral("5,0"); }, 3000)) << Shown(page.indT).toStdString();
    WaitUntil([] { return false; }, 3000);
    EXPECT_TRUE(b.frm->Session().State.DiagRunning);
    EXPECT_EQ(Shown(page.indT), QStringLiteral("5,0"));
    EXPECT_FALSE(Shown(page.indR).isEmpty());
    EXPECT_EQ(page.lbDiagInf->text(), QStringLiteral("Неисправностей не обнаружено"));
    EXPECT_EQ(b.frm->StatusPanelText(3), QStringLiteral("Режим диагностики"));
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();

    // The R0 correction: the sensor "stands at 0 °C", so the reading drops to 0,0.
    b.msgs.answer(mrYes); // the sensor is in melting ice
    page.btnCorrR0->Click();
    ASSERT_EQ(b.msgs.texts(), QStringList{TDiagnosticPage::AskCorrectR0});
    EXPECT_EQ(page.lbDiagInf->text(), QStringLiteral("Операция успешно выполнена."));
    EXPECT_TRUE(b.stored().r0Corrected);
    EXPECT_TRUE(b.frm->DiagnosticsTimer()->isActive());
    EXPECT_TRUE(WaitUntil([&] { return Shown(page.indT) == QStringLiteral("0,0"); }, 4000)) << Shown(page.indT).toStdString();

    // Again: already done, the user resets it, and the reading is back.
    b.msgs.answer(mrYes);
    b.msgs.answer(mrYes);
    page.btnCorrR0->Click();
    ASSERT_EQ(b.msgs.count(), 3) << b.messages().toStdString();
    EXPECT_TRUE(b.msgs.last().text.contains(QStringLiteral("Корректировка R0 уже проводилась")));
    EXPECT_EQ(page.lbDiagInf->text(), QStringLiteral("Корректировка R0 сброшена."));
    EXPECT_FALSE(b.stored().r0Corrected);
    EXPECT_TRUE(WaitUntil([&] { return Shown(page.indT) == QStringLiteral("5,0"); }, 4000)) << Shown(page.indT).toStdString();

    page.btnBeginDiagnostics->Click();
    EXPECT_FALSE(b.frm->DiagnosticsTimer()->isActive());
    EXPECT_TRUE(Shown(page.indT).isEmpty());
    EXPECT_EQ(b.msgs.count(), 3) << b.messages().toStdString();
    EXPECT_TRUE(b.frm->IsConnected());
}

TEST(CalibrationAgainstSimulator, WholeSequenceStoresTheDate)
{
    SimBench b(BenchState(20.0), {QStringLiteral("--type"), QStringLiteral("M")});
    ASSERT_TRUE(b.saved && b.started) << b.sim->error().toStdString();
    ASSERT_TRUE(b.connect()) << b.messages().toStdString();
    ASSERT_EQ(b.frm->Session().Transducer.PLType, 'M');
    TCalibrationPage& page = *b.frm->tsCalobration();

    for (int stage = 0; stage <= 6; ++stage) {
        page.btnBeginCalibr->Click(); // the nominal currents are within the device's window
        ASSERT_EQ(b.frm->Session().State.CalibrStage, stage + 1) << b.messages().toStdString();
    }
    ASSERT_FALSE(page.meCalibrNewDate->isHidden());
    page.meCalibrNewDate->setText(QStringLiteral("25.03.2005"));
    page.meCalibrNewDateExit();
    page.btnBeginCalibr->Click();
    EXPECT_EQ(b.frm->Session().State.CalibrStage, 0);
    EXPECT_EQ(page.lbStage->text(), QStringLiteral("Настройка успешно завершена"));
    EXPECT_EQ(Shown(b.frm->tsDiagnostic()->indCalibrDate), QStringLiteral("25.03.2005"));
    EXPECT_EQ(b.stored().calibrDate, MakeSimDate(25, 3, 2005));
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
    EXPECT_TRUE(b.frm->IsConnected());
}

} // namespace
