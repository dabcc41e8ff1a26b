// The station list of the application configuration ("KVTStations": "Count"
// and entries "KVTStation<n>" with "DeviceAddress"), damaged at will by the
// input, and a station address to look up. Properties: no crash; a found
// entry carries the address; creating an entry leaves every station that
// could be found before findable with its data, and makes the new one findable.
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "fuzz/fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <set>

namespace
{

QString Consume(FuzzedDataProvider& input)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(24));
}

QString EntryAddress(ICfg* entry)
{
    return entry ? entry->GetString(QStringLiteral("DeviceAddress"), QString(), 0) : QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::ConfigDir configDir;
    FuzzedDataProvider input(data, size);
    const QString address = Consume(input);
    const QString wanted = address.isEmpty() ? QStringLiteral("Default") : address;
    std::set<QString> addresses;
    {
        const std::unique_ptr<ICfg> stations(
            CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg(QStringLiteral("KVTStations"), ICfg::Station));
        stations->SetString(QStringLiteral("Count"), Consume(input), 0);
        while (input.remaining_bytes() > 0) {
            const std::unique_ptr<ICfg> entry(stations->GetSubCfg(
                QStringLiteral("KVTStation%1").arg(input.ConsumeIntegralInRange(-1, 5)), ICfg::Station));
            const QString stored = Consume(input);
            entry->SetString(QStringLiteral("DeviceAddress"), stored, 0);
            addresses.insert(stored);
        }
    }

    std::set<QString> findable;
    for (const QString& candidate : addresses) {
        const std::unique_ptr<ICfg> entry(StationCfg::GetStationCfg(candidate, false));
        FUZZ_CHECK(!entry || EntryAddress(entry.get()) == (candidate.isEmpty() ? QStringLiteral("Default") : candidate));
        if (entry && !candidate.isEmpty())
            findable.insert(candidate);
    }

    const std::unique_ptr<ICfg> created(StationCfg::GetStationCfg(address, true));
    FUZZ_CHECK(created && EntryAddress(created.get()) == wanted);
    const std::unique_ptr<ICfg> found(StationCfg::GetStationCfg(address, false));
    FUZZ_CHECK(found && EntryAddress(found.get()) == wanted);
    for (const QString& candidate : findable) {
        const std::unique_ptr<ICfg> entry(StationCfg::GetStationCfg(candidate, false));
        FUZZ_CHECK(entry && EntryAddress(entry.get()) == candidate);
    }
    return 0;
}
