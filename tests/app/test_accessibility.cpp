// What a screen reader finds in every window: each control that takes the
// focus or holds a value has a name, the sensor options say which sensor
// they are, and a message is an alert whose text is read out.
#include "MainRig.h"
#include "PageRig.h"
#include "rbcontrols/RbButton.h"

#include "app/AboutFrm.h"
#include "app/COMChoiceFrm.h"
#include "app/ConfigurationPage.h"
#include "app/ConnectFrm.h"
#include "indicator/LiquidIndicator.h"
#include "app/MessageFrm.h"
#include "app/SetFrm.h"
#include "app/ViewStatusFrm.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A part of a composite control (a spin box's or combo box's own edit, a
// list's viewport) is named by the control it belongs to.
bool IsPartOfAnother(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p)
            || qobject_cast<const QAbstractItemView*>(p))
            return true;
    }
    return false;
}

bool HoldsAValue(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
        || qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w);
}

QStringList UnnamedControls(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || IsPartOfAnother(w, window) || w->inherits("TLiquidIndicator"))
            continue;
        if (w->focusPolicy() == Qt::NoFocus && !HoldsAValue(w))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        const QString name = iface ? iface->text(QAccessible::Name).trimmed() : QString();
        if (name.isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
    }
    return unnamed;
}

QString NameOf(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

// The main window's own controls: menu, toolbar, pages and status bar as it holds them.
TEST(Accessibility, EveryControlOfTheMainWindowHasAName)
{
    MainRig rig;
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p); };
    auto frm = rig.make();
    frm->ConnectDevice();
    const QStringList unnamed = UnnamedControls(frm.get());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST(Accessibility, EveryControlOfEveryDialogHasAName)
{
    SearchRig rig;
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    ASSERT_TRUE(rig.connect());
    // Made as the main window makes them.
    auto* settings = new TfrmSettings(rig.settings, *rig.ctrl, rig.look, rig.window.get());
    auto* connect = new TfrmConnect(*rig.ctrl, rig.look, rig.window.get());
    auto* comChoice = new TfrmCOMChoice(rig.settings, rig.msgs, rig.window.get());
    comChoice->SetStyleManager(&rig.scheme->StyleManager());
    TfrmMessage message;
    TfrmAbout about;
    const QList<QWidget*> windows{rig.window.get(), settings, connect, comChoice, rig.status(), &message, &about};
    for (QWidget* window : windows) {
        const QStringList unnamed = UnnamedControls(window);
        EXPECT_TRUE(unnamed.isEmpty()) << window->objectName().toStdString() << ": "
                                       << unnamed.join(QStringLiteral(", ")).toStdString();
    }
}

TEST(Accessibility, SensorOptionsSayWhichSensor)
{
    PageRig rig;
    rig.make();
    TConfigurationPage* page = rig.pages->tsConfiguration();
    EXPECT_EQ(NameOf(page->rbPl_391), QStringLiteral("ТСП, α = 0,00391"));
    EXPECT_EQ(NameOf(page->rbPl_385), QStringLiteral("ТСП, α = 0,00385"));
    EXPECT_EQ(NameOf(page->rbCu), QStringLiteral("ТСМ, α = 0,00428"));
    // What is drawn stays as it was.
    EXPECT_EQ(page->rbPl_391->Caption(), QStringLiteral("ТСП, "));
    EXPECT_EQ(NameOf(page->rseTopTempBound), QStringLiteral("Верхняя граница"));
}

TEST(Accessibility, AMessageIsAnAlertWithItsText)
{
    TfrmMessage dlg;
    QString name, description;
    QAccessible::Role role = QAccessible::NoRole;
    QObject::connect(&dlg, &TfrmMessage::presented, [&](TfrmMessage& d) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&d);
        ASSERT_NE(iface, nullptr);
        role = iface->role();
        name = iface->text(QAccessible::Name);
        description = iface->text(QAccessible::Description);
        QTimer::singleShot(1, d.btnOk, &TRbButton::Click);
    });
    dlg.MessageDlg(QStringLiteral("Не получен ответ от прибора"), mkError, 0, mbOk);
    EXPECT_EQ(role, QAccessible::AlertMessage);
    EXPECT_EQ(name, QStringLiteral("Зелкор"));
    EXPECT_EQ(description, QStringLiteral("Не получен ответ от прибора"));
}
