// The verification against zelkor-sim as a bench: a decade box at its input
// ("r OHMS"), its output current read back as the meter would show it.
// From the command line a passing and a failing run; in the window the as
// found -> trim -> as left sequence in which the trim mends the output.
#include "SimProcess.h"

#include "app/CalibrationPage.h"
#include "app/MainWindow.h"
#include "app/VerificationFrm.h"
#include "link/CommPortDriver.h"
#include "RecordingMessages.h"
#include "SimState.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

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

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// The simulator with its default configuration (Pt100 0.00385, 4-20 mA
// direct, -50..150 deg C) and commands on its stdin.
std::unique_ptr<SimProcess> StartSim(const QTemporaryDir& tmp, const QStringList& extra)
{
    auto sim = std::make_unique<SimProcess>(
        QStringList{QStringLiteral("--link"), tmp.filePath(QStringLiteral("com1")), QStringLiteral("--state"),
                    tmp.filePath(QStringLiteral("sim.ini")), QStringLiteral("--no-pacing"), QStringLiteral("--noise"),
                    QStringLiteral("0"), QStringLiteral("--control")}
        + extra);
    return sim->start() ? std::move(sim) : nullptr;
}

// The decade box set to `ohms`; what the meter in the loop then reads, mA.
double SetBox(SimProcess& sim, double ohms)
{
    return SimProcess::outputCurrent(sim.command("r " + QByteArray::number(ohms, 'f', 2)));
}

struct CliRun {
    int exitCode = -1;
    QJsonObject json;
    QString prompts;
};

// zelkor-cli --json verify, answered as an engineer would: every resistance
// it asks for goes to the box, the meter's current goes back on stdin.
CliRun VerifyFromCli(const QTemporaryDir& tmp, SimProcess& sim, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.filePath(QStringLiteral("cfg")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELKOR_CLI_PATH),
            QStringList{QStringLiteral("--port"), tmp.filePath(QStringLiteral("com1")), QStringLiteral("--json"),
                        QStringLiteral("verify")}
                + args);
    static const QRegularExpression ask(QStringLiteral("Установите ([0-9.]+) Ом"));
    CliRun run;
    int answered = 0;
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 120000) {
        p.waitForReadyRead(100);
        run.prompts += QString::fromUtf8(p.readAllStandardError());
        auto all = ask.globalMatch(run.prompts);
        for (int i = 0; all.hasNext(); ++i) {
            const auto m = all.next();
            if (i < answered)
                continue;
            const double mA = SetBox(sim, m.captured(1).toDouble());
            p.write(QByteArray::number(mA, 'f', 3) + '\n');
            ++answered;
        }
    }
    p.waitForFinished(5000);
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    return run;
}

// The program connected to the simulator through COM1.
struct WindowBench {
    explicit WindowBench(const QStringList& extra)
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        sim = StartSim(tmp, extra);
        const QString prog = tmp.filePath(QStringLiteral("prog"));
        QDir().mkpath(prog + QStringLiteral("/ColorSchemas"));
        Write(prog + QStringLiteral("/ColorSchemas/Standart.rbs"),
              "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=-16777201\r\n");
        Write(prog + QStringLiteral("/Zelkor.ini"), "[Defaults]\r\nDefaultSlaveID=1\r\nDefaultComPortNum=1\r\n[Ports]\r\nCOM1="
                                                        + tmp.filePath(QStringLiteral("com1")).toLocal8Bit() + "\r\n");
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
        frm->Settings().VerifyPoints = 2;
        QObject::connect(&frm->Session().events, &TDeviceEvents::verificationDone,
                         [this](const TVerificationResult& r) { done << r; });
    }
    ~WindowBench() { QLocale::setDefault(QLocale::c()); }

    // Every point: the box set, the meter's current typed, "Измерить", the readings awaited.
    bool verify(TVerifyStage stage)
    {
        if (!frm->ShowVerification(stage, false))
            return false;
        TfrmVerification* w = frm->VerificationWindow();
        for (int row = 0; row < w->Verification().PointCount(); ++row) {
            const double mA = SetBox(*sim, w->Verification().Point(row).resistance);
            w->CurrentEdit(row)->setText(QLocale().toString(mA, 'f', 3));
            w->btnMeasureClick(row);
            if (!WaitUntil([w] { return w->MeasuringRow() < 0; }, 20000) || !w->Verification().Point(row).Measured())
                return false;
        }
        return true;
    }
    QString messages() const { return msgs.texts().join(QStringLiteral(" | ")); }

    QTemporaryDir tmp;
    std::unique_ptr<SimProcess> sim;
    RecordingMessages msgs;
    std::unique_ptr<TfrmMain> frm;
    QList<TVerificationResult> done;
};

} // namespace

TEST(VerifyAgainstSimulator, CliPassesAnHonestTransducer)
{
    QTemporaryDir tmp;
    const auto sim = StartSim(tmp, {});
    ASSERT_TRUE(sim);
    const CliRun run = VerifyFromCli(tmp, *sim, {QStringLiteral("--points"), QStringLiteral("2")});
    EXPECT_EQ(run.exitCode, 0) << run.prompts.toStdString();
    EXPECT_EQ(run.json.value(QStringLiteral("verdict")).toString(), QStringLiteral("ГОДЕН"));
    EXPECT_DOUBLE_EQ(run.json.value(QStringLiteral("tolerance")).toDouble(), 0.25);
    const QJsonArray points = run.json.value(QStringLiteral("points")).toArray();
    ASSERT_EQ(points.size(), 2);
    EXPECT_DOUBLE_EQ(points[0].toObject().value(QStringLiteral("temperature")).toDouble(), -50);
    EXPECT_NEAR(points[0].toObject().value(QStringLiteral("resistance")).toDouble(), 80.306, 0.001);
    EXPECT_NEAR(points[1].toObject().value(QStringLiteral("reading")).toDouble(), 150.0, 0.05);
    EXPECT_NEAR(points[1].toObject().value(QStringLiteral("current")).toDouble(), 20.0, 0.002);
    for (const char* key : {"expectedCurrent", "digitalError", "digitalErrorPct", "outputError", "outputErrorPct"})
        EXPECT_TRUE(points[1].toObject().value(QLatin1String(key)).isDouble()) << key;
    EXPECT_TRUE(points[1].toObject().value(QStringLiteral("pass")).toBool());
    EXPECT_TRUE(sim->stop());
}

TEST(VerifyAgainstSimulator, CliRefusesBadPlansBeforeOpeningAPort)
{
    for (const QStringList& args :
         {QStringList{QStringLiteral("--points"), QStringLiteral("12")},
          QStringList{QStringLiteral("--points"), QStringLiteral("1")},
          QStringList{QStringLiteral("--at"), QStringLiteral("20,warm")},
          QStringList{QStringLiteral("--tolerance"), QStringLiteral("0")}}) {
        QProcess p;
        p.start(QStringLiteral(ZELKOR_CLI_PATH), QStringList{QStringLiteral("verify")} + args);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_FALSE(p.readAllStandardError().isEmpty());
    }
}

TEST(VerifyAgainstSimulator, CliFailsAnOutputOffset)
{
    QTemporaryDir tmp;
    const auto sim = StartSim(tmp, {QStringLiteral("--output-offset"), QStringLiteral("120")});
    ASSERT_TRUE(sim);
    const CliRun run = VerifyFromCli(tmp, *sim, {QStringLiteral("--at"), QStringLiteral("25"),
                                                 QStringLiteral("--tolerance"), QStringLiteral("0,5")});
    EXPECT_EQ(run.exitCode, 7) << run.prompts.toStdString();
    EXPECT_EQ(run.json.value(QStringLiteral("verdict")).toString(), QStringLiteral("НЕ ГОДЕН"));
    EXPECT_DOUBLE_EQ(run.json.value(QStringLiteral("tolerance")).toDouble(), 0.5);
    const QJsonObject p = run.json.value(QStringLiteral("points")).toArray().at(0).toObject();
    EXPECT_DOUBLE_EQ(p.value(QStringLiteral("temperature")).toDouble(), 25);
    EXPECT_NEAR(p.value(QStringLiteral("outputErrorPct")).toDouble(), 0.75, 0.01) << "0.12 mA of 16";
    EXPECT_NEAR(p.value(QStringLiteral("digitalErrorPct")).toDouble(), 0.0, 0.05);
    EXPECT_FALSE(p.value(QStringLiteral("pass")).toBool());
    EXPECT_TRUE(sim->stop());
}

TEST(VerifyAgainstSimulator, AsFoundFailsTheTrimMendsItAsLeftPasses)
{
    // +0.15 mA and +0.3 %: 4 mA comes out as 4.162, 20 mA as 20.21.
    WindowBench b({QStringLiteral("--output-offset"), QStringLiteral("150"), QStringLiteral("--output-gain"),
                   QStringLiteral("3000")});
    ASSERT_TRUE(b.sim) << "simulator not started";
    b.frm->ConnectDevice();
    ASSERT_TRUE(b.frm->IsConnected()) << b.messages().toStdString();
    TCalibrationPage& page = *b.frm->tsCalobration();

    page.btnBeginCalibr->Click();
    ASSERT_EQ(page.VerifyOffer(), TVerifyStage::vsAsFound);
    EXPECT_EQ(page.btnVerify->Caption(), QStringLiteral("Проверить до настройки"));
    ASSERT_TRUE(b.verify(page.VerifyOffer())) << b.messages().toStdString();
    ASSERT_EQ(b.done.size(), 1);
    EXPECT_EQ(b.done[0].stage, TVerifyStage::vsAsFound);
    EXPECT_FALSE(b.done[0].pass);
    EXPECT_EQ(b.frm->VerificationWindow()->lbVerdict->text(), QStringLiteral("НЕ ГОДЕН"));

    // The trim: stages 1..4, then what the meter reads at the two bare points.
    for (int stage = 1; stage <= 6; ++stage) {
        if (stage >= 5) {
            const double mA = SimProcess::outputCurrent(b.sim->command("s"));
            page.rseCalibrCur->setValue(mA);
            page.rseCalibrCurExit();
        }
        page.btnBeginCalibr->Click();
        ASSERT_EQ(b.frm->Session().State.CalibrStage, stage + 1) << b.messages().toStdString();
    }
    page.meCalibrNewDate->setText(QStringLiteral("09.12.2026"));
    page.meCalibrNewDateExit();
    page.btnBeginCalibr->Click();
    ASSERT_EQ(b.frm->Session().State.CalibrStage, 0) << b.messages().toStdString();
    EXPECT_EQ(page.btnVerify->Caption(), QStringLiteral("Проверить после настройки"));

    ASSERT_TRUE(b.verify(page.VerifyOffer())) << b.messages().toStdString();
    ASSERT_EQ(b.done.size(), 2);
    EXPECT_EQ(b.done[1].stage, TVerifyStage::vsAsLeft);
    EXPECT_TRUE(b.done[1].pass) << "the trim took the offset and the gain out";
    for (const TVerifyPoint& p : b.done[1].points)
        EXPECT_NEAR(p.outputError, 0.0, 0.002) << p.temperature;
    EXPECT_EQ(b.frm->VerificationWindow()->lbVerdict->text(), QStringLiteral("ГОДЕН"));
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
    EXPECT_TRUE(b.sim->stop());
}
