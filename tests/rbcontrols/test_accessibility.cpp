#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbRadioButton.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <gtest/gtest.h>

namespace {

QAccessibleInterface* Iface(QWidget* w)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    EXPECT_NE(i, nullptr);
    return i;
}

} // namespace

TEST(Accessibility, ButtonIsAPushButtonNamedByItsCaption)
{
    QWidget win;
    auto* b = new TRbButton(&win);
    b->SetCaption(QStringLiteral("Прочитать"));
    int clicks = 0;
    QObject::connect(b, &TRbButton::clicked, [&] { ++clicks; });
    QAccessibleInterface* i = Iface(b);
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(i->role(), QAccessible::PushButton);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Прочитать"));
    ASSERT_NE(i->actionInterface(), nullptr);
    EXPECT_TRUE(i->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
    b->SetCaption(QStringLiteral("Записать"));
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Записать"));
    b->SetEnabled(false);
    EXPECT_TRUE(i->state().disabled);
    i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);

    // found by name among the window's children, as automation does
    QAccessibleInterface* w = Iface(&win);
    bool found = false;
    for (int k = 0; k < w->childCount(); ++k)
        found |= w->child(k)->role() == QAccessible::PushButton
            && w->child(k)->text(QAccessible::Name) == QStringLiteral("Записать");
    EXPECT_TRUE(found);
}

TEST(Accessibility, GroupedButtonReportsDownAsChecked)
{
    QWidget win;
    auto* b = new TRbButton(&win);
    b->SetGroupIndex(1);
    QAccessibleInterface* i = Iface(b);
    EXPECT_TRUE(i->state().checkable);
    EXPECT_FALSE(i->state().checked);
    i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(i->state().checked);
}

TEST(Accessibility, CheckBoxToggles)
{
    TRbCheckBox cb;
    cb.SetCaption(QStringLiteral("Усреднение"));
    int clicks = 0;
    QObject::connect(&cb, &TRbCheckBox::clicked, [&] { ++clicks; });
    QAccessibleInterface* i = Iface(&cb);
    EXPECT_EQ(i->role(), QAccessible::CheckBox);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Усреднение"));
    EXPECT_TRUE(i->state().checkable);
    EXPECT_FALSE(i->state().checked);
    EXPECT_TRUE(i->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    i->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(cb.Checked());
    EXPECT_TRUE(i->state().checked);
    EXPECT_EQ(clicks, 1);
}

TEST(Accessibility, RadioButtonChecksAndUnchecksItsSiblings)
{
    QWidget panel;
    auto* a = new TRbRadioButton(&panel);
    auto* b = new TRbRadioButton(&panel);
    a->SetChecked(true);
    b->SetCaption(QStringLiteral("Медь"));
    QAccessibleInterface* i = Iface(b);
    EXPECT_EQ(i->role(), QAccessible::RadioButton);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Медь"));
    i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(i->state().checked);
    EXPECT_FALSE(Iface(a)->state().checked);
}
