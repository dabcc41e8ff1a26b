#pragma once

#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinterfaceslist.h"
#include "kvtcommon_export.h"

/// Process-wide entry point for drivers and the user interface: holds the one
/// device characteristics object and the one output-interfaces list.
///
/// Created lazily by Instance(), destroyed by Finalise(); references handed
/// out by the accessors become invalid at Finalise(). Not thread-safe:
/// concurrent first calls of Instance() are not serialised.
class KVTCOMMON_EXPORT KVTInformationCenter
{
public:
    KVTInformationCenter(const KVTInformationCenter& other) = default;
    KVTInformationCenter& operator=(const KVTInformationCenter& other) = default;
    virtual ~KVTInformationCenter();

    /// The process-wide instance, created with fresh members on first use.
    static KVTInformationCenter* Instance();
    /// Deletes the instance (interfaces list first, then characteristics);
    /// the interfaces themselves stay alive. A later Instance() starts anew.
    static void Finalise();

    KVTCharacteristics& GetKVTCharacteristics();
    KVTInterfacesList& GetKVTInterfaces();

private:
    KVTInformationCenter() = default;

    KVTCharacteristics m_kvtCharacteristics;
    KVTInterfacesList m_kvtInterfaces;
    static KVTInformationCenter* m_pInstance;
};
