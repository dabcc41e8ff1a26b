#pragma once

#include "kvtcommon_export.h"

#include <QtGlobal>

#include <list>

/// Alarm settings of one frequency range. Its layout is part of the driver interface (a vtable
/// pointer, eleven 8-byte words, a list, one more 8-byte word); the meaning of every member
/// belongs to the drivers. This library only default-constructs, copies and forwards it.
class KVTCOMMON_EXPORT AlarmSettings
{
public:
    /// Every word zero, list empty.
    AlarmSettings();
    AlarmSettings(const AlarmSettings& other);
    AlarmSettings& operator=(const AlarmSettings& other);
    virtual ~AlarmSettings();

    quint64 m_anDriverDefinedWords[11] = {};
    std::list<quint32> m_lstDriverDefined;
    quint64 m_nDriverDefinedLastWord = 0;
};

#if defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(AlarmSettings) == 8 + 11 * 8 + sizeof(std::list<quint32>) + 8 && alignof(AlarmSettings) == 8,
              "AlarmSettings layout");
#endif
