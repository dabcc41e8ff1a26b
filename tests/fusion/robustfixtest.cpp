// Fixes from bearings that do not all belong: wild and reflected bearings,
// stations offset as a whole, several emitters on one channel, a moving
// station alone, and the consistency test that keeps the ellipse honest.
#include "fusion/bearingsimulator.h"
#include "fusion/chisquare.h"
#include "fusion/fixestimator.h"
#include "fusion/fixevaluator.h"
#include "fusion/stationbearings.h"
#include "tests/fusion/fusiontesthelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace FusionTest;

/// Deterministic spread of ten bearings (degrees, mean 0, RMS 0.85).
const double SPREAD[] = {-1.2, 0.4, 0.9, -0.3, 1.5, -0.8, 0.1, -1.4, 0.7, 0.1};

/// Ten bearings of the site towards (latitude, longitude) with the spread.
void AddTen(std::vector<Bearing>& rBearings, const Site& site, double latitude = LAT, double longitude = LON,
            double offset = 0.0, double sigma = 1.0)
{
    for (double spread : SPREAD)
        rBearings.push_back(Towards(site, latitude, longitude, offset + sigma * spread, 0, sigma));
}

const FixRejection* RejectionOf(const Fix& fix, const char* station)
{
    for (const FixRejection& rejection : fix.lstRejections) {
        if (rejection.strStation == QLatin1String(station))
            return &rejection;
    }
    return nullptr;
}

std::vector<Bearing> FourStations()
{
    std::vector<Bearing> bearings;
    for (const Site& site : {Around("A", 0.0), Around("B", 95.0), Around("C", 185.0), Around("D", 275.0)})
        AddTen(bearings, site);
    return bearings;
}

TEST(ChiSquareTest, UpperTailMatchesTablesInBothRegimes)
{
    EXPECT_NEAR(ChiSquare::UpperTail(3.841459, 1), 0.05, 1e-6);
    EXPECT_NEAR(ChiSquare::UpperTail(5.991465, 2), 0.05, 1e-6);
    EXPECT_NEAR(ChiSquare::UpperTail(18.307038, 10), 0.05, 1e-6);
    // Two degrees of freedom: exactly exp(-x/2), below and above the switch of method.
    EXPECT_NEAR(ChiSquare::UpperTail(2.0, 2), std::exp(-1.0), 1e-12);
    EXPECT_NEAR(ChiSquare::UpperTail(10.0, 2), std::exp(-5.0), 1e-12);
    // Four: exp(-x/2) (1 + x/2).
    EXPECT_NEAR(ChiSquare::UpperTail(1.0, 4), std::exp(-0.5) * 1.5, 1e-12);
    EXPECT_NEAR(ChiSquare::UpperTail(400.0, 100), 1.0 - 1.0, 1e-12);
    EXPECT_EQ(ChiSquare::UpperTail(0.0, 3), 1.0);
    EXPECT_EQ(ChiSquare::UpperTail(5.0, 0), 1.0);
}

TEST(StationBearingsTest, GroupsByStationAndClustersAcrossNorth)
{
    std::vector<Bearing> bearings;
    for (double b : {359.0, 180.0, 1.0, 2.0, 90.0}) {
        Bearing bearing = Towards(NORTH, LAT, LON);
        bearing.fBearing = b;
        bearings.push_back(bearing);
        bearings.push_back(Towards(SOUTH, LAT, LON));
    }
    const StationBearings window(Pointers(bearings));
    ASSERT_EQ(window.GetStationCount(), 2);
    EXPECT_EQ(window.GetName(0), QStringLiteral("North"));
    EXPECT_EQ(window.End(0) - window.Begin(0), 5);
    EXPECT_EQ(window.Begin(1), 5);
    // In their order within the station.
    EXPECT_EQ(window.At(1).fBearing, 180.0);
    const std::vector<std::vector<int>> clusters = window.Clusters({0, 1, 2, 3, 4}, 2.5);
    ASSERT_EQ(clusters.size(), 3u);
    EXPECT_EQ(clusters[0].size(), 3u);
    EXPECT_EQ(window.At(clusters[0].front()).fBearing, 359.0);
    EXPECT_EQ(window.At(clusters[0].back()).fBearing, 2.0);
    // Just below and just above the gap of 2.5 sigmas.
    bearings[0].fBearing = 10.0;
    bearings[4].fBearing = 12.49;
    bearings[6].fBearing = 15.0;
    const StationBearings wider(Pointers(bearings));
    EXPECT_EQ(wider.Clusters({0, 2, 3}, 2.5).size(), 2u);
}

TEST(RobustFixTest, ResidualAndConsistencyOfAHandWorkedFix)
{
    // South sees +1 and -1 degree, West exactly: the fix is the truth and
    // the residuals are 1, -1, 0, 0 degrees.
    const Site south = Around("S", 180.0), west = Around("W", 270.0);
    const std::vector<Bearing> bearings{Towards(south, LAT, LON, 1.0), Towards(south, LAT, LON, -1.0),
                                        Towards(west, LAT, LON), Towards(west, LAT, LON)};
    const Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix), 0.5);
    EXPECT_NEAR(fix.fResidualRms, std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(fix.fChiSquare, 2.0, 2e-3);
    EXPECT_EQ(fix.nDegreesOfFreedom, 2);
    EXPECT_NEAR(fix.fPValue, std::exp(-1.0), 1e-3);
    EXPECT_EQ(fix.nFlags, 0u);
    EXPECT_EQ(fix.fWidening, 1.0);
    ASSERT_EQ(fix.lstLines.size(), 2u);
    EXPECT_EQ(fix.lstLines[0].nBearings, 2);
}

TEST(RobustFixTest, WildAndReflectedBearingsAreLeftOutAndCounted)
{
    std::vector<Bearing> bearings = FourStations();
    const Fix clean = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(clean.bValid);
    // Two wild bearings at A, a reflection 25 degrees off at B (three bearings).
    bearings.push_back(Towards(Around("A", 0.0), LAT, LON, 97.0));
    bearings.push_back(Towards(Around("A", 0.0), LAT, LON, -151.0));
    for (double spread : {0.3, -0.5, 0.2})
        bearings.push_back(Towards(Around("B", 95.0), LAT, LON, 25.0 + spread));
    // Either side of the three-sigma gate: kept at C, left out at D.
    bearings.push_back(Towards(Around("C", 185.0), LAT, LON, 2.7));
    bearings.push_back(Towards(Around("D", 275.0), LAT, LON, -3.3));
    const Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix, clean.fLatitude, clean.fLongitude), 100.0);
    EXPECT_EQ(fix.nBearings, 41);
    EXPECT_EQ(fix.RejectedCount(), 6);
    ASSERT_NE(RejectionOf(fix, "D"), nullptr);
    EXPECT_EQ(RejectionOf(fix, "D")->nWild, 1);
    const FixRejection* pA = RejectionOf(fix, "A");
    const FixRejection* pB = RejectionOf(fix, "B");
    ASSERT_TRUE(pA != nullptr && pB != nullptr);
    EXPECT_EQ(pA->nWild, 2);
    EXPECT_EQ(pB->nReflected, 3);
    EXPECT_EQ(pA->nOutvoted + pB->nOutvoted + pB->nWild + pA->nReflected, 0);
    EXPECT_FALSE(fix.nFlags & Fix::OUTVOTED);
    EXPECT_FALSE(fix.nFlags & Fix::INCONSISTENT);
}

TEST(RobustFixTest, AStationOffsetAsAWholeIsOutvotedAndNamed)
{
    std::vector<Bearing> bearings = FourStations();
    const Fix clean = FixEstimator().Estimate(Pointers(bearings));
    // E joins with a heading 20 degrees wrong.
    AddTen(bearings, Around("E", 140.0, 15000.0), LAT, LON, 20.0);
    Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix, clean.fLatitude, clean.fLongitude), 0.5);
    EXPECT_TRUE(fix.nFlags & Fix::OUTVOTED);
    EXPECT_EQ(fix.lstOutvoted, QStringList{QStringLiteral("E")});
    ASSERT_NE(RejectionOf(fix, "E"), nullptr);
    EXPECT_EQ(RejectionOf(fix, "E")->nOutvoted, 10);
    EXPECT_EQ(fix.nStations, 4);

    // Ten sharp bearings (0.2 degrees) of an unknown source pointing 8 km off move nothing either.
    bearings.resize(40);
    double latitude = 0.0, longitude = 0.0;
    Geodesy::Direct(LAT, LON, 60.0, 8000.0, latitude, longitude);
    AddTen(bearings, Around("X", 200.0, 10000.0), latitude, longitude, 0.0, 0.2);
    fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix, clean.fLatitude, clean.fLongitude), 0.5);
    EXPECT_EQ(fix.lstOutvoted, QStringList{QStringLiteral("X")});
    EXPECT_LT(fix.fChiSquare, 2.0 * fix.nDegreesOfFreedom);
}

TEST(RobustFixTest, InconsistentBearingsWidenTheEllipseByTheirScatter)
{
    // The bearings spread as sigma 1 but claim 0.6: still within the gate, not consistent.
    std::vector<Bearing> bearings;
    for (const Site& site : {Around("A", 0.0), Around("B", 120.0), Around("C", 240.0)})
        AddTen(bearings, site, LAT, LON, 0.0, 1.0);
    const Fix honest = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(honest.bValid);
    EXPECT_FALSE(honest.nFlags & Fix::INCONSISTENT);
    for (Bearing& bearing : bearings)
        bearing.fSigma = 0.6;
    const Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_EQ(fix.nBearings, 30);
    EXPECT_TRUE(fix.nFlags & Fix::INCONSISTENT);
    EXPECT_LT(fix.fPValue, 0.01);
    EXPECT_NEAR(fix.fWidening, std::sqrt(fix.fChiSquare / fix.nDegreesOfFreedom), 1e-12);
    // Widened to the scatter: about the ellipse the true sigmas give, not 0.6 of it.
    EXPECT_NEAR(fix.ellipse.fSemiMajor / honest.ellipse.fSemiMajor, 1.0, 0.15);

    // An emitter driving 1 km east during the window, seen across by two of
    // three stations with sigma 0.3: no tight ellipse either.
    std::vector<Bearing> moving;
    for (const Site& site : {Around("A", 0.0), Around("B", 180.0), Around("C", 300.0)}) {
        for (int i = 0; i < 10; ++i) {
            double latitude = 0.0, longitude = 0.0;
            Geodesy::Direct(LAT, LON, 90.0, 110.0 * i, latitude, longitude);
            moving.push_back(Towards(site, latitude, longitude, 0.0, 1000LL * i, 0.3));
        }
    }
    const Fix driving = FixEstimator().Estimate(Pointers(moving));
    ASSERT_TRUE(driving.bValid);
    EXPECT_TRUE(driving.nFlags & Fix::INCONSISTENT);
    EXPECT_GT(driving.fWidening, 1.5);
}

TEST(RobustFixTest, TwoEmittersOnOneChannelGetOneFixEachAndNoGhost)
{
    double latitude = 0.0, longitude = 0.0;
    Geodesy::Direct(LAT, LON, 70.0, 12000.0, latitude, longitude);
    std::vector<Bearing> bearings;
    for (const Site& site : {Around("A", 0.0, 25000.0), Around("B", 100.0, 30000.0), Around("C", 200.0, 25000.0),
                             Around("D", 290.0, 25000.0)}) {
        AddTen(bearings, site);
        AddTen(bearings, site, latitude, longitude);
    }
    bearings.push_back(Towards(Around("C", 200.0, 25000.0), LAT, LON, 60.0));
    const FixEstimator::Result result = FixEstimator().EstimateAll(Pointers(bearings));
    ASSERT_EQ(result.lstFixes.size(), 2u);
    EXPECT_EQ(result.nUnassigned, 1);
    const Fix& first = result.lstFixes[0];
    const Fix& second = result.lstFixes[1];
    const bool firstIsHere = Miss(first) < Miss(first, latitude, longitude);
    EXPECT_LT(firstIsHere ? Miss(first) : Miss(first, latitude, longitude), 300.0);
    EXPECT_LT(firstIsHere ? Miss(second, latitude, longitude) : Miss(second), 300.0);
    EXPECT_EQ(first.nBearings + second.nBearings, 80);
    EXPECT_EQ(first.nStations, 4);
    EXPECT_EQ(second.nStations, 4);
    // The single-emitter estimate takes the best one and leaves the other out.
    EXPECT_EQ(FixEstimator().Estimate(Pointers(bearings)).nBearings, first.nBearings);

    // Lines of one emitter from two stations only do not make a second fix.
    std::vector<Bearing> two(bearings.begin(), bearings.begin() + 20);
    for (int i = 20; i < 80; i += 20)
        two.insert(two.end(), bearings.begin() + i, bearings.begin() + i + 10);
    const FixEstimator::Result one = FixEstimator().EstimateAll(Pointers(two));
    ASSERT_EQ(one.lstFixes.size(), 1u);
    EXPECT_EQ(one.nUnassigned, 10);
}

TEST(RobustFixTest, OneMovingStationFixesOnceItsTrackIsLongEnough)
{
    // A vehicle drives east 15 km south of the emitter; a bearing every 100 m.
    const auto drive = [](double length) {
        std::vector<Bearing> bearings;
        const Site start = Around("V", 200.0, 15000.0);
        for (int i = 0; i * 100.0 <= length; ++i) {
            Site here{"V", 0.0, 0.0};
            Geodesy::Direct(start.fLatitude, start.fLongitude, 90.0, i * 100.0, here.fLatitude, here.fLongitude);
            bearings.push_back(Towards(here, LAT, LON, SPREAD[i % 10], 1000LL * i));
        }
        return bearings;
    };
    const std::vector<Bearing> longTrack = drive(4000.0);
    const Fix fix = FixEstimator().Estimate(Pointers(longTrack));
    ASSERT_TRUE(fix.bValid);
    EXPECT_TRUE(fix.nFlags & Fix::ONE_STATION);
    EXPECT_EQ(fix.nStations, 1);
    EXPECT_GT(fix.lstLines.size(), 5u);
    EXPECT_TRUE(ErrorEllipse::Contains(fix.covariance, 0.0, 0.0, 0.999) || Miss(fix) < fix.ellipse.fSemiMajor);
    // 400 m of track cross at about 1.5 degrees: not observable, no fix.
    EXPECT_FALSE(FixEstimator().Estimate(Pointers(drive(400.0))).bValid);
}

/// Four stations with the same faults, a reflection offset of their own each.
Scenario FaultyWorld(const char* faults)
{
    QStringList perStation;
    for (int i = 0; i < 4; ++i)
        perStation << QString::fromLatin1(faults).arg(15.0 + 8.0 * i);
    return OneEmitter({Around("A", 10.0), Around("B", 100.0, 30000.0), Around("C", 200.0), Around("D", 300.0)}, 1.5,
                      perStation);
}

/// 300 windows of ten seconds through the estimator and the evaluator.
FixEvaluator::EmitterResult Judge(const Scenario& scenario)
{
    FixEvaluator evaluator(scenario);
    BearingSimulator simulator(scenario, 7, 1.0);
    for (int window = 1; window <= 300; ++window) {
        const std::vector<Bearing> bearings = simulator.Generate(10.0);
        for (Fix& fix : FixEstimator().EstimateAll(Pointers(bearings)).lstFixes) {
            fix.fFrequency = 145.5e6;
            fix.nStartMs = scenario.GetStartMs() + 10000LL * (window - 1);
            fix.nEndMs = fix.nStartMs + 10000;
            evaluator.Add(fix);
        }
    }
    return evaluator.Results().front();
}

TEST(RobustFixTest, FaultyBearingsKeepTheErrorNearTheBoundAndTheEllipseHonest)
{
    // 300 fixes: the coverage's standard error is 1.3 %; the clean estimator
    // reaches 7-9 times the bound and 0-5 % coverage on these faults.
    for (const char* faults : {R"({"wild":0.1})", R"({"wild":0.25})", R"({"reflection":0.1,"reflectionOffset":%1})"}) {
        SCOPED_TRACE(faults);
        const FixEvaluator::EmitterResult result = Judge(FaultyWorld(faults));
        EXPECT_EQ(result.nWindows, 300);
        EXPECT_EQ(result.nFound, 300);
        EXPECT_EQ(result.nGhosts, 0);
        EXPECT_LT(result.fRatio, 1.6);
        EXPECT_GT(result.fCoverage, 0.88);
        EXPECT_LT(result.fCoverage, 0.99);
    }
}

TEST(FixEvaluatorTest, QuantilesCountsAndGhostsOfAHandMadeSample)
{
    EXPECT_EQ(FixEvaluator::Quantile({5.0, 1.0, 3.0, 2.0, 4.0}, 0.5), 3.0);
    EXPECT_NEAR(FixEvaluator::Quantile({5.0, 1.0, 3.0, 2.0, 4.0}, 0.95), 4.8, 1e-12);
    EXPECT_EQ(FixEvaluator::Quantile({4.0, 1.0, 3.0, 2.0}, 0.5), 2.5);
    EXPECT_EQ(FixEvaluator::Quantile({}, 0.5), 0.0);

    const Scenario scenario = OneEmitter({Around("A", 0.0), Around("B", 90.0)}, 1.0);
    FixEvaluator evaluator(scenario);
    const std::vector<Bearing> bearings{Towards(Around("A", 0.0), LAT, LON), Towards(Around("B", 90.0), LAT, LON)};
    Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    fix.fFrequency = 145.5e6;
    const auto at = [&fix, &scenario](int window, double east) {
        Fix moved = fix;
        moved.nEndMs = scenario.GetStartMs() + 10000LL * window;
        moved.nStartMs = moved.nEndMs - 10000;
        Geodesy::Direct(LAT, LON, 90.0, east, moved.fLatitude, moved.fLongitude);
        return moved;
    };
    // The bound of two lines at 20 km, 1 degree: 349 m per axis, median radius 411 m.
    evaluator.Add(at(1, 100.0));
    evaluator.Add(at(1, 50.0)); // a second fix of the same window
    evaluator.Add(at(2, 300.0));
    evaluator.Add(at(4, 20.0 * 420.0)); // beyond 20 bound radii
    evaluator.Add(at(5, 900.0));        // outside the 95 % ellipse (853 m)
    const FixEvaluator::EmitterResult result = evaluator.Results().front();
    EXPECT_EQ(result.nFixes, 3);
    EXPECT_EQ(result.nGhosts, 2);
    EXPECT_EQ(result.nWindows, 5);
    EXPECT_EQ(result.nFound, 3);
    EXPECT_NEAR(result.fMedianError, 300.0, 1.0);
    EXPECT_NEAR(result.fError95, 300.0 + 0.9 * 600.0, 1.0);
    EXPECT_NEAR(result.fCoverage, 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(result.fBound, 349.1 * std::sqrt(2.0 * std::log(2.0)), 2.0);
}

TEST(ScenarioFaultsTest, TracksTurnsAndFaultsReadAndAct)
{
    QByteArray text = R"({"start":"2026-12-07T08:00:00Z","emitters":[{"name":"E","latitude":52.5,"longitude":13.4,
        "frequency":1e8,"bandwidth":1e4,"on":0,"off":100,"cycle":10,"talk":4,"phase":2}],
        "stations":[{"name":"V","latitude":52.4,"longitude":13.4,"heading":0,"sigma":1,"frequencyMin":1,
        "frequencyMax":1e9,"role":"receiver","track":{"course":90,"speed":10,"length":1000},
        "faults":{"wild":0.5,"future":0.5,"futureSeconds":65}}]})";
    Scenario scenario;
    QString error;
    ASSERT_TRUE(scenario.Parse(text, error)) << error.toStdString();
    const Scenario::Emitter& emitter = scenario.GetEmitters().front();
    EXPECT_FALSE(emitter.IsOn(1.9));
    EXPECT_TRUE(emitter.IsOn(2.0));
    EXPECT_TRUE(emitter.IsOn(15.9));
    EXPECT_FALSE(emitter.IsOn(16.0));
    EXPECT_FALSE(emitter.IsOn(102.5));
    const Scenario::Station& station = scenario.GetStations().front();
    double latitude = 0.0, longitude = 0.0;
    station.PositionAt(70.0, latitude, longitude);
    EXPECT_NEAR(Geodesy::Between(52.4, 13.4, latitude, longitude).fDistance, 700.0, 0.01);
    station.PositionAt(130.0, latitude, longitude); // 1300 m driven: 700 m out on the way back
    EXPECT_NEAR(Geodesy::Between(52.4, 13.4, latitude, longitude).fDistance, 700.0, 0.01);

    BearingSimulator simulator(scenario, 3, 10.0);
    int wild = 0, future = 0, count = 0;
    for (const Bearing& bearing : simulator.Generate(100.0)) {
        ++count;
        const double t = static_cast<double>(bearing.nTimeMs - scenario.GetStartMs()) / 1000.0;
        future += t >= 100.0 || !emitter.IsOn(t) ? 1 : 0;
        const double truth = Geodesy::Between(bearing.fLatitude, bearing.fLongitude, 52.5, 13.4).fAzimuth;
        wild += std::abs(Geodesy::WrapDifference(bearing.fBearing - truth)) > 5.0 ? 1 : 0;
    }
    EXPECT_EQ(count, 400);
    EXPECT_NEAR(wild, 0.5 * 0.97 * count, 40);
    EXPECT_NEAR(future, 0.5 * count, 40);

    const QByteArray tooMuch = QByteArray(text).replace(R"("wild":0.5)", R"("wild":0.5,"reflection":0.6)");
    EXPECT_FALSE(scenario.Parse(tooMuch, error));
    EXPECT_TRUE(error.contains(QStringLiteral("reflection"))) << error.toStdString();
}

}
