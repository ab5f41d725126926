// Change signals of the skinned controls, the colour sets, the font and the
// style manager, and the scheme editor's sample following its swatches.
#include "notify_check.h"

#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbColorSwatch.h"
#include "rbcontrols/RbMetaProperties.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbRadioButton.h"
#include "rbcontrols/RbSplitter.h"
#include "rbcontrols/RbStyleEditor.h"
#include "rbcontrols/RbStyleManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Owner : IRbColorsOwner {
    int rebuilds = 0, repaints = 0;
    void ColorsRebuild() override { ++rebuilds; }
    void ColorsRepaint() override { ++repaints; }
};

} // namespace

TEST(Notify, EveryWritablePropertyTellsEachChangeOnce)
{
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QObject>()>>> classes = {
        {"TRbCustomColors", [] { return std::make_unique<TRbCustomColors>(); }},
        {"TRbControlColors", [] { return std::make_unique<TRbControlColors>(); }},
        {"TRbSplitterColors", [] { return std::make_unique<TRbSplitterColors>(); }},
        {"TRbFont", [] { return std::make_unique<TRbFont>(); }},
        {"TRbStyleManager", [] { return std::make_unique<TRbStyleManager>(); }},
        {"TRbButton", [] { return std::make_unique<TRbButton>(); }},
        {"TRbCheckBox", [] { return std::make_unique<TRbCheckBox>(); }},
        {"TRbRadioButton", [] { return std::make_unique<TRbRadioButton>(); }},
        {"TRbPanel", [] { return std::make_unique<TRbPanel>(); }},
        {"TRbProgressBar", [] { return std::make_unique<TRbProgressBar>(); }},
        {"TRbSplitter", [] { return std::make_unique<TRbSplitter>(); }},
        {"TRbColorSwatch", [] { return std::make_unique<TRbColorSwatch>(); }},
    };
    for (const auto& [name, make] : classes) {
        SCOPED_TRACE(name);
        const std::unique_ptr<QObject> obj = make();
        ASSERT_STREQ(obj->metaObject()->className(), name);
        std::map<QString, std::function<void()>> prepare;
        // Down only in a group; a gradient only without smoothing.
        if (auto* b = qobject_cast<TRbButton*>(obj.get()))
            prepare["Down"] = [b] { b->SetGroupIndex(1); };
        if (auto* p = qobject_cast<TRbPanel*>(obj.get()))
            prepare["Gradient"] = [p] { p->SetAntialiased(false); };
        notifytest::CheckEveryProperty(*obj, prepare);
    }
}

TEST(Notify, ColourSetCopiesTellWhatDiffersButNotTheOwner)
{
    Owner o;
    TRbControlColors c(&o);
    TRbControlColors source;
    source.SetOverFrom(0x102030);
    source.SetHotTrack(0x405060);
    source.SetDefaultFrom(c.DefaultFrom()); // equal: no signal
    notifytest::TAllSpies spies(c);
    ASSERT_TRUE(c.Assign(source));
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"OverFrom x1", "HotTrack x1"}));
    EXPECT_EQ(o.rebuilds + o.repaints, 0);
    // A listener hears of OverFrom after everything is copied.
    TRbControlColors other;
    TColor seenHot = 0;
    QObject::connect(&other, &TRbCustomColors::overFromChanged, [&] { seenHot = other.HotTrack(); });
    other.Assign(source);
    EXPECT_EQ(seenHot, 0x405060);
    // The base values from a splitter's set; the rest stays and is not told.
    TRbSplitterColors splitter;
    notifytest::TAllSpies again(c);
    ASSERT_TRUE(c.Assign(splitter));
    EXPECT_EQ(again.Fired(), notifytest::TFired({"DefaultFrom x1", "DefaultTo x1", "OverFrom x1"})); // OverTo is the same
    EXPECT_EQ(c.HotTrack(), 0x405060);
}

TEST(Notify, FontTellsItsAttributesThenChangedOnce)
{
    TRbFont f;
    f.SetHeight(-11);
    std::vector<std::string> heard;
    QObject::connect(&f, &TRbFont::heightChanged, [&] { heard.push_back("height"); });
    QObject::connect(&f, &TRbFont::sizeChanged, [&] { heard.push_back("size"); });
    QObject::connect(&f, &TRbFont::styleChanged, [&] { heard.push_back("style"); });
    QObject::connect(&f, &TRbFont::changed, [&] { heard.push_back("changed"); });
    f.SetSize(10); // the height follows
    EXPECT_EQ(heard, std::vector<std::string>({"height", "size", "changed"}));
    heard.clear();
    f.SetHeight(-14); // 10.5 points, rounded up
    f.SetHeight(-14);
    EXPECT_EQ(heard, std::vector<std::string>({"height", "size", "changed"}));
    heard.clear();
    f.SetHeight(-15); // still 11 points
    EXPECT_EQ(heard, std::vector<std::string>({"height", "changed"}));

    TRbFont source;
    source.Assign(f);
    source.SetStyle(fsBold);
    source.SetHeight(-20);
    heard.clear();
    f.Assign(source);
    EXPECT_EQ(heard, std::vector<std::string>({"height", "size", "style", "changed"}));
    heard.clear();
    f.Assign(source);
    f.Assign(f);
    EXPECT_TRUE(heard.empty());
}

TEST(Notify, ControlFontFollowsItsTRbFont)
{
    TRbButton b;
    b.Font().SetHeight(-23);
    EXPECT_EQ(b.font().pixelSize(), 23);
    TRbFont bold;
    bold.Assign(b.Font());
    bold.SetStyle(fsBold | fsItalic);
    b.Font().Assign(bold);
    EXPECT_TRUE(b.font().bold());
    EXPECT_TRUE(b.font().italic());
    // The manager's font reaches the control's widget font on ApplyStyle.
    TRbStyleManager m;
    m.Font().SetHeight(-17);
    b.SetRbStyleManager(&m);
    m.ApplyStyle();
    EXPECT_EQ(b.font().pixelSize(), 17);
    EXPECT_FALSE(b.font().bold());
}

TEST(Notify, WhatASetterChangesBesideItsPropertyIsToldToo)
{
    TRbPanel panel;
    panel.SetAntialiased(false);
    panel.SetGradient(true);
    {
        notifytest::TAllSpies spies(panel);
        panel.SetAntialiased(true); // smoothing switches the gradient off
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"Antialiased x1", "Gradient x1"}));
        EXPECT_FALSE(panel.Gradient());
    }
    {
        notifytest::TAllSpies spies(panel);
        panel.SetGradient(true); // refused while smoothing
        EXPECT_EQ(spies.Fired(), notifytest::TFired());
    }

    TRbSplitter splitter;
    {
        notifytest::TAllSpies spies(splitter);
        splitter.SetAlign(alTop); // a row of grip dots
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"Align x1", "GripAlign x1"}));
        splitter.SetAlign(alTop);
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"Align x1", "GripAlign x1"}));
    }

    TRbProgressBar bar;
    bar.SetPosition(80);
    {
        notifytest::TAllSpies spies(bar);
        bar.SetMax(50); // clamps the position
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"Max x1", "Position x1"}));
        EXPECT_EQ(bar.Position(), 50);
        bar.SetMax(10);
        bar.SetPosition(10); // where it is already
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"Max x2", "Position x2"}));
        bar.SetMin(20); // not below Max: refused
        EXPECT_EQ(spies.Fired(), notifytest::TFired({"Max x2", "Position x2"}));
    }

    TRbButton b;
    b.SetSpacing(-4); // stored as 0
    QSignalSpy spacing(&b, &TRbButton::spacingChanged);
    b.SetSpacing(-1);
    b.SetSpacing(0);
    EXPECT_EQ(spacing.count(), 0);
}

TEST(Notify, GroupsAndRadioSiblingsTellTheirOwnChanges)
{
    QWidget parent;
    auto* a = new TRbButton(&parent);
    auto* b = new TRbButton(&parent);
    for (TRbButton* x : {a, b})
        x->SetGroupIndex(1);
    a->SetDown(true);
    QSignalSpy aDown(a, &TRbButton::downChanged), bDown(b, &TRbButton::downChanged);
    b->Click(); // b goes down, a comes up
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(aDown.count(), 1);
    EXPECT_EQ(bDown.count(), 1);
    b->SetDown(false); // the last one down stays down
    EXPECT_EQ(bDown.count(), 1);

    auto* r1 = new TRbRadioButton(&parent);
    auto* r2 = new TRbRadioButton(&parent);
    r1->SetChecked(true);
    QSignalSpy t1(r1, &TRbCheckable::toggled), t2(r2, &TRbCheckable::toggled);
    r2->SetChecked(true);
    ASSERT_EQ(t1.count(), 1);
    EXPECT_FALSE(t1.at(0).at(0).toBool());
    ASSERT_EQ(t2.count(), 1);
    EXPECT_TRUE(t2.at(0).at(0).toBool());
}

TEST(Notify, ColourThatFollowsTheParentIsToldWhenTheParentsColourArrives)
{
    TRbPanel parent;
    auto* child = new TRbButton(&parent);
    auto* own = new TRbButton(&parent);
    own->SetColor(0x112233);
    ASSERT_TRUE(child->ParentColor());
    QSignalSpy follows(child, &TRbCustomControl::colorChanged), keeps(own, &TRbCustomControl::colorChanged);
    parent.SetColor(0x445566);
    EXPECT_EQ(child->Color(), 0x445566);
    EXPECT_EQ(follows.count(), 1);
    EXPECT_EQ(keeps.count(), 0);
    // A palette change that leaves the colour as it was tells nothing.
    QPalette pal = parent.palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    parent.setPalette(pal);
    EXPECT_EQ(follows.count(), 1);

    // Taking the parent's colour as its own is no change of Color.
    QSignalSpy parentColor(child, &TRbCustomControl::parentColorChanged);
    child->SetColor(0x445566);
    EXPECT_FALSE(child->ParentColor());
    EXPECT_EQ(parentColor.count(), 1);
    EXPECT_EQ(follows.count(), 1);
    child->SetParentColor(true);
    EXPECT_EQ(parentColor.count(), 2);
    EXPECT_EQ(follows.count(), 1);

    // A new parent of another colour.
    TRbPanel other;
    other.SetColor(0x778899);
    child->setParent(&other);
    EXPECT_EQ(child->Color(), 0x778899);
    EXPECT_EQ(follows.count(), 2);
}

TEST(Notify, PanelOuterColourFollowsItsBackdrop)
{
    TRbPanel back;
    back.SetColor(0x101010);
    auto* panel = new TRbPanel(&back);
    QSignalSpy outer(panel, &TRbPanel::outerColorChanged);
    back.SetColor(0x202020);
    EXPECT_EQ(panel->OuterColor(), 0x202020);
    EXPECT_EQ(outer.count(), 1);
    panel->SetOuterColor(0x202020); // its own now, the same colour
    EXPECT_EQ(outer.count(), 1);
    back.SetColor(0x303030);
    EXPECT_EQ(panel->OuterColor(), 0x202020);
    EXPECT_EQ(outer.count(), 1);
}

TEST(Notify, ApplyingTheSameSchemeAgainTellsNothing)
{
    TRbStyleManager m;
    m.SetMainWindowValues();
    QWidget window;
    const std::vector<TRbCustomControl*> controls = {new TRbButton(&window), new TRbCheckBox(&window),
                                                     new TRbPanel(&window), new TRbSplitter(&window)};
    auto spyAll = [&] {
        std::vector<std::unique_ptr<notifytest::TAllSpies>> spies;
        for (TRbCustomControl* c : controls) {
            spies.push_back(std::make_unique<notifytest::TAllSpies>(*c));
            spies.push_back(std::make_unique<notifytest::TAllSpies>(c->Font()));
            const TRbStyleObject control(c);
            if (const std::optional<QMetaProperty> colors = control.Find(u"Colors"))
                spies.push_back(std::make_unique<notifytest::TAllSpies>(*control.Child(*colors).Object()));
        }
        return spies;
    };
    for (TRbCustomControl* c : controls)
        c->SetRbStyleManager(&m);
    {
        const auto spies = spyAll();
        m.ApplyStyle();
        notifytest::TFired fired;
        for (const auto& s : spies)
            for (const std::string& f : s->Fired())
                fired.push_back(f);
        EXPECT_FALSE(fired.empty());
        for (const std::string& f : fired)
            EXPECT_TRUE(f.ends_with(" x1")) << f;
    }
    const auto spies = spyAll();
    m.ApplyStyle();
    for (const auto& s : spies)
        EXPECT_EQ(s->Fired(), notifytest::TFired());
}

TEST(Notify, ManagerCopiesAndValueSetsTellEachChange)
{
    TRbStyleManager m;
    notifytest::TAllSpies spies(m), colors(m.Colors()), splitter(m.SplitterColors());
    m.SetMainWindowValues();
    EXPECT_EQ(spies.Fired(), notifytest::TFired({"ShowFocusRect x1", "HotTrack x1", "TextShadow x1", "CheckColor x1",
                                          "FadeSpeed x1", "PanelColor x1", "BorderColor x1"}));
    // DefaultFrom, OverFrom and TextShadow stay white.
    EXPECT_EQ(colors.Fired(), notifytest::TFired({"DefaultTo x1", "OverTo x1", "ClickedFrom x1", "ClickedTo x1",
                                           "HotTrack x1", "BorderColor x1"}));
    EXPECT_EQ(splitter.Fired(), notifytest::TFired({"DefaultFrom x1", "DefaultTo x1", "OverTo x1"}));

    TRbStyleManager copy;
    copy.SetTag(5);
    copy.setObjectName(QStringLiteral("SMgr"));
    notifytest::TAllSpies copied(copy);
    ASSERT_TRUE(copy.Assign(m));
    EXPECT_EQ(copied.Fired(), spies.Fired()) << "Name and Tag are no part of the copy";
    EXPECT_EQ(copy.Name(), QStringLiteral("SMgr"));
    QSignalSpy named(&copy, &TRbStyleManager::nameChanged);
    copy.SetName(QStringLiteral("Other"));
    copy.setObjectName(QStringLiteral("Third"));
    copy.SetName(QStringLiteral("Third"));
    EXPECT_EQ(named.count(), 2);
}

// ---- the scheme editor's sample

namespace {

class Host : public IColorSchemeHost {
public:
    TRbStyleManager& StyleManager() override { return manager; }
    TColor FormColor() const override { return form; }
    void SetFormColor(TColor c) override { form = c; }
    void SetSchemeFileName(const QString&) override {}
    QList<QWidget*> SchemeColorWidgets() override { return {}; }
    void ShowSchemeError(const QString& text) override { errors << text; }
    QString ProgramDir() const override { return programDir.isEmpty() ? IColorSchemeHost::ProgramDir() : programDir; }

    QString programDir;
    TRbStyleManager manager;
    TColor form = clBtnFace;
    QStringList errors;
};

} // namespace

TEST(Notify, EditorSampleFollowsTheSwatches)
{
    Host host;
    host.manager.SetMainWindowValues();
    host.form = 0x336699;
    TFStyleEditor ed(host);
    // As the editor shows the scheme.
    EXPECT_EQ(ed.RbProgressBar1->DefaultFrom(), host.manager.Colors().OverFrom());
    EXPECT_EQ(ed.RbProgressBar1->DefaultTo(), host.manager.Colors().OverTo());
    EXPECT_EQ(ed.RbPanel1->Color(), 0x336699);

    // Through the swatches' property.
    ASSERT_TRUE(ed.EOverTo->setProperty("Color", QVariant::fromValue<TColor>(0x0000AA)));
    EXPECT_EQ(ed.RbProgressBar1->DefaultTo(), 0x0000AA);
    EXPECT_EQ(ed.RbProgressBar1->DefaultFrom(), host.manager.Colors().OverFrom());
    ASSERT_TRUE(ed.ShFormColor->setProperty("Color", QVariant::fromValue<TColor>(0x00AA00)));
    EXPECT_EQ(ed.RbPanel1->Color(), 0x00AA00);

    // A scheme shown from the editor's manager reaches the sample by the swatches.
    ed.SMgr().Colors().SetOverFrom(0x123456);
    ed.ShowStyle();
    EXPECT_EQ(ed.EOverFrom->Color(), 0x123456);
    EXPECT_EQ(ed.RbProgressBar1->DefaultFrom(), 0x123456);
    EXPECT_EQ(ed.RbPanel1->Color(), ed.FormColor());
}

TEST(Notify, EditorSampleIgnoresAFileThatFailsHalfWay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ColorSchemas"))); // where opening starts
    Host host;
    host.programDir = dir.path();
    TFStyleEditor ed(host);
    const QString file = dir.filePath(QStringLiteral("broken.rbs"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[RbControls]\r\nTRbControlColorsNOverFrom=255\r\nTRbControlColorsNOverTo=65280\r\n"
                "TRbStyleManagerEShowFocusRect=Maybe\r\n[Other]\r\nFormColor=0\r\n");
    }
    const TColor from = ed.RbProgressBar1->DefaultFrom(), to = ed.RbProgressBar1->DefaultTo();
    const TColor work = ed.RbPanel1->Color();
    ed.Dialogs().openFile = [&](QWidget*, const QString&) { return file; };
    ed.actOpenExecute();
    ASSERT_EQ(host.errors.size(), 1);
    EXPECT_EQ(host.errors.at(0), QStringLiteral("Invalid property element: Maybe"));
    EXPECT_EQ(ed.SMgr().Colors().OverFrom(), 255); // read before the bad value
    EXPECT_EQ(ed.RbProgressBar1->DefaultFrom(), from);
    EXPECT_EQ(ed.RbProgressBar1->DefaultTo(), to);
    EXPECT_EQ(ed.RbPanel1->Color(), work);
}
