#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "tools/kvtconsole/consolecommandline.h"
#include "simulation/stationrun.h"
#include "tools/kvtconsole/consoletranslation.h"
#include "tools/kvtconsole/consolewindow.h"
#include "tools/kvtconsole/screenshotfile.h"
#include "tools/kvtconsole/windowplacement.h"
#include "station/reportcollector.h"
#include "station/reportwriter.h"
#include "station/stationbuilder.h"
#include "station/stationsummary.h"
#include "station/stationtranslation.h"
#include "station/stopsignals.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <csignal>

namespace {

/// A picture, not a screen: the same size wherever it is taken.
const QSize SCREENSHOT_SIZE(1600, 900);

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}


/// Runs the station in the window until the window closes (or, for a
/// screenshot, until the station's time is over; or a stop signal comes) and
/// prints the summary; the exit code, as kvtstation gives it.
int RunConsole(const ConsoleCommandLine& commandLine, const QString& report, QTextStream& out, QTextStream& err)
{
    const StationCommandLine& options = commandLine.GetStation();
    // The command log lives below the current directory.
    if (!QDir().mkpath(options.GetOutputDir()) || !QDir::setCurrent(options.GetOutputDir())) {
        err << "kvtconsole: cannot use the output directory " << options.GetOutputDir() << "\n";
        return StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    const bool screenshot = !commandLine.GetScreenshotFile().isEmpty();
    StationRun::Options stationOptions;
    stationOptions.strOutputDir = options.GetOutputDir();
    stationOptions.strSerialAddress = options.GetSerialAddress();
    stationOptions.nSeed = options.GetSeed();
    stationOptions.nSeconds = options.GetSeconds();
    stationOptions.bRealtime = !screenshot;
    stationOptions.strBrokerHost = options.GetBrokerHost();
    stationOptions.nBrokerPort = options.GetBrokerPort();
    stationOptions.pScenario = options.GetScenario();
    stationOptions.pStation = options.GetStation();
    StationRun station(stationOptions);
    ConsoleWindow window(station, report);
    window.GetTabs().setCurrentIndex(commandLine.GetTab());
    const WindowPlacement placement;
    if (screenshot)
        window.resize(SCREENSHOT_SIZE);
    else
        placement.Restore(window);
    window.show();
    QString screenshotError;
    if (screenshot) {
        QObject::connect(&station, &StationRun::Finished, &window, [&] {
            window.SlotRefresh();
            ScreenshotFile(commandLine.GetScreenshotFile()).Save(window, screenshotError);
            window.close();
        });
    }
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::Received, &window, &ConsoleWindow::SlotStopSignal);
    station.Start();
    QApplication::exec();
    if (!screenshot && !placement.Save(window))
        err << "kvtconsole: cannot keep the window's place in " << WindowPlacement::PLACEMENT_FILE << "\n";
    const int nStopSignal = window.GetStopSignal();
    const StationSummary summary = window.StopStation(nStopSignal);
    summary.PrintText(out);
    out.flush();
    if (!screenshotError.isEmpty()) {
        err << "kvtconsole: cannot write the screenshot " << commandLine.GetScreenshotFile() << ": "
            << screenshotError << "\n";
        return StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    return nStopSignal != 0 ? 128 + nStopSignal : summary.ExitCode();
}

}

// The operator console: brings the simulated station up as kvtstation does
// and shows it running in a window.
int main(int argc, char** argv)
{
    // A file that reaches the file size limit fails like a full disk: its
    // output counts what it loses, instead of the process being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    ConsoleCommandLine commandLine;
    if (!commandLine.Parse(arguments)) {
        QTextStream(stderr) << "kvtconsole: " << commandLine.GetError() << "\n";
        return StationCommandLine::EXIT_USAGE;
    }
    QCoreApplication::setApplicationName(QStringLiteral("kvtconsole"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    if (commandLine.WantsHelpOrVersion()) {
        // Text only: no display needed.
        QCoreApplication app(argc, argv);
        commandLine.ShowHelpOrVersion();
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const bool screenshot = !commandLine.GetScreenshotFile().isEmpty();
    if (!HasDisplay()) {
        if (!screenshot) {
            err << "kvtconsole: no display to open the window on (set DISPLAY, or QT_QPA_PLATFORM=offscreen, "
                   "or take a --screenshot)\n";
            return StationSummary::EXIT_NOT_STARTED;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QString screenshotError;
    if (screenshot && !ScreenshotFile(commandLine.GetScreenshotFile()).Probe(screenshotError)) {
        err << "kvtconsole: cannot write the screenshot " << commandLine.GetScreenshotFile() << ": " << screenshotError
            << "\n";
        return StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    // Without a session (offscreen, for a screenshot) Qt warns that no runtime
    // folder is named; a private one for the run keeps stderr for the user.
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QApplication app(argc, argv);
    // Without a catalogue for the language the English texts stay.
    const StationTranslation stationTranslation(commandLine.GetStation().GetLocale());
    QTranslator consoleTranslator;
    if (ConsoleTranslation::Load(consoleTranslator, commandLine.GetStation().GetLocale()))
        QCoreApplication::installTranslator(&consoleTranslator);
    const StationCommandLine& options = commandLine.GetStation();
    // The store reads its directory from KVT_CONFIG_DIR; --config-dir overrides it for this run.
    if (!options.GetConfigDir().isEmpty()) {
        qputenv("KVT_CONFIG_DIR", options.GetConfigDir().toLocal8Bit());
        CfgCenter::Reset();
    }

    StationBuilder station(StationRun::STATION_ADDRESS);
    QString storeError;
    const bool defaultStored = station.EnsureStation(storeError);
    if (!storeError.isEmpty())
        err << "kvtconsole: " << storeError << "\n";
    QString error;
    int exitCode = StationSummary::EXIT_NOT_STARTED;
    if (!station.Load(QString(), false, QString(), error)) {
        err << "kvtconsole: " << error << "\n";
    } else {
        KVTCharacteristics& characteristics = KVTInformationCenter::Instance()->GetKVTCharacteristics();
        characteristics.SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
        QString report;
        QTextStream reportStream(&report);
        ReportWriter::Write(reportStream, ReportCollector(characteristics), station, defaultStored, false);
        reportStream.flush();
        exitCode = RunConsole(commandLine, report, out, err);
    }
    KVTInformationCenter::Finalise();
    KVTOptions::Finalise();
    return exitCode;
}
