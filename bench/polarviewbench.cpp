#include "tools/kvtconsole/polarview.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <vector>

// The console's live polar display at 1 000 bearings/s and 30 frames/s: one
// frame is the 33 bearings of its thirtieth of a second added, the clock set
// and the view painted, with the ring already full (the steady state of a
// long run). A frame must take well below 33 ms; the ring's memory is fixed.

namespace
{

const quint64 START_MS = 1700000000000;
const int BEARINGS_PER_SECOND = 1000;
const int FRAMES_PER_SECOND = 30;
const double HEADING = 180.0;

/// Bearings of four emitters in three bands, spread over the disc, one per millisecond.
std::vector<values::BearingResult> Block(quint64& rTimeMs, int count)
{
    static const double s_aFREQUENCIES[] = {8.291e6, 121.5e6, 156.8e6, 433.92e6};
    std::vector<values::BearingResult> block;
    block.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i, ++rTimeMs) {
        const auto azimuth = static_cast<quint16>((rTimeMs * 7) % 3600);
        block.emplace_back(values::Bearing{s_aFREQUENCIES[rTimeMs % 4], -1200, azimuth, 15, 40}, rTimeMs);
    }
    return block;
}

void BM_PolarViewFrame(benchmark::State& state)
{
    PolarView view;
    view.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    view.SetFilteredSectors({{120.0, 150.0}, {250.0, 290.0}});
    view.SetHeading(HEADING);
    QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);
    quint64 timeMs = START_MS;
    view.AddBearings(Block(timeMs, static_cast<int>(PolarView::CAPACITY)), HEADING);
    const int perFrame = BEARINGS_PER_SECOND / FRAMES_PER_SECOND;
    for (auto _ : state) {
        view.AddBearings(Block(timeMs, perFrame), HEADING);
        view.SetNow(timeMs);
        view.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetItemsProcessed(state.iterations() * perFrame);
    state.counters["shown"] = static_cast<double>(view.GetBearings().Size());
    state.counters["ring_bytes"] = static_cast<double>(PolarView::CAPACITY * sizeof(BearingRing::Entry));
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PolarViewFrame)->Arg(640)->Arg(1000)->Unit(benchmark::kMillisecond);

/// Only the bearings' way into the ring, without painting.
void BM_PolarViewAdd(benchmark::State& state)
{
    PolarView view;
    quint64 timeMs = START_MS;
    const std::vector<values::BearingResult> block = Block(timeMs, BEARINGS_PER_SECOND / FRAMES_PER_SECOND);
    for (auto _ : state)
        view.AddBearings(block, HEADING);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(block.size()));
}
BENCHMARK(BM_PolarViewAdd);

}
