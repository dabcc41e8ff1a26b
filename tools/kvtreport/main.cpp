#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "station/reportcollector.h"
#include "tools/kvtreport/reportcommandline.h"
#include "station/reportwriter.h"
#include "station/stationbuilder.h"
#include "station/stationtranslation.h"

#include <QCoreApplication>
#include <QTextStream>

// Capability report: simulates the station from the configuration store,
// binds the process-wide characteristics to it and prints what it can do.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtreport"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    QTextStream out(stdout);
    QTextStream err(stderr);

    ReportCommandLine commandLine;
    if (!commandLine.Parse(QCoreApplication::arguments())) {
        err << "kvtreport: " << commandLine.GetError() << "\n";
        KVTOptions::Finalise();
        return 2;
    }
    // Without a catalogue for the language the English texts stay.
    const StationTranslation translation(commandLine.GetLocale());

    // The store reads its directory from KVT_CONFIG_DIR; --config-dir overrides it for this run.
    if (!commandLine.GetConfigDir().isEmpty()) {
        qputenv("KVT_CONFIG_DIR", commandLine.GetConfigDir().toLocal8Bit());
        CfgCenter::Reset();
    }

    StationBuilder station(commandLine.GetStation());
    QString storeError;
    const bool defaultStored = station.EnsureStation(storeError);
    if (!storeError.isEmpty())
        err << "kvtreport: " << storeError << "\n";
    QString error;
    if (!station.Load(commandLine.GetDeviceType(), commandLine.HasOptions(), commandLine.GetOptions(), error)) {
        err << "kvtreport: " << error << "\n";
        KVTOptions::Finalise();
        return 2;
    }

    KVTCharacteristics& characteristics = KVTInformationCenter::Instance()->GetKVTCharacteristics();
    characteristics.SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
    ReportCollector collector(characteristics);
    if (commandLine.IsRepair()) {
        QString message;
        const bool repaired = characteristics.MakeAntennaSetupValid(message);
        if (repaired)
            station.StoreAntennaSetup();
        collector.SetRepairResult(repaired, message);
    }
    ReportWriter::Write(out, collector, station, defaultStored, commandLine.IsJson());

    KVTInformationCenter::Finalise();
    KVTOptions::Finalise();
    return CfgCenter::Flush() ? 0 : 1;
}
