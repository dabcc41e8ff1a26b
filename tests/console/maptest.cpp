#include "contract/bearingmessage.h"
#include "contract/stationstatus.h"
#include "fusion/geodesy.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/mosquittobroker.h"
#include "tools/kvtconsole/mapprojection.h"
#include "tools/kvtconsole/maptab.h"
#include "tools/kvtconsole/mapview.h"
#include "tools/kvtconsole/networkfeed.h"
#include "tools/kvtconsole/networkmodel.h"

#include <QDateTime>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

const int WAIT_MS = 60000;
const qint64 START = 1'765'094'400'000;  // 2025-12-07 08:00:00 UTC

struct Site
{
    const char* pszName;
    double fLatitude;
    double fLongitude;
};

/// A bearing from the site towards the point, as the station would publish it.
QByteArray BearingTowards(const Site& site, double latitude, double longitude, qint64 timeMs, qint64 seq)
{
    kvt::BearingRecord bearing;
    bearing.strStation = QString::fromLatin1(site.pszName);
    bearing.nSeq = seq;
    bearing.nTimeMs = timeMs;
    bearing.fLatitude = site.fLatitude;
    bearing.fLongitude = site.fLongitude;
    bearing.fBearing = Geodesy::Between(site.fLatitude, site.fLongitude, latitude, longitude).fAzimuth;
    bearing.fSigma = 1.0;
    bearing.fFrequency = 145.5e6;
    return kvt::BearingMessage::Format(bearing);
}

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
    EXPECT_EQ(handovers.count(), 1);
    // Two stations look at one emitter for longer than a window: the model fixes it itself.
    for (int t = 0; t <= 11; ++t) {
        for (const Site& site : {north, south})
            ASSERT_TRUE(model.HandleMessage(QStringLiteral("kvt/stations/%1/bearings").arg(site.pszName),
                                            BearingTowards(site, 54.4, 10.9, START + 1000LL * t, t + 1)));
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
    EXPECT_FALSE(model.HandleMessage("kvt/stations/West/bearings", BearingTowards(north, 54.4, 10.9, START, 99)));
    EXPECT_FALSE(model.HandleMessage("kvt/stations/North/status", R"({"latitude":95,"longitude":0,"online":true})"));
    EXPECT_FALSE(model.HandleMessage("other/topic", "x"));
    EXPECT_EQ(model.GetMalformed(), 5u);
    EXPECT_EQ(model.GetStations().size(), 2u);
}

TEST(MapViewTest, DrawsStationsByStateWithToolTipsAndListsThem)
{
    NetworkModel model;
    const Site east{"East", -16.5, 179.9};
    const Site west{"West", -16.8, -179.7};
    model.HandleMessage("kvt/stations/East/status", Status(east, true));
    model.HandleMessage("kvt/stations/West/status", Status(west, false));
    model.HandleMessage("kvt/stations/East/bearings", BearingTowards(east, -16.0, -179.5, START, 1));
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

/// A real station program publishes to a real broker; the map listens with a
/// session of its own and sees the station go offline by its Last Will when
/// the station's process dies.
class MapBrokerTest : public ConfigDirFixture
{
};

TEST_F(MapBrokerTest, AStationThatDiesShowsOfflineByItsLastWill)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    NetworkModel model;
    NetworkFeed feed(model);
    QSignalSpy offline(&model, &NetworkModel::StationWentOffline);
    MqttConnection::Settings settings;
    settings.nPort = broker.GetPort();
    ASSERT_TRUE(feed.Open(settings));
    EXPECT_TRUE(feed.GetClientId().startsWith("kvtconsole.map."));
    EXPECT_NE(NetworkFeed(model).GetClientId(), feed.GetClientId());

    QTemporaryDir output;
    m_helper.start(QStringLiteral(KVTSTATION_PATH),
                   {"--config-dir", m_dir.path(), "--output-dir", output.path(), "--seconds", "600", "--realtime",
                    "--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.GetPort())});
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

}
