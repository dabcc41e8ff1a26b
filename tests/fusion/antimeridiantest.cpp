#include "fusion/fixestimator.h"
#include "tests/common/programrun.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tools/kvtfix/fixgeometrycut.h"
#include "tools/kvtfix/fixmap.h"
#include "tools/kvtfix/mapfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <map>

namespace {

using FixGeometry::Parts;
using FixGeometry::Point;
using FusionTest::Miss;
using FusionTest::Pointers;
using FusionTest::Site;
using FusionTest::Towards;

/// Twice the signed area of a closed ring of (latitude, longitude) points; positive when counter-clockwise.
double Area(const std::vector<Point>& ring)
{
    double area = 0.0;
    for (size_t i = 0; i + 1 < ring.size(); ++i)
        area += ring[i].second * ring[i + 1].first - ring[i + 1].second * ring[i].first;
    return area;
}

void ExpectPoints(const std::vector<Point>& actual, const std::vector<Point>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].first, expected[i].first, 1e-9) << i;
        EXPECT_NEAR(actual[i].second, expected[i].second, 1e-9) << i;
    }
}

/// Longitudes within [-180, 180], latitudes within [-90, 90], no more than 180° of longitude across.
void ExpectSane(const std::vector<Point>& part, const std::string& what)
{
    ASSERT_FALSE(part.empty()) << what;
    double west = part.front().second, east = west;
    for (const Point& point : part) {
        EXPECT_TRUE(point.first >= -90.0 && point.first <= 90.0) << what << " latitude " << point.first;
        EXPECT_TRUE(point.second >= -180.0 && point.second <= 180.0) << what << " longitude " << point.second;
        west = std::min(west, point.second);
        east = std::max(east, point.second);
    }
    EXPECT_LE(east - west, 180.0) << what;
}

TEST(AntimeridianCutTest, LinesEndAndStartOnTheAntimeridianWhereTheyCrossIt)
{
    const Parts east = FixGeometry::CutLine({{10.0, 179.0}, {10.5, 179.8}, {11.0, -179.6}, {11.5, -179.0}});
    ASSERT_EQ(east.size(), 2u);
    ExpectPoints(east[0], {{10.0, 179.0}, {10.5, 179.8}, {10.5 + 0.5 / 3.0, 180.0}});
    ExpectPoints(east[1], {{10.5 + 0.5 / 3.0, -180.0}, {11.0, -179.6}, {11.5, -179.0}});
    const Parts west = FixGeometry::CutLine({{0.0, -179.5}, {1.0, 179.5}, {2.0, 178.0}});
    ASSERT_EQ(west.size(), 2u);
    ExpectPoints(west[0], {{0.0, -179.5}, {0.5, -180.0}});
    ExpectPoints(west[1], {{0.5, 180.0}, {1.0, 179.5}, {2.0, 178.0}});
    // A point on the antimeridian ends the part; the next starts there on the other side.
    EXPECT_EQ(FixGeometry::CutLine({{0.0, 179.0}, {0.0, 180.0}, {0.0, -179.0}}),
              (Parts{{{0.0, 179.0}, {0.0, 180.0}}, {{0.0, -180.0}, {0.0, -179.0}}}));
    // Starting on the antimeridian eastwards leaves nothing on its west side.
    EXPECT_EQ(FixGeometry::CutLine({{0.0, 180.0}, {0.0, -179.0}}), (Parts{{{0.0, -180.0}, {0.0, -179.0}}}));
    // Across 0° nothing is cut.
    const std::vector<Point> greenwich{{51.0, -0.5}, {51.5, 0.5}};
    EXPECT_EQ(FixGeometry::CutLine(greenwich), Parts{greenwich});
    EXPECT_TRUE(FixGeometry::CutLine({}).empty());
}

TEST(AntimeridianCutTest, RingsAreCutIntoCounterClockwisePiecesAndPolarCapsReachThePole)
{
    // A square of two degrees about (0, 180), counter-clockwise.
    const Parts square =
        FixGeometry::CutRing({{-1.0, 179.0}, {-1.0, -179.0}, {1.0, -179.0}, {1.0, 179.0}, {-1.0, 179.0}});
    ASSERT_EQ(square.size(), 2u);
    for (const std::vector<Point>& piece : square) {
        ExpectSane(piece, "square");
        EXPECT_EQ(piece.front(), piece.back());
        EXPECT_DOUBLE_EQ(Area(piece), 4.0);
        const double sign = piece[1].second > 0.0 ? 1.0 : -1.0;
        for (const Point& point : piece)
            EXPECT_GE(sign * point.second, 179.0);
    }
    // Clockwise in, counter-clockwise out; not crossing: the ring itself.
    const std::vector<Point> clockwise{{0.0, 10.0}, {1.0, 10.0}, {1.0, 11.0}, {0.0, 11.0}, {0.0, 10.0}};
    const Parts one = FixGeometry::CutRing(clockwise);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (std::vector<Point>{{0.0, 11.0}, {1.0, 11.0}, {1.0, 10.0}, {0.0, 10.0}, {0.0, 11.0}}));

    // Round the north pole at 85°: the cap, cut at 180° and 0° (not at -170°, where the ring starts).
    std::vector<Point> circle;
    for (int longitude = -170; longitude <= 190; longitude += 10)
        circle.emplace_back(85.0, Geodesy::WrapDifference(longitude));
    const Parts cap = FixGeometry::CutRing(circle);
    ASSERT_EQ(cap.size(), 2u);
    double area = 0.0;
    for (const std::vector<Point>& piece : cap) {
        ExpectSane(piece, "cap");
        EXPECT_EQ(piece.front(), piece.back());
        EXPECT_GT(Area(piece), 0.0);
        area += Area(piece);
        EXPECT_TRUE(std::any_of(piece.begin(), piece.end(), [](const Point& p) { return p.first == 90.0; }));
    }
    EXPECT_NEAR(area, 2.0 * 360.0 * 5.0, 1e-6);
    // Round the south pole, the cap reaches down to it.
    for (Point& point : circle)
        point.first = -point.first;
    for (const std::vector<Point>& piece : FixGeometry::CutRing(circle)) {
        EXPECT_GT(Area(piece), 0.0);
        EXPECT_TRUE(std::any_of(piece.begin(), piece.end(), [](const Point& p) { return p.first == -90.0; }));
    }
    EXPECT_TRUE(FixGeometry::CutRing({{0.0, 0.0}, {1.0, 1.0}, {0.0, 0.0}}).empty());
}

/// Stations and fixes about the antimeridian (around Fiji) and about the north pole.
class AnywhereTest : public ::testing::Test
{
protected:
    void Place(const std::vector<Site>& sites, double latitude, double longitude)
    {
        std::vector<Bearing> bearings;
        double offset = 0.5;
        for (const Site& site : sites) {
            bearings.push_back(Towards(site, latitude, longitude, offset));
            offset -= 0.5;
        }
        m_fixes.push_back(FixEstimator().Estimate(Pointers(bearings)));
        ASSERT_TRUE(m_fixes.back().bValid) << latitude << " " << longitude;
        EXPECT_LT(Miss(m_fixes.back(), latitude, longitude), 10000.0);
    }

    void SetUp() override
    {
        const std::vector<Site> fiji{{"Suva", -18.14, 178.44}, {"Taveuni", -16.80, -179.95}, {"Lakeba", -18.20, -178.80}};
        const std::vector<Site> pole{{"Alert", 89.5, 0.0}, {"Barneo", 89.5, 120.0}, {"Borneo", 89.5, -120.0}};
        for (const Site& site : {fiji[0], fiji[1], fiji[2], pole[0], pole[1], pole[2]})
            m_stations.push_back({site.pszName, site.fLatitude, site.fLongitude});
        Place(fiji, -17.3, 179.999);
        Place(fiji, -17.6, -179.9995);
        Place(fiji, -17.0, 179.2);
        // Close enough to the pole for the ellipse to hold it.
        Place(pole, 89.995, 30.0);
        Place(pole, 89.8, -150.0);
    }

    std::vector<FixGeometry::Station> m_stations;
    std::vector<Fix> m_fixes;
};

/// The parts of a GeoJSON geometry as (latitude, longitude) points.
Parts GeoJsonParts(const QJsonObject& geometry)
{
    const QString type = geometry.value("type").toString();
    QJsonArray lists = geometry.value("coordinates").toArray();
    if (type == QLatin1String("Point"))
        lists = QJsonArray{QJsonArray{lists}};
    else if (type == QLatin1String("LineString") || type == QLatin1String("Polygon"))
        lists = QJsonArray{lists};
    Parts parts;
    for (const QJsonValue& list : lists) {
        const QJsonArray positions = type.endsWith(QLatin1String("Polygon")) ? list.toArray()[0].toArray() : list.toArray();
        parts.emplace_back();
        for (const QJsonValue& position : positions)
            parts.back().emplace_back(position.toArray()[1].toDouble(), position.toArray()[0].toDouble());
    }
    return parts;
}

TEST_F(AnywhereTest, GeoJsonGeometriesAreCutAtTheAntimeridianAndStayOnTheGlobe)
{
    // An ellipse without finite axes is left out; its fix is not.
    m_fixes.push_back(m_fixes.front());
    m_fixes.back().ellipse.fSemiMajor = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(FixGeometry::Ellipse(m_fixes.back()).empty());
    const QJsonDocument document = QJsonDocument::fromJson(MapFiles::GeoJson(m_stations, m_fixes));
    EXPECT_EQ(document.object().value("type").toString(), QStringLiteral("FeatureCollection"));
    std::map<QString, int> types, kinds;
    for (const QJsonValue& value : document.object().value("features").toArray()) {
        EXPECT_EQ(value.toObject().value("type").toString(), QStringLiteral("Feature"));
        const QJsonObject properties = value.toObject().value("properties").toObject();
        const QString kind = properties.value("kind").toString();
        ++kinds[kind];
        EXPECT_TRUE(kind != QLatin1String("fix")
                    || (properties.value("stations").toInt() == 3 && properties.contains("semiMajor")));
        const QJsonObject geometry = value.toObject().value("geometry").toObject();
        const QString type = geometry.value("type").toString();
        ++types[type];
        for (const std::vector<Point>& part : GeoJsonParts(geometry)) {
            ExpectSane(part, type.toStdString());
            if (type.endsWith(QLatin1String("Polygon"))) {
                EXPECT_EQ(part.front(), part.back());
                EXPECT_GT(Area(part), 0.0);
            }
        }
    }
    // Bearing lines from Suva eastwards and from the other two westwards cross; two ellipses do; the polar cap.
    EXPECT_GE(types["MultiLineString"], 6);
    EXPECT_EQ(types["MultiPolygon"], 3);
    EXPECT_EQ(types["Point"], 6 + 6);
    EXPECT_EQ(types["LineString"] + types["MultiLineString"], 18);
    EXPECT_EQ(types["Polygon"] + types["MultiPolygon"], 5);
    EXPECT_EQ(kinds, (std::map<QString, int>{{"station", 6}, {"bearing", 18}, {"fix", 6}, {"ellipse", 5}}));
}

/// The parts of every geometry ogrinfo reads from a file, as (latitude,
/// longitude) points, by geometry type; empty when ogrinfo failed.
std::map<QString, Parts> OgrParts(const QString& file, QString& rErrors)
{
    const ProgramRun run = RunProgram("ogrinfo", {"-ro", "-al", file});
    rErrors = QString::fromUtf8(run.stdErr);
    if (run.nExitCode != 0)
        return {};
    std::map<QString, Parts> parts;
    const QRegularExpression geometry(QStringLiteral("^  ([A-Z]+)(?: Z)? (\\(.*\\))$"), QRegularExpression::MultilineOption);
    const QRegularExpression list(QStringLiteral("\\(([^()]*)\\)"));
    for (auto it = geometry.globalMatch(QString::fromUtf8(run.stdOut)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        for (auto lists = list.globalMatch(match.captured(2)); lists.hasNext();) {
            parts[match.captured(1)].emplace_back();
            for (const QString& position : lists.next().captured(1).split(QLatin1Char(','))) {
                const QStringList numbers = position.trimmed().split(QLatin1Char(' '));
                parts[match.captured(1)].back().emplace_back(numbers.value(1).toDouble(), numbers.value(0).toDouble());
            }
        }
    }
    return parts;
}

TEST_F(AnywhereTest, OgrinfoReadsTheGeoJsonAndTheKmlAsCutGeometries)
{
    if (QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty())
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    QTemporaryDir dir;
    QString error;
    const QString geojson = dir.filePath("fixes.geojson"), kml = dir.filePath("fixes.kml");
    ASSERT_TRUE(MapFiles::Save(geojson, MapFiles::GeoJson(m_stations, m_fixes), error));
    ASSERT_TRUE(MapFiles::Save(kml, MapFiles::Kml(m_stations, m_fixes), error));
    for (const QString& file : {geojson, kml}) {
        QString errors;
        const std::map<QString, Parts> parts = OgrParts(file, errors);
        EXPECT_FALSE(errors.contains(QLatin1String("ERROR"))) << errors.toStdString();
        ASSERT_EQ(parts.count("MULTILINESTRING"), 1u) << file.toStdString() << errors.toStdString();
        ASSERT_EQ(parts.count("MULTIPOLYGON"), 1u) << file.toStdString();
        // Three polygons cut in two each.
        EXPECT_EQ(parts.at("MULTIPOLYGON").size(), 6u);
        EXPECT_EQ(parts.at("POINT").size(), 11u);
        for (const auto& type : parts) {
            for (const std::vector<Point>& part : type.second)
                ExpectSane(part, (file + QLatin1Char(' ') + type.first).toStdString());
        }
    }
}

TEST_F(AnywhereTest, TheMapCentresOnTheDataAndLabelsTheGlobesDegrees)
{
    // Fiji alone: the middle lies on the antimeridian, not at 0° between its ends.
    const std::vector<FixGeometry::Station> fiji(m_stations.begin(), m_stations.begin() + 3);
    const std::vector<Fix> fijiFixes(m_fixes.begin(), m_fixes.begin() + 3);
    const FixMap map(QStringLiteral("fiji"), fiji, fijiFixes);
    EXPECT_GT(std::abs(map.GetCentreLongitude()), 179.0);
    for (const FixGeometry::Station& station : fiji) {
        const QPointF at = map.ToPixel(station.fLatitude, station.fLongitude);
        EXPECT_TRUE(QRectF(0, 0, FixMap::WIDTH, FixMap::HEIGHT).contains(at)) << station.strName.toStdString();
    }
    const FixMap::Grid grid = map.GetGrid();
    ASSERT_GE(grid.lstLongitudes.size(), 3u);
    bool across = false;
    for (int i = 0; i < grid.lstLongitudeLabels.size(); ++i) {
        const double label = grid.lstLongitudeLabels[i].chopped(1).toDouble();
        EXPECT_TRUE(label > -180.0 && label <= 180.0) << grid.lstLongitudeLabels[i].toStdString();
        EXPECT_DOUBLE_EQ(Geodesy::WrapDifference(grid.lstLongitudes[static_cast<size_t>(i)] - label), 0.0);
        if (i > 0) {
            EXPECT_GT(grid.lstLongitudes[static_cast<size_t>(i)], grid.lstLongitudes[static_cast<size_t>(i) - 1]);
            across = across || label < grid.lstLongitudeLabels[i - 1].chopped(1).toDouble();
        }
    }
    EXPECT_TRUE(across);

    // About the pole: no latitude beyond it.
    const std::vector<FixGeometry::Station> pole(m_stations.begin() + 3, m_stations.end());
    const std::vector<Fix> poleFixes(m_fixes.begin() + 3, m_fixes.end());
    const FixMap polar(QStringLiteral("pole"), pole, poleFixes);
    const FixMap::Grid polarGrid = polar.GetGrid();
    ASSERT_FALSE(polarGrid.lstLatitudes.empty());
    for (int i = 0; i < polarGrid.lstLatitudeLabels.size(); ++i) {
        EXPECT_LE(polarGrid.lstLatitudes[static_cast<size_t>(i)], 90.0);
        EXPECT_LE(polarGrid.lstLatitudeLabels[i].chopped(1).toDouble(), 90.0);
    }
    for (const QString& label : polarGrid.lstLongitudeLabels)
        EXPECT_TRUE(label.chopped(1).toDouble() > -180.0 && label.chopped(1).toDouble() <= 180.0);
}

}
