#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"

KVTInformationCenter* KVTInformationCenter::m_pInstance = nullptr;

KVTInformationCenter::~KVTInformationCenter() = default;

KVTInformationCenter* KVTInformationCenter::Instance()
{
    if (m_pInstance == nullptr)
        m_pInstance = new KVTInformationCenter;
    return m_pInstance;
}

void KVTInformationCenter::Finalise()
{
    delete m_pInstance;
    m_pInstance = nullptr;
}

KVTCharacteristics& KVTInformationCenter::GetKVTCharacteristics()
{
    return m_kvtCharacteristics;
}

KVTInterfacesList& KVTInformationCenter::GetKVTInterfaces()
{
    return m_kvtInterfaces;
}
