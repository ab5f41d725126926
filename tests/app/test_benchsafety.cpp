// The pages at the bench, offscreen on a controller over a scripted port and
// a virtual clock: presses that would skip a step, refusals that must be
// seen, edits that must survive a lost link, and corrections that are asked
// first; and the main window's own windows.

#include "MainRig.h"
#include "PageRig.h"
#include "DiagRig.h"

#include "app/CalibrationPage.h"
#include "app/ConfigProfileActions.h"
#include "app/ConfigurationPage.h"
#include "app/ConnectFrm.h"
#include "app/TrendFrm.h"
#include "app/DiagnosticPage.h"
#include "app/ExchangeMonitorFrm.h"
#include "app/InformationPage.h"
#include "app/KeptEdits.h"
#include "app/OptionButton.h"
#include "app/Records.h"
#include "common/Cp1251.h"
#include "indicator/IndStyleFrm.h"
#include "indicator/LiquidIndicator.h"
#include "app/COMChoiceFrm.h"
#include "app/QtTranslations.h"
#include "app/ScreenFit.h"
#include "app/SetFrm.h"
#include "app/ViewStatusFrm.h"
#include "rbcontrols/RbCheckable.h"
#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbStyleManager.h"
#include "rbcontrols/TextContrast.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QMap>
#include <QMenuBar>
#include <QDoubleSpinBox>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTranslator>
#include <QTest>
#include <qtestspontaneevent.h>

#include <gtest/gtest.h>

namespace {

void PostMouse(QWidget* w, QEvent::Type type)
{
    const QPointF pos = QPointF(w->rect().center());
    const bool down = type != QEvent::MouseButtonRelease;
    auto* e = new QMouseEvent(type, pos, w->mapToGlobal(pos), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(e);
    QCoreApplication::postEvent(w, e);
}

// A click as the window system queues it, not yet delivered.
void PostClick(QWidget* w)
{
    PostMouse(w, QEvent::MouseButtonPress);
    PostMouse(w, QEvent::MouseButtonRelease);
}

// A double-click: press, release, double-click press, release, all queued
// at once, so the second half waits while the first one's handler runs.
void PostDoubleClick(QWidget* w)
{
    PostClick(w);
    PostMouse(w, QEvent::MouseButtonDblClick);
    PostMouse(w, QEvent::MouseButtonRelease);
}

// Typed key by key, as a keyboard would (QTest's own typing knows only ASCII).
void TypeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

int WritesStartingWith(const ScriptedPort& port, const char* hex)
{
    int n = 0;
    for (const TRecordedWrite& w : port.writes())
        n += w.bytes.startsWith(HexBytes(hex)) ? 1 : 0;
    return n;
}

// Connected pages whose device answers everything, on a controller with the
// records the main window keeps, shown and active so that posted input
// reaches their buttons.
struct Bench {
    explicit Bench(std::function<void(ScriptedPort&)> script = {})
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        rig.onPort = [script](ScriptedPort& p) {
            if (script)
                script(p);
            p.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
            p.answerAlways(HexBytes("01 4E"), [](const QByteArray&) { return ShortAnswer(0x4E); });
            p.answerAlways(HexBytes("01 4F"), [](const QByteArray&) { return ShortAnswer(0x4F); });
            AnswerAsDevice(p);
        };
        rig.make();
        records = new TRecords(*rig.ctrl, rig.window.get());
        rig.ctrl->Connect();
        rig.window->show();
        QApplication::setActiveWindow(rig.window.get());
        rig.clock.advanceMs(1000);
    }
    ~Bench()
    {
        rig.window->hide();
        QLocale::setDefault(QLocale::c());
    }
    ScriptedPort& port() { return *rig.port(); }
    TCalibrationPage& cal() { return *rig.pages->tsCalobration(); }
    TDiagnosticPage& diag() { return *rig.pages->tsDiagnostic(); }
    void showPage(QWidget* page)
    {
        rig.pages->setCurrentWidget(page);
        QApplication::processEvents();
    }
    // One second of measuring: the driver's polling delivers what is
    // queued, then the next diagnostics tick sends.
    void tick()
    {
        rig.clock.advanceMs(500);
        rig.ctrl->Driver()->PollTimerTick();
        rig.clock.advanceMs(500);
        diag().DiagnosticsTimerTimer();
    }

    PageRig rig;
    TRecords* records = nullptr;
};

// A connected main window, shown and active, for what only the window has:
// the actions of its menus.
struct WindowBench {
    WindowBench()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p); };
        frm = rig.make();
        frm->ConnectDevice();
        frm->show();
        QApplication::setActiveWindow(frm.get());
        rig.clock.advanceMs(1000);
    }
    ~WindowBench()
    {
        frm->hide();
        QLocale::setDefault(QLocale::c());
    }

    MainRig rig;
    std::unique_ptr<TfrmMain> frm;
};

} // namespace

// ---------------------------------------------------------------- the guard

TEST(PressGuard, DropsWhileBusyAndWithinTheHold)
{
    VirtualClock clock;
    TPressGuard guard(&clock);
    EXPECT_TRUE(guard.Accepts());
    {
        const TPressGuard::TBusy busy(guard);
        EXPECT_FALSE(guard.Accepts());
        clock.advanceMs(5000); // however long the exchange lasts
        EXPECT_FALSE(guard.Accepts());
    }
    EXPECT_FALSE(guard.Accepts()) << "the end of the operation starts the hold";
    clock.advanceMs(TPressGuard::kHoldMs - 1);
    EXPECT_FALSE(guard.Accepts());
    clock.advanceMs(1);
    EXPECT_TRUE(guard.Accepts());

    guard.Changed();
    EXPECT_FALSE(guard.Accepts());
    clock.advanceMs(TPressGuard::kHoldMs);
    EXPECT_TRUE(guard.Accepts());
    // Long after, the 32-bit tick counter wrapping round does not bring the hold back.
    clock.advanceUs(uint64_t(1) << 32 << 10);
    EXPECT_TRUE(guard.Accepts());
}

// ---------------------------------------------------------------- calibration

TEST(BenchCalibration, DoubleClicksCarryOutOneStageEach)
{
    Bench b;
    b.showPage(&b.cal());
    TSkinButton* btn = b.cal().btnBeginCalibr;

    // On "Начать настройку": the sequence starts, stage 1 waits for its instruction to be read.
    PostDoubleClick(btn);
    QApplication::processEvents();
    EXPECT_EQ(b.rig.session().State.CalibrStage, 1);
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D"), 0);
    EXPECT_EQ(b.cal().lbStage->text(), QStringLiteral("Установите сопротивление 0 Ом и нажмите кнопку \"Продолжить\""));

    // At 0 Ом: the second click arrives while stage 1's exchange runs, a third just after.
    b.rig.clock.advanceMs(1000);
    PostDoubleClick(btn);
    QApplication::processEvents();
    PostClick(btn);
    QApplication::processEvents();
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D"), 1);
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D 01"), 1);
    EXPECT_EQ(b.rig.session().State.CalibrStage, 2);
    EXPECT_EQ(b.cal().lbStage->text(), QStringLiteral("Установите сопротивление 500 Ом и нажмите кнопку \"Продолжить\""));
    EXPECT_GE(b.cal().Guard().Dropped(), 3);

    // A press once the instruction has been there a moment is the engineer's.
    b.rig.clock.advanceMs(1000);
    PostClick(btn);
    QApplication::processEvents();
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D 02"), 1);
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D"), 2);
    EXPECT_EQ(b.rig.session().State.CalibrStage, 3);
    EXPECT_TRUE(b.rig.msgs.isEmpty()) << b.rig.msgs.texts().join('|').toStdString();
}

TEST(BenchCalibration, SpaceBarPressesAreGuardedToo)
{
    Bench b;
    b.showPage(&b.cal());
    TSkinButton* btn = b.cal().btnBeginCalibr;
    btn->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    if (!btn->hasFocus())
        GTEST_SKIP() << "no keyboard focus on this platform";
    QTest::keyClick(btn, Qt::Key_Space);
    QTest::keyClick(btn, Qt::Key_Space); // held within the hold
    EXPECT_EQ(b.rig.session().State.CalibrStage, 1);
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D"), 0);
}

TEST(BenchCalibration, StepOfEightBesideTheInstruction)
{
    Bench b;
    TCalibrationPage& page = b.cal();
    EXPECT_TRUE(page.StepText().isEmpty());
    QStringList steps;
    for (int i = 0; i < 8; ++i) {
        page.btnBeginCalibr->Click();
        steps << page.StepText();
    }
    EXPECT_EQ(steps, (QStringList{QStringLiteral("Шаг 1 из 8"), QStringLiteral("Шаг 2 из 8"), QStringLiteral("Шаг 3 из 8"),
                                  QStringLiteral("Шаг 4 из 8"), QStringLiteral("Шаг 5 из 8"), QStringLiteral("Шаг 6 из 8"),
                                  QStringLiteral("Шаг 7 из 8"), QStringLiteral("Шаг 8 из 8")}));
    EXPECT_EQ(page.lbStage->text(), QStringLiteral("Настройка успешно завершена"));
    EXPECT_TRUE(b.rig.msgs.isEmpty()) << b.rig.msgs.texts().join('|').toStdString();

    // A new run, cancelled at its third step: no step any more.
    page.btnBeginCalibr->Click();
    page.btnBeginCalibr->Click();
    EXPECT_EQ(page.StepText(), QStringLiteral("Шаг 2 из 8"));
    page.btnCancelCalibr->Click();
    EXPECT_TRUE(page.StepText().isEmpty());
}

// The stage's own exchange loses the device: no "Продолжить" and "Отмена"
// left on a page without a device, no exchange named in the status bar.
TEST(BenchCalibration, StageLostWithItsDeviceLeavesThePageIdle)
{
    Bench b;
    TCalibrationPage& page = b.cal();
    for (int i = 0; i < 3; ++i)
        page.btnBeginCalibr->Click();
    ASSERT_EQ(b.rig.session().State.CalibrStage, 3);
    b.port().failWrite(1); // the stage-3 request cannot be sent: the adapter is gone
    page.btnBeginCalibr->Click();
    EXPECT_EQ(b.rig.msgs.texts(), QStringList{QStringLiteral("Нет связи с прибором.")});
    EXPECT_FALSE(b.rig.ctrl->IsConnected());
    EXPECT_TRUE(b.rig.statusBar->PanelText(3).isEmpty()) << b.rig.statusBar->PanelText(3).toStdString();
    EXPECT_EQ(ButtonCaption(page.btnBeginCalibr), QStringLiteral("Начать настройку"));
    EXPECT_TRUE(page.btnCancelCalibr->isHidden());
    EXPECT_TRUE(page.lbStage->text().isEmpty()) << page.lbStage->text().toStdString();
    EXPECT_TRUE(page.StepText().isEmpty());
    EXPECT_TRUE(page.rseCalibrCur->isHidden());

    // Connected again, the next press starts from the beginning.
    b.rig.ctrl->Connect();
    ASSERT_TRUE(b.rig.ctrl->IsConnected());
    b.port().clearWrites();
    page.btnBeginCalibr->Click();
    EXPECT_EQ(page.StepText(), QStringLiteral("Шаг 1 из 8"));
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4D"), 0);
}

// ---------------------------------------------------------------- writes and corrections

TEST(BenchWrites, DoubleClickOnWriteWritesOnce)
{
    Bench b;
    b.showPage(b.rig.pages->tsInformation());
    PostDoubleClick(b.rig.pages->tsInformation()->btnInfWrite);
    QApplication::processEvents();
    EXPECT_EQ(WritesStartingWith(b.port(), "01 10 00 08"), 1);

    b.showPage(b.rig.pages->tsConfiguration());
    PostDoubleClick(b.rig.pages->tsConfiguration()->btnConfWrite);
    QApplication::processEvents();
    EXPECT_EQ(WritesStartingWith(b.port(), "01 10 00 18"), 1);
    EXPECT_TRUE(b.rig.msgs.isEmpty()) << b.rig.msgs.texts().join('|').toStdString();
}

TEST(BenchCorrections, AskedFirstAndDoubleClickCorrectsOnce)
{
    Bench b;
    b.showPage(&b.diag());
    b.diag().btnBeginDiagnostics->Click();
    ASSERT_TRUE(b.rig.session().State.DiagRunning);

    // "Нет" sends nothing.
    b.rig.msgs.answer(mrNo);
    b.diag().btnCorrR0Click();
    ASSERT_EQ(b.rig.msgs.count(), 1);
    EXPECT_EQ(b.rig.msgs.last().text, TDiagnosticPage::AskCorrectR0);
    EXPECT_TRUE(b.rig.msgs.last().text.contains(QStringLiteral("0 °С")));
    EXPECT_EQ(b.rig.msgs.last().kind, mkConfirmation);
    EXPECT_EQ(b.rig.msgs.last().buttons, mbYes | mbNo);
    b.rig.msgs.answer(mrNo);
    b.diag().btnCorrNSXClick();
    EXPECT_EQ(b.rig.msgs.last().text, TDiagnosticPage::AskCorrectNSX);
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4E"), 0);
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4F"), 0);

    // A double-click, each half ready to be answered "Да": one correction.
    b.rig.msgs.clear();
    b.rig.msgs.answer(mrYes);
    b.rig.msgs.answer(mrYes);
    b.rig.clock.advanceMs(1000);
    PostDoubleClick(b.diag().btnCorrR0);
    QApplication::processEvents();
    EXPECT_EQ(WritesStartingWith(b.port(), "01 4E 01"), 1);
    EXPECT_EQ(b.rig.msgs.count(), 1) << b.rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(b.diag().lbDiagInf->text(), QStringLiteral("Операция успешно выполнена."));
}

TEST(BenchCorrections, ResultTextStaysFiveSeconds)
{
    int state = 0;
    Bench b([&state](ScriptedPort& p) {
        p.answerAlways(HexBytes("01 03 00 20 00 05"),
                       [&state](const QByteArray&) { return Measurement(235, 10935, state); });
    });
    b.diag().btnBeginDiagnostics->Click();
    b.tick();
    ASSERT_EQ(b.diag().lbDiagInf->text(), QStringLiteral("Неисправностей не обнаружено"));

    b.rig.msgs.answer(mrYes);
    b.diag().btnCorrR0Click();
    ASSERT_EQ(b.diag().lbDiagInf->text(), QStringLiteral("Операция успешно выполнена."));
    for (int i = 0; i < 4; ++i) {
        b.tick();
        EXPECT_EQ(b.diag().lbDiagInf->text(), QStringLiteral("Операция успешно выполнена.")) << "round " << i;
    }
    EXPECT_EQ(b.diag().indT->Indicatorstring(), QByteArray("23,5")) << "the readings go on meanwhile";
    b.rig.clock.advanceMs(1000);
    b.tick();
    EXPECT_EQ(b.diag().lbDiagInf->text(), QStringLiteral("Неисправностей не обнаружено"));

    // A fault does not wait.
    b.rig.msgs.answer(mrYes);
    b.diag().btnCorrR0Click();
    state = 3;
    b.tick();
    b.tick();
    EXPECT_TRUE(b.diag().lbDiagInf->text().startsWith(QStringLiteral("1. Обрыв"))) << b.diag().lbDiagInf->text().toStdString();
}

// ---------------------------------------------------------------- refusals and cut text

TEST(BenchRefusals, UnknownCodeToAWriteIsShownOnce)
{
    Bench b([](ScriptedPort& p) { p.answerAlways(HexBytes("01 10 00 18"), [](const QByteArray&) {
                                      return WithCRC(HexBytes("01 90 04"));
                                  }); });
    b.rig.pages->tsConfiguration()->btnConfWriteClick();
    EXPECT_EQ(b.rig.msgs.texts(), QStringList{QStringLiteral("Прибор отказал в выполнении команды (код 4).")});
    EXPECT_EQ(b.rig.msgs.last().kind, mkError);
    EXPECT_EQ(b.rig.msgs.last().buttons, mbOk);
    EXPECT_TRUE(b.rig.ctrl->IsConnected());
    EXPECT_EQ(WritesStartingWith(b.port(), "01 10 00 18"), 1);
}

TEST(BenchRefusals, SensorTextFieldTakesWhatTravels)
{
    Bench b;
    QLineEdit* field = b.rig.pages->tsInformation()->edSensorType;
    field->selectAll();
    const QString typed = QStringLiteral("ТСП 100П класс А, 3 пров.");
    ASSERT_EQ(typed.size(), 25);
    TypeText(field, typed);
    EXPECT_EQ(field->text(), typed.left(24));
    EXPECT_EQ(field->text().size(), 24);
    b.rig.pages->tsInformation()->btnInfWriteClick();
    // What the page shows is what was sent: bytes 7..30 of the request.
    const TRecordedWrite* sent = nullptr;
    for (const TRecordedWrite& w : b.port().writes())
        if (w.bytes.startsWith(HexBytes("01 10 00 08")))
            sent = &w;
    ASSERT_NE(sent, nullptr);
    EXPECT_EQ(sent->bytes.mid(7, 24), toCp1251(field->text()));
}

// ---------------------------------------------------------------- a lost link

namespace {

// The configuration write goes unanswered once; everything else is answered.
void SilentConfigurationWrite(ScriptedPort& p)
{
    p.ignoreOnce(HexBytes("01 10 00 18"));
    p.ignoreOnce(HexBytes("01 10 00 18"));
}

void EditPages(Bench& b)
{
    TConfigurationPage& conf = *b.rig.pages->tsConfiguration();
    ClickOption(conf.rbR50);
    conf.rseTopTempBound->setValue(120);
    TInformationPage& info = *b.rig.pages->tsInformation();
    info.edSensorType->selectAll();
    TypeText(info.edSensorType, QStringLiteral("ТСМ 50М"));
}

} // namespace

TEST(BenchLostLink, WriteWithoutAnswerKeepsTheEditsForTheSameTransducer)
{
    Bench b;
    EditPages(b);
    ASSERT_TRUE(b.rig.session().Transducer.ConfModified);
    ASSERT_TRUE(b.rig.session().Transducer.InfModified);
    SilentConfigurationWrite(b.port());
    b.rig.pages->tsConfiguration()->btnConfWriteClick();
    EXPECT_EQ(b.rig.msgs.texts(),
              (QStringList{QStringLiteral("Не получен ответ от прибора."), TKeptEdits::WriteAnswerLost}));
    EXPECT_EQ(b.rig.msgs.last().kind, mkWarning);
    EXPECT_FALSE(b.rig.ctrl->IsConnected());
    EXPECT_TRUE(b.rig.statusBar->PanelText(3).isEmpty()) << b.rig.statusBar->PanelText(3).toStdString();
    EXPECT_TRUE(b.rig.pages->tsInformation()->edSensorType->text().isEmpty()) << "the pages are emptied";

    b.rig.msgs.clear();
    b.rig.msgs.answer(mrYes);
    b.rig.ctrl->Connect();
    ASSERT_TRUE(b.rig.ctrl->IsConnected());
    EXPECT_EQ(b.rig.msgs.texts(), QStringList{TKeptEdits::AskRestore});
    EXPECT_EQ(b.rig.msgs.last().kind, mkConfirmation);
    TConfigurationPage& conf = *b.rig.pages->tsConfiguration();
    EXPECT_TRUE(OptionChecked(conf.rbR50));
    EXPECT_EQ(conf.rseTopTempBound->value(), 120);
    EXPECT_EQ(b.rig.pages->tsInformation()->edSensorType->text(), QStringLiteral("ТСМ 50М"));
    EXPECT_TRUE(b.rig.session().Transducer.ConfModified);
    EXPECT_TRUE(b.rig.session().Transducer.InfModified);
    EXPECT_EQ(b.rig.statusBar->PanelText(2), QStringLiteral("Mod"));

    // Written now, the restored values are the ones that travel.
    b.port().clearWrites();
    b.rig.pages->tsConfiguration()->btnConfWriteClick();
    b.rig.pages->tsInformation()->btnInfWriteClick();
    ASSERT_EQ(WritesStartingWith(b.port(), "01 10 00 18"), 1);
    const QByteArray conf18 = b.port().writes()[0].bytes;
    EXPECT_EQ(uint8_t(conf18[10]), 2) << "R0 50";
    EXPECT_EQ(uint8_t(conf18[14]), 120) << "upper bound";
    ASSERT_EQ(WritesStartingWith(b.port(), "01 10 00 08"), 1);
    EXPECT_EQ(b.port().writes()[1].bytes.mid(7, 7), toCp1251(QStringLiteral("ТСМ 50М")));

    // Written, nothing is left to offer.
    b.rig.msgs.clear();
    b.rig.ctrl->Disconnect();
    b.rig.ctrl->Connect();
    EXPECT_TRUE(b.rig.msgs.isEmpty()) << b.rig.msgs.texts().join('|').toStdString();
}

TEST(BenchLostLink, NotOfferedToAnotherTransducerAndDeclinedLeavesTheReadValues)
{
    int32_t number = 12345;
    Bench b([&number](ScriptedPort& p) {
        p.answerAlways(HexBytes("01 11"), [&number](const QByteArray&) {
            const QByteArray n = QByteArray() + char(number >> 24) + char(number >> 16) + char(number >> 8) + char(number);
            return IdentifyAnswer(1, 'M', "ZELKOR", "Pt100", n, HexBytes("0F 03 07 D5"));
        });
    });
    EditPages(b);
    SilentConfigurationWrite(b.port());
    b.rig.pages->tsConfiguration()->btnConfWriteClick();
    ASSERT_FALSE(b.rig.ctrl->IsConnected());

    number = 777; // another sensor on the bench now
    b.rig.msgs.clear();
    b.rig.ctrl->Connect();
    ASSERT_TRUE(b.rig.ctrl->IsConnected());
    EXPECT_TRUE(b.rig.msgs.isEmpty()) << b.rig.msgs.texts().join('|').toStdString();
    EXPECT_TRUE(OptionChecked(b.rig.pages->tsConfiguration()->rbR100));

    number = 12345; // the first one back: asked, and "Нет" keeps what was read
    b.rig.ctrl->Disconnect();
    b.rig.msgs.answer(mrNo);
    b.rig.ctrl->Connect();
    EXPECT_EQ(b.rig.msgs.texts(), QStringList{TKeptEdits::AskRestore});
    EXPECT_TRUE(OptionChecked(b.rig.pages->tsConfiguration()->rbR100));
    EXPECT_EQ(b.rig.pages->tsInformation()->edSensorType->text(), QStringLiteral("Pt100"));
    EXPECT_FALSE(b.rig.session().Transducer.ConfModified);
    EXPECT_FALSE(b.rig.session().Transducer.InfModified);
}

// ---------------------------------------------------------------- windows

TEST(BenchWindows, IndicatorStyleButtonsAreSkinnedByTheMainStyleManager)
{
    MainRig rig;
    auto frm = rig.make();
    auto* dlg = frm->findChild<TfrmIndStyle*>();
    ASSERT_NE(dlg, nullptr);
    IRbStyleRegistry* manager = &frm->StyleManager();
    EXPECT_EQ(dlg->btnOk->RbStyleManager(), manager);
    EXPECT_EQ(dlg->btnCancel->RbStyleManager(), manager);
    EXPECT_EQ(dlg->btnOk->Caption(), QStringLiteral("Ок"));
    EXPECT_EQ(dlg->btnCancel->Caption(), QStringLiteral("Отмена"));
}

TEST(BenchWindows, MonitorStopsFollowingWhileARowIsPickedAndNamesTheLinkInItsFile)
{
    Bench b;
    TfrmExchangeMonitor* monitor = b.records->Monitor();
    QApplication::processEvents(); // the log hands its frames over once per turn
    EXPECT_TRUE(monitor->btnFollow->isChecked());
    ASSERT_GT(monitor->lvExchange->model()->rowCount(), 0);
    monitor->lvExchange->selectRow(0);
    EXPECT_FALSE(monitor->btnFollow->isChecked());
    monitor->btnFollow->setChecked(true);
    EXPECT_TRUE(monitor->btnFollow->isChecked());

    const QString title = monitor->SaveTitle(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 1)));
    EXPECT_EQ(title, QStringLiteral("Обмен с прибором, 05.03.2026 09:07:01, порт %1, адрес 1").arg(b.rig.ctrl->Driver()->PortName()));
}

TEST(BenchWindows, SaveNamesGetTheirSuffix)
{
    EXPECT_EQ(WithDefaultSuffix(QStringLiteral("/tmp/izmereniya"), QStringLiteral("csv")), QStringLiteral("/tmp/izmereniya.csv"));
    EXPECT_EQ(WithDefaultSuffix(QStringLiteral("/tmp/log.txt"), QStringLiteral("csv")), QStringLiteral("/tmp/log.txt"));
    EXPECT_EQ(WithDefaultSuffix(QStringLiteral("/tmp/v1.2/protokol"), QStringLiteral("pdf")), QStringLiteral("/tmp/v1.2/protokol.pdf"));
    EXPECT_TRUE(WithDefaultSuffix(QString(), QStringLiteral("pdf")).isEmpty()) << "a cancelled dialog stays cancelled";
}

// ---------------------------------------------------------------- contrast

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every text that takes the scheme's colours in `window`, judged against what it stands on.
void ExpectReadable(QWidget* window, const QString& scheme)
{
    const QString where = scheme + QStringLiteral(" / ") + window->objectName();
    for (QWidget* w : window->findChildren<QWidget*>())
        w->ensurePolished();
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (l->text().trimmed().isEmpty() || !l->pixmap().isNull())
            continue;
        const QColor fg = l->palette().color(l->foregroundRole());
        const QColor bg = BackgroundBehind(l);
        EXPECT_GE(ContrastRatio(fg, bg), kMinTextContrast)
            << where.toStdString() << " / " << l->objectName().toStdString() << " «" << l->text().toStdString() << "» "
            << fg.name().toStdString() << " on " << bg.name().toStdString();
    }
    // The arrows of spin boxes and lists, on the style's own button face.
    for (QWidget* box : window->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractSpinBox*>(box) && !qobject_cast<QComboBox*>(box))
            continue;
        const QPalette& p = box->palette();
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
            EXPECT_GE(ContrastRatio(p.color(role), p.color(QPalette::Button)), kMinTextContrast)
                << where.toStdString() << " / " << box->objectName().toStdString() << " role " << int(role);
    }
    for (TRbCheckable* c : window->findChildren<TRbCheckable*>()) {
        const QColor bg = ToQColor(c->Color());
        EXPECT_GE(ContrastRatio(c->CaptionColor(), bg), kMinTextContrast)
            << where.toStdString() << " / " << c->objectName().toStdString() << " " << c->CaptionColor().name().toStdString()
            << " on " << bg.name().toStdString();
    }
}

} // namespace

TEST(BenchContrast, ArithmeticOfTheRatio)
{
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    // Maroon reads on the light panel and is lightened on a dark one.
    EXPECT_EQ(WithContrast(QColor(128, 0, 0), QColor(0xEC, 0xE9, 0xD8)), QColor(128, 0, 0));
    const QColor onDark = WithContrast(QColor(128, 0, 0), QColor(0x20, 0x20, 0x20));
    EXPECT_GE(ContrastRatio(onDark, QColor(0x20, 0x20, 0x20)), kMinTextContrast);
    EXPECT_GT(onDark.red(), onDark.blue()) << "still reddish";
}

TEST(BenchContrast, TextReadsOnEveryShippedSchemeAndOnADarkOne)
{
    QMap<QString, QByteArray> schemes;
    const QDir shipped(QStringLiteral(ZELKOR_SOURCE_DIR "/resources/ColorSchemas"));
    for (const QString& name : shipped.entryList({QStringLiteral("*.rbs")}, QDir::Files))
        schemes[name] = ReadFile(shipped.filePath(name));
    ASSERT_FALSE(schemes.isEmpty());
    // A dark work area with dark panels, as a user's scheme may have.
    schemes[QStringLiteral("dark")] =
        "[RbControls]\r\nTRbStyleManagerNPanelColor=3158064\r\nTFontNColor=-2147483640\r\n[Other]\r\nFormColor=2105376\r\n";
    for (auto it = schemes.cbegin(); it != schemes.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        MainRig rig({}, it.value());
        auto frm = rig.make();
        ASSERT_FALSE(frm->StartupCutShort());
        QList<QWidget*> windows{frm.get(), static_cast<QWidget*>(frm->SettingsDialog()), frm->COMChoice(),
                                frm->ViewStatus()};
        if (auto* dlg = frm->findChild<TfrmIndStyle*>())
            windows << dlg;
        frm->ApplySchemeColors();
        frm->tsConfiguration()->SetSensorType(1); // the limit labels get their texts
        for (QWidget* w : windows)
            ExpectReadable(w, it.key());
        QMenuBar* bar = frm->menuBar();
        EXPECT_GE(ContrastRatio(bar->palette().color(QPalette::ButtonText), bar->palette().color(QPalette::Window)),
                  kMinTextContrast);
    }
}

TEST(BenchWindows, NoWindowOpensLargerThanTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget big;
    big.setMinimumSize(100, 80);
    big.resize(area.width() * 2, area.height() + 300);
    big.move(area.right() - 50, area.top() + 40);
    TScreenFit fit;
    big.installEventFilter(&fit);
    big.show();
    EXPECT_LE(big.frameGeometry().width(), area.width());
    EXPECT_LE(big.frameGeometry().height(), area.height());
    EXPECT_TRUE(area.contains(big.frameGeometry())) << "moved inside the area too";

    // A window that fits is left where it is.
    QWidget small;
    small.resize(200, 100);
    small.move(area.topLeft() + QPoint(10, 10));
    small.show();
    const QRect before = small.geometry();
    EXPECT_FALSE(TScreenFit::Fit(&small));
    EXPECT_EQ(small.geometry(), before);
}

TEST(BenchWindows, EditorPreviewControlsStayInsideTheirPanels)
{
    MainRig rig;
    auto frm = rig.make();
    TFStyleEditor* editor = frm->EnsureStyleEditor();
    ASSERT_NE(editor, nullptr);
    editor->show();
    QApplication::processEvents();
    int checked = 0;
    for (const char* name : {"RbRadioButton1", "RbRadioButton2", "RbCheckBox1", "RbCheckBox2", "RbButton1", "RbButton2",
                             "RbProgressBar1"}) {
        auto* w = editor->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
            << name << " at " << w->geometry().x() << "," << w->geometry().y() << " " << w->width() << "x" << w->height()
            << " in " << w->parentWidget()->width() << "x" << w->parentWidget()->height();
        ++checked;
    }
    EXPECT_EQ(checked, 7);
    editor->hide();
}

TEST(BenchWindows, ComboBoxesAreNamedByTheirLabels)
{
    MainRig rig;
    auto frm = rig.make();
    QList<QWidget*> windows{frm.get(), static_cast<QWidget*>(frm->SettingsDialog()), frm->COMChoice(),
                            static_cast<QWidget*>(frm->ConnectDialog()), frm->EnsureStyleEditor(),
                            frm->Records()->Trend()};
    if (auto* dlg = frm->findChild<TfrmIndStyle*>())
        windows << dlg;
    int combos = 0;
    for (QWidget* window : windows) {
        for (QComboBox* cb : window->findChildren<QComboBox*>()) {
            ++combos;
            EXPECT_FALSE(cb->accessibleName().isEmpty()) << cb->objectName().toStdString();
            if (!cb->currentText().isEmpty()) {
                EXPECT_NE(cb->accessibleName(), cb->currentText()) << cb->objectName().toStdString();
            }
        }
    }
    EXPECT_GE(combos, 6);
}

TEST(BenchWindows, QtsOwnDialogsSpeakRussian)
{
    const auto before = qApp->findChildren<QTranslator*>();
    ASSERT_TRUE(InstallQtTranslations(*qApp, QLocale(QLocale::Russian, QLocale::Russia)))
        << "qt6-translations-l10n installs qtbase_ru.qm";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Сохранить как"));
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        if (!before.contains(t)) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    // No translation for a language Qt does not ship: English stays, nothing breaks.
    EXPECT_FALSE(InstallQtTranslations(*qApp, QLocale(QLocale::Zulu, QLocale::SouthAfrica)));
}

// A profile carrying a sensor text longer than the device keeps: the
// configuration loads, the text does not, and the engineer is told.
TEST(BenchRefusals, ProfileWithAnOverlongSensorTextLoadsWithoutIt)
{
    WindowBench b;
    auto* actions = b.frm->findChild<TConfigProfileActions*>();
    ASSERT_NE(actions, nullptr);
    QString chosen = b.rig.progDir + QStringLiteral("/long.zcf");
    actions->ChooseFile = [&chosen](bool, const QString&) { return chosen; };
    b.rig.msgs.answer(mrYes); // the sensor text goes into the profile
    actions->actSaveConfig->trigger();
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    const QByteArray shortText = toCp1251(b.frm->tsInformation()->edSensorType->text());
    ASSERT_TRUE(bytes.contains(shortText)) << bytes.toStdString();
    bytes.replace(shortText, toCp1251(QStringLiteral("ТСП 100П класс А, 3 пров.")));
    MainRig::writeFile(chosen, bytes);

    ClickOption(b.frm->tsConfiguration()->rbR50); // differs from the profile's 100 Ом
    b.rig.msgs.clear();
    actions->actLoadConfig->trigger();
    EXPECT_EQ(b.rig.msgs.texts(),
              QStringList{QStringLiteral("Профиль «long.zcf»: тип датчика длиннее 24 символов, он не загружен.")});
    EXPECT_TRUE(OptionChecked(b.frm->tsConfiguration()->rbR100)) << "the configuration is loaded";
    EXPECT_EQ(b.frm->tsInformation()->edSensorType->text(), fromCp1251(shortText)) << "the field keeps its own";
}
