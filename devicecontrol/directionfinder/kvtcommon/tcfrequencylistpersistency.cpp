#include "devicecontrol/directionfinder/kvtcommon/tcfrequencylistpersistency.h"

#include "base/errorhandler.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/cfgaccess.h"
#include "valueframework/valueclasses/trafficcontrolfrequency.h"
#include "valueframework/valueclasses/valuelist.h"

#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

namespace NxKVTCommon
{

namespace
{

const QString SECTION = QStringLiteral("TrafficControlFrequencies");
const QString KEY_COUNT = QStringLiteral("TCFrequencyCount");
const QString ENTRY_PREFIX = QStringLiteral("TCFrequency_");
const QString KEY_CHANNEL_ID = QStringLiteral("ChannelID");
const QString KEY_FREQUENCY = QStringLiteral("Frequency");
const QString KEY_ALARM = QStringLiteral("Alarm");

QString EntryName(int nIndex)
{
    return ENTRY_PREFIX + QString::number(nIndex);
}

/// The indexes below nCount, ascending, that have an entry sub-section. Taken from the section's
/// sub-section names, because opening a missing sub-section would create it, and so that a damaged,
/// huge count costs no more than the entries that exist.
std::vector<int> StoredIndexes(const ICfg& section, int nCount)
{
    std::vector<int> lstIndexes;
    for (const QString& name : section.GetSubCfgNames())
    {
        if (!name.startsWith(ENTRY_PREFIX))
            continue;
        bool bOk = false;
        const int nIndex = name.mid(ENTRY_PREFIX.size()).toInt(&bOk);
        if (bOk && nIndex >= 0 && nIndex < nCount && name == EntryName(nIndex))
            lstIndexes.push_back(nIndex);
    }
    std::sort(lstIndexes.begin(), lstIndexes.end());
    return lstIndexes;
}

} // namespace

TCFrequencyListPersistency::TCFrequencyListPersistency(values::ValueList<values::TrafficControlFrequency>* pList,
                                                       const QString& configName, ICfg::View view)
    : m_pList(pList)
    , m_strConfigName(configName)
    , m_eView(view)
{
}

TCFrequencyListPersistency::TCFrequencyListPersistency(const TCFrequencyListPersistency& other) = default;
TCFrequencyListPersistency& TCFrequencyListPersistency::operator=(const TCFrequencyListPersistency& other) = default;
TCFrequencyListPersistency::~TCFrequencyListPersistency() = default;

void TCFrequencyListPersistency::MakePersistent()
{
    if (m_pList == nullptr)
        return;
    const CfgAccess::NamedSection cfg = CfgAccess::OpenNamedSection(m_strConfigName, m_eView, SECTION);
    if (!cfg.pSection)
        return;

    std::vector<std::pair<values::TrafficControlFrequency, int>> lstStorable;
    for (const values::TrafficControlFrequency& entry : m_pList->GetItems())
    {
        int nFrequency = 0;
        if (CfgAccess::TruncateToInt(entry.GetFrequency(), nFrequency))
            lstStorable.emplace_back(entry, nFrequency);
        else if (ErrorHandler::Instance().TracesEnabled())
            _Q_Trace(QStringLiteral("WARNING: TCFrequencyListPersistency::MakePersistent(): frequency %1 Hz of channel "
                                    "%2 does not fit the stored integer; the entry is not stored.")
                         .arg(entry.GetFrequency(), 0, 'f', 0)
                         .arg(entry.GetChannelID()),
                     __FILE__, __LINE__);
    }

    cfg.pSection->SetInt(KEY_COUNT, static_cast<int>(lstStorable.size()), 0);
    for (size_t i = 0; i < lstStorable.size(); ++i)
    {
        const std::unique_ptr<ICfg> pEntry(cfg.pSection->GetSubCfg(EntryName(static_cast<int>(i)), m_eView));
        if (!pEntry)
            continue;
        const values::TrafficControlFrequency& entry = lstStorable[i].first;
        pEntry->SetInt(KEY_CHANNEL_ID, static_cast<int>(entry.GetChannelID()), 0);
        pEntry->SetInt(KEY_FREQUENCY, lstStorable[i].second, 0);
        pEntry->SetInt(KEY_ALARM, entry.IsAlarmChannel() ? 1 : 0, 0);
    }
}

void TCFrequencyListPersistency::Restore()
{
    if (m_pList == nullptr)
        return;
    const CfgAccess::NamedSection cfg = CfgAccess::OpenNamedSection(m_strConfigName, m_eView, SECTION);
    if (!cfg.pSection)
        return;
    const int nCount = CfgAccess::ReadIntOrCreate(*cfg.pSection, KEY_COUNT, 0);
    if (nCount < 1)
        return;

    m_pList->StartTransaction(nullptr);
    m_pList->Clear(nullptr);
    values::TrafficControlFrequency record;
    for (const int nIndex : StoredIndexes(*cfg.pSection, nCount))
    {
        const std::unique_ptr<ICfg> pEntry(cfg.pSection->GetSubCfg(EntryName(nIndex), m_eView));
        if (!pEntry)
            continue;
        record.SetChannelID(static_cast<quint32>(pEntry->GetInt(KEY_CHANNEL_ID, 0, 0)));
        record.SetFrequency(pEntry->GetInt(KEY_FREQUENCY, 0, 0));
        record.SetIsAlarmChannel(pEntry->GetBool(KEY_ALARM, false, 0));
        m_pList->PushBack(record, nullptr);
    }
    m_pList->EndTransaction(ChangeCode::ListChanged, nullptr);
}

} // namespace NxKVTCommon
