#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

/// One MQTT 3.1.1 client connection, driven by the Qt event loop of the
/// thread that made it (single-threaded: every call and every signal on that
/// thread).
///
/// Built on libmosquitto: it is in Debian, small, and its socket plugs into a
/// QSocketNotifier and mosquitto_loop_read/write/misc, so nothing blocks and
/// the library starts no thread of its own.
///
/// Open() starts connecting and returns at once. A refused, failed or lost
/// connection is reported by Disconnected() with a readable reason (a wrong
/// password reads "the broker refused the user name or password") and retried
/// after a delay that starts at the minimum reconnect delay, doubles with every
/// failed attempt up to the maximum and starts again at the minimum once a
/// connection stood. Close() and the destructor end the session with a clean
/// DISCONNECT, so the broker does not publish the Last Will; a connection that
/// breaks in any other way makes the broker publish it.
///
/// A login the broker refuses (wrong user name or password, client id or
/// access refused) is tried MAX_LOGIN_TRIES times on the usual schedule; then
/// the connection gives up, stops reconnecting and emits LoginRefused(): a
/// program exits with a clear message instead of retrying for ever.
///
/// Incoming messages whose payload exceeds the settings' size limit are
/// refused on arrival: counted, reported by MessageRefused() and never
/// handed on. (libmosquitto 2.0 sends MQTT 5 CONNECT properties such as a
/// maximum packet size only with its blocking connect, so the limit cannot
/// be given to the broker; the broker's own "max_packet_size" stops such
/// messages before they reach anyone.)
///
/// Messages of QoS 1 and 2 that were handed to the socket but not yet
/// acknowledged when the connection broke are sent again after the reconnect;
/// Publish() while not connected sends nothing and returns -1 (the caller
/// decides what to keep). Host names are resolved by the library when an
/// attempt starts, which may wait for the resolver; a numeric address never
/// waits.
///
/// Signals are emitted once the library call that produced them has
/// returned, so a slot may publish, subscribe or Close(); it must not destroy
/// the connection (use deleteLater()).
class MqttConnection : public QObject
{
    Q_OBJECT

public:
    static constexpr int DEFAULT_PORT = 1883;
    /// The library refuses shorter keepalive intervals.
    static constexpr int MIN_KEEP_ALIVE_SECONDS = 5;
    /// Refused logins in a row before the connection gives up.
    static constexpr int MAX_LOGIN_TRIES = 3;

    /// Published by the broker on this client's behalf when the connection
    /// breaks without a DISCONNECT. No Will when the topic is empty.
    struct Will
    {
        QString strTopic;
        QByteArray payload;
        int nQos = 1;
        bool bRetain = true;
    };

    struct Settings
    {
        QString strHost = QStringLiteral("127.0.0.1");
        int nPort = DEFAULT_PORT;
        /// Empty: the library makes up a random one. See UniqueClientId().
        QString strClientId;
        /// False: a persistent session. The broker keeps the subscriptions and
        /// queues QoS 1 messages for the client id while the client is away, and
        /// hands them over on the next connection (a fixed client id is needed).
        bool bCleanSession = true;
        /// Incoming payloads larger than this are refused on arrival; 0: no limit.
        int nMaxIncomingBytes = 0;
        /// Empty: no user name and no password are sent.
        QString strUserName;
        QString strPassword;
        /// Not empty: TLS, with the broker's certificate checked against this CA file.
        QString strCaFile;
        int nKeepAliveSeconds = 30;
        Will will;
    };

    /// Reads a broker address "<host>:<port>" as command lines take it (the
    /// last colon separates the port, so a bracket-less IPv6 host works as
    /// long as a port follows). False, with nothing set, when the host is
    /// empty or the port is not a number from 1 to 65535.
    static bool ParseAddress(const QString& text, QString& rHost, int& rPort);
    /// A client id no other process uses: "<name>.<role>.<process id>", with
    /// "-<n>" added for the second and later id of the same name and role in
    /// one process. Every program that needs no persistent session connects
    /// with one, so any number of them share a broker.
    static QString UniqueClientId(const QString& name, const QString& role);

    explicit MqttConnection(QObject* pParent = nullptr);
    ~MqttConnection() override;

    MqttConnection(const MqttConnection&) = delete;
    MqttConnection& operator=(const MqttConnection&) = delete;

    /// Closes any earlier session and starts connecting with `settings`.
    /// False, with the reason in GetErrorText(), when the settings cannot be
    /// used (a persistent session without a client id, no host, port outside 1 to 65535, keepalive outside
    /// MIN_KEEP_ALIVE_SECONDS to 65535, CA file not readable, a Will topic that
    /// is not a valid topic); nothing is attempted then.
    bool Open(const Settings& settings);
    /// Ends the session (clean DISCONNECT) and stops reconnecting.
    void Close();

    bool IsConnected() const { return m_bConnected; }
    /// The broker refused the login MAX_LOGIN_TRIES times in a row; nothing is retried.
    bool IsLoginRefused() const { return m_bLoginRefused; }
    /// The settings of the last successful Open().
    const Settings& GetSettings() const { return m_settings; }
    QString GetClientId() const { return m_settings.strClientId; }
    /// Incoming messages refused for their size since Open().
    qint64 GetRefusedIncoming() const { return m_nRefusedIncoming; }
    /// Why the last attempt failed or the last connection broke; empty while
    /// connected and before the first failure.
    QString GetErrorText() const { return m_strError; }

    /// The message id (> 0) that PublishAcknowledged() will report: for QoS 0
    /// when the message is written, for QoS 1 and 2 when the broker has
    /// acknowledged it. A QoS 1 or 2 message whose write fails because the
    /// connection just broke keeps its id: the library sends it again after
    /// the reconnect (the reason still goes to *pError). -1 when nothing was
    /// or will be sent: not connected, an invalid topic, QoS outside 0 to 2,
    /// or a payload the library refuses; the reason goes to *pError when given.
    int Publish(const QString& topic, const QByteArray& payload, int qos, bool retain, QString* pError = nullptr);
    /// Subscribes to the topic filter now when connected, and again after
    /// every reconnect. False for a filter that is not valid.
    bool Subscribe(const QString& filter, int qos);
    /// Ends a subscription made with Subscribe(); false when there is none.
    bool Unsubscribe(const QString& filter);

    /// Delays between reconnect attempts, in milliseconds (defaults 250 and 8000).
    void SetReconnectDelays(int nMinimumMs, int nMaximumMs);
    /// The delay before the next attempt if the current one fails.
    int GetReconnectDelay() const { return m_nReconnectDelayMs; }

signals:
    void Connected();
    /// An attempt failed or an established connection broke; a reconnect is
    /// scheduled unless the login was refused too often (LoginRefused() follows).
    void Disconnected(const QString& reason);
    void PublishAcknowledged(int nMessageId);
    void MessageReceived(const QString& topic, const QByteArray& payload, bool bRetained);
    /// A message larger than the size limit arrived and was dropped.
    void MessageRefused(const QString& topic, int nBytes);
    /// The broker refused the login MAX_LOGIN_TRIES times; the connection has stopped.
    void LoginRefused(const QString& reason);

private slots:
    void SlotAttempt();
    void SlotReadable();
    void SlotWritable();
    void SlotHousekeeping();

private:
    /// What the library reported during one of its calls, emitted after it.
    struct Event
    {
        enum Kind
        {
            CONNECTED,
            DISCONNECTED,
            ACKNOWLEDGED,
            MESSAGE,
            REFUSED_MESSAGE,
            LOGIN_REFUSED
        } eKind;
        QString text;  ///< reason or topic
        QByteArray payload;
        int nMessageId;  ///< or the size of a refused message
        bool bRetained;
    };
    struct Subscription
    {
        QByteArray filter;
        int nQos;
    };

    static void OnConnect(mosquitto*, void* pSelf, int nResult);
    static void OnPublish(mosquitto*, void* pSelf, int nMessageId);
    static void OnMessage(mosquitto*, void* pSelf, const mosquitto_message* pMessage);

    /// After every library call: a failed call or a closed socket ends the
    /// attempt; otherwise the write notifier follows the library's wish to write.
    void AfterLoop(int nResult);
    void DeliverEvents();
    void Fail(QString reason);
    void WatchSocket();
    void StopWatchingSocket();
    void SubscribeAll();

    mosquitto* m_pClient = nullptr;
    Settings m_settings;
    std::vector<Subscription> m_lstSubscriptions;
    std::vector<Event> m_lstEvents;
    bool m_bOpen = false;
    bool m_bConnected = false;
    bool m_bLoginRefused = false;
    /// The current attempt was refused for its login.
    bool m_bRefusedLogin = false;
    /// Login refusals in a row.
    int m_nRefusedLogins = 0;
    qint64 m_nRefusedIncoming = 0;
    QString m_strError;
    /// A refusal from the broker, kept so that the closing socket does not
    /// replace it with a plain "connection lost".
    QString m_strRefusal;
    int m_nMinimumDelayMs = 250;
    int m_nMaximumDelayMs = 8000;
    int m_nReconnectDelayMs = 250;
    QTimer m_reconnectTimer;
    QTimer m_housekeepingTimer;
    std::unique_ptr<QSocketNotifier> m_pReadNotifier;
    std::unique_ptr<QSocketNotifier> m_pWriteNotifier;
};
