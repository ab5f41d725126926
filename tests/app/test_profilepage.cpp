// Saving and loading configuration profiles: the actions on the pages, and
// their place in the main window's menu.
#include "MainRig.h"
#include "PageRig.h"

#include "app/ConfigProfileActions.h"
#include "app/ConfigurationPage.h"
#include "app/InformationPage.h"
#include "rbcontrols/RbCheckBox.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

// A connected 'M' transducer at address 1 reading Pt 0,00385, 100 ohm, -50..150, direct, 3,2 mA, no averaging.
struct ProfileRig {
    PageRig rig;
    TConfigRegisters regs;
    TConfigurationPage* page = nullptr;
    std::unique_ptr<TConfigProfileActions> actions;
    QString chosen; // what the file dialog answers

    ProfileRig()
    {
        rig.onPort = [this](ScriptedPort& p) {
            p.answerAlways(HexBytes("01 11"), [](const QByteArray&) {
                return IdentifyAnswer(1, 'M', "ZELKOR", "Pt100", HexBytes("00 00 00 07"), HexBytes("01 02 07 D0"));
            });
            p.answerAlways(HexBytes("01 03 00 18 00 08"), [this](const QByteArray&) { return ConfigurationAnswer(1, regs); });
            p.answerAlways(HexBytes("01 03 00 20 00 05"), [](const QByteArray&) {
                return WithCRC(HexBytes("01 03 0A 00 00 00 00 00 00 0F 03 07 D5"));
            });
            p.answerAlways([](const QByteArray& q) { return q.size() == 25 && q[1] == 0x10; },
                           [](const QByteArray& q) { return WithCRC(q.left(1) + HexBytes("10 00 18 00 08")); });
        };
        rig.make();
        page = rig.pages->tsConfiguration();
        actions = std::make_unique<TConfigProfileActions>(*rig.window, *rig.ctrl);
        actions->SetPages(*rig.pages->tsInformation(), *page);
        actions->ChooseFile = [this](bool, const QString&) { return chosen; };
        rig.connect();
    }
    QString path(const QString& name) const { return rig.progDir + QLatin1Char('/') + name; }
    int writes() const { return rig.port()->writeCount(); }
};

QStringList MenuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

} // namespace

TEST(ProfileMenu, FileMenuHoldsSaveAndLoadBeforeExit)
{
    MainRig rig;
    const auto frm = rig.make();
    QMenu* file = frm->menuBar()->actions().first()->menu();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(MenuTexts(file), (QStringList{QStringLiteral("Настройки"), QStringLiteral("-"),
                                             QStringLiteral("Сохранить конфигурацию..."),
                                             QStringLiteral("Загрузить конфигурацию..."), QStringLiteral("-"),
                                             QStringLiteral("Выход")}));
}

TEST(ProfilePage, SavedProfileLoadsBackAsUserEditsAndWritesOnlyOnWrite)
{
    ProfileRig r;
    ASSERT_TRUE(r.rig.ctrl->IsConnected()) << r.rig.msgs.texts().join('|').toStdString();
    // The page as the user sets it: copper, 50 ohm, -20..180, inverse, 21 mA, 12 s.
    ClickOption(r.page->rbCu);
    ClickOption(r.page->rbR50);
    r.page->rseBottomTempBound->setValue(-20);
    r.page->rseTopTempBound->setValue(175);
    ClickOption(r.page->rbInversLeadOut);
    ClickOption(r.page->rbI21);
    r.page->rseAverage->setValue(12);
    r.page->cbAverageTurnOn->Click();

    r.chosen = r.path(QStringLiteral("line")); // no suffix: .zcf is added
    r.rig.msgs.answer(mrYes);                  // keep the sensor text
    r.actions->actSaveConfig->trigger();
    ASSERT_TRUE(QFileInfo::exists(r.path(QStringLiteral("line.zcf")))) << r.rig.msgs.texts().join('|').toStdString();
    EXPECT_TRUE(r.rig.msgs.last().text.contains(QStringLiteral("«Pt100»")));

    // Back to the device's values, then the profile.
    r.page->btnConfReadClick();
    r.rig.pages->tsInformation()->edSensorType->setText(QStringLiteral("другой"));
    ASSERT_TRUE(OptionChecked(r.page->rbPl_385));
    const int writes = r.writes();
    r.rig.msgs.clear();
    r.chosen = r.path(QStringLiteral("line.zcf"));
    r.actions->actLoadConfig->trigger();
    EXPECT_TRUE(r.rig.msgs.isEmpty()) << r.rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(r.writes(), writes) << "loading writes nothing";
    EXPECT_TRUE(OptionChecked(r.page->rbCu));
    EXPECT_TRUE(OptionChecked(r.page->rbR50));
    EXPECT_EQ(r.page->rseBottomTempBound->value(), -20);
    EXPECT_EQ(r.page->rseTopTempBound->value(), 175);
    EXPECT_TRUE(OptionChecked(r.page->rbInversLeadOut));
    EXPECT_TRUE(OptionChecked(r.page->rbI21));
    EXPECT_TRUE(r.page->cbAverageTurnOn->Checked());
    EXPECT_EQ(r.page->rseAverage->value(), 12);
    EXPECT_EQ(r.rig.pages->tsInformation()->edSensorType->text(), QStringLiteral("Pt100"));
    EXPECT_TRUE(r.rig.session().Transducer.ConfModified);
    EXPECT_TRUE(r.rig.session().Transducer.InfModified);
    EXPECT_EQ(r.rig.statusBar->PanelText(2), QStringLiteral("Mod"));

    // "Записать" sends what the profile set: 3, 2, -20, 175, inverse, code 3, 12 s -> 70.
    r.page->btnConfWriteClick();
    ASSERT_GT(r.writes(), writes);
    const QByteArray q = r.rig.port()->lastWrite();
    ASSERT_EQ(q.size(), 25);
    EXPECT_EQ(q.mid(7, 16), HexBytes("00 03 00 02 FF EC 00 AF 00 01 00 03 00 46 00 01"));
}

TEST(ProfilePage, RefusedProfileNamesTheFieldAndLeavesThePage)
{
    ProfileRig r;
    ASSERT_TRUE(r.rig.ctrl->IsConnected());
    const int writes = r.writes();
    struct Case {
        QByteArray file;
        QString message;
    } cases[] = {
        {"[Configuration]\r\nSensor=pt391\r\nR0=100\r\nBottom=-50\r\nTop=700\r\nOutput=direct\r\nAlarm=21\r\nAverage=off\r\n",
         QStringLiteral("Профиль «bad.zcf»: Верхняя граница: значение 700 вне пределов -175..600 для выбранного типа датчика")},
        {"[Configuration]\r\nSensor=pt391\r\nR0=100\r\nBottom=-50\r\nTop=150\r\nOutput=direct\r\nAlarm=5.5\r\nAverage=off\r\n",
         QStringLiteral("Профиль «bad.zcf»: Аварийный сигнал: 5.5 мА не предусмотрено для преобразователя с выходом 4-20 мА")},
        {"[Configuration]\r\nSensor=pt391\r\nR0=100\r\nBottom=-50\r\n",
         QStringLiteral("Профиль «bad.zcf»: Верхняя граница: нет значения")},
        {"\x89PNG\r\n\x1a\n", QStringLiteral("Профиль «bad.zcf»: Файл не является профилем конфигурации: нет раздела [Configuration]")},
    };
    for (const Case& c : cases) {
        MainRig::writeFile(r.path(QStringLiteral("bad.zcf")), c.file);
        r.rig.msgs.clear();
        r.chosen = r.path(QStringLiteral("bad.zcf"));
        r.actions->actLoadConfig->trigger();
        EXPECT_EQ(r.rig.msgs.texts(), QStringList{c.message});
        EXPECT_EQ(r.rig.msgs.last().kind, mkError);
        EXPECT_TRUE(OptionChecked(r.page->rbPl_385)) << c.message.toStdString();
        EXPECT_EQ(r.page->rseTopTempBound->value(), 150);
        EXPECT_TRUE(OptionChecked(r.page->rbI3_6));
        EXPECT_FALSE(r.rig.session().Transducer.ConfModified);
    }
    EXPECT_EQ(r.writes(), writes);

    // A cancelled dialog does nothing at all.
    r.rig.msgs.clear();
    r.chosen.clear();
    r.actions->actLoadConfig->trigger();
    r.actions->actSaveConfig->trigger();
    EXPECT_TRUE(r.rig.msgs.isEmpty());
}

TEST(ProfilePage, EmptyPageIsNotSaved)
{
    ProfileRig r;
    r.rig.ctrl->Disconnect(); // empties the page
    r.chosen = r.path(QStringLiteral("empty.zcf"));
    r.rig.msgs.clear();
    r.actions->actSaveConfig->trigger();
    EXPECT_FALSE(QFileInfo::exists(r.chosen));
    ASSERT_EQ(r.rig.msgs.count(), 1);
    EXPECT_TRUE(r.rig.msgs.last().text.startsWith(QStringLiteral("Конфигурация не сохранена.")));
}
