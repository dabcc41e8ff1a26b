#pragma once

#include "kvtstationlib_export.h"

#include <vector>

class AccountedOutput;

namespace kvt
{

struct AcceptedBlock;

/// Where a station hands each block its pipeline accepted: the publication
/// into the value tree (with the DF data output's sentence file and serial
/// line behind it), the broker, the bearing file, or a sink of the host's own.
/// A sink keeps the delivery account of each output it feeds, so that the
/// station shows them all in one list and settles them into its summary.
class KVTSTATION_EXPORT BearingSink
{
public:
    virtual ~BearingSink() = default;

    /// One accepted block (a scan's may be empty); a sink that cannot take a
    /// bearing counts it lost.
    virtual void Take(const AcceptedBlock& block) = 0;
    /// Ends the outputs: what waits is delivered or lost, so that the
    /// accounts are settled; nothing is taken afterwards.
    virtual void Stop() = 0;
    /// The outputs this sink feeds, in the order to show them; they live as
    /// long as the sink.
    virtual std::vector<AccountedOutput*> GetOutputs() = 0;
    /// Those of GetOutputs() that this run uses, whose accounts the summary
    /// settles: by default all of them.
    virtual std::vector<AccountedOutput*> GetOutputsInUse() { return GetOutputs(); }
};

} // namespace kvt
