#include "tools/kvtbridge/bridgecommandline.h"

namespace kvt {

namespace {

const QString OPT_RECEIVER = QStringLiteral("receiver");
const QString OPT_STATION = QStringLiteral("station");
const QString OPT_MQTT = QStringLiteral("mqtt");
const QString OPT_SIGMA = QStringLiteral("sigma");
const QString OPT_MIN_CONFIDENCE = QStringLiteral("min-confidence");
const QString OPT_DOA = QStringLiteral("doa");
const QString OPT_INTERVAL = QStringLiteral("interval");
const QString OPT_TIMEOUT = QStringLiteral("timeout");
const QString OPT_SECONDS = QStringLiteral("seconds");
const QString OPT_JSON = QStringLiteral("json");

}

BridgeCommandLine::BridgeCommandLine()
    : m_reader(QStringLiteral(
          "Makes a DF receiver that serves its current bearing as XML (<DATA> with TIME, FREQUENCY, LOCATION, DOA, "
          "CONF) a station of the network: polls the document over HTTP or reads it from a file, and publishes "
          "each new bearing as a bearing message of the station on the MQTT broker.\n"
          "A locked broker wants the station's login: --mqtt-user (the station's name, as the broker's access "
          "list binds the station's topics to it) and the password from --mqtt-password-file or the "
          "environment's KVT_MQTT_PASSWORD, never from the command line; --mqtt-ca for TLS. A refused login is "
          "tried %1 times, then the bridge gives up (exit code 4).\n"
          "Exit codes: 0 every bearing delivered; 1 the receiver never gave a readable document; 2 bad command "
          "line; 3 a bearing was lost; 4 the broker was never connected or refused the login; 130 / 143 "
          "stopped by SIGINT / SIGTERM.")
                   .arg(MqttConnection::MAX_LOGIN_TRIES))
    , m_login(BrokerLoginOptions::Session::Clean)
{
    m_reader.AddOptions({
        {OPT_RECEIVER, QStringLiteral("The receiver's current-bearing document: an http:// URL or a file."),
         QStringLiteral("url")},
        {OPT_STATION, QStringLiteral("The station's <name> on the broker."), QStringLiteral("name")},
        {OPT_MQTT, QStringLiteral("The broker at <host:port>."), QStringLiteral("host:port")},
        {OPT_SIGMA, QStringLiteral("The station's rated bearing sigma in degrees (default: 3)."),
         QStringLiteral("deg")},
        {OPT_MIN_CONFIDENCE, QStringLiteral("Refuse bearings whose CONF is below <n> (0 to 99, default: 0)."),
         QStringLiteral("n")},
        {OPT_DOA,
         QStringLiteral("The receiver counts DOA \"clockwise\" (default: true bearing = HEADING + DOA) or "
                        "\"anticlockwise\" (HEADING - DOA) from its reference direction."),
         QStringLiteral("sense")},
        {OPT_INTERVAL, QStringLiteral("Poll every <ms> milliseconds (default: 1000)."), QStringLiteral("ms")},
        {OPT_TIMEOUT, QStringLiteral("Give a request up after <ms> milliseconds (default: 2000)."),
         QStringLiteral("ms")},
        {OPT_SECONDS, QStringLiteral("Stop after <s> seconds (default: run until stopped)."), QStringLiteral("s")},
        {OPT_JSON, QStringLiteral("Print the summary as JSON.")},
    });
    m_reader.AddOptions(m_login.Options());
}

bool BridgeCommandLine::Parse(const QStringList& arguments)
{
    if (!m_reader.Parse(arguments))
        return false;
    if (m_reader.WantsHelpOrVersion())
        return true;
    m_bJson = m_reader.IsSet(OPT_JSON);
    m_strReceiver = m_reader.Value(OPT_RECEIVER);
    m_bridge.strStation = m_reader.Value(OPT_STATION);
    if (m_strReceiver.isEmpty() || m_bridge.strStation.isEmpty() || !m_reader.IsSet(OPT_MQTT)) {
        m_reader.SetError(QStringLiteral("--receiver, --station and --mqtt are needed."));
        return false;
    }
    QString sense;
    qint64 interval = m_nIntervalMs;
    qint64 timeout = m_nTimeoutMs;
    if (!m_reader.ReadBrokerAddress(OPT_MQTT, m_mqttSettings.strHost, m_mqttSettings.nPort)
        || !m_login.Read(m_reader, m_mqttSettings)
        || !m_reader.ReadChoice(OPT_DOA, {QStringLiteral("clockwise"), QStringLiteral("anticlockwise")}, sense)
        || !m_reader.ReadNumber(OPT_SIGMA, 0.01, 90.0, m_bridge.fSigma)
        || !m_reader.ReadNumber(OPT_MIN_CONFIDENCE, 0.0, 99.0, m_bridge.fMinConfidence)
        || !m_reader.ReadWholeNumber(OPT_INTERVAL, 10, 3600000, interval)
        || !m_reader.ReadWholeNumber(OPT_TIMEOUT, 10, 600000, timeout)
        || !m_reader.ReadNumber(OPT_SECONDS, 0.0, 1e9, m_fSeconds))
        return false;
    m_bridge.bAntiClockwise = sense == QLatin1String("anticlockwise");
    m_nIntervalMs = static_cast<int>(interval);
    m_nTimeoutMs = static_cast<int>(timeout);
    return true;
}

}
