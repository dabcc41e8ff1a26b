#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "tools/kvtbridge/bridgecommandline.h"
#include "tools/kvtbridge/bridgerun.h"
#include "station/stopsignals.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

namespace {

/// How long the end of a run waits for the broker to acknowledge what is queued.
constexpr int DRAIN_MS = 5000;

/// The summary in a few lines.
void PrintText(QTextStream& out, const QJsonObject& summary)
{
    const QJsonObject polls = summary.value("polls").toObject();
    const QJsonObject bridge = summary.value("bridge").toObject();
    const QJsonObject broker = summary.value("broker").toObject();
    out << "station " << summary.value("station").toString() << " from " << summary.value("receiver").toString()
        << "\n";
    out << "polls " << polls.value("polls").toInt() << ", answered " << polls.value("answers").toInt()
        << ", failed " << polls.value("failures").toInt() << " (timeouts " << polls.value("timeouts").toInt()
        << ")";
    if (!polls.value("lastFailure").toString().isEmpty())
        out << ", last: " << polls.value("lastFailure").toString();
    out << "\ndocuments " << bridge.value("documents").toInt() << ": bearings " << bridge.value("published").toInt()
        << ", repeated " << bridge.value("repeated").toInt() << ", low confidence "
        << bridge.value("lowConfidence").toInt() << ", unreadable " << bridge.value("garbage").toInt() << "\n";
    out << "broker " << broker.value("target").toString() << ": offered " << broker.value("offered").toInt()
        << ", delivered " << broker.value("delivered").toInt() << ", lost " << broker.value("lost").toInt();
    if (!broker.value("lastFailure").toString().isEmpty())
        out << ", last failure: " << broker.value("lastFailure").toString();
    out << "\n";
}

}

// A DF receiver's current bearing onto the network's broker, as one station.
int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    kvt::BridgeCommandLine commandLine;
    if (!commandLine.Parse(arguments)) {
        QTextStream(stderr) << "kvtbridge: " << commandLine.GetError() << "\n";
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtbridge"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    commandLine.ShowHelpOrVersion();
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    QTextStream err(stderr);

    kvt::BridgeRun run(commandLine, err);
    QString error;
    if (!run.Start(error)) {
        err << "kvtbridge: " << error << "\n";
        return 2;
    }
    StopSignals stopSignals;
    int signalNumber = 0;
    QObject::connect(&stopSignals, &StopSignals::Received, &app, [&signalNumber](int nSignal) {
        signalNumber = nSignal;
        QCoreApplication::quit();
    });
    if (commandLine.GetSeconds() > 0.0)
        QTimer::singleShot(static_cast<int>(commandLine.GetSeconds() * 1000.0), &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    run.Stop(DRAIN_MS);
    const QJsonObject summary = run.Summary();
    if (commandLine.IsJson())
        out << QJsonDocument(summary).toJson(QJsonDocument::Indented);
    else
        PrintText(out, summary);
    out.flush();
    return signalNumber != 0 ? 128 + signalNumber : run.ExitCode();
}
