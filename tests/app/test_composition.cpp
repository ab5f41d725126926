// What the main window is composed of, each on its own: the status bar as
// the controller tells it, the pages keeping edits over a lost link, and the
// scheme look's windows and controls.
#include "PageRig.h"

#include "app/InformationPage.h"
#include "app/KeptEdits.h"
#include "app/SchemeLook.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void ConnectedPages(PageRig& rig)
{
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    ASSERT_TRUE(rig.connect()) << rig.msgs.texts().join('|').toStdString();
}

} // namespace

TEST(LinkStatusBar, PanelsFollowTheLink)
{
    PageRig rig;
    ConnectedPages(rig);
    TLinkStatusBar& bar = *rig.statusBar;
    EXPECT_EQ(bar.PanelText(0), QStringLiteral("Соединение установленно"));
    EXPECT_EQ(bar.PanelText(1), QStringLiteral("COM1"));
    QTest::keyClicks(rig.pages->tsInformation()->edSensorType, QStringLiteral("x"));
    EXPECT_EQ(bar.PanelText(2), QStringLiteral("Mod"));

    rig.ctrl->Disconnect();
    EXPECT_EQ(bar.PanelText(0), QStringLiteral("Соединение не установленно"));
    EXPECT_EQ(bar.PanelText(2), QString()) << "a change of the link clears the mark";
    EXPECT_EQ(bar.PanelText(4), QString());
    EXPECT_EQ(bar.PanelText(-1), QString());
}

TEST(DevicePages, EditsLostWithTheLinkAreOfferedBackToTheSameTransducer)
{
    PageRig rig;
    ConnectedPages(rig);
    TInformationPage& info = *rig.pages->tsInformation();
    info.edSensorType->setText(QStringLiteral("Pt500"));
    emit info.edSensorType->textEdited(info.edSensorType->text());
    ASSERT_TRUE(rig.session().Transducer.InfModified);

    rig.ctrl->Disconnect();
    EXPECT_EQ(info.edSensorType->text(), QString()) << "the page is emptied";
    EXPECT_TRUE(rig.msgs.isEmpty());

    rig.msgs.answer(mrYes);
    ASSERT_TRUE(rig.connect());
    EXPECT_EQ(rig.msgs.texts(), QStringList{TKeptEdits::AskRestore});
    EXPECT_EQ(info.edSensorType->text(), QStringLiteral("Pt500"));
    EXPECT_TRUE(rig.session().Transducer.InfModified);

    // Still unsaved, they are kept again; declined, the page shows what the device holds.
    rig.ctrl->Disconnect();
    rig.msgs.clear();
    rig.msgs.answer(mrNo);
    ASSERT_TRUE(rig.connect());
    EXPECT_EQ(rig.msgs.texts(), QStringList{TKeptEdits::AskRestore});
    EXPECT_NE(info.edSensorType->text(), QStringLiteral("Pt500"));
    EXPECT_FALSE(rig.session().Transducer.InfModified);

    // Nothing unsaved: nothing to offer.
    rig.ctrl->Disconnect();
    rig.msgs.clear();
    ASSERT_TRUE(rig.connect());
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(SchemeLook, WindowsTakeTheWorkAreaColourInTheirOrderOnce)
{
    PageRig rig;
    rig.make();
    QWidget host;
    TSchemeLook look(&host, rig.settings, {});
    auto* fixed = new QWidget(&host);
    look.WindowWidgets = [fixed] { return QList<QWidget*>{fixed}; };
    auto* first = new QWidget(&host);
    auto* gone = new QWidget(&host);
    auto* last = new QWidget(&host);
    look.AddSchemeColorWidget(first);
    look.AddSchemeColorWidget(gone);
    look.AddSchemeColorWidget(first);
    look.AddSchemeColorWidget(nullptr);
    look.AdoptSchemeLook(last, {}, {first});
    delete gone;
    EXPECT_EQ(look.SchemeColorWidgets(), (QList<QWidget*>{fixed, first, last}));

    auto* bar = new TRbProgressBar(&host);
    look.AddSchemeProgressBar(bar);
    look.AddSchemeProgressBar(bar);
    EXPECT_EQ(look.SchemeProgressBars(), QList<TRbProgressBar*>{bar});
    delete bar;
    EXPECT_TRUE(look.SchemeProgressBars().isEmpty());
}

TEST(SchemeLook, AdoptingStylesTheListedControlsOrEveryOne)
{
    PageRig rig;
    rig.make();
    QWidget host;
    TSchemeLook look(&host, rig.settings, {});
    QWidget window;
    auto* listed = new TRbButton(&window);
    auto* other = new TRbButton(&window);
    look.AdoptSchemeLook(&window, {listed}, {});
    EXPECT_EQ(listed->RbStyleManager(), &look.StyleManager());
    EXPECT_NE(other->RbStyleManager(), &look.StyleManager());

    QWidget dialog;
    auto* a = new TRbButton(&dialog);
    auto* b = new TRbButton(new QWidget(&dialog));
    look.AdoptSchemeLook(&dialog);
    EXPECT_EQ(a->RbStyleManager(), &look.StyleManager());
    EXPECT_EQ(b->RbStyleManager(), &look.StyleManager()) << "nested controls too";
    EXPECT_TRUE(look.SchemeColorWidgets().contains(&dialog));
}

TEST(SchemeLook, ErrorsAndTheSchemeNameGoWhereTheyAreSent)
{
    PageRig rig;
    rig.make();
    QWidget host;
    TSchemeLook look(&host, rig.settings, {});
    QStringList boxes;
    look.ErrorBox = [&boxes](const QString& text) { boxes << text; };
    look.ShowPlatformError(QStringLiteral("a"));
    look.ShowSchemeError(QStringLiteral("b"));
    EXPECT_EQ(boxes, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    look.SetSchemeFileName(QStringLiteral("Dark.rbs"));
    EXPECT_EQ(rig.settings.ColorShema, QStringLiteral("Dark.rbs"));
    EXPECT_EQ(look.ProgramDir(), rig.settings.ProgDir);
    EXPECT_FALSE(look.SettingsWindowExists()) << "no settings window unless told of one";
}
