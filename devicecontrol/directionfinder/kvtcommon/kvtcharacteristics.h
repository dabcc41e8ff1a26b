#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtantennadescription.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtsamplemodedescription.h"

#include <limits>

/// Capabilities of the connected DF device and the static device-model tables
/// they are answered from. The tables are constant and ordered: rows are read
/// in table order up to their end row.
class KVTCOMMON_EXPORT KVTCharacteristics
{
public:
    /// How a frequency range that straddles two antennas is moved.
    enum EAdjustMode
    {
        ADJUST_TO_LOWER_ANTENNA = 0,
        ADJUST_TO_UPPER_ANTENNA = 1
    };

    using AntennaDescription = KVTAntennaDescription;
    using SampleModeDescription = KVTSampleModeDescription;

    /// Wildcard: no realtime-bandwidth restriction (compared for exact equality).
    static constexpr double fBANDWIDTH_ANY = -std::numeric_limits<double>::max();
    /// Wildcard: no frequency restriction (compared for exact equality).
    static constexpr double fFREQUENCY_ANY = -std::numeric_limits<double>::max();
    /// Channel count used when the device reports none or less than 1.
    static constexpr int MAX_CHANNEL_COUNT_DEFAULT = 60000;

    // Resolution bandwidths in Hz, ascending, each ended by -1.0.
    static const double s_aRESBWS_STD_20_2K[];
    static const double s_aRESBWS_STD_50_2K[];
    static const double s_aRESBWS_STD_50_20K[];
    static const double s_aRESBWS_STD_100_20K[];
    static const double s_aRESBWS_STD_200_20K[];
    static const double s_aRESBWS_STD_500_20K[];
    static const double s_aRESBWS_STD_500_100K[];
    static const double s_aRESBWS_STD_500_200K[];
    static const double s_aRESBWS_STD_1K_100K[];
    static const double s_aRESBWS_STD_1K_200K[];
    static const double s_aRESBWS_STD_2K_200K[];
    static const double s_aRESBWS_STD_200K_200K[];
    static const double s_aRESBWS_EXT_1K_100K[];
    static const double s_aRESBWS_EXT_1K_200K[];
    static const double s_aRESBWS_EXT_2K_200K[];
    static const double s_aRESBWS_HF_0125K_25K[];
    static const double s_aRESBWS_HF_0250K_12K[];
    static const double s_aRESBWS_VUHF_1K_200K[];
    static const double s_aRESBWS_VUHF_5K_50K[];

    /// Converters of the HF path, ended by CONV_NONE.
    static const EKVTConverter s_aHF_CONVERTERS[];
    /// Converters of the VUHF path, ended by CONV_NONE.
    static const EKVTConverter s_aVUHF_CONVERTERS[];

    /// Known antenna models, one row per sub-band; ended by a row with an empty name.
    static const AntennaDescription s_aAntennaLibrary[];
    /// Sample modes; ended by a row whose sample mode is SAMPLE_MODE_NONE.
    static const SampleModeDescription s_aSampleModeDescription[];
};
