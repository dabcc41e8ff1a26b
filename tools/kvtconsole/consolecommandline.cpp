#include "tools/kvtconsole/consolecommandline.h"

namespace {

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
          "itself then cannot open (exit code 1).")),
      m_station(DEFAULT_OUTPUT_DIR, DEFAULT_SECONDS)
{
    m_reader.AddOptions(StationCommandLine::SharedOptions(DEFAULT_OUTPUT_DIR, DEFAULT_SECONDS));
    m_reader.AddOptions({
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
    QStringList station{arguments.value(0)};
    for (const QCommandLineOption& option : StationCommandLine::SharedOptions(DEFAULT_OUTPUT_DIR, DEFAULT_SECONDS)) {
        const QString name = option.names().constFirst();
        if (m_reader.IsSet(name))
            station << QStringLiteral("--%1").arg(name) << m_reader.Value(name);
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
