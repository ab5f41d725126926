// The configuration page and the device search against the simulated
// transducer on a pty (real ticks, real serial backend).
#include "link/CommPortDriver.h"
#include "app/ConfigurationPage.h"
#include "app/MainWindow.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "RecordingMessages.h"
#include "SimProcess.h"
#include "SimState.h"
#include "app/ViewStatusFrm.h"

#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct SimBench {
    QTemporaryDir tmp;
    QString link = tmp.filePath(QStringLiteral("com1"));
    QString state = tmp.filePath(QStringLiteral("sim.ini"));
    QString progDir = tmp.filePath(QStringLiteral("prog"));
    std::unique_ptr<SimProcess> sim;
    RecordingMessages msgs;
    QStringList errorBoxes;

    bool startSim(QStringList extra = {})
    {
        sim = std::make_unique<SimProcess>(
            QStringList{QStringLiteral("--link"), link, QStringLiteral("--state"), state, QStringLiteral("--no-pacing"),
                        QStringLiteral("--noise"), QStringLiteral("0")}
            + extra);
        return sim->start();
    }
    std::unique_ptr<TfrmMain> makeWindow(int repeatNum)
    {
        QDir().mkpath(progDir + QStringLiteral("/ColorSchemas"));
        write(progDir + QStringLiteral("/ColorSchemas/Standart.rbs"),
              "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=-16777201\r\n");
        write(progDir + QStringLiteral("/Zelkor.ini"),
              "[Defaults]\r\nConnectBeforeRun=0\r\nDefaultComPortNum=1\r\nRepeatNum=" + QByteArray::number(repeatNum)
                  + "\r\n[Ports]\r\nCOM1=" + link.toLocal8Bit() + "\r\n");
        TMainWindowOptions o;
        o.exePath = progDir + QStringLiteral("/zelkor");
        o.userConfigDir = tmp.filePath(QStringLiteral("cfg"));
        o.messages = &msgs;
        o.errorBox = [this](const QString& text) { errorBoxes << text; };
        o.chooseComPort = [](TfrmMain& frm) {
            frm.cpDRV()->SetPort(1);
            return true;
        };
        return std::make_unique<TfrmMain>(std::move(o));
    }
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    QString messages() const { return msgs.texts().join('|'); }
};

void SetField(QSpinBox* spin, int value)
{
    spin->setValue(value);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(spin, &out);
}

} // namespace

TEST(ConfigurationAgainstSimulator, WrittenConfigurationSurvivesARestart)
{
    SimBench b;
    ASSERT_TRUE(b.startSim()) << b.sim->error().toStdString();
    auto frm = b.makeWindow(2);
    frm->Session().link.ReportLinkErrors = true;
    frm->ConnectDevice();
    ASSERT_TRUE(frm->IsConnected()) << b.messages().toStdString();
    TConfigurationPage* p = frm->tsConfiguration();

    // The simulator's factory configuration.
    const TSimState factory = DefaultSimState();
    EXPECT_TRUE(OptionChecked(p->rbPl_385));
    EXPECT_EQ(p->rseBottomTempBound->value(), factory.bottomBound);
    EXPECT_EQ(p->rseTopTempBound->value(), factory.topBound);
    EXPECT_TRUE(OptionChecked(p->rbR100));
    EXPECT_TRUE(OptionChecked(p->rbDirectLeadOut));
    EXPECT_TRUE(OptionChecked(p->rbI3_6));
    EXPECT_FALSE(p->cbAverageTurnOn->Checked());
    EXPECT_TRUE(p->pnAlarmCur4D->isVisibleTo(p));

    // The user changes every group and writes.
    ClickOption(p->rbCu);
    ClickOption(p->rbR50);
    SetField(p->rseBottomTempBound, -30);
    SetField(p->rseTopTempBound, 120);
    ClickOption(p->rbInversLeadOut);
    ClickOption(p->rbI22);
    p->cbAverageTurnOn->Click();
    p->rseAverage->setValue(12);
    p->rseConfSlaveID->setValue(7);
    p->btnConfWriteClick();
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 7);
    ASSERT_TRUE(frm->IsConnected());

    TSimState stored;
    QString error;
    ASSERT_TRUE(LoadSimState(b.state, stored, &error)) << error.toStdString();
    EXPECT_EQ(stored.address, 7);
    EXPECT_EQ(stored.sensorKind, 3);
    EXPECT_EQ(stored.r0Code, 2);
    EXPECT_EQ(stored.bottomBound, -30);
    EXPECT_EQ(stored.topBound, 120);
    EXPECT_EQ(stored.outputCode, 1);
    EXPECT_EQ(stored.alarmCode, 4);
    EXPECT_EQ(stored.averageCode, 12 * 6 - 2);

    // The device now answers at 7 only.
    p->btnConfReadClick();
    EXPECT_TRUE(frm->IsConnected()) << b.messages().toStdString();

    // Power cycle: the simulator comes back with what it stored.
    frm->DisconnectDevice();
    EXPECT_FALSE(OptionChecked(p->rbCu));
    ASSERT_TRUE(b.sim->stop()) << b.sim->error().toStdString();
    ASSERT_TRUE(b.startSim()) << b.sim->error().toStdString();
    frm->ConnectDevice();
    ASSERT_TRUE(frm->IsConnected()) << b.messages().toStdString();
    EXPECT_TRUE(OptionChecked(p->rbCu));
    EXPECT_TRUE(OptionChecked(p->rbR50));
    EXPECT_EQ(p->rseBottomTempBound->value(), -30);
    EXPECT_EQ(p->rseTopTempBound->value(), 120);
    EXPECT_EQ(p->lbMaxTemp->text(), QStringLiteral("200 °C"));
    EXPECT_TRUE(OptionChecked(p->rbInversLeadOut));
    EXPECT_TRUE(OptionChecked(p->rbI22));
    EXPECT_TRUE(p->cbAverageTurnOn->Checked());
    EXPECT_EQ(p->rseAverage->value(), 12);
    EXPECT_EQ(p->rseConfSlaveID->value(), 7);
    EXPECT_FALSE(frm->Session().Transducer.ConfModified);
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
    frm->close();
}

TEST(SearchAgainstSimulator, FindsTheSimulatorAtAddress3)
{
    SimBench b;
    ASSERT_TRUE(b.startSim({QStringLiteral("--address"), QStringLiteral("3")})) << b.sim->error().toStdString();
    auto frm = b.makeWindow(1); // one attempt per empty address keeps the scan short
    frm->SearchFirstDevice();
    ASSERT_TRUE(frm->IsConnected()) << b.messages().toStdString();
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 3);
    EXPECT_TRUE(frm->ViewStatus()->Text().endsWith(QStringLiteral(" адрес 3."))) << frm->ViewStatus()->Text().toStdString();
    EXPECT_FALSE(frm->ViewStatus()->isVisible());
    EXPECT_EQ(frm->cpDRV()->InputTimeout, 1000u);
    EXPECT_TRUE(OptionChecked(frm->tsConfiguration()->rbPl_385)) << "the configuration was read after the search";
    EXPECT_EQ(frm->tsConfiguration()->rseConfSlaveID->value(), 3);
    EXPECT_TRUE(b.msgs.isEmpty()) << b.messages().toStdString();
    frm->close();
}
