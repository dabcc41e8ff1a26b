#include "stationstestsupport.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

namespace StationsTest
{

namespace
{

QString Exact(double value)
{
    return QString::number(value, 'g', 17);
}

AntennaData* MakeAntenna(const QString& name, double minFreq, double maxFreq, double minRange, double maxRange,
                         const QStringList& dfMethods, const QList<quint32>& dfCodes)
{
    auto* pAntenna = new AntennaData;
    pAntenna->m_strName = name;
    pAntenna->m_fMinFreq = minFreq;
    pAntenna->m_fMaxFreq = maxFreq;
    pAntenna->m_fMinRange = minRange;
    pAntenna->m_fMaxRange = maxRange;
    pAntenna->m_lstDfMethodNames = dfMethods;
    pAntenna->m_lstDfMethods = dfCodes;
    return pAntenna;
}

}

QString DescribeStored(const AntennaData& a)
{
    const auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList lstCodes;
    for (quint32 nCode : a.m_lstDfMethods)
        lstCodes << QString::number(nCode);
    return QStringList{a.m_strName,
                       flag(a.m_bEnabled),
                       Exact(a.m_fMinFreq),
                       Exact(a.m_fMaxFreq),
                       Exact(a.m_fMinRange),
                       Exact(a.m_fMaxRange),
                       flag(a.m_bCompassSupport),
                       flag(a.m_bCompassEnabled),
                       Exact(a.m_fCompassValue),
                       Exact(a.m_fMechOffset),
                       a.m_lstDfMethodNames.join(QLatin1Char(',')),
                       lstCodes.join(QLatin1Char(',')),
                       flag(a.m_bPolarizationSupport),
                       flag(a.m_bActivePassiveSupport),
                       a.m_strConverterTypeName}
        .join(QLatin1Char('|'));
}

QStringList DescribeStored(const AntennaDataList& list)
{
    QStringList lstLines;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        lstLines << DescribeStored(*list.GetAntennaByIndex(i));
    return lstLines;
}

void AddSampleSetup(AntennaDataList& list)
{
    AntennaData* pHf = MakeAntenna(QStringLiteral("HF Loop"), 300000.0, 30000000.0, 500000.125, 29999999.875,
                                   {QStringLiteral("COR8O"), QStringLiteral("WAT")}, {DF_METHOD_COR, DF_METHOD_WAT});
    pHf->m_nHandle = 1;
    pHf->m_bCompassSupport = true;
    pHf->m_bCompassEnabled = true;
    pHf->m_fCompassValue = 12.5f;
    pHf->m_fMechOffset = -3.5f;
    pHf->m_bActivePassiveSupport = true;
    pHf->m_strConverterTypeName = QStringLiteral("HF-CONV");
    list.AddAntenna(pHf);

    AntennaData* pVuhf = MakeAntenna(QStringLiteral("VUHF Dipole"), 20000000.0, 3000000000.0, 30000000.001,
                                     2999999999.999,
                                     {QStringLiteral("VMR"), QStringLiteral("COR9"), QStringLiteral("SUPR")},
                                     {DF_METHOD_VEC, DF_METHOD_COR, DF_METHOD_SUPR});
    pVuhf->m_nHandle = 2;
    pVuhf->m_bEnabled = false;
    pVuhf->m_bPolarizationSupport = true;
    pVuhf->m_ePolarizationMode = POL_HORIZONTAL;
    pVuhf->m_nConverterHandle = 7;
    pVuhf->m_strConverterTypeName = QStringLiteral("VQ28");
    list.AddAntenna(pVuhf);

    AntennaData* pShf = MakeAntenna(QStringLiteral("SHF Horn"), 2900000000.0, 8000000000.0, 2900000000.0,
                                    8000000000.0, {}, {});
    pShf->m_nHandle = 3;
    pShf->m_nCompassHandle = 4;
    list.AddAntenna(pShf);
}

}
