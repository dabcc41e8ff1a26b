// Grouping and fixing: bearings of the default scenario's stations
// (synthesised with their sigmas, clean and with 10 % wild bearings at every
// station) through the grouper and the robust estimator, at growing input
// lengths to show that the cost per bearing stays flat and the held
// bearings stay bounded; and a flood of station names, whose cost must
// grow linearly with their number.
#include "fusion/bearinggrouper.h"
#include "fusion/bearingsimulator.h"
#include "fusion/geodesy.h"
#include "fusion/scenario.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdlib>

namespace {

/// The default scenario, every station with that share of wild bearings.
Scenario DefaultScenario(double wild)
{
    QFile file(QStringLiteral(KVT_SOURCE_DIR "/scenarios/default.json"));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray stations = root.value(QStringLiteral("stations")).toArray();
    for (int i = 0; i < stations.size(); ++i) {
        QJsonObject station = stations[i].toObject();
        station.insert(QStringLiteral("faults"), QJsonObject{{QStringLiteral("wild"), wild}});
        stations[i] = station;
    }
    root.insert(QStringLiteral("stations"), stations);
    Scenario scenario;
    QString error;
    if (!scenario.Parse(QJsonDocument(root).toJson(), error))
        std::abort();
    return scenario;
}

const Scenario& DefaultScenario()
{
    static const Scenario scenario = DefaultScenario(0.0);
    return scenario;
}

const Scenario& WildScenario()
{
    static const Scenario scenario = DefaultScenario(0.1);
    return scenario;
}

void GroupAndFix(benchmark::State& state, const Scenario& scenario)
{
    // Six bearings per simulated second (three stations per emitter).
    BearingSimulator simulator(scenario, 1, 1.0);
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
void BM_GroupAndFix(benchmark::State& state)
{
    GroupAndFix(state, DefaultScenario());
}
BENCHMARK(BM_GroupAndFix)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_GroupAndFixWild(benchmark::State& state)
{
    GroupAndFix(state, WildScenario());
}
BENCHMARK(BM_GroupAndFixWild)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

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

/// One window of many stations with one bearing each, towards one point:
/// the estimator's cost must grow about linearly with the stations.
void BM_ManyStations(benchmark::State& state)
{
    std::vector<Bearing> bearings(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < bearings.size(); ++i) {
        Bearing& bearing = bearings[i];
        bearing.strStation = QStringLiteral("S%1").arg(i);
        const double azimuth = 360.0 * static_cast<double>(i) / static_cast<double>(bearings.size());
        Geodesy::Direct(52.5, 13.4, azimuth, 20000.0, bearing.fLatitude, bearing.fLongitude);
        bearing.fBearing = Geodesy::WrapAzimuth(azimuth + 180.0 + (i % 2 == 0 ? 0.5 : -0.5));
        bearing.fSigma = 1.0;
    }
    std::vector<const Bearing*> window;
    for (const Bearing& bearing : bearings)
        window.push_back(&bearing);
    const FixEstimator estimator;
    for (auto _ : state)
        benchmark::DoNotOptimize(estimator.EstimateAll(window));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ManyStations)->RangeMultiplier(4)->Range(16, 4096)->Unit(benchmark::kMillisecond)->Complexity();

}

BENCHMARK_MAIN();
