#pragma once

#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"

#include <QString>

/// One row of the antenna library (known antenna models and the detailed DF
/// methods they support per sub-band). Reached as
/// KVTCharacteristics::AntennaDescription; the table ends with a row whose
/// name is empty. Frequency bounds are inclusive.
struct KVTAntennaDescription
{
    QString m_strName;                      ///< antenna model name
    double m_fMinFreq;                      ///< Hz
    double m_fMaxFreq;                      ///< Hz
    EKVTMethodDetailed m_eMethodsDetailed;  ///< bit set of detailed DF methods
};
