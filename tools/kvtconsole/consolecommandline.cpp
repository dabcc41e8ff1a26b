#include "tools/kvtconsole/consolecommandline.h"

namespace {

const QString OPT_CONFIG_DIR = QStringLiteral("config-dir");
const QString OPT_OUTPUT_DIR = QStringLiteral("output-dir");
const QString OPT_SECONDS = QStringLiteral("seconds");
const QString OPT_SEED = QStringLiteral("seed");
const QString OPT_SERIAL = QStringLiteral("serial");
const QString OPT_LANG = QStringLiteral("lang");
const QString OPT_MQTT = QStringLiteral("mqtt");
const QString OPT_SCENARIO = QStringLiteral("scenario");
const QString OPT_STATION = QStringLiteral("station");
const QString OPT_SCREENSHOT = QStringLiteral("screenshot");
const QString OPT_TAB = QStringLiteral("tab");
const QString DEFAULT_OUTPUT_DIR = QStringLiteral("kvtconsole-output");

}

const QStringList ConsoleCommandLine::TABS = {QStringLiteral("live"), QStringLiteral("map"), QStringLiteral("alarms"),
                                              QStringLiteral("report")};

ConsoleCommandLine::ConsoleCommandLine()
    : m_reader(QStringLiteral(
          "Operator console of the simulated DF station: runs the station of kvtstation in wall-clock "
          "time and shows its accepted bearings at their true bearings on a live polar display (north up "
          "with the bow marked, or bow up), the latest bearings (true and relative), the reject counters, the "
          "state of the station and of every output, the alarms, a map of the DF network on the broker (its "
          "stations, lines of bearing and fixes), the DF data output's settings, the ZOD tool bar and the "
          "capability report. Alarms are also written to stderr. Closing the window stops the station and "
          "prints its summary.\n"
          "The ZOD client module places its action in the ZOD tool bar while \"ZodSenderEnabled\" in the "
          "application configuration is true (written as true when missing).\n"
          "Exit codes as kvtstation's: 0 every output delivered every sentence; 1 the station could not be "
          "brought up; 2 bad arguments; 3 the run ended with losses; 4 an output (the output folder, the "
          "sentence file, the screenshot) could not be written at all, with the reason; 130 / 143 stopped by SIGINT / SIGTERM "
          "(the window closes, the summary is printed; a signal after the run has ended only closes the window).\n"
          "The window opens where it was left (kept in the configuration directory), at first on most of the "
          "screen. Without a display (no DISPLAY or WAYLAND_DISPLAY) --screenshot draws offscreen; the window "
          "itself then cannot open (exit code 1)."))
{
    m_reader.AddOptions({
        {OPT_CONFIG_DIR, QStringLiteral("Use the existing configuration directory <dir>."), QStringLiteral("dir")},
        {OPT_OUTPUT_DIR,
         QStringLiteral("Write the sentence file and the command log folder into <dir> (default: %1 in the "
                        "current directory).")
             .arg(DEFAULT_OUTPUT_DIR),
         QStringLiteral("dir")},
        {OPT_SECONDS,
         QStringLiteral("Run the station for <n> seconds of station time (default: %1).").arg(DEFAULT_SECONDS),
         QStringLiteral("n")},
        {OPT_SEED, QStringLiteral("Seed <n> of the simulation (default: 1)."), QStringLiteral("n")},
        {OPT_SERIAL, QStringLiteral("Also send the sentences to the serial <device>, as kvtstation does."),
         QStringLiteral("device")},
        {OPT_MQTT,
         QStringLiteral("Also publish the accepted bearings and the station's status on the MQTT broker at "
                        "<host:port>, as kvtstation does."),
         QStringLiteral("host:port")},
        {OPT_LANG,
         QStringLiteral("Show the texts in language <locale> (for example \"de\" or \"en\"; default: the "
                        "user's locale from LANG)."),
         QStringLiteral("locale")},
        {OPT_SCENARIO, QStringLiteral("Be the --station of the scenario <file>, as kvtstation is."),
         QStringLiteral("file")},
        {OPT_STATION, QStringLiteral("The station <name> of the --scenario to be."), QStringLiteral("name")},
        {OPT_SCREENSHOT,
         QStringLiteral("Run the station's seconds as fast as possible, save a picture of the whole window "
                        "into <file> (PNG) and end; works with QT_QPA_PLATFORM=offscreen."),
         QStringLiteral("file")},
        {OPT_TAB,
         QStringLiteral("Open the window on tab <name>: live (default), map, alarms or report (also for the "
                        "--screenshot)."),
         QStringLiteral("name")},
    });
    m_reader.SetName(OPT_SCREENSHOT, QStringLiteral("screenshot"));
}

bool ConsoleCommandLine::Parse(const QStringList& arguments)
{
    if (!m_reader.Parse(arguments))
        return false;
    // The station's options go to the station's own command line, which checks them.
    QStringList station{arguments.value(0), QStringLiteral("--%1").arg(OPT_SECONDS),
                        m_reader.IsSet(OPT_SECONDS) ? m_reader.Value(OPT_SECONDS) : QString::number(DEFAULT_SECONDS)};
    station << QStringLiteral("--%1").arg(OPT_OUTPUT_DIR)
            << (m_reader.IsSet(OPT_OUTPUT_DIR) ? m_reader.Value(OPT_OUTPUT_DIR) : DEFAULT_OUTPUT_DIR);
    for (const QString& option : {OPT_CONFIG_DIR, OPT_SEED, OPT_SERIAL, OPT_LANG, OPT_MQTT, OPT_SCENARIO, OPT_STATION}) {
        if (m_reader.IsSet(option))
            station << QStringLiteral("--%1").arg(option) << m_reader.Value(option);
    }
    if (!m_station.Parse(station)) {
        m_reader.SetError(m_station.GetError());
        return false;
    }
    if (m_reader.IsSet(OPT_TAB)) {
        m_strTab = m_reader.Value(OPT_TAB);
        if (!TABS.contains(m_strTab)) {
            m_reader.SetError(QStringLiteral("Unknown tab \"%1\": live, map, alarms or report.").arg(m_strTab));
            return false;
        }
    }
    return m_reader.ReadFileName(OPT_SCREENSHOT, QStringLiteral("png"), m_strScreenshotFile);
}
