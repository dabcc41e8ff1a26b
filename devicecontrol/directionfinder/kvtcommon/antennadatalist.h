#pragma once

#include "kvtcommon_export.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalistvtaccess.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtenums.h"

#include <QList>
#include <QString>

#include <set>

/// The antenna setup of one direction finder: an ordered list of antenna
/// records that owns them, with the lookups that pick the antenna for a
/// frequency and the operations that turn a raw list into a usable setup.
///
/// List order matters: lookups return the first (or last) match in list order
/// and the range operations compare neighbours in list order.
/// The list never holds null pointers (AddAntenna refuses them), and pointers
/// handed out by the lookups stay valid until the record is deleted by Clear,
/// DeleteAntenna, CopyFrom or the destructor.
/// Not thread-safe: use one list from one thread.
class KVTCOMMON_EXPORT AntennaDataList
{
public:
    /// Empty list, empty base path and station address, saving allowed.
    AntennaDataList();
    /// Empty list with the given base path; an empty station address becomes "Default".
    AntennaDataList(const QString& basePath, const QString& stationAddress);
    // Copies would either share the owned records or silently re-sort them;
    // CopyFrom is the explicit deep copy.
    AntennaDataList(const AntennaDataList&) = delete;
    AntennaDataList& operator=(const AntennaDataList&) = delete;
    virtual ~AntennaDataList();

    /// Replaces this list by deep copies of other's records (in other's order),
    /// takes over other's base path, station address and save flag, and then
    /// sorts by frequency ranges. Copying from itself only sorts.
    void CopyFrom(const AntennaDataList& other);
    /// Deletes every record and empties the list.
    void Clear();
    /// Allows or forbids writing the setup to the configuration store.
    void allowSave(bool bAllow);
    bool GetAllowSave() const;
    const QString& GetBasePath() const;
    const QString& GetStationAddress() const;

    /// Appends pAntenna and takes ownership of it; null is ignored. Always true.
    bool AddAntenna(AntennaData* pAntenna);
    /// Deletes the first record whose name equals pAntenna's name (exact,
    /// case-sensitive); that record need not be pAntenna itself. False for
    /// null or when no record has that name.
    bool DeleteAntenna(const AntennaData* pAntenna);
    int GetAntennaCount() const;

    /// The record at position index; null when index is out of range.
    AntennaData* GetAntennaByIndex(int index) const;
    /// The first record with this handle; null if none.
    AntennaData* GetAntennaByHandle(long handle) const;
    /// The first enabled record whose used range contains [start, stop]; null if none.
    AntennaData* GetAntennaForFreqRange(double start, double stop) const;
    /// The enabled record whose used range covers freq (both ends inclusive).
    /// With bPreferRangeStart, a record whose range starts exactly at freq wins
    /// first. Among covering records the first with polarisation pol wins,
    /// otherwise the last covering one. Null when none covers freq.
    AntennaData* GetAntennaForFrequency(double freq, bool bPreferRangeStart, EKVTPolarisation pol) const;
    /// Handles of all records, or of the enabled ones only.
    std::set<long> GetAntennaHandles(bool bOnlyEnabled) const;
    /// Merges all records with this handle into out: the first record as a
    /// whole, the frequency span widened by every further one and the used
    /// range by every enabled one; enabled when any record is. Without an
    /// enabled range the result is disabled with the single-point range
    /// m_fMinFreq. False (and out.m_bEnabled false) when no record has the handle.
    bool GetCommonAntennaByHandle(long handle, AntennaData& out) const;
    /// True when an enabled record's used range contains 10 MHz.
    bool ContainsHFAntenna() const;

    /// Sorts by frequency span (m_fMinFreq/m_fMaxFreq): a span that starts and
    /// ends lower comes first, otherwise the name decides. The relation is not
    /// a strict weak order for nested spans, so the result is that of the fixed
    /// quicksort procedure in the implementation, which must not be replaced.
    void SortAntennasByFrequencyRanges();
    /// Separates used ranges that touch exactly (the later one starts 1 Hz
    /// higher); overlaps are left as they are. Disabled records are skipped.
    void MakeAntennaRangesDisjoint();
    /// Walks the first record and every later enabled one, each compared with
    /// the one handled before it: an exact duplicate of range and polarisation
    /// is disabled, an overlap with equal polarisation is cut (the earlier
    /// range ends where the later starts, which then starts 1 Hz higher). The
    /// compass switch of every handled record is preset to (A || B), except
    /// for names containing "HR428" or "HR447".
    void SetStartupDefaults(bool bCompassDefaultA, bool bCompassDefaultB);
    /// One trace line per record while traces are enabled (trace mask bit 0x20).
    void PrintAntennaTrace() const;

    // Persistence in the station's section of the configuration store (see
    // AntennaDataListCfgAccess for the format and the reading rules).

    /// Appends the records stored for the station; returns the stored count,
    /// at most 12 (1 when the key is missing); 0 when the station has no section.
    int BuildAntennasFromCfg(QString stationAddress);
    /// Re-applies the stored used ranges, enabled and compass flags and
    /// mechanical offsets to the records of the same names; false when the
    /// station has no section.
    bool ReadAntennaSetupFromCfg(QString stationAddress);
    /// Writes the whole list for the station, creating its section if needed;
    /// does nothing while saving is not allowed.
    void WriteAntennaSetupToCfg(QString stationAddress);

    // Persistence in the antenna nodes of the value tree below the device node
    // path (GetBasePath() when path is empty); see AntennaDataListVtAccess.
    // Each throws ARException when the configuration node cannot be created.

    /// Replaces the list by the antenna nodes; returns the number read.
    int ReadAntennasFromValueTree(QString path);
    /// Updates the records from the nodes at the same positions; returns the number updated.
    int UpdateAntennasFromValueTree(QString path);
    /// Replaces all antenna nodes by nodes for the current records.
    void WriteAntennasToValueTree(QString path);
    /// Removes all antenna nodes.
    void DeleteAllAntennasFromValueTree(QString path);

private:
    static bool IsLess(const AntennaData& a, const AntennaData& b);
    void QuickSort(int start, int end);

    QList<AntennaData*> m_lstAntennas;
    QString m_strBasePath;
    QString m_strStationAddress;
    KVTCharacteristicsTools m_characteristicsTools;
    AntennaDataListVtAccess m_vtAccess;
    bool m_bAllowSave = true;
};
