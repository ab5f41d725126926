// The configuration page on a scripted device: what a read shows, what the
// page sends, its checks, the address change and the unsupported type; the
// main window's part: the save prompt at close and the connect action.
#include "MainRig.h"
#include "PageRig.h"

#include "app/ConfigurationPage.h"
#include "FitCheck.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleManager.h"
#include "Tap.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kSpanTooShort = QStringLiteral("Длина диапазона не может быть меньше 25 град!");
const QString kOrderWrong = QStringLiteral("Значание верней границы диапазона меньше нижней!");

// A device at address 1 whose configuration registers the test changes.
struct ConfigDevice {
    TConfigRegisters regs;
    std::function<void()> onExchange; // runs at every configuration read and write

    void script(ScriptedPort& p, uint8_t typeCode)
    {
        p.answerAlways(HexBytes("01 11"), [typeCode](const QByteArray&) {
            return IdentifyAnswer(1, typeCode, "ZELKOR", "Pt100", HexBytes("00 00 00 07"), HexBytes("01 02 07 D0"));
        });
        p.answerAlways(HexBytes("01 03 00 18 00 08"), [this](const QByteArray&) {
            if (onExchange)
                onExchange();
            return ConfigurationAnswer(1, regs);
        });
        // The one-shot measurement read at connection (calibration date 15.03.2005).
        p.answerAlways(HexBytes("01 03 00 20 00 05"), [](const QByteArray&) {
            return WithCRC(HexBytes("01 03 0A 00 00 00 00 00 00 0F 03 07 D5"));
        });
        // The write echo of whichever address the request went to.
        p.answerAlways([](const QByteArray& q) { return q.size() == 25 && q[1] == 0x10; },
                       [this](const QByteArray& q) {
                           if (onExchange)
                               onExchange();
                           return WithCRC(q.left(1) + HexBytes("10 00 18 00 08"));
                       });
    }
};

QByteArray LastWriteRequest(const ScriptedPort& port)
{
    const auto& w = port.writes();
    for (int i = w.size() - 1; i >= 0; --i)
        if (w[i].bytes.size() == 25)
            return w[i].bytes;
    return {};
}

// The page on a controller, no main window.
struct ConfigRig : ConfigDevice {
    PageRig rig;
    TConfigurationPage* page = nullptr;

    explicit ConfigRig(uint8_t typeCode = 'M')
    {
        rig.onPort = [this, typeCode](ScriptedPort& p) { script(p, typeCode); };
    }
    void make()
    {
        rig.make();
        page = rig.pages->tsConfiguration();
    }
    void connect()
    {
        make();
        rig.connect();
    }
    QByteArray lastWriteRequest() const { return LastWriteRequest(*rig.port()); }
};

// The page in the main window.
struct WindowConfigRig : ConfigDevice {
    MainRig rig;
    std::unique_ptr<TfrmMain> frm;
    TConfigurationPage* page = nullptr;

    explicit WindowConfigRig(uint8_t typeCode = 'M')
    {
        rig.onPort = [this, typeCode](ScriptedPort& p) { script(p, typeCode); };
    }
    void connect()
    {
        frm = rig.make();
        page = frm->tsConfiguration();
        frm->Session().link.ReportLinkErrors = true;
        frm->ConnectDevice();
    }
    QByteArray lastWriteRequest() const { return LastWriteRequest(*rig.port()); }
};

void Leave(QWidget* field)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

void SetField(QSpinBox* spin, int value)
{
    spin->setValue(value);
    Leave(spin);
}

} // namespace

TEST(ConfigurationPage, ReadShowsEveryRegisterOnThePage)
{
    ConfigRig c;
    c.regs = {3, 2, -100, 200, 1, 3, 178, 1};
    c.connect();
    ASSERT_TRUE(c.rig.ctrl->IsConnected()) << c.rig.msgs.texts().join('|').toStdString();
    TConfigurationPage* p = c.page;
    EXPECT_TRUE(OptionChecked(p->rbCu));
    EXPECT_FALSE(OptionChecked(p->rbPl_391));
    EXPECT_FALSE(OptionChecked(p->rbPl_385));
    EXPECT_TRUE(OptionChecked(p->rbR50));
    EXPECT_TRUE(OptionChecked(p->rbInversLeadOut));
    EXPECT_TRUE(OptionChecked(p->rbI21));
    EXPECT_EQ(p->rseTopTempBound->value(), 200);
    EXPECT_EQ(p->rseBottomTempBound->value(), -100);
    EXPECT_EQ(p->lbMaxTemp->text(), QStringLiteral("200 °C"));
    EXPECT_EQ(p->lbMinTemp->text(), QStringLiteral("-100 °C"));
    EXPECT_EQ(p->rseTopTempBound->minimum(), -75) << "25 degrees above the copper minimum";
    EXPECT_EQ(p->rseBottomTempBound->maximum(), 175);
    EXPECT_TRUE(p->cbAverageTurnOn->Checked());
    EXPECT_TRUE(p->rseAverage->isEnabled());
    EXPECT_EQ(p->rseAverage->value(), 30);
    EXPECT_EQ(p->rseConfSlaveID->value(), 1);
    EXPECT_TRUE(p->pnAlarmCur4D->isVisibleTo(p));
    EXPECT_FALSE(p->pnAlarmCur4E->isVisibleTo(p));
    EXPECT_FALSE(c.rig.session().Transducer.ConfModified) << "filling the page is no edit";
    EXPECT_EQ(c.rig.statusBar->PanelText(2), QString());
    EXPECT_EQ(c.rig.session().TransducerSnapshot.SensorKind, 3);

    // Averaging bytes: 0 and 1 (0,5 to even) read as off, 13 (2,5) as 2, 7 (1,5) as 2.
    struct Avg {
        uint8_t byte;
        int seconds;
    };
    for (const Avg a : {Avg{0, 0}, Avg{1, 0}, Avg{13, 2}, Avg{7, 2}, Avg{4, 1}}) {
        p->rseAverage->setValue(17);
        c.regs.average = a.byte;
        p->btnConfReadClick();
        EXPECT_EQ(c.rig.session().Transducer.Average, a.seconds) << int(a.byte);
        EXPECT_EQ(p->cbAverageTurnOn->Checked(), a.seconds != 0) << int(a.byte);
        EXPECT_EQ(p->rseAverage->isEnabled(), a.seconds != 0) << int(a.byte);
        EXPECT_EQ(p->rseAverage->value(), a.seconds != 0 ? a.seconds : 17) << "a disabled field keeps its number";
    }

    // Unknown R0 code and sensor byte: the record and the limits stay.
    c.regs.r0Code = 3;
    c.regs.sensorKind = 7;
    p->btnConfReadClick();
    EXPECT_EQ(c.rig.session().Transducer.R0, 50);
    EXPECT_TRUE(OptionChecked(p->rbR50));
    EXPECT_FALSE(OptionChecked(p->rbCu) || OptionChecked(p->rbPl_391) || OptionChecked(p->rbPl_385));
    EXPECT_EQ(p->lbMaxTemp->text(), QStringLiteral("200 °C"));
    EXPECT_EQ(p->rseTopTempBound->maximum(), 200);

    // Platinum: its full limits; a bound beyond them shows clamped.
    c.regs = {1, 1, -250, 700, 0, 4, 0, 1};
    p->btnConfReadClick();
    EXPECT_TRUE(OptionChecked(p->rbPl_391));
    EXPECT_TRUE(OptionChecked(p->rbR100));
    EXPECT_TRUE(OptionChecked(p->rbDirectLeadOut));
    EXPECT_TRUE(OptionChecked(p->rbI22));
    EXPECT_EQ(p->rseBottomTempBound->value(), -200);
    EXPECT_EQ(p->rseTopTempBound->value(), 600);
    EXPECT_EQ(p->lbMinTemp->text(), QStringLiteral("-200 °C"));
    EXPECT_EQ(c.rig.session().Transducer.BottomTempBound, -250) << "the record keeps what the device said";
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
}

TEST(ConfigurationPage, TypeNShowsItsOwnAlarmGroup)
{
    ConfigRig c('N');
    c.regs.alarm = 2;
    c.connect();
    ASSERT_TRUE(c.rig.ctrl->IsConnected());
    EXPECT_TRUE(c.page->pnAlarmCur4E->isVisibleTo(c.page));
    EXPECT_FALSE(c.page->pnAlarmCur4D->isVisibleTo(c.page));
    EXPECT_TRUE(OptionChecked(c.page->rbI5_5));
    EXPECT_FALSE(OptionChecked(c.page->rbI0));
    EXPECT_EQ(c.page->pnAlarmCur4E->geometry(), c.page->pnAlarmCur4D->geometry()) << "at the same place";
}

TEST(ConfigurationPage, UnsupportedTypeShowsThePlatformErrorAndDisconnects)
{
    ConfigRig c('X');
    c.connect();
    EXPECT_EQ(c.rig.look.errorBoxes, QStringList{QStringLiteral("Прибор не поддерживается программой")});
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << "not through the program's own dialog: "
                                      << c.rig.msgs.texts().join('|').toStdString();
    EXPECT_FALSE(c.rig.ctrl->IsConnected());
    EXPECT_TRUE(c.page->pnAlarmCur4E->isVisibleTo(c.page));
    EXPECT_FALSE(c.page->pnAlarmCur4D->isVisibleTo(c.page));
    EXPECT_FALSE(OptionChecked(c.page->rbPl_385)) << "the page is emptied by the disconnect";
    // No request after the configuration read: the one-shot date read is skipped.
    EXPECT_EQ(c.rig.port()->lastWrite().left(2), HexBytes("01 03"));
    EXPECT_EQ(uint8_t(c.rig.port()->lastWrite()[3]), 0x18);
}

TEST(ConfigurationPage, UserEditsTravelInTheWriteRequest)
{
    ConfigRig c;
    c.connect();
    TConfigurationPage* p = c.page;
    ASSERT_TRUE(OptionChecked(p->rbPl_385));

    ClickOption(p->rbCu);
    EXPECT_EQ(c.rig.session().Transducer.SensorKind, 3);
    EXPECT_EQ(p->rseTopTempBound->value(), 200) << "the sensor's full range";
    EXPECT_EQ(p->rseBottomTempBound->value(), -100);
    EXPECT_EQ(c.rig.statusBar->PanelText(2), QStringLiteral("Mod"));
    ClickOption(p->rbR50);
    ClickOption(p->rbInversLeadOut);
    ClickOption(p->rbI3_8);
    SetField(p->rseTopTempBound, -50);
    SetField(p->rseBottomTempBound, -100);
    EXPECT_EQ(c.rig.session().Transducer.TopTempBound, -50) << "taken on leaving the field";
    p->rseAverage->setValue(30);
    p->cbAverageTurnOn->Click();
    EXPECT_EQ(c.rig.session().Transducer.Average, 30);
    EXPECT_TRUE(p->rseAverage->isEnabled());

    p->btnConfWriteClick();
    const QByteArray q = c.lastWriteRequest();
    ASSERT_EQ(q.size(), 25);
    EXPECT_EQ(q.left(7), HexBytes("01 10 00 18 00 08 10"));
    EXPECT_EQ(q.mid(7, 16), HexBytes("00 03 00 02 FF 9C FF CE 00 01 00 02 00 B2 00 01"));
    EXPECT_EQ(q.right(2), WithCRC(q.left(23)).right(2));
    EXPECT_FALSE(c.rig.session().Transducer.ConfModified);
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();

    // Averaging off travels as 0, averaging 1 s as 4.
    p->cbAverageTurnOn->Click();
    EXPECT_FALSE(p->rseAverage->isEnabled());
    p->btnConfWriteClick();
    EXPECT_EQ(uint8_t(c.lastWriteRequest()[20]), 0);
    p->cbAverageTurnOn->Click();
    p->rseAverage->setValue(1);
    p->btnConfWriteClick();
    EXPECT_EQ(uint8_t(c.lastWriteRequest()[20]), 4);
}

TEST(ConfigurationPage, RangeChecksBeforeAnythingIsSent)
{
    ConfigRig c;
    c.connect();
    TConfigurationPage* p = c.page;
    struct Case {
        int kind;
        int bottom;
        int top;
        QString message; // empty: written
    };
    const Case cases[] = {
        {1, -200, -175, {}},          // span 25 at the platinum minimum
        {3, -99, -75, kSpanTooShort}, // copper, span 24
        {2, 100, 100, kSpanTooShort}, // equal bounds: the span message, not the order one
        {2, 200, 100, kOrderWrong},
    };
    for (const Case& k : cases) {
        TOptionButton* options[3] = {p->rbPl_391, p->rbPl_385, p->rbCu};
        ClickOption(options[k.kind - 1]);
        SetField(p->rseBottomTempBound, k.bottom);
        SetField(p->rseTopTempBound, k.top);
        ASSERT_EQ(p->rseBottomTempBound->value(), k.bottom) << "within the field's limits";
        ASSERT_EQ(p->rseTopTempBound->value(), k.top);
        c.rig.msgs.clear();
        const int writes = c.rig.port()->writeCount();
        p->btnConfWriteClick();
        if (k.message.isEmpty()) {
            EXPECT_TRUE(c.rig.msgs.isEmpty()) << k.bottom << ".." << k.top;
            EXPECT_EQ(c.rig.port()->writeCount(), writes + 1);
        } else {
            EXPECT_EQ(c.rig.msgs.texts(), QStringList{k.message}) << k.bottom << ".." << k.top;
            EXPECT_EQ(c.rig.msgs.last().kind, mkError);
            EXPECT_EQ(c.rig.port()->writeCount(), writes) << "nothing sent";
            EXPECT_EQ(c.rig.session().Transducer.TopTempBound, k.top) << "the record holds the page's bounds";
            EXPECT_EQ(c.rig.session().Transducer.BottomTempBound, k.bottom);
        }
        EXPECT_FALSE(c.rig.session().Transducer.ConfModified);
    }
}

TEST(ConfigurationPage, AddressChangeThroughThePage)
{
    ConfigRig c;
    c.connect();
    TConfigurationPage* p = c.page;

    // Refused echo: the device stays at 1, and so do the requests.
    c.rig.port()->answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 03 00 18 00 08")));
    p->rseConfSlaveID->setValue(9);
    EXPECT_EQ(c.rig.session().Transducer.SlaveID, 1) << "the field alone changes nothing";
    p->btnConfWriteClick();
    EXPECT_EQ(c.rig.msgs.texts(), QStringList{QStringLiteral("Невозможно выполнить комманду.")});
    EXPECT_EQ(uint8_t(c.lastWriteRequest()[22]), 9);
    EXPECT_EQ(c.rig.session().Transducer.SlaveID, 1);
    EXPECT_TRUE(c.rig.ctrl->IsConnected());

    // Confirmed: the request went to 1 with 7 in byte 22; every later one goes to 7.
    c.rig.msgs.clear();
    AnswerConfigurationReads(*c.rig.port(), 7, &c.regs);
    p->rseConfSlaveID->setValue(7);
    p->btnConfWriteClick();
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(uint8_t(c.lastWriteRequest()[0]), 1);
    EXPECT_EQ(uint8_t(c.lastWriteRequest()[22]), 7);
    EXPECT_EQ(c.rig.session().Transducer.SlaveID, 7);
    p->btnConfReadClick();
    EXPECT_EQ(c.rig.port()->lastWrite().left(2), HexBytes("07 03"));
    EXPECT_TRUE(c.rig.ctrl->IsConnected());

}

TEST(ConfigurationPage, ButtonsWhileDisconnected)
{
    ConfigRig c;
    c.make();
    c.page->btnConfReadClick();
    c.page->btnConfWriteClick();
    EXPECT_EQ(c.rig.msgs.texts(),
              (QStringList{QStringLiteral("Соединение не установлено"), QStringLiteral("Соединение не установлено")}));
    EXPECT_EQ(c.rig.port()->writeCount(), 0);
}

TEST(ConfigurationPage, DiagnosticsTimerPausesForReadAndWrite)
{
    ConfigRig c;
    c.connect();
    QTimer* timer = c.rig.ctrl->DiagnosticsTimer();
    QList<bool> activeDuringExchange;
    c.onExchange = [&] { activeDuringExchange << timer->isActive(); };
    c.rig.session().State.DiagRunning = true; // as diagnostics would have it
    timer->start();
    c.page->btnConfReadClick();
    c.page->btnConfWriteClick();
    EXPECT_EQ(activeDuringExchange, (QList<bool>{false, false}));
    EXPECT_TRUE(timer->isActive()) << "given back after the exchanges";
    c.onExchange = {};

    // A read that loses the device leaves diagnostics off.
    c.rig.port()->clearRules();
    c.page->btnConfReadClick();
    EXPECT_FALSE(c.rig.ctrl->IsConnected());
    EXPECT_FALSE(timer->isActive());
    c.rig.session().State.DiagRunning = false;
}

TEST(ConfigurationPage, SensorOptionHoverAndLabelClicks)
{
    ConfigRig c;
    c.connect();
    TConfigurationPage* p = c.page;
    const QColor hot = p->HotTrackColor();
    ASSERT_NE(hot, QColor(Qt::black));
    EXPECT_EQ(hot, ToQColor(p->StyleManager()->Colors().HotTrack()));

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(p->Label9, &enter);
    for (int control = 0; control < 3; ++control) {
        EXPECT_EQ(p->SensorOptionColor(1, control), hot) << control;
        EXPECT_NE(p->SensorOptionColor(0, control), hot) << "the other options keep their colour";
    }
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(p->rbPl_385, &leave);
    for (int control = 0; control < 3; ++control)
        EXPECT_EQ(p->SensorOptionColor(1, control), QColor(Qt::black)) << control;

    // A click on the alpha or the coefficient label picks the option.
    const QPoint at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, p->lbCu->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, p->lbCu->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(p->lbCu, &press);
    QCoreApplication::sendEvent(p->lbCu, &release);
    EXPECT_TRUE(OptionChecked(p->rbCu));
    EXPECT_FALSE(OptionChecked(p->rbPl_385));
    EXPECT_EQ(c.rig.session().Transducer.SensorKind, 3);
    EXPECT_EQ(p->lbMaxTemp->text(), QStringLiteral("200 °C"));
    EXPECT_TRUE(c.rig.session().Transducer.ConfModified);
}

TEST(ConfigurationPage, DisconnectEmptiesThePageButNotTheRecord)
{
    ConfigRig c;
    c.connect();
    c.rig.ctrl->Disconnect();
    TConfigurationPage* p = c.page;
    for (TOptionButton* b : {p->rbPl_391, p->rbPl_385, p->rbCu, p->rbR100, p->rbR50, p->rbI3_6, p->rbI3_8, p->rbI21,
                             p->rbI22, p->rbI0, p->rbI5_5, p->rbDirectLeadOut, p->rbInversLeadOut})
        EXPECT_FALSE(OptionChecked(b)) << b->objectName().toStdString();
    EXPECT_FALSE(p->cbAverageTurnOn->Checked());
    EXPECT_EQ(p->rseTopTempBound->value(), 0);
    EXPECT_EQ(p->rseBottomTempBound->value(), 0);
    EXPECT_EQ(c.rig.session().Transducer.TopTempBound, 150);
    EXPECT_FALSE(c.rig.session().Transducer.ConfModified);
}

TEST(ConfigurationPage, TextsFitAtTheProgramFont)
{
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    for (const uint8_t type : {uint8_t('M'), uint8_t('N')}) {
        ConfigRig c(type);
        c.regs.average = 178;
        c.connect();
        c.rig.pages->setCurrentWidget(c.page);
        c.rig.window->show();
        QCoreApplication::processEvents();
        const QStringList bad = TextsThatDoNotFit(c.page);
        EXPECT_TRUE(bad.isEmpty()) << char(type) << ": " << bad.join(QStringLiteral(" | ")).toStdString();
        SaveShot(c.rig.window.get(), QStringLiteral("configuration-%1.png").arg(QChar(type)));
        c.rig.window->hide();
    }
    QApplication::setFont(before);
}

namespace {

// Types `text` into a range or averaging field as the user does: focus, select all, keys.
void TypeInto(QSpinBox* spin, const QString& text)
{
    spin->setFocus(Qt::MouseFocusReason);
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

} // namespace

// After typing into a field, a tap does what a slow click does: the typed
// value is taken, then the click acts; nothing is lost, nothing is left drawn pressed.
TEST(ConfigurationPage, TapRightAfterEditingAFieldActsOnce)
{
    for (const TTapKind kind : {TTapKind::Slow, TTapKind::Queued}) {
        SCOPED_TRACE(TapName(kind));
        ConfigRig c;
        c.regs.r0Code = 2;    // 50 ohm
        c.regs.average = 178; // 30 s, on
        c.connect();
        TConfigurationPage* p = c.page;
        c.rig.pages->setCurrentWidget(p);
        c.rig.window->show();
        QApplication::setActiveWindow(c.rig.window.get());
        QApplication::processEvents();
        p->rseBottomTempBound->setFocus(Qt::OtherFocusReason);
        if (!p->rseBottomTempBound->hasFocus())
            GTEST_SKIP() << "no keyboard focus on this platform";

        TypeInto(p->rseBottomTempBound, QStringLiteral("-30"));
        Tap(p->rbR100, kind);
        EXPECT_TRUE(OptionChecked(p->rbR100));
        EXPECT_FALSE(p->rbR100->Pressed());

        TypeInto(p->rseTopTempBound, QStringLiteral("120"));
        Tap(p->cbAverageTurnOn, kind);
        EXPECT_FALSE(p->cbAverageTurnOn->Checked());
        EXPECT_FALSE(p->cbAverageTurnOn->Pressed());

        c.rig.port()->clearWrites();
        TypeInto(p->rseBottomTempBound, QStringLiteral("-40"));
        Tap(p->btnConfWrite, kind);
        EXPECT_FALSE(p->btnConfWrite->Pressed());
        int writes = 0;
        for (const TRecordedWrite& w : c.rig.port()->writes())
            writes += w.bytes.size() == 25 ? 1 : 0;
        EXPECT_EQ(writes, 1);
        const QByteArray q = c.lastWriteRequest();
        ASSERT_EQ(q.size(), 25);
        EXPECT_EQ(q.mid(9, 12), HexBytes("00 01 FF D8 00 78 00 00 00 01 00 00")) << q.toHex(' ').toStdString();
        EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
        c.rig.window->hide();
    }
}

TEST(ConfigurationPageInWindow, SavePromptAtClose)
{
    {
        WindowConfigRig c; // "Нет": the last read values come back, nothing is sent
        c.connect();
        TConfigurationPage* p = c.page;
        ClickOption(p->rbCu);
        ClickOption(p->rbR50);
        SetField(p->rseTopTempBound, 100);
        const int writes = c.rig.port()->writeCount();
        c.rig.msgs.answer(mrNo);
        c.frm->close();
        EXPECT_EQ(c.rig.msgs.texts(), QStringList{QStringLiteral("Записать изменения конфигурации в память преобразователя?")});
        EXPECT_EQ(c.rig.msgs.last().kind, mkConfirmation);
        EXPECT_EQ(c.rig.port()->writeCount(), writes);
        EXPECT_TRUE(OptionChecked(p->rbPl_385));
        EXPECT_TRUE(OptionChecked(p->rbR100));
        EXPECT_EQ(p->rseTopTempBound->value(), 150);
        EXPECT_EQ(p->rseBottomTempBound->value(), -50);
        EXPECT_EQ(c.frm->Session().Transducer.SensorKind, 2);
        EXPECT_EQ(c.frm->Session().Transducer.R0, 100);
        EXPECT_FALSE(c.frm->Session().Transducer.ConfModified);
    }
    {
        WindowConfigRig c; // "Да": written
        c.connect();
        ClickOption(c.page->rbCu);
        c.rig.msgs.answer(mrYes);
        c.frm->close();
        EXPECT_EQ(c.rig.msgs.count(), 1);
        ASSERT_EQ(c.lastWriteRequest().size(), 25);
        EXPECT_EQ(uint8_t(c.lastWriteRequest()[8]), 3);
    }
    {
        WindowConfigRig c; // not connected
        c.frm = c.rig.make();
        ClickOption(c.frm->tsConfiguration()->rbR50);
        c.frm->close();
        EXPECT_EQ(c.rig.msgs.texts(),
                  QStringList{QStringLiteral("Соединение не установлено. Изменения конфигурации не сохранены.")});
        EXPECT_EQ(c.rig.msgs.last().kind, mkInformation);
    }
    {
        WindowConfigRig c; // unchanged: no question
        c.connect();
        c.frm->close();
        EXPECT_TRUE(c.rig.msgs.isEmpty());
    }
}

TEST(ConfigurationPageInWindow, UnsupportedTypeLeavesTheConnectActionToConnect)
{
    WindowConfigRig c('X');
    c.connect();
    EXPECT_EQ(c.rig.errorBoxes, QStringList{QStringLiteral("Прибор не поддерживается программой")});
    EXPECT_FALSE(c.frm->IsConnected());
    EXPECT_EQ(c.frm->findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Установить соединение"));
}

TEST(ConfigurationPageInWindow, DeclinedSaveAtCloseKeepsTheNewAddress)
{
    WindowConfigRig c;
    c.connect();
    TConfigurationPage* p = c.page;
    AnswerConfigurationReads(*c.rig.port(), 7, &c.regs);
    p->rseConfSlaveID->setValue(7);
    p->btnConfWriteClick();
    ASSERT_EQ(c.frm->Session().Transducer.SlaveID, 7) << c.rig.msgs.texts().join('|').toStdString();

    // A declined save at close keeps the address the device has now.
    ClickOption(p->rbCu);
    c.rig.msgs.answer(mrNo);
    c.frm->close();
    EXPECT_EQ(c.frm->Session().Transducer.SlaveID, 7);
    EXPECT_TRUE(c.rig.iniContent().contains("DefaultSlaveID=7")) << c.rig.iniContent().constData();
}
