#pragma once

#include <QtGlobal>
#include <QString>

#include <cstddef>
#include <list>
#include <type_traits>

// Settings records exchanged with separately built driver modules. Member order, widths and
// defaults are part of the driver interface: never reorder, retype or insert members. Members
// named "DriverDefined<position>" are interpreted by the drivers only; this library stores,
// copies and forwards them. All records copy member-wise (lists included).

namespace NxKVTCommon
{

/// DF (direction-finding) settings of one frequency range.
struct DFSettingsStruct
{
    double m_fDriverDefined1 = -1.0;
    qint32 m_nDriverDefined2 = -1;
    double m_fDriverDefined3 = -1.0;
    qint32 m_nDriverDefined4 = -1;
    bool m_bDriverDefined5 = false;
    bool m_bDriverDefined6 = false;
    bool m_bDriverDefined7 = false;
    double m_fDriverDefined8 = -1.0;
    double m_fDriverDefined9 = -1.0;
    /// The only member this library reads (FreqRangeDefinition::GetThreshold).
    qint32 m_nThreshold = -1;
    bool m_bDriverDefined11 = false;
    qint32 m_nDriverDefined12 = -1;
    /// The interface gives this word no default; 0 keeps fresh records and their copies deterministic.
    quint64 m_nDriverDefined13 = 0;
};

/// Demodulation settings of one frequency range.
struct DEMSettingsStruct
{
    qint32 m_nDriverDefined1 = 0;
    qint32 m_nDriverDefined2 = -1;
    qint32 m_nDriverDefined3 = -1;
    double m_fDriverDefined4 = -1.0;
    double m_fDriverDefined5 = -1.0;
    double m_fDriverDefined6 = -1.0;
};

/// Filter settings of one frequency range.
struct FilterSettingsStruct
{
    qint32 m_nDriverDefined1 = 0;
    qint32 m_nDriverDefined2 = 35999;
    qint32 m_nDriverDefined3 = 0;
    qint32 m_nDriverDefined4 = 0;
    qint32 m_nDriverDefined5 = 0;
    qint32 m_nDriverDefined6 = 0;
    qint32 m_nDriverDefined7 = 0;
    qint32 m_nDriverDefined8 = 9000;
    qint32 m_nDriverDefined9 = -1;
    qint32 m_nDriverDefined10 = -1;
};

/// Gain control settings.
struct GainControlStruct
{
    QString m_strDriverDefined1;
    qint32 m_nDriverDefined2 = -1;
    double m_fDriverDefined3 = -1.0;
};

/// Setup of one antenna as the driver sees it. The interface defines no defaults; every member starts
/// at zero/false/empty so that a fresh record never carries indeterminate values.
struct AntennaSetupStruct
{
    qint32 m_nDriverDefined1 = 0;
    quint64 m_nDriverDefined2 = 0;
    quint64 m_nDriverDefined3 = 0;
    bool m_bDriverDefined4 = false;
    qint32 m_nDriverDefined5 = 0;
    qint32 m_nDriverDefined6 = 0;
    double m_fDriverDefined7 = 0.0;
    std::list<quint32> m_lstDriverDefined8;
};

/// Setup of one frequency converter. No interface defaults; starts at zero/false/empty.
struct ConverterSetupStruct
{
    qint32 m_nDriverDefined1 = 0;
    qint32 m_nDriverDefined2 = 0;
    QString m_strDriverDefined3;
    bool m_bDriverDefined4 = false;
    qint32 m_nDriverDefined5 = 0;
    bool m_bDriverDefined6 = false;
    bool m_bDriverDefined7 = false;
};

// Layout pins for the x86_64 ABI that the driver modules are built for. Records holding a
// std::list are not standard-layout, so only their size is pinned (in terms of the list's own
// size, which belongs to the standard library, not to this interface).
#if defined(__x86_64__) || defined(_M_X64)
static_assert(std::is_standard_layout<DFSettingsStruct>::value, "DFSettingsStruct layout");
static_assert(
    offsetof(DFSettingsStruct, m_nDriverDefined2) == 8 && offsetof(DFSettingsStruct, m_fDriverDefined3) == 16 &&
        offsetof(DFSettingsStruct, m_nDriverDefined4) == 24 && offsetof(DFSettingsStruct, m_bDriverDefined5) == 28 &&
        offsetof(DFSettingsStruct, m_bDriverDefined7) == 30 && offsetof(DFSettingsStruct, m_fDriverDefined8) == 32 &&
        offsetof(DFSettingsStruct, m_fDriverDefined9) == 40 && offsetof(DFSettingsStruct, m_nThreshold) == 48 &&
        offsetof(DFSettingsStruct, m_bDriverDefined11) == 52 && offsetof(DFSettingsStruct, m_nDriverDefined12) == 56 &&
        offsetof(DFSettingsStruct, m_nDriverDefined13) == 64 && sizeof(DFSettingsStruct) == 72,
    "DFSettingsStruct layout");
static_assert(std::is_standard_layout<DEMSettingsStruct>::value, "DEMSettingsStruct layout");
static_assert(offsetof(DEMSettingsStruct, m_nDriverDefined3) == 8 &&
                  offsetof(DEMSettingsStruct, m_fDriverDefined4) == 16 &&
                  offsetof(DEMSettingsStruct, m_fDriverDefined6) == 32 && sizeof(DEMSettingsStruct) == 40,
              "DEMSettingsStruct layout");
static_assert(std::is_standard_layout<FilterSettingsStruct>::value &&
                  offsetof(FilterSettingsStruct, m_nDriverDefined10) == 36 && sizeof(FilterSettingsStruct) == 40,
              "FilterSettingsStruct layout");
static_assert(std::is_standard_layout<GainControlStruct>::value, "GainControlStruct layout");
static_assert(offsetof(GainControlStruct, m_nDriverDefined2) == 8 &&
                  offsetof(GainControlStruct, m_fDriverDefined3) == 16 && sizeof(GainControlStruct) == 24,
              "GainControlStruct layout");
static_assert(sizeof(AntennaSetupStruct) == 48 + sizeof(std::list<quint32>) && alignof(AntennaSetupStruct) == 8,
              "AntennaSetupStruct layout");
static_assert(std::is_standard_layout<ConverterSetupStruct>::value, "ConverterSetupStruct layout");
static_assert(offsetof(ConverterSetupStruct, m_strDriverDefined3) == 8 &&
                  offsetof(ConverterSetupStruct, m_bDriverDefined4) == 16 &&
                  offsetof(ConverterSetupStruct, m_nDriverDefined5) == 20 &&
                  offsetof(ConverterSetupStruct, m_bDriverDefined7) == 25 && sizeof(ConverterSetupStruct) == 32,
              "ConverterSetupStruct layout");
#endif

} // namespace NxKVTCommon
