#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <benchmark/benchmark.h>

namespace
{

const QString DEVICE_PATH = QStringLiteral("/KVTServer");

// A bound device like the capability report's default station: HF and VUHF
// antennas with wide-band and super-resolution options, so that every
// question walks the full sample-mode table.
class BoundDevice
{
public:
    BoundDevice()
    {
        StdDeviceDefinition::StdDeviceTree::Device(DEVICE_PATH);
        values::Tree::Instance()->Find<values::ValueSelection>(DEVICE_PATH + StdDeviceDefinition::g_vdDevType.PathName())
            ->SetCurrentText(QStringLiteral("KVTQ1"));
        KVTOptions::Instance()->AddOptionsFromString(QStringLiteral("KVT-HFR;KVT-LF;KVTQ-WB;KVTQ-SR"));
        AntennaDataList antennas(DEVICE_PATH, QString());
        AddAntenna(antennas, QStringLiteral("HR428_L"), QStringLiteral("RP29"), 3e5, 3e7);
        AddAntenna(antennas, QStringLiteral("HR469SR"), QStringLiteral("VQ28"), 30000001, 1.3e9);
        AddAntenna(antennas, QStringLiteral("HR443"), QStringLiteral("VQ28"), 1300000001, 3e9);
        antennas.WriteAntennasToValueTree(DEVICE_PATH);
        m_characteristics.SetBase_ValuePath(DEVICE_PATH, true);
    }

    ~BoundDevice()
    {
        values::Tree::Instance()->Clear();
        KVTOptions::Instance()->Finalise();
    }

    KVTCharacteristics m_characteristics;

private:
    static void AddAntenna(AntennaDataList& antennas, const QString& name, const QString& converter, double min, double max)
    {
        auto* pAntenna = new AntennaData;
        pAntenna->m_strName = name;
        pAntenna->m_strConverterTypeName = converter;
        pAntenna->m_fMinFreq = pAntenna->m_fMinRange = min;
        pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = max;
        antennas.AddAntenna(pAntenna);
    }
};

void BM_BestSampleMode(benchmark::State& state)
{
    BoundDevice device;
    for (auto _ : state)
        benchmark::DoNotOptimize(device.m_characteristics.GetBestSampleMode(static_cast<EOperationMode>(2), 144e6, 146e6, 1e6));
}
BENCHMARK(BM_BestSampleMode);

void BM_ResolutionBandwidths(benchmark::State& state)
{
    BoundDevice device;
    for (auto _ : state)
        benchmark::DoNotOptimize(device.m_characteristics.GetResolutionBandwidths(static_cast<EOperationMode>(2), 144e6, 146e6, 1e6));
}
BENCHMARK(BM_ResolutionBandwidths);

// The refresh a configuration change triggers: antennas re-read from the
// tree, switch frequencies, device type and limits per operation mode.
void BM_RefreshFromValueTree(benchmark::State& state)
{
    BoundDevice device;
    for (auto _ : state)
        device.m_characteristics.UpdateCachedDataFromValueTree();
}
BENCHMARK(BM_RefreshFromValueTree);

}

BENCHMARK_MAIN();
