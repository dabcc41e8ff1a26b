#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"

#include <QList>
#include <QString>
#include <QStringList>

/// One antenna as the direction finder sees it: a named frequency segment of
/// a physical antenna with the range in which the system uses it, its DF
/// methods, compass and polarisation properties and its converter.
///
/// A plain record: other code reads and writes the members directly. Several
/// records may describe one physical antenna and then share m_nHandle.
/// Frequencies are in Hz. Copies are deep (lists and reserved members included).
class KVTCOMMON_EXPORT AntennaData
{
public:
    /// Every member at the default listed beside it.
    AntennaData();
    AntennaData(const AntennaData& other);
    AntennaData& operator=(const AntennaData& other);
    virtual ~AntennaData();

    QString m_strName;                  ///< identity in the stored setup; secondary sort key
    qint32 m_nHandle = -1;              ///< physical antenna; -1 = none
    double m_fMinFreq = 0.0;            ///< lowest frequency the segment covers
    double m_fMaxFreq = 0.0;            ///< highest frequency the segment covers
    double m_fMinRange = 0.0;           ///< lower end of the range the system uses it for
    double m_fMaxRange = 0.0;           ///< upper end of that range
    bool m_bEnabled = true;             ///< takes part in frequency lookups
    /// DF method codes, position by position the translation of m_lstDfMethodNames.
    QList<quint32> m_lstDfMethods;
    QStringList m_lstDfMethodNames;     ///< DF method names as stored and shown
    bool m_bCompassSupport = false;
    bool m_bCompassEnabled = false;
    float m_fCompassValue = -1.0f;
    float m_fMechOffset = 0.0f;
    bool m_bPolarizationSupport = false;
    bool m_bActivePassiveSupport = false;
    // The reserved members are carried for other components: the library
    // never interprets or persists them, it only initialises and copies them.
    bool m_bReserved = false;
    /// Polarisation this record serves; compared with the requested one in lookups.
    EKVTPolarisation m_ePolarizationMode = POL_LEFT;
    qint32 m_nReserved = -1;
    qint32 m_nCompassHandle = -1;       ///< -1 = no compass
    qint64 m_nReserved1 = 0;
    qint32 m_nConverterHandle = -1;     ///< -1 = no converter
    QString m_strConverterTypeName;     ///< type name of the converter, e.g. "VQ28"
    qint64 m_nReserved2 = 0;
    qint64 m_nReserved3 = 0;
};
