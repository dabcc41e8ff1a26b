#pragma once

#include "base/icfg.h"
#include "kvtcommon_export.h"

#include <QString>

namespace values
{
class TrafficControlFrequency;
template <class T>
class ValueList;
} // namespace values

namespace NxKVTCommon
{

/// Loads and saves the traffic-control frequencies of a list value in the section
/// "TrafficControlFrequencies" of a named configuration (created with CfgCenter::CreateCfg for each
/// operation and released after it): "TCFrequencyCount" and per entry i a sub-section
/// "TCFrequency_<i>" with "ChannelID" and "Frequency" (integers) and "Alarm" (0 or 1).
///
/// The frequency is stored in Hz truncated toward zero (100.9 is kept as 100). A frequency that
/// does not fit a 32-bit signed integer after truncation (above 2147483647 Hz, or NaN) cannot be
/// stored faithfully, and a stand-in number would silently watch the wrong channel after a
/// restart; such an entry is therefore refused: it is left out, the entries behind it move up so
/// that the indexes stay contiguous, "TCFrequencyCount" counts the stored entries, and, while
/// traces are enabled, a "WARNING: " trace names the refused frequency. Sub-sections beyond the
/// stored count that an earlier, longer list left behind stay untouched and are never read.
///
/// Borrows the list value (it may be null: both operations then do nothing), which must outlive
/// the object and its copies. Single-threaded: use it on the value tree's thread.
class KVTCOMMON_EXPORT TCFrequencyListPersistency
{
public:
    TCFrequencyListPersistency(values::ValueList<values::TrafficControlFrequency>* pList, const QString& configName,
                               ICfg::View view);
    TCFrequencyListPersistency(const TCFrequencyListPersistency& other);
    TCFrequencyListPersistency& operator=(const TCFrequencyListPersistency& other);
    ~TCFrequencyListPersistency();

    /// Writes the count and the entries in list order. Without a configuration or section nothing
    /// happens; a sub-section that cannot be opened leaves that entry out of the section only.
    void MakePersistent();
    /// Replaces the list's entries by the stored ones within one transaction, ended with change
    /// code 7 so that observers see the new list once. A missing count is written as 0; a count
    /// below 1 leaves the list as it is; a missing entry sub-section is skipped; missing entry keys
    /// read as 0, 0 and false.
    void Restore();

private:
    values::ValueList<values::TrafficControlFrequency>* m_pList;
    QString m_strConfigName;
    ICfg::View m_eView;
};

} // namespace NxKVTCommon
