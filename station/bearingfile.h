#pragma once

#include "devicecontrol/directionfinder/kvtcommon/filesentencesink.h"
#include "kvtstationlib_export.h"
#include "station/bearingsink.h"

#include <QString>

namespace kvt
{

/// The bearing file: one bearing message per line, as JSON, named
/// "bearings" among the outputs. A file that cannot be opened is a failure of
/// the output (it never opened), and every bearing given to it is lost.
class KVTSTATION_EXPORT BearingFile : public BearingSink
{
public:
    explicit BearingFile(const QString& fileName);

    void Take(const AcceptedBlock& block) override;
    void Stop() override { m_sink.Close(); }
    std::vector<AccountedOutput*> GetOutputs() override { return {&m_sink}; }

private:
    FileSentenceSink m_sink;
};

} // namespace kvt
