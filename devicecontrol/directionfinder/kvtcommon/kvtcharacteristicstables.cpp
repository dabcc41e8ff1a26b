#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

#include <initializer_list>
#include <stdexcept>

// The constant device-model tables. Row order matters: the sample-mode
// matching and the antenna-library lookup walk the tables top down.

const double KVTCharacteristics::s_aRESBWS_STD_20_2K[] = {20, 50, 100, 200, 500, 1000, 2000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_50_2K[] = {50, 100, 200, 500, 1000, 2000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_50_20K[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_100_20K[] = {100, 200, 500, 1000, 2000, 5000, 10000, 20000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_200_20K[] = {200, 500, 1000, 2000, 5000, 10000, 20000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_500_20K[] = {500, 1000, 2000, 5000, 10000, 20000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_500_100K[] = {500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_500_200K[] = {500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_1K_100K[] = {1000, 2000, 5000, 10000, 20000, 50000, 100000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_1K_200K[] = {1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_2K_200K[] = {2000, 5000, 10000, 20000, 50000, 100000, 200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_STD_200K_200K[] = {200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_EXT_1K_100K[] = {1000, 2000, 5000, 8333, 10000, 12500, 20000, 25000, 50000, 100000, -1.0};
const double KVTCharacteristics::s_aRESBWS_EXT_1K_200K[] = {1000, 2000, 5000, 8333, 10000, 12500, 20000, 25000, 50000, 100000, 200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_EXT_2K_200K[] = {2000, 5000, 8333, 10000, 12500, 20000, 25000, 50000, 100000, 200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_HF_0125K_25K[] = {125, 250, 500, 1000, 2500, 5000, 25000, -1.0};
const double KVTCharacteristics::s_aRESBWS_HF_0250K_12K[] = {250, 500, 1000, 2500, 6000, 12000, -1.0};
const double KVTCharacteristics::s_aRESBWS_VUHF_1K_200K[] = {1000, 2000, 4000, 8000, 10000, 12500, 20000, 25000, 50000, 100000, 200000, -1.0};
const double KVTCharacteristics::s_aRESBWS_VUHF_5K_50K[] = {5000, 10000, 12500, 25000, 50000, -1.0};

const EKVTConverter KVTCharacteristics::s_aHF_CONVERTERS[] = {CONV_RP29, CONV_RP39, CONV_RP38, CONV_RP56, CONV_NONE};
const EKVTConverter KVTCharacteristics::s_aVUHF_CONVERTERS[] = {CONV_VQ28, CONV_VQ36, CONV_VQ26, CONV_VQ57, CONV_VQ62, CONV_NONE};

namespace
{
constexpr EKVTMethodDetailed Methods(qint32 nBits)
{
    return static_cast<EKVTMethodDetailed>(nBits);
}

using SampleModeRow = KVTCharacteristics::SampleModeDescription;

// Copies a list into a fixed-capacity row field and fills the rest with the
// end marker, so every list is terminated however short it is.
template <typename E>
constexpr void FillList(E (&aList)[SampleModeRow::LIST_CAPACITY], std::initializer_list<qint32> values, E eEnd)
{
    if (values.size() >= static_cast<size_t>(SampleModeRow::LIST_CAPACITY))
        throw std::length_error("sample-mode list leaves no room for its end marker");
    int i = 0;
    for (qint32 nValue : values)
        aList[i++] = static_cast<E>(nValue);
    for (; i < SampleModeRow::LIST_CAPACITY; ++i)
        aList[i] = eEnd;
}

// No row of the table uses an excluding option, so every row gets eOptNone.
constexpr SampleModeRow SampleMode(qint32 nSampleMode, std::initializer_list<qint32> deviceTypes,
                                   EKVTOptions eRequiredOption, EKVTConverter eConverter1,
                                   EKVTConverter eConverter2, double fRealtimeBandwidth, double fMinFreq,
                                   double fMaxFreq, std::initializer_list<qint32> operationModes,
                                   qint32 nPriority, const double* pResolutionBandwidths, bool bPreamp,
                                   EFreqRange eRangeType)
{
    SampleModeRow row{};
    row.m_eSampleMode = static_cast<EKVTSampleMode>(nSampleMode);
    FillList(row.m_aeDeviceTypes, deviceTypes, KVT_TYPE_END);
    row.m_eRequiredOption = eRequiredOption;
    row.m_eExcludingOption = eOptNone;
    row.m_eConverter1 = eConverter1;
    row.m_eConverter2 = eConverter2;
    row.m_fRealtimeBandwidth = fRealtimeBandwidth;
    row.m_fMinFreq = fMinFreq;
    row.m_fMaxFreq = fMaxFreq;
    FillList(row.m_aeOperationModes, operationModes, OPMODE_LIST_END);
    row.m_nPriority = nPriority;
    row.m_pResolutionBandwidths = pResolutionBandwidths;
    row.m_bPreamp = bPreamp;
    row.m_eRangeType = eRangeType;
    return row;
}

// Short names for the table below: device types 5 and 7 have no enumerator.
constexpr qint32 Q1 = KVT_TYPE_Q1;
constexpr qint32 N1 = KVT_TYPE_N1;
constexpr qint32 U1 = KVT_TYPE_U1;
constexpr qint32 P1 = KVT_TYPE_P1;
constexpr qint32 W1 = KVT_TYPE_W1;
constexpr qint32 ANY = OPMODE_ANY;
constexpr bool PREAMP = true;
constexpr bool NO_PREAMP = false;
} // namespace

const KVTCharacteristics::AntennaDescription KVTCharacteristics::s_aAntennaLibrary[] = {
    {QStringLiteral("HR482"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR486"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR423"), 300000, 3e7, Methods(2)},
    {QStringLiteral("HR428_L"), 300000, 3e7, Methods(2)},
    {QStringLiteral("HR428_R"), 300000, 3e7, Methods(2)},
    {QStringLiteral("HR462"), 2e7, 6.5e8, Methods(1)},
    {QStringLiteral("HR468"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR438"), 2e7, 2e8, Methods(2)},
    {QStringLiteral("PW84"), 300000, 3.6e9, Methods(0)},
    {QStringLiteral("HR443"), 1.3e9, 3e9, Methods(4)},
    {QStringLiteral("TN84"), 300000, 3e7, Methods(1)},
    {QStringLiteral("TN84K"), 300000, 3e7, Methods(1)},
    {QStringLiteral("TN84W"), 300000, 3e7, Methods(1)},
    {QStringLiteral("TN38HF"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR447(a)"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR447(b)"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR473"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR456"), 8e8, 2e9, Methods(4)},
    {QStringLiteral("HR443_K4"), 1.3e9, 2e9, Methods(4)},
    {QStringLiteral("HR469"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR478"), 300000, 3e7, Methods(1)},
    {QStringLiteral("HR478"), 30000001, 3e9, Methods(2)},
    {QStringLiteral("HR487"), 300000, 1.05e8, Methods(1)},
    {QStringLiteral("HR487"), 105000001, 3e9, Methods(4)},
    {QStringLiteral("HR489"), 300000, 1.05e8, Methods(1)},
    {QStringLiteral("HR489"), 105000001, 3e9, Methods(4)},
    {QStringLiteral("TN_VLF"), 1, 3e7, Methods(1)},
    {QStringLiteral("HR463"), 9000, 1e6, Methods(1)},
    {QStringLiteral("HR463_R"), 9000, 1e6, Methods(1)},
    {QStringLiteral("HR463_L"), 9000, 1e6, Methods(1)},
    {QStringLiteral("HR469SR"), 2e7, 1.3e9, Methods(10)},
    {QStringLiteral("HR438SR"), 2e7, 4.5e8, Methods(10)},
    {QStringLiteral("HR428SR_L"), 300000, 3e7, Methods(10)},
    {QStringLiteral("HR428SR_R"), 300000, 3e7, Methods(10)},
    {QStringLiteral("HR428SR_C2_L"), 300000, 3e7, Methods(10)},
    {QStringLiteral("HR428SR_C2_R"), 300000, 3e7, Methods(10)},
    {QStringLiteral("HR439_V"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR439_H"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR467"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR467"), 1300000001, 3.6e9, Methods(4)},
    {QStringLiteral("HR428SR_C3_L"), 300000, 3e7, Methods(10)},
    {QStringLiteral("HR428SR_C3_R"), 300000, 3e7, Methods(10)},
    {QStringLiteral("HR467 (A/P)"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR467 (A/P)"), 1300000001, 3.6e9, Methods(4)},
    {QStringLiteral("HR469SR_K2"), 2e7, 1.3e9, Methods(10)},
    {QStringLiteral("HR438SR_K2"), 2e7, 4.5e8, Methods(10)},
    {QStringLiteral("HR439_K3_V"), 2e7, 1.3e9, Methods(2)},
    {QStringLiteral("HR439_K3_H"), 2e7, 1.3e9, Methods(2)},
    {QString(), 0, 0, Methods(0)},
};

const KVTCharacteristics::SampleModeDescription KVTCharacteristics::s_aSampleModeDescription[] = {
    SampleMode(0, {Q1, N1, 5, U1, 7}, eOptHFR, CONV_RP29, CONV_NONE, 100000, 300000, 3e7, {3, 4, 2}, 1, s_aRESBWS_STD_20_2K, PREAMP, FREQ_RANGE_HF),
    SampleMode(1, {Q1, N1, 5, U1, 7}, eOptHFR, CONV_RP29, CONV_NONE, 200000, 300000, 3e7, {3, 4, 2}, 1, s_aRESBWS_STD_50_2K, PREAMP, FREQ_RANGE_HF),
    SampleMode(2, {Q1, N1, 5, U1, 7}, eOptHFR, CONV_RP29, CONV_NONE, 500000, 300000, 3e7, {3, 4, 2}, 1, s_aRESBWS_STD_100_20K, PREAMP, FREQ_RANGE_HF),
    SampleMode(3, {Q1, N1, 5, U1, 7}, eOptNone, CONV_RP29, CONV_NONE, 1e6, 300000, 3e7, {ANY}, 1, s_aRESBWS_STD_200_20K, PREAMP, FREQ_RANGE_HF),
    SampleMode(4, {Q1, 7}, eOptQ_WB, CONV_VQ28, CONV_RP29, 1e6, 300000, 3e7, {1, 3, 4, 2}, 0, s_aRESBWS_STD_200_20K, NO_PREAMP, FREQ_RANGE_HF),
    SampleMode(4, {N1, 7}, eOptN_HF, CONV_VQ28, CONV_RP29, 1e6, 300000, 3e7, {1, 3, 4, 2}, 0, s_aRESBWS_STD_200_20K, NO_PREAMP, FREQ_RANGE_HF),
    SampleMode(5, {Q1, 7}, eOptQ_WB, CONV_VQ28, CONV_RP29, 2e6, 300000, 3e7, {3, 4, 2}, 0, s_aRESBWS_STD_500_20K, NO_PREAMP, FREQ_RANGE_HF),
    SampleMode(6, {Q1, 7}, eOptQ_WB, CONV_VQ28, CONV_RP29, 5e6, 300000, 3e7, {3, 4, 2}, 0, s_aRESBWS_STD_1K_200K, NO_PREAMP, FREQ_RANGE_HF),
    SampleMode(7, {Q1, 7}, eOptQ_WB, CONV_VQ28, CONV_RP29, 1e7, 300000, 3e7, {3, 4, 2}, 0, s_aRESBWS_STD_2K_200K, NO_PREAMP, FREQ_RANGE_HF),
    SampleMode(8, {Q1, N1, P1, 5, U1, 7}, eOptHFR, CONV_VQ28, CONV_NONE, 100000, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_STD_20_2K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(9, {Q1, N1, P1, 5, U1, 7}, eOptHFR, CONV_VQ28, CONV_NONE, 200000, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_STD_50_2K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(10, {Q1, N1, P1, 5, U1, 7}, eOptHFR, CONV_VQ28, CONV_NONE, 500000, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_STD_100_20K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(11, {Q1, N1, P1, 5, U1, 7}, eOptHFR, CONV_VQ28, CONV_NONE, 1e6, 2e7, 3.6e9, {4, 2}, 1, s_aRESBWS_STD_200_20K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(12, {Q1, N1, P1, 5, U1, 7}, eOptNone, CONV_VQ28, CONV_NONE, 2e6, 2e7, 3.6e9, {ANY}, 1, s_aRESBWS_EXT_1K_100K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(13, {Q1, 7}, eOptNone, CONV_VQ28, CONV_NONE, 5e6, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_EXT_1K_200K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(13, {N1, P1, 7}, eOptN_HBW, CONV_VQ28, CONV_NONE, 5e6, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_EXT_1K_200K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(14, {Q1, P1, 7}, eOptNone, CONV_VQ28, CONV_NONE, 1e7, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_EXT_2K_200K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(14, {N1, P1, 7}, eOptN_HBW, CONV_VQ28, CONV_NONE, 1e7, 2e7, 3.6e9, {3, 4, 2}, 1, s_aRESBWS_EXT_2K_200K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(15, {Q1, N1, 5, U1, 7}, eOptLF, CONV_RP56, CONV_RP29, 100000, 9000, 1e6, {ANY}, 0, s_aRESBWS_STD_20_2K, NO_PREAMP, FREQ_RANGE_VLF),
    SampleMode(16, {Q1, N1, 5, U1, 7}, eOptLF, CONV_RP56, CONV_RP29, 200000, 9000, 1e6, {3, 4, 2}, 0, s_aRESBWS_STD_50_2K, NO_PREAMP, FREQ_RANGE_VLF),
    SampleMode(17, {Q1, N1, 5, U1, 7}, eOptLF, CONV_RP56, CONV_RP29, 500000, 9000, 1e6, {3, 4, 2}, 0, s_aRESBWS_STD_100_20K, NO_PREAMP, FREQ_RANGE_VLF),
    SampleMode(18, {Q1, N1, 5, U1, 7}, eOptNone, CONV_VQ28, CONV_NONE, 200000, 2e7, 3.6e9, {6}, 1, s_aRESBWS_STD_200K_200K, PREAMP, FREQ_RANGE_VUHF),
    SampleMode(19, {Q1, N1, 5, U1, 7}, eOptLF, CONV_RP56, CONV_RP29, 1e6, 9000, 1e6, {1, 3, 4, 2}, 0, s_aRESBWS_STD_200_20K, NO_PREAMP, FREQ_RANGE_VLF),
    SampleMode(1000, {W1}, eOptNone, CONV_RP39, CONV_NONE, 25000, 300000, 3e7, {1, 3, 4}, 0, s_aRESBWS_HF_0125K_25K, PREAMP, FREQ_RANGE_HF),
    SampleMode(1000, {W1}, eOptNone, CONV_VQ36, CONV_NONE, 200000, 2e7, 1.3e9, {1, 3, 4}, 0, s_aRESBWS_VUHF_1K_200K, NO_PREAMP, FREQ_RANGE_VUHF),
    SampleMode(1000, {W1}, eOptNone, CONV_VQ26, CONV_NONE, 200000, 1.3e9, 3e9, {1, 3, 4}, 0, s_aRESBWS_VUHF_1K_200K, NO_PREAMP, FREQ_RANGE_VUHF),
    SampleMode(1001, {W1}, eOptNone, CONV_VQ57, CONV_NONE, 200000, 2e7, 1.3e9, {1, 3, 4}, 0, s_aRESBWS_VUHF_5K_50K, NO_PREAMP, FREQ_RANGE_VUHF),
    SampleMode(1002, {W1}, eOptNone, CONV_RP38, CONV_NONE, 25000, 500000, 29999990, {1, 3, 4}, 0, s_aRESBWS_HF_0250K_12K, NO_PREAMP, FREQ_RANGE_HF),
    SampleMode(1003, {W1}, eOptNone, CONV_VQ62, CONV_NONE, 200000, 2e7, 999999990, {1, 3, 4}, 0, s_aRESBWS_VUHF_5K_50K, NO_PREAMP, FREQ_RANGE_VUHF),
    SampleMode(SAMPLE_MODE_NONE, {}, eOptNone, CONV_NONE, CONV_NONE, 0, 0, 0, {}, 0, nullptr, NO_PREAMP, FREQ_RANGE_UNKNOWN),
};
