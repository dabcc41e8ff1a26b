#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"
#include "tools/kvtreport/reportcollector.h"
#include "tools/kvtreport/reportwriter.h"
#include "tools/kvtreport/stationbuilder.h"
#include "tools/kvtstation/filteredsectors.h"
#include "tools/kvtstation/polarplot.h"
#include "tools/kvtstation/progressbar.h"
#include "tools/kvtstation/stationcallback.h"
#include "tools/kvtstation/stationcommandline.h"
#include "tools/kvtstation/stationenvironment.h"
#include "tools/kvtstation/stationsimulation.h"
#include "tools/kvtstation/stationsummary.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QTextStream>
#include <QTranslator>

#include <memory>

namespace {

const QString STATION_ADDRESS = QStringLiteral("Default");
/// How long the serial line may take at the end to send what still waits for it.
const int SERIAL_DRAIN_MS = 3000;

/// A plot over the sectors the display filter ranges leave out, as published in the tree.
std::unique_ptr<PolarPlot> MakePlot()
{
    return std::make_unique<PolarPlot>(FilteredSectors::Read(StationBuilder::DEVICE_PATH));
}

/// Runs the station for the simulated time and prints the summary; the exit code.
int RunStation(const StationCommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    const QString outputDir = commandLine.GetOutputDir();
    // The command log lives below the current directory.
    if (!QDir().mkpath(outputDir) || !QDir::setCurrent(outputDir)) {
        err << "kvtstation: cannot use the output directory " << outputDir << "\n";
        return 1;
    }
    StationEnvironment environment(StationBuilder::DEVICE_PATH, STATION_ADDRESS, outputDir,
                                   commandLine.GetSerialAddress());
    if (!environment.IsCommandLogOpen())
        err << "kvtstation: no command log: " << environment.GetCommandLogMessage() << "\n";
    StationCallback callback(StationBuilder::DEVICE_PATH, STATION_ADDRESS, environment.GetOverheadPassParams(),
                             environment.GetCommandLog());
    std::unique_ptr<PolarPlot> pPlot;
    if (!commandLine.GetPlotFile().isEmpty()) {
        pPlot = MakePlot();
        callback.SetAcceptedListener([&pPlot](const std::vector<values::BearingResult>& accepted) {
            for (const values::BearingResult& result : accepted)
                pPlot->AddBearing(result.GetAzimuth() / 10.0, result.GetFrequency());
        });
    }
    StationSimulation simulation(commandLine.GetSeed(), commandLine.GetSeconds(), commandLine.IsRealtime(),
                                 StationBuilder::DEVICE_PATH, callback);

    std::unique_ptr<ProgressBar> pProgressBar;
    if (ProgressBar::IsTerminal(stdout)) {
        // Redraw about ten times per run when time is simulated faster than it passes.
        pProgressBar = std::make_unique<ProgressBar>([&simulation] { return simulation.GetElapsedMs(); },
                                                     commandLine.IsRealtime() ? 1000 : 100, stdout);
    }
    QObject::connect(&simulation, &StationSimulation::Finished, qApp, &QCoreApplication::quit);
    simulation.Start();
    if (pProgressBar)
        pProgressBar->Start(static_cast<unsigned int>(simulation.GetDurationMs()));
    QCoreApplication::exec();
    if (pProgressBar)
        pProgressBar->Finish();

    environment.StopOutput(SERIAL_DRAIN_MS);
    const std::vector<AccountedOutput*> outputs = environment.GetOutputs();
    const QJsonObject summary =
        StationSummary::Collect(callback, environment, {outputDir, commandLine.GetPlotFile(), commandLine.GetSerialAddress()},
                                std::vector<const AccountedOutput*>(outputs.begin(), outputs.end()));
    if (pPlot
        && !pPlot->Save(commandLine.GetPlotFile(), QStringLiteral("kvtstation: %1 accepted bearings in %2 s (seed %3)")
                                                       .arg(callback.GetAccepted())
                                                       .arg(commandLine.GetSeconds())
                                                       .arg(commandLine.GetSeed()))) {
        err << "kvtstation: cannot write the plot " << commandLine.GetPlotFile() << "\n";
        return 1;
    }
    if (commandLine.IsJson()) {
        out.setCodec("UTF-8");
        out << QJsonDocument(summary).toJson(QJsonDocument::Indented);
    } else {
        StationSummary::PrintText(out, summary);
    }
    return 0;
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
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    StationCommandLine commandLine;
    if (!commandLine.Parse(arguments)) {
        QTextStream(stderr) << "kvtstation: " << commandLine.GetError() << "\n";
        return 2;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtstation"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    commandLine.ShowHelpOrVersion();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTranslator translator;
    if (KVTTranslation::Load(translator, QLocale()))
        QCoreApplication::installTranslator(&translator);
    // The store reads its directory from KVT_CONFIG_DIR; --config-dir overrides it for this run.
    if (!commandLine.GetConfigDir().isEmpty()) {
        qputenv("KVT_CONFIG_DIR", commandLine.GetConfigDir().toLocal8Bit());
        CfgCenter::Reset();
    }

    // Start-up as a host does it: installed options, device values and the
    // antenna setup from the station's configuration, then the characteristics.
    StationBuilder station(STATION_ADDRESS);
    const bool defaultStored = station.EnsureStation();
    QString error;
    int exitCode = 1;
    if (!station.Load(QString(), false, QString(), error)) {
        err << "kvtstation: " << error << "\n";
    } else {
        KVTCharacteristics& characteristics = KVTInformationCenter::Instance()->GetKVTCharacteristics();
        characteristics.SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
        if (commandLine.IsReport()) {
            ReportWriter::Write(out, ReportCollector(characteristics), station, defaultStored, commandLine.IsJson());
            exitCode = 0;
        } else {
            exitCode = RunStation(commandLine, out, err);
        }
    }
    KVTInformationCenter::Finalise();
    KVTOptions::Finalise();
    return exitCode;
}
