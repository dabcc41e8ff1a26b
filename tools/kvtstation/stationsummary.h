#pragma once

#include <QJsonObject>
#include <QString>

#include <vector>

class AccountedOutput;
class QTextStream;
class StationCallback;
class StationEnvironment;

/// What a run of the simulated station did, as one JSON object:
///
///     bearings    produced, accepted, rejected {tilt, overheadPass, noQuality}
///                 (produced = accepted + the sum of rejected)
///     sentences   written (the sentences the file output delivered), file,
///                 serial (the address, or null without serial output)
///     deliveries  one entry per output given: name, target, offered,
///                 delivered, lost, pending, lastFailure (null without one),
///                 opened (whether it could ever take data), notices[];
///                 offered = delivered + lost + pending
///     commandLog  directory, files[] (current log and backups), commands
///     hardware    checked, missing[], unknown[]
///     zod         receiver (whether the configuration asks for one)
///     outputs     outputDirectory, plot (the PNG, or null)
///
/// Collect it after the outputs have stopped, so that nothing is pending. Paths are absolute; everything else depends only on the seed,
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

    /// deliveries: the outputs with a delivery account, in the order to show them.
    static QJsonObject Collect(const StationCallback& callback, StationEnvironment& environment,
                               const Outputs& outputs, const std::vector<const AccountedOutput*>& deliveries);
    /// The summary for people.
    static void PrintText(QTextStream& out, const QJsonObject& summary);

private:
    static QJsonObject CollectBearings(const StationCallback& callback);
    static QJsonObject CollectCommandLog(const StationCallback& callback, const QString& outputDir);
    static QJsonObject CollectHardware(StationEnvironment& environment);
    static QJsonObject CollectDelivery(const AccountedOutput& output);
};
