#include "fusion/bearingsimulator.h"
#include "fusion/errorellipse.h"
#include "fusion/fixestimator.h"
#include "fusion/fixevaluator.h"
#include "tests/fusion/fusiontesthelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace FusionTest;

constexpr double DEGREE = M_PI / 180.0;

TEST(ErrorEllipseTest, AxesOrientationAndContainmentFollowTheCovariance)
{
    Eigen::Matrix2d covariance;
    covariance << 4.0, 0.0, 0.0, 1.0; // east 2 m, north 1 m
    const ErrorEllipse ellipse = ErrorEllipse::FromCovariance(covariance, 0.95);
    EXPECT_NEAR(ellipse.fSemiMajor, 2.0 * std::sqrt(5.9915), 1e-3);
    EXPECT_NEAR(ellipse.fSemiMinor, std::sqrt(5.9915), 1e-3);
    EXPECT_NEAR(ellipse.fOrientation, 90.0, 1e-9);
    EXPECT_TRUE(ErrorEllipse::Contains(covariance, 4.8, 0.0, 0.95));
    EXPECT_FALSE(ErrorEllipse::Contains(covariance, 0.0, 2.5, 0.95));

    covariance << 2.5, 1.5, 1.5, 2.5; // major axis north-east
    EXPECT_NEAR(ErrorEllipse::FromCovariance(covariance, 0.95).fOrientation, 45.0, 1e-9);
    // The median radius of a circular unit Gaussian is sqrt(2 ln 2) (Rayleigh).
    EXPECT_NEAR(ErrorEllipse::MedianRadius(Eigen::Matrix2d::Identity()), std::sqrt(2.0 * std::log(2.0)), 1e-6);

    const ErrorEllipse flat = ErrorEllipse::FromCovariance(Eigen::Matrix2d::Zero(), 0.95);
    EXPECT_TRUE(std::isinf(flat.fSemiMajor));
    EXPECT_TRUE(flat.Outline(16).empty());
}

TEST(ErrorEllipseTest, OutlineIsClosedCounterClockwiseAndOnTheEllipse)
{
    const ErrorEllipse ellipse{30.0, 10.0, 60.0};
    const auto outline = ellipse.Outline(36);
    ASSERT_EQ(outline.size(), 37u);
    EXPECT_EQ(outline.front(), outline.back());
    double area = 0.0;
    for (size_t i = 0; i + 1 < outline.size(); ++i)
        area += outline[i].first * outline[i + 1].second - outline[i + 1].first * outline[i].second;
    EXPECT_NEAR(area / 2.0, M_PI * 30.0 * 10.0, 0.02 * M_PI * 300.0);
    EXPECT_NEAR(std::hypot(outline[0].first, outline[0].second), 30.0, 1e-9);
    EXPECT_NEAR(std::atan2(outline[0].first, outline[0].second) / DEGREE, 60.0, 1e-9);
}

TEST(FixEstimatorTest, TwoStationsAtRightAnglesMeetOnTheEmitterWithARoundEllipse)
{
    const std::vector<Bearing> bearings{Towards(Around("S", 180.0), LAT, LON), Towards(Around("W", 270.0), LAT, LON)};
    const Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix), 0.05);
    EXPECT_EQ(fix.nStations, 2);
    EXPECT_EQ(fix.nFlags, unsigned(Fix::TOO_FEW_BEARINGS));
    // Each line pins the fix across itself to sigma times the distance; the
    // major axis is stretched by at most 1 / (1 - axis / distance) for the lines' fanning out.
    const double expected = std::sqrt(5.9915) * 1.0 * DEGREE * 20000.0;
    EXPECT_GT(fix.ellipse.fSemiMajor, 0.99 * expected);
    EXPECT_LT(fix.ellipse.fSemiMajor, expected / (1.0 - expected / 20000.0));
    EXPECT_NEAR(fix.ellipse.fSemiMinor, expected, 0.01 * expected);
}

TEST(FixEstimatorTest, ThreeStationsFindTheEmitterAndReportTheResidual)
{
    std::vector<Bearing> bearings{Towards(Around("A", 10.0), LAT, LON), Towards(Around("B", 130.0), LAT, LON),
                                  Towards(Around("C", 250.0), LAT, LON)};
    Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix), 0.05);
    EXPECT_NEAR(fix.fResidualRms, 0.0, 1e-6);
    EXPECT_EQ(fix.nFlags, 0u);
    EXPECT_EQ(fix.nBearings, 3);

    // One line turned by 2 degrees: the fix moves, the residual shows it.
    bearings[0] = Towards(Around("A", 10.0), LAT, LON, 2.0);
    fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_GT(Miss(fix), 50.0);
    EXPECT_GT(fix.fResidualRms, 0.3);
    EXPECT_GT(fix.fChiSquare, 1.0);
}

TEST(FixEstimatorTest, PoorGeometriesAreFlaggedOrRefused)
{
    // Two stations on the emitter's line look along one line: no crossing at all.
    const std::vector<Bearing> inLine{Towards(Around("W", 270.0), LAT, LON), Towards(Around("E", 90.0), LAT, LON)};
    EXPECT_FALSE(FixEstimator().Estimate(Pointers(inLine)).bValid);

    // A third station crossing that line at about its sigma leaves the range
    // open (the ellipse would reach past the stations): no fix. One crossing
    // at 8 degrees makes a near-parallel fix, one at 90 degrees a good one.
    std::vector<Bearing> bearings = inLine;
    bearings.push_back(Towards(Around("W2", 270.0 + 1.0), LAT, LON));
    EXPECT_FALSE(FixEstimator().Estimate(Pointers(bearings)).bValid);
    bearings.back() = Towards(Around("W2", 270.0 + 8.0), LAT, LON);
    Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_TRUE(fix.nFlags & Fix::NEAR_PARALLEL);
    bearings.push_back(Towards(Around("S", 180.0), LAT, LON));
    fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_FALSE(fix.nFlags & Fix::NEAR_PARALLEL);
    EXPECT_LT(Miss(fix), 0.05);

    // A station looking away from where the others meet is left out of the fix...
    const std::vector<Bearing> away{Towards(Around("S", 180.0), LAT, LON, 180.0), Towards(Around("W", 270.0), LAT, LON),
                                    Towards(Around("N", 0.0), LAT, LON)};
    fix = FixEstimator().Estimate(Pointers(away));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix), 0.05);
    EXPECT_FALSE(fix.nFlags & Fix::BEHIND_STATION);
    ASSERT_EQ(fix.lstRejections.size(), 1u);
    EXPECT_EQ(fix.lstRejections.front().nWild, 1);
    // ... and two lines crossing behind one of them are no fix.
    EXPECT_FALSE(FixEstimator().Estimate(Pointers({away[0], away[1]})).bValid);

    // One station alone is no fix, however many bearings it has.
    const std::vector<Bearing> alone{Towards(Around("S", 180.0), LAT, LON), Towards(Around("S", 180.0), LAT, LON, 1.0)};
    EXPECT_FALSE(FixEstimator().Estimate(Pointers(alone)).bValid);
}

TEST(FixEstimatorTest, EllipseCoversTheTruthAtTheAdvertisedRateAndErrorsMeetTheBound)
{
    const Scenario scenario = OneEmitter({Around("A", 0.0), Around("B", 110.0), Around("C", 230.0)}, 2.0);
    ASSERT_EQ(scenario.GetStations().size(), 3u);
    FixEvaluator evaluator(scenario);
    const FixEstimator estimator;
    for (quint64 seed = 1; seed <= 300; ++seed) {
        BearingSimulator simulator(scenario, seed, 1.0);
        const std::vector<Bearing> bearings = simulator.Generate(5.0);
        Fix fix = estimator.Estimate(Pointers(bearings));
        ASSERT_TRUE(fix.bValid);
        fix.fFrequency = 145.5e6;
        fix.nEndMs = scenario.GetStartMs() + 10000LL * static_cast<qint64>(seed);
        fix.nStartMs = fix.nEndMs - 10000;
        evaluator.Add(fix);
    }
    const FixEvaluator::EmitterResult result = evaluator.Results().front();
    EXPECT_EQ(result.nFixes, 300);
    // 300 fixes: the coverage's standard error is about 1.3 %.
    EXPECT_GT(result.fCoverage, 0.91);
    EXPECT_LT(result.fCoverage, 0.99);
    EXPECT_GT(result.fRatio, 0.85);
    EXPECT_LT(result.fRatio, 1.2);
    EXPECT_GT(result.fError95, result.fMedianError);
}

/// Windows of five seconds of the scenario (sigma 1) whose fix's ellipse misses the emitter; a fix farther than
/// 200 km from it fails the test.
int WrongEllipses(const std::vector<Site>& sites, int windows)
{
    const Scenario scenario = OneEmitter(sites, 1.0);
    int wrong = 0;
    for (int seed = 1; seed <= windows; ++seed) {
        BearingSimulator simulator(scenario, static_cast<quint64>(seed), 1.0);
        const Fix fix = FixEstimator().Estimate(Pointers(simulator.Generate(5.0)));
        if (!fix.bValid)
            continue;
        const Geodesy::Link truth = Geodesy::Between(fix.fLatitude, fix.fLongitude, LAT, LON);
        EXPECT_LT(truth.fDistance, 200000.0) << "seed " << seed;
        wrong += ErrorEllipse::Contains(fix.covariance, truth.fDistance * std::sin(truth.fAzimuth * DEGREE),
                                        truth.fDistance * std::cos(truth.fAzimuth * DEGREE), 0.95)
                     ? 0
                     : 1;
    }
    return wrong;
}

TEST(FixEstimatorTest, LinesTooNearlyParallelForARangeGiveNoConfidentFix)
{
    // Stations 100 m apart, the emitter 10 km away: the lines cross at a
    // third of their sigma. A fix that happens to cross near must not claim
    // the range: a wrong ellipse in about 5 % of the windows (15 of 300,
    // binomial spread 4), not in the 84 of the bare linear ellipse.
    const Site a = Around("A", 200.0, 10000.0);
    Site b = a, c = a;
    Geodesy::Direct(a.fLatitude, a.fLongitude, 110.0, 100.0, b.fLatitude, b.fLongitude);
    Geodesy::Direct(a.fLatitude, a.fLongitude, 60.0, 100.0, c.fLatitude, c.fLongitude);
    EXPECT_LE(WrongEllipses({a, {"B", b.fLatitude, b.fLongitude}, {"C", c.fLatitude, c.fLongitude}}, 300), 24);
    // Two stations 20 km apart on the emitter's parallel look along nearly
    // one line, which meets itself again at their antipodes, where every
    // bearing fits with an ellipse of centimetres.
    EXPECT_LE(WrongEllipses({{"W", LAT, LON - 1.0}, {"M", LAT, LON - 0.7}}, 300), 24);
}

TEST(FixEstimatorTest, LongBaselinesUseTheEllipsoid)
{
    // Stations 400 to 600 km away: a flat-earth intersection misses by kilometres.
    const std::vector<Bearing> bearings{Towards(Around("N", 5.0, 600000.0), LAT, LON),
                                        Towards(Around("E", 100.0, 450000.0), LAT, LON),
                                        Towards(Around("S", 220.0, 400000.0), LAT, LON)};
    const Fix fix = FixEstimator().Estimate(Pointers(bearings));
    ASSERT_TRUE(fix.bValid);
    EXPECT_LT(Miss(fix), 0.1);
    EXPECT_EQ(fix.nFlags, 0u);
}

}
