#pragma once

#include "fusion/bearinggrouper.h"
#include "fusion/fix.h"
#include "fusion/fixevaluator.h"
#include "fusion/scenario.h"
#include "tools/kvtfix/bearingfolder.h"
#include "tools/kvtfix/fixcommandline.h"
#include "tools/kvtfix/inputlog.h"

#include <QJsonObject>
#include <QString>

#include <memory>
#include <vector>

/// One run of the fix program: bearings in (synthesised, from the station
/// folders), grouped and fixed, fixes out (summary, map files, map).
///
/// Keeps the newest MAX_FIXES fixes for the outputs, so that a run that
/// follows its inputs for days keeps bounded memory.
class FixRun
{
public:
    static constexpr size_t MAX_FIXES = 2000;

    /// pScenario (may be null) is borrowed for the run's life.
    FixRun(const FixCommandLine& commandLine, const Scenario* pScenario);

    /// Feeds the synthesised bearings, if any.
    void Simulate();
    /// Reads what the inputs added and fixes what it completes; atEnd reads
    /// cut last lines as they are and closes every window. False with
    /// rError when an input cannot be read (the others are still read).
    bool ReadInputs(bool atEnd, QString& rError);
    /// Takes one bearing that arrived live (LiveInput judged and logged it);
    /// it is fixed with the next ReadInputs().
    void Take(const Bearing& bearing) { m_lstReceived.push_back(bearing); }
    /// Where live inputs log what they read and refuse.
    InputLog& GetLog() { return m_log; }
    /// Writes the GeoJSON, KML and map files asked for; false with the reason of the first failure.
    bool WriteOutputs(QString& rError) const;

    QJsonObject Summary() const;
    const std::vector<Fix>& GetFixes() const { return m_lstFixes; }
    /// Fixes made by the last Simulate() or ReadInputs(), newest last.
    size_t GetNewFixCount() const { return m_nNewFixes; }

private:
    void Feed(std::vector<Bearing>& bearings, bool atEnd);

    const FixCommandLine& m_commandLine;
    const Scenario* m_pScenario;
    BearingGrouper m_grouper;
    std::vector<std::unique_ptr<BearingFolder>> m_lstFolders;
    std::unique_ptr<FixEvaluator> m_pEvaluator;
    InputLog m_log;
    std::vector<Fix> m_lstFixes;
    std::vector<Bearing> m_lstReceived;
    size_t m_nNewFixes = 0;
};
