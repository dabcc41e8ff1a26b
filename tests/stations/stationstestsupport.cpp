#include "stationstestsupport.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include <QLocale>

#include <array>

namespace StationsTest
{

namespace
{

// The stored flags in line order.
template <class A>
auto Flags(A& a)
{
    return std::array<decltype(&a.m_bEnabled), 5>{&a.m_bEnabled, &a.m_bCompassSupport, &a.m_bCompassEnabled,
                                                 &a.m_bPolarizationSupport, &a.m_bActivePassiveSupport};
}

}

QString Describe(const AntennaData& a)
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

QStringList Describe(const AntennaDataList& list)
{
    QStringList lstLines;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        lstLines << Describe(*list.GetAntennaByIndex(i));
    return lstLines;
}

AntennaData* Parse(const QString& line)
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

void AddSampleSetup(AntennaDataList& list)
{
    const QStringList lstLines{
        QStringLiteral("HF Loop|300000|30000000|500000.125|29999999.875|12.5|-3.5|COR8O,WAT|1,0|11101|HF-CONV"),
        QStringLiteral("VUHF Dipole|20000000|3000000000|30000000.001|2999999999.999|-1|0|VMR,COR9,SUPR|3,1,2|00010|VQ28"),
        QStringLiteral("SHF Horn|2900000000|8000000000|2900000000|8000000000|-1|0|||10000|")};
    for (int i = 0; i < lstLines.size(); ++i)
    {
        AntennaData* pAntenna = Parse(lstLines[i]);
        pAntenna->m_nHandle = i + 1;
        pAntenna->m_nCompassHandle = 10 + i;
        pAntenna->m_nConverterHandle = 20 + i;
        pAntenna->m_ePolarizationMode = static_cast<EKVTPolarisation>(i + 1);
        list.AddAntenna(pAntenna);
    }
}

}
