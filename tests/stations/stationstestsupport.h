#pragma once

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include <QLocale>
#include <QStringList>

#include <array>

/// Antenna records as one line
/// "name|minFreq|maxFreq|minRange|maxRange|compassValue|mechOffset|dfNames|dfCodes|flags|converter"
/// with exact numbers and the flags enabled, compass support, compass enabled,
/// polarisation support, active/passive support as 0/1: the members the store keeps.
namespace StationsTest
{

template <class A>
auto Flags(A& a)
{
    return std::array<decltype(&a.m_bEnabled), 5>{&a.m_bEnabled, &a.m_bCompassSupport, &a.m_bCompassEnabled,
                                                 &a.m_bPolarizationSupport, &a.m_bActivePassiveSupport};
}

inline QString Describe(const AntennaData& a)
{
    QStringList lstFields{a.m_strName};
    // The shortest text that reads back as the same number.
    for (double f : {a.m_fMinFreq, a.m_fMaxFreq, a.m_fMinRange, a.m_fMaxRange, double(a.m_fCompassValue), double(a.m_fMechOffset)})
        lstFields << QString::number(f, 'f', QLocale::FloatingPointShortest);
    QStringList lstCodes;
    for (quint32 nCode : a.m_lstDfMethods)
        lstCodes << QString::number(nCode);
    QString strFlags;
    for (const bool* pFlag : Flags(a))
        strFlags += *pFlag ? QLatin1Char('1') : QLatin1Char('0');
    return (lstFields << a.m_lstDfMethodNames.join(',') << lstCodes.join(',') << strFlags << a.m_strConverterTypeName).join('|');
}

inline QStringList Describe(const AntennaDataList& list)
{
    QStringList lstLines;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        lstLines << Describe(*list.GetAntennaByIndex(i));
    return lstLines;
}

/// A record from such a line (handles and polarisation mode at their defaults).
inline AntennaData* Parse(const QString& line)
{
    const QStringList f = line.split(QLatin1Char('|'));
    auto* pAntenna = new AntennaData;
    pAntenna->m_strName = f[0];
    pAntenna->m_fMinFreq = f[1].toDouble();
    pAntenna->m_fMaxFreq = f[2].toDouble();
    pAntenna->m_fMinRange = f[3].toDouble();
    pAntenna->m_fMaxRange = f[4].toDouble();
    pAntenna->m_fCompassValue = f[5].toFloat();
    pAntenna->m_fMechOffset = f[6].toFloat();
    pAntenna->m_lstDfMethodNames = f[7].split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& strCode : f[8].split(QLatin1Char(','), Qt::SkipEmptyParts))
        pAntenna->m_lstDfMethods << strCode.toUInt();
    for (int i = 0; i < 5; ++i)
        *Flags(*pAntenna)[i] = f[9][i] == QLatin1Char('1');
    pAntenna->m_strConverterTypeName = f[10];
    return pAntenna;
}

/// Three records that use every stored member, with used ranges ending on odd
/// millihertz, and run-time handles and a polarisation mode that are not stored.
inline void AddSampleSetup(AntennaDataList& list)
{
    int i = 0;
    for (const char* line : {"HF Loop|300000|30000000|500000.125|29999999.875|12.5|-3.5|COR8O,WAT|1,0|11101|HF-CONV",
                             "VUHF Dipole|20000000|3000000000|30000000.001|2999999999.999|-1|0|VMR,COR9,SUPR|3,1,2|00010|VQ28",
                             "SHF Horn|2900000000|8000000000|2900000000|8000000000|-1|0|||10000|"})
    {
        AntennaData* pAntenna = Parse(QString::fromLatin1(line));
        pAntenna->m_nHandle = ++i;
        pAntenna->m_nCompassHandle = 9 + i;
        pAntenna->m_nConverterHandle = 19 + i;
        pAntenna->m_ePolarizationMode = static_cast<EKVTPolarisation>(i);
        list.AddAntenna(pAntenna);
    }
}

inline const QString SAMPLE_STATION = QStringLiteral("192.168.17.4:5555");

}
