#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"
#include "tools/kvtreport/reportcollector.h"
#include "tools/kvtreport/reportwriter.h"
#include "tools/kvtreport/stationbuilder.h"
#include "tools/kvtstation/polarplot.h"
#include "tools/kvtstation/progressbar.h"
#include "tools/kvtstation/stationcallback.h"
#include "tools/kvtstation/stationcommandline.h"
#include "tools/kvtstation/stationenvironment.h"
#include "tools/kvtstation/stationsimulation.h"
#include "tools/kvtstation/stationsummary.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuelist.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QTextStream>
#include <QTranslator>

#include <memory>

namespace {

const QString STATION_ADDRESS = QStringLiteral("Default");

/// The accepted bearings over the sectors the display filter ranges leave out, as published in the tree.
bool SavePlot(const QString& fileName, const StationCallback& callback, quint32 seed, int seconds)
{
    std::vector<PolarPlot::Sector> filtered;
    const auto* pRanges = values::Tree::Instance()->Find<values::ValueList<values::QuadFloat>>(
        StationBuilder::DEVICE_PATH + StationEnvironment::DISPLAY_FILTER_RANGES);
    if (pRanges != nullptr) {
        for (const values::QuadFloat& range : pRanges->GetItems())
            filtered.emplace_back(range.GetFloat3(), range.GetFloat4());
    }
    PolarPlot plot(QStringLiteral("kvtstation: %1 accepted bearings in %2 s (seed %3)")
                       .arg(callback.GetAccepted())
                       .arg(seconds)
                       .arg(seed),
                   filtered);
    for (const StationCallback::AcceptedBearing& bearing : callback.GetAcceptedBearings())
        plot.AddBearing(bearing.fAzimuth, bearing.fFrequency);
    return plot.Save(fileName);
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

    environment.StopOutput();
    const QJsonObject summary = StationSummary::Collect(
        callback, environment, {outputDir, commandLine.GetPlotFile(), commandLine.GetSerialAddress()});
    if (!commandLine.GetPlotFile().isEmpty()
        && !SavePlot(commandLine.GetPlotFile(), callback, commandLine.GetSeed(), commandLine.GetSeconds())) {
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
    QString storeError;
    const bool defaultStored = station.EnsureStation(storeError);
    if (!storeError.isEmpty())
        err << "kvtstation: " << storeError << "\n";
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
