// Grouping and fixing: bearings of the default scenario's stations
// (synthesised with their sigmas) through the grouper and the
// maximum-likelihood estimator, at growing input lengths to show that the
// cost per bearing stays flat and the held bearings stay bounded.
#include "fusion/bearinggrouper.h"
#include "fusion/bearingsimulator.h"
#include "fusion/scenario.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <algorithm>
#include <cstdlib>

namespace {

const Scenario& DefaultScenario()
{
    static const Scenario scenario = [] {
        Scenario loaded;
        QString error;
        if (!loaded.Load(QStringLiteral(KVT_SOURCE_DIR "/scenarios/default.json"), error))
            std::abort();
        return loaded;
    }();
    return scenario;
}

void BM_GroupAndFix(benchmark::State& state)
{
    // Six bearings per simulated second (three stations per emitter).
    BearingSimulator simulator(DefaultScenario(), 1, 1.0);
    const std::vector<Bearing> bearings = simulator.Generate(static_cast<double>(state.range(0)) / 6.0);
    size_t fixes = 0, held = 0;
    for (auto _ : state) {
        BearingGrouper grouper{BearingGrouper::Settings(), FixEstimator()};
        std::vector<Fix> out;
        for (const Bearing& bearing : bearings) {
            grouper.Add(bearing, out);
            held = std::max(held, grouper.GetStoredCount());
        }
        grouper.Flush(out);
        fixes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * bearings.size()));
    state.SetComplexityN(static_cast<int64_t>(bearings.size()));
    state.counters["fixes"] = static_cast<double>(fixes);
    state.counters["held_max"] = static_cast<double>(held);
}
BENCHMARK(BM_GroupAndFix)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

/// The estimator alone on one window's bearings (30 from three stations).
void BM_EstimateWindow(benchmark::State& state)
{
    BearingSimulator simulator(DefaultScenario(), 1, 1.0);
    const std::vector<Bearing> all = simulator.Generate(10.0);
    std::vector<const Bearing*> window;
    for (const Bearing& bearing : all) {
        if (bearing.fFrequency == all.front().fFrequency)
            window.push_back(&bearing);
    }
    const FixEstimator estimator;
    for (auto _ : state)
        benchmark::DoNotOptimize(estimator.Estimate(window));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * window.size()));
}
BENCHMARK(BM_EstimateWindow);

}

BENCHMARK_MAIN();
