#pragma once

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"

#include <QAction>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

#include <vector>

namespace values
{
class ValueBase;
}

/// The ZOD client module ("ZodClient.dll"): reports the station's
/// configuration and parameter changes to the central ZOD server over TCP.
///
/// Protocol: one UTF-8 line per message, fields separated by a tab; a
/// backslash, tab, carriage return or line feed inside a field is written as a
/// backslash followed by a backslash, "t", "r" or "n":
/// - a configuration line per IZodClientDll call, named after the operation
///   with its arguments ("SetCentral\t127.0.0.1\t4500", "SetReceiverRole\ttrue",
///   "SetToolBar\t<tool bar given>\t<at front>", "Start");
/// - "Value\t<tag>\t<text>" when a parameter value changes.
///
/// Configuration calls are kept in call order; calling an operation again
/// (for AddParameter and SetModeParameter: with the same tag) replaces its
/// earlier line in place. Nothing is sent before Start(). From then on the
/// client connects to the central address and port; on every connection it
/// sends all configuration lines, then a "Value" line per followed parameter,
/// then each change as it happens. Changes made while unconnected are not
/// queued: the next connection brings the current state. A refused or lost
/// connection is retried every RECONNECT_INTERVAL_MS; a new SetCentral after
/// Start() reconnects at once. An empty address or a port outside 1 to 65535
/// connects nowhere. Data from the server is read and ignored.
///
/// Parameters are followed through the value tree: a value must exist when
/// AddParameter or SetModeParameter names it, otherwise that tag sends no
/// "Value" lines. A value that goes away is forgotten.
///
/// With a tool bar, a "ZOD" action is placed in it that is enabled while the
/// server is connected; it is removed again with the client.
///
/// Never blocks: the socket works through the Qt event loop of the thread
/// that made the client, which is also the value tree's thread.
class ZodClient : public QObject, public IZodClientDll, public IObserver
{
    Q_OBJECT

public:
    static constexpr int RECONNECT_INTERVAL_MS = 1000;

    ZodClient();
    ~ZodClient() override;

    void AddParameter(const QString& tag, const QString& valuePath, const QString& adaptationRule) override;
    void SetHandoverFrequencyPath(const QString& valuePath) override;
    void SetHandoverPoolFrequencyPath(const QString& valuePath) override;
    void SetModeParameter(const QString& valuePath, const QString& tag) override;
    void SetToolBar(QToolBar* pToolBar, bool bAtFront) override;
    void SetReceiverRole(bool bReceiver) override;
    void SetClientType(const QString& type) override;
    void SetFrequencyRange(const QString& range) override;
    void SetDeviceAddress(const QString& address) override;
    void SetCentral(const QString& address, int port) override;
    void SetClientName(const QString& name) override;
    void Start() override;
    void SetAutoCoupleTargets(const QString& targets) override;

    void Update(Observable* pSender, TChangeCode code) override;

private slots:
    void SlotConnect();
    void SlotConnected();
    void SlotStateChanged(QAbstractSocket::SocketState state);

private:
    struct Setting
    {
        QString strKey;
        QByteArray line;
    };
    struct FollowedParameter
    {
        QString strTag;
        values::ValueBase* pValue;
    };

    /// Keeps the configuration line (operation name, arguments), replacing an earlier one of
    /// the same operation and tag, and sends it when connected.
    void Record(const QStringList& fields, const QString& tag = QString());
    void SendWhenConnected(const QByteArray& line);
    void SendValue(const FollowedParameter& parameter);
    void Follow(const QString& tag, const QString& valuePath);
    /// Forgets the tag; its value is no longer observed unless another tag follows it.
    void Unfollow(const QString& tag);

    std::vector<Setting> m_lstSettings;
    std::vector<FollowedParameter> m_lstFollowed;
    QString m_strCentralAddress;
    int m_nCentralPort = 0;
    bool m_bStarted = false;
    QAction m_statusAction;
    QPointer<QToolBar> m_pToolBar;
    QTcpSocket m_socket;
    QTimer m_reconnectTimer;
};
