#pragma once

class QTextStream;
class ReportCollector;
class StationBuilder;

/// Prints the capability report of a station that is up and bound to the
/// characteristics: what ReportCollector finds, plus where the configuration
/// came from ("configuration": directory, station, defaultStored), as JSON
/// (UTF-8) or as text for people.
class ReportWriter
{
public:
    static void Write(QTextStream& out, const ReportCollector& collector, const StationBuilder& station,
                      bool defaultStored, bool json);
};
