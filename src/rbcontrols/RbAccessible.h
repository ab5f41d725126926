#pragma once

#include <QAccessibleWidget>

class TRbCustomControl;

// What screen readers and UI automation see of a skinned control: the role,
// name, state and actions it reports through its virtual Accessible* hooks.
class TRbAccessibleControl : public QAccessibleWidget {
public:
    explicit TRbAccessibleControl(TRbCustomControl* control);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    TRbCustomControl* control() const;
};

// Installs the factory that gives every TRbCustomControl its interface; safe
// to call more than once.
void RbInstallAccessibleFactory();
