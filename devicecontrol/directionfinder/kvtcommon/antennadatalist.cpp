#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadatalistcfgaccess.h"

#include "base/errorhandler.h"
#include "base/trace.h"

#include <QLocale>
#include <QtAlgorithms>

#include <algorithm>
#include <limits>

namespace
{
bool IsCompassDefaultApplicable(const AntennaData& antenna)
{
    // These models have their compass switch set by the user, not by a default.
    return !antenna.m_strName.contains(QLatin1String("HR428"))
        && !antenna.m_strName.contains(QLatin1String("HR447"));
}
} // namespace

AntennaDataList::AntennaDataList() = default;

AntennaDataList::AntennaDataList(const QString& basePath, const QString& stationAddress)
    : m_strBasePath(basePath)
    , m_strStationAddress(stationAddress.isEmpty() ? QStringLiteral("Default") : stationAddress)
{
}

AntennaDataList::~AntennaDataList()
{
    Clear();
}

void AntennaDataList::CopyFrom(const AntennaDataList& other)
{
    if (&other != this)
    {
        Clear();
        m_strBasePath = other.m_strBasePath;
        m_strStationAddress = other.m_strStationAddress;
        m_bAllowSave = other.m_bAllowSave;
        m_lstAntennas.reserve(other.m_lstAntennas.size());
        for (const AntennaData* pAntenna : other.m_lstAntennas)
            m_lstAntennas.append(new AntennaData(*pAntenna));
    }
    SortAntennasByFrequencyRanges();
}

void AntennaDataList::Clear()
{
    qDeleteAll(m_lstAntennas);
    m_lstAntennas.clear();
}

void AntennaDataList::allowSave(bool bAllow)
{
    m_bAllowSave = bAllow;
}

bool AntennaDataList::GetAllowSave() const
{
    return m_bAllowSave;
}

const QString& AntennaDataList::GetBasePath() const
{
    return m_strBasePath;
}

const QString& AntennaDataList::GetStationAddress() const
{
    return m_strStationAddress;
}

bool AntennaDataList::AddAntenna(AntennaData* pAntenna)
{
    if (pAntenna != nullptr)
        m_lstAntennas.append(pAntenna);
    return true;
}

bool AntennaDataList::DeleteAntenna(const AntennaData* pAntenna)
{
    if (pAntenna == nullptr)
        return false;
    for (int i = 0; i < m_lstAntennas.size(); ++i)
    {
        if (m_lstAntennas.at(i)->m_strName == pAntenna->m_strName)
        {
            // Take the record out of the list before deleting it: pAntenna may
            // be that very record.
            delete m_lstAntennas.takeAt(i);
            return true;
        }
    }
    return false;
}

int AntennaDataList::GetAntennaCount() const
{
    return m_lstAntennas.size();
}

AntennaData* AntennaDataList::GetAntennaByIndex(int index) const
{
    return index >= 0 && index < m_lstAntennas.size() ? m_lstAntennas.at(index) : nullptr;
}

AntennaData* AntennaDataList::GetAntennaByHandle(long handle) const
{
    for (AntennaData* pAntenna : m_lstAntennas)
    {
        if (pAntenna->m_nHandle == handle)
            return pAntenna;
    }
    return nullptr;
}

AntennaData* AntennaDataList::GetAntennaForFreqRange(double start, double stop) const
{
    for (AntennaData* pAntenna : m_lstAntennas)
    {
        if (pAntenna->m_bEnabled && start >= pAntenna->m_fMinRange && pAntenna->m_fMaxRange >= stop)
            return pAntenna;
    }
    return nullptr;
}

AntennaData* AntennaDataList::GetAntennaForFrequency(double freq, bool bPreferRangeStart,
                                                     EKVTPolarisation pol) const
{
    if (bPreferRangeStart)
    {
        for (AntennaData* pAntenna : m_lstAntennas)
        {
            if (pAntenna->m_bEnabled && pAntenna->m_fMinRange == freq)
                return pAntenna;
        }
    }
    AntennaData* pLastCovering = nullptr;
    for (AntennaData* pAntenna : m_lstAntennas)
    {
        if (pAntenna->m_bEnabled && pAntenna->m_fMinRange <= freq && freq <= pAntenna->m_fMaxRange)
        {
            if (pAntenna->m_ePolarizationMode == pol)
                return pAntenna;
            pLastCovering = pAntenna;
        }
    }
    return pLastCovering;
}

std::set<long> AntennaDataList::GetAntennaHandles(bool bOnlyEnabled) const
{
    std::set<long> handles;
    for (const AntennaData* pAntenna : m_lstAntennas)
    {
        if (!bOnlyEnabled || pAntenna->m_bEnabled)
            handles.insert(pAntenna->m_nHandle);
    }
    return handles;
}

bool AntennaDataList::GetCommonAntennaByHandle(long handle, AntennaData& out) const
{
    // Merged into a local record so that out may even alias one of the records.
    AntennaData merged;
    bool bFound = false;
    bool bAnyEnabled = false;
    for (const AntennaData* pAntenna : m_lstAntennas)
    {
        if (pAntenna->m_nHandle != handle)
            continue;
        if (!bFound)
        {
            merged = *pAntenna;
            if (!pAntenna->m_bEnabled)
            {
                // Only enabled records contribute used ranges.
                merged.m_fMinRange = std::numeric_limits<double>::max();
                merged.m_fMaxRange = 0.0;
            }
            bFound = true;
        }
        else
        {
            merged.m_fMinFreq = std::min(merged.m_fMinFreq, pAntenna->m_fMinFreq);
            merged.m_fMaxFreq = std::max(merged.m_fMaxFreq, pAntenna->m_fMaxFreq);
            if (pAntenna->m_bEnabled)
            {
                merged.m_fMinRange = std::min(merged.m_fMinRange, pAntenna->m_fMinRange);
                merged.m_fMaxRange = std::max(merged.m_fMaxRange, pAntenna->m_fMaxRange);
            }
        }
        bAnyEnabled = bAnyEnabled || pAntenna->m_bEnabled;
    }
    if (!bFound)
    {
        out.m_bEnabled = false;
        return false;
    }
    merged.m_bEnabled = bAnyEnabled;
    if (merged.m_fMaxRange == 0.0)
    {
        // No usable range: collapse it to the lowest frequency and disable.
        merged.m_fMinRange = merged.m_fMinFreq;
        merged.m_fMaxRange = merged.m_fMinFreq;
        merged.m_bEnabled = false;
    }
    out = merged;
    return true;
}

bool AntennaDataList::ContainsHFAntenna() const
{
    // Any covering record is returned by the polarisation fallback, so the
    // polarisation asked for does not matter here.
    return GetAntennaForFrequency(10000000.0, false, POL_VERTICAL) != nullptr;
}

bool AntennaDataList::IsLess(const AntennaData& a, const AntennaData& b)
{
    if (b.m_fMinFreq > a.m_fMinFreq && b.m_fMaxFreq >= a.m_fMaxFreq)
        return true;
    if (a.m_fMinFreq > b.m_fMinFreq && a.m_fMaxFreq > b.m_fMaxFreq)
        return false;
    if (b.m_fMaxFreq < a.m_fMaxFreq)
        return false;
    return a.m_strName < b.m_strName;
}

void AntennaDataList::SortAntennasByFrequencyRanges()
{
    QuickSort(0, m_lstAntennas.size());
}

// IsLess is no strict weak order when spans are nested, so the result depends
// on the exact sequence of comparisons and swaps. Stored setups and the
// automatic configuration rely on this order: keep the procedure as it is.
void AntennaDataList::QuickSort(int start, int end)
{
    const auto less = [this](int i, int j) { return IsLess(*m_lstAntennas.at(i), *m_lstAntennas.at(j)); };

    const int span = end - start;
    if (span < 2)
        return;
    const int last = end - 1;
    int low = start;
    int high = last - 1;
    const int pivot = start + span / 2;

    if (less(last, start))
        m_lstAntennas.swapItemsAt(last, start);
    if (span == 2)
        return;

    if (less(pivot, start))
        m_lstAntennas.swapItemsAt(pivot, start);
    if (less(last, pivot))
        m_lstAntennas.swapItemsAt(last, pivot);
    if (span == 3)
        return;

    m_lstAntennas.swapItemsAt(pivot, last);

    while (low < high)
    {
        while (low < high && less(low, last))
            ++low;
        while (high > low && less(last, high))
            --high;
        if (low < high)
        {
            m_lstAntennas.swapItemsAt(low, high);
            ++low;
            --high;
        }
        else
        {
            break;
        }
    }

    if (less(low, last))
        ++low;
    m_lstAntennas.swapItemsAt(last, low);

    QuickSort(start, low);
    QuickSort(low + 1, end);
}

void AntennaDataList::MakeAntennaRangesDisjoint()
{
    double fLast = -std::numeric_limits<double>::max();
    for (AntennaData* pAntenna : m_lstAntennas)
    {
        if (!pAntenna->m_bEnabled)
            continue;
        if (fLast > 0.0 && fLast == pAntenna->m_fMinRange)
            pAntenna->m_fMinRange += 1.0;
        fLast = pAntenna->m_fMaxRange;
    }
}

void AntennaDataList::SetStartupDefaults(bool bCompassDefaultA, bool bCompassDefaultB)
{
    if (m_lstAntennas.isEmpty())
        return;
    // The drivers pass two independent reasons for enabling the compass.
    const bool bCompassDefault = bCompassDefaultA || bCompassDefaultB;

    AntennaData* pPrev = m_lstAntennas.first();
    if (IsCompassDefaultApplicable(*pPrev))
        pPrev->m_bCompassEnabled = bCompassDefault;

    for (int i = 1; i < m_lstAntennas.size(); ++i)
    {
        AntennaData* pCur = m_lstAntennas.at(i);
        if (!pCur->m_bEnabled)
            continue;
        const bool bSamePolarisation = pCur->m_ePolarizationMode == pPrev->m_ePolarizationMode;
        if (bSamePolarisation && pCur->m_fMinRange == pPrev->m_fMinRange && pCur->m_fMaxRange == pPrev->m_fMaxRange)
        {
            pCur->m_bEnabled = false;
        }
        else if (bSamePolarisation && pPrev->m_fMaxRange >= pCur->m_fMinRange)
        {
            pPrev->m_fMaxRange = pCur->m_fMinRange;
            pCur->m_fMinRange += 1.0;
        }
        if (IsCompassDefaultApplicable(*pCur))
            pCur->m_bCompassEnabled = bCompassDefault;
        pPrev = pCur;
    }
}

void AntennaDataList::PrintAntennaTrace() const
{
    if (!ErrorHandler::Instance().TracesEnabled())
        return;
    // Shortest general form that reads back exactly: Qt's precision -1 would
    // mean 6 digits and hide the 1 Hz steps that separate touching ranges.
    const auto number = [](double fValue) { return QString::number(fValue, 'g', QLocale::FloatingPointShortest); };
    for (const AntennaData* pAntenna : m_lstAntennas)
    {
        const QString strLine =
            QStringLiteral("Antenna name=%1 handle=%2 enabled=%3 frequency=%4-%5 range=%6-%7 (at converter %8)")
                .arg(pAntenna->m_strName, QString::number(static_cast<quint32>(pAntenna->m_nHandle)),
                     pAntenna->m_bEnabled ? QStringLiteral("1") : QStringLiteral("0"),
                     number(pAntenna->m_fMinFreq), number(pAntenna->m_fMaxFreq), number(pAntenna->m_fMinRange),
                     number(pAntenna->m_fMaxRange), pAntenna->m_strConverterTypeName);
        _Q_Trace(strLine, __FILE__, __LINE__);
    }
}

int AntennaDataList::BuildAntennasFromCfg(QString stationAddress)
{
    std::vector<std::unique_ptr<AntennaData>> built;
    const std::optional<int> count = AntennaDataListCfgAccess::BuildAntennas(m_characteristicsTools, stationAddress, built);
    if (!count)
        return 0;
    for (std::unique_ptr<AntennaData>& pAntenna : built)
        AddAntenna(pAntenna.release());
    MakeAntennaRangesDisjoint();
    return *count;
}

bool AntennaDataList::ReadAntennaSetupFromCfg(QString stationAddress)
{
    SortAntennasByFrequencyRanges();
    if (!AntennaDataListCfgAccess::ReadAntennaSetup(m_lstAntennas, stationAddress))
        return false;
    MakeAntennaRangesDisjoint();
    return true;
}

void AntennaDataList::WriteAntennaSetupToCfg(QString stationAddress)
{
    if (m_bAllowSave)
        AntennaDataListCfgAccess::WriteAntennaSetup(m_lstAntennas, stationAddress);
}

int AntennaDataList::ReadAntennasFromValueTree(QString path)
{
    return m_vtAccess.ReadAntennasFromValueTree(*this, path.isEmpty() ? m_strBasePath : path);
}

int AntennaDataList::UpdateAntennasFromValueTree(QString path)
{
    return m_vtAccess.UpdateAntennasFromValueTree(*this, path.isEmpty() ? m_strBasePath : path);
}

void AntennaDataList::WriteAntennasToValueTree(QString path)
{
    m_vtAccess.WriteAntennasToValueTree(*this, path.isEmpty() ? m_strBasePath : path);
}

void AntennaDataList::DeleteAllAntennasFromValueTree(QString path)
{
    m_vtAccess.DeleteAllAntennasFromValueTree(path.isEmpty() ? m_strBasePath : path);
}
