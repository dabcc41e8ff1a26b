#include "station/stationenvironment.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/devicefilterrange.h"
#include "devicecontrol/directionfinder/kvtcommon/displayfilterrange.h"
#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/ohpparamspersistency.h"
#include "devicecontrol/directionfinder/kvtcommon/ohpparamsvtsynchronizer.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"
#include "station/cfgoverride.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QToolBar>

using namespace NxKVTCommon;

const QString StationEnvironment::ZOD_RECEIVER_KEY = QStringLiteral("ZodReceiverEnabled");
const QString StationEnvironment::DISPLAY_FILTER_RANGES = QStringLiteral("/Res/DfR/DisplayFilterRanges");
const QString StationEnvironment::HANDOVER_FREQUENCY_PATH = QStringLiteral("/KVTCONTROL/HANDOVERFREQUENCY");

namespace {

const QString ZOD_CLIENT_NAME = QStringLiteral("kvtstation");
/// Where the command log puts its files, below the current directory.
const QString COMMAND_LOG_DIR = QStringLiteral("KVTControl");
/// The server keys the ZOD manager reads, with its defaults.
const QString ZOD_CENTRAL_ADDRESS_KEY = QStringLiteral("ZodCentralAddress");
const QString ZOD_DEFAULT_CENTRAL_ADDRESS = QStringLiteral("127.0.0.1");
const QString ZOD_CENTRAL_PORT_KEY = QStringLiteral("ZodCentralPort");
const int ZOD_DEFAULT_CENTRAL_PORT = 4500;
const QString KEY_REQUIRED_COMPONENTS = QStringLiteral("HwRequiredComponents");
/// Frequency limits of the station for the ZOD receiver, as the host publishes them.
const QString SYS_MIN_FREQ = QStringLiteral("/KVTCONTROL/SYSMINFREQ");
const QString SYS_MAX_FREQ = QStringLiteral("/KVTCONTROL/SYSMAXFREQ");
/// The characteristics' general operation mode.
const EOperationMode OPERATION_MODE_GENERAL = static_cast<EOperationMode>(1);

HwStatusTester::ComponentSet ToSet(const QStringList& names)
{
    return HwStatusTester::ComponentSet(names.begin(), names.end());
}

/// Creates the frequency value when the tree lacks it.
void SetFrequencyLimit(const QString& path, double frequency)
{
    values::Tree* pTree = values::Tree::Instance();
    auto* pValue = pTree->Find<values::ValueNumeric<double>>(path);
    if (pValue == nullptr)
        pValue = pTree->CreateValue<values::ValueNumeric<double>>(path);
    if (pValue != nullptr)
        pValue->SetValue(frequency);
}

}

StationEnvironment::StationEnvironment(const QString& devicePath, const QString& stationAddress,
                                       const QString& outputDir,
                                       const std::vector<std::pair<double, double>>& acceptedSectors,
                                       const Defaults& defaults, const ScenarioZod* pScenarioZod)
    : m_strDevicePath(devicePath)
    , m_strStationAddress(stationAddress)
    , m_strCommandLogDir(QDir(outputDir).filePath(COMMAND_LOG_DIR))
    , m_lstAcceptedSectors(acceptedSectors)
    , m_setupData(stationAddress, devicePath)
    , m_hwStatusTester(devicePath)
    , m_commandLog(stationAddress, defaults.strDeviceDescription)
{
    LoadSetup(defaults);
    LoadHwRequirements(defaults);
    LoadOverheadPass(defaults.bOverheadPass);
    m_bCommandLogOpen = m_commandLog.Init();
    // Init has turned the previous run's log into a backup: every backup now is an earlier run's.
    m_lstEarlierLogFiles = QDir(m_strCommandLogDir).entryList({QStringLiteral("*.bak")}, QDir::Files);
    PublishDisplayFilterRanges();
    StartZod(pScenarioZod);
}

StationEnvironment::~StationEnvironment()
{
    m_pZodManager.reset();
    m_pZodToolBar.reset();
    // What the run changed in the tree (and the requirements) becomes the stored setup.
    m_hwStatusTester.WriteHwRequirementsToTree();
    m_setupData.ReadFromValueTree(QString());
    m_setupData.WriteToCfg(QString());
}

QStringList StationEnvironment::GetCommandLogFilesOfThisRun() const
{
    const QDir directory(m_strCommandLogDir);
    QStringList files;
    for (const QString& name : directory.entryList(QDir::Files, QDir::Name)) {
        if (!m_lstEarlierLogFiles.contains(name))
            files.append(directory.filePath(name));
    }
    return files;
}

void StationEnvironment::LoadSetup(const Defaults& defaults)
{
    if (defaults.presetSetup)
        defaults.presetSetup(m_strDevicePath);
    // Stored values override the defaults; keys not stored yet keep them.
    m_setupData.ReadFromValueTree(QString());
    m_setupData.ReadFromCfg(QString());
    m_setupData.WriteToValueTree(nullptr, QString());
}

void StationEnvironment::LoadHwRequirements(const Defaults& defaults)
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(m_strStationAddress, false));
    if (pStation && pStation->Contains(KEY_REQUIRED_COMPONENTS)) {
        m_hwStatusTester.ReadHwRequirementsFromCfg(pStation.get());
    } else {
        m_hwStatusTester.SetRequiredComponents(ToSet(defaults.lstRequiredComponents));
        m_hwStatusTester.SetOptionalComponents(ToSet(defaults.lstOptionalComponents));
        m_hwStatusTester.SetCheckRequirements(!defaults.lstRequiredComponents.isEmpty()
                                              || !defaults.lstOptionalComponents.isEmpty());
    }
    m_hwStatusTester.WriteHwRequirementsToTree();
}

void StationEnvironment::LoadOverheadPass(bool bOnByDefault)
{
    const std::unique_ptr<ICfg> pSection(
        CfgCenter::GetAppCfg(ICfg::User).GetSubCfg(QStringLiteral("OverheadPass"), ICfg::User));
    if (bOnByDefault && pSection && !pSection->Contains(QStringLiteral("Valid")))
        pSection->SetBool(QStringLiteral("Valid"), true, 0);
    OHPParamsPersistency(m_overheadPassParams).Restore();
    m_pOverheadPassSync = std::make_unique<OHPParamsVtSynchronizer>(m_overheadPassParams, m_strDevicePath);
}

void StationEnvironment::PublishDisplayFilterRanges()
{
    const int split = DISPLAY_FILTER_RANGES.lastIndexOf(QLatin1Char('/'));
    m_pDisplayFilterRange = std::make_unique<DisplayFilterRange>(DISPLAY_FILTER_RANGES.mid(split + 1),
                                                                 m_strDevicePath + DISPLAY_FILTER_RANGES.left(split));
    KVTCharacteristics& characteristics = KVTInformationCenter::Instance()->GetKVTCharacteristics();
    m_pDisplayFilterRange->Reset();
    m_pDisplayFilterRange->AddDeviceFilterRange(DeviceFilterRange(characteristics.GetMinFreq(OPERATION_MODE_GENERAL),
                                                                  characteristics.GetMaxFreq(OPERATION_MODE_GENERAL),
                                                                  m_lstAcceptedSectors));
    m_pDisplayFilterRange->Publish();
}

void StationEnvironment::StartZod(const ScenarioZod* pScenarioZod)
{
    m_pZodManager = std::make_unique<ZodManager>();
    m_pZodToolBar = std::make_unique<QToolBar>();
    if (pScenarioZod != nullptr)
        StartScenarioZod(*pScenarioZod);
    else
        StartConfiguredReceiver();
    if (IZodClientDll* pReceiver = m_pZodManager->GetZodReceiver())
        pReceiver->SetToolBar(m_pZodToolBar.get(), false);
    // The module's action in the tool bar is the one sign of a client that both roles give.
    m_bZodLoaded = !m_pZodToolBar->actions().isEmpty();
    for (QAction* pAction : m_pZodToolBar->actions()) {
        QObject::connect(pAction, &QAction::changed, m_pZodToolBar.get(), [this, pAction] {
            m_bZodConnected = m_bZodConnected || pAction->isEnabled();
        });
    }
}

QList<QAction*> StationEnvironment::GetZodActions() const
{
    return m_pZodToolBar ? m_pZodToolBar->actions() : QList<QAction*>();
}

bool StationEnvironment::WaitForZodConnection(int nTimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (m_bZodLoaded && !m_bZodConnected && timer.elapsed() < nTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return m_bZodConnected;
}

void StationEnvironment::StartConfiguredReceiver()
{
    ICfg& cfg = CfgCenter::GetAppCfg(ICfg::Application);
    KVTCharacteristics& characteristics = KVTInformationCenter::Instance()->GetKVTCharacteristics();
    SetFrequencyLimit(SYS_MIN_FREQ, characteristics.GetMinFreq(OPERATION_MODE_GENERAL));
    SetFrequencyLimit(SYS_MAX_FREQ, characteristics.GetMaxFreq(OPERATION_MODE_GENERAL));
    m_pZodManager->CreateZodReceiverIfConfigured(ZOD_CLIENT_NAME, ZOD_RECEIVER_KEY, false);
    if (!cfg.GetBool(ZOD_RECEIVER_KEY, false, 0))
        return;
    m_strZodRole = QStringLiteral("receiver");
    m_strZodCentral = QStringLiteral("%1:%2")
                          .arg(cfg.GetString(ZOD_CENTRAL_ADDRESS_KEY, ZOD_DEFAULT_CENTRAL_ADDRESS, 0))
                          .arg(cfg.GetInt(ZOD_CENTRAL_PORT_KEY, ZOD_DEFAULT_CENTRAL_PORT, 0));
}

void StationEnvironment::StartScenarioZod(const ScenarioZod& zod)
{
    m_strZodRole = zod.bSender ? QStringLiteral("sender") : QStringLiteral("receiver");
    m_strZodCentral = QStringLiteral("%1:%2").arg(zod.strHost).arg(zod.nPort);
    const CfgOverride keys(CfgCenter::GetAppCfg(ICfg::Application),
                           {{QStringLiteral("ZodClientName"), zod.strName},
                            {QStringLiteral("AutoCoupleTargets"), zod.lstFollows.join(QLatin1Char(','))},
                            {ZOD_CENTRAL_ADDRESS_KEY, zod.strHost},
                            {ZOD_CENTRAL_PORT_KEY, QString::number(zod.nPort)}});
    if (zod.bSender) {
        SetFrequencyLimit(HANDOVER_FREQUENCY_PATH, 0.0);
        m_pZodManager->CreateZodSender(zod.strName, m_pZodToolBar.get());
    } else {
        SetFrequencyLimit(SYS_MIN_FREQ, zod.fFrequencyMin);
        SetFrequencyLimit(SYS_MAX_FREQ, zod.fFrequencyMax);
        m_pZodManager->CreateZodReceiver(zod.strName);
    }
}
