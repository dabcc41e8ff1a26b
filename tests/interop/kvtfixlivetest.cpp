#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/common/qstringprinter.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tests/interop/interoptesthelpers.h"
#include "tools/kvtfix/fixmessage.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <algorithm>

#include <signal.h>

namespace {

using FusionTest::Site;

const int WAIT_MS = 20000;

/// Three stations' bearings of two 5 s windows, and one bearing that closes the second.
void PublishTwoWindows(int port)
{
    MqttPeer stations(port, QStringLiteral("kvtfixlivetest-stations"));
    const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
    for (int t = 0; t <= 10; ++t) {
        for (const Site& site : {FusionTest::NORTH, FusionTest::SOUTH, FusionTest::WEST})
            ASSERT_TRUE(stations.Send(QStringLiteral("kvt/stations/%1/bearings").arg(site.pszName),
                                      FusionTest::Message(site, t + 1, start + 1000LL * t), false));
    }
}

/// kvtfix following a real broker, publishing its fixes there and sending CoT to a UDP socket on loopback.
TEST(KvtFixLiveTest, FixesReachTheBrokerAndCotAndTheWillMarksAKilledService)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    QUdpSocket cot;
    ASSERT_TRUE(cot.bind(QHostAddress(QHostAddress::LocalHost), 0));
    MqttPeer early(broker.GetPort(), QStringLiteral("kvtfixlivetest-early"), QStringLiteral("kvt/#"));
    QProcess fix;
    fix.start(QStringLiteral(KVTFIX_PATH),
              {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.GetPort()), "--publish", "--json", "--cot",
               QStringLiteral("udp://127.0.0.1:%1").arg(cot.localPort()), "--window", "5"});
    ASSERT_TRUE(early.WaitFor(QStringLiteral("kvt/fusion/status"), "\"online\":true"))
        << fix.readAllStandardError().constData();

    PublishTwoWindows(broker.GetPort());
    const QString topic = QStringLiteral("kvt/fixes/145500000");
    ASSERT_TRUE(early.WaitForCount(topic, 2)) << fix.readAllStandardError().constData();
    const QJsonObject message = QJsonDocument::fromJson(early.History(topic).first()).object();
    EXPECT_EQ(message.value("v").toInt(), kvt::FixMessage::VERSION);
    EXPECT_EQ(message.value("channel").toString(), "145500000");
    EXPECT_EQ(message.value("time").toString(), "2026-12-07T08:00:05.000Z");
    // The bearing message rounds bearings to 0.1 degree: some ten metres at these distances.
    EXPECT_NEAR(message.value("latitude").toDouble(), 52.52, 5e-4);
    EXPECT_EQ(message.value("lines").toArray().size(), 3);
    EXPECT_GT(message.value("semiMajor").toDouble(), 0.0);
    // With --json each fix is also a line on standard output.
    QByteArray printed;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (printed += fix.readAllStandardOutput()).contains('\n'); }, WAIT_MS));
    const QJsonObject line = QJsonDocument::fromJson(printed.left(printed.indexOf('\n'))).object();
    EXPECT_EQ(line.value("time").toString(), message.value("time").toString());
    EXPECT_EQ(line.value("stations").toInt(), 3);
    EXPECT_EQ(line.value("bearings").toInt(), 15);

    // The same fixes as CoT: per fix three stations, three lines and the fix.
    QByteArrayList events;
    ASSERT_TRUE(InteropTest::ReceiveDatagrams(cot, events, 14));
    QString error;
    const QList<QJsonObject> features = InteropTest::ParseCot(events, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    int fixes = 0;
    for (const QJsonObject& feature : features) {
        ASSERT_FALSE(feature.contains("error")) << feature.value("error").toString().toStdString();
        if (feature.value("id").toString() != "kvt.fix.145500000")
            continue;
        ++fixes;
        const QJsonArray position = feature.value("geometry").toObject().value("coordinates").toArray();
        EXPECT_NEAR(position[1].toDouble(), message.value("latitude").toDouble(), 1e-4);
        EXPECT_NEAR(position[0].toDouble(), message.value("longitude").toDouble(), 1e-4);
    }
    EXPECT_EQ(fixes, 2);

    // The programs' real messages against the published schemas.
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("fix"), early.History(topic)), QString());
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("fusionstatus"), early.History("kvt/fusion/status")),
              QString());

    // Killed without a word: the broker says it for the service.
    fix.kill();
    ASSERT_TRUE(fix.waitForFinished(WAIT_MS));
    ASSERT_TRUE(early.WaitFor(QStringLiteral("kvt/fusion/status"), "\"online\":false"));
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("fusionstatus"), early.History("kvt/fusion/status")),
              QString());
}

/// Joins `group` on the loopback interface and sends it a probe through lo; empty when the
/// probe came back, else why this machine cannot carry multicast on loopback.
QString JoinOnLoopback(QUdpSocket& listener, const QHostAddress& group)
{
    const QNetworkInterface loopback = QNetworkInterface::interfaceFromName(QStringLiteral("lo"));
    if (!loopback.isValid())
        return QStringLiteral("no interface lo");
    if (!listener.bind(QHostAddress(QHostAddress::AnyIPv4), 0, QUdpSocket::ShareAddress)
        || !listener.joinMulticastGroup(group, loopback))
        return QStringLiteral("cannot join %1 on lo: %2").arg(group.toString(), listener.errorString());
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        return probe.errorString();
    probe.setMulticastInterface(loopback);
    if (probe.writeDatagram("probe", group, listener.localPort()) != 5)
        return QStringLiteral("cannot send to %1 through lo: %2").arg(group.toString(), probe.errorString());
    if (!QTest::qWaitFor([&] { return listener.hasPendingDatagrams(); }, 2000))
        return QStringLiteral("a datagram sent to %1 through lo never came back").arg(group.toString());
    return listener.receiveDatagram().data() == "probe" ? QString() : QStringLiteral("a stranger's datagram came");
}

/// kvtfix's CoT to TAK's multicast group: a member of the group on this machine gets every event.
TEST(KvtFixLiveTest, CotReachesAMemberOfTheMulticastGroup)
{
    const QHostAddress group(QStringLiteral("239.2.3.1"));
    QUdpSocket listener;
    const QString why = JoinOnLoopback(listener, group);
    if (!why.isEmpty())
        GTEST_SKIP() << "this machine carries no multicast on loopback: " << why.toStdString();
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    QProcess fix;
    fix.start(QStringLiteral(KVTFIX_PATH),
              {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.GetPort()), "--window", "5", "--cot",
               QStringLiteral("udp://%1:%2?interface=lo&ttl=1").arg(group.toString()).arg(listener.localPort())});
    QByteArray errors;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (errors += fix.readAllStandardError()).contains("connected"); }, WAIT_MS))
        << errors.constData();
    PublishTwoWindows(broker.GetPort());

    // Per fix three stations, three lines and the fix, each a datagram to the group.
    QByteArrayList events;
    ASSERT_TRUE(InteropTest::ReceiveDatagrams(listener, events, 14)) << events.join('\n').constData();
    // By the event's own uid, the first in it.
    const auto count = [&events](const QByteArray& uid) {
        return std::count_if(events.begin(), events.end(), [&uid](const QByteArray& event) {
            const int start = event.indexOf("uid=\"") + 5;
            return event.mid(start, event.indexOf('"', start) - start) == uid;
        });
    };
    EXPECT_EQ(count("kvt.fix.145500000"), 2);
    EXPECT_EQ(count("kvt.station.North"), 2);
    EXPECT_EQ(count("kvt.bearing.West"), 2);

    // Stopped, kvtfix fixes the window the last bearing opened: the group got all it delivered.
    ::kill(static_cast<pid_t>(fix.processId()), SIGTERM);
    ASSERT_TRUE(fix.waitForFinished(WAIT_MS));
    QTest::qWait(100);
    InteropTest::ReceiveDatagrams(listener, events, 0);
    errors += fix.readAllStandardError();
    EXPECT_TRUE(errors.contains(QStringLiteral("offered %1, delivered %1, lost 0").arg(events.size()).toUtf8()))
        << events.size() << " events received\n" << errors.constData();
}

TEST(KvtFixWatchTest, AFixOfANewerVersionIsRefusedAndCountedNotMisread)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    QProcess watch;
    watch.start(QStringLiteral(KVTFIXWATCH_PATH), {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.GetPort())});
    ASSERT_TRUE(watch.waitForStarted(WAIT_MS));
    MqttPeer probe(broker.GetPort(), QStringLiteral("kvtfixwatchtest"), QStringLiteral("kvt/fixes/+"));
    const QString topic = QStringLiteral("kvt/fixes/145500000");
    const QByteArray fix = R"({"v":1,"channel":"145500000","time":"2026-12-07T08:00:10.000Z","latitude":52.5,"longitude":13.4})";
    // Published until the watcher, subscribed by then as the probe is, prints one.
    QByteArray output;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            probe.m_connection.Publish(topic, fix, 1, false);
            QTest::qWait(100);
            output += watch.readAllStandardOutput();
            return output.contains("kvt/fixes/145500000 {");
        },
        WAIT_MS));
    QByteArray newer = fix;
    newer.replace("\"v\":1", "\"v\":2").replace("52.5", "\"far\"");
    probe.m_connection.Publish(topic, newer, 1, false);
    probe.m_connection.Publish(topic, "[]", 1, false);
    ASSERT_TRUE(probe.WaitFor(topic, "[]"));
    QTest::qWait(300);
    watch.terminate();
    ASSERT_TRUE(watch.waitForFinished(WAIT_MS));
    output += watch.readAllStandardOutput();
    EXPECT_FALSE(output.contains("far"));
    const QByteArray errors = watch.readAllStandardError();
    EXPECT_TRUE(errors.contains("refused 1 (message version 2 is newer than 1)")) << errors.constData();
    EXPECT_TRUE(errors.contains("refused 1 (not a JSON object)")) << errors.constData();
}

TEST(FixMessageTest, ANewerVersionIsRefusedAndAnOlderOrEqualOneRead)
{
    QString error;
    EXPECT_TRUE(kvt::FixMessage::IsReadable(QJsonValue(1), error));
    EXPECT_FALSE(kvt::FixMessage::IsReadable(QJsonValue(2), error));
    EXPECT_EQ(error, QStringLiteral("message version 2 is newer than 1"));
    for (const QJsonValue& v : {QJsonValue(), QJsonValue(0), QJsonValue(1.5), QJsonValue("1"), QJsonValue(-3)}) {
        EXPECT_FALSE(kvt::FixMessage::IsReadable(v, error));
        EXPECT_EQ(error, QStringLiteral("no message version"));
    }
}

}
