// A third party's host around its own driver, with nothing of the tools: the
// station comes up from the configuration store, the station runtime takes
// the driver's bearings to the sentence file, the bearing file and a sink of
// the host's own, and the summary tells what became of them.
//   stationhost CONFIG_DIR OUTPUT_DIR
// Exits with the station's exit code (0: every bearing delivered everywhere).
#include "base/accountedoutput.h"
#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/driverpassthroughrecords.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/acceptedblock.h"
#include "station/station.h"
#include "station/stationbuilder.h"
#include "station/stationsummary.h"
#include "valueframework/valueclasses/bearing.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {

/// The host's own driver: a fixed-frequency block of three bearings per call.
class TinyDriver
{
public:
    void Measure(NxKVTCommon::IDriverCallback& callback)
    {
        m_nClockMs += 100;
        values::Bearing bearings[3];
        for (int i = 0; i < 3; ++i)
            bearings[i] = {156.8e6, 2000, static_cast<quint16>((m_nClockMs / 100 * 37 + i * 10) % 3600), 50, 80};
        NxKVTCommon::StatusStruct status;
        quint64 nTimeStamp = m_nClockMs;
        callback.fillTDMABuffer(0, nTimeStamp, 0, 3, bearings, status);
    }
    quint64 GetClockMs() const { return m_nClockMs; }

private:
    quint64 m_nClockMs = 1700000000000;
};

/// A sink of the host's own: it only counts, and delivers what it is given.
class CountingSink : public AccountedOutput, public kvt::BearingSink
{
public:
    CountingSink()
        : AccountedOutput(QStringLiteral("counter"))
    {
        SetTarget(QStringLiteral("memory"));
        MarkOpen();
    }
    void Take(const kvt::AcceptedBlock& block) override
    {
        Offer(block.lstBearings.size());
        Deliver(block.lstBearings.size());
    }
    void Stop() override {}
    std::vector<AccountedOutput*> GetOutputs() override { return {this}; }
};

/// The host's setup before its configuration stores one: its platform rolls
/// and pitches up to 10° without spoiling a bearing.
void PresetSetup(const QString& devicePath)
{
    for (const values::ValueDescriptor* pLimit :
         {&StdDeviceDefinition::g_vdPitchThreshold, &StdDeviceDefinition::g_vdRollThreshold}) {
        if (auto* pValue = values::Tree::Instance()->Find<values::ValueNumeric<double>>(devicePath + pLimit->PathName()))
            pValue->SetValue(10.0);
    }
}

int RunStation(const QString& outputDir, QTextStream& out)
{
    TinyDriver driver;
    kvt::Station::Options options;
    options.strDevicePath = StationBuilder::DEVICE_PATH;
    options.strStationAddress = QStringLiteral("Example");
    options.strOutputDir = outputDir;
    options.place.status.strName = QStringLiteral("example");
    options.place.status.fLatitude = 53.5461;
    options.place.status.fLongitude = 9.9661;
    options.lstAcceptedSectors = {{0.0, 360.0}};
    options.bBearingFile = true;
    options.defaults.strDeviceDescription = QStringLiteral("Example direction finder");
    options.defaults.presetSetup = PresetSetup;
    kvt::Station station(options, [&driver] { return driver.GetClockMs(); });
    station.AddSink(std::make_unique<CountingSink>());
    station.StartOutputs(false);
    for (int i = 0; i < 20; ++i)
        driver.Measure(station.GetCallback());
    const StationSummary& summary = station.Stop();
    summary.PrintText(out);
    return summary.nAccepted > 0 ? summary.ExitCode() : StationSummary::EXIT_NOT_STARTED;
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 3) {
        out << "usage: stationhost CONFIG_DIR OUTPUT_DIR\n";
        return 2;
    }
    qputenv("KVT_CONFIG_DIR", argv[1]);
    CfgCenter::Reset();

    // Start-up as a host does it: the station from its configuration, then the characteristics.
    StationBuilder builder(QStringLiteral("Example"));
    QString error;
    builder.EnsureStation(error);
    int exitCode = StationSummary::EXIT_NOT_STARTED;
    if (!error.isEmpty() || !builder.Load(QString(), false, QString(), error)) {
        out << "stationhost: " << error << "\n";
    } else {
        KVTInformationCenter::Instance()->GetKVTCharacteristics().SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
        // The command log writes below the current directory.
        const QString outputDir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
        exitCode = QDir::setCurrent(outputDir) ? RunStation(outputDir, out) : StationSummary::EXIT_OUTPUT_UNAVAILABLE;
    }
    KVTInformationCenter::Finalise();
    KVTOptions::Finalise();
    return exitCode;
}
