#include "devicecontrol/directionfinder/kvtcommon/antennadatalistcfgaccess.h"

#include "base/errorhandler.h"
#include "base/icfg.h"
#include "base/tokenizer.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

const QString SYSTEM_CONFIGURATION = QStringLiteral("SystemConfiguration");
const QString ANTENNA_COUNT = QStringLiteral("AntennaCount");

QString EntryPath(int index)
{
    return QStringLiteral("SystemConfiguration/Antenna%1").arg(index);
}

QString FixedPoint(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// A stored used-range end outside the antenna's span falls back to that span's end.
double WithinSpan(double value, const AntennaData& antenna, double fallback)
{
    return value < antenna.m_fMinFreq || value > antenna.m_fMaxFreq ? fallback : value;
}

} // namespace

std::optional<int> AntennaDataListCfgAccess::BuildAntennas(const KVTCharacteristicsTools& tools,
                                                           const QString& address,
                                                           std::vector<std::unique_ptr<AntennaData>>& rAntennas)
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(address, false));
    if (!pStation)
        return std::nullopt;

    int nCount = 1;
    if (const std::unique_ptr<ICfg> pSystem = OpenSubCfg(*pStation, SYSTEM_CONFIGURATION))
        nCount = std::min(pSystem->GetInt(ANTENNA_COUNT, 1, 0), MAX_ANTENNA_COUNT);

    for (int i = 0; i < nCount; ++i)
    {
        auto pAntenna = std::make_unique<AntennaData>();
        if (const std::unique_ptr<ICfg> pEntry = OpenSubCfg(*pStation, EntryPath(i)))
            ReadEntry(*pEntry, tools, *pAntenna);
        pAntenna->m_nHandle = -1;
        pAntenna->m_nCompassHandle = -1;
        pAntenna->m_nConverterHandle = -1;
        pAntenna->m_nReserved = -1;
        // The polarisation a record serves is assigned at run time, not stored.
        pAntenna->m_ePolarizationMode = POL_LEFT;
        rAntennas.push_back(std::move(pAntenna));
    }
    return nCount;
}

bool AntennaDataListCfgAccess::ReadAntennaSetup(const QList<AntennaData*>& antennas, const QString& address)
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(address, false));
    if (!pStation)
        return false;

    int nEntry = 0;
    double fPreviousMaxFreq = -1.0;
    for (AntennaData* pAntenna : antennas)
    {
        AntennaData& rAntenna = *pAntenna;
        const std::unique_ptr<ICfg> pEntry = FindEntry(*pStation, rAntenna.m_strName, nEntry);
        if (!pEntry)
            break;
        ReadUserSettings(*pEntry, rAntenna);
        if (rAntenna.m_fMinRange == fPreviousMaxFreq)
            rAntenna.m_fMinRange += 1.0;
        fPreviousMaxFreq = rAntenna.m_fMaxFreq;
    }
    return true;
}

void AntennaDataListCfgAccess::WriteAntennaSetup(const QList<AntennaData*>& antennas, const QString& address)
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(address, true));
    if (!pStation)
        return;

    int n = 0;
    for (; n < antennas.size(); ++n)
    {
        if (const std::unique_ptr<ICfg> pEntry = OpenSubCfg(*pStation, EntryPath(n)))
            WriteEntry(*pEntry, *antennas.at(n));
    }
    if (const std::unique_ptr<ICfg> pSystem = OpenSubCfg(*pStation, SYSTEM_CONFIGURATION))
        pSystem->SetInt(ANTENNA_COUNT, n, 0);
}

float AntennaDataListCfgAccess::ToFloat(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return 0.0f;
    return static_cast<float>(value);
}

std::unique_ptr<ICfg> AntennaDataListCfgAccess::OpenSubCfg(ICfg& station, const QString& path)
{
    std::unique_ptr<ICfg> pSubCfg(station.GetSubCfg(path, ICfg::Station));
    if (!pSubCfg && ErrorHandler::Instance().AssertsEnabled())
        _Q_assert(L"pSubCfg", KVT_WIDE(__FILE__), __LINE__);
    return pSubCfg;
}

// Opens the entries from rnEntry on until one carries name; null once an
// entry without a name is reached. rnEntry is left after the entry returned.
std::unique_ptr<ICfg> AntennaDataListCfgAccess::FindEntry(ICfg& station, const QString& name, int& rnEntry)
{
    for (;;)
    {
        std::unique_ptr<ICfg> pEntry = OpenSubCfg(station, EntryPath(rnEntry++));
        const QString strName = pEntry ? pEntry->GetString(QStringLiteral("Name"), QString(), 0) : QString();
        if (strName.isEmpty())
            return nullptr;
        if (strName == name)
            return pEntry;
    }
}

double AntennaDataListCfgAccess::ReadNumber(ICfg& entry, const QString& key)
{
    bool bOk = false;
    const double value = entry.GetString(key, QString(), 0).toDouble(&bOk);
    return bOk && std::isfinite(value) ? value : 0.0;
}

// The members a user edits; the frequency span must be known already.
void AntennaDataListCfgAccess::ReadUserSettings(ICfg& entry, AntennaData& antenna)
{
    antenna.m_fMinRange = WithinSpan(ReadNumber(entry, QStringLiteral("MinRange")), antenna, antenna.m_fMinFreq);
    antenna.m_fMaxRange = WithinSpan(ReadNumber(entry, QStringLiteral("MaxRange")), antenna, antenna.m_fMaxFreq);
    antenna.m_bEnabled = entry.GetBool(QStringLiteral("Enabled"), false, 0);
    antenna.m_bCompassEnabled = entry.GetBool(QStringLiteral("CompassEnabled"), false, 0);
    antenna.m_fMechOffset = ToFloat(ReadNumber(entry, QStringLiteral("MechOffset")));
}

void AntennaDataListCfgAccess::ReadEntry(ICfg& entry, const KVTCharacteristicsTools& tools, AntennaData& antenna)
{
    antenna.m_strName = entry.GetString(QStringLiteral("Name"), QString(), 0);
    antenna.m_fMinFreq = ReadNumber(entry, QStringLiteral("MinFreq"));
    antenna.m_fMaxFreq = ReadNumber(entry, QStringLiteral("MaxFreq"));
    ReadUserSettings(entry, antenna);

    Omek::Tokenizer tokenizer(entry.GetString(QStringLiteral("DFAlgorithm"), QString(), 0));
    for (QString strMethod = tokenizer(QStringLiteral(",")); !strMethod.isEmpty();
         strMethod = tokenizer(QStringLiteral(",")))
    {
        antenna.m_lstDfMethodNames.append(strMethod);
        antenna.m_lstDfMethods.append(static_cast<quint32>(tools.TranslateDfMethod(strMethod)));
    }

    antenna.m_bCompassSupport = entry.GetBool(QStringLiteral("CompassSupport"), false, 0);
    antenna.m_bPolarizationSupport = entry.GetBool(QStringLiteral("PolarizationSupport"), false, 0);
    antenna.m_bActivePassiveSupport = entry.GetBool(QStringLiteral("ActivePassiveSupport"), false, 0);
    antenna.m_fCompassValue = ToFloat(ReadNumber(entry, QStringLiteral("CompassValue")));
    antenna.m_strConverterTypeName = entry.GetString(QStringLiteral("ConverterTypeName"), QString(), 0);
}

void AntennaDataListCfgAccess::WriteEntry(ICfg& entry, const AntennaData& antenna)
{
    entry.SetString(QStringLiteral("Name"), antenna.m_strName, 0);
    entry.SetBool(QStringLiteral("Enabled"), antenna.m_bEnabled, 0);
    entry.SetString(QStringLiteral("MinRange"), FixedPoint(antenna.m_fMinRange, 3), 0);
    entry.SetString(QStringLiteral("MaxRange"), FixedPoint(antenna.m_fMaxRange, 3), 0);
    entry.SetBool(QStringLiteral("CompassEnabled"), antenna.m_bCompassEnabled, 0);
    entry.SetString(QStringLiteral("MechOffset"), FixedPoint(antenna.m_fMechOffset, 1), 0);
    entry.SetBool(QStringLiteral("CompassSupport"), antenna.m_bCompassSupport, 0);
    entry.SetString(QStringLiteral("DFAlgorithm"), antenna.m_lstDfMethodNames.join(QLatin1Char(',')), 0);
    entry.SetString(QStringLiteral("MinFreq"), FixedPoint(antenna.m_fMinFreq, 3), 0);
    entry.SetString(QStringLiteral("MaxFreq"), FixedPoint(antenna.m_fMaxFreq, 3), 0);
    entry.SetBool(QStringLiteral("PolarizationSupport"), antenna.m_bPolarizationSupport, 0);
    entry.SetInt(QStringLiteral("PolarizationMode"), static_cast<int>(antenna.m_ePolarizationMode), 0);
    entry.SetBool(QStringLiteral("ActivePassiveSupport"), antenna.m_bActivePassiveSupport, 0);
    entry.SetString(QStringLiteral("CompassValue"), FixedPoint(antenna.m_fCompassValue, 3), 0);
    entry.SetString(QStringLiteral("ConverterTypeName"), antenna.m_strConverterTypeName, 0);
}
