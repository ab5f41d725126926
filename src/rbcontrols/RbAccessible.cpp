#include "rbcontrols/RbAccessible.h"

#include "rbcontrols/RbCustomControl.h"

TRbAccessibleControl::TRbAccessibleControl(TRbCustomControl* control)
    : QAccessibleWidget(control, control->AccessibleRole())
{
}

TRbCustomControl* TRbAccessibleControl::control() const
{
    return static_cast<TRbCustomControl*>(widget());
}

QAccessible::Role TRbAccessibleControl::role() const
{
    return control()->AccessibleRole();
}

QString TRbAccessibleControl::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return control()->AccessibleName();
    return QAccessibleWidget::text(t);
}

QAccessible::State TRbAccessibleControl::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    control()->AddAccessibleState(s);
    return s;
}

QStringList TRbAccessibleControl::actionNames() const
{
    QStringList names = control()->AccessibleActionNames();
    for (const QString& n : QAccessibleWidget::actionNames())
        if (!names.contains(n))
            names << n;
    return names;
}

void TRbAccessibleControl::doAction(const QString& actionName)
{
    if (control()->AccessibleActionNames().contains(actionName))
        control()->DoAccessibleAction(actionName);
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList TRbAccessibleControl::keyBindingsForAction(const QString& actionName) const
{
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

namespace {

QAccessibleInterface* RbAccessibleFactory(const QString&, QObject* object)
{
    if (auto* c = qobject_cast<TRbCustomControl*>(object))
        return new TRbAccessibleControl(c);
    return nullptr;
}

} // namespace

void RbInstallAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&RbAccessibleFactory);
        return true;
    }();
    (void)installed;
}
