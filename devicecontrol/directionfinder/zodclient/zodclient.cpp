#include "devicecontrol/directionfinder/zodclient/zodclient.h"

#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/zodclient/zodpayload.h"
#include "devicecontrol/directionfinder/zodclient/zodstatus.h"
#include "devicecontrol/directionfinder/zodclient/zodtopics.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuebase.h"

#include <QToolBar>

#include <algorithm>

namespace
{

const int QOS = 1;
const char* const s_aCONFIG_KEYS[] = {"role",
                                      "client_type",
                                      "auto_couple_targets",
                                      "device_address",
                                      "frequency_range",
                                      "handover_frequency_path",
                                      "handover_pool_frequency_path",
                                      "parameters"};

QString ConfigText(const QString& key)
{
    return CfgCenter::GetAppCfg(ICfg::Application).GetString(key, QString(), 0);
}

} // namespace

const QString ZodClient::USER_NAME_KEY = QStringLiteral("ZodUserName");
const QString ZodClient::PASSWORD_KEY = QStringLiteral("ZodPassword");
const QString ZodClient::CA_FILE_KEY = QStringLiteral("ZodCaFile");

// Texts handed to the host are built at run time: a QStringLiteral would keep
// pointing into this module's memory after the module is unloaded, and the tool
// bar's button outlives the action until its deferred deletion.
ZodClient::ZodClient()
    : m_statusAction(QString::fromLatin1("ZOD"))
{
    m_statusAction.setEnabled(false);
    SetConfig(QStringLiteral("role"), QStringLiteral("sender"));
    connect(&m_connection, &MqttConnection::Connected, this, &ZodClient::SlotConnected);
    connect(&m_connection, &MqttConnection::Disconnected, this, &ZodClient::SlotDisconnected);
    connect(&m_connection, &MqttConnection::PublishAcknowledged, this, &ZodClient::SlotAcknowledged);
    connect(&m_connection, &MqttConnection::MessageReceived, this, &ZodClient::SlotMessage);
    connect(&m_connection, &MqttConnection::MessageRefused, this, &ZodClient::SlotOversized);
    connect(&m_connection, &MqttConnection::LoginRefused, this, &ZodClient::SlotLoginRefused);
    m_dwellTimer.setSingleShot(true);
    connect(&m_dwellTimer, &QTimer::timeout, this, [this] {
        m_follower.ApplyDue(m_clock.elapsed());
        ShowCountsAndScheduleDue();
    });
    m_clock.start();
}

ZodClient::~ZodClient()
{
    m_connection.disconnect(this);
    CloseSession();
    for (const FollowedParameter& parameter : m_lstFollowed)
        parameter.pValue->DeleteObserver(this);
}

void ZodClient::AddParameter(const QString& tag, const QString& valuePath, const QString& adaptationRule)
{
    if (!m_lstTags.contains(tag))
        m_lstTags << tag;
    SetConfig(QStringLiteral("parameters"), m_lstTags.join(QLatin1Char(',')));
    m_follower.AddParameter(tag, valuePath, adaptationRule);
    Follow(tag, valuePath);
}

void ZodClient::SetHandoverFrequencyPath(const QString& valuePath)
{
    SetConfig(QStringLiteral("handover_frequency_path"), valuePath);
}

void ZodClient::SetHandoverPoolFrequencyPath(const QString& valuePath)
{
    SetConfig(QStringLiteral("handover_pool_frequency_path"), valuePath);
}

void ZodClient::SetModeParameter(const QString& valuePath, const QString& tag)
{
    if (!m_lstTags.contains(tag))
        m_lstTags << tag;
    SetConfig(QStringLiteral("parameters"), m_lstTags.join(QLatin1Char(',')));
    m_follower.SetModeParameter(valuePath, tag);
    Follow(tag, valuePath);
}

void ZodClient::SetToolBar(QToolBar* pToolBar, bool bAtFront)
{
    if (m_pToolBar)
        m_pToolBar->removeAction(&m_statusAction);
    m_pToolBar = pToolBar;
    if (m_pToolBar)
    {
        const QList<QAction*> lstActions = m_pToolBar->actions();
        m_pToolBar->insertAction(bAtFront && !lstActions.isEmpty() ? lstActions.first() : nullptr, &m_statusAction);
    }
}

void ZodClient::SetReceiverRole(bool bReceiver)
{
    m_bReceiver = bReceiver;
    SetConfig(QStringLiteral("role"), bReceiver ? QStringLiteral("receiver") : QStringLiteral("sender"));
    if (m_bStarted)
        OpenSession();
}

void ZodClient::SetClientType(const QString& type)
{
    SetConfig(QStringLiteral("client_type"), type);
}

void ZodClient::SetFrequencyRange(const QString& range)
{
    // An unreadable range leaves the previous one in force, and published.
    if (m_follower.SetRange(range))
        SetConfig(QStringLiteral("frequency_range"), range);
}

void ZodClient::SetDeviceAddress(const QString& address)
{
    SetConfig(QStringLiteral("device_address"), address);
}

void ZodClient::SetCentral(const QString& address, int port)
{
    m_strCentralAddress = address;
    m_nCentralPort = port;
    if (m_bStarted)
        OpenSession();
}

void ZodClient::SetClientName(const QString& name)
{
    m_strClientName = name;
    if (m_bStarted)
        OpenSession();
}

void ZodClient::Start()
{
    if (m_bStarted)
        return;
    m_bStarted = true;
    OpenSession();
}

void ZodClient::SetAutoCoupleTargets(const QString& targets)
{
    m_strTargets = targets;
    SetConfig(QStringLiteral("auto_couple_targets"), targets);
    m_follower.SetTargets(ZodTopics::Targets(targets));
    if (m_bStarted)
        UpdateSubscriptions();
}

void ZodClient::Update(Observable* pSender, TChangeCode code)
{
    const auto isSender = [pSender](const FollowedParameter& parameter) { return parameter.pValue == pSender; };
    if (code == ChangeCode::ValueChanged)
    {
        for (const FollowedParameter& parameter : m_lstFollowed)
            if (isSender(parameter))
                PublishParameter(parameter.strTag, parameter.pValue);
    }
    else if (code == ChangeCode::StateChanged)
    {
        const auto found = std::find_if(m_lstFollowed.begin(), m_lstFollowed.end(), isSender);
        if (found == m_lstFollowed.end() || found->pValue->GetState() != values::ValueBase::STATE_GONE)
            return;
        found->pValue->DeleteObserver(this);
        for (const FollowedParameter& parameter : m_lstFollowed)
            if (isSender(parameter))
                PublishParameter(parameter.strTag, nullptr);
        m_lstFollowed.erase(std::remove_if(m_lstFollowed.begin(), m_lstFollowed.end(), isSender),
                            m_lstFollowed.end());
    }
}

void ZodClient::SlotConnected()
{
    ShowConnection(ZodStatus::CONNECTED);
    Publish(ZodTopics::State(m_strClientName), ZodTopics::ONLINE);
    for (const char* pszKey : s_aCONFIG_KEYS)
    {
        const auto found = m_mapConfig.find(QLatin1String(pszKey));
        Publish(ZodTopics::Config(m_strClientName, QLatin1String(pszKey)),
                found != m_mapConfig.end() ? found->second : QString());
    }
    if (m_bReceiver)
        return;
    for (const QString& tag : qAsConst(m_lstTags))
    {
        const auto found = std::find_if(m_lstFollowed.begin(), m_lstFollowed.end(),
                                        [&tag](const FollowedParameter& parameter) { return parameter.strTag == tag; });
        PublishParameter(tag, found != m_lstFollowed.end() ? found->pValue : nullptr);
    }
}

void ZodClient::SlotDisconnected(const QString&)
{
    ShowConnection(ZodStatus::DISCONNECTED);
}

void ZodClient::SlotLoginRefused(const QString&)
{
    ShowConnection(ZodStatus::REFUSED);
}

void ZodClient::SlotOversized()
{
    if (!m_bReceiver)
        return;
    m_follower.CountOversized();
    ShowCountsAndScheduleDue();
}

void ZodClient::SlotAcknowledged()
{
    ++m_nAcknowledged;
    if (m_pStatus)
        m_pStatus->SetDelivery(m_nPublished, m_nAcknowledged);
}

void ZodClient::SlotMessage(const QString& topic, const QByteArray& payload)
{
    if (!m_bReceiver)
        return;
    m_follower.Receive(topic, payload, m_clock.elapsed());
    ShowCountsAndScheduleDue();
}

void ZodClient::ShowCountsAndScheduleDue()
{
    if (m_pStatus)
        m_pStatus->SetCounts(m_follower.GetCounts());
    const qint64 nDue = m_follower.GetDueMs();
    if (nDue >= 0)
        m_dwellTimer.start(static_cast<int>(std::max<qint64>(0, nDue - m_clock.elapsed())));
}

void ZodClient::OpenSession()
{
    CloseSession();
    m_pStatus = std::make_unique<ZodStatus>(m_bReceiver);
    m_nPublished = 0;
    m_nAcknowledged = 0;
    MqttConnection::Settings settings;
    settings.strHost = m_strCentralAddress;
    settings.nPort = m_nCentralPort;
    // The topics carry the station's name; the access list binds them to the user name, so the
    // client id only has to differ from every other session's.
    settings.strClientId =
        MqttConnection::UniqueClientId(m_strClientName, m_bReceiver ? QStringLiteral("zod-receiver") : QStringLiteral("zod-sender"));
    settings.nMaxIncomingBytes = ZodPayload::MAX_SIZE;
    settings.strUserName = ConfigText(USER_NAME_KEY);
    settings.strPassword = ConfigText(PASSWORD_KEY);
    settings.strCaFile = ConfigText(CA_FILE_KEY);
    settings.will = {ZodTopics::State(m_strClientName), ZodTopics::OFFLINE.toUtf8(), QOS, true};
    UpdateSubscriptions();
    const bool bOpened = m_connection.Open(settings);
    ShowConnection(bOpened ? ZodStatus::CONNECTING : ZodStatus::DISCONNECTED);
}

void ZodClient::CloseSession()
{
    if (m_connection.IsConnected())
        Publish(ZodTopics::State(m_strClientName), ZodTopics::OFFLINE);
    m_connection.Close();
    m_statusAction.setEnabled(false);
    m_pStatus.reset();
}

void ZodClient::SetConfig(const QString& key, const QString& value)
{
    m_mapConfig[key] = value;
    Publish(ZodTopics::Config(m_strClientName, key), value);
}

void ZodClient::Publish(const QString& topic, const QString& text)
{
    if (!m_connection.IsConnected())
        return;
    if (m_connection.Publish(topic, text.toUtf8(), QOS, true) > 0)
        ++m_nPublished;
    m_pStatus->SetDelivery(m_nPublished, m_nAcknowledged);
}

void ZodClient::PublishParameter(const QString& tag, const values::ValueBase* pValue)
{
    if (!m_bReceiver)
        Publish(ZodTopics::Parameter(m_strClientName, tag), pValue != nullptr ? pValue->GetStringValue() : QString());
}

void ZodClient::UpdateSubscriptions()
{
    QStringList wanted;
    if (m_bReceiver)
        for (const QString& target : ZodTopics::Targets(m_strTargets))
            wanted << ZodTopics::Parameters(target);
    for (const QString& filter : qAsConst(m_lstSubscribed))
        if (!wanted.contains(filter))
            m_connection.Unsubscribe(filter);
    for (const QString& filter : qAsConst(wanted))
        if (!m_lstSubscribed.contains(filter))
            m_connection.Subscribe(filter, QOS);
    m_lstSubscribed = wanted;
}

void ZodClient::ShowConnection(const QString& state)
{
    m_statusAction.setEnabled(state == ZodStatus::CONNECTED);
    if (m_pStatus)
        m_pStatus->SetConnection(state, m_connection.GetErrorText());
}

void ZodClient::Follow(const QString& tag, const QString& valuePath)
{
    Unfollow(tag);
    values::ValueBase* pValue = values::Tree::Instance()->FindValue(valuePath);
    if (pValue != nullptr)
    {
        // False when another tag follows the same value already; one registration serves both.
        pValue->AddObserver(this);
        m_lstFollowed.push_back({tag, pValue});
    }
    PublishParameter(tag, pValue);
}

void ZodClient::Unfollow(const QString& tag)
{
    const auto found = std::find_if(m_lstFollowed.begin(), m_lstFollowed.end(),
                                    [&tag](const FollowedParameter& parameter) { return parameter.strTag == tag; });
    if (found == m_lstFollowed.end())
        return;
    values::ValueBase* pValue = found->pValue;
    m_lstFollowed.erase(found);
    const bool bStillFollowed =
        std::any_of(m_lstFollowed.begin(), m_lstFollowed.end(),
                    [pValue](const FollowedParameter& parameter) { return parameter.pValue == pValue; });
    if (!bStillFollowed)
        pValue->DeleteObserver(this);
}

// The module is made by CfgCenter::CreateDllInstanceByFileName("ZodClient.dll", ...);
// it takes no start-up text.
extern "C" Q_DECL_EXPORT IDllInstance* KvtCreateDllInstance(const QString&)
{
    return new ZodClient();
}
