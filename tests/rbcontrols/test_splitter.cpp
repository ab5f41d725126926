#include "rbcontrols/RbSplitter.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

TRgb At(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return TRgb{p[0], p[1], p[2]};
}

const TRgb kWhite{255, 255, 255}, kGray{128, 128, 128}, kSilver{192, 192, 192};

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const QPointF local(pos);
    QMouseEvent e(type, local, w->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Press at from, move by delta along the split axis, release.
void Drag(TRbSplitter* s, QPoint from, QPoint delta)
{
    Mouse(s, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(s, QEvent::MouseMove, from + delta, Qt::LeftButton);
    Mouse(s, QEvent::MouseButtonRelease, from + delta, Qt::NoButton);
}

// A splitter whose face is one flat colour, so the grip stands out.
void FlatFace(TRbSplitter& s, TColor c)
{
    s.SetColor(c);
    s.Colors().SetDefaultFrom(c);
    s.Colors().SetDefaultTo(c);
    s.Colors().SetOverFrom(c);
    s.Colors().SetOverTo(c);
}

} // namespace

TEST(Splitter, GripIsAColumnWhenSideAlignedAndARowWhenTopAligned)
{
    TRbSplitter s;
    s.resize(5, 120);
    s.SetAlign(alLeft);
    FlatFace(s, RGBColor(0, 0, 200));
    EXPECT_EQ(s.GripAlign(), gaVertical);
    const QImage& col = s.NormalLayer();
    // Centre (1, 60); the dot at k = -40 has its top-left at (1, 20).
    EXPECT_EQ(At(col, 1, 20), kWhite);
    EXPECT_EQ(At(col, 2, 20), kGray);
    EXPECT_EQ(At(col, 1, 21), kGray);
    EXPECT_EQ(At(col, 2, 21), kGray);
    EXPECT_EQ(At(col, 3, 21), kWhite);
    EXPECT_EQ(At(col, 2, 22), kSilver);
    EXPECT_EQ(At(col, 3, 22), kWhite);
    EXPECT_EQ(At(col, 3, 20), ResolveColor(RGBColor(0, 0, 200))); // untouched corner
    EXPECT_EQ(At(col, 1, 98), kWhite);                                // the 27th dot, k = +38
    EXPECT_EQ(At(col, 1, 101), ResolveColor(RGBColor(0, 0, 200)));   // no 28th

    s.SetAlign(alTop);
    s.resize(120, 5);
    EXPECT_EQ(s.GripAlign(), gaHorizontal);
    const QImage row = s.RenderBuffer(); // a hidden splitter rebuilds when it paints
    EXPECT_EQ(At(row, 20, 1), kWhite); // centre (60, 1), first dot at x = 20
    EXPECT_EQ(At(row, 21, 3), kSilver);
    EXPECT_EQ(At(row, 98, 1), kWhite);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&s);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Splitter);
}

TEST(Splitter, WithoutDrawAllOnlyTheBandAroundTheGripIsGraded)
{
    TRbSplitter s;
    s.resize(6, 200);
    s.SetColor(RGBColor(10, 10, 10));
    s.SetShowGrip(false);
    s.Colors().SetDefaultFrom(RGBColor(250, 0, 0));
    s.Colors().SetDefaultTo(RGBColor(250, 0, 0));
    s.SetDrawAll(false);
    // The grip centre is at y = 100: the band covers 60 .. 139.
    EXPECT_EQ(At(s.NormalLayer(), 3, 59), (TRgb{10, 10, 10}));
    EXPECT_EQ(At(s.NormalLayer(), 3, 60), (TRgb{250, 0, 0}));
    EXPECT_EQ(At(s.NormalLayer(), 3, 139), (TRgb{250, 0, 0}));
    EXPECT_EQ(At(s.NormalLayer(), 3, 140), (TRgb{10, 10, 10}));
    s.SetDrawAll(true);
    EXPECT_EQ(At(s.NormalLayer(), 3, 0), (TRgb{250, 0, 0}));
}

TEST(Splitter, ANewColourShowsAtTheNextPaint)
{
    QWidget host;
    host.setAutoFillBackground(true);
    auto* s = new TRbSplitter(&host);
    s->resize(6, 200);
    s->SetShowGrip(false);
    s->SetDrawAll(false);
    s->SetColor(RGBColor(10, 10, 10));
    EXPECT_EQ(At(s->RenderBuffer(), 3, 10), (TRgb{10, 10, 10}));
    s->SetColor(RGBColor(0, 90, 0));
    EXPECT_EQ(At(s->RenderBuffer(), 3, 10), (TRgb{0, 90, 0}));
    // Following the parent again picks up the parent's colour.
    QPalette pal = host.palette();
    pal.setColor(host.backgroundRole(), QColor(1, 2, 3));
    host.setPalette(pal);
    s->SetParentColor(true);
    EXPECT_EQ(At(s->RenderBuffer(), 3, 10), (TRgb{1, 2, 3}));
    EXPECT_EQ(s->focusPolicy(), Qt::NoFocus);
}

TEST(Splitter, HoverFadeTickByTick)
{
    TRbSplitter s;
    s.resize(5, 100);
    s.SetFadeSpeed(fsVeryFast);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&s, &enter);
    EXPECT_TRUE(s.MouseInside());
    EXPECT_TRUE(s.FadeRunning());
    EXPECT_EQ(s.FadeTimerInterval(), 8);
    std::vector<int> levels;
    while (s.FadeRunning() && levels.size() < 20) {
        s.FadeTick();
        levels.push_back(s.HoverLevel());
    }
    EXPECT_EQ(levels, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));

    // Leaving half-way back in.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&s, &leave);
    EXPECT_FALSE(s.MouseInside());
    for (int i = 0; i < 5; ++i)
        s.FadeTick();
    EXPECT_EQ(s.HoverLevel(), 50);
    // The hot layer shows in proportion.
    FlatFace(s, clBlack);
    s.Colors().SetOverFrom(clWhite);
    s.Colors().SetOverTo(clWhite);
    s.SetShowGrip(false);
    EXPECT_EQ(At(s.RenderBuffer(), 2, 50), (TRgb{128, 128, 128}));
    levels.clear();
    while (s.FadeRunning() && levels.size() < 20) {
        s.FadeTick();
        levels.push_back(s.HoverLevel());
    }
    EXPECT_EQ(levels, (std::vector<int>{40, 30, 20, 10, 0, 0}));
}

TEST(Splitter, DragResizesTheNeighbourInALayout)
{
    QWidget host;
    host.resize(170, 300);
    auto* lay = new QVBoxLayout(&host);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    auto* top = new QWidget;
    top->setFixedHeight(119);
    auto* splitter = new TRbSplitter;
    splitter->setFixedHeight(6);
    splitter->SetAlign(alTop);
    splitter->SetMinSize(50);
    splitter->SetResizeStyle(rsUpdate);
    auto* rest = new QWidget;
    lay->addWidget(top);
    lay->addWidget(splitter);
    lay->addWidget(rest, 1);
    host.show();
    lay->activate();
    ASSERT_EQ(splitter->ResizeControl(), top);

    Drag(splitter, QPoint(50, 3), QPoint(0, 30));
    lay->activate();
    EXPECT_EQ(top->height(), 149);
    EXPECT_EQ(splitter->y(), 149);

    // Not below MinSize (without snapping), nor past the room below.
    splitter->SetAutoSnap(false);
    Drag(splitter, QPoint(50, 3), QPoint(0, -140));
    lay->activate();
    EXPECT_EQ(top->height(), 50);
    Drag(splitter, QPoint(50, 3), QPoint(0, 500));
    lay->activate();
    EXPECT_EQ(top->height(), 300 - 6 - 50);

    // Snapping collapses it instead.
    splitter->SetAutoSnap(true);
    Drag(splitter, QPoint(50, 3), QPoint(0, -400));
    lay->activate();
    EXPECT_EQ(top->height(), 0);
}

TEST(Splitter, DragResizesAFreelyPlacedNeighbourOnRelease)
{
    QWidget host;
    host.resize(400, 200);
    auto* left = new QWidget(&host);
    left->setGeometry(0, 0, 100, 200);
    auto* other = new QWidget(&host); // not touching the splitter's side
    other->setGeometry(300, 0, 100, 200);
    auto* splitter = new TRbSplitter(&host);
    splitter->setGeometry(100, 0, 5, 200);
    splitter->SetAlign(alLeft);
    host.show();
    ASSERT_EQ(splitter->ResizeControl(), left);

    // The default style applies the size when the button comes up.
    Mouse(splitter, QEvent::MouseButtonPress, QPoint(2, 50), Qt::LeftButton);
    Mouse(splitter, QEvent::MouseMove, QPoint(42, 50), Qt::LeftButton);
    EXPECT_EQ(left->width(), 100);
    Mouse(splitter, QEvent::MouseButtonRelease, QPoint(42, 50), Qt::NoButton);
    EXPECT_EQ(left->width(), 140);
    EXPECT_EQ(splitter->x(), 140);
    EXPECT_EQ(other->geometry(), QRect(300, 0, 100, 200));

    // A right-aligned one grows its neighbour leftwards.
    auto* right = new QWidget(&host);
    right->setGeometry(300, 0, 100, 200);
    right->show();
    other->hide();
    auto* rs = new TRbSplitter(&host);
    rs->setGeometry(295, 0, 5, 200);
    rs->SetAlign(alRight);
    rs->SetResizeStyle(rsUpdate);
    ASSERT_EQ(rs->ResizeControl(), right);
    Drag(rs, QPoint(2, 50), QPoint(-20, 0));
    EXPECT_EQ(right->geometry(), QRect(280, 0, 120, 200));
    EXPECT_EQ(rs->x(), 275);
}
