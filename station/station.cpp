#include "station/station.h"

#include "station/acceptedblock.h"
#include "station/bearingfile.h"
#include "station/stationbroker.h"
#include "station/treepublication.h"

#include <QDir>

namespace kvt
{

const QString Station::BEARING_FILE = QStringLiteral("bearings.jsonl");

bool Station::BrokerOf(const Options& options, QString& rHost, int& rPort)
{
    return StationBroker::Configured(options.strBrokerHost, options.nBrokerPort, rHost, rPort);
}

Station::Station(const Options& options, std::function<quint64()> clockMs)
    : m_options(options)
    , m_environment(options.strDevicePath, options.strStationAddress, options.strOutputDir,
                    options.lstAcceptedSectors, options.defaults,
                    options.scenarioZod ? &*options.scenarioZod : nullptr)
    , m_callback(options.strDevicePath, options.strStationAddress, m_environment.GetOverheadPassParams(),
                 m_environment.GetCommandLog())
    , m_stamper(options.place, options.fBandwidth, std::move(clockMs),
                options.heading ? options.heading : [] { return -1.0; })
{
    auto pPublication = std::make_unique<TreePublication>(options.strDevicePath, options.strOutputDir,
                                                          options.strSerialAddress);
    m_pPublication = pPublication.get();
    m_lstSinks.push_back(std::move(pPublication));
    if (BrokerOf(options, m_strBrokerHost, m_nBrokerPort)) {
        auto pBroker = std::make_unique<StationBroker>(options.place);
        m_pBroker = pBroker.get();
        m_lstSinks.push_back(std::move(pBroker));
    }
    if (options.bBearingFile)
        m_lstSinks.push_back(std::make_unique<BearingFile>(QDir(options.strOutputDir).filePath(BEARING_FILE)));
    m_callback.SetAcceptedListener(
        [this](const std::vector<values::BearingResult>& results, bool bScan) { Hand(results, bScan); });
}

Station::~Station() = default;

DFDataOutput& Station::GetDfDataOutput()
{
    return m_pPublication->GetDfDataOutput();
}

void Station::AddSink(std::unique_ptr<BearingSink> pSink)
{
    if (pSink)
        m_lstSinks.push_back(std::move(pSink));
}

void Station::StartOutputs(bool bWait)
{
    if (m_pBroker == nullptr || !m_pBroker->Start(m_strBrokerHost, m_nBrokerPort) || !bWait)
        return;
    m_pBroker->GetBrokerOutput().WaitForConnection(StationBroker::DRAIN_MS);
    // A receiver of a scenario that started late tunes from the sender's retained state, which
    // comes only over a connection.
    if (m_options.scenarioZod)
        m_environment.WaitForZodConnection(StationBroker::DRAIN_MS);
}

void Station::Hand(const std::vector<values::BearingResult>& results, bool bScan)
{
    AcceptedBlock block{bScan, results, {}};
    block.lstBearings.reserve(results.size());
    for (const values::BearingResult& result : results)
        block.lstBearings.push_back(m_stamper.Stamp(result));
    for (const std::unique_ptr<BearingSink>& pSink : m_lstSinks)
        pSink->Take(block);
    if (!results.empty())
        emit BearingsAccepted(results);
}

std::vector<AccountedOutput*> Station::GetOutputs()
{
    std::vector<AccountedOutput*> outputs;
    for (const std::unique_ptr<BearingSink>& pSink : m_lstSinks) {
        for (AccountedOutput* pOutput : pSink->GetOutputs())
            outputs.push_back(pOutput);
    }
    return outputs;
}

const StationSummary& Station::Stop(int nSerialDrainMs)
{
    if (m_summary)
        return *m_summary;
    m_pPublication->Drain(nSerialDrainMs);
    std::vector<const AccountedOutput*> deliveries;
    for (const std::unique_ptr<BearingSink>& pSink : m_lstSinks) {
        pSink->Stop();
        for (AccountedOutput* pOutput : pSink->GetOutputsInUse())
            deliveries.push_back(pOutput);
    }
    m_summary = StationSummary::Collect(m_callback, m_environment, *m_pPublication,
                                        {m_options.strOutputDir, m_options.strPlotFile, m_options.strSerialAddress},
                                        deliveries);
    return *m_summary;
}

} // namespace kvt
