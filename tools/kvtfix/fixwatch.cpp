#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "network/mqttconnection.h"
#include "tools/kvtfix/fixmessage.h"
#include "station/stopsignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QMap>
#include <QTextStream>

// Follows the fusion service's fixes on the broker: prints every fix it can
// read, one line "<arrival, Unix seconds> <topic> <message>", and refuses
// (and counts by reason) what it cannot, a message of a newer version
// included. With --bearings the stations' bearing messages are printed as
// well (for latencies). At SIGINT/SIGTERM the counts go to stderr.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtfixwatch"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the fixes published on the broker as they arrive."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("mqtt"), QStringLiteral("The broker at <host:port>."), QStringLiteral("host:port")},
        {QStringLiteral("bearings"), QStringLiteral("Print the stations' bearing messages too.")},
    });
    parser.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    MqttConnection::Settings settings;
    if (!MqttConnection::ParseAddress(parser.value(QStringLiteral("mqtt")), settings.strHost, settings.nPort)) {
        err << "kvtfixwatch: --mqtt wants host:port\n";
        return 2;
    }
    settings.strClientId = QStringLiteral("kvtfixwatch.%1").arg(QCoreApplication::applicationPid());
    MqttConnection connection;
    quint64 nFixes = 0;
    QMap<QString, quint64> refused;
    QObject::connect(&connection, &MqttConnection::MessageReceived,
                     [&](const QString& topic, const QByteArray& payload, bool) {
                         const QString arrival =
                             QString::number(QDateTime::currentMSecsSinceEpoch() / 1000.0, 'f', 3);
                         if (topic.startsWith(QLatin1String("kvt/fixes/"))) {
                             QJsonObject fix;
                             QString error;
                             if (!kvt::FixMessage::Parse(payload, fix, error)) {
                                 ++refused[error];
                                 return;
                             }
                             ++nFixes;
                         }
                         out << arrival << ' ' << topic << ' ' << payload << '\n' << Qt::flush;
                     });
    QObject::connect(&connection, &MqttConnection::Disconnected,
                     [&err](const QString& reason) { err << "kvtfixwatch: broker: " << reason << "\n" << Qt::flush; });
    if (!connection.Open(settings) || !connection.Subscribe(QStringLiteral("kvt/fixes/+"), 1)
        || (parser.isSet(QStringLiteral("bearings"))
            && !connection.Subscribe(QStringLiteral("kvt/stations/+/bearings"), 1))) {
        err << "kvtfixwatch: " << connection.GetErrorText() << "\n";
        return 2;
    }
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::Received, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    err << "kvtfixwatch: fixes " << nFixes;
    for (auto it = refused.cbegin(); it != refused.cend(); ++it)
        err << ", refused " << it.value() << " (" << it.key() << ")";
    err << "\n";
    return 0;
}
