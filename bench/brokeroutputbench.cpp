// The station's publish path on the broker: one bearing formatted and handed
// to the connection, and the round trip to a real broker on loopback until
// the broker has acknowledged a block of bearings at QoS 1.
#include "fusion/bearing.h"
#include "network/brokerbearingoutput.h"
#include "tests/common/mosquittobroker.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdlib>
#include <memory>

namespace {

const int WAIT_MS = 10000;

Bearing MakeBearing(qint64 nSeq)
{
    Bearing bearing;
    bearing.nSeq = nSeq;
    bearing.nTimeMs = 1796630401250 + nSeq * 20;
    bearing.fLatitude = 54.5;
    bearing.fLongitude = 10.25;
    bearing.fBearing = static_cast<double>(nSeq % 3600) / 10.0;
    bearing.fSigma = 1.5;
    bearing.fQuality = 87;
    bearing.fFrequency = 145500000;
    bearing.fLevel = -62.5;
    return bearing;
}

/// Waits in the event loop (not polling it) for the acknowledgements.
bool WaitForDelivered(BrokerBearingOutput& output, quint64 nCount)
{
    if (output.GetAccount().GetDelivered() < nCount) {
        QEventLoop loop;
        QTimer::singleShot(WAIT_MS, &loop, &QEventLoop::quit);
        QObject::connect(&output, &BrokerBearingOutput::Progressed, &loop, [&] {
            if (output.GetAccount().GetDelivered() >= nCount)
                loop.quit();
        });
        loop.exec();
    }
    return output.GetAccount().GetDelivered() >= nCount;
}

/// Publishes blocks of state.range(0) bearings and waits for all their acknowledgements.
void BM_PublishUntilAcknowledged(benchmark::State& state)
{
    MosquittoBroker broker;
    if (!broker.Start())
        std::abort();
    BrokerBearingOutput output;
    MqttConnection::Settings settings;
    settings.nPort = broker.GetPort();
    if (!output.Start(settings, StationStatus{QStringLiteral("Bench"), 54.5, 10.25, 0.0, 20e6, 3e9})
        || !output.WaitForConnection(WAIT_MS))
        std::abort();
    qint64 nSeq = 0;
    for (auto _ : state) {
        for (int64_t i = 0; i < state.range(0); ++i)
            output.Publish(MakeBearing(++nSeq));
        if (!WaitForDelivered(output, static_cast<quint64>(nSeq)))
            std::abort();
    }
    output.Stop(WAIT_MS);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["lost"] = static_cast<double>(output.GetAccount().GetLost());
}
BENCHMARK(BM_PublishUntilAcknowledged)->Arg(1)->Arg(50)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

/// The station's side alone: formatting and queueing while the broker is away
/// (the queue is emptied outside the measurement by a fresh output).
void BM_FormatAndQueue(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto pOutput = std::make_unique<BrokerBearingOutput>();
        state.ResumeTiming();
        for (qint64 i = 1; i <= BrokerBearingOutput::DEFAULT_QUEUE_LIMIT; ++i)
            pOutput->Publish(MakeBearing(i));
        benchmark::DoNotOptimize(pOutput->GetQueued());
        state.PauseTiming();
        pOutput.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * BrokerBearingOutput::DEFAULT_QUEUE_LIMIT);
}
BENCHMARK(BM_FormatAndQueue)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
