#include "simulation/stationcommandline.h"

#include "base/serialaddress.h"
#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"
#include "network/mqttconnection.h"

#include <QFileInfo>

namespace {

const QString OPT_CONFIG_DIR = QStringLiteral("config-dir");
const QString OPT_OUTPUT_DIR = QStringLiteral("output-dir");
const QString OPT_SECONDS = QStringLiteral("seconds");
const QString OPT_SEED = QStringLiteral("seed");
const QString OPT_REALTIME = QStringLiteral("realtime");
const QString OPT_JSON = QStringLiteral("json");
const QString OPT_PLOT = QStringLiteral("plot");
const QString OPT_SERIAL = QStringLiteral("serial");
const QString OPT_MQTT = QStringLiteral("mqtt");
const QString OPT_SCENARIO = QStringLiteral("scenario");
const QString OPT_STATION = QStringLiteral("station");
const QString OPT_REPORT = QStringLiteral("report");
const QString OPT_LANG = QStringLiteral("lang");
const QString DEFAULT_OUTPUT_DIR = QStringLiteral("kvtstation-output");
const QString DEFAULT_SERIAL_SETTINGS = QStringLiteral(":9600,n,8,1");

}

StationCommandLine::StationCommandLine() : StationCommandLine(DEFAULT_OUTPUT_DIR, DEFAULT_SECONDS) {}

StationCommandLine::StationCommandLine(const QString& strDefaultOutputDir, int nDefaultSeconds)
    : m_reader(QStringLiteral(
          "A simulated direction-finder station: brings the station up from the configuration store (a "
          "built-in default station is stored on the first run), lets a simulated device produce bearings "
          "of a few emitters in fixed-frequency and scan mode on a rolling platform, filters them, "
          "publishes them, writes them as sentences to a file (and a serial line), logs the device "
          "commands and prints a summary. Time is simulated and runs as fast as possible unless "
          "--realtime is given; the same seed gives the same run. A polar plot is drawn only with --plot.\n"
          "\n"
          "Every output keeps an account of the sentences given to it: delivered, lost, and the reason of "
          "the last failure (such as \"No space left on device\"). Failures are said on stderr as they "
          "happen; the summary lists each output's account. SIGINT and SIGTERM end the run after the "
          "current bearing block, with the summary.\n"
          "\n"
          "Exit codes:\n"
          "  0    every output delivered every sentence given to it (the serial line is given\n"
          "       the fixed-frequency sentences only, none of a scan)\n"
          "  1    the station could not be brought up from its configuration\n"
          "  2    bad command line\n"
          "  3    the run completed, but an output lost sentences\n"
          "  4    an output could not be opened at all (an output folder that cannot be written is\n"
          "       refused before the run; a serial device that never opened), or the plot could\n"
          "       not be written\n"
          "  130  stopped by SIGINT, 143 stopped by SIGTERM\n"
          "\n"
          "Environment:\n"
          "  KVT_CONFIG_DIR  configuration directory (--config-dir overrides it)\n"
          "  KVT_MODULE_DIR  directory of run-time modules such as the ZOD client\n"
          "  KVT_TRACE_MASK  trace bits; 0x20 traces the library's diagnostics to stderr\n"
          "  LANG            the user's locale (--lang overrides it)\n"
          "\n"
          "The application configuration's switch \"ZodReceiverEnabled\" (written as false when "
          "missing) starts a ZOD receiver for \"ZodCentralAddress\":\"ZodCentralPort\"; the summary says "
          "whether the client module was found and whether it connected.\n"
          "\n"
          "With --mqtt (or the application configuration's \"BearingBrokerAddress\" and "
          "\"BearingBrokerPort\"; the command line wins) every accepted bearing is also published on the "
          "MQTT broker, with the station's retained status; the broker is an output like the others "
          "(delivered = acknowledged by the broker; exit 4 when it never connected).\n"
          "\n"
          "With --scenario and --station the station is one of a simulated DF network: it measures the "
          "true bearings of the scenario's emitters with its own noise, but only on the frequency it is "
          "tuned to. A sender listens on its first handover frequency and hands each frequency over at "
          "its time; a receiver starts untuned and is tuned by the handovers of the senders it follows "
          "that lie in its range, which reach it over the broker of --mqtt (its ZOD client uses the "
          "scenario's name, follows and range instead of the configuration's). Handovers need --realtime "
          "to happen while the stations run. Every accepted bearing is also written, one JSON message per "
          "line, to bearings.jsonl in the output directory.")),
      m_strDefaultOutputDir(strDefaultOutputDir),
      m_nSeconds(nDefaultSeconds)
{
    m_reader.AddOptions(SharedOptions(strDefaultOutputDir, nDefaultSeconds));
    m_reader.AddOptions({
        {OPT_REALTIME, QStringLiteral("Let simulated time pass as fast as wall-clock time.")},
        {OPT_JSON, QStringLiteral("Print the summary (or the report) as JSON.")},
        {OPT_PLOT, QStringLiteral("Draw the accepted bearings as a polar plot into <file> (PNG)."),
         QStringLiteral("file")},
        {OPT_REPORT, QStringLiteral("Print the station's capability report instead of running it.")},
    });
    // The names these messages have always used.
    m_reader.SetName(OPT_SECONDS, QStringLiteral("Seconds"));
    m_reader.SetName(OPT_SEED, QStringLiteral("Seed"));
    m_reader.SetName(OPT_PLOT, QStringLiteral("plot"));
}

QList<QCommandLineOption> StationCommandLine::SharedOptions(const QString& strDefaultOutputDir, int nDefaultSeconds)
{
    return {
        {OPT_CONFIG_DIR, QStringLiteral("Use the existing configuration directory <dir>."), QStringLiteral("dir")},
        {OPT_OUTPUT_DIR,
         QStringLiteral("Write the sentence file and the command log folder into <dir> (default: %1 in the "
                        "current directory).")
             .arg(strDefaultOutputDir),
         QStringLiteral("dir")},
        {OPT_SECONDS,
         QStringLiteral("Run the station for <n> seconds of station time, 1 to %1 (default: %2).")
             .arg(MAX_SECONDS)
             .arg(nDefaultSeconds),
         QStringLiteral("n")},
        {OPT_SEED, QStringLiteral("Seed <n> of the simulation, 0 to 4294967295 (default: 1)."), QStringLiteral("n")},
        {OPT_SERIAL,
         QStringLiteral("Also send the sentences to the serial <device> (a path, or an address such as "
                        "/dev/ttyUSB0:4800,n,8,1; default settings 9600,n,8,1)."),
         QStringLiteral("device")},
        {OPT_MQTT,
         QStringLiteral("Also publish the accepted bearings and the station's status on the MQTT broker at "
                        "<host:port>."),
         QStringLiteral("host:port")},
        {OPT_SCENARIO,
         QStringLiteral("Run as one station of the scenario <file> (JSON, with --station): its position, "
                        "motion, noise and role, the scenario's emitters, its start time in the time stamps."),
         QStringLiteral("file")},
        {OPT_STATION, QStringLiteral("The station <name> of the --scenario to be."), QStringLiteral("name")},
        {OPT_LANG,
         QStringLiteral("Show the texts for people (the summary, the capability report, the library's messages) "
                        "in language <locale> (for example \"de\" or \"en\"; default: the user's locale from "
                        "LANG)."),
         QStringLiteral("locale")},
    };
}

bool StationCommandLine::Parse(const QStringList& arguments)
{
    if (!m_reader.Parse(arguments))
        return false;
    if (m_reader.IsSet(OPT_CONFIG_DIR)) {
        const QFileInfo configDir(m_reader.Value(OPT_CONFIG_DIR));
        if (m_reader.Value(OPT_CONFIG_DIR).isEmpty() || !configDir.isDir()) {
            m_reader.SetError(QStringLiteral("Configuration directory \"%1\" does not exist.")
                                  .arg(m_reader.Value(OPT_CONFIG_DIR)));
            return false;
        }
        m_strConfigDir = configDir.absoluteFilePath();
    }
    if (!ParseOutputDir() || !ParseNumbers() || !ParsePlotFile() || !ParseSerial() || !ParseBroker() || !ParseScenario())
        return false;
    m_bRealtime = m_reader.IsSet(OPT_REALTIME);
    m_bJson = m_reader.IsSet(OPT_JSON);
    m_bReport = m_reader.IsSet(OPT_REPORT);
    if (m_reader.IsSet(OPT_LANG) && !KVTTranslation::LocaleOf(m_reader.Value(OPT_LANG), m_locale)) {
        m_reader.SetError(QStringLiteral("Unknown language \"%1\".").arg(m_reader.Value(OPT_LANG)));
        return false;
    }
    return true;
}

bool StationCommandLine::ParseOutputDir()
{
    const QString dir = m_reader.IsSet(OPT_OUTPUT_DIR) ? m_reader.Value(OPT_OUTPUT_DIR) : m_strDefaultOutputDir;
    const QFileInfo info(dir);
    if (dir.isEmpty() || (info.exists() && !info.isDir())) {
        m_reader.SetError(QStringLiteral("Output directory \"%1\" is not a directory.").arg(dir));
        return false;
    }
    m_strOutputDir = info.absoluteFilePath();
    return true;
}

bool StationCommandLine::ParseNumbers()
{
    qint64 seconds = m_nSeconds;
    qint64 seed = m_nSeed;
    if (!m_reader.ReadWholeNumber(OPT_SECONDS, 1, MAX_SECONDS, seconds)
        || !m_reader.ReadWholeNumber(OPT_SEED, 0, 4294967295, seed))
        return false;
    m_nSeconds = static_cast<int>(seconds);
    m_nSeed = static_cast<quint32>(seed);
    return true;
}

bool StationCommandLine::ParsePlotFile()
{
    // The output folder is made by the run, so the plot may go there as well.
    return m_reader.ReadOutputFile(OPT_PLOT, QStringLiteral("png"), m_strPlotFile, m_strOutputDir);
}

bool StationCommandLine::ParseSerial()
{
    if (!m_reader.IsSet(OPT_SERIAL))
        return true;
    const QString device = m_reader.Value(OPT_SERIAL);
    if (device.isEmpty()) {
        m_reader.SetError(QStringLiteral("The serial device must not be empty."));
        return false;
    }
    const QString address = device.contains(QLatin1Char(':')) ? device : device + DEFAULT_SERIAL_SETTINGS;
    SerialAddress parsed;
    if (!SerialAddress::Parse(address, parsed)) {
        m_reader.SetError(QStringLiteral("\"%1\" is not a serial device or address such as /dev/ttyUSB0:9600,n,8,1.")
                          .arg(device));
        return false;
    }
    m_strSerialAddress = address;
    return true;
}

bool StationCommandLine::ParseBroker()
{
    if (!m_reader.IsSet(OPT_MQTT))
        return true;
    const QString address = m_reader.Value(OPT_MQTT);
    if (MqttConnection::ParseAddress(address, m_strBrokerHost, m_nBrokerPort))
        return true;
    m_reader.SetError(QStringLiteral("\"%1\" is not a broker address such as 127.0.0.1:1883.").arg(address));
    return false;
}

bool StationCommandLine::ParseScenario()
{
    if (m_reader.IsSet(OPT_STATION) != m_reader.IsSet(OPT_SCENARIO)) {
        m_reader.SetError(QStringLiteral("--scenario and --station go together."));
        return false;
    }
    if (!m_reader.IsSet(OPT_SCENARIO))
        return true;
    auto pScenario = std::make_unique<Scenario>();
    QString error;
    if (!pScenario->Load(m_reader.Value(OPT_SCENARIO), error)) {
        m_reader.SetError(QStringLiteral("Bad scenario: %1").arg(error));
        return false;
    }
    m_pStation = pScenario->FindStation(m_reader.Value(OPT_STATION));
    if (m_pStation == nullptr) {
        m_reader.SetError(QStringLiteral("The scenario has no station \"%1\".").arg(m_reader.Value(OPT_STATION)));
        return false;
    }
    m_pScenario = std::move(pScenario);
    return true;
}
