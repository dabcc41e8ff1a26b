#include "devicecontrol/directionfinder/kvtcommon/kvtabstractinterface.h"

#include <QWidget>

KVTAbstractInterface::KVTAbstractInterface(const QString& name)
    : m_strName(name)
{
}

KVTAbstractInterface::~KVTAbstractInterface() = default;

void KVTAbstractInterface::SetConfigPath(const QString& path)
{
    m_strConfigPath = path;
}

bool KVTAbstractInterface::IsEnabled()
{
    return m_bEnabled;
}

QWidget* KVTAbstractInterface::GetConfigWidget()
{
    return m_pConfigWidget;
}

const QString KVTAbstractInterface::GetName()
{
    return m_strName;
}

void KVTAbstractInterface::SlotOnConfigWidgetDestroyed(QObject* pObj)
{
    if (pObj != nullptr && pObj == m_pConfigWidget)
        m_pConfigWidget = nullptr;
}

void KVTAbstractInterface::SetAddress(const QString& address)
{
    m_strAddress = address;
}

const QString KVTAbstractInterface::GetAddress()
{
    return m_strAddress;
}
