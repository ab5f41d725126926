#include "ind_fixture.h"

#include <gtest/gtest.h>

TEST(IndicatorProperties, DefaultsAndIgnoredWrites)
{
    TIndPage page;
    auto* ind = page.Default();
    EXPECT_EQ(ind->size(), QSize(172, 36));
    EXPECT_EQ(ind->SignNumber(), 10);
    EXPECT_EQ(ind->UnlitPolygons().Count(), 80);
    EXPECT_FALSE(ind->RebuildPending());

    ind->SetSignNumber(0);
    ind->SetSignNumber(-3);
    ind->SetIndicatorWidth(0);
    ind->SetIndicatorHeight(-5);
    ind->SetInnerBevelWidth(0);
    ind->SetOuterBevelWidth(-1);
    ind->SetIndicatorGap(2);             // equal
    ind->SetNumberForeColor(0x363636);   // equal
    ind->SetIndicatorstring(QByteArray());
    EXPECT_EQ(ind->SignNumber(), 10);
    EXPECT_EQ(ind->IndicatorWidth(), 172);
    EXPECT_EQ(ind->IndicatorHeight(), 36);
    EXPECT_EQ(ind->InnerBevelWidth(), 2);
    EXPECT_EQ(ind->OuterBevelWidth(), 2);
    EXPECT_FALSE(ind->RebuildPending());

    ind->SetIndicatorGap(-1);  // negative gaps are accepted
    EXPECT_EQ(ind->IndicatorGap(), -1);
    ind->SetSignNumber(6);
    Flush(ind);
    EXPECT_EQ(ind->UnlitPolygons().Count(), 48);
}

TEST(IndicatorProperties, SchemeBeforeAndAfterLoading)
{
    TIndPage page;
    auto* ind = new TLiquidIndicator(page.page.get());
    ind->SetNumberForeColor(0x800080);
    ind->SetColorScheme(csPlasma);  // not loaded: only stored
    EXPECT_EQ(ind->ColorScheme(), csPlasma);
    EXPECT_EQ(ind->NumberForeColor(), 0x800080);
    EXPECT_EQ(ind->BackColor(), 0xDDDDDD);
    ind->Loaded();
    EXPECT_EQ(ind->NumberForeColor(), 0x800080);

    ind->SetColorScheme(csPlasma);  // the same scheme again sets its colours
    EXPECT_EQ(ind->BackColor(), 0x000080);
    EXPECT_EQ(ind->BevelColor(), 0x000080);
    EXPECT_EQ(ind->NumberBackColor(), 0x400080);
    EXPECT_EQ(ind->NumberForeColor(), 0x48BFFF);
    EXPECT_EQ(ind->NumberForeColor1(), 0x80FFFF);

    ind->SetNumberForeColor(0x123456);
    ind->SetColorScheme(csPlasma);
    EXPECT_EQ(ind->NumberForeColor(), 0x48BFFF);
    ind->SetColorScheme(csVarno);
    EXPECT_EQ(ind->NumberBackColor(), 0x804000);
}

TEST(IndicatorProperties, SeveralWritesGiveOneRebuild)
{
    TIndPage page;
    auto* ind = page.IndT("23,5");
    const int before = ind->RebuildCount();
    ind->SetColorScheme(csBlack);
    ind->SetNumberForeColor(0x00FF00);
    ind->SetIndicatorstring("-4.5");
    ind->SetIndicatorGap(3);
    ind->SetIndicatorStyle(isThin);
    EXPECT_EQ(ind->RebuildCount(), before);
    EXPECT_TRUE(ind->RebuildPending());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ind->RebuildCount(), before + 1);
    // The rebuild saw the explicit colour written after the scheme.
    EXPECT_EQ(ind->NumberForeColor(), 0x00FF00);
    EXPECT_EQ(ind->LitPolygons().Count(), 1 + 4 + 1 + 5);  // - 4. 5
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ind->RebuildCount(), before + 1);
}

TEST(IndicatorProperties, PaintNeverShowsAStalePicture)
{
    TIndPage page;
    auto* ind = page.IndT("8");
    ind->SetBackColor(0x0000FF);
    const QImage shot = ind->grab().toImage();  // before the posted rebuild ran
    EXPECT_EQ(shot.pixel(50, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_FALSE(ind->RebuildPending());
}

TEST(IndicatorProperties, MaterialsAreNeverIgnored)
{
    TIndPage page;
    auto* ind = page.IndT("1");
    const QImage m = Solid(2, 2, 9, 9, 9);
    const int before = ind->RebuildCount();
    ind->SetBackMaterial(m);
    Flush(ind);
    ind->SetBackMaterial(m);
    Flush(ind);
    EXPECT_EQ(ind->RebuildCount(), before + 2);
}

TEST(IndicatorSize, AngleWritesResizeToTheTurnedBox)
{
    TIndPage page;
    auto* ind = page.IndT();
    EXPECT_EQ(ind->size(), QSize(209, 49));
    EXPECT_EQ(ind->pos(), QPoint(60, 16));
    ind->SetIndicatorAngle(900);
    EXPECT_EQ(ind->size(), QSize(49, 209));
    ind->SetIndicatorAngle(450);
    EXPECT_EQ(ind->size(), QSize(182, 182));
    EXPECT_EQ(ind->pos(), QPoint(60, 16));
    Flush(ind);
    EXPECT_EQ(ind->Image().size(), QSize(182, 182));
    ind->SetIndicatorWidth(100);  // loaded: follows at once
    EXPECT_EQ(ind->size(), RotatedBoundingBox(100, 49, 450));

    // Before loading only the value is stored.
    auto* fresh = new TLiquidIndicator(page.page.get());
    fresh->SetIndicatorAngle(900);
    fresh->SetIndicatorWidth(209);
    fresh->SetIndicatorHeight(49);
    EXPECT_EQ(fresh->size(), QSize(172, 36));
    fresh->Loaded();
    EXPECT_EQ(fresh->size(), QSize(49, 209));
}

TEST(IndicatorSize, OutsideResizeFollowsTheAngle)
{
    TIndPage page;
    auto* ind = page.IndT();
    page.page->show();  // resize notifications reach visible widgets at once

    ind->resize(300, 60);
    EXPECT_EQ(ind->IndicatorWidth(), 300);
    EXPECT_EQ(ind->IndicatorHeight(), 60);
    Flush(ind);
    EXPECT_EQ(ind->Image().size(), QSize(300, 60));

    ind->SetIndicatorAngle(900);
    EXPECT_EQ(ind->size(), QSize(60, 300));
    ind->resize(80, 250);
    EXPECT_EQ(ind->IndicatorWidth(), 250);
    EXPECT_EQ(ind->IndicatorHeight(), 80);

    ind->SetIndicatorAngle(450);
    const QSize box = RotatedBoundingBox(250, 80, 450);
    EXPECT_EQ(ind->size(), box);
    ind->resize(300, 60);  // oblique: snaps back
    EXPECT_EQ(ind->size(), box);
    EXPECT_EQ(ind->IndicatorWidth(), 250);
    EXPECT_EQ(ind->IndicatorHeight(), 80);
}

TEST(IndicatorMouse, EnterAndLeave)
{
    TIndPage page;
    auto* ind = page.IndT("42");
    std::vector<std::string> calls;
    QObject::connect(ind, &TLiquidIndicator::mouseEntered, [&] { calls.push_back("enter"); });
    QObject::connect(ind, &TLiquidIndicator::mouseLeft, [&] { calls.push_back("exit"); });
    const QImage before = ind->Image();
    const int count = ind->RebuildCount();

    MouseEnter(ind);
    EXPECT_TRUE(ind->MouseInside());
    Flush(ind);
    MouseLeave(ind);
    EXPECT_FALSE(ind->MouseInside());
    Flush(ind);
    EXPECT_EQ(calls, (std::vector<std::string>{"enter", "exit"}));
    EXPECT_EQ(ind->RebuildCount(), count + 2);  // maNone: rebuilt, nothing changed
    EXPECT_EQ(ind->Image(), before);

    // maWidth: thicker segments while the mouse is over the indicator.
    ind->SetMouseAction(maWidth);
    Flush(ind);
    const QImage thin = ind->Image();
    // Right edge of b in cell 4 on row 12: x = 32.3 normally, 33.2 with
    // t = 37 / 9; so the pixel (32, 12) of the cell, at (155, 18), turns lit.
    EXPECT_EQ(Px(ind, 155, 18), 0xDDDDDDu);
    MouseEnter(ind);
    Flush(ind);
    EXPECT_EQ(Px(ind, 155, 18), 0x800080u);
    MouseLeave(ind);
    Flush(ind);
    EXPECT_EQ(ind->Image(), thin);
}

TEST(IndicatorText, UnicodeTextBecomesWindows1251)
{
    TIndPage page;
    auto* ind = page.IndT();
    ind->SetIndicatorText(QStringLiteral("25°"));
    EXPECT_EQ(ind->Indicatorstring(), QByteArray("25\xB0"));
    Flush(ind);
    EXPECT_EQ(ind->LitPolygons().Count(), 5 + 5 + 4);
}
