#include "devicecontrol/directionfinder/kvtcommon/kvtinterfaceslist.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtabstractinterface.h"

KVTInterfacesList::~KVTInterfacesList()
{
    Clear();
}

bool KVTInterfacesList::Add(KVTAbstractInterface* pInterface)
{
    if (pInterface == nullptr || GetInterfaceByName(pInterface->GetName()) != nullptr)
        return false;
    append(pInterface);
    return true;
}

bool KVTInterfacesList::Remove(const QString& name)
{
    const int index = IndexOf(name);
    if (index < 0)
        return false;
    delete takeAt(index);
    return true;
}

KVTAbstractInterface* KVTInterfacesList::GetInterfaceByName(const QString& name) const
{
    const int index = IndexOf(name);
    return index < 0 ? nullptr : at(index);
}

unsigned int KVTInterfacesList::Size() const
{
    return static_cast<unsigned int>(size());
}

void KVTInterfacesList::Clear()
{
    clear();
}

int KVTInterfacesList::IndexOf(const QString& name) const
{
    for (int i = 0; i < size(); ++i) {
        KVTAbstractInterface* pInterface = at(i);
        if (pInterface != nullptr && pInterface->GetName() == name)
            return i;
    }
    return -1;
}
