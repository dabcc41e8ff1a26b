#include "station/stationbuilder.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QDateTime>

#include <memory>

const QString StationBuilder::DEVICE_PATH = QStringLiteral("/KVTServer");

namespace {

const QString KEY_DEVICE_TYPE = QStringLiteral("DeviceType");
const QString KEY_CHANNEL_COUNT = QStringLiteral("MaxChannelCount");
const QString KEY_OPTIONS = QStringLiteral("DevOptions");

/// One antenna record of the built-in default station.
struct DefaultAntenna
{
    const char* pszName;
    double fMinFreq;
    double fMaxFreq;
    double fMinRange;
    double fMaxRange;
    const char* pszConverter;
    const char* pszDfMethods;
    bool bCompassSupport;
    bool bPolarizationSupport;
};

// A monitoring station from VLF to 3 GHz: a VLF loop below the HF range, a
// dual-polarised HF array, and two VUHF arrays joined at 1.3 GHz. The used
// ranges join without gaps (each starts 1 Hz above its predecessor's end),
// so the default setup passes the validity check.
const DefaultAntenna s_aDefaultAntennas[] = {
    {"HR463", 9e3, 1e6, 9e3, 299999.0, "RP56", "WAT", false, false},
    {"HR428_L", 3e5, 3e7, 3e5, 3e7, "RP29", "COR9,WAT", true, true},
    {"HR428_R", 3e5, 3e7, 3e5, 3e7, "RP29", "COR9,WAT", true, true},
    {"HR469SR", 2e7, 1.3e9, 30000001.0, 1.3e9, "VQ28", "COR9,SUPR", true, false},
    {"HR443", 1.3e9, 3e9, 1300000001.0, 3e9, "VQ28", "COR9,VMR", true, false},
};
const char* const DEFAULT_DEVICE_TYPE = "KVTQ1";
const int DEFAULT_CHANNEL_COUNT = 4;
const char* const DEFAULT_OPTIONS = "KVT-HFR;KVT-LF;KVTQ-WB;KVTQ-SR";

std::unique_ptr<AntennaData> MakeDefaultAntenna(const DefaultAntenna& row, const KVTCharacteristicsTools& tools)
{
    auto pAntenna = std::make_unique<AntennaData>();
    pAntenna->m_strName = QString::fromLatin1(row.pszName);
    pAntenna->m_fMinFreq = row.fMinFreq;
    pAntenna->m_fMaxFreq = row.fMaxFreq;
    pAntenna->m_fMinRange = row.fMinRange;
    pAntenna->m_fMaxRange = row.fMaxRange;
    pAntenna->m_strConverterTypeName = QString::fromLatin1(row.pszConverter);
    pAntenna->m_lstDfMethodNames = QString::fromLatin1(row.pszDfMethods).split(QLatin1Char(','));
    for (const QString& method : qAsConst(pAntenna->m_lstDfMethodNames))
        pAntenna->m_lstDfMethods.append(static_cast<quint32>(tools.TranslateDfMethod(method)));
    pAntenna->m_bCompassSupport = row.bCompassSupport;
    pAntenna->m_bPolarizationSupport = row.bPolarizationSupport;
    return pAntenna;
}

/// The stored setup does not carry the polarisation a record serves; the
/// simulated device reports it by the model's name suffix, as the hardware
/// would report it for a dual-polarised antenna.
EKVTPolarisation PolarisationOfModel(const QString& name)
{
    if (name.endsWith(QLatin1String("_R")))
        return POL_RIGHT;
    if (name.endsWith(QLatin1String("_V")))
        return POL_VERTICAL;
    if (name.endsWith(QLatin1String("_H")))
        return POL_HORIZONTAL;
    return POL_LEFT;
}

template <class T>
T* DeviceValue(const values::ValueDescriptor& descriptor)
{
    return values::Tree::Instance()->Find<T>(StationBuilder::DEVICE_PATH + descriptor.PathName());
}

}

StationBuilder::StationBuilder(const QString& stationAddress)
    : m_strStationAddress(stationAddress)
{
}

bool StationBuilder::EnsureStation(QString& error)
{
    if (std::unique_ptr<ICfg>(StationCfg::GetStationCfg(m_strStationAddress, false)))
        return false;

    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(m_strStationAddress, true));
    if (!pStation)
        return false;
    pStation->SetString(KEY_DEVICE_TYPE, QString::fromLatin1(DEFAULT_DEVICE_TYPE), 0);
    pStation->SetInt(KEY_CHANNEL_COUNT, DEFAULT_CHANNEL_COUNT, 0);
    pStation->SetString(KEY_OPTIONS, QString::fromLatin1(DEFAULT_OPTIONS), 0);

    const KVTCharacteristicsTools tools;
    AntennaDataList antennas(DEVICE_PATH, m_strStationAddress);
    for (const DefaultAntenna& row : s_aDefaultAntennas)
        antennas.AddAntenna(MakeDefaultAntenna(row, tools).release());
    antennas.WriteAntennaSetupToCfg(m_strStationAddress);
    if (CfgCenter::Flush())
        return true;
    error = QStringLiteral("the built-in default station could not be stored: %1")
                .arg(CfgCenter::GetSaveFailures().join(QStringLiteral("; ")));
    return false;
}

bool StationBuilder::Load(const QString& deviceType, bool useOptions, const QString& options, QString& error)
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(m_strStationAddress, false));
    // A station stored by another program may lack the simulated device's
    // keys: it then reports the default type, no channel count and no options.
    const QString storedType = pStation ? pStation->GetString(KEY_DEVICE_TYPE, QString(), 0) : QString();
    const int channelCount = pStation ? pStation->GetInt(KEY_CHANNEL_COUNT, 0, 0) : 0;
    const QString optionCodes = useOptions ? options
                                           : (pStation ? pStation->GetString(KEY_OPTIONS, QString(), 0) : QString());

    KVTOptions* pOptions = KVTOptions::Instance();
    pOptions->ClearAllOptions();
    if (!optionCodes.isEmpty() && !pOptions->AddOptionsFromString(optionCodes)) {
        error = QStringLiteral("Unknown option code in \"%1\".").arg(optionCodes);
        return false;
    }
    const QString type = !deviceType.isEmpty() ? deviceType : storedType;
    PublishDeviceValues(type.isEmpty() ? QString::fromLatin1(DEFAULT_DEVICE_TYPE) : type, channelCount);
    PublishAntennas();
    return true;
}

void StationBuilder::StoreAntennaSetup() const
{
    AntennaDataList antennas(DEVICE_PATH, m_strStationAddress);
    antennas.ReadAntennasFromValueTree(DEVICE_PATH);
    antennas.WriteAntennaSetupToCfg(m_strStationAddress);
}

void StationBuilder::PublishDeviceValues(const QString& deviceType, int channelCount) const
{
    StdDeviceDefinition::StdDeviceTree::Device(DEVICE_PATH);
    // A type the catalogue does not list is reported as it is stored; the
    // characteristics then treat it as their fallback type.
    if (auto* pType = DeviceValue<values::ValueSelection>(StdDeviceDefinition::g_vdDevType)) {
        if (pType->FindName(deviceType) < 0)
            pType->AddItem(deviceType, 0.0, pType->GetItemCount());
        pType->SetCurrentText(deviceType);
    }
    if (auto* pCount = DeviceValue<values::Value<int>>(StdDeviceDefinition::g_vdDevMaxChannelCount))
        pCount->SetValue(channelCount);
    if (auto* pAddress = DeviceValue<values::Value<QString>>(StdDeviceDefinition::g_vdDevAddress))
        pAddress->SetValue(m_strStationAddress);
    if (auto* pModifyTime = DeviceValue<values::Value<QString>>(StdDeviceDefinition::g_vdCfgModifyTime))
        pModifyTime->SetValue(QDateTime::currentDateTime().toString(QStringLiteral("ddMMyyhhmmss")));
}

void StationBuilder::PublishAntennas() const
{
    AntennaDataList antennas(DEVICE_PATH, m_strStationAddress);
    antennas.BuildAntennasFromCfg(m_strStationAddress);
    for (int i = 0; i < antennas.GetAntennaCount(); ++i) {
        AntennaData* pAntenna = antennas.GetAntennaByIndex(i);
        if (pAntenna->m_bPolarizationSupport)
            pAntenna->m_ePolarizationMode = PolarisationOfModel(pAntenna->m_strName);
    }
    antennas.WriteAntennasToValueTree(DEVICE_PATH);
}
