#include "rbcontrols/RbCustomControl.h"
#include "rbcontrols/RbDrawCore.h"
#include "rbcontrols/RbMetaProperties.h"

#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

class Probe : public TRbCustomControl {
public:
    using TRbCustomControl::TRbCustomControl;
    using TRbCustomControl::SetHoverLevel;
    using TRbCustomControl::SetMouseInside;
    using TRbCustomControl::SetPressed;
    using TRbCustomControl::SetPressLevel;
    using TRbCustomControl::SetFadeStep;

    QStringList log;
    int rebuilds = 0;
    void RebuildLayers() override { ++rebuilds; }
    void Click() override
    {
        log << "Click";
        TRbCustomControl::Click();
    }
    void LeftMouseDown() override
    {
        log << "LeftMouseDown";
        TRbCustomControl::LeftMouseDown();
    }
    void LeftMouseUp() override { log << "LeftMouseUp"; }
    void MouseEntered() override
    {
        log << "MouseEntered";
        TRbCustomControl::MouseEntered();
    }
    void MouseLeft() override
    {
        log << "MouseLeft";
        TRbCustomControl::MouseLeft();
    }
    void EnabledChanged() override
    {
        log << "EnabledChanged";
        TRbCustomControl::EnabledChanged();
    }
    void Resized() override { log << "Resized"; }

protected:
    void PaintBuffer(QImage&) override {}
};

using Levels = std::vector<std::pair<int, int>>; // (HoverLevel, PressLevel) after each tick

// Ticks until the timer stops (at most 40), recording the levels.
Levels RunFade(Probe& c)
{
    Levels seen;
    for (int i = 0; i < 40 && c.FadeRunning(); ++i) {
        c.FadeTick();
        seen.emplace_back(c.HoverLevel(), c.PressLevel());
    }
    EXPECT_FALSE(c.FadeRunning());
    return seen;
}

void Send(QWidget* w, QEvent::Type t, QPoint pos = {5, 5}, Qt::MouseButton b = Qt::LeftButton)
{
    if (t == QEvent::Enter) {
        const QPointF p(pos);
        QEnterEvent e(p, p, p);
        QApplication::sendEvent(w, &e);
    } else if (t == QEvent::Leave) {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(w, &e);
    } else {
        const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
        QMouseEvent e(t, QPointF(pos), QPointF(w->mapToGlobal(pos)), b, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

} // namespace

TEST(Fade, HoverInReachesFullInTenTicksAndStops)
{
    Probe c;
    c.SetMouseInside(true);
    c.SetFadeStep(TRbCustomControl::FadeIn);
    c.StartFade();
    EXPECT_TRUE(c.FadeRunning());
    EXPECT_EQ(c.FadeTimerInterval(), 40); // fsSlow at creation
    const Levels want = {{10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0}, {70, 0}, {80, 0}, {90, 0}, {100, 0}};
    EXPECT_EQ(RunFade(c), want);
}

TEST(Fade, PressReleaseAndLeave)
{
    Probe c;
    c.SetHoverLevel(100);
    c.SetMouseInside(true);
    c.SetPressed(true);
    c.SetFadeStep(TRbCustomControl::FadeIn);
    c.StartFade();
    EXPECT_EQ(RunFade(c), (Levels{{100, 25}, {100, 50}, {100, 75}, {100, 100}, {100, 100}}));

    c.SetPressed(false); // release: back to the hot look
    c.StartFade();
    EXPECT_EQ(RunFade(c), (Levels{{100, 75}, {100, 50}, {100, 25}, {100, 0}}));

    c.SetMouseInside(false); // leave
    c.SetFadeStep(TRbCustomControl::FadeOut);
    c.StartFade();
    EXPECT_EQ(RunFade(c), (Levels{{90, 0}, {80, 0}, {70, 0}, {60, 0}, {50, 0}, {40, 0}, {30, 0}, {20, 0}, {10, 0},
                              {0, 0}, {0, 0}}));
}

TEST(Fade, FadeOutWhilePressLevelIsPositive)
{
    Probe full;
    full.SetHoverLevel(100);
    full.SetPressLevel(100);
    full.SetFadeStep(TRbCustomControl::FadeOut);
    full.StartFade();
    const Levels got = RunFade(full);
    ASSERT_EQ(got.size(), 11u);
    EXPECT_EQ(got[0], std::make_pair(90, 75));
    EXPECT_EQ(got[3], std::make_pair(60, 0));
    EXPECT_EQ(got[9], std::make_pair(0, 0));

    // Pressed without hover: the hover level dips below 0 while pressing fades.
    Probe bare;
    bare.SetPressLevel(100);
    bare.SetFadeStep(TRbCustomControl::FadeOut);
    bare.StartFade();
    EXPECT_EQ(RunFade(bare), (Levels{{-10, 75}, {-20, 50}, {-30, 25}, {0, 0}}));
}

TEST(Fade, IntervalFollowsTheSpeedAndRestarts)
{
    Probe c;
    c.SetFadeSpeed(fsVeryFast);
    c.SetFadeStep(TRbCustomControl::FadeIn);
    c.StartFade();
    EXPECT_EQ(c.FadeTimerInterval(), 8);
    c.SetFadeSpeed(fsFast);
    c.StartFade();
    EXPECT_EQ(c.FadeTimerInterval(), 12);
    EXPECT_TRUE(c.FadeRunning());
    RunFade(c);
}

TEST(Routing, ClickComesBeforeReleaseAndOnlyForPressAndReleaseInside)
{
    Probe c;
    c.resize(40, 20);
    int clicks = 0;
    QObject::connect(&c, &TRbCustomControl::clicked, [&] { ++clicks; });
    QObject::connect(&c, &TRbCustomControl::mouseUp, [&] { c.log << "mouseUp"; });
    Send(&c, QEvent::MouseButtonPress);
    Send(&c, QEvent::MouseButtonRelease);
    EXPECT_EQ(c.log, QStringList({"MouseEntered", "LeftMouseDown", "Click", "mouseUp", "LeftMouseUp"}));
    EXPECT_EQ(clicks, 1);

    c.log.clear();
    Send(&c, QEvent::MouseButtonPress);
    Send(&c, QEvent::MouseButtonRelease, {100, 5}); // released outside
    EXPECT_EQ(c.log, QStringList({"LeftMouseDown", "mouseUp", "LeftMouseUp"}));

    c.log.clear();
    Send(&c, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton);
    Send(&c, QEvent::MouseButtonRelease, {5, 5}, Qt::RightButton);
    EXPECT_EQ(c.log, QStringList({"mouseUp"}));
    EXPECT_EQ(clicks, 1);

    c.log.clear(); // a double click is two clicks
    Send(&c, QEvent::MouseButtonPress);
    Send(&c, QEvent::MouseButtonRelease);
    Send(&c, QEvent::MouseButtonDblClick);
    Send(&c, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 3);
}

TEST(Routing, EnterLeaveEnabledAndResize)
{
    Probe c;
    int entered = 0, left = 0;
    QObject::connect(&c, &TRbCustomControl::mouseEntered, [&] { ++entered; });
    QObject::connect(&c, &TRbCustomControl::mouseLeft, [&] { ++left; });
    Send(&c, QEvent::Enter);
    Send(&c, QEvent::Enter); // repeated: one notification
    Send(&c, QEvent::Leave);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
    c.resize(30, 30);
    c.setEnabled(false);
    EXPECT_TRUE(c.log.contains("EnabledChanged"));

    // Dragging off the control with the button held counts as leaving.
    c.setEnabled(true);
    c.log.clear();
    Send(&c, QEvent::Enter);
    Send(&c, QEvent::MouseButtonPress);
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 50), QPointF(50, 50), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&c, &move);
    EXPECT_EQ(c.log.back(), "MouseLeft");
}

TEST(Properties, BaseDefaultsAndParentColour)
{
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(parent.backgroundRole(), QColor(1, 2, 3));
    parent.setPalette(pal);
    Probe c(&parent);
    EXPECT_TRUE(c.TextShadow());
    EXPECT_TRUE(c.ShowCaption());
    EXPECT_TRUE(c.TabStop());
    EXPECT_EQ(c.focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(c.ParentColor());
    EXPECT_EQ(c.Color(), RGBColor(1, 2, 3));
    EXPECT_EQ(c.RenderBuffer().isNull(), c.width() <= 0);
    c.resize(4, 4);
    EXPECT_EQ(c.RenderBuffer().pixelColor(2, 2), QColor(1, 2, 3));

    Probe child(&c); // a skinned parent gives its Color
    c.SetColor(RGBColor(9, 8, 7));
    EXPECT_FALSE(c.ParentColor());
    EXPECT_EQ(child.Color(), RGBColor(9, 8, 7));

    const QString about = c.About();
    const TRbStyleObject styled(&c);
    const std::optional<QMetaProperty> p = styled.Find(u"about");
    ASSERT_TRUE(p.has_value());
    EXPECT_FALSE(styled.Write(*p, QStringLiteral("x"))); // read-only
    EXPECT_EQ(c.About(), about);
    ASSERT_TRUE(styled.Find(u"Font").has_value());
    EXPECT_EQ(RbKindOf(*styled.Find(u"Font")), TRbPropKind::Object);
    // The widget's own font is no style property.
    EXPECT_EQ(styled.Find(u"Font")->name(), QByteArray("Font"));
}

namespace {

class Registry : public QObject, public IRbStyleRegistry {
public:
    QList<QObject*> list;
    void RegisterControl(QObject* c) override
    {
        if (!list.contains(c))
            list << c;
    }
    void UnregisterControl(QObject* c) override { list.removeAll(c); }
    QObject* RegistryObject() override { return this; }
};

} // namespace

TEST(StyleManagerLink, RegistersUnregistersAndForgetsADestroyedManager)
{
    Registry a, b;
    auto* c = new Probe;
    c->SetRbStyleManager(&a);
    c->SetRbStyleManager(&a);
    EXPECT_EQ(a.list.size(), 1);
    c->SetRbStyleManager(&b); // moving leaves the old list
    EXPECT_TRUE(a.list.isEmpty());
    EXPECT_EQ(b.list.size(), 1);
    c->SetRbStyleManager(nullptr);
    EXPECT_TRUE(b.list.isEmpty());
    c->SetRbStyleManager(&a);
    delete c;
    EXPECT_TRUE(a.list.isEmpty());

    auto* gone = new Registry;
    Probe d;
    d.SetRbStyleManager(gone);
    delete gone;
    EXPECT_EQ(d.RbStyleManager(), nullptr);
}
