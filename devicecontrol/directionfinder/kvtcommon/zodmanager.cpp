#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"

#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "base/icfg.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"

namespace
{

const ICfg::View ZOD_VIEW = ICfg::Application;
const QString CONTROL_ROOT = QStringLiteral("/KVTCONTROL/");
const QString SERVER_ROOT = QStringLiteral("/KVTServer");
const QString HANDOVER_FREQUENCY_PATH = CONTROL_ROOT + QStringLiteral("HANDOVERFREQUENCY");

QString ServerPath(const values::ValueDescriptor& descriptor)
{
    return SERVER_ROOT + descriptor.PathName();
}

// A module that answers with an instance of another interface is released at once.
IZodClientDll* CreateClient()
{
    IDllInstance* pInstance =
        CfgCenter::CreateDllInstanceByFileName(QStringLiteral("ZodClient.dll"), QString(), false, false);
    auto* pClient = dynamic_cast<IZodClientDll*>(pInstance);
    if (pClient == nullptr)
        CfgCenter::DestroyDllInstanceByPointer(pInstance);
    return pClient;
}

void DestroyClient(IZodClientDll*& rpClient)
{
    CfgCenter::DestroyDllInstanceByPointer(rpClient);
    rpClient = nullptr;
}

// The part of the parameter set that both roles share, after "FRQ".
void AddBandwidthDemodulationAndMode(IZodClientDll& client)
{
    client.AddParameter(QStringLiteral("BW"), ServerPath(StdDeviceDefinition::g_vdBandwidth),
                        QStringLiteral("AdAlgSelectEqualOrBiggerValue"));
    client.AddParameter(QStringLiteral("DEM"), ServerPath(StdDeviceDefinition::g_vdDemodulation), QString());
    client.SetModeParameter(ServerPath(StdDeviceDefinition::g_vdOperationMode), QStringLiteral("FFM"));
}

void AddAudioParameters(IZodClientDll& client)
{
    const std::pair<QString, QString> aAudio[] = {
        {QStringLiteral("AUDIO_MODE"), CONTROL_ROOT + QStringLiteral("AUDIOMODES")},
        {QStringLiteral("AUDIO_CHANNELMUTE"), ServerPath(StdDeviceDefinition::g_vdAuChannelMute)},
        {QStringLiteral("AUDIO_CHANNELVOLUME"), ServerPath(StdDeviceDefinition::g_vdAuChannelVolume)},
        {QStringLiteral("AUDIO_SOUNDCARDOUTPUT"), CONTROL_ROOT + QStringLiteral("SOUNDCARDOUTPUT")},
        {QStringLiteral("AUDIO_DEVICEOUTPUT"), CONTROL_ROOT + QStringLiteral("DEVICEOUTPUT")},
        {QStringLiteral("SQUELCHSTATE"), ServerPath(StdDeviceDefinition::g_vdAuSquelch)},
        {QStringLiteral("SQUELCHVALUE"), ServerPath(StdDeviceDefinition::g_vdAudioThreshold)},
    };
    for (const auto& parameter : aAudio)
        client.AddParameter(parameter.first, parameter.second, QString());
}

} // namespace

ZodManager::ZodManager() = default;

ZodManager::~ZodManager()
{
    DestroyZodSender();
    DestroyZodReceiver();
}

void ZodManager::CreateZodSender(const QString& defaultName, QToolBar* pToolBar)
{
    DestroyZodSender();
    m_pZodSender = CreateClient();
    if (m_pZodSender == nullptr)
        return;

    CommonZodInit(m_pZodSender, defaultName);
    m_pZodSender->SetReceiverRole(false);
    m_pZodSender->SetToolBar(pToolBar, false);
    m_pZodSender->SetHandoverFrequencyPath(HANDOVER_FREQUENCY_PATH);
    m_pZodSender->AddParameter(QStringLiteral("FRQ"), HANDOVER_FREQUENCY_PATH, QString());
    m_pZodSender->SetHandoverPoolFrequencyPath(SERVER_ROOT + QStringLiteral("/HANDOVERPOOLFREQUENCY"));
    AddBandwidthDemodulationAndMode(*m_pZodSender);
    AddAudioParameters(*m_pZodSender);
    m_pZodSender->Start();
}

void ZodManager::CreateZodReceiver(const QString& defaultName)
{
    DestroyZodReceiver();
    m_pZodReceiver = CreateClient();
    if (m_pZodReceiver == nullptr)
        return;

    // A value of another type counts as absent; observing it would leave a
    // registration behind that nothing removes.
    m_pSysMinFreq = values::LookUpValue<values::ValueNumeric<double>>(CONTROL_ROOT + QStringLiteral("SYSMINFREQ"));
    m_pSysMaxFreq = values::LookUpValue<values::ValueNumeric<double>>(CONTROL_ROOT + QStringLiteral("SYSMAXFREQ"));
    for (values::ValueNumeric<double>* pValue : {m_pSysMinFreq, m_pSysMaxFreq})
        if (pValue != nullptr)
            pValue->AddObserver(this);

    CommonZodInit(m_pZodReceiver, defaultName);
    m_pZodReceiver->SetReceiverRole(true);
    // The device address is read whatever the type of its value; missing, it is empty.
    const values::ValueBase* pAddress =
        values::Tree::Instance()->FindValue(ServerPath(StdDeviceDefinition::g_vdDevAddress));
    m_pZodReceiver->SetDeviceAddress(pAddress != nullptr ? pAddress->GetStringValue() : QString());
    m_pZodReceiver->AddParameter(QStringLiteral("FRQ"), ServerPath(StdDeviceDefinition::g_vdFrequency), QString());
    AddBandwidthDemodulationAndMode(*m_pZodReceiver);
    UpdateZodReceiverRange();
    m_pZodReceiver->Start();
}

void ZodManager::CreateZodSenderIfConfigured(const QString& defaultName, QToolBar* pToolBar, const QString& key,
                                             bool bDefault)
{
    if (GetOrCreateBooleanCfg(key, bDefault))
        CreateZodSender(defaultName, pToolBar);
}

void ZodManager::CreateZodReceiverIfConfigured(const QString& defaultName, const QString& key, bool bDefault)
{
    if (GetOrCreateBooleanCfg(key, bDefault))
        CreateZodReceiver(defaultName);
}

void ZodManager::DestroyZodSender()
{
    DestroyClient(m_pZodSender);
}

void ZodManager::DestroyZodReceiver()
{
    values::ReleaseValue(m_pSysMinFreq, this);
    values::ReleaseValue(m_pSysMaxFreq, this);
    DestroyClient(m_pZodReceiver);
}

void ZodManager::Update(Observable* pSender, TChangeCode code)
{
    if (pSender == nullptr || (pSender != m_pSysMinFreq && pSender != m_pSysMaxFreq))
        return;
    if (code == ChangeCode::StateChanged)
    {
        values::ValueNumeric<double>*& rpValue = pSender == m_pSysMinFreq ? m_pSysMinFreq : m_pSysMaxFreq;
        if (rpValue->GetState() == values::ValueBase::STATE_GONE)
            values::ReleaseValue(rpValue, this);
    }
    else if (code == ChangeCode::ValueChanged)
    {
        UpdateZodReceiverRange();
    }
}

void ZodManager::CommonZodInit(IZodClientDll* pZodClientDll, const QString& defaultName)
{
    if (pZodClientDll == nullptr)
    {
        if (ErrorHandler::Instance().AssertsEnabled())
            _Q_assert(L"pZodClientDll != NULL", KVT_WIDE(__FILE__), __LINE__);
        return;
    }

    ICfg& cfg = CfgCenter::GetAppCfg(ZOD_VIEW);
    const QString address = cfg.GetString(QStringLiteral("ZodCentralAddress"), QStringLiteral("127.0.0.1"), 0);
    const int nPort = cfg.GetInt(QStringLiteral("ZodCentralPort"), 4500, 0);
    QString name = cfg.GetString(QStringLiteral("ZodClientName"), QString(), 0);
    const QString autoCoupleTargets = cfg.GetString(QStringLiteral("AutoCoupleTargets"), QString(), 0);
    if (name.isEmpty())
        name = defaultName.isEmpty() ? QStringLiteral("KVT") : defaultName;

    pZodClientDll->SetAutoCoupleTargets(autoCoupleTargets);
    pZodClientDll->SetClientType(QStringLiteral("VELOR_KVT"));
    pZodClientDll->SetCentral(address, nPort);
    pZodClientDll->SetClientName(name);
}

bool ZodManager::GetOrCreateBooleanCfg(const QString& key, bool bDefault)
{
    ICfg& cfg = CfgCenter::GetAppCfg(ZOD_VIEW);
    const bool bValue = cfg.GetBool(key, bDefault, 0);
    cfg.SetBool(key, bValue, 0);
    cfg.SetReadOnly(key, false, 0);
    return bValue;
}

void ZodManager::UpdateZodReceiverRange()
{
    if (m_pSysMinFreq == nullptr || m_pSysMaxFreq == nullptr || m_pZodReceiver == nullptr)
        return;
    const double fMin = m_pSysMinFreq->GetValue();
    const double fMax = m_pSysMaxFreq->GetValue();
    if (fMax > fMin && fMin > 0)
        m_pZodReceiver->SetFrequencyRange(
            QStringLiteral("%1,%2").arg(QString::number(fMin, 'f', 0), QString::number(fMax, 'f', 0)));
}
