#include "MainRig.h"
#include "app/DiagnosticPage.h"

#include "indicator/IndStyle.h"
#include "indicator/IndStyleFrm.h"
#include "indicator/LiquidIndicator.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

struct Inds {
    TLiquidIndicator* t;
    TLiquidIndicator* r;
    TLiquidIndicator* d;
};

Inds Of(TfrmMain& frm)
{
    return {frm.tsDiagnostic()->indT, frm.tsDiagnostic()->indR, frm.tsDiagnostic()->indCalibrDate};
}

void Choose(QComboBox* cb, int item)
{
    cb->setCurrentIndex(item);
    emit cb->activated(item);
}

} // namespace

TEST(IndStyleStartup, FirstStartWithoutSectionsGivesTheDefaults)
{
    MainRig rig;
    auto frm = rig.make();
    const Inds i = Of(*frm);
    for (TLiquidIndicator* ind : {i.t, i.r, i.d})
        EXPECT_EQ(IndStyleOf(*ind), TIndStyleData{}) << ind->objectName().toStdString();
    // The date indicator, a matrix by design, shows seven-segment cells now.
    EXPECT_EQ(i.d->IndicatorKind(), ik7segment);
    EXPECT_EQ(i.r->NumberForeColor1(), SchemeColors(csSilver).NumberForeColor1);
    EXPECT_NE(frm->findChild<TfrmIndStyle*>(), nullptr) << "created by the start-up";
    EXPECT_TRUE(frm->findChild<QAction*>(QStringLiteral("actIndView"))->isEnabled());
}

TEST(IndStyleStartup, SectionsOfTheSettingsFileStyleTheirIndicators)
{
    MainRig rig("[Defaults]\r\nRepeatNum=3\r\n[IndTStyle]\r\nColorsheme=CSPLASMA\r\nNumForeColor=255\r\n"
                "[IndRStyle]\r\nIndSlyle=isThin\r\nIndGrap=0x4\r\n"
                "[IndCalibrDateStyle]\r\nIndKind=ik5x7matrix\r\nColorsheme=nonsense\r\n");
    auto frm = rig.make();
    const Inds i = Of(*frm);
    EXPECT_EQ(i.t->ColorScheme(), csPlasma);
    EXPECT_EQ(i.t->NumberForeColor(), 255);
    EXPECT_EQ(i.t->NumberForeColor1(), SchemeColors(csPlasma).NumberForeColor1);
    EXPECT_EQ(i.r->IndicatorStyle(), isThin);
    EXPECT_EQ(i.r->IndicatorGap(), 4);
    EXPECT_EQ(i.d->IndicatorKind(), ik5x7matrix);
    EXPECT_EQ(i.d->BackColor(), 0xDDDDDD);
}

TEST(IndStyleStartup, CutShortByTheSchemeLeavesTheDesignLook)
{
    MainRig rig("[IndCalibrDateStyle]\r\nIndKind=ik7segment\r\n", QByteArray()); // no scheme file
    auto frm = rig.make();
    ASSERT_TRUE(frm->StartupCutShort());
    EXPECT_EQ(Of(*frm).d->IndicatorKind(), ik5x7matrix);
    EXPECT_EQ(frm->findChild<TfrmIndStyle*>(), nullptr);
    frm->findChild<QAction*>(QStringLiteral("actIndView"))->trigger(); // made on first use then
    auto* dlg = frm->findChild<TfrmIndStyle*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
}

TEST(IndStyleStartup, StylesChangedInTheDialogComeBackAtTheNextStart)
{
    MainRig rig("[Defaults]\r\nRepeatNum=3\r\n[Mine]\r\nKey=1\r\n");
    TIndStyleData t, r, d;
    {
        auto frm = rig.make();
        // "Вид" holds the action that shows the dialog.
        QMenu* view = nullptr;
        for (QAction* a : frm->menuBar()->actions())
            if (a->text() == QStringLiteral("Вид"))
                view = a->menu();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->actions().contains(frm->findChild<QAction*>(QStringLiteral("actIndView"))));
        EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actIndView"))->text(), QStringLiteral("Стиль индикаторов"));
        frm->findChild<QAction*>(QStringLiteral("actIndView"))->trigger();
        auto* dlg = frm->findChild<TfrmIndStyle*>();
        ASSERT_NE(dlg, nullptr);
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_FALSE(dlg->isModal());

        Choose(dlg->cbInd, 1);
        Choose(dlg->cbColorSheme, 0); // "Черная" on indR
        Choose(dlg->cbInd, 3);
        Choose(dlg->cbIndKind, 1); // the date back to a matrix
        dlg->rseIndGrap->setValue(3);
        dlg->btnOk->Click();
        const Inds i = Of(*frm);
        t = IndStyleOf(*i.t);
        r = IndStyleOf(*i.r);
        d = IndStyleOf(*i.d);
        EXPECT_EQ(r.Scheme, csBlack);
        EXPECT_EQ(d.Kind, ik5x7matrix);
        EXPECT_EQ(d.Gap, 3);
        frm->close();
    }
    const QByteArray ini = rig.iniContent();
    EXPECT_TRUE(ini.contains("[IndTStyle]\r\nColorsheme=csSilver\r\nNumForeColor=8388736\r\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("[IndRStyle]\r\nColorsheme=csBlack\r\n"));
    EXPECT_TRUE(ini.contains("[IndCalibrDateStyle]\r\nColorsheme=csSilver\r\n"));
    EXPECT_TRUE(ini.contains("IndKind=ik5x7matrix\r\nIndSlyle=isThick\r\nIndGrap=3\r\n"));
    EXPECT_TRUE(ini.contains("[Mine]\r\nKey=1\r\n"));
    EXPECT_LT(ini.indexOf("[Defaults]"), ini.indexOf("[IndTStyle]"));

    auto again = rig.make();
    const Inds i = Of(*again);
    EXPECT_EQ(IndStyleOf(*i.t), t);
    EXPECT_EQ(IndStyleOf(*i.r), r);
    EXPECT_EQ(IndStyleOf(*i.d), d);
}

TEST(IndStyleStartup, DialogPanelTakesTheWorkAreaColour)
{
    MainRig rig("[Defaults]\r\nColorShema=Red.rbs\r\n");
    MainRig::writeFile(rig.progDir + QStringLiteral("/ColorSchemas/Red.rbs"),
                       "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=255\r\n");
    auto frm = rig.make();
    ASSERT_FALSE(frm->StartupCutShort());
    auto* dlg = frm->findChild<TfrmIndStyle*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->Panel1->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST(IndStyleStartup, SavingAStyleThatCannotBeWrittenShowsTheReason)
{
    MainRig rig;
    auto frm = rig.make();
    frm->findChild<QAction*>(QStringLiteral("actIndView"))->trigger();
    auto* dlg = frm->findChild<TfrmIndStyle*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->StyleFolder.endsWith(QStringLiteral("/ColorSchemas")));
    const QString bad = rig.progDir + QStringLiteral("/missing/blue");
    dlg->ChooseSaveFile = [&bad](const QString&, const QString&) { return bad; };
    dlg->CM_Save->trigger();
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Unable to write to ") + bad + QStringLiteral(".ind")});
}

TEST(IndStyleStartup, ReadingsAreNamedForScreenReaders)
{
    MainRig rig;
    auto frm = rig.make();
    const Inds i = Of(*frm);
    frm->tsDiagnostic()->SetTemperatureText(QStringLiteral("23,5"));
    frm->tsDiagnostic()->SetResistanceText(QStringLiteral("109,35"));
    frm->tsDiagnostic()->SetCalibrDateText(QStringLiteral("15.03.2005"));
    const struct {
        TLiquidIndicator* ind;
        QString name, value;
    } expected[] = {
        {i.t, QStringLiteral("Температура"), QStringLiteral("23,5 °C")},
        {i.r, QStringLiteral("Сопротивление"), QStringLiteral("109,35 Ом")},
        {i.d, QStringLiteral("Дата настройки"), QStringLiteral("15.03.2005")},
    };
    for (const auto& e : expected) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(e.ind);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), e.name);
        EXPECT_EQ(a->text(QAccessible::Value), e.value);
    }
    frm->tsDiagnostic()->SetTemperatureText(QStringLiteral("----"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(i.t)->text(QAccessible::Value), QStringLiteral("----"));
}
