#include "base/cfgcenter.h"
#include "base/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "station/reportcollector.h"
#include "station/reportwriter.h"
#include "station/stationbuilder.h"
#include "station/filteredsectors.h"
#include "station/platformheading.h"
#include "tools/kvtstation/polarplot.h"
#include "tools/kvtstation/progressbar.h"
#include "simulation/stationcommandline.h"
#include "simulation/stationrun.h"
#include "station/stationsummary.h"
#include "station/stationtranslation.h"
#include "station/stopsignals.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>

#include <csignal>
#include <memory>

namespace {

/// How long the serial line may take at the end to send what still waits for it.
const int SERIAL_DRAIN_MS = 3000;
/// How often a run whose output is not a terminal says how far it is (wall clock).
const int PROGRESS_LINE_INTERVAL_MS = 5000;

/// A plot over the sectors the display filter ranges leave out, as published in the tree.
std::unique_ptr<PolarPlot> MakePlot()
{
    return std::make_unique<PolarPlot>(FilteredSectors::Read(StationBuilder::DEVICE_PATH));
}

/// Empty when a file can be made in the folder; otherwise the reason.
QString CannotWriteInto(const QString& dir)
{
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".kvtstation-XXXXXX")));
    return probe.open() ? QString() : probe.errorString();
}

/// Says on stderr, as it happens, when an output starts losing sentences and what it notices;
/// an output that failed while it was set up (a file that could not be opened) is said at once.
void ReportAsTheyHappen(const std::vector<AccountedOutput*>& outputs, QTextStream& err)
{
    for (AccountedOutput* pOutput : outputs) {
        const auto say = [pOutput, &err](const QString& text) {
            err << "kvtstation: " << pOutput->GetName() << " output " << pOutput->GetTarget() << ": " << text << "\n";
            err.flush();
        };
        if (!pOutput->GetAccount().GetLastFailure().isEmpty())
            say(pOutput->GetAccount().GetLastFailure());
        QObject::connect(pOutput, &AccountedOutput::FailureReported, pOutput, say);
        QObject::connect(pOutput, &AccountedOutput::NoticeReported, pOutput, say);
    }
}

std::unique_ptr<ProgressBar> MakeProgress(const StationRun& run, bool bRealtime)
{
    const auto clock = [&run] { return run.GetElapsedMs(); };
    if (ProgressBar::IsTerminal(stdout)) {
        // Redraw about ten times per run when time is simulated faster than it passes.
        return std::make_unique<ProgressBar>(clock, bRealtime ? 1000 : 100, stdout);
    }
    return std::make_unique<ProgressBar>(clock, PROGRESS_LINE_INTERVAL_MS, stderr, ProgressBar::Style::Lines);
}

/// Runs the station for the simulated time and prints the summary; the exit code.
int RunStation(const StationCommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    const QString outputDir = commandLine.GetOutputDir();
    // The command log lives below the current directory.
    if (!QDir().mkpath(outputDir) || !QDir::setCurrent(outputDir)) {
        err << "kvtstation: cannot use the output directory " << outputDir << "\n";
        return StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    const QString unwritable = CannotWriteInto(outputDir);
    if (!unwritable.isEmpty()) {
        err << "kvtstation: cannot write into the output directory " << outputDir << ": " << unwritable << "\n";
        return StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    StationRun::Options options;
    options.strOutputDir = outputDir;
    options.strSerialAddress = commandLine.GetSerialAddress();
    options.nSeed = commandLine.GetSeed();
    options.nSeconds = commandLine.GetSeconds();
    options.bRealtime = commandLine.IsRealtime();
    options.strBrokerHost = commandLine.GetBrokerHost();
    options.nBrokerPort = commandLine.GetBrokerPort();
    options.pScenario = commandLine.GetScenario();
    options.pStation = commandLine.GetStation();
    options.strPlotFile = commandLine.GetPlotFile();
    StationRun run(options);
    if (!run.GetEnvironment().IsCommandLogOpen())
        err << "kvtstation: no command log: " << run.GetEnvironment().GetCommandLogMessage() << "\n";
    ReportAsTheyHappen(run.GetOutputs(), err);
    std::unique_ptr<PolarPlot> pPlot;
    if (!commandLine.GetPlotFile().isEmpty()) {
        pPlot = MakePlot();
        QObject::connect(&run, &StationRun::BearingsAccepted, &run,
                         [&pPlot](const std::vector<values::BearingResult>& accepted) {
                             const double heading = PlatformHeading::Read(StationBuilder::DEVICE_PATH);
                             for (const values::BearingResult& result : accepted)
                                 pPlot->AddBearing(result.GetAzimuth() / 10.0, heading, result.GetFrequency());
                         });
    }
    int nStopSignal = 0;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::Received, &run, [&nStopSignal, &run](int nSignal) {
        nStopSignal = nSignal;
        run.End();
    });

    const std::unique_ptr<ProgressBar> pProgress = MakeProgress(run, commandLine.IsRealtime());
    QObject::connect(&run, &StationRun::Finished, qApp, &QCoreApplication::quit);
    run.Start();
    pProgress->Start(static_cast<unsigned int>(run.GetDurationMs()));
    QCoreApplication::exec();
    pProgress->Finish();

    const StationSummary& summary = run.Stop(nStopSignal, SERIAL_DRAIN_MS);
    const bool bPlotSaved =
        !pPlot
        || pPlot->Save(commandLine.GetPlotFile(), QStringLiteral("kvtstation: %1 accepted bearings in %2 s (seed %3)")
                                                      .arg(run.GetCallback().GetAccepted())
                                                      .arg(run.GetElapsedMs() / 1000)
                                                      .arg(commandLine.GetSeed()));
    if (commandLine.IsJson()) {
        out.setCodec("UTF-8");
        out << QJsonDocument(summary.ToJson()).toJson(QJsonDocument::Indented);
    } else {
        summary.PrintText(out);
    }
    out.flush();
    if (!bPlotSaved) {
        err << "kvtstation: cannot write the plot " << commandLine.GetPlotFile() << "\n";
        return StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    return nStopSignal != 0 ? 128 + nStopSignal : summary.ExitCode();
}

}

// The simulated DF station: brings the station up as a host does, runs the
// simulated device for the simulated time and reports what happened.
int main(int argc, char** argv)
{
    // The DF output builds its settings widget and the plot is painted, but
    // nothing is ever shown: whatever screen the environment names, the
    // station needs none, only fonts. (Unlike "offscreen", this platform
    // also releases everything it made at exit.)
    qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
    // A file that reaches the file size limit fails like a full disk: the
    // output counts what it loses, instead of the process being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    StationCommandLine commandLine;
    if (!commandLine.Parse(arguments)) {
        QTextStream(stderr) << "kvtstation: " << commandLine.GetError() << "\n";
        return StationCommandLine::EXIT_USAGE;
    }
    // Qt looks for a session's runtime folder even on the minimal platform and
    // warns when none is named; the station uses none, so a private one for
    // the run, removed at the end, keeps stderr for what concerns the user.
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtstation"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    commandLine.ShowHelpOrVersion();
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The summary and the report in the language asked for; without a catalogue for it they stay English.
    const StationTranslation translation(commandLine.GetLocale());
    // The store reads its directory from KVT_CONFIG_DIR; --config-dir overrides it for this run.
    if (!commandLine.GetConfigDir().isEmpty()) {
        qputenv("KVT_CONFIG_DIR", commandLine.GetConfigDir().toLocal8Bit());
        CfgCenter::Reset();
    }

    // Start-up as a host does it: installed options, device values and the
    // antenna setup from the station's configuration, then the characteristics.
    StationBuilder station(StationRun::STATION_ADDRESS);
    QString storeError;
    const bool defaultStored = station.EnsureStation(storeError);
    if (!storeError.isEmpty())
        err << "kvtstation: " << storeError << "\n";
    QString error;
    int exitCode = StationSummary::EXIT_NOT_STARTED;
    if (!station.Load(QString(), false, QString(), error)) {
        err << "kvtstation: " << error << "\n";
    } else {
        KVTCharacteristics& characteristics = KVTInformationCenter::Instance()->GetKVTCharacteristics();
        characteristics.SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
        if (commandLine.IsReport()) {
            ReportWriter::Write(out, ReportCollector(characteristics), station, defaultStored, commandLine.IsJson());
            exitCode = StationSummary::EXIT_DELIVERED;
        } else {
            exitCode = RunStation(commandLine, out, err);
        }
    }
    KVTInformationCenter::Finalise();
    KVTOptions::Finalise();
    return exitCode;
}
