#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"

#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueobservermacros.h"

#include <QStringList>

// The three "KVTU-" rows are aliases of earlier rows: a code lookup accepts
// them, an option lookup always finds the earlier row first.
const KVTOptionEntry KVTOptions::s_aOptionEntries[] = {
    {"KVT-CL", eOptCL},     {"KVT-DR", eOptDR},     {"KVT-GSM", eOptGSM},     {"KVT-HFR", eOptHFR},
    {"KVT-LF", eOptLF},     {"KVT-TS", eOptTS},     {"KVTQ-WB", eOptQ_WB},    {"KVTQ-SR", eOptQ_SR},
    {"KVTN-HF", eOptN_HF},  {"KVTN-HBW", eOptN_HBW}, {"KVTN-SR", eOptN_SR},   {"KVTN-WB", eOptN_WB},
    {"KVTU-HFR", eOptHFR},  {"KVTU-HF", eOptN_HF},  {"KVTU-HBW", eOptN_HBW},  {"KVTP1-4C", eOptP_4C},
    {"KVT-TRA", eOptTRA},   {"KVT-SSL", eOptSSL},   {"KVTQ-MC", eOptQ_MC},    {"KVTQ-REM", eOptQ_REM},
    {"KVTN-MC", eOptN_MC},  {"KVTN-REM", eOptN_REM}, {"", eOptNone},
};

std::unique_ptr<KVTOptions> KVTOptions::s_pInstance;
quint64 KVTOptions::s_nRevision = 0;

KVTOptions::~KVTOptions() = default;

KVTOptions& KVTOptions::operator=(const KVTOptions& other)
{
    ++s_nRevision;
    m_mapOptions = other.m_mapOptions;
    return *this;
}

KVTOptions* KVTOptions::Instance()
{
    if (!s_pInstance)
    {
        ++s_nRevision;
        s_pInstance.reset(new KVTOptions());
    }
    return s_pInstance.get();
}

void KVTOptions::Finalise()
{
    ++s_nRevision;
    s_pInstance.reset();
}

void KVTOptions::AddOption(EKVTOptions e)
{
    if (e == eOptNone)
        return;
    ++s_nRevision;
    ++m_mapOptions[e];
}

void KVTOptions::RemoveOption(EKVTOptions e)
{
    ++s_nRevision;
    m_mapOptions.remove(e);
}

void KVTOptions::ClearAllOptions()
{
    ++s_nRevision;
    m_mapOptions.clear();
}

bool KVTOptions::HasOption(EKVTOptions e) const
{
    return e == eOptNone || m_mapOptions.contains(e);
}

int KVTOptions::GetOptionCount(EKVTOptions e) const
{
    return m_mapOptions.value(e, 0);
}

bool KVTOptions::AddOptionByName(const QString& name)
{
    const EKVTOptions e = GetOptionForName(name);
    AddOption(e);
    return e != eOptNone;
}

bool KVTOptions::AddOptionsFromString(const QString& list)
{
    const QStringList lstPieces = list.split(QLatin1Char(';'));
    for (const QString& strPiece : lstPieces)
    {
        if (!AddOptionByName(strPiece))
            return false;
    }
    return true;
}

QString KVTOptions::GetOptionsAsString() const
{
    QStringList lstCodes;
    for (auto it = m_mapOptions.cbegin(); it != m_mapOptions.cend(); ++it)
    {
        const QString strCode = GetNameForOption(it.key());
        for (qint32 n = 0; n < it.value(); ++n)
            lstCodes.append(strCode);
    }
    return lstCodes.join(QLatin1Char(';'));
}

bool KVTOptions::ReadFromValueTree(const QString& path)
{
    const values::Value<QString>* pValue = values::LookUpValue<values::Value<QString>>(path);
    if (pValue == nullptr)
        return false;
    const QString strList = pValue->GetValue();
    ClearAllOptions();
    return AddOptionsFromString(strList);
}

bool KVTOptions::WriteToValueTree(const QString& path, IObserver* pObserver) const
{
    values::Value<QString>* pValue = values::LookUpValue<values::Value<QString>>(path);
    if (pValue == nullptr)
        return false;
    pValue->SetValue(GetOptionsAsString(), pObserver);
    return true;
}

bool KVTOptions::WriteToCfg()
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(StationCfg::GetStationAddress(), true));
    if (!pStation)
        return false;
    pStation->SetString(QStringLiteral("DevOptions"), GetOptionsAsString(), 0);
    return true;
}

QString KVTOptions::GetNameForOption(EKVTOptions e)
{
    for (const KVTOptionEntry* pEntry = s_aOptionEntries; pEntry->m_eOption != eOptNone; ++pEntry)
    {
        if (pEntry->m_eOption == e)
            return QString::fromLatin1(pEntry->m_szName);
    }
    return QString();
}

EKVTOptions KVTOptions::GetOptionForName(const QString& name)
{
    for (const KVTOptionEntry* pEntry = s_aOptionEntries; pEntry->m_eOption != eOptNone; ++pEntry)
    {
        if (name == QLatin1String(pEntry->m_szName))
            return pEntry->m_eOption;
    }
    return eOptNone;
}
