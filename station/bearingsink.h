#pragma once

class AccountedOutput;

namespace kvt
{

struct BearingRecord;

/// Where a station hands its stamped bearings: the broker, the bearing file,
/// or a sink of the host's own. Each sink keeps the delivery account of an
/// output, so that the station's summary shows it beside the others.
class BearingSink
{
public:
    virtual ~BearingSink() = default;

    /// One accepted bearing, stamped; a sink that cannot take it counts it lost.
    virtual void Take(const BearingRecord& bearing) = 0;
    /// Ends the output: what waits is delivered or lost, so that the account is
    /// settled; nothing is taken afterwards.
    virtual void Stop() = 0;
    virtual const AccountedOutput& GetOutput() const = 0;
    virtual AccountedOutput& GetOutput() = 0;
};

} // namespace kvt
