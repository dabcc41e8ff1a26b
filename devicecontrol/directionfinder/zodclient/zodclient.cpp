#include "devicecontrol/directionfinder/zodclient/zodclient.h"

#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuebase.h"

#include <QToolBar>

#include <algorithm>

namespace
{

QString Escaped(QString field)
{
    return field.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QByteArray Line(const QStringList& fields)
{
    QStringList escaped;
    for (const QString& field : fields)
        escaped << Escaped(field);
    return escaped.join(QLatin1Char('\t')).toUtf8() + '\n';
}

QString BoolText(bool bValue)
{
    return bValue ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

// Texts handed to the host are built at run time: a QStringLiteral would keep
// pointing into this module's memory after the module is unloaded, and the tool
// bar's button outlives the action until its deferred deletion.
ZodClient::ZodClient()
    : m_statusAction(QString::fromLatin1("ZOD"))
{
    m_statusAction.setEnabled(false);
    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.setInterval(RECONNECT_INTERVAL_MS);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &ZodClient::SlotConnect);
    connect(&m_socket, &QTcpSocket::connected, this, &ZodClient::SlotConnected);
    connect(&m_socket, &QTcpSocket::stateChanged, this, &ZodClient::SlotStateChanged);
    connect(&m_socket, &QTcpSocket::readyRead, &m_socket, &QTcpSocket::readAll);
}

ZodClient::~ZodClient()
{
    // Closing the socket below must not call back into a half-destroyed client.
    m_socket.disconnect(this);
    m_socket.abort();
    for (const FollowedParameter& parameter : m_lstFollowed)
        parameter.pValue->DeleteObserver(this);
}

void ZodClient::AddParameter(const QString& tag, const QString& valuePath, const QString& adaptationRule)
{
    Record({QStringLiteral("AddParameter"), tag, valuePath, adaptationRule}, tag);
    Follow(tag, valuePath);
}

void ZodClient::SetHandoverFrequencyPath(const QString& valuePath)
{
    Record({QStringLiteral("SetHandoverFrequencyPath"), valuePath});
}

void ZodClient::SetHandoverPoolFrequencyPath(const QString& valuePath)
{
    Record({QStringLiteral("SetHandoverPoolFrequencyPath"), valuePath});
}

void ZodClient::SetModeParameter(const QString& valuePath, const QString& tag)
{
    Record({QStringLiteral("SetModeParameter"), valuePath, tag}, tag);
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
    Record({QStringLiteral("SetToolBar"), BoolText(pToolBar != nullptr), BoolText(bAtFront)});
}

void ZodClient::SetReceiverRole(bool bReceiver)
{
    Record({QStringLiteral("SetReceiverRole"), BoolText(bReceiver)});
}

void ZodClient::SetClientType(const QString& type)
{
    Record({QStringLiteral("SetClientType"), type});
}

void ZodClient::SetFrequencyRange(const QString& range)
{
    Record({QStringLiteral("SetFrequencyRange"), range});
}

void ZodClient::SetDeviceAddress(const QString& address)
{
    Record({QStringLiteral("SetDeviceAddress"), address});
}

void ZodClient::SetCentral(const QString& address, int port)
{
    m_strCentralAddress = address;
    m_nCentralPort = port;
    Record({QStringLiteral("SetCentral"), address, QString::number(port)});
    if (m_bStarted)
        SlotConnect();
}

void ZodClient::SetClientName(const QString& name)
{
    Record({QStringLiteral("SetClientName"), name});
}

void ZodClient::Start()
{
    Record({QStringLiteral("Start")});
    if (m_bStarted)
        return;
    m_bStarted = true;
    SlotConnect();
}

void ZodClient::SetAutoCoupleTargets(const QString& targets)
{
    Record({QStringLiteral("SetAutoCoupleTargets"), targets});
}

void ZodClient::Update(Observable* pSender, TChangeCode code)
{
    const auto isSender = [pSender](const FollowedParameter& parameter) { return parameter.pValue == pSender; };
    if (code == ChangeCode::ValueChanged)
    {
        for (const FollowedParameter& parameter : m_lstFollowed)
            if (isSender(parameter))
                SendValue(parameter);
    }
    else if (code == ChangeCode::StateChanged)
    {
        const auto found = std::find_if(m_lstFollowed.begin(), m_lstFollowed.end(), isSender);
        if (found == m_lstFollowed.end() || found->pValue->GetState() != values::ValueBase::STATE_GONE)
            return;
        found->pValue->DeleteObserver(this);
        m_lstFollowed.erase(std::remove_if(m_lstFollowed.begin(), m_lstFollowed.end(), isSender),
                            m_lstFollowed.end());
    }
}

void ZodClient::SlotConnect()
{
    // abort() reports the unconnected state, which arms the timer: stop it afterwards.
    m_socket.abort();
    m_reconnectTimer.stop();
    if (!m_strCentralAddress.isEmpty() && m_nCentralPort > 0 && m_nCentralPort <= 0xFFFF)
        m_socket.connectToHost(m_strCentralAddress, static_cast<quint16>(m_nCentralPort));
}

void ZodClient::SlotConnected()
{
    m_statusAction.setEnabled(true);
    for (const Setting& setting : m_lstSettings)
        m_socket.write(setting.line);
    for (const FollowedParameter& parameter : m_lstFollowed)
        SendValue(parameter);
}

void ZodClient::SlotStateChanged(QAbstractSocket::SocketState state)
{
    if (state != QAbstractSocket::UnconnectedState)
        return;
    m_statusAction.setEnabled(false);
    if (m_bStarted)
        m_reconnectTimer.start();
}

void ZodClient::Record(const QStringList& fields, const QString& tag)
{
    const QString key = fields.first() + QLatin1Char('/') + tag;
    const QByteArray line = Line(fields);
    const auto found = std::find_if(m_lstSettings.begin(), m_lstSettings.end(),
                                    [&key](const Setting& setting) { return setting.strKey == key; });
    if (found != m_lstSettings.end())
        found->line = line;
    else
        m_lstSettings.push_back({key, line});
    SendWhenConnected(line);
}

void ZodClient::SendWhenConnected(const QByteArray& line)
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.write(line);
}

void ZodClient::SendValue(const FollowedParameter& parameter)
{
    SendWhenConnected(Line({QStringLiteral("Value"), parameter.strTag, parameter.pValue->GetStringValue()}));
}

void ZodClient::Follow(const QString& tag, const QString& valuePath)
{
    Unfollow(tag);
    values::ValueBase* pValue = values::Tree::Instance()->FindValue(valuePath);
    if (pValue == nullptr)
        return;
    // False when another tag follows the same value already; one registration serves both.
    pValue->AddObserver(this);
    m_lstFollowed.push_back({tag, pValue});
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
