// The antenna setup of a station as the configuration store holds it: the
// input chooses which keys of which entries exist and their texts (stored
// numbers, DF method lists, flags, names, the antenna count). Properties: no
// crash; at most 12 records, every number finite, DF method names never
// empty and never holding the list separator; and a setup the library wrote
// reads back and is written again to the same stored texts, the used ranges
// aside: reading pulls a range end into the frequency span, and separating
// touching ranges (1 Hz, also where the 3-decimal texts made them touch) may
// push it out again, so ranges may move from one round trip to the next.
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "fuzz/fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <map>
#include <memory>

namespace
{

const char* const ENTRY_KEYS[] = {
    "Name", "Enabled", "MinRange", "MaxRange", "CompassEnabled", "MechOffset", "CompassSupport", "DFAlgorithm",
    "MinFreq", "MaxFreq", "PolarizationSupport", "PolarizationMode", "ActivePassiveSupport", "CompassValue",
    "ConverterTypeName"};

QString Consume(FuzzedDataProvider& input)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(48));
}

void Store(FuzzedDataProvider& input)
{
    const std::unique_ptr<ICfg> station(StationCfg::GetStationCfg(QString(), true));
    FUZZ_CHECK(station);
    if (input.ConsumeBool()) {
        const std::unique_ptr<ICfg> system(station->GetSubCfg(QStringLiteral("SystemConfiguration"), ICfg::Station));
        system->SetString(QStringLiteral("AntennaCount"), Consume(input), 0);
    }
    while (input.remaining_bytes() > 0) {
        const int entry = input.ConsumeIntegralInRange(0, 3);
        const std::unique_ptr<ICfg> cfg(
            station->GetSubCfg(QStringLiteral("SystemConfiguration/Antenna%1").arg(entry), ICfg::Station));
        const QString key = QString::fromLatin1(input.PickValueInArray(ENTRY_KEYS));
        cfg->SetString(key, Consume(input), 0);
    }
}

std::map<QString, QString> Stored()
{
    const std::unique_ptr<ICfg> station(StationCfg::GetStationCfg(QString(), false));
    FUZZ_CHECK(station);
    std::map<QString, QString> stored;
    for (const QString& name : {QStringLiteral("SystemConfiguration"), QStringLiteral("SystemConfiguration/Antenna0"),
                                QStringLiteral("SystemConfiguration/Antenna1"),
                                QStringLiteral("SystemConfiguration/Antenna2"),
                                QStringLiteral("SystemConfiguration/Antenna3")}) {
        const std::unique_ptr<ICfg> section(station->GetSubCfg(name, ICfg::Station));
        for (const QString& key : section->GetKeys()) {
            if (key != QLatin1String("MinRange") && key != QLatin1String("MaxRange"))
                stored[name + QLatin1Char('/') + key] = section->GetString(key, QString(), 0);
        }
    }
    return stored;
}

void CheckRecords(const AntennaDataList& list)
{
    FUZZ_CHECK(list.GetAntennaCount() <= 12);
    for (int i = 0; i < list.GetAntennaCount(); ++i) {
        const AntennaData& antenna = *list.GetAntennaByIndex(i);
        for (double value : {antenna.m_fMinFreq, antenna.m_fMaxFreq, antenna.m_fMinRange, antenna.m_fMaxRange,
                             double(antenna.m_fMechOffset), double(antenna.m_fCompassValue)})
            FUZZ_CHECK(std::isfinite(value));
        FUZZ_CHECK(antenna.m_lstDfMethods.size() == antenna.m_lstDfMethodNames.size());
        for (const QString& method : antenna.m_lstDfMethodNames)
            FUZZ_CHECK(!method.isEmpty() && !method.contains(QLatin1Char(',')));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::ConfigDir configDir;
    FuzzedDataProvider input(data, size);
    Store(input);

    AntennaDataList setup;
    setup.BuildAntennasFromCfg(QString());
    setup.ReadAntennaSetupFromCfg(QString());
    CheckRecords(setup);
    setup.WriteAntennaSetupToCfg(QString());
    const std::map<QString, QString> written = Stored();

    AntennaDataList reread;
    reread.BuildAntennasFromCfg(QString());
    CheckRecords(reread);
    reread.WriteAntennaSetupToCfg(QString());
    FUZZ_CHECK(Stored() == written);
    return 0;
}
