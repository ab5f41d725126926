// The indicator's look properties and their change signals.
#include "../rbcontrols/notify_check.h"

#include "ind_fixture.h"

TEST(IndicatorNotify, EveryLookPropertyTellsEachChangeOnce)
{
    TIndPage page;
    for (const bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "loaded" : "being set up");
        auto* ind = new TLiquidIndicator(page.page.get());
        if (loaded)
            ind->Loaded();
        notifytest::CheckEveryProperty(*ind);
    }
    // What the style dialog and the settings file deal with is among them.
    TLiquidIndicator ind;
    for (const char* name : {"ColorScheme", "IndicatorGap", "NumberForeColor", "NumberBackColor", "BackColor",
                             "BevelColor", "IndicatorKind", "IndicatorStyle", "SignNumber", "IndicatorWidth",
                             "IndicatorHeight", "IndicatorAngle", "InnerBevel", "OuterBevelWidth", "MaterialMode"})
        EXPECT_GE(ind.metaObject()->indexOfProperty(name), 0) << name;
    EXPECT_EQ(ind.property("IndicatorKind").value<TLiquidIndicatorKind>(), ik7segment);
    EXPECT_TRUE(ind.setProperty("IndicatorStyle", QVariant::fromValue(isThick)));
    EXPECT_EQ(ind.IndicatorStyle(), isThick);
}

TEST(IndicatorNotify, SchemeTellsTheColoursItChangesOnceLoaded)
{
    TIndPage page;
    TLiquidIndicator* ind = page.Default(); // csSilver
    ind->SetNumberForeColor(0x800080);
    {
        notifytest::TAllSpies spies(*ind);
        ind->SetColorScheme(csSilver); // the same scheme restores its colours
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"NumberForeColor x1"}));
        EXPECT_EQ(ind->NumberForeColor(), SchemeColors(csSilver).NumberForeColor);
    }
    {
        notifytest::TAllSpies spies(*ind);
        TColor seen = 0;
        QObject::connect(ind, &TLiquidIndicator::backColorChanged, [&] { seen = ind->NumberForeColor1(); });
        ind->SetColorScheme(csBlack);
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"ColorScheme x1", "BevelColor x1", "BackColor x1",
                                              "NumberForeColor x1", "NumberForeColor1 x1", "NumberBackColor x1"}));
        EXPECT_EQ(seen, SchemeColors(csBlack).NumberForeColor1) << "told once all five are stored";
    }
    // Before Loaded() a scheme is only stored: its colours come later.
    TLiquidIndicator fresh;
    notifytest::TAllSpies spies(fresh);
    fresh.SetColorScheme(csPlasma);
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"ColorScheme x1"}));
}

TEST(IndicatorNotify, ResizingGivesANewSizeAndTellsIt)
{
    TIndPage page;
    TLiquidIndicator* ind = page.IndT();
    page.page->show(); // resize notifications reach visible widgets at once
    notifytest::TAllSpies spies(*ind);
    ind->resize(240, 49);
    EXPECT_EQ(ind->IndicatorWidth(), 240);
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"IndicatorWidth x1"}));
    ind->SetIndicatorAngle(900); // upright: width and height trade places on a resize
    ind->resize(60, 240);
    EXPECT_EQ(ind->IndicatorHeight(), 60);
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"IndicatorWidth x1", "IndicatorHeight x1", "IndicatorAngle x1"}));
    ind->SetIndicatorAngle(450); // oblique: a resize snaps back and changes nothing
    ind->resize(300, 300);
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"IndicatorWidth x1", "IndicatorHeight x1", "IndicatorAngle x2"}));
    // Refused values are no change.
    ind->SetSignNumber(0);
    ind->SetIndicatorWidth(-5);
    ind->SetInnerBevelWidth(0);
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"IndicatorWidth x1", "IndicatorHeight x1", "IndicatorAngle x2"}));
}
