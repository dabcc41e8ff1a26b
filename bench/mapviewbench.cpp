#include "contract/bearingmessage.h"
#include "contract/stationstatus.h"
#include "fusion/geodesy.h"
#include "tools/kvtconsole/maptab.h"
#include "tools/kvtconsole/mapview.h"
#include "tools/kvtconsole/networkmodel.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

// The console's map of a network of 20 stations publishing 50 bearings/s
// each (1 000 messages/s) at 30 frames/s: one frame is the 33 bearing
// messages of its thirtieth of a second read (JSON, as they come from the
// broker), grouped and fixed by the model, and the map painted with every
// station's line of bearing and the fixes so far. Everything runs on one
// core; a frame must take well below 33 ms.

namespace
{

const qint64 START_MS = 1765094400000;
const int STATIONS = 20;
const int BEARINGS_PER_STATION = 50;
const int FRAMES_PER_SECOND = 30;
/// Four emitters the stations take turns at.
const double EMITTERS[][3] = {
    {54.50, 10.80, 145.5e6}, {54.10, 11.30, 433.92e6}, {54.80, 11.60, 156.8e6}, {54.30, 12.20, 121.5e6}};

/// The stations on a ring around the emitters, with their messages' sequence numbers.
struct Network
{
    std::vector<kvt::BearingRecord> lstStations;
    qint64 nTimeMs = START_MS;
    int nNext = 0;

    Network()
    {
        for (int i = 0; i < STATIONS; ++i) {
            kvt::BearingRecord station;
            station.strStation = QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0'));
            const double angle = 2.0 * M_PI * i / STATIONS;
            station.fLatitude = 54.45 + 0.6 * std::cos(angle);
            station.fLongitude = 11.5 + 1.0 * std::sin(angle);
            station.fSigma = 1.5;
            lstStations.push_back(station);
        }
    }

    /// The next bearing message in time order, with its topic.
    std::pair<QString, QByteArray> Next()
    {
        kvt::BearingRecord& bearing = lstStations[static_cast<std::size_t>(nNext)];
        const double* pEmitter = EMITTERS[(nNext + nTimeMs / 5000) % 4];
        bearing.nSeq += 1;
        bearing.nTimeMs = nTimeMs;
        bearing.fFrequency = pEmitter[2];
        bearing.fBearing =
            Geodesy::Between(bearing.fLatitude, bearing.fLongitude, pEmitter[0], pEmitter[1]).fAzimuth;
        if (++nNext == STATIONS) {
            nNext = 0;
            nTimeMs += 1000 / BEARINGS_PER_STATION;
        }
        return {QStringLiteral("kvt/stations/%1/bearings").arg(bearing.strStation), kvt::BearingMessage::Format(bearing)};
    }

    void Announce(NetworkModel& model) const
    {
        for (const kvt::BearingRecord& bearing : lstStations) {
            StationStatus status;
            status.strName = bearing.strStation;
            status.fLatitude = bearing.fLatitude;
            status.fLongitude = bearing.fLongitude;
            model.HandleMessage(QStringLiteral("kvt/stations/%1/status").arg(bearing.strStation), status.ToJson(true));
        }
    }
};

void BM_MapFrame(benchmark::State& state)
{
    NetworkModel model;
    Network network;
    network.Announce(model);
    MapTab tab(model);
    tab.resize(static_cast<int>(state.range(0)) + 500, static_cast<int>(state.range(0)));
    MapView& view = tab.GetMapView();
    view.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);
    // A minute of the network first: the fixes of its windows are on the map.
    const int perSecond = STATIONS * BEARINGS_PER_STATION;
    for (int i = 0; i < 60 * perSecond; ++i) {
        const std::pair<QString, QByteArray> message = network.Next();
        model.HandleMessage(message.first, message.second);
    }
    const int perFrame = perSecond / FRAMES_PER_SECOND;
    for (auto _ : state) {
        for (int i = 0; i < perFrame; ++i) {
            const std::pair<QString, QByteArray> message = network.Next();
            model.HandleMessage(message.first, message.second);
        }
        tab.Refresh();
        view.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetItemsProcessed(state.iterations() * perFrame);
    state.counters["fixes"] = static_cast<double>(model.GetFixes().size());
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MapFrame)->Arg(600)->Arg(1000)->Unit(benchmark::kMillisecond);

/// Only the messages' way into the model (reading, grouping, fixing), without painting.
void BM_MapMessages(benchmark::State& state)
{
    NetworkModel model;
    Network network;
    network.Announce(model);
    for (auto _ : state) {
        const std::pair<QString, QByteArray> message = network.Next();
        model.HandleMessage(message.first, message.second);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapMessages);

}
