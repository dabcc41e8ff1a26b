#include "fusion/fixestimator.h"
#include "tests/common/filecontent.h"
#include "tests/common/programrun.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tools/kvtfix/fixmap.h"
#include "tools/kvtfix/mapfiles.h"

#include <QDateTime>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>


namespace {

using FusionTest::Pointers;
using FusionTest::Site;
using FusionTest::Towards;

using FusionTest::NORTH;
using FusionTest::SOUTH;
using FusionTest::WEST;

class FixOutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_stations = {{"North", NORTH.fLatitude, NORTH.fLongitude},
                      {"West", WEST.fLatitude, WEST.fLongitude},
                      {"South", SOUTH.fLatitude, SOUTH.fLongitude}};
        for (const auto& truth : {std::make_pair(52.52, 13.405), std::make_pair(52.43, 13.30)}) {
            const std::vector<Bearing> bearings{Towards(NORTH, truth.first, truth.second, 0.5),
                                                Towards(WEST, truth.first, truth.second, -0.5),
                                                Towards(SOUTH, truth.first, truth.second)};
            m_fixes.push_back(FixEstimator().Estimate(Pointers(bearings)));
            ASSERT_TRUE(m_fixes.back().bValid);
        }
    }

    std::vector<FixGeometry::Station> m_stations;
    std::vector<Fix> m_fixes;
};

// GDAL reads back what the placemarks hold (antimeridian tests) whatever the namespace; stricter readers want 2.2.
TEST_F(FixOutputTest, KmlIsADocumentInTheKml22Namespace)
{
    QXmlStreamReader xml(MapFiles::Kml(m_stations, m_fixes));
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("kml"));
    EXPECT_EQ(xml.namespaceUri(), QLatin1String("http://www.opengis.net/kml/2.2"));
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("Document"));
}

TEST_F(FixOutputTest, MapShowsStationsFixesAndEllipses)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("map.png"));
    const FixMap map(QStringLiteral("test"), m_stations, m_fixes);
    QString error;
    ASSERT_TRUE(map.Save(file, error)) << error.toStdString();
    const QImage image(file);
    ASSERT_EQ(image.size(), QSize(FixMap::WIDTH, FixMap::HEIGHT));
    for (const FixGeometry::Station& station : m_stations) {
        const QPoint at = (map.ToPixel(station.fLatitude, station.fLongitude) + QPointF(0, 2)).toPoint();
        ASSERT_TRUE(image.rect().contains(at));
        EXPECT_EQ(image.pixelColor(at), FixMap::STATION_COLOUR) << station.strName.toStdString();
    }
    for (const Fix& fix : m_fixes) {
        const QPoint at = map.ToPixel(fix.fLatitude, fix.fLongitude).toPoint();
        EXPECT_EQ(image.pixelColor(at), FixMap::FIX_COLOUR);
        // Somewhere on the ellipse's major axis, just inside its end, lies its outline.
        const double reach = fix.ellipse.fSemiMajor;
        double latitude = 0.0, longitude = 0.0;
        Geodesy::Direct(fix.fLatitude, fix.fLongitude, fix.ellipse.fOrientation, reach, latitude, longitude);
        const QPointF end = map.ToPixel(latitude, longitude);
        bool outline = false;
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                const QColor colour = image.pixelColor((end + QPointF(dx, dy)).toPoint());
                outline = outline || (colour.blue() > colour.red() + 40 && colour.blue() > 120);
            }
        }
        EXPECT_TRUE(outline);
    }
    // The corner away from grid labels and scale bar stays paper.
    EXPECT_EQ(image.pixelColor(FixMap::WIDTH - 3, 40), QColor(Qt::white));
}

/// kvtfix as a user runs it.
class KvtFixTest : public ::testing::Test
{
protected:
    using Run = ProgramRun;
    static Run Fix(const QStringList& arguments) { return RunProgram(KVTFIX_PATH, arguments); }

    QTemporaryDir m_dir;
};

TEST_F(KvtFixTest, SimulatedScenarioGivesFixesFilesAndAnEvaluation)
{
    const QString geojson = m_dir.filePath("fixes.geojson"), kml = m_dir.filePath("fixes.kml"),
                  png = m_dir.filePath("fixes.png");
    const Run run = Fix({"--scenario", KVT_SOURCE_DIR "/scenarios/default.json", "--simulate", "200", "--evaluate",
                         "--json", "--geojson", geojson, "--kml", kml, "--plot", png});
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    EXPECT_EQ(summary.value("fixCount").toInt(), 40);
    const QJsonArray evaluation = summary.value("evaluation").toArray();
    ASSERT_EQ(evaluation.size(), 2);
    for (const QJsonValue& value : evaluation) {
        EXPECT_EQ(value.toObject().value("fixes").toInt(), 20);
        EXPECT_GT(value.toObject().value("ratio").toDouble(), 0.5);
        EXPECT_LT(value.toObject().value("ratio").toDouble(), 2.0);
    }
    EXPECT_FALSE(QImage(png).isNull());
    // The map files as GDAL reads them: four stations, and per fix three lines, the fix and its ellipse.
    for (const QString& file : {geojson, kml}) {
        const ProgramRun ogrinfo = RunProgram("ogrinfo", {"-ro", "-al", "-so", file});
        EXPECT_EQ(ogrinfo.nExitCode, 0) << "ogrinfo (gdal-bin): " << ogrinfo.stdErr.constData();
        EXPECT_TRUE(ogrinfo.stdOut.contains("Feature Count: 204")) << file.toStdString() << ogrinfo.stdOut.constData();
    }
    EXPECT_EQ(ReadFile(kml).count("<TimeStamp>"), 40 * 5);
    // Beside the KML, the link that keeps reloading it.
    const QString link = m_dir.filePath("fixes-live.kml");
    EXPECT_TRUE(ReadFile(link).contains("<href>fixes.kml</href>"));
    EXPECT_TRUE(ReadFile(link).contains("<refreshMode>onInterval</refreshMode>"));
    EXPECT_EQ(RunProgram("ogrinfo", {"-ro", "-so", link}).nExitCode, 0);
}

TEST_F(KvtFixTest, BadInputIsCountedByReasonAndUsageErrorsTouchNothing)
{
    // Two stations' message files: good lines, a duplicate, a line without position, a cut last line.
    const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
    for (const Site& site : {Site{"North", 52.7, 13.4}, Site{"West", 52.5, 13.0}}) {
        QByteArray lines;
        for (int seq = 1; seq <= 5; ++seq)
            lines += FusionTest::Message(site, seq, start + 1000 * seq, 52.5, 13.4, 145.5e6, 0.1 * seq - 0.3) + '\n';
        lines += R"({"station":"X","seq":1,"time":"2026-12-07T08:00:01.000Z","bearing":1,"sigma":1,"frequency":1})"
                 "\n";
        lines += FusionTest::Message(site, 5, start + 5000, 52.5, 13.4, 145.5e6, 30.0) + "\n{\"station\":";
        ASSERT_TRUE(WriteFile(m_dir.filePath(QStringLiteral("%1/bearings.jsonl").arg(site.pszName)), lines));
    }
    const QString geojson = m_dir.filePath("out.geojson");
    Run run = Fix({"--input", m_dir.filePath("North"), "--input", m_dir.filePath("West"), "--json"});
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    const QJsonObject bearings = summary.value("bearings").toObject();
    EXPECT_EQ(bearings.value("read").toInt(), 16);
    EXPECT_EQ(bearings.value("used").toInt(), 10);
    EXPECT_EQ(bearings.value("duplicates").toInt(), 2);
    EXPECT_EQ(bearings.value("reasons").toObject(), (QJsonObject{{"no position", 2}, {"cut line", 2}}));
    ASSERT_EQ(summary.value("fixCount").toInt(), 1);
    const QJsonObject fix = summary.value("fixes").toArray()[0].toObject();
    EXPECT_EQ(fix.value("bearings").toInt(), 10);
    EXPECT_NEAR(fix.value("longitude").toDouble(), 13.40, 0.01);

    run = Fix({"--input", m_dir.filePath("North"), "--geojson", geojson, "--window", "0"});
    EXPECT_EQ(run.nExitCode, 2);
    EXPECT_TRUE(run.stdErr.contains("--window must be a number")) << run.stdErr.constData();
    EXPECT_FALSE(QFile::exists(geojson));
    // Live outputs need a live input, and usable targets.
    const QString scenario = QStringLiteral(KVT_SOURCE_DIR "/scenarios/default.json");
    for (const QStringList& wrong : {QStringList{"--evaluate"}, QStringList{"--input", m_dir.filePath("nowhere")},
                                     QStringList{"--input", m_dir.filePath("North"), "--max-stations", "2.5"},
                                     QStringList{"--scenario", scenario, "--simulate", "10", "--publish"},
                                     QStringList{"--scenario", scenario, "--simulate", "10", "--cot", "udp://127.0.0.1:6969"},
                                     QStringList{"--mqtt", "127.0.0.1:1883", "--cot", "http://127.0.0.1:80"},
                                     QStringList{"--mqtt", "127.0.0.1:1883", "--cot", "tcp://takserver:8087"}})
        EXPECT_EQ(Fix(wrong).nExitCode, 2) << wrong.join(' ').toStdString();

    // A station the scenario rates at sigma 0 gives bearings no fix can weigh: refused as from a file.
    const QString sharp = m_dir.filePath("sharp.json");
    ASSERT_TRUE(WriteFile(sharp, ReadFile(scenario).replace("\"sigma\": 2.0", "\"sigma\": 0")));
    run = Fix({"--scenario", sharp, "--simulate", "10", "--json"});
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    EXPECT_EQ(QJsonDocument::fromJson(run.stdOut).object().value("bearings").toObject().value("reasons").toObject(),
              (QJsonObject{{"sigma out of range [0.01, 90]", 10}}));
}

}
