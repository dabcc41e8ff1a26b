#pragma once

#include "commandline/optionreader.h"
#include "fusion/scenario.h"

#include <QCommandLineOption>
#include <QList>
#include <QLocale>
#include <QString>

#include <memory>

/// The command line of the simulated station:
///
///     kvtstation [--config-dir DIR] [--output-dir DIR] [--seconds N] [--seed N]
///                [--realtime] [--json] [--plot FILE.png] [--serial DEVICE]
///                [--mqtt HOST:PORT] [--scenario FILE --station NAME] [--report]
///                [--lang LOCALE]
///
/// Every argument is checked here, before anything is read or written, so
/// that a usage error leaves the configuration store and the output folder
/// untouched. Paths are made absolute, because the run later changes into the
/// output folder (the command log lives below the current directory).
class StationCommandLine
{
public:
    static constexpr int DEFAULT_SECONDS = 10;
    /// One simulated day is plenty for a demonstration and keeps --realtime bounded.
    static constexpr int MAX_SECONDS = 86400;
    /// The exit code of a usage error.
    static constexpr int EXIT_USAGE = 2;

    StationCommandLine();
    /// For a program that runs the station under its own command line, with
    /// its own output folder and length of the run by default.
    StationCommandLine(const QString& strDefaultOutputDir, int nDefaultSeconds);

    /// The options such a program offers as well, with their --help texts:
    /// --config-dir, --output-dir, --seconds, --seed, --serial, --mqtt,
    /// --scenario, --station and --lang. It hands those given on to a
    /// StationCommandLine made with the same defaults, which checks them.
    static QList<QCommandLineOption> SharedOptions(const QString& strDefaultOutputDir, int nDefaultSeconds);

    /// Parses the arguments (the first one is the program); needs no
    /// application object, so that a usage error is reported before Qt
    /// starts (and prints its own notes). False on a usage error, with
    /// GetError() saying why in one line.
    bool Parse(const QStringList& arguments);
    /// For --help and --version: prints and ends the process. Call it once
    /// the application object exists.
    void ShowHelpOrVersion() { m_reader.ShowHelpOrVersion(); }
    QString GetError() const { return m_reader.GetError(); }

    /// Existing configuration directory; empty means the store's own.
    QString GetConfigDir() const { return m_strConfigDir; }
    /// Folder for the sentence file and the command log; created by the run.
    QString GetOutputDir() const { return m_strOutputDir; }
    int GetSeconds() const { return m_nSeconds; }
    quint32 GetSeed() const { return m_nSeed; }
    bool IsRealtime() const { return m_bRealtime; }
    bool IsJson() const { return m_bJson; }
    /// PNG file for the polar plot (in an existing folder or the output
    /// folder); empty means no plot.
    QString GetPlotFile() const { return m_strPlotFile; }
    /// Serial address for the DF sentences ("<device>:<baud>,<parity>,<data>,<stop>");
    /// a bare device gets 9600 baud, no parity, 8 data bits, 1 stop bit. Empty: no serial output.
    QString GetSerialAddress() const { return m_strSerialAddress; }
    /// The broker of --mqtt HOST:PORT; empty host and port 0 without it.
    QString GetBrokerHost() const { return m_strBrokerHost; }
    int GetBrokerPort() const { return m_nBrokerPort; }
    /// The scenario of --scenario, read and checked; null without it.
    const Scenario* GetScenario() const { return m_pScenario.get(); }
    /// The station of --station in that scenario; null without a scenario.
    const Scenario::Station* GetStation() const { return m_pStation; }
    bool IsReport() const { return m_bReport; }
    /// Locale of the summary, the report and the library's texts: --lang, otherwise the user's locale.
    QLocale GetLocale() const { return m_locale; }

private:
    bool ParseOutputDir();
    bool ParseNumbers();
    bool ParsePlotFile();
    bool ParseSerial();
    bool ParseBroker();
    bool ParseScenario();

    kvt::OptionReader m_reader;
    QString m_strDefaultOutputDir;
    QString m_strConfigDir;
    QString m_strOutputDir;
    int m_nSeconds;
    quint32 m_nSeed = 1;
    bool m_bRealtime = false;
    bool m_bJson = false;
    QString m_strPlotFile;
    QString m_strSerialAddress;
    QString m_strBrokerHost;
    int m_nBrokerPort = 0;
    std::unique_ptr<Scenario> m_pScenario;
    const Scenario::Station* m_pStation = nullptr;
    bool m_bReport = false;
    QLocale m_locale;
};
