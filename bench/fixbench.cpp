// Grouping and fixing: bearings of the default scenario's stations
// (synthesised with their sigmas) through the grouper and the
// maximum-likelihood estimator, at growing input lengths to show that the
// cost per bearing stays flat and the held bearings stay bounded; and a
// flood of station names, whose cost must grow linearly with their number.
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

/// A flood of distinct station names (a hundred new ones a second, one
/// bearing each, towards one emitter) through the grouper with its default
/// cap: the time per name must stay flat and the stations kept at the cap.
void BM_StationFlood(benchmark::State& state)
{
    const Scenario& scenario = DefaultScenario();
    const Scenario::Station& site = scenario.GetStations().front();
    std::vector<Bearing> bearings(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < bearings.size(); ++i) {
        Bearing& bearing = bearings[i];
        bearing.strStation = QStringLiteral("flood%1").arg(i);
        bearing.nSeq = 1;
        bearing.nTimeMs = scenario.GetStartMs() + static_cast<qint64>(i) * 10;
        // Spread over a few kilometres so that the lines cross.
        bearing.fLatitude = site.fLatitude + 0.01 * static_cast<double>(i % 7);
        bearing.fLongitude = site.fLongitude + 0.01 * static_cast<double>(i % 5);
        bearing.fBearing = static_cast<double>(i % 90);
        bearing.fSigma = 2.0;
        bearing.fFrequency = 145.5e6;
    }
    size_t kept = 0;
    qint64 forgotten = 0;
    for (auto _ : state) {
        BearingGrouper grouper{BearingGrouper::Settings(), FixEstimator()};
        std::vector<Fix> out;
        for (const Bearing& bearing : bearings) {
            grouper.Add(bearing, out);
            kept = std::max(kept, static_cast<size_t>(grouper.GetStations().GetCount()));
        }
        grouper.Flush(out);
        forgotten = grouper.GetStations().GetForgotten();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * bearings.size()));
    state.SetComplexityN(static_cast<int64_t>(bearings.size()));
    state.counters["kept_max"] = static_cast<double>(kept);
    state.counters["forgotten"] = static_cast<double>(forgotten);
}
BENCHMARK(BM_StationFlood)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

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
