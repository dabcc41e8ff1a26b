#include "devicecontrol/directionfinder/kvtcommon/connectionspeedfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/pitchrollfilter.h"
#include "valueframework/valueclasses/bearing.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

// The bearing filters run over whole scans; a plain copy of the same block is
// the physical limit they are measured against (goal: half its throughput).

namespace
{

constexpr unsigned int BLOCK_SIZE = 60000;
constexpr size_t BLOCK_BYTES = BLOCK_SIZE * sizeof(values::Bearing);

// A scan in which about half the bearings carry no quality, in no pattern a
// branch predictor could learn.
std::vector<values::Bearing> MakeScan()
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> quality(-20, 20);
    std::vector<values::Bearing> lstScan(BLOCK_SIZE);
    for (unsigned int i = 0; i < BLOCK_SIZE; ++i)
    {
        const int q = quality(random);
        lstScan[i] = values::Bearing{1e8 + i * 25e3, static_cast<qint16>(q * 100), static_cast<quint16>(i % 3600),
                                     static_cast<qint16>(i % 900), static_cast<qint16>(q > 0 ? q : 0)};
    }
    return lstScan;
}

void BM_MemcpyBlock(benchmark::State& state)
{
    const std::vector<values::Bearing> lstScan = MakeScan();
    std::vector<values::Bearing> lstCopy(BLOCK_SIZE);
    for (auto _ : state)
    {
        std::memcpy(lstCopy.data(), lstScan.data(), BLOCK_BYTES);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BLOCK_BYTES));
}
BENCHMARK(BM_MemcpyBlock);

template <class Filter>
void ApplyToScans(benchmark::State& state, Filter& filter)
{
    std::vector<values::Bearing> lstScan = MakeScan();
    for (auto _ : state)
    {
        filter.Apply(BLOCK_SIZE, lstScan.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BLOCK_BYTES));
}

// With the data-valid flag and the state text bound, as a driver runs it.
void BM_PitchRollApplyBlock(benchmark::State& state)
{
    values::Tree& tree = *values::Tree::Instance();
    tree.CreateValue<values::Value<bool>>("/Dev/DataValid", true);
    tree.CreateValue<values::Value<QString>>("/Dev/DataState");
    NxKVTCommon::PitchRollFilter filter;
    filter.SetKVTDataValidValuePath("/Dev/DataValid");
    filter.SetKVTDataStateInfoValuePath("/Dev/DataState");
    ApplyToScans(state, filter);
    tree.Clear();
}
BENCHMARK(BM_PitchRollApplyBlock);

void BM_ConnectionSpeedApplyBlock(benchmark::State& state)
{
    values::Tree& tree = *values::Tree::Instance();
    tree.CreateValue<values::Value<int>>("/Dev/ConnectionSpeed", 1);
    NxKVTCommon::ConnectionSpeedFilter filter;
    filter.SetConnectionSpeedValuePath("/Dev/ConnectionSpeed");
    ApplyToScans(state, filter);
    tree.Clear();
}
BENCHMARK(BM_ConnectionSpeedApplyBlock);

} // namespace

BENCHMARK_MAIN();
