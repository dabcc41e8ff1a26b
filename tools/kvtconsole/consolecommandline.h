#pragma once

#include "commandline/optionreader.h"
#include "simulation/stationcommandline.h"

#include <QString>

/// The command line of the operator console:
///
///     kvtconsole [--config-dir DIR] [--output-dir DIR] [--seconds N] [--seed N]
///                [--serial DEVICE] [--mqtt HOST:PORT] [--scenario FILE --station NAME]
///                [--lang LOCALE] [--screenshot FILE.png] [--tab live|map|alarms|report]
///
/// The station's options (all but --screenshot and --tab) are kvtstation's
/// (StationCommandLine::SharedOptions) and are checked by its command line,
/// with its messages; --seconds is the length of the run in station time
/// (default DEFAULT_SECONDS). Checked before anything is read or written.
class ConsoleCommandLine
{
public:
    static constexpr int DEFAULT_SECONDS = 300;
    /// The window's tabs by name, in their order.
    static const QStringList TABS;

    ConsoleCommandLine();

    /// Parses the arguments (the first one is the program); needs no
    /// application object. False on a usage error, with GetError() saying why.
    bool Parse(const QStringList& arguments);
    /// Whether --help or --version was given: nothing else is then done.
    bool WantsHelpOrVersion() const { return m_reader.WantsHelpOrVersion(); }
    /// For --help and --version: prints and ends the process. Call it once
    /// an application object (QCoreApplication is enough) exists.
    void ShowHelpOrVersion() { m_reader.ShowHelpOrVersion(); }
    QString GetError() const { return m_reader.GetError(); }

    /// The station's options: configuration and output folder, seconds, seed,
    /// serial address, broker, scenario and station, the locale of the texts.
    const StationCommandLine& GetStation() const { return m_station; }
    /// PNG file for a picture of the window after the run; empty: run until the
    /// window is closed. Only its name is checked here: that it can be
    /// written is the run's to find out (exit code 4).
    QString GetScreenshotFile() const { return m_strScreenshotFile; }
    /// The index in TABS of the tab the window opens on.
    int GetTab() const { return static_cast<int>(TABS.indexOf(m_strTab)); }

private:
    kvt::OptionReader m_reader;
    StationCommandLine m_station;
    QString m_strScreenshotFile;
    QString m_strTab = QStringLiteral("live");
};
