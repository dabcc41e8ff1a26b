#pragma once

#include "kvtstationlib_export.h"

#include <QString>

/// Brings a simulated direction finder up in the value tree from its station
/// entry in the configuration store, in the order a driver does: installed
/// options first, then the device values, then the antenna nodes built from
/// the stored antenna setup. Binding the characteristics is the caller's.
///
/// The station entry holds, besides the antenna setup, the keys "DeviceType",
/// "MaxChannelCount" and "DevOptions" that the real device would report.
/// Single-threaded, like the value tree.
class KVTSTATION_EXPORT StationBuilder
{
public:
    /// The device node of the simulated station.
    static const QString DEVICE_PATH;

    explicit StationBuilder(const QString& stationAddress);

    /// Stores the built-in default station when the store has no entry for
    /// this station yet. True when it was stored now; false when there was
    /// an entry, or when storing failed: then error says which file and why
    /// (the station is still used from memory for this run).
    bool EnsureStation(QString& error);

    /// Fills the value tree and the installed options from the station entry.
    /// A non-empty deviceType replaces the stored type; with useOptions the
    /// codes in options replace the stored options (nothing is stored).
    /// False, with a message in error, for an option code that is not known.
    bool Load(const QString& deviceType, bool useOptions, const QString& options, QString& error);

    /// Stores the antenna setup that is now in the value tree (for example
    /// after a repair) in the station entry.
    void StoreAntennaSetup() const;

    QString GetStationAddress() const { return m_strStationAddress; }

private:
    void PublishDeviceValues(const QString& deviceType, int channelCount) const;
    void PublishAntennas() const;

    QString m_strStationAddress;
};
