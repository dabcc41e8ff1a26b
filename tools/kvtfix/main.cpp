#include "commandline/refusedloginexit.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "fusion/scenario.h"
#include "network/mqttconnection.h"
#include "station/stopsignals.h"
#include "tools/kvtfix/fixcommandline.h"
#include "tools/kvtfix/fixrun.h"
#include "tools/kvtfix/fixsummary.h"
#include "tools/kvtfix/liveinput.h"
#include "tools/kvtfix/liveoutputs.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

/// How often --follow looks for new lines (and fixes what the broker brought).
constexpr int POLL_MS = 500;
/// How long a stopped run waits for the live outputs to deliver what they hold.
constexpr int DRAIN_MS = 5000;

/// Prints the fixes the last read made, one line (text) or one JSON object each.
void PrintNewFixes(const FixRun& run, bool json, QTextStream& out)
{
    const std::vector<Fix>& fixes = run.GetFixes();
    const size_t count = std::min(run.GetNewFixCount(), fixes.size());
    for (size_t i = fixes.size() - count; i < fixes.size(); ++i) {
        const QJsonObject fix = FixSummary::FixObject(fixes[i]);
        out << (json ? QString::fromUtf8(QJsonDocument(fix).toJson(QJsonDocument::Compact)) : FixSummary::FixLine(fix))
            << "\n";
    }
    out.flush();
}

/// The fixes the last read made.
std::vector<Fix> NewFixes(const FixRun& run)
{
    const std::vector<Fix>& fixes = run.GetFixes();
    const size_t count = std::min(run.GetNewFixCount(), fixes.size());
    return std::vector<Fix>(fixes.end() - static_cast<long>(count), fixes.end());
}

/// Exit code when the broker refused the login MqttConnection::MAX_LOGIN_TRIES times.
constexpr int EXIT_LOGIN_REFUSED = 3;
/// How often a live run says on stderr what it refused or missed, if anything.
constexpr int STATUS_MS = 5000;

void PrintSummary(const FixRun& run, const LiveInput* pLive, bool json, QTextStream& out)
{
    QJsonObject summary = run.Summary();
    if (pLive != nullptr)
        summary.insert(QStringLiteral("live"), pLive->Summary());
    if (json)
        out << QJsonDocument(summary).toJson(QJsonDocument::Indented);
    else {
        FixSummary::PrintText(out, summary);
        if (pLive != nullptr)
            LiveInput::PrintText(out, summary.value(QStringLiteral("live")).toObject());
    }
    out.flush();
}

/// Follows until SIGINT or SIGTERM (summary, exit 128 + signal) or a refused login (EXIT_LOGIN_REFUSED).
int Follow(FixRun& run, const FixCommandLine& commandLine, const Scenario* pScenario, QTextStream& out,
           QTextStream& err)
{
    kvt::LiveOutputs live(commandLine, err, [] { return QDateTime::currentMSecsSinceEpoch(); });
    QString liveError;
    if (!live.Start(liveError)) {
        err << "kvtfix: " << liveError << "\n";
        return 1;
    }
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::Received, [](int nSignal) { QCoreApplication::exit(128 + nSignal); });
    std::unique_ptr<LiveInput> pLive;
    kvt::RefusedLoginExit refusedLogin(QStringLiteral("kvtfix"), err, EXIT_LOGIN_REFUSED);
    QTimer status;
    if (!commandLine.GetMqttHost().isEmpty()) {
        pLive = std::make_unique<LiveInput>(run, pScenario, commandLine.GetMaxStations());
        MqttConnection& connection = pLive->GetConnection();
        const QString address = QStringLiteral("%1:%2").arg(commandLine.GetMqttHost()).arg(commandLine.GetMqttPort());
        QObject::connect(&connection, &MqttConnection::Connected,
                         [&err, address] { err << "kvtfix: connected to " << address << "\n" << Qt::flush; });
        // Each reason once while it lasts: a broker that is away is retried without a line per attempt.
        auto pLastReason = std::make_shared<QString>();
        QObject::connect(&connection, &MqttConnection::Connected, [pLastReason] { pLastReason->clear(); });
        QObject::connect(&connection, &MqttConnection::Disconnected, [&err, pLastReason](const QString& reason) {
            if (reason != *pLastReason)
                err << "kvtfix: broker: " << reason << "\n" << Qt::flush;
            *pLastReason = reason;
        });
        refusedLogin.Watch(connection);
        QString error;
        if ((!commandLine.GetMqttRecordFile().isEmpty() && !pLive->OpenRecord(commandLine.GetMqttRecordFile(), error))
            || !pLive->Start(commandLine.GetMqttSettings(), error)) {
            err << "kvtfix: " << error << "\n";
            return 1;
        }
        QObject::connect(&status, &QTimer::timeout, [&err, &pLive] {
            const QString line = pLive->TakeStatusLine();
            if (!line.isEmpty())
                err << "kvtfix: " << line << "\n" << Qt::flush;
        });
        status.start(STATUS_MS);
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QString error;
        // A station that has not written yet is no failure while following.
        run.ReadInputs(false, error);
        if (run.GetNewFixCount() == 0)
            return;
        PrintNewFixes(run, commandLine.IsJson(), out);
        live.Take(NewFixes(run));
        if (!run.WriteOutputs(error))
            err << "kvtfix: " << error << "\n" << Qt::flush;
    });
    timer.start(POLL_MS);
    const int exitCode = QCoreApplication::exec();
    if (exitCode > 128) {
        QString error;
        run.ReadInputs(true, error);
        PrintNewFixes(run, commandLine.IsJson(), out);
        live.Take(NewFixes(run));
        PrintSummary(run, pLive.get(), commandLine.IsJson(), out);
    }
    live.Stop(DRAIN_MS);
    const QJsonObject accounts = live.Summary();
    for (auto it = accounts.begin(); it != accounts.end(); ++it) {
        const QJsonObject account = it.value().toObject();
        err << "kvtfix: " << it.key() << ": offered " << account.value("offered").toInt() << ", delivered "
            << account.value("delivered").toInt() << ", lost " << account.value("lost").toInt();
        if (!account.value("lastFailure").toString().isEmpty())
            err << ", last failure: " << account.value("lastFailure").toString();
        err << "\n";
    }
    return exitCode;
}

}

// Position fixes from the bearings of several DF stations.
int main(int argc, char** argv)
{
    // The map is painted on an image; no screen is needed, only fonts.
    qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    FixCommandLine commandLine;
    if (!commandLine.Parse(arguments)) {
        QTextStream(stderr) << "kvtfix: " << commandLine.GetError() << "\n";
        return 2;
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtfix"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    commandLine.ShowHelpOrVersion();
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    QTextStream err(stderr);

    std::unique_ptr<Scenario> pScenario;
    if (!commandLine.GetScenarioFile().isEmpty()) {
        pScenario = std::make_unique<Scenario>();
        QString error;
        if (!pScenario->Load(commandLine.GetScenarioFile(), error)) {
            err << "kvtfix: " << error << "\n";
            return 2;
        }
    }
    FixRun run(commandLine, pScenario.get());
    run.Simulate();
    if (commandLine.IsFollow()) {
        PrintNewFixes(run, commandLine.IsJson(), out);
        return Follow(run, commandLine, pScenario.get(), out, err);
    }
    int exitCode = 0;
    QString error;
    if (!run.ReadInputs(true, error)) {
        err << "kvtfix: " << error << "\n";
        exitCode = 1;
    }
    if (!run.WriteOutputs(error)) {
        err << "kvtfix: " << error << "\n";
        exitCode = 1;
    }
    PrintSummary(run, nullptr, commandLine.IsJson(), out);
    return exitCode;
}
