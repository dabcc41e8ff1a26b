#include "tools/kvtbridge/bridgecommandline.h"

#include "network/mqttconnection.h"

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
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Makes a DF receiver that serves its current bearing as XML (<DATA> with TIME, FREQUENCY, LOCATION, DOA, "
        "CONF) a station of the network: polls the document over HTTP or reads it from a file, and publishes "
        "each new bearing as a bearing message of the station on the MQTT broker."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({
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
}

bool BridgeCommandLine::Parse(const QStringList& arguments)
{
    if (!m_parser.parse(arguments)) {
        m_strError = m_parser.errorText();
        return false;
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        m_strError = QStringLiteral("Unexpected argument: %1").arg(m_parser.positionalArguments().first());
        return false;
    }
    if (m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("version")))
        return true;
    m_bJson = m_parser.isSet(OPT_JSON);
    m_strReceiver = m_parser.value(OPT_RECEIVER);
    m_bridge.strStation = m_parser.value(OPT_STATION);
    if (m_strReceiver.isEmpty() || m_bridge.strStation.isEmpty() || !m_parser.isSet(OPT_MQTT)) {
        m_strError = QStringLiteral("--receiver, --station and --mqtt are needed.");
        return false;
    }
    if (!MqttConnection::ParseAddress(m_parser.value(OPT_MQTT), m_strMqttHost, m_nMqttPort)) {
        m_strError = QStringLiteral("--mqtt wants host:port with a port from 1 to 65535, not \"%1\".")
                         .arg(m_parser.value(OPT_MQTT));
        return false;
    }
    const QString sense = m_parser.value(OPT_DOA);
    if (m_parser.isSet(OPT_DOA) && sense != QLatin1String("clockwise") && sense != QLatin1String("anticlockwise")) {
        m_strError = QStringLiteral("--doa is \"clockwise\" or \"anticlockwise\", not \"%1\".").arg(sense);
        return false;
    }
    m_bridge.bAntiClockwise = sense == QLatin1String("anticlockwise");
    double interval = m_nIntervalMs;
    double timeout = m_nTimeoutMs;
    if (!ParseNumber(OPT_SIGMA, 0.01, 90.0, m_bridge.fSigma)
        || !ParseNumber(OPT_MIN_CONFIDENCE, 0.0, 99.0, m_bridge.fMinConfidence)
        || !ParseNumber(OPT_INTERVAL, 10.0, 3600000.0, interval) || !ParseNumber(OPT_TIMEOUT, 10.0, 600000.0, timeout)
        || !ParseNumber(OPT_SECONDS, 0.0, 1e9, m_fSeconds))
        return false;
    m_nIntervalMs = static_cast<int>(interval);
    m_nTimeoutMs = static_cast<int>(timeout);
    return true;
}

void BridgeCommandLine::ShowHelpOrVersion()
{
    if (m_parser.isSet(QStringLiteral("help")))
        m_parser.showHelp(0);
    if (m_parser.isSet(QStringLiteral("version")))
        m_parser.showVersion();
}

bool BridgeCommandLine::ParseNumber(const QString& option, double low, double high, double& rValue)
{
    if (!m_parser.isSet(option))
        return true;
    bool ok = false;
    const double value = m_parser.value(option).toDouble(&ok);
    if (!ok || !(value >= low && value <= high)) {
        m_strError = QStringLiteral("--%1 must be a number from %2 to %3, not \"%4\".")
                         .arg(option)
                         .arg(low)
                         .arg(high, 0, 'f', 0)
                         .arg(m_parser.value(option));
        return false;
    }
    rValue = value;
    return true;
}

}
