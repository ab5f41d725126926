#include "indicator/ColorSwatch.h"
#include "indicator/IndStyleFrm.h"
#include "rbcontrols/RbButton.h"
#include "indicator/IndicatorAccessible.h"
#include "indicator/LiquidIndicator.h"
#include "common/IniFile.h"
#include "ind_fixture.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The three indicators of the diagnostics page after a first start, and the dialog over them.
struct DialogRig {
    TIndPage page;
    TLiquidIndicator* indT = page.IndT("23,5");
    TLiquidIndicator* indR = page.IndT("109,35");
    TLiquidIndicator* indD = page.Default();
    std::unique_ptr<TfrmIndStyle> dlg;
    std::optional<TColor> nextColor;
    QString openName, saveName, askedFolder, askedFilter;
    QStringList errors;

    DialogRig()
    {
        indD->SetSignNumber(10);
        indD->SetIndicatorWidth(132);
        indD->SetIndicatorstring("15.03.2005");
        for (TLiquidIndicator* ind : {indT, indR, indD})
            ApplyIndStyle(*ind, TIndStyleData{});
        dlg = std::make_unique<TfrmIndStyle>(indT, indR, indD);
        dlg->StyleFolder = QStringLiteral("/styles");
        dlg->ChooseColor = [this](TColor) { return nextColor; };
        dlg->ChooseOpenFile = [this](const QString& folder, const QString& filter) {
            askedFolder = folder;
            askedFilter = filter;
            return openName;
        };
        dlg->ChooseSaveFile = [this](const QString&, const QString&) { return saveName; };
        dlg->ShowError = [this](const QString& text) { errors << text; };
        FlushAll();
    }

    void FlushAll()
    {
        for (TLiquidIndicator* ind : {indT, indR, indD, dlg ? dlg->Ind : nullptr})
            if (ind)
                Flush(ind);
    }

    void Choose(QComboBox* cb, int item)
    {
        cb->setCurrentIndex(item);
        emit cb->activated(item);
    }

    void Click(TColorSwatch* sw)
    {
        const QPointF at(8, 8);
        QMouseEvent press(QEvent::MouseButtonPress, at, sw->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, at, sw->mapToGlobal(at), Qt::LeftButton, {}, {});
        QCoreApplication::sendEvent(sw, &press);
        QCoreApplication::sendEvent(sw, &release);
    }
};

TIndStyleData Varied(TLiquidColorScheme scheme, TColor fore, TLiquidIndicatorKind kind, int gap)
{
    TIndStyleData s;
    s.Scheme = scheme;
    s.NumberForeColor = fore;
    s.Kind = kind;
    s.Style = isNormal;
    s.Gap = gap;
    return s;
}

} // namespace

TEST(IndStyleDialog, ShowingEditsTAndShowsItsStyle)
{
    DialogRig rig;
    rig.indT->SetColorScheme(csVarno);
    rig.indT->SetIndicatorGap(4);
    rig.dlg->SelectIndicator(1);
    rig.dlg->ShowDialog();
    TfrmIndStyle& d = *rig.dlg;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Стиль индикаторов"));
    EXPECT_EQ(d.size(), QSize(526, 275));
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.cbInd->currentIndex(), 0);
    EXPECT_EQ(d.Selected(), 1);
    EXPECT_EQ(d.Second(), 0);
    EXPECT_EQ(d.Ind->geometry(), QRect(272, 16, 209, 49));
    EXPECT_EQ(d.Ind->SignNumber(), 6);
    EXPECT_EQ(IndStyleOf(*d.Ind), IndStyleOf(*rig.indT));
    EXPECT_EQ(d.cbColorSheme->currentText(), QStringLiteral("Синяя"));
    EXPECT_EQ(d.ShNumForeColor->Color(), SchemeColors(csVarno).NumberForeColor);
    EXPECT_EQ(d.shBackColor->Color(), SchemeColors(csVarno).BackColor);
    EXPECT_EQ(d.cbIndKind->currentText(), QStringLiteral("7 сегментов"));
    EXPECT_EQ(d.cbIndStyle->currentText(), QStringLiteral("Толстые"));
    EXPECT_EQ(d.rseIndGrap->value(), 4);
    // Every list item maps onto its value and back.
    for (int i = 0; i < d.cbColorSheme->count(); ++i)
        EXPECT_EQ(TfrmIndStyle::ItemOfScheme(TfrmIndStyle::SchemeOfItem(i)), i);
    EXPECT_EQ(TfrmIndStyle::SchemeOfItem(0), csBlack);
    EXPECT_EQ(TfrmIndStyle::StyleOfItem(1), isThin);
}

TEST(IndStyleDialog, FourthItemShowsTheDateIndicatorInTenCells)
{
    DialogRig rig;
    ApplyIndStyle(*rig.indD, Varied(csWhite, 0x112233, ik5x7matrix, 1));
    rig.dlg->ShowDialog();
    rig.Choose(rig.dlg->cbInd, 3);
    TLiquidIndicator* p = rig.dlg->Ind;
    EXPECT_EQ(rig.dlg->Selected(), 3);
    EXPECT_EQ(p->geometry(), QRect(310, 16, 132, 36));
    EXPECT_EQ(p->IndicatorWidth(), 132);
    EXPECT_EQ(p->IndicatorHeight(), 36);
    EXPECT_EQ(p->SignNumber(), 10);
    EXPECT_EQ(IndStyleOf(*p), IndStyleOf(*rig.indD));
    EXPECT_EQ(rig.dlg->cbIndKind->currentIndex(), 1);
    rig.FlushAll();
    EXPECT_EQ(p->Image().size(), QSize(132, 36));

    // Back to "R": the big preview again, now in indR's style.
    rig.Choose(rig.dlg->cbInd, 1);
    EXPECT_EQ(p->geometry(), QRect(272, 16, 209, 49));
    EXPECT_EQ(p->SignNumber(), 6);
    EXPECT_EQ(IndStyleOf(*p), IndStyleOf(*rig.indR));
}

TEST(IndStyleDialog, EditsReachThePreviewAndTheSelectedIndicatorOnly)
{
    DialogRig rig;
    const TIndStyleData tBefore = IndStyleOf(*rig.indT);
    rig.dlg->ShowDialog();
    TfrmIndStyle& d = *rig.dlg;
    rig.Choose(d.cbInd, 1);
    rig.Choose(d.cbIndKind, 1);
    rig.Choose(d.cbIndStyle, 1);
    d.rseIndGrap->setValue(5);
    rig.nextColor = 0x00FF00;
    rig.Click(d.shBevelColor);
    rig.nextColor.reset(); // cancelled chooser: nothing changes
    rig.Click(d.ShNumForeColor);
    for (TLiquidIndicator* ind : {d.Ind, rig.indR}) {
        EXPECT_EQ(ind->IndicatorKind(), ik5x7matrix);
        EXPECT_EQ(ind->IndicatorStyle(), isThin);
        EXPECT_EQ(ind->IndicatorGap(), 5);
        EXPECT_EQ(ind->BevelColor(), 0x00FF00);
        EXPECT_EQ(ind->NumberForeColor(), 0x800080);
    }
    EXPECT_EQ(d.shBevelColor->Color(), 0x00FF00);
    EXPECT_EQ(IndStyleOf(*rig.indT), tBefore);

    // Enter in the gap field applies what is typed.
    rig.indR->SetIndicatorGap(1); // out of step with the field, as a file can leave it
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(d.rseIndGrap, &enter);
    EXPECT_EQ(rig.indR->IndicatorGap(), 5);
    EXPECT_TRUE(d.isVisible()); // Enter there does not press "Ок"
}

TEST(IndStyleDialog, ControlsFollowThePreviewsProperties)
{
    DialogRig rig;
    rig.dlg->ShowDialog();
    TfrmIndStyle& d = *rig.dlg;
    TLiquidIndicator& preview = *d.Ind;
    const TIndStyleData t = IndStyleOf(*rig.indT);

    ASSERT_TRUE(preview.setProperty("ColorScheme", QVariant::fromValue(csPlasma)));
    EXPECT_EQ(d.cbColorSheme->currentText(), QStringLiteral("Плазма"));
    EXPECT_EQ(d.ShNumForeColor->Color(), SchemeColors(csPlasma).NumberForeColor);
    EXPECT_EQ(d.shNumBackColor->Color(), SchemeColors(csPlasma).NumberBackColor);
    EXPECT_EQ(d.shBackColor->Color(), SchemeColors(csPlasma).BackColor);
    EXPECT_EQ(d.shBevelColor->Color(), SchemeColors(csPlasma).BevelColor);
    ASSERT_TRUE(preview.setProperty("NumberBackColor", QVariant::fromValue<TColor>(0x010203)));
    EXPECT_EQ(d.shNumBackColor->Color(), 0x010203);
    ASSERT_TRUE(preview.setProperty("IndicatorKind", QVariant::fromValue(ik5x7matrix)));
    EXPECT_EQ(d.cbIndKind->currentIndex(), 1);
    ASSERT_TRUE(preview.setProperty("IndicatorKind", QVariant::fromValue(ik9segment)));
    EXPECT_EQ(d.cbIndKind->currentIndex(), -1); // no item for it
    ASSERT_TRUE(preview.setProperty("IndicatorStyle", QVariant::fromValue(isThin)));
    EXPECT_EQ(d.cbIndStyle->currentText(), QStringLiteral("Тонкие"));
    ASSERT_TRUE(preview.setProperty("IndicatorGap", 12));
    EXPECT_EQ(d.rseIndGrap->value(), 7); // shown clamped
    EXPECT_EQ(preview.IndicatorGap(), 12);
    // Showing a value applies nothing: the edited indicator is as it was.
    EXPECT_EQ(IndStyleOf(*rig.indT), t);

    // The gap as typed reaches the indicators and stays as typed in the field.
    auto* edit = d.rseIndGrap->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    d.rseIndGrap->setFocus();
    edit->selectAll();
    QTest::keyClicks(d.rseIndGrap, QStringLiteral("05"));
    EXPECT_EQ(rig.indT->IndicatorGap(), 5);
    EXPECT_EQ(edit->text(), QStringLiteral("05"));
}

TEST(IndStyleDialog, TAndRThenSchemeThenCancelRestoresAllThree)
{
    DialogRig rig;
    ApplyIndStyle(*rig.indT, Varied(csSilver, 0x800080, ik7segment, 2));
    ApplyIndStyle(*rig.indR, Varied(csBlack, 0x0000C0, ik5x7matrix, 3));
    ApplyIndStyle(*rig.indD, Varied(csWhite, 0x112233, ik5x7matrix, 1));
    rig.FlushAll();
    const QImage images[] = {rig.indT->Image().copy(), rig.indR->Image().copy(), rig.indD->Image().copy()};
    const TIndStyleData styles[] = {IndStyleOf(*rig.indT), IndStyleOf(*rig.indR), IndStyleOf(*rig.indD)};
    const TColor hoverR = rig.indR->NumberForeColor1();

    rig.dlg->ShowDialog();
    TfrmIndStyle& d = *rig.dlg;
    rig.Choose(d.cbInd, 2);
    EXPECT_EQ(d.Selected(), 1);
    EXPECT_EQ(d.Second(), 2);
    EXPECT_EQ(IndStyleOf(*rig.indR), styles[0]); // indR takes indT's style at once
    rig.Choose(d.cbColorSheme, 3);                // "Плазма"
    for (TLiquidIndicator* ind : {rig.indT, rig.indR, d.Ind}) {
        EXPECT_EQ(ind->ColorScheme(), csPlasma);
        EXPECT_EQ(ind->NumberForeColor(), SchemeColors(csPlasma).NumberForeColor);
    }
    EXPECT_EQ(d.ShNumForeColor->Color(), SchemeColors(csPlasma).NumberForeColor);
    rig.Choose(d.cbInd, 3);
    rig.nextColor = 0x0000FF;
    rig.Click(d.shBackColor);
    EXPECT_EQ(rig.indD->BackColor(), 0x0000FF);

    d.btnCancel->Click();
    EXPECT_FALSE(d.isVisible());
    const TLiquidIndicator* inds[] = {rig.indT, rig.indR, rig.indD};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(IndStyleOf(*inds[i]), styles[i]) << i;
        EXPECT_FALSE(inds[i]->RebuildPending()) << i; // the restored look is built, not just stored
        EXPECT_EQ(inds[i]->Image(), images[i]) << i;
    }
    EXPECT_EQ(rig.indR->NumberForeColor1(), hoverR);

    // Opened again, the snapshots are the look of this opening.
    rig.indT->SetIndicatorGap(6);
    rig.dlg->ShowDialog();
    d.rseIndGrap->setValue(0);
    d.reject(); // Esc
    EXPECT_EQ(rig.indT->IndicatorGap(), 6);
}

TEST(IndStyleDialog, OkAndTheCloseBoxKeepTheChanges)
{
    DialogRig rig;
    rig.dlg->ShowDialog();
    rig.Choose(rig.dlg->cbIndStyle, 0);
    rig.dlg->btnOk->Click();
    EXPECT_FALSE(rig.dlg->isVisible());
    EXPECT_EQ(rig.indT->IndicatorStyle(), isNormal);

    rig.dlg->ShowDialog();
    rig.Choose(rig.dlg->cbIndStyle, 1);
    rig.dlg->close();
    EXPECT_FALSE(rig.dlg->isVisible());
    EXPECT_EQ(rig.indT->IndicatorStyle(), isThin);
}

TEST(IndStyleDialog, OpeningAStyleFileWithTSelectedChangesOnlyT)
{
    DialogRig rig;
    QTemporaryDir dir;
    const QString path = dir.filePath("night.ind");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[IndStyle]\r\nColorsheme=csblack\r\nNumForeColor=$00FF00\r\nIndKind=ik5x7matrix\r\nIndGrap=9\r\n");
    }
    const TIndStyleData rBefore = IndStyleOf(*rig.indR);
    rig.dlg->ShowDialog();
    rig.openName.clear(); // cancelled: nothing
    rig.dlg->CM_Open->trigger();
    EXPECT_EQ(rig.askedFolder, QStringLiteral("/styles"));
    EXPECT_EQ(rig.askedFilter, QStringLiteral("Файлы стилей индикаторов (*.ind);;Все файлы (*)"));
    EXPECT_EQ(rig.indT->ColorScheme(), csSilver);

    rig.openName = path;
    rig.dlg->CM_Open->trigger();
    EXPECT_EQ(rig.indT->ColorScheme(), csBlack);
    EXPECT_EQ(rig.indT->NumberForeColor(), 0x00FF00);
    EXPECT_EQ(rig.indT->NumberForeColor1(), SchemeColors(csBlack).NumberForeColor1);
    EXPECT_EQ(rig.indT->IndicatorKind(), ik5x7matrix);
    EXPECT_EQ(rig.indT->IndicatorGap(), 9);
    EXPECT_EQ(IndStyleOf(*rig.indR), rBefore);
    EXPECT_EQ(IndStyleOf(*rig.dlg->Ind), IndStyleOf(*rig.indT));
    EXPECT_EQ(rig.dlg->cbColorSheme->currentIndex(), 0);
    EXPECT_EQ(rig.dlg->rseIndGrap->value(), 7);
    EXPECT_EQ(rig.indT->IndicatorGap(), 9); // showing the clamped field applies nothing
}

TEST(IndStyleDialog, SavingAddsTheExtensionAndReportsAFailure)
{
    DialogRig rig;
    QTemporaryDir dir;
    rig.dlg->ShowDialog();
    rig.Choose(rig.dlg->cbColorSheme, 5);
    rig.saveName = dir.filePath("blue");
    rig.dlg->CM_Save->trigger();
    EXPECT_EQ(ReadIndStyle(dir.filePath("blue.ind"), IndStyleFileSection), IndStyleOf(*rig.dlg->Ind));
    EXPECT_EQ(ReadIndStyle(dir.filePath("blue.ind"), IndStyleFileSection).Scheme, csVarno);
    EXPECT_TRUE(rig.errors.isEmpty());

    rig.saveName = dir.filePath("no/such/folder/blue");
    rig.dlg->CM_Save->trigger();
    EXPECT_EQ(rig.errors, QStringList{QStringLiteral("Unable to write to ") + dir.filePath("no/such/folder/blue.ind")});
}

TEST(IndStyleDialog, EveryControlHasAName)
{
    DialogRig rig;
    rig.dlg->ShowDialog();
    for (QWidget* w : rig.dlg->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(rig.dlg.get())
            || qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue; // a spin box's inner field is part of the named spin box
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(i, nullptr);
        EXPECT_FALSE(i->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
    }
    QAccessibleInterface* swatch = QAccessible::queryAccessibleInterface(rig.dlg->shNumBackColor);
    EXPECT_EQ(swatch->text(QAccessible::Name), QStringLiteral("Цвет неактивных символов"));
    EXPECT_EQ(swatch->role(), QAccessible::Button);
    EXPECT_EQ(swatch->text(QAccessible::Description), QStringLiteral("#d3d3d3"));
}

namespace {

struct Announced {
    QAccessible::Event type;
    QObject* object;
    QString value;
};

} // namespace

TEST(IndStyleAccessible, ReadingIsNamedValuedAndAnnounced)
{
    TIndPage page;
    TLiquidIndicator* ind = page.IndT();
    ind->setAccessibleName(QStringLiteral("Температура"));
    ind->SetAccessibleUnit(QStringLiteral("°C"));
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(ind);
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(i->role(), QAccessible::StaticText);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Температура"));
    EXPECT_EQ(i->text(QAccessible::Value), QString());

    std::vector<Announced> events;
    SetIndicatorAccessibleSink([&events](QAccessibleEvent* e) {
        QString value;
        if (e->type() == QAccessible::TextUpdated)
            value = static_cast<QAccessibleTextUpdateEvent*>(e)->textInserted();
        events.push_back({e->type(), e->object(), value});
    });
    ind->SetIndicatorText(QStringLiteral("23,5"));
    ind->SetIndicatorText(QStringLiteral("23,5")); // unchanged: no second announcement
    SetIndicatorAccessibleSink(nullptr);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, QAccessible::TextUpdated); // a value change the desktop's bridge would drop
    EXPECT_EQ(events[0].object, ind);
    EXPECT_EQ(events[0].value, QStringLiteral("23,5 °C"));

    EXPECT_EQ(i->text(QAccessible::Value), QStringLiteral("23,5 °C"));
    QAccessibleTextInterface* t = i->textInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->characterCount(), 7);
    EXPECT_EQ(t->text(0, t->characterCount()), QStringLiteral("23,5 °C"));
    EXPECT_EQ(t->text(5, 7), QStringLiteral("°C"));

    ind->SetIndicatorText(QStringLiteral("----")); // no reading: no unit
    EXPECT_EQ(i->text(QAccessible::Value), QStringLiteral("----"));
    ind->SetIndicatorstring(QByteArray("-8.8\xB0") + "C");
    EXPECT_EQ(i->text(QAccessible::Value), QStringLiteral("-8.8°C °C"));
}

// Readings change every second or faster; a screen reader hears the newest
// one, at most once a second, and nothing when nothing changed.
TEST(IndStyleAccessible, ReadingsAreToldAtMostOnceASecond)
{
    TLiquidIndicator ind;
    ind.SetAccessibleUnit(QStringLiteral("°C"));
    QElapsedTimer clock;
    clock.start();
    std::vector<std::pair<QString, qint64>> told;
    SetIndicatorAccessibleSink([&](QAccessibleEvent* e) {
        if (e->type() == QAccessible::TextUpdated && e->object() == &ind)
            told.emplace_back(static_cast<QAccessibleTextUpdateEvent*>(e)->textInserted(), clock.elapsed());
    });
    const auto waitFor = [](const std::function<bool()>& done, int ms) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return done();
    };
    ind.SetIndicatorText(QStringLiteral("23,5"));
    ind.SetIndicatorText(QStringLiteral("23,6"));
    ind.SetIndicatorText(QStringLiteral("23,7"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, QStringLiteral("23,5 °C"));
    EXPECT_TRUE(waitFor([&] { return told.size() >= 2; }, 3000));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1].first, QStringLiteral("23,7 °C")) << "the newest reading, not each one";
    EXPECT_GE(told[1].second - told[0].second, 950);
    // Nothing new: nothing more is told.
    ind.SetIndicatorText(QStringLiteral("23,7"));
    EXPECT_FALSE(waitFor([&] { return told.size() > 2; }, 1200));
    SetIndicatorAccessibleSink(nullptr);
}
