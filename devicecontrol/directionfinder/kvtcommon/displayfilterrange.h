#pragma once

#include "devicecontrol/directionfinder/kvtcommon/devicefilterrange.h"
#include "kvtcommon_export.h"

#include <QString>

namespace values
{
class QuadFloat;
template <class T>
class ValueList;
} // namespace values

/// Publishes for display the angular ranges in which devices filter bearings out: the gaps that
/// their accepted ranges leave on 0…359.99 (see DeviceFilterRange::GetGaps), as entries
/// QuadFloat(first extent, second extent, gap start, gap end) of one list value of the value tree.
///
/// Use: Reset(), AddDeviceFilterRange() once per device range, Publish(). The three form one
/// transaction on the list, so its observers are told once (change code 3) with the complete list.
///
/// Borrows the list value, never deletes it and does not observe it: the value must outlive the
/// object and its copies. Without a list value every operation does nothing. Single-threaded: use
/// it on the value tree's thread.
class KVTCOMMON_EXPORT DisplayFilterRange
{
public:
    /// The list value at basePath + "/" + name, created (empty) when missing. When the path holds
    /// a value of another type, a detached list stands in (the host traces its memory-leak
    /// message) and nobody sees what is published.
    DisplayFilterRange(const QString& name, const QString& basePath);
    DisplayFilterRange(const DisplayFilterRange& other);
    DisplayFilterRange& operator=(const DisplayFilterRange& other);
    virtual ~DisplayFilterRange();

    /// Starts the transaction and empties the list. A transaction still open is published first
    /// (traced as "DisplayFilterRange::Reset(): Stopping already running transaction.").
    void Reset();
    /// Appends the gaps of the range, in ascending order.
    void AddDeviceFilterRange(const DeviceFilterRange& range);
    /// Ends the transaction, telling the observers once. Outside a transaction only the trace
    /// "DisplayFilterRange::Publish(): No active transaction." is written.
    void Publish();

private:
    values::ValueList<values::QuadFloat>* m_pFilterRangesForDisplay;
};
