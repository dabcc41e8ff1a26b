#pragma once

#include "base/accountedoutput.h"
#include "kvtstationlib_export.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

class QTextStream;
class StationCallback;
class StationEnvironment;

namespace kvt
{
class TreePublication;
}

/// What a run of a station did. The exit code is computed from it; JSON and
/// text are its renderings for programs and for people. In JSON:
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
///                 without a client), account (the client's state, error and
///                 counts as it shows them; null without a client)
///     outputs     outputDirectory, plot (the PNG, or null)
///     run         simulatedSeconds, plannedSeconds, stoppedBy ("SIGINT",
///                 "SIGTERM", or null for a run that used all its time); only
///                 when the host tells the run
///     scenario    only for a station of a scenario: station, role,
///                 tunings[] {at (s), frequency (Hz)}
///
/// Collect it after the outputs have stopped, so that nothing is pending.
/// Paths are absolute; everything else depends only on the seed, the
/// configuration and the simulated time (and, for the ZOD state and a
/// stopped run, on what happened).
struct KVTSTATION_EXPORT StationSummary
{
    /// Exit codes of a run (2 is a bad command line; a stop by SIGINT or
    /// SIGTERM gives 128 + the signal's number, 130 and 143).
    static constexpr int EXIT_DELIVERED = 0;
    static constexpr int EXIT_NOT_STARTED = 1;
    static constexpr int EXIT_LOSSES = 3;
    static constexpr int EXIT_OUTPUT_UNAVAILABLE = 4;

    /// Where the station's files go, as the host chose.
    struct Outputs
    {
        QString strOutputDir;
        QString strPlotFile;
        QString strSerialAddress;
    };
    /// One output's account at the end.
    struct Delivery
    {
        QString strName;
        QString strTarget;
        DeliveryAccount account;
        AccountedOutput::Failure eFailure = AccountedOutput::Failure::None;
        bool bOpened = false;
        QStringList lstNotices;
    };
    struct Zod
    {
        /// "receiver", "sender"; empty without a ZOD client.
        QString strRole;
        bool bLoaded = false;
        bool bConnected = false;
        QString strCentral;
        /// What the client shows of itself in the value tree (its ZodStatus):
        /// its state and last error, and its counts by name ("Applied",
        /// "Refused", ...), each only when the client shows it.
        std::optional<QString> state;
        std::optional<QString> error;
        std::map<QString, qint64> mapCounts;
    };
    struct Run
    {
        qint64 nElapsedMs = 0;
        qint64 nDurationMs = 0;
        /// SIGINT, SIGTERM, or 0 for a run that used all its time.
        int nStopSignal = 0;
    };
    struct Tuning
    {
        qint64 nElapsedMs;
        double fFrequency;
    };
    struct Scenario
    {
        QString strStation;
        bool bSender = false;
        std::vector<Tuning> lstTunings;
    };

    /// deliveries: the outputs with a delivery account, in the order to show them.
    static StationSummary Collect(const StationCallback& callback, StationEnvironment& environment,
                                  const kvt::TreePublication& publication, const Outputs& outputs,
                                  const std::vector<const AccountedOutput*>& deliveries);

    /// EXIT_OUTPUT_UNAVAILABLE when an output never opened or the broker refused the ZOD
    /// client's login, else EXIT_LOSSES
    /// when one lost (or still holds) a sentence, else EXIT_DELIVERED.
    int ExitCode() const;
    QJsonObject ToJson() const;
    /// The summary for people.
    void PrintText(QTextStream& out) const;

    quint64 nProduced = 0;
    quint64 nAccepted = 0;
    quint64 nRejectedTilt = 0;
    quint64 nRejectedOverheadPass = 0;
    quint64 nRejectedNoQuality = 0;
    std::vector<Delivery> lstDeliveries;
    quint64 nSentencesWritten = 0;
    QString strSentenceFile;
    Outputs outputs;
    QString strCommandLogDir;
    QStringList lstCommandLogFiles;
    quint64 nCommands = 0;
    bool bHardwareChecked = false;
    QStringList lstHardwareMissing;
    QStringList lstHardwareUnknown;
    Zod zod;
    std::optional<Run> run;
    std::optional<Scenario> scenario;
};
