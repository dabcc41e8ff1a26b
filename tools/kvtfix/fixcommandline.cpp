#include "tools/kvtfix/fixcommandline.h"

#include "tools/kvtfix/cotoutput.h"

#include <QFileInfo>

namespace {

const QString OPT_INPUT = QStringLiteral("input");
const QString OPT_SCENARIO = QStringLiteral("scenario");
const QString OPT_SIMULATE = QStringLiteral("simulate");
const QString OPT_SEED = QStringLiteral("seed");
const QString OPT_RATE = QStringLiteral("rate");
const QString OPT_EVALUATE = QStringLiteral("evaluate");
const QString OPT_WINDOW = QStringLiteral("window");
const QString OPT_MAX_AGE = QStringLiteral("max-age");
const QString OPT_FUTURE_TOLERANCE = QStringLiteral("future-tolerance");
const QString OPT_MAX_STATIONS = QStringLiteral("max-stations");
const QString OPT_SIGMA = QStringLiteral("sigma");
const QString OPT_SENTENCE_AZIMUTH = QStringLiteral("sentence-azimuth");
const QString OPT_SENTENCE_TZ = QStringLiteral("sentence-tz");
const QString OPT_SENTENCE_DATE = QStringLiteral("sentence-date");
const QString OPT_GEOJSON = QStringLiteral("geojson");
const QString OPT_KML = QStringLiteral("kml");
const QString OPT_PLOT = QStringLiteral("plot");
const QString OPT_JSON = QStringLiteral("json");
const QString OPT_FOLLOW = QStringLiteral("follow");
const QString OPT_MQTT = QStringLiteral("mqtt");
const QString OPT_MQTT_RECORD = QStringLiteral("mqtt-record");
const QString OPT_PUBLISH = QStringLiteral("publish");
const QString OPT_COT = QStringLiteral("cot");

/// One simulated week is far more than any evaluation needs.
constexpr double MAX_SIMULATE_SECONDS = 7 * 86400.0;

}

FixCommandLine::FixCommandLine()
    : m_reader(QStringLiteral(
          "Position fixes from the bearings of several DF stations: groups the bearings by channel and "
          "time window, estimates each emitter's position on the WGS-84 ellipsoid (least-squares "
          "intersection refined to the maximum-likelihood position) with its 95 % error ellipse, and "
          "writes the fixes as text or JSON, GeoJSON, KML and a map. With a scenario it can synthesise "
          "the stations' bearings and judge the fixes against the true emitter positions."))
    , m_login(kvt::BrokerLoginOptions::Session::Persistent, QStringLiteral("kvtfix"))
{
    m_reader.AddOptions({
        {OPT_INPUT,
         QStringLiteral("Read the bearings a station wrote into <dir> (its bearings.jsonl, else its "
                        "dfdata.txt; a file is read as it is). Repeat for every station."),
         QStringLiteral("dir")},
        {OPT_SCENARIO, QStringLiteral("The scenario <file>: station sigmas and the true emitters."),
         QStringLiteral("file")},
        {OPT_SIMULATE,
         QStringLiteral("Synthesise <seconds> of the scenario's bearings (every station measures every emitter "
                        "in its frequency range with its sigma)."),
         QStringLiteral("seconds")},
        {OPT_SEED, QStringLiteral("Seed <n> of the synthesised noise (default: 1)."), QStringLiteral("n")},
        {OPT_RATE, QStringLiteral("Synthesised bearings per second per station and emitter (default: 1)."),
         QStringLiteral("n")},
        {OPT_EVALUATE, QStringLiteral("Compare the fixes with the scenario's emitters.")},
        {OPT_WINDOW, QStringLiteral("Make a fix every <s> seconds per channel (default: 10)."),
         QStringLiteral("s")},
        {OPT_MAX_AGE,
         QStringLiteral("A bearing counts for <s> seconds (default: the window); older ones are dropped."),
         QStringLiteral("s")},
        {OPT_FUTURE_TOLERANCE,
         QStringLiteral("Refuse bearings dated more than <s> seconds ahead of the clock (--follow, --mqtt) or "
                        "of the other stations' newest bearing (default: 5)."),
         QStringLiteral("s")},
        {OPT_MAX_STATIONS,
         QStringLiteral("Keep books on at most <n> stations; a new one beyond makes the one heard from least "
                        "recently be forgotten (default: 256)."),
         QStringLiteral("n")},
        {OPT_SIGMA,
         QStringLiteral("Sigma in degrees of DF sentence bearings of stations the scenario does not name "
                        "(default: 2)."),
         QStringLiteral("deg")},
        {OPT_SENTENCE_AZIMUTH,
         QStringLiteral("The DF sentence azimuth is \"relative\" to the platform's bow (default, as the DF "
                        "data output writes it: true bearing = azimuth + CMP) or, in old files, a \"true\" bearing."),
         QStringLiteral("kind")},
        {OPT_SENTENCE_TZ,
         QStringLiteral("The time zone (IANA id such as Europe/Berlin, or UTC) the stations wrote the DF "
                        "sentence times in (default: this machine's, as the DF data output writes them)."),
         QStringLiteral("zone")},
        {OPT_SENTENCE_DATE,
         QStringLiteral("The date (YYYY-MM-DD, in the zone of --sentence-tz) of the first sentence of each DF "
                        "sentence file (default: the scenario's start, else found from the file's last change: "
                        "its last sentence was written before it, within a day)."),
         QStringLiteral("date")},
        {OPT_GEOJSON, QStringLiteral("Write stations, bearing lines, fixes and ellipses as GeoJSON <file>."),
         QStringLiteral("file")},
        {OPT_KML, QStringLiteral("Write them as KML <file>."), QStringLiteral("file")},
        {OPT_PLOT, QStringLiteral("Draw them on a map into <file> (PNG)."), QStringLiteral("file")},
        {OPT_JSON, QStringLiteral("Print the summary as JSON.")},
        {OPT_FOLLOW,
         QStringLiteral("Keep reading the inputs as the stations write, print each new fix and rewrite the "
                        "output files (until stopped).")},
        {OPT_MQTT,
         QStringLiteral("Take live bearings from the broker at <host:port> (topic kvt/stations/+/bearings) "
                        "and follow them as --follow does."),
         QStringLiteral("host:port")},
        {OPT_MQTT_RECORD,
         QStringLiteral("Append every bearing used from the broker to <file> (one bearing message a line, as "
                        "--input reads it). A kvtfix started again with the same file and session uses no "
                        "bearing twice and reports no gap for what it had before."),
         QStringLiteral("file")},
        {OPT_PUBLISH,
         QStringLiteral("Publish every fix on the broker of --mqtt (kvt/fixes/<channel>, the latest retained on "
                        "kvt/fixes/<channel>/latest) with the service's status on kvt/fusion/status.")},
        {OPT_COT,
         QStringLiteral("Send stations, bearing lines and fixes as Cursor-on-Target events to <target>: "
                        "udp://HOST:PORT (unicast or multicast, TAK's group is 239.2.3.1:6969; a group may add "
                        "?interface=NAME&ttl=N, default: the route's interface, ttl 8) or "
                        "tcp://HOST:PORT (a TAK server's CoT input). Repeat for several targets."),
         QStringLiteral("target")},
    });
    m_reader.AddOptions(m_login.Options());
    m_mqttSettings.strHost.clear();
}

bool FixCommandLine::Parse(const QStringList& arguments)
{
    if (!m_reader.Parse(arguments))
        return false;
    // Help and version need no bearings; ShowHelpOrVersion() ends the run.
    if (m_reader.WantsHelpOrVersion())
        return true;
    m_bEvaluate = m_reader.IsSet(OPT_EVALUATE);
    m_bJson = m_reader.IsSet(OPT_JSON);
    m_bFollow = m_reader.IsSet(OPT_FOLLOW);
    if (!ParseInputs() || !ParseNumbers() || !ParseOutputs() || !ParseMqtt() || !ParseLiveOutputs())
        return false;
    if (m_lstInputs.isEmpty() && m_fSimulateSeconds == 0.0 && m_mqttSettings.strHost.isEmpty()) {
        m_reader.SetError(QStringLiteral("No bearings: give --input, --mqtt or --scenario with --simulate."));
        return false;
    }
    if (m_bFollow && m_lstInputs.isEmpty() && m_mqttSettings.strHost.isEmpty()) {
        m_reader.SetError(QStringLiteral("--follow needs --input or --mqtt."));
        return false;
    }
    if (m_bEvaluate && IsFollow()) {
        m_reader.SetError(QStringLiteral("--evaluate judges a finished run; it cannot go with --follow or --mqtt."));
        return false;
    }
    return true;
}

bool FixCommandLine::ParseInputs()
{
    for (const QString& input : m_reader.Values(OPT_INPUT)) {
        const QFileInfo info(input);
        if (input.isEmpty() || (!info.exists() && !m_bFollow)) {
            m_reader.SetError(QStringLiteral("Input \"%1\" does not exist.").arg(input));
            return false;
        }
        m_lstInputs.append(info.absoluteFilePath());
    }
    if (m_reader.IsSet(OPT_SCENARIO)) {
        const QFileInfo scenario(m_reader.Value(OPT_SCENARIO));
        if (!scenario.isFile()) {
            m_reader.SetError(QStringLiteral("Scenario file \"%1\" does not exist.").arg(m_reader.Value(OPT_SCENARIO)));
            return false;
        }
        m_strScenarioFile = scenario.absoluteFilePath();
    }
    if ((m_reader.IsSet(OPT_SIMULATE) || m_bEvaluate) && m_strScenarioFile.isEmpty()) {
        m_reader.SetError(QStringLiteral("--simulate and --evaluate need --scenario."));
        return false;
    }
    return ParseSentences();
}

bool FixCommandLine::ParseSentences()
{
    QString kind;
    if (!m_reader.ReadChoice(OPT_SENTENCE_AZIMUTH, {QStringLiteral("relative"), QStringLiteral("true")}, kind))
        return false;
    m_bRelative = kind != QLatin1String("true");
    if (m_reader.IsSet(OPT_SENTENCE_DATE)) {
        const QString date = m_reader.Value(OPT_SENTENCE_DATE);
        m_sentenceDate = QDate::fromString(date, Qt::ISODate);
        if (!m_sentenceDate.isValid()) {
            m_reader.SetError(QStringLiteral("--sentence-date \"%1\" is no date YYYY-MM-DD.").arg(date));
            return false;
        }
    }
    if (!m_reader.IsSet(OPT_SENTENCE_TZ))
        return true;
    const QString zone = m_reader.Value(OPT_SENTENCE_TZ);
    m_sentenceZone = QTimeZone(zone.toUtf8());
    if (!m_sentenceZone.isValid()) {
        m_reader.SetError(QStringLiteral("--sentence-tz \"%1\" is no time zone this machine knows.").arg(zone));
        return false;
    }
    return true;
}

bool FixCommandLine::ParseNumbers()
{
    qint64 seed = static_cast<qint64>(m_nSeed);
    qint64 maxStations = m_nMaxStations;
    if (!m_reader.ReadNumber(OPT_SIMULATE, 1.0, MAX_SIMULATE_SECONDS, m_fSimulateSeconds)
        || !m_reader.ReadWholeNumber(OPT_SEED, 0, 4294967295, seed)
        || !m_reader.ReadNumber(OPT_RATE, 0.001, 1000.0, m_fRate)
        || !m_reader.ReadNumber(OPT_WINDOW, 0.1, 86400.0, m_fWindow)
        || !m_reader.ReadNumber(OPT_SIGMA, 0.01, 90.0, m_fSigma)
        || !m_reader.ReadNumber(OPT_FUTURE_TOLERANCE, 0.0, 86400.0, m_fFutureTolerance)
        || !m_reader.ReadWholeNumber(OPT_MAX_STATIONS, 2, 1000000, maxStations))
        return false;
    m_nSeed = static_cast<quint64>(seed);
    m_nMaxStations = static_cast<int>(maxStations);
    m_fMaxAge = m_fWindow;
    return m_reader.ReadNumber(OPT_MAX_AGE, 0.1, 86400.0, m_fMaxAge);
}

bool FixCommandLine::ParseOutputs()
{
    return m_reader.ReadOutputFile(OPT_GEOJSON, QString(), m_strGeoJsonFile)
           && m_reader.ReadOutputFile(OPT_KML, QString(), m_strKmlFile)
           && m_reader.ReadOutputFile(OPT_PLOT, QStringLiteral("png"), m_strPlotFile);
}

bool FixCommandLine::ParseMqtt()
{
    if (m_reader.IsSet(OPT_MQTT_RECORD) && !m_reader.IsSet(OPT_MQTT)) {
        m_reader.SetError(QStringLiteral("--mqtt-record needs --mqtt."));
        return false;
    }
    if (!m_reader.IsSet(OPT_MQTT))
        return true;
    return m_reader.ReadBrokerAddress(OPT_MQTT, m_mqttSettings.strHost, m_mqttSettings.nPort)
           && m_login.Read(m_reader, m_mqttSettings)
           && m_reader.ReadOutputFile(OPT_MQTT_RECORD, QString(), m_strMqttRecordFile);
}

bool FixCommandLine::ParseLiveOutputs()
{
    m_bPublish = m_reader.IsSet(OPT_PUBLISH);
    if (m_bPublish && m_mqttSettings.strHost.isEmpty()) {
        m_reader.SetError(QStringLiteral("--publish needs --mqtt."));
        return false;
    }
    for (const QString& target : m_reader.Values(OPT_COT)) {
        kvt::CotOutput::Target parsed;
        QString error;
        if (!kvt::CotOutput::ParseTarget(target, parsed, error)) {
            m_reader.SetError(QStringLiteral("--cot: ") + error);
            return false;
        }
        m_lstCotTargets.append(target);
    }
    if (!m_lstCotTargets.isEmpty() && !IsFollow()) {
        m_reader.SetError(QStringLiteral("--cot follows live fixes: it needs --follow or --mqtt."));
        return false;
    }
    return true;
}
