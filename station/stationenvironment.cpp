#include "station/stationenvironment.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "base/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/devicefilterrange.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/displayfilterrange.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/ohpparamspersistency.h"
#include "devicecontrol/directionfinder/kvtcommon/ohpparamsvtsynchronizer.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/cfgoverride.h"
#include "station/devicevalue.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QToolBar>

using namespace NxKVTCommon;

const QString StationEnvironment::SENTENCE_FILE = QStringLiteral("dfdata.txt");
const QString StationEnvironment::ZOD_RECEIVER_KEY = QStringLiteral("ZodReceiverEnabled");
const QString StationEnvironment::DISPLAY_FILTER_RANGES = QStringLiteral("/Res/DfR/DisplayFilterRanges");
const QString StationEnvironment::HANDOVER_FREQUENCY_PATH = QStringLiteral("/KVTCONTROL/HANDOVERFREQUENCY");

namespace {

const char* const DEVICE_DESCRIPTION = "Simulated direction finder";
const QString ZOD_CLIENT_NAME = QStringLiteral("kvtstation");
/// Where the command log puts its files, below the current directory.
const QString COMMAND_LOG_DIR = QStringLiteral("KVTControl");
/// The server keys the ZOD manager reads, with its defaults.
const QString ZOD_CENTRAL_ADDRESS_KEY = QStringLiteral("ZodCentralAddress");
const QString ZOD_DEFAULT_CENTRAL_ADDRESS = QStringLiteral("127.0.0.1");
const QString ZOD_CENTRAL_PORT_KEY = QStringLiteral("ZodCentralPort");
const int ZOD_DEFAULT_CENTRAL_PORT = 4500;
/// The station's own setup before anything is stored: thresholds in degrees,
/// the position of its home port.
const double DEFAULT_PITCH_THRESHOLD = 8.0;
const double DEFAULT_ROLL_THRESHOLD = 10.0;
const double DEFAULT_LATITUDE = 54.3233;
const double DEFAULT_LONGITUDE = 10.1228;
const int HEADING_SOURCE_COMPASS = 1;
const int POSITION_SOURCE_GPS = 1;
/// Components the station cannot work without, and ones it may have. The
/// simulated device lacks the compass and reports a noise generator nobody
/// asked for, so the tester has something to report.
const QStringList DEFAULT_REQUIRED_COMPONENTS = {QStringLiteral("DF Processor"), QStringLiteral("HF Receiver"),
                                                 QStringLiteral("VUHF Receiver"), QStringLiteral("Compass")};
const QStringList DEFAULT_OPTIONAL_COMPONENTS = {QStringLiteral("Antenna Switch"), QStringLiteral("GPS Receiver")};
const QString KEY_REQUIRED_COMPONENTS = QStringLiteral("HwRequiredComponents");
/// Frequency limits of the station for the ZOD receiver, as the host publishes them.
const QString SYS_MIN_FREQ = QStringLiteral("/KVTCONTROL/SYSMINFREQ");
const QString SYS_MAX_FREQ = QStringLiteral("/KVTCONTROL/SYSMAXFREQ");
/// The characteristics' general operation mode.
const EOperationMode OPERATION_MODE_GENERAL = static_cast<EOperationMode>(1);

void SetNumber(const QString& devicePath, const values::ValueDescriptor& descriptor, double value)
{
    if (auto* pValue = DeviceValue<values::ValueNumeric<double>>(devicePath, descriptor))
        pValue->SetValue(value);
}

void SelectKey(const QString& devicePath, const values::ValueDescriptor& descriptor, int key)
{
    if (auto* pValue = DeviceValue<values::ValueSelection>(devicePath, descriptor))
        pValue->SetCurrentKey(key);
}

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
                                       const QString& outputDir, const QString& serialAddress,
                                       const std::vector<std::pair<double, double>>& acceptedSectors,
                                       const ScenarioZod* pScenarioZod)
    : m_strDevicePath(devicePath)
    , m_strStationAddress(stationAddress)
    , m_strSentenceFile(QDir(outputDir).filePath(SENTENCE_FILE))
    , m_strCommandLogDir(QDir(outputDir).filePath(COMMAND_LOG_DIR))
    , m_lstAcceptedSectors(acceptedSectors)
    , m_setupData(stationAddress, devicePath)
    , m_hwStatusTester(devicePath)
    , m_commandLog(stationAddress, QString::fromLatin1(DEVICE_DESCRIPTION))
{
    LoadSetup();
    LoadHwRequirements();
    LoadOverheadPass();
    m_bCommandLogOpen = m_commandLog.Init();
    // Init has turned the previous run's log into a backup: every backup now is an earlier run's.
    m_lstEarlierLogFiles = QDir(m_strCommandLogDir).entryList({QStringLiteral("*.bak")}, QDir::Files);
    PublishDisplayFilterRanges();
    ConfigureOutput(serialAddress);
    StartZod(pScenarioZod);
}

StationEnvironment::~StationEnvironment()
{
    m_pZodManager.reset();
    m_pZodToolBar.reset();
    StopOutput();
    m_pOutput.reset();
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

AccountedOutput& StationEnvironment::GetSentenceOutput()
{
    return m_pOutput->GetFileOutput();
}

std::vector<AccountedOutput*> StationEnvironment::GetOutputs()
{
    std::vector<AccountedOutput*> outputs{&m_pOutput->GetFileOutput()};
    if (m_bSerial)
        outputs.push_back(&m_pOutput->GetSerialOutput());
    return outputs;
}

void StationEnvironment::StopOutput(int drainMs)
{
    const AccountedOutput& serial = m_pOutput->GetSerialOutput();
    QElapsedTimer waited;
    waited.start();
    while (serial.GetAccount().GetPending() > 0 && waited.elapsed() < drainMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    // The line reports bytes it handed over through queued calls; those still
    // queued would die with the line and leave sentences that arrived counted as lost.
    QCoreApplication::sendPostedEvents();
    m_pOutput->SetEnabled(false);
}

void StationEnvironment::LoadSetup()
{
    SetNumber(m_strDevicePath, StdDeviceDefinition::g_vdPitchThreshold, DEFAULT_PITCH_THRESHOLD);
    SetNumber(m_strDevicePath, StdDeviceDefinition::g_vdRollThreshold, DEFAULT_ROLL_THRESHOLD);
    SetNumber(m_strDevicePath, StdDeviceDefinition::g_vdPosLatitude, DEFAULT_LATITUDE);
    SetNumber(m_strDevicePath, StdDeviceDefinition::g_vdPosLongitude, DEFAULT_LONGITUDE);
    SelectKey(m_strDevicePath, StdDeviceDefinition::g_vdHeaSource, HEADING_SOURCE_COMPASS);
    SelectKey(m_strDevicePath, StdDeviceDefinition::g_vdPosSource, POSITION_SOURCE_GPS);
    // Stored values override the defaults; keys not stored yet keep them.
    m_setupData.ReadFromValueTree(QString());
    m_setupData.ReadFromCfg(QString());
    m_setupData.WriteToValueTree(nullptr, QString());
}

void StationEnvironment::LoadHwRequirements()
{
    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(m_strStationAddress, false));
    if (pStation && pStation->Contains(KEY_REQUIRED_COMPONENTS)) {
        m_hwStatusTester.ReadHwRequirementsFromCfg(pStation.get());
    } else {
        m_hwStatusTester.SetRequiredComponents(ToSet(DEFAULT_REQUIRED_COMPONENTS));
        m_hwStatusTester.SetOptionalComponents(ToSet(DEFAULT_OPTIONAL_COMPONENTS));
        m_hwStatusTester.SetCheckRequirements(true);
    }
    m_hwStatusTester.WriteHwRequirementsToTree();
}

void StationEnvironment::LoadOverheadPass()
{
    // This station watches the sky: the filter is on unless the configuration says otherwise.
    const std::unique_ptr<ICfg> pSection(
        CfgCenter::GetAppCfg(ICfg::User).GetSubCfg(QStringLiteral("OverheadPass"), ICfg::User));
    if (pSection && !pSection->Contains(QStringLiteral("Valid")))
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

void StationEnvironment::ConfigureOutput(const QString& serialAddress)
{
    // The output reads its settings from the application configuration, and
    // stores them when it goes; this run's settings are lent to the keys until
    // then, so that the stored ones come back afterwards.
    m_bSerial = !serialAddress.isEmpty();
    std::vector<std::pair<QString, QString>> settings{
        {QStringLiteral("FileOutput_Enabled"), QStringLiteral("true")},
        {QStringLiteral("FileOutput_Address"), m_strSentenceFile},
        {QStringLiteral("Output_Interval"), QStringLiteral("0")},
        {QStringLiteral("RS232Output_Enabled"), m_bSerial ? QStringLiteral("true") : QStringLiteral("false")}};
    if (m_bSerial)
        settings.emplace_back(QStringLiteral("RS232Output_Address"), serialAddress);
    m_pOutputSettings = std::make_unique<CfgOverride>(CfgCenter::GetAppCfg(ICfg::Application), settings);
    m_pOutput = std::make_unique<DFDataOutput>(QStringLiteral("DFDataOutput"));
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
