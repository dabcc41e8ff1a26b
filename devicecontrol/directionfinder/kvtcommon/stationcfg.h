#pragma once

#include "kvtcommon_export.h"

#include <QString>

class ICfg;

/// The per-station sections of the application configuration (view 5):
/// "KVTStations" holds "Count" and the entries "KVTStation0", "KVTStation1", …,
/// each identified by its "DeviceAddress". Everything stored per station
/// (antenna setup, device options, setup data) lies inside that entry.
///
/// Stateless; all operations are static. Not thread-safe: the configuration
/// store and the value tree are used from one thread.
class KVTCOMMON_EXPORT StationCfg
{
public:
    /// The entry whose "DeviceAddress" equals address exactly (an empty
    /// address means "Default"). Without a match, bCreate appends a new entry
    /// for address and returns it; otherwise null. The caller owns the result.
    ///
    /// The entries searched are the "KVTStation<n>" sections present, in the
    /// order of n; for an intact list (entries 0 to "Count" - 1) that is the
    /// list up to "Count". A new entry gets the number after the highest
    /// present, and "Count" is set to cover it, so that a damaged "Count"
    /// (not a number, negative, too small, too large or past a gap) is
    /// repaired and a new station never takes over another station's entry.
    /// The search for a new station and its creation hold the configuration
    /// file's lock (CfgCenter::LockForUpdate) until the new entry is saved,
    /// so that two processes adding stations at once keep both.
    static ICfg* GetStationCfg(QString address, bool bCreate);

    /// The device address of the value tree ("/KVTServer" device node;
    /// "Default" when missing or empty) with its host part resolved by the
    /// host's OS service; a ":port" suffix is kept. An unresolvable host part
    /// is returned as it is.
    static QString GetStationAddress();

    /// The device name of the value tree; "Default" when missing or empty.
    static QString GetStationName();
};
