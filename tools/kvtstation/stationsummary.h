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
///     commandLog  directory, files[] (the current log and the backups this
///                 run made; not those of earlier runs), commands
///     hardware    checked, missing[], unknown[]
///     zod         receiver (whether the station runs a ZOD receiver), role
///                 ("receiver", "sender"; null without a ZOD client), module
///                 ("loaded", "not found"; null without a client), connected
///                 (at any time of the run), central ("<address>:<port>"; null
///                 without a client)
///     outputs     outputDirectory, plot (the PNG, or null)
///     run         simulatedSeconds, plannedSeconds, stoppedBy (see AddRun)
///     scenario    only for a station of a scenario (added by StationRun):
///                 station, role, tunings[] {at (s), frequency (Hz)}
///
/// Collect it after the outputs have stopped, so that nothing is pending.
/// Paths are absolute; everything else depends only on the seed, the
/// configuration and the simulated time (and, for the ZOD state and a
/// stopped run, on what happened).
class StationSummary
{
public:
    /// Exit codes of a run (2 is a bad command line; a stop by SIGINT or
    /// SIGTERM gives 128 + the signal's number, 130 and 143).
    static constexpr int EXIT_DELIVERED = 0;
    static constexpr int EXIT_NOT_STARTED = 1;
    static constexpr int EXIT_LOSSES = 3;
    static constexpr int EXIT_OUTPUT_UNAVAILABLE = 4;

    struct Outputs
    {
        QString strOutputDir;
        QString strPlotFile;
        QString strSerialAddress;
    };

    /// deliveries: the outputs with a delivery account, in the order to show them.
    static QJsonObject Collect(const StationCallback& callback, StationEnvironment& environment,
                               const Outputs& outputs, const std::vector<const AccountedOutput*>& deliveries);
    /// Adds "run": simulatedSeconds, plannedSeconds, stoppedBy ("SIGINT",
    /// "SIGTERM", or null for a run that used all its time).
    static void AddRun(QJsonObject& summary, qint64 nElapsedMs, qint64 nDurationMs, int nStopSignal);
    /// EXIT_OUTPUT_UNAVAILABLE when an output never opened or the broker refused the ZOD
    /// client's login, else EXIT_LOSSES
    /// when one lost (or still holds) a sentence, else EXIT_DELIVERED.
    static int ExitCode(const QJsonObject& summary);
    /// The summary for people.
    static void PrintText(QTextStream& out, const QJsonObject& summary);

private:
    static QJsonObject CollectBearings(const StationCallback& callback);
    static QJsonObject CollectCommandLog(const StationCallback& callback, const StationEnvironment& environment);
    static QJsonObject CollectHardware(StationEnvironment& environment);
    static QJsonObject CollectDelivery(const AccountedOutput& output);
    static QJsonObject CollectZod(const StationEnvironment& environment);
    static QString ZodText(const QJsonObject& zod);
};
