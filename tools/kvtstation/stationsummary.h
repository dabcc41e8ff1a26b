#pragma once

#include <QJsonObject>
#include <QString>

class QTextStream;
class StationCallback;
class StationEnvironment;

/// What a run of the simulated station did, as one JSON object:
///
///     bearings    produced, accepted, rejected {tilt, overheadPass, noQuality}
///                 (produced = accepted + the sum of rejected)
///     sentences   written (the non-empty lines of the sentence file), file,
///                 serial (the address, or null without serial output)
///     commandLog  directory, files[] (current log and backups), commands
///     hardware    checked, missing[], unknown[]
///     zod         receiver (whether the configuration asks for one)
///     outputs     outputDirectory, plot (the PNG, or null)
///
/// Collect it after the outputs have stopped, so that the sentence file is
/// complete. Paths are absolute; everything else depends only on the seed,
/// the configuration and the simulated time.
class StationSummary
{
public:
    struct Outputs
    {
        QString strOutputDir;
        QString strPlotFile;
        QString strSerialAddress;
    };

    static QJsonObject Collect(const StationCallback& callback, StationEnvironment& environment,
                               const Outputs& outputs);
    /// The summary for people.
    static void PrintText(QTextStream& out, const QJsonObject& summary);

private:
    static QJsonObject CollectBearings(const StationCallback& callback);
    static QJsonObject CollectCommandLog(const StationCallback& callback, const QString& outputDir);
    static QJsonObject CollectHardware(StationEnvironment& environment);
    /// Lines with at least one character before the line end.
    static int CountSentences(const QString& fileName);
};
