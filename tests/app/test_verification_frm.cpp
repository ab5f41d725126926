// The verification window on a controller over a scripted transducer whose
// reading the test sets point by point, without the main window.
#include "MainRig.h"
#include "PageRig.h"

#include "app/CalibrationPage.h"
#include "app/SetFrm.h"
#include "app/VerificationFrm.h"
#include "app/VerificationInstruments.h"
#include "app/VerifySettingsPage.h"
#include "rbcontrols/RbButton.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A measurement answer of address 1 at `celsius`, no fault.
QByteArray MeasurementAt(double celsius)
{
    const int tenths = int(std::lround(celsius * 10));
    QByteArray f = HexBytes("01 03 0A");
    f += char(uint16_t(tenths) >> 8);
    f += char(tenths & 0xFF);
    f += HexBytes("2A B7 00 00 0F 03 07 D5");
    return WithCRC(f);
}

// Pt100 0.00385, 4-20 mA direct, -50..150 deg C: 0.25 % is 0.5 deg C and 0.04 mA.
struct VerifyRig {
    PageRig rig;
    TfrmVerification* w = nullptr;
    std::unique_ptr<TVerificationInstruments> instruments;
    double deviceT = 0; // what the transducer measures now
    QList<TVerificationResult> done;

    explicit VerifyRig(const QByteArray& ini = {}, bool connect = true)
        : rig(ini)
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); // the design locale
        rig.onPort = [this](ScriptedPort& p) {
            AnswerConfigurationReads(p, 1);
            p.answerAlways(HexBytes("01 11"), [](const QByteArray&) { return SampleIdentifyAnswer(1); });
            p.answerAlways(HexBytes("01 03 00 20 00 05"), [this](const QByteArray&) { return MeasurementAt(deviceT); });
        };
        rig.make();
        if (connect) {
            rig.ctrl->Driver()->SetPort(1);
            rig.ctrl->Connect();
        }
        QObject::connect(&rig.session().events, &TDeviceEvents::verificationDone,
                         [this](const TVerificationResult& r) { done << r; });
        // As the main window makes it on first use.
        w = new TfrmVerification(*rig.ctrl, rig.settings, rig.look, rig.window.get());
        instruments = std::make_unique<TVerificationInstruments>(*w, rig.settings.Instruments, rig.dueDateWarnings);
        instruments->btnAuto->SetRbStyleManager(rig.styleManager);
    }

    bool show(TVerifyStage stage) { return instruments->Open(stage, false); }

    ~VerifyRig() { QLocale::setDefault(QLocale::c()); }

    // The device reads `reading`, the meter shows `current`: "Измерить" on the row, then the
    // sampling ticks until the point is done.
    void measure(int row, double reading, double current)
    {
        deviceT = reading;
        w->CurrentEdit(row)->setText(QLocale().toString(current, 'f', 3));
        w->btnMeasureClick(row);
        for (int i = 0; i < 40 && w->MeasuringRow() >= 0; ++i)
            w->SampleTimerTimer();
    }

    QColor background(int row, int column) const
    {
        return w->tblPoints->item(row, column)->background().color();
    }
};

} // namespace

TEST(VerificationWindow, FailingTableIsMarkedAndRendered)
{
    VerifyRig r;
    ASSERT_TRUE(r.rig.ctrl->IsConnected());
    ASSERT_TRUE(r.show(TVerifyStage::vsAsFound));
    TfrmVerification* w = r.w;
    ASSERT_EQ(w->tblPoints->rowCount(), 5);
    EXPECT_EQ(w->tblPoints->item(3, TfrmVerification::colResistance)->text(), QStringLiteral("138,51"));
    EXPECT_EQ(w->tblPoints->item(3, TfrmVerification::colExpected)->text(), QStringLiteral("16,000"));
    EXPECT_TRUE(w->lbLimits->text().contains(QStringLiteral("±0,50 °C"))) << w->lbLimits->text().toStdString();
    EXPECT_TRUE(w->lbLimits->text().contains(QStringLiteral("±0,040 мА")));
    EXPECT_EQ(w->lbStage->text(), QStringLiteral("Проверка до настройки"));

    // The output is 0.1 mA high all along (0.625 %); the reading is good.
    const double temps[] = {-50, 0, 50, 100, 150};
    for (int row = 0; row < 5; ++row) {
        r.measure(row, temps[row] + (row == 2 ? 0.3 : 0.0), 4 + 0.08 * (temps[row] + 50) + 0.1);
        EXPECT_TRUE(w->Verification().Point(row).Measured()) << row;
        if (row < 4) {
            EXPECT_TRUE(r.done.isEmpty()) << "not before the last point";
            EXPECT_TRUE(w->lbVerdict->text().startsWith(QString::number(row + 1))) << w->lbVerdict->text().toStdString();
        }
    }
    EXPECT_TRUE(r.rig.msgs.isEmpty()) << r.rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(w->lbVerdict->text(), QStringLiteral("НЕ ГОДЕН"));
    EXPECT_EQ(w->tblPoints->item(2, TfrmVerification::colDigitalError)->text(), QStringLiteral("+0,30"));
    EXPECT_EQ(w->tblPoints->item(0, TfrmVerification::colOutputError)->text(), QStringLiteral("+0,100"));
    EXPECT_EQ(w->tblPoints->item(0, TfrmVerification::colOutputErrorPct)->text(), QStringLiteral("+0,625"));
    EXPECT_EQ(w->tblPoints->item(0, TfrmVerification::colResult)->text(), QStringLiteral("не годен"));
    // Failing cells are marked, passing ones are not marked as failing.
    const QColor fail = r.background(0, TfrmVerification::colOutputError);
    EXPECT_NE(fail, r.background(0, TfrmVerification::colDigitalError));
    EXPECT_EQ(r.background(4, TfrmVerification::colOutputErrorPct), fail);
    EXPECT_EQ(r.background(2, TfrmVerification::colDigitalError), r.background(0, TfrmVerification::colDigitalError));

    ASSERT_EQ(r.done.size(), 1);
    EXPECT_FALSE(r.done[0].pass);
    EXPECT_EQ(r.done[0].stage, TVerifyStage::vsAsFound);
    EXPECT_NEAR(r.done[0].points[2].reading, 50.3, 1e-9);
    EXPECT_EQ(r.done[0].transducer.SensorKind, 2);

    w->show();
    const QString png = QStringLiteral("/tmp/zelkor_verification_failing.png");
    EXPECT_TRUE(w->grab().save(png));
    w->hide();
}

TEST(VerificationWindow, PassingVerificationAndTheTypedCurrentIsRequired)
{
    VerifyRig r;
    ASSERT_TRUE(r.show(TVerifyStage::vsAlone));
    TfrmVerification* w = r.w;
    const int before = r.rig.port()->writeCount();
    w->btnMeasureClick(0); // no current typed
    EXPECT_EQ(r.rig.msgs.texts(), QStringList{QStringLiteral("Введите измеренное значение тока.")});
    EXPECT_EQ(r.rig.port()->writeCount(), before) << "nothing is asked without the current";
    r.rig.msgs.clear();

    const double temps[] = {-50, 0, 50, 100, 150};
    for (int row = 0; row < 5; ++row)
        r.measure(row, temps[row] + 0.2, 4 + 0.08 * (temps[row] + 50) - 0.02);
    EXPECT_TRUE(r.rig.msgs.isEmpty());
    EXPECT_EQ(w->lbVerdict->text(), QStringLiteral("ГОДЕН"));
    ASSERT_EQ(r.done.size(), 1);
    EXPECT_TRUE(r.done[0].pass);
    EXPECT_EQ(r.done[0].stage, TVerifyStage::vsAlone);
}

TEST(VerificationWindow, TypedPointsAndASensorFault)
{
    VerifyRig r;
    ASSERT_TRUE(r.show(TVerifyStage::vsAlone));
    TfrmVerification* w = r.w;
    w->edTemperatures->setText(QStringLiteral("20; 37,5"));
    w->btnPlanClick();
    ASSERT_EQ(w->tblPoints->rowCount(), 2);
    EXPECT_EQ(w->tblPoints->item(1, TfrmVerification::colTemperature)->text(), QStringLiteral("37,5"));

    w->edTemperatures->setText(QStringLiteral("20; 200"));
    w->btnPlanClick();
    EXPECT_EQ(r.rig.msgs.count(), 1) << "200 deg C is out of the range";
    EXPECT_EQ(w->tblPoints->rowCount(), 2) << "the plan stays";
    r.rig.msgs.clear();

    r.deviceT = 1000; // the answer carries state 0 but the test below swaps it for a fault
    r.rig.port()->clearRules();
    r.rig.port()->answerAlways(HexBytes("01 03 00 20 00 05"), [](const QByteArray&) {
        return WithCRC(HexBytes("01 03 0A 00 00 00 00 00 03 0F 03 07 D5"));
    });
    w->CurrentEdit(0)->setText(QStringLiteral("9,6"));
    w->btnMeasureClick(0);
    EXPECT_EQ(w->MeasuringRow(), -1);
    ASSERT_EQ(r.rig.msgs.count(), 1);
    EXPECT_TRUE(r.rig.msgs.texts()[0].startsWith(QStringLiteral("Обрыв")));
    EXPECT_FALSE(w->Verification().Point(0).Measured());
    EXPECT_TRUE(r.rig.ctrl->IsConnected());
    EXPECT_TRUE(w->MeasureButton(0)->isEnabled());
}

// The menu is the main window's.
TEST(VerificationWindow, MenuEntry)
{
    MainRig rig;
    auto frm = rig.make();
    QMenu* menu = rig.menuTitled(*frm, QStringLiteral("Настройка"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Проверка преобразователя"));
    EXPECT_FALSE(frm->ShowVerification(TVerifyStage::vsAlone, false));
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Соединение не установлено")});
}

TEST(VerificationWindow, NoVerificationWithoutAConnection)
{
    VerifyRig r({}, false);
    const int before = r.rig.port()->writeCount();
    EXPECT_FALSE(r.show(TVerifyStage::vsAlone));
    EXPECT_EQ(r.rig.msgs.texts(), QStringList{QStringLiteral("Соединение не установлено")});
    EXPECT_EQ(r.rig.port()->writeCount(), before);
    EXPECT_TRUE(r.done.isEmpty());
}

TEST(VerificationWindow, CalibrationPageOffersAsFoundWhenACalibrationStarts)
{
    VerifyRig r;
    TCalibrationPage* page = r.rig.pages->tsCalobration();
    EXPECT_EQ(page->btnVerify->Caption(), QStringLiteral("Проверка преобразователя"));
    EXPECT_EQ(page->VerifyOffer(), TVerifyStage::vsAlone);
    page->btnBeginCalibrClick();
    EXPECT_EQ(r.rig.session().State.CalibrStage, 1);
    EXPECT_EQ(page->btnVerify->Caption(), QStringLiteral("Проверить до настройки"));
    EXPECT_EQ(page->VerifyOffer(), TVerifyStage::vsAsFound);
    ASSERT_TRUE(r.show(page->VerifyOffer()));
    EXPECT_EQ(r.w->Verification().Result().stage, TVerifyStage::vsAsFound);

    r.rig.port()->answerAlways(HexBytes("01 4D"),
                               [](const QByteArray&) { return WithCRC(QByteArray() + char(1) + char(0x4D) + char(0)); });
    r.rig.window->show();
    r.rig.pages->setCurrentWidget(page);
    EXPECT_TRUE(r.rig.window->grab().save(QStringLiteral("/tmp/zelkor_calibration_offer.png")));
    page->btnCancelCalibrClick();
    EXPECT_EQ(page->btnVerify->Caption(), QStringLiteral("Проверка преобразователя"));
    r.rig.window->hide();
}

TEST(VerificationWindow, SettingsPageAndFile)
{
    VerifyRig r;
    auto* dlg = new TfrmSettings(r.rig.settings, *r.rig.ctrl, r.rig.look, r.rig.window.get());
    TVerifySettingsPage* page = dlg->tsVerify;
    EXPECT_DOUBLE_EQ(page->rseTolerance->value(), 0.25);
    dlg->show();
    dlg->TreeView1->setCurrentItem(dlg->nodeVerify);
    EXPECT_EQ(dlg->PageControl1->currentWidget(), page);
    EXPECT_TRUE(dlg->grab().save(QStringLiteral("/tmp/zelkor_settings_verify.png")));
    dlg->hide();
    page->rseTolerance->setValue(0.5);
    page->cbDecisionRule->setCurrentIndex(1);
    page->rsePoints->setValue(3);
    EXPECT_DOUBLE_EQ(r.rig.settings.VerifyTolerancePct, 0.5);
    EXPECT_EQ(r.rig.settings.VerifyDecisionRule, 1);
    EXPECT_EQ(r.rig.settings.VerifyPoints, 3);
    EXPECT_TRUE(page->lbRuleHint->text().contains(QStringLiteral("0,400"))) << page->lbRuleHint->text().toStdString();

    ASSERT_TRUE(r.show(TVerifyStage::vsAlone));
    EXPECT_EQ(r.w->tblPoints->rowCount(), 3);
    EXPECT_TRUE(r.w->lbLimits->text().contains(QStringLiteral("±0,80 °C"))) << r.w->lbLimits->text().toStdString();

    // What the main window's close writes.
    QString error;
    ASSERT_TRUE(SaveSettings(r.rig.settings, r.rig.session().Transducer.SlaveID, r.rig.ctrl->PortNumber(), {}, &error))
        << error.toStdString();
    QFile file(r.rig.progDir + QStringLiteral("/Zelkor.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ini = file.readAll();
    EXPECT_TRUE(ini.contains("[Verification]\r\nTolerance=0.5\r\nDecisionRule=1\r\nPoints=3\r\n")) << ini.constData();

    VerifyRig again(ini);
    EXPECT_DOUBLE_EQ(again.rig.settings.VerifyTolerancePct, 0.5);
    EXPECT_EQ(again.rig.settings.VerifyDecisionRule, 1);
    EXPECT_EQ(again.rig.settings.VerifyPoints, 3);
}
