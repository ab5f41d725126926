// The page "Эталоны" of the settings dialog and the meter on the calibration
// page, offscreen, with the instruments on scripted lines and a virtual clock.

#include "MainRig.h"
#include "PageRig.h"

#include "app/CalibrationMeter.h"
#include "app/CalibrationPage.h"
#include "app/InstrumentsPage.h"
#include "app/SetFrm.h"
#include "app/VerificationFrm.h"
#include "app/VerificationInstruments.h"
#include "rbcontrols/RbButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace {

// Hands a bench-owned scripted line to a client, so what was written can be
// looked at after the client has closed it.
class BorrowedPort : public ISerialDevice {
public:
    explicit BorrowedPort(ScriptedPort& port) : m_port(port) {}
    TPortOpenError open(const QString& path) override { return m_port.open(path); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    TPortOpenError applyLineSettings(const TLineSettings& s) override { return m_port.applyLineSettings(s); }
    int inputQueued() override { return m_port.inputQueued(); }
    int outputQueued() override { return m_port.outputQueued(); }
    int read(uint8_t* buffer, int count) override { return m_port.read(buffer, count); }
    int write(const uint8_t* data, int count) override { return m_port.write(data, count); }
    bool purge(bool input, bool output) override { return m_port.purge(input, output); }
    int modemStatus() override { return m_port.modemStatus(); }
    void waitReadable(uint32_t ms) override { m_port.waitReadable(ms); }

private:
    ScriptedPort& m_port;
};

// Each opening of an instrument gets a fresh scripted line set up by `script`.
struct Bench {
    Bench(VirtualClock& c, std::function<void(ScriptedPort&)> s = {}) : clock(c), script(std::move(s)) {}
    VirtualClock& clock;
    std::function<void(ScriptedPort&)> script;
    std::vector<std::unique_ptr<ScriptedPort>> ports;

    int opened() const { return int(ports.size()); }
    TDeviceFactory factory()
    {
        return [this](const QString&) -> std::unique_ptr<ISerialDevice> {
            ports.push_back(std::make_unique<ScriptedPort>(clock));
            if (script)
                script(*ports.back());
            return std::make_unique<BorrowedPort>(*ports.back());
        };
    }
    QStringList writes() const
    {
        QStringList out;
        for (const auto& p : ports)
            for (const TRecordedWrite& w : p->writes())
                out << QString::fromLatin1(w.bytes).trimmed();
        return out;
    }
};

QByteArray Amps(double a)
{
    return QByteArray::number(a, 'E', 6) + '\n';
}

} // namespace

TEST(InstrumentsPage, EditsGoIntoTheRecordAtOnce)
{
    TInstrumentSettings s;
    TInstrumentsPage page(s);
    page.Today = [] { return QDate(2026, 12, 9); };
    page.meter.device->setEditText(QStringLiteral("/tmp/zelkor-meter"));
    page.meter.format->setCurrentText(QStringLiteral("7E1"));
    page.meter.terminator->setCurrentText(QStringLiteral("CRLF"));
    page.meter.certificate->setText(QStringLiteral("С-123"));
    page.meter.read->setText(QStringLiteral("MEAS:CURR:DC?"));
    page.meter.autoRead->setChecked(true);
    page.source.setResistance->setText(QStringLiteral("RES <ohms>"));
    page.source.confirm->clear();
    EXPECT_EQ(s.meter.device, QStringLiteral("/tmp/zelkor-meter"));
    EXPECT_EQ(s.meter.dataBits, 7);
    EXPECT_EQ(s.meter.parity, 2);
    EXPECT_EQ(s.meter.stopBits, 1);
    EXPECT_EQ(s.meter.terminator, QStringLiteral("CRLF"));
    EXPECT_EQ(s.meter.certificate, QStringLiteral("С-123"));
    EXPECT_EQ(s.meter.commands.read, QStringLiteral("MEAS:CURR:DC?"));
    EXPECT_TRUE(s.meter.autoRead);
    EXPECT_EQ(s.source.commands.setResistance, QStringLiteral("RES <ohms>"));
    EXPECT_TRUE(s.source.commands.confirm.isEmpty());
    page.meter.read->clear();
    EXPECT_EQ(s.meter.commands.read, QStringLiteral("READ?")) << "a cleared read command falls back";
}

TEST(InstrumentsPage, PastDueDateShownInRed)
{
    TInstrumentSettings s;
    s.meter.device = QStringLiteral("/dev/ttyACM0");
    s.meter.dueDate = QDate(2026, 12, 8);
    s.source.dueDate = QDate(2027, 1, 1);
    TInstrumentsPage page(s);
    page.Today = [] { return QDate(2026, 12, 9); };
    page.LoadFromSettings();
    EXPECT_TRUE(page.DueDateShownOverdue(TInstrumentRole::Meter));
    EXPECT_FALSE(page.DueDateShownOverdue(TInstrumentRole::Source));
    EXPECT_EQ(page.meter.dueDate->palette().color(QPalette::Text), QColor(Qt::red));
    page.meter.dueDate->setText(QStringLiteral("09.12.2026"));
    EXPECT_EQ(s.meter.dueDate, QDate(2026, 12, 9));
    EXPECT_FALSE(page.DueDateShownOverdue(TInstrumentRole::Meter)) << "valid through the due date";
    page.meter.dueDate->clear();
    EXPECT_FALSE(s.meter.dueDate.isValid());
}

TEST(InstrumentsPage, CheckConnectionShowsTheAnswerAndFillsModelAndSerial)
{
    VirtualClock clock;
    Bench bench{clock, [](ScriptedPort& p) { p.answerOnce("*IDN?", "ACME Instruments,DMM-7,SN4711,2.01\r\n"); }};
    TInstrumentSettings s;
    s.meter.device = QStringLiteral("/tmp/zelkor-meter");
    TInstrumentsPage page(s);
    page.DeviceFactory = bench.factory();
    page.Ticks = &clock;
    EXPECT_TRUE(page.CheckConnection(TInstrumentRole::Meter));
    EXPECT_EQ(page.meter.answer->text(), QStringLiteral("Ответ: ACME Instruments,DMM-7,SN4711,2.01"));
    EXPECT_EQ(s.meter.model, QStringLiteral("ACME Instruments DMM-7"));
    EXPECT_EQ(s.meter.serial, QStringLiteral("SN4711"));

    bench.script = {}; // silence
    s.source.device = QStringLiteral("/tmp/zelkor-source");
    page.LoadFromSettings();
    EXPECT_FALSE(page.CheckConnection(TInstrumentRole::Source));
    EXPECT_TRUE(page.source.answer->text().startsWith(QStringLiteral("Источник сопротивления (/tmp/zelkor-source)")))
        << page.source.answer->text().toStdString();
    EXPECT_TRUE(page.source.answer->text().contains(QStringLiteral("нет ответа")));
    EXPECT_LE(clock.elapsedMs(), 3100) << "a silent instrument is given up after the time-out";
    EXPECT_TRUE(page.source.model->text().isEmpty());

    s.meter.device.clear();
    page.LoadFromSettings();
    EXPECT_FALSE(page.CheckConnection(TInstrumentRole::Meter));
    EXPECT_TRUE(page.meter.answer->text().contains(QStringLiteral("не указано устройство")));
}

TEST(InstrumentsPage, SettingsDialogShowsItUnderItsOwnNode)
{
    PageRig rig;
    rig.make();
    TfrmSettings dlg(rig.settings, *rig.ctrl, rig.look);
    dlg.tsInstruments->DevicePaths = [] { return QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/usbtmc0")}; };
    dlg.FormShow();
    ASSERT_EQ(dlg.nodeRoot->childCount(), 4);
    EXPECT_EQ(dlg.nodeInstruments->text(0), QStringLiteral("Эталоны"));
    dlg.TreeView1->setCurrentItem(dlg.nodeInstruments);
    EXPECT_EQ(dlg.PageControl1->currentWidget(), dlg.tsInstruments);
    EXPECT_GE(dlg.tsInstruments->meter.device->findText(QStringLiteral("/dev/usbtmc0")), 0);
    dlg.tsInstruments->meter.device->setCurrentText(QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(rig.settings.Instruments.meter.device, QStringLiteral("/dev/ttyACM0"));
    dlg.TreeView1->setCurrentItem(dlg.nodeConnection);
    EXPECT_EQ(dlg.PageControl1->currentWidget(), dlg.tsConnection);
    dlg.show();
    dlg.TreeView1->setCurrentItem(dlg.nodeInstruments);
    dlg.grab().save(QStringLiteral("/tmp/zelkor-instruments-page.png"));
    dlg.tsInstruments->tabs->setCurrentIndex(1);
    dlg.grab().save(QStringLiteral("/tmp/zelkor-instruments-source.png"));
}

// A transducer that accepts every calibration stage.
void AnswerCalibration(ScriptedPort& p)
{
    p.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return WithCRC(HexBytes("01 4D 00")); });
    AnswerAsDevice(p);
}

void PressTo(TCalibrationPage& page, const TDeviceSession& session, int stage)
{
    while (session.State.CalibrStage != stage) {
        const int before = session.State.CalibrStage;
        page.btnBeginCalibr->Click();
        QCoreApplication::processEvents(); // the queued automatic steps
        ASSERT_NE(session.State.CalibrStage, before);
    }
}

// The meter reaches the bench's instruments, on its clock, on 09.12.2026.
void OnTheBench(TCalibrationMeter& meter, Bench& bench, TInstrumentSettings& instruments)
{
    meter.DeviceFactory = bench.factory();
    meter.Ticks = &bench.clock;
    meter.Today = [] { return QDate(2026, 12, 9); };
    instruments.meter.device = QStringLiteral("/tmp/zelkor-meter");
}

// The pages connected to that transducer, the meter on a scripted bench.
struct CalibrationRig {
    CalibrationRig()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        rig.onPort = AnswerCalibration;
        rig.make();
        rig.ctrl->Connect();
        page = rig.pages->tsCalobration();
        meter = rig.pages->CalibrationMeter();
        OnTheBench(*meter, bench, instruments());
    }
    ~CalibrationRig() { QLocale::setDefault(QLocale::c()); }
    TInstrumentSettings& instruments() { return rig.settings.Instruments; }
    void pressTo(int stage) { PressTo(*page, rig.session(), stage); }

    PageRig rig;
    Bench bench{rig.clock};
    TCalibrationPage* page = nullptr;
    TCalibrationMeter* meter = nullptr;
};

// The main window connected to that transducer: its verification window
// shares the instruments and their warnings with the calibration page.
struct VerificationRig {
    VerificationRig()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        rig.onPort = AnswerCalibration;
        frm = rig.make();
        frm->ConnectDevice();
        OnTheBench(*frm->CalibrationMeter(), bench, instruments());
    }
    ~VerificationRig() { QLocale::setDefault(QLocale::c()); }
    TInstrumentSettings& instruments() { return frm->Settings().Instruments; }
    void pressTo(int stage) { PressTo(*frm->tsCalobration(), frm->Session(), stage); }

    MainRig rig;
    Bench bench{rig.clock};
    std::unique_ptr<TfrmMain> frm;
};

TEST(CalibrationMeterOnThePage, ReadButtonPutsTheSettledMeanIntoTheField)
{
    CalibrationRig c;
    int n = 0;
    c.bench.script = [&](ScriptedPort& p) {
        p.answerAlways("READ?", [&](const QByteArray&) { return Amps(++n < 3 ? 4.2e-3 : 4.0123e-3); });
    };
    EXPECT_TRUE(c.meter->btnReadMeter->isHidden());
    c.pressTo(5);
    EXPECT_FALSE(c.meter->btnReadMeter->isHidden()) << "shown with the current field";
    EXPECT_EQ(c.bench.opened(), 0) << "no automatic reading unless asked for";
    ASSERT_TRUE(c.meter->ReadMeter());
    EXPECT_DOUBLE_EQ(c.page->rseCalibrCur->value(), 4.012);
    EXPECT_EQ(c.rig.session().State.CalibrCurrent, 4012);
    EXPECT_TRUE(c.meter->lbMeterSpread->text().contains(QStringLiteral("разброс 0,0000 мА")))
        << c.meter->lbMeterSpread->text().toStdString();
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(c.bench.writes().first(), QStringLiteral("CONF:CURR:DC 0.1"));
    c.rig.pages->setCurrentWidget(c.page);
    c.rig.window->show();
    c.rig.window->grab().save(QStringLiteral("/tmp/zelkor-calibration-meter.png"));
    c.page->btnBeginCalibr->Click();
    const QByteArray stage5 = c.rig.port()->writes().at(c.rig.port()->writeCount() - 1).bytes;
    EXPECT_EQ(stage5.left(7), HexBytes("01 4D 05 00 00 0F AC")) << "4,012 mA travels as 4012";
}

TEST(CalibrationMeterOnThePage, OutOfRangeReadingMeetsTheRangeCheck)
{
    CalibrationRig c;
    c.bench.script = [](ScriptedPort& p) { p.answerAlways("READ?", [](const QByteArray&) { return Amps(4.5e-3); }); };
    c.pressTo(5);
    EXPECT_TRUE(c.meter->ReadMeter());
    EXPECT_EQ(c.rig.session().State.CalibrCurrent, -1);
    EXPECT_TRUE(c.rig.msgs.contains(QStringLiteral("от 3,600 мА до 4,400 мА"))) << c.rig.msgs.texts().join('|').toStdString();
}

TEST(CalibrationMeterOnThePage, AutomaticReadAtBothStagesAndFaultsNamed)
{
    CalibrationRig c;
    c.instruments().meter.autoRead = true;
    double amps = 4.001e-3;
    c.bench.script = [&](ScriptedPort& p) { p.answerAlways("READ?", [&](const QByteArray&) { return Amps(amps); }); };
    c.pressTo(5);
    EXPECT_DOUBLE_EQ(c.page->rseCalibrCur->value(), 4.001);
    amps = 19.998e-3;
    c.pressTo(6);
    EXPECT_DOUBLE_EQ(c.page->rseCalibrCur->value(), 19.998);
    EXPECT_EQ(c.rig.session().State.CalibrCurrent, 19998);
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();

    c.bench.script = [](ScriptedPort& p) { p.answerAlways("READ?", [](const QByteArray&) { return QByteArray("9.9E37\n"); }); };
    EXPECT_FALSE(c.meter->ReadMeter());
    EXPECT_DOUBLE_EQ(c.page->rseCalibrCur->value(), 19.998) << "a bad reading changes nothing";
    ASSERT_EQ(c.rig.msgs.count(), 1);
    EXPECT_TRUE(c.rig.msgs.last().text.startsWith(QStringLiteral("Мультиметр (/tmp/zelkor-meter)")));
    EXPECT_TRUE(c.rig.msgs.last().text.contains(QStringLiteral("перегрузка")));
    EXPECT_TRUE(c.page->btnBeginCalibr->isEnabled()) << "the page is given back";
}

TEST(CalibrationMeterOnThePage, OverdueCertificateWarnedOnceAtTheStart)
{
    CalibrationRig c;
    c.instruments().meter.dueDate = QDate(2026, 11, 30);
    c.instruments().meter.certificate = QStringLiteral("77");
    c.pressTo(1);
    ASSERT_EQ(c.rig.msgs.count(), 1);
    EXPECT_TRUE(c.rig.msgs.last().text.contains(QStringLiteral("истёк 30.11.2026")));
    c.page->btnCancelCalibrClick();
    c.pressTo(1);
    EXPECT_EQ(c.rig.msgs.count(), 1) << "once a run";
}

TEST(CalibrationMeterOnThePage, SourceSetsTheStageResistances)
{
    CalibrationRig c;
    c.instruments().meter.device.clear();
    c.instruments().source.device = QStringLiteral("/tmp/zelkor-source");
    c.bench.script = [](ScriptedPort& p) { p.answerAlways("*OPC?", [](const QByteArray&) { return QByteArray("1\n"); }); };
    c.pressTo(5);
    QStringList set;
    for (const QString& w : c.bench.writes())
        if (w.startsWith(QStringLiteral("SOUR:RES")))
            set << w;
    EXPECT_EQ(set, (QStringList{"SOUR:RES 0.000", "SOUR:RES 500.000", "SOUR:RES 250.000", "SOUR:RES 500.000"}));
    EXPECT_TRUE(c.meter->btnReadMeter->isHidden()) << "no meter, no button";
}

TEST(VerificationInstrumentsInWindow, BothInstrumentsOfferTheAutomaticRun)
{
    VerificationRig c;
    c.instruments().source.device = QStringLiteral("/tmp/zelkor-source");
    c.instruments().source.model = QStringLiteral("SRC-1000");
    c.bench.script = [](ScriptedPort& p) { p.answerAlways("*IDN?", [](const QByteArray&) { return QByteArray("SIMLAB,SDM-4020,SL-20451,1.03\n"); }); };
    TVerificationInstruments* instruments = c.frm->VerificationInstruments();
    instruments->DeviceFactory = c.bench.factory();
    instruments->Ticks = &c.rig.clock;
    instruments->Today = [] { return QDate(2026, 12, 9); };
    ASSERT_TRUE(c.frm->ShowVerification(TVerifyStage::vsAsFound, false)) << c.rig.msgs.texts().join('|').toStdString();
    EXPECT_TRUE(instruments->HasMeter());
    EXPECT_TRUE(instruments->HasSource());
    EXPECT_FALSE(instruments->btnAuto->isHidden());
    EXPECT_EQ(instruments->lbInstruments->text(),
              QStringLiteral("Мультиметр SIMLAB SDM-4020 № SL-20451; Источник сопротивления SRC-1000"));
    EXPECT_EQ(c.instruments().meter.model, QStringLiteral("SIMLAB SDM-4020")) << "taken from *IDN? for the record";
    const TVerificationResult& r = c.frm->VerificationWindow()->Verification().Result();
    ASSERT_EQ(r.instruments.size(), 2) << "the result names both";
    EXPECT_EQ(r.instruments[0].device, QStringLiteral("/tmp/zelkor-meter"));
    EXPECT_EQ(c.bench.writes(), (QStringList{QStringLiteral("*IDN?"), QStringLiteral("CONF:CURR:DC 0.1")}))
        << "the meter asked who it is and configured once; the source, named already, not asked";
    TfrmVerification* w = c.frm->VerificationWindow();
    EXPECT_TRUE(w->lbProgress->text().contains(QStringLiteral("Автоматически")));
    w->show();
    w->grab().save(QStringLiteral("/tmp/zelkor-verification-instruments.png"));
    w->hide();
    instruments->Detach();
    EXPECT_FALSE(instruments->HasMeter());
    EXPECT_TRUE(instruments->btnAuto->isHidden());
}

TEST(VerificationInstrumentsInWindow, AnInstrumentThatCannotBeOpenedLeavesTheWindowByHand)
{
    VerificationRig c;
    c.bench.script = [](ScriptedPort& p) { p.setOpenError(TPortOpenError::Busy); };
    TVerificationInstruments* instruments = c.frm->VerificationInstruments();
    instruments->DeviceFactory = c.bench.factory();
    instruments->Ticks = &c.rig.clock;
    ASSERT_TRUE(c.frm->ShowVerification(TVerifyStage::vsAlone, false));
    EXPECT_FALSE(instruments->HasMeter());
    EXPECT_TRUE(instruments->btnAuto->isHidden());
    ASSERT_EQ(c.rig.msgs.count(), 1);
    EXPECT_TRUE(c.rig.msgs.last().text.startsWith(QStringLiteral("Мультиметр: "))) << c.rig.msgs.last().text.toStdString();
    EXPECT_TRUE(c.rig.msgs.last().text.contains(QStringLiteral("/tmp/zelkor-meter")));
    EXPECT_TRUE(c.rig.msgs.last().text.endsWith(QStringLiteral("Ток вводится вручную.")));
    EXPECT_TRUE(c.frm->VerificationWindow()->Verification().Result().instruments.isEmpty());
    instruments->Detach();
}

TEST(VerificationInstrumentsInWindow, OverdueCertificatesWarnedOnceForTheRunAcrossCalibrationAndVerification)
{
    VerificationRig c;
    c.instruments().meter.model = QStringLiteral("DMM");
    c.instruments().meter.dueDate = QDate(2026, 12, 1);
    c.instruments().source.device = QStringLiteral("/tmp/zelkor-source");
    c.instruments().source.model = QStringLiteral("SRC");
    c.instruments().source.dueDate = QDate(2026, 12, 2);
    c.bench.script = [](ScriptedPort& p) { p.answerAlways("*OPC?", [](const QByteArray&) { return QByteArray("1\n"); }); };
    TVerificationInstruments* instruments = c.frm->VerificationInstruments();
    instruments->DeviceFactory = c.bench.factory();
    instruments->Ticks = &c.rig.clock;
    instruments->Today = [] { return QDate(2026, 12, 9); };
    ASSERT_TRUE(c.frm->ShowVerification(TVerifyStage::vsAlone, false));
    ASSERT_EQ(c.rig.msgs.count(), 1);
    EXPECT_EQ(c.rig.msgs.last().kind, mkWarning);
    EXPECT_TRUE(c.rig.msgs.last().text.contains(QStringLiteral("Мультиметр DMM")));
    EXPECT_TRUE(c.rig.msgs.last().text.contains(QStringLiteral("Источник сопротивления SRC")));
    instruments->Detach();
    ASSERT_TRUE(c.frm->ShowVerification(TVerifyStage::vsAlone, false));
    instruments->Detach();
    c.pressTo(1); // a calibration starts
    EXPECT_EQ(c.rig.msgs.count(), 1) << "each once a run, whichever starts first: "
                                     << c.rig.msgs.texts().join('|').toStdString();
}
