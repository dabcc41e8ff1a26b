#pragma once

#include "kvtcommon_export.h"

#include <QString>

#include <memory>

class IObserver;

namespace values
{
class ValueBase;
class ValueDescriptor;
} // namespace values

/// Moves the device's general setup (position source, preamplifiers, gain
/// control, compass, pitch/roll thresholds, start-up messages, …) between the
/// value tree and the station's configuration section, through a fixed table
/// of 22 entries that pair a configuration key with a tree value.
///
/// For every entry the table keeps a detached copy of the tree value, the
/// snapshot: ReadFromValueTree makes or refreshes it (and drops it when the
/// tree value is missing), ReadFromCfg and the trace fill or show it, and
/// WriteToCfg and WriteToValueTree take from it. Entries without a snapshot
/// are skipped, so the store has an effect only after ReadFromValueTree.
///
/// In the store, selections are kept as the int key of their current item,
/// bool values as bools and every other value as its text form.
///
/// The table, and with it the snapshots, is shared by every object of the
/// process, and destroying any object drops all snapshots. Single-threaded,
/// like the value tree and the configuration store.
class KVTCOMMON_EXPORT KVTSetupData
{
public:
    /// One row: the configuration key (top level of the station section; an
    /// empty key ends the table) and the tree value below the base path, named
    /// by its descriptor or, without one, by "/" + a value name.
    struct DataEntry
    {
        const char* strCfgKey;
        const values::ValueDescriptor* pDescriptor;
        const char* strValueName;
        std::unique_ptr<values::ValueBase> pValue;
    };

    /// Used when an operation is given an empty station address / tree path.
    KVTSetupData(const QString& stationAddress, const QString& basePath);
    KVTSetupData(const KVTSetupData&) = default;
    KVTSetupData& operator=(const KVTSetupData&) = default;
    /// Drops every snapshot of the shared table.
    virtual ~KVTSetupData();

    /// Refreshes each entry's snapshot from the tree below path; an entry
    /// whose value is missing there loses its snapshot.
    void ReadFromValueTree(QString path);
    /// Fills the snapshots from the station's section (not created when
    /// missing); a key that is not stored leaves its snapshot as it is.
    void ReadFromCfg(QString stationAddress);
    /// Writes the snapshots into the station's section (created when missing),
    /// together with the hardware requirements below "/KVTServer".
    void WriteToCfg(QString stationAddress);
    /// Sets each tree value below path that has a snapshot from it (as text),
    /// with pObserver as the sender of the change.
    void WriteToValueTree(IObserver* pObserver, QString path);
    /// Traces "KEY PATH VALUE" and one such line per entry ("NULL" without a
    /// snapshot), while traces are enabled.
    void PrintSetupTrace();

private:
    values::ValueBase* FindValue(QString path, const DataEntry* pEntry);

    static DataEntry s_aDataEntries[];

    QString m_strStationAddress;
    QString m_strBasePath;
};
