#pragma once

#include <QMetaObject>
#include <QPointer>

// What a control needs of a style manager: registration. TRbStyleManager
// implements it; controls keep a pointer and drop it when RegistryObject()
// is destroyed.
class IRbStyleRegistry {
public:
    virtual void RegisterControl(QObject* control) = 0;
    virtual void UnregisterControl(QObject* control) = 0;
    virtual QObject* RegistryObject() = 0;

protected:
    ~IRbStyleRegistry() = default;
};

// A control's tie to its style manager: registers it, moves it from one
// manager to another, and forgets a manager that is destroyed first, so no
// list ever holds a control twice or after its destruction.
class TRbManagerLink {
public:
    explicit TRbManagerLink(QObject* control)
        : m_control(control)
    {
    }
    ~TRbManagerLink();
    TRbManagerLink(const TRbManagerLink&) = delete;
    TRbManagerLink& operator=(const TRbManagerLink&) = delete;

    IRbStyleRegistry* Manager() const { return m_manager; }
    void Set(IRbStyleRegistry* manager);
    // Leaves the manager's list, if the manager still lives (the control's destructor).
    void Release();

private:
    QObject* m_control;
    IRbStyleRegistry* m_manager = nullptr;
    QPointer<QObject> m_managerObject;
    QMetaObject::Connection m_managerGone;
};
