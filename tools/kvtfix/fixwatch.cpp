#include "commandline/brokerloginoptions.h"
#include "commandline/optionreader.h"
#include "commandline/refusedloginexit.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtlibraryinfo.h"
#include "network/mqttconnection.h"
#include "tools/kvtfix/fixmessage.h"
#include "station/stopsignals.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QMap>
#include <QTextStream>

namespace {

const QString OPT_MQTT = QStringLiteral("mqtt");
const QString OPT_BEARINGS = QStringLiteral("bearings");
/// The exit code when the broker refused the login, as kvtfix's.
constexpr int EXIT_LOGIN_REFUSED = 3;

/// False, with the reader's error, on a usage error; true for --help and --version as well.
bool ReadArguments(kvt::OptionReader& reader, const kvt::BrokerLoginOptions& login, const QStringList& arguments,
                   MqttConnection::Settings& rSettings)
{
    if (!reader.Parse(arguments))
        return false;
    if (reader.WantsHelpOrVersion())
        return true;
    if (!reader.IsSet(OPT_MQTT)) {
        reader.SetError(QStringLiteral("--mqtt is needed."));
        return false;
    }
    return reader.ReadBrokerAddress(OPT_MQTT, rSettings.strHost, rSettings.nPort) && login.Read(reader, rSettings);
}

}

// Follows the fusion service's fixes on the broker: prints every fix it can
// read, one line "<arrival, Unix seconds> <topic> <message>", and refuses
// (and counts by reason) what it cannot, a message of a newer version
// included. With --bearings the stations' bearing messages are printed as
// well (for latencies). At SIGINT/SIGTERM the counts go to stderr.
int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    kvt::OptionReader reader(QStringLiteral(
        "Prints the fixes published on the broker as they arrive. Exit codes: 0 stopped by SIGINT or SIGTERM; "
        "2 bad command line; 3 the broker refused the login."));
    const kvt::BrokerLoginOptions login(kvt::BrokerLoginOptions::Session::Clean);
    reader.AddOptions({
        {OPT_MQTT, QStringLiteral("The broker at <host:port>."), QStringLiteral("host:port")},
        {OPT_BEARINGS, QStringLiteral("Print the stations' bearing messages too.")},
    });
    reader.AddOptions(login.Options());
    MqttConnection::Settings settings;
    QTextStream err(stderr);
    if (!ReadArguments(reader, login, arguments, settings)) {
        err << "kvtfixwatch: " << reader.GetError() << "\n";
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtfixwatch"));
    QCoreApplication::setApplicationVersion(KvtLibraryInfo::Version());
    reader.ShowHelpOrVersion();
    QTextStream out(stdout);
    if (settings.strClientId.isEmpty())
        settings.strClientId = MqttConnection::UniqueClientId(QStringLiteral("kvtfixwatch"), QStringLiteral("watch"));
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
        || (reader.IsSet(OPT_BEARINGS)
            && !connection.Subscribe(QStringLiteral("kvt/stations/+/bearings"), 1))) {
        err << "kvtfixwatch: " << connection.GetErrorText() << "\n";
        return 2;
    }
    kvt::RefusedLoginExit refusedLogin(QStringLiteral("kvtfixwatch"), err, EXIT_LOGIN_REFUSED);
    refusedLogin.Watch(connection);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::Received, &app, &QCoreApplication::quit);
    const int exitCode = QCoreApplication::exec();
    err << "kvtfixwatch: fixes " << nFixes;
    for (auto it = refused.cbegin(); it != refused.cend(); ++it)
        err << ", refused " << it.value() << " (" << it.key() << ")";
    err << "\n";
    return exitCode;
}
