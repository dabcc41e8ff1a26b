#include "contract/stationtopics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "fusion/scenario.h"
#include "network/mqttconnection.h"
#include "tools/kvtfix/fixcommandline.h"
#include "tools/kvtfix/fixrun.h"
#include "tools/kvtfix/fixsummary.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

/// How often --follow looks for new lines (and fixes what the broker brought).
constexpr int POLL_MS = 500;

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

int Follow(FixRun& run, const FixCommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    MqttConnection connection;
    if (!commandLine.GetMqttHost().isEmpty()) {
        MqttConnection::Settings settings;
        settings.strHost = commandLine.GetMqttHost();
        settings.nPort = commandLine.GetMqttPort();
        QObject::connect(&connection, &MqttConnection::MessageReceived,
                         [&run](const QString& topic, const QByteArray& payload) { run.Receive(topic, payload); });
        const QString address = QStringLiteral("%1:%2").arg(settings.strHost).arg(settings.nPort);
        QObject::connect(&connection, &MqttConnection::Connected,
                         [&err, address] { err << "kvtfix: connected to " << address << "\n" << Qt::flush; });
        QObject::connect(&connection, &MqttConnection::Disconnected, [&err](const QString& reason) {
            err << "kvtfix: broker: " << reason << "\n" << Qt::flush;
        });
        if (!connection.Open(settings) || !connection.Subscribe(StationTopics::ALL_BEARINGS, 1)) {
            err << "kvtfix: " << connection.GetErrorText() << "\n";
            return 1;
        }
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QString error;
        // A station that has not written yet is no failure while following.
        run.ReadInputs(false, error);
        if (run.GetNewFixCount() == 0)
            return;
        PrintNewFixes(run, commandLine.IsJson(), out);
        if (!run.WriteOutputs(error))
            err << "kvtfix: " << error << "\n" << Qt::flush;
    });
    timer.start(POLL_MS);
    return QCoreApplication::exec();
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
        return Follow(run, commandLine, out, err);
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
    const QJsonObject summary = run.Summary();
    if (commandLine.IsJson())
        out << QJsonDocument(summary).toJson(QJsonDocument::Indented);
    else
        FixSummary::PrintText(out, summary);
    return exitCode;
}
