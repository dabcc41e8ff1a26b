#pragma once

#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"

/// One row of the sample-mode table, reached as
/// KVTCharacteristics::SampleModeDescription. The table ends with a row whose
/// sample mode is SAMPLE_MODE_NONE.
struct KVTSampleModeDescription
{
    /// Capacity of the device-type and operation-mode lists, end marker included.
    static constexpr int LIST_CAPACITY = 10;

    EKVTSampleMode m_eSampleMode;
    EKVTType m_aeDeviceTypes[LIST_CAPACITY];   ///< ended by KVT_TYPE_END
    EKVTOptions m_eRequiredOption;             ///< eOptNone: nothing required
    EKVTOptions m_eExcludingOption;            ///< eOptNone: nothing excluded
    EKVTConverter m_eConverter1;
    EKVTConverter m_eConverter2;               ///< CONV_NONE: no second converter
    double m_fRealtimeBandwidth;               ///< Hz
    double m_fMinFreq;                         ///< Hz
    double m_fMaxFreq;                         ///< Hz
    /// Ended by OPMODE_LIST_END; an OPMODE_ANY entry matches every mode.
    EOperationMode m_aeOperationModes[LIST_CAPACITY];
    qint32 m_nPriority;                        ///< the highest priority wins among matching rows
    /// One of the KVTCharacteristics::s_aRESBWS_* tables: ascending, ended by -1.0.
    const double* m_pResolutionBandwidths;
    bool m_bPreamp;                            ///< row offers an HF/VUHF preamplifier
    EFreqRange m_eRangeType;
};
