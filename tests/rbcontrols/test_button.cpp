#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbDrawCore.h"
#include "rbcontrols/RbMetaProperties.h"
#include "rb_test_util.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace rbtest;

namespace {

QImage SolidGlyph(int w, int h, QColor ink, QColor key)
{
    QImage g(w, h, QImage::Format_RGB888);
    g.fill(ink);
    g.setPixelColor(0, h - 1, key); // the transparent colour
    return g;
}

} // namespace

TEST(Button, DefaultsAndPropertyOrder)
{
    TRbButton b;
    EXPECT_EQ(b.size(), QSize(75, 25));
    EXPECT_EQ(b.NormalLayer().size(), QSize(75, 25));
    EXPECT_EQ(b.FadeSpeed(), fsMedium);
    EXPECT_EQ(b.Spacing(), 2);
    EXPECT_EQ(b.GradientType(), gtVertical);
    b.SetSpacing(-4);
    EXPECT_EQ(b.Spacing(), 0);
    QStringList names;
    for (const QMetaProperty& p : TRbStyleObject(&b).Properties())
        names << QString::fromLatin1(p.name());
    EXPECT_EQ(names.mid(0, 5), QStringList({"Color", "Font", "TextShadow", "ShowCaption", "About"}));
    EXPECT_EQ(names.mid(5), QStringList({"Caption", "ModalResult", "Spacing", "Layout", "Colors", "FadeSpeed",
                                         "ShowFocusRect", "HotTrack", "Default", "Cancel", "GradientBorder",
                                         "GroupIndex", "AllowAllUp", "Down", "GradientType"}));
}

TEST(Button, LayersFollowColoursAndSize)
{
    TRbButton b;
    b.Colors().SetDefaultFrom(RGBColor(10, 20, 30));
    EXPECT_EQ(At(b.NormalLayer(), 0, 0), (TRgb{10, 20, 30}));
    b.resize(40, 30);
    QResizeEvent re(QSize(40, 30), QSize(75, 25));
    QApplication::sendEvent(&b, &re);
    EXPECT_EQ(b.NormalLayer().size(), QSize(40, 30));
    b.SetGradientType(gtHorizontal);
    // horizontal: the bottom-left pixel is the start colour now
    EXPECT_EQ(At(b.NormalLayer(), 0, 29), (TRgb{10, 20, 30}));
}

TEST(Button, PaintShowsParentColourInTheCornersAndTheBorder)
{
    TRbButton b;
    b.SetColor(RGBColor(200, 0, 0));
    b.Colors().SetBorderColor(RGBColor(0, 0, 200));
    const QImage img = b.RenderBuffer();
    EXPECT_EQ(At(img, 0, 0), (TRgb{200, 0, 0}));
    EXPECT_EQ(At(img, 74, 24), (TRgb{200, 0, 0}));
    EXPECT_EQ(At(img, 37, 0), (TRgb{0, 0, 200}));  // top edge
    EXPECT_EQ(At(img, 0, 12), (TRgb{0, 0, 200}));  // left edge
    EXPECT_EQ(At(img, 74, 12), (TRgb{0, 0, 200})); // right edge
}

TEST(Button, PressedLookKeepsARimWithGradientBorder)
{
    TRbButton b;
    b.Colors().SetDefaultFrom(clWhite);
    b.Colors().SetDefaultTo(clWhite);
    b.Colors().SetClickedFrom(clBlack);
    b.Colors().SetClickedTo(clBlack);
    b.SetShowCaption(false);
    Mouse(&b, QEvent::MouseButtonPress);
    for (int i = 0; i < 5; ++i)
        b.FadeTick();
    ASSERT_EQ(b.PressLevel(), 100);
    QImage img = b.RenderBuffer();
    EXPECT_EQ(At(img, 2, 12), (TRgb{255, 255, 255})); // rim
    EXPECT_EQ(At(img, 3, 12), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(img, 71, 12), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(img, 72, 12), (TRgb{255, 255, 255}));
    b.SetGradientBorder(false);
    img = b.RenderBuffer();
    EXPECT_EQ(At(img, 2, 12), (TRgb{0, 0, 0}));
}

TEST(Button, FadeFollowsThePointerAndItsOwnSpeed)
{
    TRbButton b;
    b.SetFadeSpeed(fsVeryFast);
    Enter(&b);
    EXPECT_TRUE(b.MouseInside());
    EXPECT_EQ(b.FadeStep(), TRbCustomControl::FadeIn);
    EXPECT_TRUE(b.FadeRunning());
    EXPECT_EQ(b.FadeTimerInterval(), 8);
    for (int i = 0; i < 10; ++i)
        b.FadeTick();
    EXPECT_EQ(b.HoverLevel(), 100);
    EXPECT_FALSE(b.FadeRunning());

    Mouse(&b, QEvent::MouseButtonPress);
    EXPECT_TRUE(b.Pressed());
    b.FadeTick();
    EXPECT_EQ(b.PressLevel(), 25);
    Mouse(&b, QEvent::MouseButtonRelease);
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(b.FadeStep(), TRbCustomControl::FadeIn);
    b.FadeTick();
    EXPECT_EQ(b.PressLevel(), 0);
    EXPECT_FALSE(b.FadeRunning());

    Leave(&b);
    EXPECT_FALSE(b.MouseInside());
    EXPECT_EQ(b.FadeStep(), TRbCustomControl::FadeOut);
    b.FadeTick();
    EXPECT_EQ(b.HoverLevel(), 90);
}

TEST(Button, GroupsDownAndAllowAllUp)
{
    QWidget panel;
    TRbButton a(&panel), b(&panel), c(&panel);
    TRbButton other(&panel); // another group
    for (TRbButton* x : {&a, &b, &c})
        x->SetGroupIndex(1);
    other.SetGroupIndex(2);
    other.SetDown(true);
    a.SetDown(true);
    ASSERT_TRUE(a.Down());

    LeftClick(&b);
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    EXPECT_FALSE(c.Down());
    EXPECT_TRUE(other.Down()); // other groups are left alone
    EXPECT_TRUE(b.Pressed());  // keeps the pressed look

    LeftClick(&b); // again: stays down without AllowAllUp
    EXPECT_TRUE(b.Down());
    b.SetDown(false);
    EXPECT_TRUE(b.Down());

    b.SetAllowAllUp(true);
    LeftClick(&b);
    EXPECT_FALSE(b.Down());

    TRbButton plain(&panel);
    plain.SetDown(true); // group 0
    EXPECT_FALSE(plain.Down());
    LeftClick(&plain);
    EXPECT_FALSE(plain.Down());
}

TEST(Button, DownButtonKeepsItsLookWhenThePointerLeaves)
{
    QWidget panel;
    TRbButton b(&panel);
    b.SetGroupIndex(1);
    Enter(&b);
    LeftClick(&b);
    ASSERT_TRUE(b.Down());
    Leave(&b);
    EXPECT_TRUE(b.MouseInside());
    EXPECT_EQ(b.FadeStep(), TRbCustomControl::FadeIn);
}

TEST(Button, GlyphLayouts)
{
    TRbButton b;
    b.resize(100, 40);
    b.SetCaption(QString());
    b.SetGlyph(SolidGlyph(16, 16, Qt::red, Qt::white));
    b.SetSpacing(4);
    struct Want {
        TButtonLayout layout;
        QRect caption;
        QPoint glyph; // without caption
    };
    // W 100, H 40, G 16 x 16, S 4; caption rectangle shifted by 20
    const Want wants[] = {
        {blGlyphLeft, QRect(20, 0, 80, 40), QPoint((20 + 100 - 4) / 2 - 16, 12)},
        {blGlyphRight, QRect(-20, 0, 120, 40), QPoint((-20 + 100) / 2 + 4, 12)},
        {blGlyphTop, QRect(0, 20, 100, 20), QPoint(42, (20 + 40) / 2 - 4 - 16)},
        {blGlyphBottom, QRect(0, -20, 100, 60), QPoint(42, (-20 + 40) / 2 + 4)},
    };
    for (const Want& w : wants) {
        b.SetLayout(w.layout);
        EXPECT_EQ(b.CaptionRect(), w.caption) << w.layout;
        EXPECT_EQ(b.GlyphPosition(), w.glyph) << w.layout;
        const QImage img = b.RenderBuffer();
        const QPoint g = b.GlyphPosition();
        EXPECT_EQ(At(img, g.x() + 8, g.y() + 8), (TRgb{255, 0, 0})) << w.layout;
    }

    // With a caption the glyph stands beside the text.
    b.SetCaption(QStringLiteral("Прочитать"));
    const QFontMetrics fm(b.Font().ToQFont());
    const int tw = fm.horizontalAdvance(b.Caption()), th = fm.height();
    b.SetLayout(blGlyphLeft);
    EXPECT_EQ(b.GlyphPosition(), QPoint((20 + 100 - tw) / 2 - 4 - 16, 12));
    b.SetLayout(blGlyphTop);
    EXPECT_EQ(b.GlyphPosition(), QPoint(42, (20 + 40 - th) / 2 - 4 - 16));
    b.SetShowCaption(false); // a hidden caption counts as none
    EXPECT_EQ(b.GlyphPosition(), QPoint(42, (20 + 40) / 2 - 4 - 16));
}

TEST(Button, GlyphTransparencyFromTheBottomLeftPixel)
{
    TRbButton b;
    b.SetShowCaption(false);
    b.SetGlyph(SolidGlyph(8, 8, Qt::red, Qt::white));
    const QPoint g = b.GlyphPosition();
    const QImage plain = [] {
        TRbButton c;
        c.SetShowCaption(false);
        return c.RenderBuffer();
    }();
    const QImage img = b.RenderBuffer();
    EXPECT_EQ(At(img, g.x(), g.y() + 7), At(plain, g.x(), g.y() + 7)); // keyed out
    EXPECT_EQ(At(img, g.x() + 1, g.y() + 7), (TRgb{255, 0, 0}));
}

TEST(Button, DisabledShowsAGreyGlyphAndAnEmbossedCaption)
{
    TRbButton b;
    b.resize(120, 30);
    QResizeEvent re(QSize(120, 30), QSize(75, 25));
    QApplication::sendEvent(&b, &re);
    b.SetCaption(QStringLiteral("ЖЖЖ"));
    b.Font().SetHeight(-20);
    b.Font().SetStyle(fsBold);
    b.Font().SetColor(RGBColor(0, 0, 255));
    b.Colors().SetTextShadow(RGBColor(255, 0, 0));
    b.Colors().SetDefaultFrom(RGBColor(100, 100, 100));
    b.Colors().SetDefaultTo(RGBColor(100, 100, 100));
    b.SetGlyph(SolidGlyph(16, 16, QColor(255, 0, 0), Qt::white));
    b.SetEnabled(false);
    const QImage img = b.RenderBuffer();
    const QPoint g = b.GlyphPosition();
    // red: grey 85 plus 64
    EXPECT_EQ(At(img, g.x() + 5, g.y() + 5), (TRgb{149, 149, 149}));
    int lo = 0, hi = 0, ink = 0, shadow = 0;
    const TRgb loC = ResolveColor(clBtnShadow), hiC = ResolveColor(clBtnHighlight);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const TRgb p = At(img, x, y);
            lo += p == loC;
            hi += p == hiC;
            ink += p == TRgb{0, 0, 255};
            shadow += p == TRgb{255, 0, 0};
        }
    EXPECT_GT(lo, 20);
    EXPECT_GT(hi, 5);
    EXPECT_EQ(ink, 0);
    EXPECT_EQ(shadow, 0);
}

TEST(Button, HotTrackColoursTheCaptionWhileInside)
{
    TRbButton b;
    b.SetCaption(QStringLiteral("ЖЖ"));
    b.Font().SetHeight(-20);
    b.Font().SetStyle(fsBold);
    b.Colors().SetHotTrack(RGBColor(0, 200, 0));
    b.SetTextShadow(false);
    auto count = [&] {
        const QImage img = b.RenderBuffer();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += At(img, x, y) == TRgb{0, 200, 0};
        return n;
    };
    Enter(&b);
    EXPECT_EQ(count(), 0); // HotTrack off
    b.SetHotTrack(true);
    EXPECT_GT(count(), 10);
    Leave(&b);
    EXPECT_EQ(count(), 0);
}

namespace {

struct Window {
    QDialog dlg;
    QLineEdit* edit = new QLineEdit(&dlg);
    TRbButton* ok = new TRbButton(&dlg);
    TRbButton* cancel = new TRbButton(&dlg);
    TRbButton* other = new TRbButton(&dlg);
    int okClicks = 0, cancelClicks = 0, otherClicks = 0;

    Window()
    {
        ok->move(0, 30);
        cancel->move(80, 30);
        other->move(160, 30);
        QObject::connect(ok, &TRbButton::clicked, [this] { ++okClicks; });
        QObject::connect(cancel, &TRbButton::clicked, [this] { ++cancelClicks; });
        QObject::connect(other, &TRbButton::clicked, [this] { ++otherClicks; });
        ok->SetDefault(true);
        cancel->SetCancel(true);
        dlg.show();
        dlg.activateWindow();
        edit->setFocus();
        QApplication::processEvents();
    }
};

} // namespace

TEST(ButtonKeys, SpaceAndEnterOnTheFocusedButton)
{
    Window w;
    w.other->setFocus();
    ASSERT_TRUE(w.other->hasFocus());
    QTest::keyClick(w.other, Qt::Key_Space);
    EXPECT_EQ(w.otherClicks, 1);
    QTest::keyClick(w.other, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(w.otherClicks, 1);
    QTest::keyClick(w.other, Qt::Key_Return);
    EXPECT_EQ(w.otherClicks, 2);
    EXPECT_EQ(w.okClicks, 0); // the focused button answers Enter, not the default one
}

TEST(ButtonKeys, EnterReachesTheDefaultAndEscapeTheCancelButton)
{
    Window w;
    ASSERT_TRUE(w.edit->hasFocus());
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.okClicks, 1);
    QTest::keyClick(w.edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w.okClicks, 2);
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_EQ(w.cancelClicks, 1);
    for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        QTest::keyClick(w.edit, Qt::Key_Escape, m);
        EXPECT_EQ(w.cancelClicks, 1) << m;
    }
    w.cancel->SetEnabled(false); // cannot take the focus: no click
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_EQ(w.cancelClicks, 1);
    EXPECT_EQ(w.otherClicks, 0);
}

TEST(ButtonModalResult, ClosesTheModalDialogAfterTheHandlers)
{
    QDialog dlg;
    auto* yes = new TRbButton(&dlg);
    yes->SetModalResult(6);
    bool visibleInHandler = false;
    QObject::connect(yes, &TRbButton::clicked, [&] { visibleInHandler = dlg.isVisible(); });
    QTimer::singleShot(0, yes, [yes] { LeftClick(yes); });
    EXPECT_EQ(dlg.exec(), 6);
    EXPECT_TRUE(visibleInHandler);
}

TEST(ButtonModalResult, ZeroLeavesTheDialogOpen)
{
    QDialog dlg;
    auto* none = new TRbButton(&dlg);
    bool stillOpen = false;
    QTimer::singleShot(0, none, [&] {
        LeftClick(none);
        stillOpen = dlg.isVisible();
        dlg.done(3);
    });
    EXPECT_EQ(dlg.exec(), 3);
    EXPECT_TRUE(stillOpen);
}
