#include "rbcontrols/RbManagerLink.h"

#include <QObject>

TRbManagerLink::~TRbManagerLink()
{
    QObject::disconnect(m_managerGone);
}

void TRbManagerLink::Set(IRbStyleRegistry* manager)
{
    if (manager == m_manager && (manager == nullptr || m_managerObject))
        return;
    Release();
    QObject::disconnect(m_managerGone);
    m_manager = manager;
    m_managerObject = manager ? manager->RegistryObject() : nullptr;
    if (m_manager) {
        m_managerGone = QObject::connect(m_managerObject, &QObject::destroyed, [this] {
            m_manager = nullptr;
            m_managerObject = nullptr;
        });
        m_manager->RegisterControl(m_control);
    }
}

void TRbManagerLink::Release()
{
    if (m_manager && m_managerObject)
        m_manager->UnregisterControl(m_control);
}
