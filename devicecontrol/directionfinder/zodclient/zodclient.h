#pragma once

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"
#include "devicecontrol/directionfinder/zodclient/zodfollower.h"
#include "network/mqttconnection.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class ZodStatus;

namespace values
{
class ValueBase;
}

/// The ZOD client module ("ZodClient.dll"): exchanges the station's tuning
/// parameters with other stations through an MQTT broker, the central server
/// named by SetCentral (address and port). The topic tree is ZodTopics'.
///
/// From Start() on, the client holds one MQTT session with a client id of its
/// own (MqttConnection::UniqueClientId: "<name>.zod-sender.<pid>" or
/// "<name>.zod-receiver.<pid>") and a Last Will that sets "kvt/zod/<name>/state" to
/// "offline". On every connection (the first and each reconnect) it publishes,
/// all retained with QoS 1: "online" as its state, its configuration as
/// "kvt/zod/<name>/config/<key>" and, as a sender, the current text of every
/// parameter as "kvt/zod/<name>/param/<TAG>". After that each change is
/// published as it happens; changes while unconnected are not queued, the
/// next connection brings the current state. A value that is missing when its
/// tag is given, or that goes away, publishes an empty payload, which removes
/// the retained parameter at the broker.
///
/// Configuration keys ("config/<key>"; an empty payload for a key not given):
/// "role" ("sender"/"receiver"), "client_type", "auto_couple_targets",
/// "device_address", "frequency_range", "handover_frequency_path",
/// "handover_pool_frequency_path", "parameters" (the tags, comma-separated).
///
/// As a receiver it subscribes to the parameters of every sender that
/// SetAutoCoupleTargets names (format: ZodTopics::Targets) and lets a
/// ZodFollower decide what tunes the station (range from SetFrequencyRange),
/// holding back what comes faster than its dwell.
///
/// Broker access beyond address and port comes from the application
/// configuration, read at Start() and never written: "ZodUserName" and
/// "ZodPassword" (no user name: none sent), "ZodCaFile" (not empty: TLS,
/// the broker's certificate checked against this CA file).
///
/// A lost or refused connection is retried with growing delays
/// (MqttConnection); a login refused MqttConnection::MAX_LOGIN_TRIES times
/// is given up, with the state "refused" and the broker's reason. Incoming
/// messages above ZodPayload::MAX_SIZE are dropped on arrival and counted as
/// malformed; a new SetCentral, SetClientName or SetReceiverRole after
/// Start() starts a new session (the old one first says "offline"). State,
/// reason of the last failure and the counts are shown in the value tree
/// (ZodStatus). With a tool bar, a "ZOD" action is placed in it that is enabled
/// while connected; it is removed again with the client. The destructor
/// publishes "offline" and ends the session cleanly.
///
/// Never blocks; starts no thread. Single-threaded: all calls on the thread of
/// the value tree, whose Qt event loop drives the connection.
class ZodClient : public QObject, public IZodClientDll, public IObserver
{
    Q_OBJECT

public:
    static const QString USER_NAME_KEY;
    static const QString PASSWORD_KEY;
    static const QString CA_FILE_KEY;

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
    void SlotConnected();
    void SlotDisconnected(const QString& reason);
    void SlotAcknowledged();
    void SlotLoginRefused(const QString& reason);
    void SlotOversized();
    void SlotMessage(const QString& topic, const QByteArray& payload);

private:
    struct FollowedParameter
    {
        QString strTag;
        values::ValueBase* pValue;
    };

    /// Ends the running session, if any, and opens a new one with the current configuration.
    void OpenSession();
    /// Says "offline" while still connected, then closes.
    void CloseSession();
    void SetConfig(const QString& key, const QString& value);
    void Publish(const QString& topic, const QString& text);
    void PublishParameter(const QString& tag, const values::ValueBase* pValue);
    void UpdateSubscriptions();
    /// Shows the follower's counts and wakes up when its held-back tuning is due.
    void ShowCountsAndScheduleDue();
    void ShowConnection(const QString& state);
    void Follow(const QString& tag, const QString& valuePath);
    /// Forgets the tag; its value is no longer observed unless another tag follows it.
    void Unfollow(const QString& tag);

    std::map<QString, QString> m_mapConfig;
    QStringList m_lstTags;
    std::vector<FollowedParameter> m_lstFollowed;
    ZodFollower m_follower{this};
    QElapsedTimer m_clock;
    QTimer m_dwellTimer;
    QStringList m_lstSubscribed;
    QString m_strCentralAddress;
    int m_nCentralPort = 0;
    QString m_strClientName;
    QString m_strTargets;
    bool m_bReceiver = false;
    bool m_bStarted = false;
    qint64 m_nPublished = 0;
    qint64 m_nAcknowledged = 0;
    QAction m_statusAction;
    QPointer<QToolBar> m_pToolBar;
    MqttConnection m_connection;
    std::unique_ptr<ZodStatus> m_pStatus;
};
