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
    /// Entries are appended contiguously, so a missing entry below "Count" can
    /// only come from a damaged "Count": the search ends there, and a new
    /// entry takes that place (with "Count" repaired to match).
    static ICfg* GetStationCfg(QString address, bool bCreate);

    /// The device address of the value tree ("/KVTServer" device node;
    /// "Default" when missing or empty) with its host part resolved by the
    /// host's OS service; a ":port" suffix is kept. An unresolvable host part
    /// is returned as it is.
    static QString GetStationAddress();

    /// The device name of the value tree; "Default" when missing or empty.
    static QString GetStationName();
};
