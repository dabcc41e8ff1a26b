#include "fusion/fixestimator.h"
#include "tests/common/qstringprinter.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tests/interop/interoptesthelpers.h"
#include "tools/kvtfix/cotevents.h"
#include "tools/kvtfix/cotoutput.h"

#include <QDateTime>
#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {

using FusionTest::Towards;

const int WAIT_MS = 10000;
const qint64 NOW = QDateTime(QDate(2026, 12, 7), QTime(20, 0), Qt::UTC).toMSecsSinceEpoch();
const kvt::CotEvents::Times TIMES{NOW, NOW - 5000, NOW + 10000};

/// A fix of an emitter at (52.5, 13.4) from North and South, three bearings each.
Fix MakeFix()
{
    std::vector<Bearing> bearings;
    for (int i = 0; i < 3; ++i) {
        for (const FusionTest::Site& site : {FusionTest::NORTH, FusionTest::SOUTH, FusionTest::WEST})
            bearings.push_back(Towards(site, 52.5, 13.4, 0.3 * (i - 1), NOW - 5000 + 1000 * i));
    }
    Fix fix = FixEstimator().Estimate(FusionTest::Pointers(bearings));
    fix.nStartMs = NOW - 10000;
    fix.nEndMs = NOW - 5000;
    return fix;
}

/// The events of a fix, in the order kvtfix sends them.
QByteArrayList Events(const Fix& fix)
{
    QByteArrayList events;
    for (const FixLine& line : fix.lstLines) {
        events.append(kvt::CotEvents::Station({line.strStation, line.fLatitude, line.fLongitude}, TIMES));
        events.append(kvt::CotEvents::BearingLine(line, fix, TIMES));
    }
    events.append(kvt::CotEvents::FixPoint(fix, QStringLiteral("145500000"), TIMES));
    return events;
}

QJsonArray Coordinates(const QJsonObject& feature)
{
    return feature.value("geometry").toObject().value("coordinates").toArray();
}

TEST(CotOutputTest, StationsLinesAndFixOverUdpComeBackWhereTheyWereSent)
{
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
    kvt::CotOutput output;
    ASSERT_TRUE(output.Start(QStringLiteral("udp://127.0.0.1:%1").arg(listener.localPort())));
    const Fix fix = MakeFix();
    ASSERT_TRUE(fix.bValid);
    const QByteArrayList events = Events(fix);
    for (const QByteArray& event : events)
        output.Send(event);
    QByteArrayList received;
    ASSERT_TRUE(InteropTest::ReceiveDatagrams(listener, received, events.size()));
    EXPECT_EQ(received, events);
    output.Stop(0);
    EXPECT_EQ(output.GetAccount().GetDelivered(), static_cast<quint64>(events.size()));
    EXPECT_TRUE(output.GetAccount().IsComplete());

    QString error;
    const QList<QJsonObject> features = InteropTest::ParseCot(received, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(features.size(), events.size());
    for (size_t i = 0; i < fix.lstLines.size(); ++i) {
        const FixLine& line = fix.lstLines[i];
        const QJsonObject station = features[static_cast<int>(2 * i)];
        ASSERT_FALSE(station.contains("error")) << station.value("error").toString().toStdString();
        EXPECT_EQ(station.value("id").toString(), "kvt.station." + line.strStation);
        EXPECT_EQ(station.value("properties").toObject().value("callsign").toString(), line.strStation);
        EXPECT_EQ(station.value("properties").toObject().value("stale").toString(), "2026-12-07T20:00:10.000Z");
        EXPECT_NEAR(Coordinates(station)[0].toDouble(), line.fLongitude, 1e-6);
        EXPECT_NEAR(Coordinates(station)[1].toDouble(), line.fLatitude, 1e-6);

        // The parser draws the range-and-bearing line on a sphere: it ends a third beyond the fix, on the bearing.
        const QJsonObject bearing = features[static_cast<int>(2 * i + 1)];
        ASSERT_EQ(bearing.value("geometry").toObject().value("type").toString(), "LineString");
        const QJsonArray end = Coordinates(bearing)[1].toArray();
        const Geodesy::Link toFix = Geodesy::Between(line.fLatitude, line.fLongitude, fix.fLatitude, fix.fLongitude);
        const Geodesy::Link toEnd =
            Geodesy::Between(line.fLatitude, line.fLongitude, end[1].toDouble(), end[0].toDouble());
        EXPECT_NEAR(toEnd.fDistance, toFix.fDistance * 4.0 / 3.0, 0.005 * toFix.fDistance);
        EXPECT_NEAR(Geodesy::WrapDifference(toEnd.fAzimuth - line.fBearing), 0.0, 0.3);
        EXPECT_NEAR(Coordinates(bearing)[0].toArray()[1].toDouble(), line.fLatitude, 1e-6);
    }
    const QJsonObject point = features.last();
    EXPECT_EQ(point.value("id").toString(), "kvt.fix.145500000");
    EXPECT_EQ(point.value("properties").toObject().value("type").toString(), "a-u-G");
    EXPECT_NEAR(Coordinates(point)[0].toDouble(), fix.fLongitude, 1e-6);
    EXPECT_NEAR(Coordinates(point)[1].toDouble(), fix.fLatitude, 1e-6);
    const QJsonObject ellipse =
        point.value("properties").toObject().value("detail").toObject().value("shape").toObject().value("ellipse")
            .toObject().value("_attributes").toObject();
    EXPECT_NEAR(ellipse.value("major").toDouble(), fix.ellipse.fSemiMajor, 0.1);
    EXPECT_NEAR(ellipse.value("minor").toDouble(), fix.ellipse.fSemiMinor, 0.1);
    EXPECT_NEAR(ellipse.value("angle").toDouble(), fix.ellipse.fOrientation, 0.01);
    EXPECT_TRUE(events.last().contains(QStringLiteral("ce=\"%1\"").arg(fix.ellipse.fSemiMajor, 0, 'f', 1).toUtf8()));
}

TEST(CotOutputTest, TcpQueuesUntilTheServerListensAndReconnectsAfterItDrops)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.serverPort();
    server.close();
    kvt::CotOutput output;
    output.SetQueueLimit(3);
    ASSERT_TRUE(output.Start(QStringLiteral("tcp://127.0.0.1:%1").arg(port)));
    const QByteArrayList events = Events(MakeFix());
    // Nobody listens: three wait, the rest are lost with the reason.
    for (const QByteArray& event : events)
        output.Send(event);
    EXPECT_EQ(output.GetAccount().GetPending(), 3u);
    EXPECT_EQ(output.GetAccount().GetLost(), static_cast<quint64>(events.size() - 3));
    EXPECT_TRUE(output.GetAccount().GetLastFailure().startsWith("queue of 3 events full"))
        << output.GetAccount().GetLastFailure().toStdString();

    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, WAIT_MS));
    std::unique_ptr<QTcpSocket> pPeer(server.nextPendingConnection());
    QByteArray stream;
    const QByteArray expected = events[0] + events[1] + events[2];
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            stream += pPeer->readAll();
            return stream.size() >= expected.size();
        },
        WAIT_MS));
    EXPECT_EQ(stream, expected);
    EXPECT_TRUE(QTest::qWaitFor([&] { return output.GetAccount().GetDelivered() == 3; }, WAIT_MS));

    // The server drops the connection: the output comes back by itself.
    pPeer->abort();
    pPeer.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, WAIT_MS));
    pPeer.reset(server.nextPendingConnection());
    output.Send(events.last());
    stream.clear();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            stream += pPeer->readAll();
            return stream.size() >= events.last().size();
        },
        WAIT_MS));
    EXPECT_EQ(stream, events.last());
    output.Stop(WAIT_MS);
    const DeliveryAccount& account = output.GetAccount();
    EXPECT_EQ(account.GetDelivered(), 4u);
    EXPECT_EQ(account.GetOffered(), account.GetDelivered() + account.GetLost());
}

TEST(CotOutputTest, TargetsAreCheckedBeforeAnythingIsSent)
{
    for (const char* target : {"udp://localhost:6969", "http://127.0.0.1:80", "udp://127.0.0.1", "tcp://[::1]:0",
                               "udp://239.2.3.1:6969/x", "239.2.3.1:6969", "udp://127.0.0.1:6969?interface=lo",
                               "udp://239.2.3.1:6969?ttl=0", "udp://239.2.3.1:6969?ttl=x",
                               "udp://239.2.3.1:6969?hops=2",
                               "udp://239.2.3.1:6969?interface=no-such-interface"}) {
        kvt::CotOutput::Target parsed;
        QString error;
        EXPECT_FALSE(kvt::CotOutput::ParseTarget(QString::fromLatin1(target), parsed, error)) << target;
    }
    kvt::CotOutput::Target parsed;
    QString error;
    ASSERT_TRUE(kvt::CotOutput::ParseTarget(QStringLiteral("udp://239.2.3.1:6969"), parsed, error))
        << error.toStdString();
    EXPECT_FALSE(parsed.bTcp);
    EXPECT_TRUE(parsed.host.isMulticast());
    EXPECT_EQ(parsed.nPort, 6969);
    EXPECT_EQ(parsed.nTtl, kvt::CotOutput::DEFAULT_MULTICAST_TTL);
    ASSERT_TRUE(kvt::CotOutput::ParseTarget(QStringLiteral("udp://239.2.3.1:6969?interface=lo&ttl=1"), parsed, error))
        << error.toStdString();
    EXPECT_EQ(parsed.strInterface, QStringLiteral("lo"));
    EXPECT_EQ(parsed.nTtl, 1);
    ASSERT_TRUE(kvt::CotOutput::ParseTarget(QStringLiteral("tcp://[::1]:8087"), parsed, error)) << error.toStdString();
    EXPECT_TRUE(parsed.bTcp);
    EXPECT_EQ(parsed.host, QHostAddress(QHostAddress::LocalHostIPv6));
}

}
