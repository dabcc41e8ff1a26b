#include "devicecontrol/directionfinder/kvtcommon/kvtsetupdata.h"

#include "base/errorhandler.h"
#include "base/icfg.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/hwstatustester.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuefactory.h"
#include "valueframework/valueclasses/valueselection.h"

namespace
{

// The tree path of an entry as the trace shows it.
QString EntryPath(const KVTSetupData::DataEntry& entry)
{
    return entry.pDescriptor != nullptr ? entry.pDescriptor->PathName() : QString::fromLatin1(entry.strValueName);
}

// The station's section for address, or for fallback when address is empty.
std::unique_ptr<ICfg> StationSection(const QString& address, const QString& fallback, bool bCreate)
{
    return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(address.isEmpty() ? fallback : address, bCreate));
}

} // namespace

// clang-format off
KVTSetupData::DataEntry KVTSetupData::s_aDataEntries[] = {
    {"LastModification", &StdDeviceDefinition::g_vdCfgModifyTime, nullptr, nullptr},
    {"Message4CalError", &StdDeviceDefinition::g_vdKnownCalErrorMessage, nullptr, nullptr},
    {"Message4Startup", &StdDeviceDefinition::g_vdKnownDevErrorMessage, nullptr, nullptr},
    {"UseJobSettings4FFM", nullptr, "USEJOBSETTINGSFORFFM", nullptr},
    {"SynFastMode", &StdDeviceDefinition::g_vdSynFastMode, nullptr, nullptr},
    {"LocationLatitude", &StdDeviceDefinition::g_vdPosLatitude, nullptr, nullptr},
    {"LocationLongitude", &StdDeviceDefinition::g_vdPosLongitude, nullptr, nullptr},
    {"LocationChoice", &StdDeviceDefinition::g_vdPosSource, nullptr, nullptr},
    {"PreAmplifierHf", &StdDeviceDefinition::g_vdPreAmplifierHf, nullptr, nullptr},
    {"PreAmplifierVuhf", &StdDeviceDefinition::g_vdPreAmplifierVuhf, nullptr, nullptr},
    {"GainControlMode", &StdDeviceDefinition::g_vdGainControlMode, nullptr, nullptr},
    {"AGCDecay", &StdDeviceDefinition::g_vdAGCDecay, nullptr, nullptr},
    {"MGCLevel", &StdDeviceDefinition::g_vdMGCLevel, nullptr, nullptr},
    {"AntennaActive", &StdDeviceDefinition::g_vdAntennaActive, nullptr, nullptr},
    {"AntennaPolarization", &StdDeviceDefinition::g_vdPolarisation, nullptr, nullptr},
    {"GPSSynchronization", &StdDeviceDefinition::g_vdPosCalculation, nullptr, nullptr},
    {"CompassChoice", &StdDeviceDefinition::g_vdHeaSource, nullptr, nullptr},
    {"DFMechOffset", &StdDeviceDefinition::g_vdHeaOffset, nullptr, nullptr},
    {"Declination", &StdDeviceDefinition::g_vdDeclination, nullptr, nullptr},
    {"PitchThreshold", &StdDeviceDefinition::g_vdPitchThreshold, nullptr, nullptr},
    {"RollThreshold", &StdDeviceDefinition::g_vdRollThreshold, nullptr, nullptr},
    {"CalibrationSchedule", nullptr, "CalibrationSchedule", nullptr},
    {"", nullptr, nullptr, nullptr},
};
// clang-format on

KVTSetupData::KVTSetupData(const QString& stationAddress, const QString& basePath)
    : m_strStationAddress(stationAddress)
    , m_strBasePath(basePath)
{
}

KVTSetupData::~KVTSetupData()
{
    for (DataEntry* pEntry = s_aDataEntries; *pEntry->strCfgKey != '\0'; ++pEntry)
        pEntry->pValue.reset();
}

void KVTSetupData::ReadFromValueTree(QString path)
{
    for (DataEntry* pEntry = s_aDataEntries; *pEntry->strCfgKey != '\0'; ++pEntry)
    {
        const values::ValueBase* pTreeValue = FindValue(path, pEntry);
        // A snapshot of another type (the tree value was replaced) cannot take
        // the new content, so it is copied afresh.
        if (pTreeValue == nullptr || !pEntry->pValue || !pEntry->pValue->Assign(*pTreeValue))
            pEntry->pValue = values::ValueFactory::Instance().CloneValue(pTreeValue);
    }
}

void KVTSetupData::ReadFromCfg(QString stationAddress)
{
    const std::unique_ptr<ICfg> pCfg = StationSection(stationAddress, m_strStationAddress, false);
    if (!pCfg)
        return;
    for (DataEntry* pEntry = s_aDataEntries; *pEntry->strCfgKey != '\0'; ++pEntry)
    {
        values::ValueBase* pSnapshot = pEntry->pValue.get();
        const QString strKey = QString::fromLatin1(pEntry->strCfgKey);
        if (auto* pSelection = dynamic_cast<values::ValueSelection*>(pSnapshot))
            pSelection->SetCurrentKey(pCfg->GetInt(strKey, pSelection->GetCurrentKey(), 0));
        else if (auto* pBool = dynamic_cast<values::Value<bool>*>(pSnapshot))
            pBool->SetValue(pCfg->GetBool(strKey, pBool->GetValue(), 0));
        else if (pSnapshot != nullptr)
            pSnapshot->SetStringValue(pCfg->GetString(strKey, pSnapshot->GetStringValue(), 0), nullptr);
    }
}

void KVTSetupData::WriteToCfg(QString stationAddress)
{
    const std::unique_ptr<ICfg> pCfg = StationSection(stationAddress, m_strStationAddress, true);
    if (!pCfg)
        return;
    for (DataEntry* pEntry = s_aDataEntries; *pEntry->strCfgKey != '\0'; ++pEntry)
    {
        const values::ValueBase* pSnapshot = pEntry->pValue.get();
        const QString strKey = QString::fromLatin1(pEntry->strCfgKey);
        if (const auto* pSelection = dynamic_cast<const values::ValueSelection*>(pSnapshot))
            pCfg->SetInt(strKey, pSelection->GetCurrentKey(), 0);
        else if (const auto* pBool = dynamic_cast<const values::Value<bool>*>(pSnapshot))
            pCfg->SetBool(strKey, pBool->GetValue(), 0);
        else if (pSnapshot != nullptr)
            pCfg->SetString(strKey, pSnapshot->GetStringValue(), 0);
    }
    HwStatusTester tester(QStringLiteral("/KVTServer"));
    tester.ReadHwRequirementsFromTree();
    tester.WriteHwRequirementsToCfg(pCfg.get());
}

void KVTSetupData::WriteToValueTree(IObserver* pObserver, QString path)
{
    for (DataEntry* pEntry = s_aDataEntries; *pEntry->strCfgKey != '\0'; ++pEntry)
    {
        values::ValueBase* pTreeValue = pEntry->pValue ? FindValue(path, pEntry) : nullptr;
        if (pTreeValue != nullptr)
            pTreeValue->SetStringValue(pEntry->pValue->GetStringValue(), pObserver);
    }
}

void KVTSetupData::PrintSetupTrace()
{
    if (!ErrorHandler::Instance().TracesEnabled())
        return;
    const QString strLine = QStringLiteral("%1 %2 %3");
    _Q_TraceOld("%s", strLine.arg(QStringLiteral("KEY"), QStringLiteral("PATH"), QStringLiteral("VALUE")).toUtf8().constData());
    for (const DataEntry* pEntry = s_aDataEntries; *pEntry->strCfgKey != '\0'; ++pEntry)
    {
        const QString strValue = pEntry->pValue ? pEntry->pValue->GetStringValue() : QStringLiteral("NULL");
        _Q_TraceOld("%s", strLine.arg(QString::fromLatin1(pEntry->strCfgKey), EntryPath(*pEntry), strValue).toUtf8().constData());
    }
}

values::ValueBase* KVTSetupData::FindValue(QString path, const DataEntry* pEntry)
{
    if (path.isEmpty())
        path = m_strBasePath;
    if (path.isEmpty())
        return nullptr;
    if (pEntry->pDescriptor != nullptr)
        return values::Tree::Instance()->FindValue(path + pEntry->pDescriptor->PathName());
    return values::Tree::Instance()->FindValue(path + QLatin1Char('/') + QString::fromLatin1(pEntry->strValueName));
}
