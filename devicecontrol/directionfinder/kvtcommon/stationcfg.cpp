#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "base/omekos.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueobservermacros.h"

#include <QStringList>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace
{

const ICfg::View STATION_VIEW = ICfg::Station;
const QString DEFAULT_STATION = QStringLiteral("Default");
const QString DEVICE_NODE = QStringLiteral("/KVTServer");
const QString ENTRY_PREFIX = QStringLiteral("KVTStation");

QString EntryName(int index)
{
    return ENTRY_PREFIX + QString::number(index);
}

// The text of a string value of the device node; empty when missing or of another type.
QString DeviceText(const values::ValueDescriptor& descriptor)
{
    const auto* pValue = values::LookUpValue<values::Value<QString>>(DEVICE_NODE + descriptor.PathName());
    return pValue != nullptr ? pValue->GetValue() : QString();
}

QString OrDefault(const QString& text)
{
    return text.isEmpty() ? DEFAULT_STATION : text;
}

// The numbers of the entries present, ascending; "Count" is not trusted for them.
std::vector<int> EntryNumbers(const ICfg& stations)
{
    std::vector<int> numbers;
    for (const QString& name : stations.GetSubCfgNames())
    {
        bool ok = false;
        const int nEntry = name.startsWith(ENTRY_PREFIX) ? name.mid(ENTRY_PREFIX.size()).toInt(&ok) : -1;
        if (ok && nEntry >= 0 && EntryName(nEntry) == name)
            numbers.push_back(nEntry);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

ICfg* FindEntry(ICfg& stations, const QString& address)
{
    for (int nEntry : EntryNumbers(stations))
    {
        std::unique_ptr<ICfg> pEntry(stations.GetSubCfg(EntryName(nEntry), STATION_VIEW));
        if (pEntry && pEntry->GetString(QStringLiteral("DeviceAddress"), QString(), 0) == address)
            return pEntry.release();
    }
    return nullptr;
}

} // namespace

ICfg* StationCfg::GetStationCfg(QString address, bool bCreate)
{
    address = OrDefault(address);
    const std::unique_ptr<ICfg> pStations(
        CfgCenter::GetAppCfg(STATION_VIEW).GetSubCfg(QStringLiteral("KVTStations"), STATION_VIEW));
    if (!pStations)
        return nullptr;
    if (ICfg* pEntry = FindEntry(*pStations, address))
        return pEntry;
    if (!bCreate)
        return nullptr;

    // Another process may be adding a station as well: hold the file until this entry is
    // saved, and look again in what the file holds now.
    CfgCenter::LockForUpdate(*pStations);
    if (ICfg* pEntry = FindEntry(*pStations, address))
        return pEntry;
    const std::vector<int> entries = EntryNumbers(*pStations);
    if (!entries.empty() && entries.back() >= std::numeric_limits<int>::max() - 1)
        return nullptr; // no number left for the entry and "Count"
    const int nEntry = entries.empty() ? 0 : entries.back() + 1;
    pStations->SetInt(QStringLiteral("Count"), nEntry + 1, 0);
    std::unique_ptr<ICfg> pEntry(pStations->GetSubCfg(EntryName(nEntry), STATION_VIEW));
    if (pEntry)
        pEntry->SetString(QStringLiteral("DeviceAddress"), address, 0);
    return pEntry.release();
}

QString StationCfg::GetStationAddress()
{
    const QString strAddress = OrDefault(DeviceText(StdDeviceDefinition::g_vdDevAddress));
    const int nColon = strAddress.indexOf(QLatin1Char(':'));
    const QString strHost = nColon < 0 ? strAddress : strAddress.left(nColon);
    const QString strSuffix = nColon < 0 ? QString() : strAddress.mid(nColon);

    QString strResolved;
    if (OmekOS::Create()->ResolveHostAddress(strHost, strResolved) == 0)
        return strResolved + strSuffix;
    return strHost + strSuffix;
}

QString StationCfg::GetStationName()
{
    return OrDefault(DeviceText(StdDeviceDefinition::g_vdDevName));
}
