// The diagnostics page's indicator styles: read from the settings file,
// edited in their dialog, written back; and what of it is the main window's.
#include "MainRig.h"
#include "PageRig.h"
#include "app/DiagnosticPage.h"
#include "app/IndicatorStyles.h"
#include "common/IniFile.h"

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

Inds Of(TDiagnosticPage& page)
{
    return {page.indT, page.indR, page.indCalibrDate};
}

Inds Of(TfrmMain& frm)
{
    return Of(*frm.tsDiagnostic());
}

// The styles on the pages with the scheme look, as the main window composes
// them; make() reads the styles as its start-up does.
struct StyleRig : SearchRig {
    using SearchRig::SearchRig;

    void make(const QByteArray& scheme = MainRig::DefaultScheme())
    {
        SearchRig::make();
        QString error;
        EXPECT_TRUE(adoptScheme(scheme, &error)) << error.toStdString();
        styles = std::make_unique<TIndicatorStyles>(*pages->tsDiagnostic(), settings, *this->scheme, msgs, window.get());
        styles->Apply();
    }

    // What the main window's close writes.
    QByteArray save()
    {
        QString error;
        EXPECT_TRUE(SaveSettings(settings, session().Transducer.SlaveID, ctrl->PortNumber(),
                                 [this](TIniFile& ini) { styles->Write(ini); }, &error))
            << error.toStdString();
        QFile f(progDir + QStringLiteral("/Zelkor.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    Inds inds() const { return Of(*pages->tsDiagnostic()); }
    TfrmIndStyle* dialog() const { return window->findChild<TfrmIndStyle*>(); }

    std::unique_ptr<TIndicatorStyles> styles;
};

void Choose(QComboBox* cb, int item)
{
    cb->setCurrentIndex(item);
    emit cb->activated(item);
}

} // namespace

TEST(IndStyles, WithoutSectionsTheDefaults)
{
    StyleRig rig;
    rig.make();
    const Inds i = rig.inds();
    for (TLiquidIndicator* ind : {i.t, i.r, i.d})
        EXPECT_EQ(IndStyleOf(*ind), TIndStyleData{}) << ind->objectName().toStdString();
    // The date indicator, a matrix by design, shows seven-segment cells now.
    EXPECT_EQ(i.d->IndicatorKind(), ik7segment);
    EXPECT_EQ(i.r->NumberForeColor1(), SchemeColors(csSilver).NumberForeColor1);
    EXPECT_NE(rig.dialog(), nullptr) << "made with the styles read";
}

TEST(IndStyleStartup, FirstStartReadsTheStylesAndOffersTheDialog)
{
    MainRig rig;
    auto frm = rig.make();
    const Inds i = Of(*frm);
    EXPECT_EQ(i.d->IndicatorKind(), ik7segment) << "the styles were read";
    EXPECT_NE(frm->findChild<TfrmIndStyle*>(), nullptr) << "created by the start-up";
    EXPECT_TRUE(frm->findChild<QAction*>(QStringLiteral("actIndView"))->isEnabled());
}

TEST(IndStyles, SectionsOfTheSettingsFileStyleTheirIndicators)
{
    StyleRig rig("[Defaults]\r\nRepeatNum=3\r\n[IndTStyle]\r\nColorsheme=CSPLASMA\r\nNumForeColor=255\r\n"
                 "[IndRStyle]\r\nIndSlyle=isThin\r\nIndGrap=0x4\r\n"
                 "[IndCalibrDateStyle]\r\nIndKind=ik5x7matrix\r\nColorsheme=nonsense\r\n");
    rig.make();
    const Inds i = rig.inds();
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

// "Вид" holds the action that shows the dialog.
TEST(IndStyleStartup, TheViewMenuShowsTheDialog)
{
    MainRig rig;
    auto frm = rig.make();
    QMenu* view = rig.menuTitled(*frm, QStringLiteral("Вид"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(frm->findChild<QAction*>(QStringLiteral("actIndView"))));
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actIndView"))->text(), QStringLiteral("Стиль индикаторов"));
    frm->findChild<QAction*>(QStringLiteral("actIndView"))->trigger();
    auto* dlg = frm->findChild<TfrmIndStyle*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());
    // Closing writes the styles.
    Choose(dlg->cbInd, 1);
    Choose(dlg->cbColorSheme, 0);
    dlg->btnOk->Click();
    frm->close();
    EXPECT_TRUE(rig.iniContent().contains("[IndRStyle]\r\nColorsheme=csBlack\r\n")) << rig.iniContent().constData();
}

TEST(IndStyles, StylesChangedInTheDialogComeBackAtTheNextStart)
{
    StyleRig rig("[Defaults]\r\nRepeatNum=3\r\n[Mine]\r\nKey=1\r\n");
    TIndStyleData t, r, d;
    rig.make();
    rig.styles->ShowDialog();
    auto* dlg = rig.dialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());

    Choose(dlg->cbInd, 1);
    Choose(dlg->cbColorSheme, 0); // "Черная" on indR
    Choose(dlg->cbInd, 3);
    Choose(dlg->cbIndKind, 1); // the date back to a matrix
    dlg->rseIndGrap->setValue(3);
    dlg->btnOk->Click();
    const Inds i = rig.inds();
    t = IndStyleOf(*i.t);
    r = IndStyleOf(*i.r);
    d = IndStyleOf(*i.d);
    EXPECT_EQ(r.Scheme, csBlack);
    EXPECT_EQ(d.Kind, ik5x7matrix);
    EXPECT_EQ(d.Gap, 3);

    const QByteArray ini = rig.save();
    EXPECT_TRUE(ini.contains("[IndTStyle]\r\nColorsheme=csSilver\r\nNumForeColor=8388736\r\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("[IndRStyle]\r\nColorsheme=csBlack\r\n"));
    EXPECT_TRUE(ini.contains("[IndCalibrDateStyle]\r\nColorsheme=csSilver\r\n"));
    EXPECT_TRUE(ini.contains("IndKind=ik5x7matrix\r\nIndSlyle=isThick\r\nIndGrap=3\r\n"));
    EXPECT_TRUE(ini.contains("[Mine]\r\nKey=1\r\n"));
    EXPECT_LT(ini.indexOf("[Defaults]"), ini.indexOf("[IndTStyle]"));

    StyleRig again(ini);
    again.make();
    const Inds a = again.inds();
    EXPECT_EQ(IndStyleOf(*a.t), t);
    EXPECT_EQ(IndStyleOf(*a.r), r);
    EXPECT_EQ(IndStyleOf(*a.d), d);
}

TEST(IndStyles, DialogPanelTakesTheWorkAreaColour)
{
    StyleRig rig("[Defaults]\r\nColorShema=Red.rbs\r\n");
    rig.make("[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=255\r\n");
    auto* dlg = rig.dialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->Panel1->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST(IndStyles, SavingAStyleThatCannotBeWrittenShowsTheReason)
{
    StyleRig rig;
    rig.make();
    rig.styles->ShowDialog();
    auto* dlg = rig.dialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->StyleFolder.endsWith(QStringLiteral("/ColorSchemas")));
    const QString bad = rig.progDir + QStringLiteral("/missing/blue");
    dlg->ChooseSaveFile = [&bad](const QString&, const QString&) { return bad; };
    dlg->CM_Save->trigger();
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Unable to write to ") + bad + QStringLiteral(".ind")});
}

TEST(IndStyles, ReadingsAreNamedForScreenReaders)
{
    PageRig rig;
    rig.make();
    TDiagnosticPage* page = rig.pages->tsDiagnostic();
    const Inds i = Of(*page);
    page->SetTemperatureText(QStringLiteral("23,5"));
    page->SetResistanceText(QStringLiteral("109,35"));
    page->SetCalibrDateText(QStringLiteral("15.03.2005"));
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
    page->SetTemperatureText(QStringLiteral("----"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(i.t)->text(QAccessible::Value), QStringLiteral("----"));
}
