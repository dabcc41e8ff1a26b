#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "base/omekos.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueobservermacros.h"

#include <QStringList>

#include <memory>

namespace
{

const ICfg::View STATION_VIEW = ICfg::Station;
const QString DEFAULT_STATION = QStringLiteral("Default");
const QString DEVICE_NODE = QStringLiteral("/KVTServer");

QString EntryName(int index)
{
    return QStringLiteral("KVTStation%1").arg(index);
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

} // namespace

ICfg* StationCfg::GetStationCfg(QString address, bool bCreate)
{
    address = OrDefault(address);
    const std::unique_ptr<ICfg> pStations(
        CfgCenter::GetAppCfg(STATION_VIEW).GetSubCfg(QStringLiteral("KVTStations"), STATION_VIEW));
    if (!pStations)
        return nullptr;

    const int nCount = pStations->GetInt(QStringLiteral("Count"), 0, 0);
    // A "Count" beyond the stored entries (a damaged section) ends the search at the first
    // missing entry, and a new entry takes that place: a huge count neither makes the search
    // crawl through entries that cannot match nor lets "Count" + 1 overflow.
    const QStringList lstEntries = pStations->GetSubCfgNames();
    int nEntry = 0;
    for (; nEntry < nCount && lstEntries.contains(EntryName(nEntry)); ++nEntry)
    {
        std::unique_ptr<ICfg> pEntry(pStations->GetSubCfg(EntryName(nEntry), STATION_VIEW));
        if (pEntry && pEntry->GetString(QStringLiteral("DeviceAddress"), QString(), 0) == address)
            return pEntry.release();
    }
    if (!bCreate)
        return nullptr;

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
