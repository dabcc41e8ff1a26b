#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class AntennaData;
class AntennaData;
class ICfg;
class KVTCharacteristicsTools;

/// Moves an antenna setup (the records of an AntennaDataList) to and from the station's
/// section of the configuration store (StationCfg):
///   "SystemConfiguration"            "AntennaCount"
///   "SystemConfiguration/Antenna<n>" "Name", "Enabled", "MinRange", "MaxRange",
///     "CompassEnabled", "MechOffset", "CompassSupport", "DFAlgorithm", "MinFreq",
///     "MaxFreq", "PolarizationSupport", "PolarizationMode", "ActivePassiveSupport",
///     "CompassValue", "ConverterTypeName"
/// Frequencies and the compass value are stored as fixed-point texts with 3
/// decimals, the mechanical offset with 1; DF method names joined by ",".
/// Handles are not stored: they are assigned at run time.
///
/// Stored numbers are read leniently: an empty, malformed, infinite or NaN
/// text reads as 0, and so does a text that is out of range for a float
/// member. Used ranges outside [MinFreq, MaxFreq] are pulled to that span.
///
/// The store writes every key atomically, and "AntennaCount" is written last,
/// so a write that is cut off leaves a readable section.
/// Not thread-safe: the store is used from one thread.
class AntennaDataListCfgAccess
{
public:
    /// At most this many entries are built from the store.
    static constexpr int MAX_ANTENNA_COUNT = 12;

    /// Appends the records stored for the station to rAntennas. Returns the
    /// stored count limited to MAX_ANTENNA_COUNT (1 when the key is missing; a
    /// count of 0 or less is returned as it is and builds nothing); none when
    /// the station has no section.
    static std::optional<int> BuildAntennas(const KVTCharacteristicsTools& tools, const QString& address,
                                            std::vector<std::unique_ptr<AntennaData>>& rAntennas);

    /// Re-applies the stored used range, enabled flag, compass switch and
    /// mechanical offset to the records with matching names, in the order
    /// given. Entries are searched forward only, and the walk ends at the
    /// first entry without a name. False when the station has no section.
    static bool ReadAntennaSetup(const QList<AntennaData*>& antennas, const QString& address);

    /// Writes every record in list order, then "AntennaCount" (creating the
    /// station's section if needed). Entries of an earlier, longer setup stay.
    static void WriteAntennaSetup(const QList<AntennaData*>& antennas, const QString& address);

    /// The float nearest to value; 0 for a value that is not finite or lies
    /// outside the range of float.
    static float ToFloat(double value);

private:
    static std::unique_ptr<ICfg> OpenSubCfg(ICfg& station, const QString& path);
    static std::unique_ptr<ICfg> FindEntry(ICfg& station, const QString& name, int& rnEntry);
    static double ReadNumber(ICfg& entry, const QString& key);
    static void ReadUserSettings(ICfg& entry, AntennaData& antenna);
    static void ReadEntry(ICfg& entry, const KVTCharacteristicsTools& tools, AntennaData& antenna);
    static void WriteEntry(ICfg& entry, const AntennaData& antenna);
};
