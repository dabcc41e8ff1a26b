#include "station/reportwriter.h"

#include "base/cfgcenter.h"
#include "station/reportcollector.h"
#include "station/stationbuilder.h"
#include "station/textprinter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

void ReportWriter::Write(QTextStream& out, const ReportCollector& collector, const StationBuilder& station,
                         bool defaultStored, bool json)
{
    QJsonObject report = collector.Collect();
    report.insert("configuration", QJsonObject{{"directory", CfgCenter::ConfigDirectory()},
                                               {"station", station.GetStationAddress()},
                                               {"defaultStored", defaultStored}});
    if (json) {
        // JSON is UTF-8 whatever the locale's encoding.
        out.setCodec("UTF-8");
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    } else {
        TextPrinter(out).Print(report);
    }
}
