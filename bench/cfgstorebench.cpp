#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

// The configuration store beside QSettings (IniFormat, one sync()) writing the
// same keys. Every iteration changes values, so that every iteration saves.
namespace
{

const int ANTENNA_COUNT = 12;
const int KEY_COUNT = 1000;
const QString STATION = QStringLiteral("192.168.17.4:5555");

/// A fresh configuration directory for the store, for one benchmark.
class StoreDirectory
{
public:
    StoreDirectory()
    {
        qputenv("KVT_CONFIG_DIR", m_dir.path().toUtf8());
        CfgCenter::Reset();
    }
    ~StoreDirectory()
    {
        CfgCenter::Reset();
        qunsetenv("KVT_CONFIG_DIR");
    }
    StoreDirectory(const StoreDirectory&) = delete;
    StoreDirectory& operator=(const StoreDirectory&) = delete;

    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

std::vector<QString> Keys()
{
    std::vector<QString> keys;
    for (int i = 0; i < KEY_COUNT; ++i)
        keys.push_back(QStringLiteral("Key%1").arg(i));
    return keys;
}

void AddAntennas(AntennaDataList& antennas)
{
    for (int i = 0; i < ANTENNA_COUNT; ++i) {
        auto* pAntenna = new AntennaData;
        pAntenna->m_strName = QStringLiteral("Antenna %1").arg(i);
        pAntenna->m_fMinFreq = pAntenna->m_fMinRange = 1e6 * (i + 1);
        pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = 1e6 * (i + 2) - 1;
        pAntenna->m_lstDfMethodNames = QStringList{QStringLiteral("COR9"), QStringLiteral("WAT")};
        pAntenna->m_strConverterTypeName = QStringLiteral("VQ28");
        antennas.AddAntenna(pAntenna);
    }
}

// The user edits the setup: every antenna's offset and compass value change.
void Edit(AntennaDataList& antennas, int n)
{
    for (int i = 0; i < antennas.GetAntennaCount(); ++i) {
        antennas.GetAntennaByIndex(i)->m_fMechOffset = float(n % 3600) / 10.0f;
        antennas.GetAntennaByIndex(i)->m_fCompassValue = float((n + i) % 360);
    }
}

void BM_AntennaSetupStore(benchmark::State& state)
{
    StoreDirectory directory;
    AntennaDataList antennas;
    AddAntennas(antennas);
    int n = 0;
    for (auto _ : state) {
        Edit(antennas, ++n);
        antennas.WriteAntennaSetupToCfg(STATION);
    }
}
BENCHMARK(BM_AntennaSetupStore)->Unit(benchmark::kMillisecond);

void BM_AntennaSetupQSettings(benchmark::State& state)
{
    StoreDirectory directory;
    QSettings settings(directory.FilePath(QStringLiteral("station.ini")), QSettings::IniFormat);
    AntennaDataList antennas;
    AddAntennas(antennas);
    const QString fixed = QStringLiteral("%1");
    int n = 0;
    for (auto _ : state) {
        Edit(antennas, ++n);
        settings.beginGroup(QStringLiteral("KVTStations/KVTStation0/SystemConfiguration"));
        for (int i = 0; i < antennas.GetAntennaCount(); ++i) {
            const AntennaData& a = *antennas.GetAntennaByIndex(i);
            settings.beginGroup(QStringLiteral("Antenna%1").arg(i));
            settings.setValue(QStringLiteral("Name"), a.m_strName);
            settings.setValue(QStringLiteral("Enabled"), a.m_bEnabled ? "true" : "false");
            settings.setValue(QStringLiteral("MinRange"), fixed.arg(a.m_fMinRange, 0, 'f', 3));
            settings.setValue(QStringLiteral("MaxRange"), fixed.arg(a.m_fMaxRange, 0, 'f', 3));
            settings.setValue(QStringLiteral("CompassEnabled"), a.m_bCompassEnabled ? "true" : "false");
            settings.setValue(QStringLiteral("MechOffset"), fixed.arg(double(a.m_fMechOffset), 0, 'f', 1));
            settings.setValue(QStringLiteral("CompassSupport"), a.m_bCompassSupport ? "true" : "false");
            settings.setValue(QStringLiteral("DFAlgorithm"), a.m_lstDfMethodNames.join(QLatin1Char(',')));
            settings.setValue(QStringLiteral("MinFreq"), fixed.arg(a.m_fMinFreq, 0, 'f', 3));
            settings.setValue(QStringLiteral("MaxFreq"), fixed.arg(a.m_fMaxFreq, 0, 'f', 3));
            settings.setValue(QStringLiteral("PolarizationSupport"), a.m_bPolarizationSupport ? "true" : "false");
            settings.setValue(QStringLiteral("PolarizationMode"), QString::number(int(a.m_ePolarizationMode)));
            settings.setValue(QStringLiteral("ActivePassiveSupport"), a.m_bActivePassiveSupport ? "true" : "false");
            settings.setValue(QStringLiteral("CompassValue"), fixed.arg(double(a.m_fCompassValue), 0, 'f', 3));
            settings.setValue(QStringLiteral("ConverterTypeName"), a.m_strConverterTypeName);
            settings.endGroup();
        }
        settings.setValue(QStringLiteral("AntennaCount"), QString::number(antennas.GetAntennaCount()));
        settings.endGroup();
        settings.sync();
    }
}
BENCHMARK(BM_AntennaSetupQSettings)->Unit(benchmark::kMillisecond);

void BM_ThousandKeysStore(benchmark::State& state)
{
    StoreDirectory directory;
    const std::vector<QString> keys = Keys();
    int n = 0;
    for (auto _ : state) {
        ++n;
        const std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(QStringLiteral("Bench"), ICfg::User, QString()));
        const std::unique_ptr<ICfg> pSection(pCfg->GetSubCfg(QStringLiteral("Keys"), ICfg::User));
        for (int i = 0; i < KEY_COUNT; ++i)
            pSection->SetString(keys[i], QString::number(n * KEY_COUNT + i), 0);
    }
}
BENCHMARK(BM_ThousandKeysStore)->Unit(benchmark::kMillisecond);

void BM_ThousandKeysQSettings(benchmark::State& state)
{
    StoreDirectory directory;
    QSettings settings(directory.FilePath(QStringLiteral("bench.ini")), QSettings::IniFormat);
    const std::vector<QString> keys = Keys();
    int n = 0;
    for (auto _ : state) {
        ++n;
        settings.beginGroup(QStringLiteral("Keys"));
        for (int i = 0; i < KEY_COUNT; ++i)
            settings.setValue(keys[i], QString::number(n * KEY_COUNT + i));
        settings.endGroup();
        settings.sync();
    }
}
BENCHMARK(BM_ThousandKeysQSettings)->Unit(benchmark::kMillisecond);

// Reading a file whose one section header is state.range(0) bytes long: the
// time should grow linearly with the length.
void BM_LongHeaderRead(benchmark::State& state)
{
    StoreDirectory directory;
    QDir().mkpath(directory.FilePath(QStringLiteral("user")));
    QFile file(directory.FilePath(QStringLiteral("user/Long.ini")));
    file.open(QIODevice::WriteOnly);
    file.write("[" + QByteArray(int(state.range(0)), 'h') + "]\nKey=1\n");
    file.close();
    for (auto _ : state) {
        const std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(QStringLiteral("Long"), ICfg::User, QString()));
        benchmark::DoNotOptimize(pCfg->GetSubCfgNames());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongHeaderRead)->RangeMultiplier(4)->Range(1 << 20, 16 << 20)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
