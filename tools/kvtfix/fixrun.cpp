#include "tools/kvtfix/fixrun.h"

#include "contract/bearingmessage.h"
#include "fusion/bearingsimulator.h"
#include "tools/kvtfix/fixmap.h"
#include "tools/kvtfix/fixsummary.h"
#include "tools/kvtfix/kmlnetworklink.h"
#include "tools/kvtfix/mapfiles.h"

#include <algorithm>

namespace {

constexpr double SIMULATION_CHUNK_S = 60.0;

BearingGrouper::Settings GrouperSettings(const FixCommandLine& commandLine, std::function<qint64()> clock)
{
    BearingGrouper::Settings settings;
    settings.fWindowS = commandLine.GetWindow();
    settings.fMaxAgeS = commandLine.GetMaxAge();
    settings.fFutureToleranceS = commandLine.GetFutureTolerance();
    settings.nMaxStations = commandLine.GetMaxStations();
    if (commandLine.IsFollow())
        settings.clock = std::move(clock);
    return settings;
}

}

FixRun::FixRun(const FixCommandLine& commandLine, const Scenario* pScenario, std::function<qint64()> clock)
    : m_commandLine(commandLine)
    , m_pScenario(pScenario)
    , m_grouper(GrouperSettings(commandLine, std::move(clock)), FixEstimator())
{
    const BearingFolder::Settings settings{pScenario, commandLine.GetSigma(), commandLine.IsSentenceAzimuthRelative(),
                                           commandLine.GetSentenceZone(), commandLine.GetSentenceDate()};
    for (const QString& input : commandLine.GetInputs())
        m_lstFolders.push_back(std::make_unique<BearingFolder>(input, settings));
    if (commandLine.IsEvaluate() && pScenario != nullptr)
        m_pEvaluator = std::make_unique<FixEvaluator>(*pScenario, commandLine.GetWindow(), commandLine.GetMaxAge());
}

void FixRun::Simulate()
{
    m_nNewFixes = 0;
    if (m_pScenario == nullptr || m_commandLine.GetSimulateSeconds() <= 0.0)
        return;
    BearingSimulator simulator(*m_pScenario, m_commandLine.GetSeed(), m_commandLine.GetRate());
    // A minute at a time, so that a long simulation holds no more than that.
    for (double done = 0.0; done < m_commandLine.GetSimulateSeconds(); done += SIMULATION_CHUNK_S) {
        std::vector<Bearing> checked;
        // A scenario may rate a station beyond what a bearing can carry
        // (sigma 0, or wider than 90 degrees): refused as it would be from a file.
        for (Bearing& bearing :
             simulator.Generate(std::min(SIMULATION_CHUNK_S, m_commandLine.GetSimulateSeconds() - done))) {
            m_log.Read();
            QString error;
            if (kvt::BearingMessage::Check(bearing, error))
                checked.push_back(std::move(bearing));
            else
                m_log.Refuse(QStringLiteral("simulated %1").arg(bearing.strStation), error);
        }
        Feed(checked, false);
    }
    if (m_lstFolders.empty()) {
        std::vector<Bearing> none;
        Feed(none, true);
    }
}

bool FixRun::ReadInputs(bool atEnd, QString& rError)
{
    m_nNewFixes = 0;
    std::vector<Bearing> bearings;
    bearings.swap(m_lstReceived);
    bool ok = true;
    for (const auto& pFolder : m_lstFolders) {
        QString error;
        if (!pFolder->Read(atEnd, bearings, m_log, error) && ok) {
            ok = false;
            rError = error;
        }
    }
    Feed(bearings, atEnd);
    return ok;
}

void FixRun::Feed(std::vector<Bearing>& bearings, bool atEnd)
{
    // The stations' files are read one after the other; the grouping wants time order.
    std::stable_sort(bearings.begin(), bearings.end(),
                     [](const Bearing& a, const Bearing& b) { return a.nTimeMs < b.nTimeMs; });
    // Every station's newest time is known before the first is judged for lying ahead of the others.
    for (const Bearing& bearing : bearings)
        m_grouper.Announce(bearing);
    std::vector<Fix> fixes;
    for (const Bearing& bearing : bearings)
        m_grouper.Add(bearing, fixes);
    if (atEnd)
        m_grouper.Flush(fixes);
    m_nNewFixes += fixes.size();
    for (Fix& fix : fixes) {
        for (const FixRejection& rejection : fix.lstRejections) {
            std::array<qint64, 3>& counts = m_mapRejected[rejection.strStation];
            counts[0] += rejection.nWild;
            counts[1] += rejection.nReflected;
            counts[2] += rejection.nOutvoted;
        }
        if (m_pEvaluator)
            m_pEvaluator->Add(fix);
        m_lstFixes.push_back(std::move(fix));
    }
    if (m_lstFixes.size() > MAX_FIXES)
        m_lstFixes.erase(m_lstFixes.begin(), m_lstFixes.end() - static_cast<long>(MAX_FIXES));
}

bool FixRun::WriteOutputs(QString& rError) const
{
    const std::vector<FixGeometry::Station> stations = FixGeometry::Stations(m_lstFixes, m_pScenario);
    if (!m_commandLine.GetGeoJsonFile().isEmpty()
        && !MapFiles::Save(m_commandLine.GetGeoJsonFile(), MapFiles::GeoJson(stations, m_lstFixes), rError))
        return false;
    const QString kml = m_commandLine.GetKmlFile();
    if (!kml.isEmpty()
        && (!MapFiles::Save(kml, MapFiles::Kml(stations, m_lstFixes), rError)
            || !MapFiles::Save(kvt::KmlNetworkLink::FileName(kml), kvt::KmlNetworkLink::Content(kml), rError)))
        return false;
    if (m_commandLine.GetPlotFile().isEmpty())
        return true;
    const FixMap map(QStringLiteral("kvtfix: %1 fixes, 95 % ellipses").arg(m_lstFixes.size()), stations, m_lstFixes);
    return map.Save(m_commandLine.GetPlotFile(), rError);
}

QJsonObject FixRun::Summary() const
{
    return FixSummary::Collect(m_log, m_grouper, m_mapRejected, m_lstFixes, m_pEvaluator.get());
}
