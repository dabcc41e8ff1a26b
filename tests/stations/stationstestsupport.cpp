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

AntennaData& Add(AntennaDataList& list, const QString& name, double minFreq, double maxFreq, double minRange,
                 double maxRange, const QString& methods, const QString& converter)
{
    auto* pAntenna = new AntennaData;
    pAntenna->m_strName = name;
    pAntenna->m_fMinFreq = minFreq;
    pAntenna->m_fMaxFreq = maxFreq;
    pAntenna->m_fMinRange = minRange;
    pAntenna->m_fMaxRange = maxRange;
    pAntenna->m_lstDfMethodNames = methods.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& strMethod : pAntenna->m_lstDfMethodNames)
        pAntenna->m_lstDfMethods << (strMethod == QLatin1String("WAT") ? DF_METHOD_WAT
                                     : strMethod == QLatin1String("VMR") ? DF_METHOD_VEC
                                     : strMethod == QLatin1String("SUPR") ? DF_METHOD_SUPR : DF_METHOD_COR);
    pAntenna->m_strConverterTypeName = converter;
    list.AddAntenna(pAntenna);
    return *pAntenna;
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

void AddSampleSetup(AntennaDataList& list)
{
    AntennaData& rHf = Add(list, QStringLiteral("HF Loop"), 3e5, 3e7, 500000.125, 29999999.875,
                           QStringLiteral("COR8O,WAT"), QStringLiteral("HF-CONV"));
    rHf.m_nHandle = 1;
    rHf.m_bCompassSupport = rHf.m_bCompassEnabled = rHf.m_bActivePassiveSupport = true;
    rHf.m_fCompassValue = 12.5f;
    rHf.m_fMechOffset = -3.5f;

    AntennaData& rVuhf = Add(list, QStringLiteral("VUHF Dipole"), 2e7, 3e9, 30000000.001, 2999999999.999,
                             QStringLiteral("VMR,COR9,SUPR"), QStringLiteral("VQ28"));
    rVuhf.m_nHandle = 2;
    rVuhf.m_bEnabled = false;
    rVuhf.m_bPolarizationSupport = true;
    rVuhf.m_ePolarizationMode = POL_HORIZONTAL;
    rVuhf.m_nConverterHandle = 7;

    AntennaData& rShf = Add(list, QStringLiteral("SHF Horn"), 2.9e9, 8e9, 2.9e9, 8e9, QString(), QString());
    rShf.m_nHandle = 3;
    rShf.m_nCompassHandle = 4;
}

}
