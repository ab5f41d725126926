// Hidden controls put their layers off until they are shown or asked for them.
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCustomControl.h"
#include "rbcontrols/RbPanel.h"
#include "rb_test_util.h"

#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace rbtest;

namespace {

// Counts the layer drawings that really happen.
class TCountingControl : public TRbCustomControl
{
public:
    using TRbCustomControl::TRbCustomControl;
    void RebuildLayers() override
    {
        if (DeferRebuild())
            return;
        ++builds;
        layerColor = Color();
    }
    int builds = 0;
    TColor layerColor = -1;

protected:
    void PaintBuffer(QImage& buffer) override
    {
        ++paintsWithBuiltLayers;
        EXPECT_EQ(layerColor, Color()) << "painted with layers of an older colour";
        buffer.fill(Qt::black);
    }

public:
    int paintsWithBuiltLayers = 0;
};

} // namespace

TEST(DeferredLayers, HiddenControlDrawsOnceWhenShownAndBeforeItsFirstPaint)
{
    QWidget window;
    window.resize(100, 60);
    auto* c = new TCountingControl(&window);
    c->resize(40, 20);
    c->builds = 0;
    for (TColor col : {0x0000FF, 0x00FF00, 0xFF0000})
        c->RebuildLayers(), c->SetColor(col), c->RebuildLayers();
    EXPECT_EQ(c->builds, 0) << "nothing is drawn while nobody can see it";

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(c->builds, 1);
    EXPECT_EQ(c->layerColor, 0xFF0000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c->paintsWithBuiltLayers > 0; }, 2000));

    // Visible, it draws at once, as before.
    c->SetColor(0x123456);
    c->RebuildLayers();
    EXPECT_EQ(c->builds, 2);
    EXPECT_EQ(c->layerColor, 0x123456);
}

TEST(DeferredLayers, RenderingOrAskingAHiddenControlDrawsItFirst)
{
    TCountingControl c;
    c.resize(10, 10);
    c.SetColor(0x00AA00);
    c.RebuildLayers();
    const int before = c.builds;
    c.RenderBuffer();
    EXPECT_EQ(c.builds, before + 1);
    EXPECT_EQ(c.layerColor, 0x00AA00);
    c.RenderBuffer();
    EXPECT_EQ(c.builds, before + 1) << "drawn once, not on every render";

    c.SetColor(0x0000AA);
    c.RebuildLayers();
    c.EnsureLayers();
    EXPECT_EQ(c.builds, before + 2);
    EXPECT_EQ(c.layerColor, 0x0000AA);
}

TEST(DeferredLayers, ControlOnAHiddenPageIsDrawnWhenItsPageIsOpened)
{
    QTabWidget tabs;
    tabs.resize(200, 120);
    auto* page1 = new QWidget;
    auto* page2 = new QWidget;
    tabs.addTab(page1, QStringLiteral("1"));
    tabs.addTab(page2, QStringLiteral("2"));
    auto* c = new TCountingControl(page2);
    c->resize(30, 30);
    tabs.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    const int shownBuilds = c->builds;
    c->SetColor(0x445566);
    c->RebuildLayers();
    EXPECT_EQ(c->builds, shownBuilds) << "its page is not open";
    tabs.setCurrentIndex(1);
    EXPECT_EQ(c->builds, shownBuilds + 1);
    EXPECT_EQ(c->layerColor, 0x445566);
}

// The real controls: what a hidden one returns is what it would have drawn.
TEST(DeferredLayers, HiddenButtonAndPanelAnswerWithTheirCurrentColours)
{
    TRbButton b;
    b.Colors().SetDefaultFrom(0x0000FF);
    b.Colors().SetDefaultTo(0x0000FF);
    EXPECT_EQ(At(b.NormalLayer(), 10, 10), (TRgb{255, 0, 0}));
    b.Colors().SetDefaultFrom(0x00FF00);
    b.Colors().SetDefaultTo(0x00FF00);
    EXPECT_EQ(At(b.NormalLayer(), 10, 10), (TRgb{0, 255, 0}));

    TRbPanel p;
    p.resize(40, 40);
    p.SetColor(0x0000FF);
    const QImage first = p.PanelImage();
    p.SetColor(0xFF0000);
    EXPECT_NE(p.PanelImage(), first) << "a hidden panel answers with its new colour";
}
