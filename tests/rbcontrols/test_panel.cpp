#include "rbcontrols/RbPanel.h"

#include <QAccessible>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <set>

namespace {

TRgb At(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return TRgb{p[0], p[1], p[2]};
}

// The first row from the top, in column x, that has the border colour.
int FirstBorderRow(const QImage& img, int x, TRgb border)
{
    for (int y = 0; y < img.height(); ++y)
        if (At(img, x, y) == border)
            return y;
    return -1;
}

} // namespace

TEST(PanelGeometry, ClientAreas)
{
    const QRect client(0, 0, 185, 105);
    // Any position but the group box: the border width plus one all round.
    EXPECT_EQ(TRbPanel::ClientAreaFor(client, cpTopLeft, 2, 14), QRect(QPoint(3, 3), QPoint(181, 101)));
    EXPECT_EQ(TRbPanel::ClientAreaFor(client, cpBottomRight, 5, 14), QRect(QPoint(6, 6), QPoint(178, 98)));
    // Group box: 9 off top and bottom for a 14-pixel caption, then 6 down.
    EXPECT_EQ(TRbPanel::ClientAreaFor(client, cpGroupBox, 2, 14), QRect(QPoint(3, 15), QPoint(181, 101)));
    EXPECT_EQ(TRbPanel::ClientAreaFor(client, cpGroupBox, 1, 17), QRect(QPoint(2, 17), QPoint(182, 101)));
    // A wide frame keeps the area off its bottom line (and below the top one).
    EXPECT_EQ(TRbPanel::ClientAreaFor(client, cpGroupBox, 6, 14), QRect(QPoint(7, 15), QPoint(177, 97)));
    EXPECT_EQ(TRbPanel::ClientAreaFor(client, cpGroupBox, 9, 14), QRect(QPoint(10, 17), QPoint(174, 94)));
}

TEST(Panel, ChildrenInALayoutStayInTheClientArea)
{
    TRbPanel panel;
    auto* lay = new QVBoxLayout(&panel);
    lay->setContentsMargins(0, 0, 0, 0); // the panel's own margins are the frame
    lay->setSpacing(0);
    auto* child = new QWidget;
    child->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    lay->addWidget(child);
    panel.show();

    const TRbCaptionPos positions[] = {cpTopLeft, cpGroupBox, cpMiddleCenter};
    const int borders[] = {2, 6};
    for (TRbCaptionPos pos : positions)
        for (int bw : borders) {
            panel.SetCaptionPosition(pos);
            panel.SetBorderWidth(bw);
            panel.resize(200, 120);
            lay->activate();
            EXPECT_EQ(child->geometry(), panel.ClientArea()) << int(pos) << " " << bw;
            EXPECT_TRUE(QRect(QPoint(bw, bw), QPoint(199 - bw, 119 - bw)).contains(child->geometry()));
        }
    panel.SetCaptionPosition(cpGroupBox);
    lay->activate();
    EXPECT_GE(child->y(), panel.CaptionHeight()); // below the caption on the frame line
}

TEST(Panel, DefaultsAndIgnoredValues)
{
    TRbPanel panel;
    EXPECT_EQ(panel.size(), QSize(185, 105));
    EXPECT_EQ(panel.Color(), 14933983);
    EXPECT_EQ(panel.Font().Color(), 13500416);
    EXPECT_EQ(panel.CaptionPosition(), cpTopLeft);
    EXPECT_TRUE(panel.Antialiased());

    panel.SetGradient(true); // refused while smoothed
    EXPECT_FALSE(panel.Gradient());
    panel.SetAntialiased(false);
    panel.SetGradient(true);
    EXPECT_TRUE(panel.Gradient());
    panel.SetAntialiased(true); // smoothing switches the gradient off
    EXPECT_FALSE(panel.Gradient());

    panel.SetBorderWidth(0);
    panel.SetBorderWidth(-3);
    EXPECT_EQ(panel.BorderWidth(), 2);
    panel.SetCornerWidth(-1);
    EXPECT_EQ(panel.CornerWidth(), 10);
    panel.SetCornerWidth(0);
    EXPECT_EQ(panel.CornerWidth(), 0);
}

TEST(Panel, ImageFrameFillAndSmoothedCorners)
{
    TRbPanel panel;
    panel.SetOuterColor(clWhite);
    panel.SetBorderColor(clBlack);
    panel.SetColor(RGBColor(200, 100, 50));
    const QImage& img = panel.PanelImage();
    ASSERT_EQ(img.size(), QSize(185, 105));
    const TRgb outer = ResolveColor(clWhite), fill = ResolveColor(RGBColor(200, 100, 50));
    EXPECT_EQ(At(img, 0, 0), outer);                  // outside the rounded corner
    EXPECT_EQ(At(img, 184, 104), outer);
    EXPECT_EQ(At(img, 92, 52), fill);                 // flat inside
    EXPECT_EQ(At(img, 92, 0).r, 0);                   // the top frame line
    EXPECT_EQ(At(img, 0, 52).r, 0);                   // the left one

    // Smoothing leaves shades between the three colours along the arc;
    // without it there are only the three.
    auto shades = [](const QImage& im) {
        std::set<int> s;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const TRgb c = At(im, x, y);
                s.insert(c.r << 16 | c.g << 8 | c.b);
            }
        return s.size();
    };
    EXPECT_GT(shades(img), 3u);
    panel.SetAntialiased(false);
    EXPECT_LE(shades(panel.PanelImage()), 3u);
}

TEST(Panel, CaptionPositionRebuildsOnlyIntoOrOutOfTheGroupBox)
{
    TRbPanel panel;
    panel.SetBorderColor(clBlack);
    const TRgb black{0, 0, 0};
    const qint64 first = panel.PanelImage().cacheKey();
    EXPECT_EQ(FirstBorderRow(panel.PanelImage(), 92, black), 0);

    panel.SetCaptionPosition(cpTopCenter);
    EXPECT_EQ(panel.PanelImage().cacheKey(), first);

    panel.SetCaptionPosition(cpGroupBox);
    EXPECT_NE(panel.PanelImage().cacheKey(), first);
    // The frame's top now runs through the middle of the caption line.
    const int th = panel.CaptionHeight();
    const int top = FirstBorderRow(panel.PanelImage(), 92, black);
    EXPECT_GE(top, th / 2 - 1);
    EXPECT_LE(top, th / 2 + 1);

    const qint64 group = panel.PanelImage().cacheKey();
    panel.SetCaptionPosition(cpBottomLeft);
    EXPECT_NE(panel.PanelImage().cacheKey(), group);
    EXPECT_EQ(FirstBorderRow(panel.PanelImage(), 92, black), 0);
}

TEST(Panel, GroupBoxCaptionClearsTheFrameLineBehindIt)
{
    TRbPanel panel;
    panel.SetBorderColor(clBlack);
    panel.SetOuterColor(clWhite);
    panel.SetTextShadow(false);
    panel.SetCaptionPosition(cpGroupBox);
    panel.SetCaption(QStringLiteral("        ")); // blanks: only the gap shows
    const QImage shown = panel.RenderBuffer();
    const int line = FirstBorderRow(panel.PanelImage(), 92, TRgb{0, 0, 0});
    ASSERT_GT(line, 0);
    const int a = (panel.CornerWidth() + panel.BorderWidth()) / 2;
    // Cleared behind the caption, whose text stands on the panel's colour.
    EXPECT_EQ(At(shown, a + 2, line), ResolveColor(panel.Color()));
    EXPECT_EQ(At(shown, 150, line).r, 0);                     // the line goes on after it
}

TEST(Panel, ColourChangesReachTheImage)
{
    QWidget parent;
    parent.resize(300, 200);
    auto* panel = new TRbPanel(&parent);
    panel->SetColor(RGBColor(10, 20, 30));
    EXPECT_EQ(At(panel->PanelImage(), 92, 52), (TRgb{10, 20, 30}));

    // Following the parent: its colour is the fill and the colour round the frame.
    panel->SetParentColor(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(40, 50, 60));
    parent.setPalette(pal);
    EXPECT_EQ(panel->Color(), RGBColor(40, 50, 60));
    EXPECT_EQ(panel->OuterColor(), RGBColor(40, 50, 60));
    EXPECT_EQ(At(panel->RenderBuffer(), 92, 52), (TRgb{40, 50, 60}));
    EXPECT_EQ(At(panel->RenderBuffer(), 0, 0), (TRgb{40, 50, 60}));
}

TEST(Panel, AccessibleAsAGroupNamedByItsCaption)
{
    TRbPanel panel;
    panel.SetCaption(QStringLiteral("&Тип датчика"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&panel);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Grouping);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Тип датчика"));
    EXPECT_EQ(panel.focusPolicy(), Qt::NoFocus);
}

TEST(Panel, CaptionLandsWhereItsPositionSays)
{
    struct Case {
        TRbCaptionPos pos;
        int horz; // -1 left, 0 centre, 1 right
        int vert; // -1 top, 0 middle, 1 bottom
    };
    const Case cases[] = {
        {cpTopLeft, -1, -1},      {cpTopCenter, 0, -1},    {cpTopRight, 1, -1},
        {cpMiddleLeft, -1, 0},    {cpMiddleCenter, 0, 0},  {cpMiddleRight, 1, 0},
        {cpBottomLeft, -1, 1},    {cpBottomCenter, 0, 1},  {cpBottomRight, 1, 1},
        {cpGroupBox, -1, -1},
    };
    for (const Case& c : cases) {
        TRbPanel panel;
        panel.SetColor(clWhite);
        panel.SetOuterColor(clWhite);
        panel.SetBorderColor(clWhite); // only the caption is dark
        panel.SetTextShadow(false);
        panel.Font().SetColor(clBlack);
        panel.SetCaption(QStringLiteral("Тип датчика"));
        panel.SetCaptionPosition(c.pos);
        const QImage img = panel.RenderBuffer();
        int l = img.width(), r = -1, t = img.height(), b = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (At(img, x, y).r < 100) {
                    l = std::min(l, x);
                    r = std::max(r, x);
                    t = std::min(t, y);
                    b = std::max(b, y);
                }
        ASSERT_GE(r, l) << int(c.pos);
        const int w = img.width(), h = img.height();
        if (c.horz < 0)
            EXPECT_LT(l, w / 8) << int(c.pos);
        else if (c.horz > 0)
            EXPECT_GT(r, w - w / 8) << int(c.pos);
        else
            EXPECT_NEAR((l + r) / 2.0, w / 2.0, 4.0) << int(c.pos);
        if (c.vert < 0)
            EXPECT_LT(t, h / 6) << int(c.pos);
        else if (c.vert > 0)
            EXPECT_GT(b, h - h / 6) << int(c.pos);
        else
            EXPECT_NEAR((t + b) / 2.0, h / 2.0, 4.0) << int(c.pos);
    }
}
