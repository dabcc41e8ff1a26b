#pragma once

#include "kvtstationlib_export.h"

class QTextStream;
class ReportCollector;
class StationBuilder;

/// Prints the capability report of a station that is up and bound to the
/// characteristics: what ReportCollector finds, plus where the configuration
/// came from ("configuration": directory, station, defaultStored), as JSON
/// (UTF-8) or as text for people.
class KVTSTATION_EXPORT ReportWriter
{
public:
    static void Write(QTextStream& out, const ReportCollector& collector, const StationBuilder& station,
                      bool defaultStored, bool json);
};
