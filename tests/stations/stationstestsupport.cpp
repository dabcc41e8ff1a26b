#include "stationstestsupport.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include <QLocale>

namespace StationsTest
{

namespace
{

// The shortest text that reads back as the same double.
QString Exact(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

}

QString Describe(const AntennaData& a)
{
    QStringList lstCodes;
    for (quint32 nCode : a.m_lstDfMethods)
        lstCodes << QString::number(nCode);
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
               .arg(a.m_strName, Exact(a.m_fMinFreq), Exact(a.m_fMaxFreq), Exact(a.m_fMinRange), Exact(a.m_fMaxRange),
                    Exact(a.m_fCompassValue), Exact(a.m_fMechOffset), a.m_lstDfMethodNames.join(QLatin1Char(',')),
                    lstCodes.join(QLatin1Char(','))) +
           QStringLiteral("|%1%2%3%4%5|%6")
               .arg(a.m_bEnabled)
               .arg(a.m_bCompassSupport)
               .arg(a.m_bCompassEnabled)
               .arg(a.m_bPolarizationSupport)
               .arg(a.m_bActivePassiveSupport)
               .arg(a.m_strConverterTypeName);
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
    pAntenna->m_bEnabled = f[9][0] == QLatin1Char('1');
    pAntenna->m_bCompassSupport = f[9][1] == QLatin1Char('1');
    pAntenna->m_bCompassEnabled = f[9][2] == QLatin1Char('1');
    pAntenna->m_bPolarizationSupport = f[9][3] == QLatin1Char('1');
    pAntenna->m_bActivePassiveSupport = f[9][4] == QLatin1Char('1');
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
