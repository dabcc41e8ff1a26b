#include "contract/bearingmessage.h"
#include "contract/stationstatus.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/handovernetwork.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tools/kvtconsole/mapprojection.h"
#include "tools/kvtconsole/maptab.h"
#include "tools/kvtconsole/mapview.h"
#include "tools/kvtconsole/networkfeed.h"
#include "tools/kvtconsole/networkmodel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <signal.h>

namespace {

const int WAIT_MS = 60000;
const qint64 START = 1'765'094'400'000;  // 2025-12-07 08:00:00 UTC

using FusionTest::Message;
using FusionTest::Site;

QByteArray Status(const Site& site, bool bOnline)
{
    StationStatus status;
    status.strName = QString::fromLatin1(site.pszName);
    status.fLatitude = site.fLatitude;
    status.fLongitude = site.fLongitude;
    status.fHeading = 90.0;
    return status.ToJson(bOnline);
}

// Stations either side of the date line (Fiji and Samoa way) lie side by
// side, a few hundred pixels apart, not on opposite edges of a world map.
TEST(MapProjectionTest, CentresOnTheDataAcross180Degrees)
{
    EXPECT_NEAR(MapProjection::CentralLongitude({179.5, -179.5}), 180.0, 1e-9);
    EXPECT_NEAR(MapProjection::CentralLongitude({10.0, 12.0}), 11.0, 1e-9);
    EXPECT_NEAR(MapProjection::CentralLongitude({170.0, -170.0, 175.0}), 180.0, 1e-9);
    EXPECT_NEAR(MapProjection::CentralLongitude({-10.0, 10.0}), 0.0, 1e-9);

    MapProjection projection(QSizeF(800, 600));
    projection.Fit({{-17.0, 179.0}, {-16.0, -178.5}, {-16.5, 179.8}});
    EXPECT_NEAR(std::abs(projection.GetCentreLongitude()), 179.75, 1e-9);
    const QPointF west = projection.ToScreen(-17.0, 179.0);
    const QPointF east = projection.ToScreen(-16.0, -178.5);
    EXPECT_LT(west.x(), east.x());
    for (const QPointF& point : {west, east}) {
        EXPECT_GE(point.x(), 0.0);
        EXPECT_LE(point.x(), 800.0);
        EXPECT_GE(point.y(), 0.0);
        EXPECT_LE(point.y(), 600.0);
    }
    // There and back, with the longitude folded into (-180, 180].
    const MapProjection::Point back = projection.ToGeo(east);
    EXPECT_NEAR(back.first, -16.0, 1e-9);
    EXPECT_NEAR(back.second, -178.5, 1e-9);
    EXPECT_NEAR(projection.ToGeo(projection.ToScreen(-16.2, 180.0)).second, 180.0, 1e-9);

    // Zooming keeps the point under the pointer; panning moves the picture with the drag.
    projection.ZoomAt(east, 3.0);
    EXPECT_NEAR(projection.ToScreen(-16.0, -178.5).x(), east.x(), 1e-6);
    EXPECT_NEAR(projection.ToScreen(-16.0, -178.5).y(), east.y(), 1e-6);
    projection.Pan(QPointF(40, -25));
    EXPECT_NEAR(projection.ToScreen(-16.0, -178.5).x(), east.x() + 40, 1e-6);
    EXPECT_NEAR(projection.ToScreen(-16.0, -178.5).y(), east.y() - 25, 1e-6);
}

TEST(NetworkModelTest, StationsBearingsAndFixesFromTheTopicTree)
{
    NetworkModel model;
    QSignalSpy fixes(&model, &NetworkModel::FixAdded);
    QSignalSpy offline(&model, &NetworkModel::StationWentOffline);
    QSignalSpy handovers(&model, &NetworkModel::HandoverSeen);
    const Site north{"North", 54.6, 10.2};
    const Site south{"South", 54.2, 10.5};
    EXPECT_TRUE(model.HandleMessage("kvt/stations/North/status", Status(north, true)));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/North/config/role", "sender"));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/North/param/FRQ", "145500000"));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/North/param/FRQ", "145500000"));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/North/param/AUDIO_MODE", "1"));
    EXPECT_EQ(handovers.count(), 1) << "a repeat or an audio setting hands nothing over";
    // South follows North; West would be tuned to the frequency too, but follows somebody else.
    EXPECT_TRUE(model.HandleMessage("kvt/zod/South/config/role", "receiver"));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/South/config/auto_couple_targets", " North ; Ops"));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/West/config/role", "receiver"));
    EXPECT_TRUE(model.HandleMessage("kvt/zod/West/config/auto_couple_targets", "Ops"));
    EXPECT_TRUE(model.HandleMessage("kvt/stations/West/bearings",
                                    Message({"West", 54.4, 10.2}, 1, START, 54.4, 10.9)));
    // Two stations look at one emitter for longer than a window: the model fixes it itself.
    for (int t = 0; t <= 11; ++t) {
        for (const Site& site : {north, south})
            ASSERT_TRUE(model.HandleMessage(QStringLiteral("kvt/stations/%1/bearings").arg(site.pszName),
                                            Message(site, t + 1, START + 1000LL * t, 54.4, 10.9)));
    }
    ASSERT_EQ(fixes.count(), 1);
    EXPECT_FALSE(model.HasPublishedFixes());
    const NetworkModel::MapFix& fix = model.GetFixes().back();
    EXPECT_NEAR(fix.fix.fLatitude, 54.4, 1e-3);
    EXPECT_NEAR(fix.fix.fLongitude, 10.9, 1e-3);
    EXPECT_FALSE(fix.lstOutline.empty());
    const NetworkModel::Station& station = model.GetStations().at("North");
    EXPECT_TRUE(station.bOnline);
    EXPECT_EQ(station.strRole, "sender");
    EXPECT_DOUBLE_EQ(station.fHandoverFrequency, 145.5e6);
    EXPECT_EQ(station.nBearings, 12u);
    EXPECT_EQ(model.GetNowMs(), START + 11000);
    ASSERT_EQ(model.GetHandovers().size(), 1u);
    EXPECT_EQ(model.GetHandovers().front().nTimeMs, START) << "seen before any bearing: the first one's time";
    EXPECT_EQ(model.GetHandovers().front().lstApplied, QStringList{"South"});

    // The Last Will: offline once, not again while it stays offline.
    EXPECT_TRUE(model.HandleMessage("kvt/stations/North/status", Status(north, false)));
    EXPECT_TRUE(model.HandleMessage("kvt/stations/North/status", Status(north, false)));
    ASSERT_EQ(offline.count(), 1);
    EXPECT_EQ(offline.front().front().toString(), "North");

    // Published fixes replace the model's own; the retained latest repeats no fix.
    const QByteArray published =
        R"({"v":1,"channel":"433920000","time":"2025-12-07T08:00:20.000Z","start":"2025-12-07T08:00:10.000Z",
            "frequency":433920000,"latitude":54.3,"longitude":10.8,"semiMajor":412.5,"semiMinor":180.2,
            "orientation":33.1,"stations":2,"bearings":20,"residual":1.4,"chiSquare":20,"flags":["near-parallel"],
            "lines":[]})";
    EXPECT_TRUE(model.HandleMessage("kvt/fixes/433920000", published));
    EXPECT_TRUE(model.HandleMessage("kvt/fixes/433920000/latest", published));
    EXPECT_TRUE(model.HasPublishedFixes());
    ASSERT_EQ(model.GetFixes().size(), 1u);
    EXPECT_EQ(model.GetFixes().front().fix.nFlags, unsigned(Fix::NEAR_PARALLEL));
    EXPECT_EQ(model.GetFixes().front().fix.nEndMs, START + 20000);

    // What cannot be read is counted and changes nothing.
    EXPECT_FALSE(model.HandleMessage("kvt/fixes/1", QByteArray(published).replace("\"v\":1", "\"v\":2")));
    EXPECT_FALSE(model.HandleMessage("kvt/stations/North/bearings", "{"));
    EXPECT_FALSE(model.HandleMessage("kvt/stations/West/bearings", Message(north, 99, START, 54.4, 10.9)));
    EXPECT_FALSE(model.HandleMessage("kvt/stations/North/status", R"({"latitude":95,"longitude":0,"online":true})"));
    EXPECT_FALSE(model.HandleMessage("other/topic", "x"));
    EXPECT_FALSE(model.HandleMessage("kvt/zod/North/param/FRQ", "fast"));
    EXPECT_FALSE(model.HandleMessage("kvt/fusion/status", R"({"v":2,"online":true})"));
    EXPECT_EQ(model.GetMalformed(), 7u);
    EXPECT_EQ(model.GetStations().size(), 3u);
}

TEST(MapViewTest, DrawsStationsByStateWithToolTipsAndListsThem)
{
    NetworkModel model;
    const Site east{"East", -16.5, 179.9};
    const Site west{"West", -16.8, -179.7};
    model.HandleMessage("kvt/stations/East/status", Status(east, true));
    model.HandleMessage("kvt/stations/West/status", Status(west, false));
    model.HandleMessage("kvt/stations/East/bearings", Message(east, 1, START, -16.0, -179.5));
    MapTab tab(model);
    tab.resize(1200, 700);
    tab.GetWatchEdit().setText("433.92, 145.5");
    EXPECT_TRUE(tab.IsWatched(145.5e6 + 5000));
    EXPECT_FALSE(tab.IsWatched(146e6));
    tab.Refresh();
    MapView view(model);
    view.resize(600, 500);
    view.Frame();

    QImage image(view.size(), QImage::Format_ARGB32);
    view.render(&image);
    const QPoint online = view.GetProjection().ToScreen(east.fLatitude, east.fLongitude).toPoint();
    const QPoint offline = view.GetProjection().ToScreen(west.fLatitude, west.fLongitude).toPoint();
    EXPECT_TRUE(QRect(QPoint(), view.size()).contains(online));
    EXPECT_TRUE(QRect(QPoint(), view.size()).contains(offline));
    EXPECT_EQ(image.pixelColor(online + QPoint(0, 2)), MapView::ONLINE_COLOUR);
    EXPECT_EQ(image.pixelColor(offline + QPoint(0, 2)), MapView::OFFLINE_COLOUR);
    EXPECT_TRUE(view.ToolTipAt(offline).startsWith("Station West")) << view.ToolTipAt(offline).toStdString();
    EXPECT_TRUE(view.ToolTipAt(offline).contains("offline"));
    // Half-way to the emitter, across the date line.
    const Geodesy::Link link = Geodesy::Between(east.fLatitude, east.fLongitude, -16.0, -179.5);
    double latitude = 0.0;
    double longitude = 0.0;
    Geodesy::Direct(east.fLatitude, east.fLongitude, link.fAzimuth, link.fDistance / 2, latitude, longitude);
    EXPECT_LT(longitude, -179.0);
    const QPointF along = view.GetProjection().ToScreen(latitude, longitude);
    EXPECT_TRUE(view.ToolTipAt(along.toPoint()).startsWith("Line of bearing of East"))
        << view.ToolTipAt(along.toPoint()).toStdString();

    ASSERT_EQ(tab.GetStationList().rowCount(), 2);
    EXPECT_EQ(tab.GetStationList().item(0, 0)->text(), "East");
    EXPECT_EQ(tab.GetStationList().item(0, 2)->text(), "online");
    EXPECT_EQ(tab.GetStationList().item(1, 2)->text(), "offline");
}

/// Real programs publish to a real broker; the map listens with a session of its own.
class MapBrokerTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
        m_settings.nPort = m_broker.GetPort();
    }

    void TearDown() override
    {
        for (QProcess* pProcess : m_lstProcesses) {
            pProcess->kill();
            pProcess->waitForFinished(WAIT_MS);
        }
        qDeleteAll(m_lstProcesses);
        ConfigDirFixture::TearDown();
    }

    QProcess& Start(const QString& program, const QStringList& arguments)
    {
        auto* pProcess = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KVT_MODULE_DIR", ZOD_MODULE_DIR);
        pProcess->setProcessEnvironment(environment);
        m_lstProcesses << pProcess;
        pProcess->start(program, arguments);
        return *pProcess;
    }

    QString Mqtt() const { return QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()); }

    MosquittoBroker m_broker;
    MqttConnection::Settings m_settings;
    QTemporaryDir m_files;
    QList<QProcess*> m_lstProcesses;
};

// The station's process dies: the map sees it offline by its Last Will.
TEST_F(MapBrokerTest, AStationThatDiesShowsOfflineByItsLastWill)
{
    NetworkModel model;
    NetworkFeed feed(model);
    QSignalSpy offline(&model, &NetworkModel::StationWentOffline);
    ASSERT_TRUE(feed.Open(m_settings));
    EXPECT_TRUE(feed.GetClientId().startsWith("kvtconsole.map."));
    EXPECT_NE(NetworkFeed(model).GetClientId(), feed.GetClientId());

    QTemporaryDir output;
    m_helper.start(QStringLiteral(KVTSTATION_PATH),
                   {"--config-dir", m_dir.path(), "--output-dir", output.path(), "--seconds", "600", "--realtime",
                    "--mqtt", Mqtt()});
    const auto online = [&model] {
        for (const auto& entry : model.GetStations()) {
            if (entry.second.bOnline && entry.second.bHasBearing)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor(online, WAIT_MS)) << m_helper.readAllStandardError().constData();
    ::kill(static_cast<pid_t>(m_helper.processId()), SIGKILL);
    ASSERT_TRUE(m_helper.waitForFinished(WAIT_MS));
    // The broker notices the broken connection at the latest after its keepalive.
    ASSERT_TRUE(QTest::qWaitFor([&offline] { return offline.count() > 0; }, WAIT_MS));
    const QString name = offline.front().front().toString();
    EXPECT_FALSE(model.GetStations().at(name).bOnline);
}

// A careless or hostile client on an open broker: a flood of station names
// leaves at most the capacity on the map (the stalest forgotten, the newest
// kept), an oversized message is refused on arrival however well-formed, a
// status of a newer version or of another station is malformed, and a deleted
// (empty) retained status forgets the station without counting as malformed.
TEST_F(MapBrokerTest, JunkOnTheBrokerIsRefusedAndTheMapStaysBounded)
{
    NetworkModel model;
    NetworkFeed feed(model);
    ASSERT_TRUE(feed.Open(m_settings));
    MqttPeer rogue(m_broker.GetPort(), QStringLiteral("maptest-rogue"));
    // Once the map has this retained message, its subscriptions stand.
    ASSERT_TRUE(rogue.Send("kvt/zod/Probe/state", "online"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.GetGeneration() > 0; }, WAIT_MS));
    const int extra = 20;
    const int flood = static_cast<int>(NetworkModel::STATION_CAPACITY) + extra;
    for (int n = 0; n < flood; ++n) {
        const QByteArray name = "F" + QByteArray::number(n);
        const Site fake{name.constData(), 54.0 + n * 0.001, 10.0};
        ASSERT_TRUE(rogue.Send("kvt/stations/" + name + "/status", Status(fake, true), false));
    }
    const Site north{"North", 54.6, 10.2};
    QByteArray big = Status(north, true);
    big.insert(1, QByteArray(NetworkModel::MAX_MESSAGE_BYTES, ' '));
    ASSERT_TRUE(rogue.Send("kvt/stations/North/status", big, false));
    ASSERT_TRUE(rogue.Send("kvt/stations/North/status", Status(north, true).replace("\"v\":1", "\"v\":2"), false));
    ASSERT_TRUE(rogue.Send("kvt/stations/North/status", Status(north, true).replace("North", "South"), false));
    ASSERT_TRUE(rogue.Send("kvt/stations/North/status", Status(north, true), true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.GetStations().count("North") == 1; }, WAIT_MS));
    EXPECT_EQ(model.GetStations().size(), NetworkModel::STATION_CAPACITY);
    EXPECT_EQ(model.GetForgotten(), static_cast<quint64>(extra + 1));
    EXPECT_EQ(model.GetStations().count("F0"), 0u);
    EXPECT_EQ(model.GetStations().count(QStringLiteral("F%1").arg(flood - 1)), 1u);
    EXPECT_EQ(model.GetMalformed(), 3u);

    ASSERT_TRUE(rogue.Send("kvt/stations/North/status", QByteArray(), true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.GetStations().count("North") == 0; }, WAIT_MS));
    EXPECT_EQ(model.GetMalformed(), 3u);
}

// kvtfix's own messages: the fixes it publishes reach the map as it published
// them (flags included), a map that starts later gets each channel's retained
// latest fix and the service's status, and a killed kvtfix shows offline by
// its Last Will, after which the map makes its fixes itself.
TEST_F(MapBrokerTest, TheFixesKvtfixPublishesAppearAsPublished)
{
    NetworkModel model;
    NetworkFeed feed(model);
    QSignalSpy gone(&model, &NetworkModel::FusionWentOffline);
    ASSERT_TRUE(feed.Open(m_settings));
    MqttPeer probe(m_broker.GetPort(), QStringLiteral("maptest-probe"), QStringLiteral("kvt/fixes/+"));
    QProcess& fix = Start(QStringLiteral(KVTFIX_PATH), {"--mqtt", Mqtt(), "--publish", "--window", "5"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.GetFusion().bOnline; }, WAIT_MS))
        << fix.readAllStandardError().constData() << m_broker.GetLog().toStdString();
    EXPECT_EQ(model.GetFusion().strService, "kvtfix");

    // Two windows of three channels: one seen by three stations; one by two,
    // with a bearing each per window (fixes without redundancy, flagged);
    // one by three whose bearings alternate between two directions, taken
    // for two emitters (two fixes of one channel and time).
    MqttPeer stations(m_broker.GetPort(), QStringLiteral("maptest-stations"));
    const Site sites[] = {FusionTest::NORTH, FusionTest::SOUTH, FusionTest::WEST};
    for (int t = 0; t <= 10; ++t) {
        for (const Site& site : sites) {
            const QString topic = QStringLiteral("kvt/stations/%1/bearings").arg(site.pszName);
            const qint64 time = START + 1000LL * t;
            stations.m_connection.Publish(topic, Message(site, 3 * t + 1, time), 1, false);
            if (t % 5 == 0 && &site != &sites[2])
                stations.m_connection.Publish(topic, Message(site, 3 * t + 2, time, 52.43, 13.65, 433.92e6), 1, false);
            stations.m_connection.Publish(topic,
                             Message(site, 3 * t + 3, time, 52.43, 13.65, 868e6, t % 2 == 0 ? 6.0 : -6.0), 1,
                             false);
        }
    }
    const auto fixCount = [&probe] {
        return probe.History("kvt/fixes/145500000").size() + probe.History("kvt/fixes/433920000").size()
               + probe.History("kvt/fixes/868000000").size();
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return fixCount() >= 8 && model.GetFixes().size() == static_cast<std::size_t>(fixCount()); }, WAIT_MS))
        << fix.readAllStandardError().constData();
    EXPECT_TRUE(model.HasPublishedFixes());
    ASSERT_EQ(model.GetFixes().size(), static_cast<std::size_t>(fixCount()))
        << probe.History("kvt/fixes/868000000").join('\n').constData();
    bool bFlagged = false;
    for (const NetworkModel::MapFix& shown : model.GetFixes()) {
        const QString channel = QString::number(qRound64(shown.fix.fFrequency));
        const QByteArrayList messages = probe.History("kvt/fixes/" + channel);
        // Where and when it was published, exactly.
        const auto it = std::find_if(messages.begin(), messages.end(), [&shown](const QByteArray& payload) {
            const QJsonObject message = QJsonDocument::fromJson(payload).object();
            return QDateTime::fromString(message["time"].toString(), Qt::ISODateWithMs).toMSecsSinceEpoch()
                       == shown.fix.nEndMs
                   && message["latitude"].toDouble() == shown.fix.fLatitude
                   && message["longitude"].toDouble() == shown.fix.fLongitude;
        });
        ASSERT_NE(it, messages.end()) << channel.toStdString();
        const QJsonObject message = QJsonDocument::fromJson(*it).object();
        EXPECT_DOUBLE_EQ(shown.fix.ellipse.fSemiMajor, message["semiMajor"].toDouble());
        EXPECT_DOUBLE_EQ(shown.fix.ellipse.fSemiMinor, message["semiMinor"].toDouble());
        EXPECT_DOUBLE_EQ(shown.fix.ellipse.fOrientation, message["orientation"].toDouble());
        EXPECT_EQ(shown.fix.nStations, message["stations"].toInt());
        EXPECT_EQ(shown.fix.nBearings, message["bearings"].toInt());
        EXPECT_EQ(shown.fix.FlagNames(), message["flags"].toVariant().toStringList()) << it->constData();
        EXPECT_FALSE(shown.lstOutline.empty());
        bFlagged = bFlagged || shown.fix.nFlags != 0;
    }
    EXPECT_TRUE(bFlagged) << "the scattered channel's fixes carry flags";

    // Later: each channel's latest fix and the status, retained.
    NetworkModel late;
    NetworkFeed lateFeed(late);
    ASSERT_TRUE(lateFeed.Open(m_settings));
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.GetFixes().size() == 3 && late.GetFusion().bOnline; }, WAIT_MS));
    EXPECT_TRUE(late.HasPublishedFixes());

    // Killed without a word: the broker's Last Will says the service is gone.
    fix.kill();
    ASSERT_TRUE(fix.waitForFinished(WAIT_MS));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gone.count() > 0; }, WAIT_MS)) << m_broker.GetLog().toStdString();
    EXPECT_EQ(gone.front().front().toString(), "kvtfix");
    EXPECT_FALSE(model.HasPublishedFixes());
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.GetFusion().bKnown && !late.GetFusion().bOnline; }, WAIT_MS));
}

// Stations of a scenario on a real broker: the sender's handover enters the
// map's history with the follower that tuned to it, and marks the map.
TEST_F(MapBrokerTest, AHandoverIsListedWithTheReceiverThatTunedAndMarkedOnTheMap)
{
    for (const char* name : {"Boss", "Near"})
        ASSERT_TRUE(QDir().mkpath(m_files.filePath(QStringLiteral("config-") + name)));
    const QString scenario = m_files.filePath("network.json");
    ASSERT_TRUE(WriteFile(scenario, HANDOVER_NETWORK));
    const auto arguments = [&](const QString& name, const QStringList& extra) {
        return QStringList{"--config-dir", m_files.filePath("config-" + name), "--output-dir",
                           m_files.filePath("output-" + name), "--scenario", scenario,
                           "--station", name, "--mqtt", Mqtt()}
               << extra;
    };
    NetworkModel model;
    NetworkFeed feed(model);
    MapTab tab(model);
    tab.resize(1400, 800);
    ASSERT_TRUE(feed.Open(m_settings));
    ASSERT_TRUE(QTest::qWaitFor([&] { return feed.IsConnected(); }, WAIT_MS));

    QProcess& sender = Start(QStringLiteral(KVTSTATION_PATH), arguments("Boss", {"--seconds", "4", "--realtime"}));
    const auto handover = [&model]() -> const NetworkModel::Handover* {
        for (const NetworkModel::Handover& seen : model.GetHandovers()) {
            if (seen.strSender == "Boss" && seen.strTag == "FRQ")
                return &seen;
        }
        return nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return handover() != nullptr; }, WAIT_MS))
        << sender.readAllStandardError().constData();
    EXPECT_EQ(handover()->strValue, "145500000");
    // In real time, as the sender: a fast run could be over before its ZOD client has tuned it.
    QProcess& receiver = Start(QStringLiteral(KVTSTATION_PATH), arguments("Near", {"--seconds", "3", "--realtime"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return handover()->lstApplied.contains("Near"); }, WAIT_MS))
        << receiver.readAllStandardError().constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.state() == QProcess::NotRunning; }, WAIT_MS));
    EXPECT_EQ(receiver.exitCode(), 0) << receiver.readAllStandardError().constData();

    tab.Refresh();
    const QTableWidget& list = tab.GetHandoverList();
    int row = 0;
    while (row < list.rowCount() && list.item(row, 2)->text() != "FRQ")
        ++row;
    ASSERT_LT(row, list.rowCount());
    EXPECT_TRUE(list.item(row, 0)->text().startsWith("08:00:0")) << "the network's time of the handover";
    EXPECT_EQ(list.item(row, 1)->text(), "Boss");
    EXPECT_EQ(list.item(row, 3)->text(), "145.500 MHz");
    EXPECT_EQ(list.item(row, 4)->text(), "Near");

    // The ring about the sender, while the handover is recent.
    MapView& map = tab.GetMapView();
    map.grab();  // lays the hidden tab out
    map.Frame();
    ASSERT_LE(model.GetNowMs() - handover()->nTimeMs, MapView::HANDOVER_MARK_MS);
    const QImage image = map.grab().toImage();
    const QPoint boss = map.GetProjection().ToScreen(52.70, 13.40).toPoint();
    int ring = 0;
    for (int dx = -30; dx <= 30; ++dx) {
        const QColor colour = image.pixelColor(boss + QPoint(dx, 0));
        ring += colour.blue() > colour.green() + 10 && colour.red() > colour.green() ? 1 : 0;
    }
    EXPECT_GE(ring, 2) << "the ring crosses the row of the sender on either side " << boss.x() << "," << boss.y()
                       << " in " << map.width() << "x" << map.height();
    EXPECT_TRUE(map.ToolTipAt(boss).contains("Tuned to it: Near")) << map.ToolTipAt(boss).toStdString();
}

}
