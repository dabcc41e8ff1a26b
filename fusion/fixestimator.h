#pragma once

#include "fusion/bearing.h"
#include "fusion/fix.h"

#include <Eigen/Core>

#include <vector>

class StationBearings;

/// Estimates emitter positions from the bearings of one channel and window
/// on the WGS-84 ellipsoid, robustly against bearings that do not belong.
///
/// 1. Consensus start. Each station's bearings are grouped by direction;
///    the lines of every pair of groups of different stations (and the
///    track of a moving station alone) are intersected, and the candidate
///    that most bearings of all stations point at (within a wide gate)
///    wins. This is an exhaustive consensus over the stations' groups, not a
///    random one: a window has few groups, so every pair is tried and the
///    result does not depend on luck. Its breakdown point is that of a vote:
///    the true position wins while the bearings pointing at it outnumber
///    those agreeing on any other point, which holds up to about half of
///    a station's bearings being wild (wild bearings agree with nothing)
///    and while fewer stations are offset as a whole than agree.
/// 2. Trimmed maximum likelihood. Gauss-Newton on the geodesic residuals of
///    the bearings within a gate of the current estimate (three sigmas),
///    repeated until the kept set no longer changes: a hard-redescending
///    M-estimator. It was chosen over a smooth one (Huber, Tukey) because
///    the faults of DF bearings are not a heavier Gaussian tail but a
///    separate population (uniform wild bearings, reflections tens of
///    degrees off): cut at three sigmas they have no influence at all, while
///    a good bearing is lost with probability 0.27 % only, so the fix of
///    clean bearings stays the maximum-likelihood one at the Cramer-Rao
///    bound.
/// 3. Honest uncertainty. The covariance is the inverse Fisher information
///    of the kept bearings. Their chi-square, with its degrees of freedom
///    and p-value, tests the fix; below a p-value of 1 % the fix is
///    INCONSISTENT and the covariance is multiplied by chi-square over the
///    degrees of freedom (the measured scatter instead of the rated one).
///    The major axis is stretched for the lines' fanning out over the
///    ellipse's extent; an ellipse that would reach the stations is no fix.
/// 4. Several emitters. The bearings a fix keeps are taken out and the
///    consensus runs again on the rest: a further emitter needs the lines of
///    at least three stations with two bearings each meeting in one point
///    as well as their sigmas say (not INCONSISTENT), with at least a
///    quarter as many bearings as the first fix; a crossing of two other
///    emitters' lines (a ghost) or a few stray reflections do not give that.
///    What no fix keeps is unassigned; it is counted per station and reason
///    in the fix it is nearest to.
///
/// A moving station is a member like a fixed one (each bearing carries its
/// station's position). One station alone makes a fix when its track is
/// observable: the lines of its track's legs (see Settings) cross at the fix
/// at fMinTrackAngle or more; such fixes carry ONE_STATION.
///
/// Stateless apart from its settings; cheap to copy.
class FixEstimator
{
public:
    struct Settings
    {
        int nMaxIterations = 20;
        /// The refinement stops when a step moves the position less than this (metres).
        double fTolerance = 0.01;
        /// Lines that cross at no more than this (degrees) flag the fix near-parallel.
        double fMinCrossingAngle = 10.0;
        /// A bearing is kept when its residual is within this many sigmas.
        double fGate = 3.0;
        /// A bearing supports a consensus candidate within this many sigmas.
        double fSupportGate = 5.0;
        /// A station's bearings form separate groups across gaps of this many sigmas.
        double fClusterGap = 2.5;
        /// Below this p-value the kept bearings are inconsistent.
        double fMinPValue = 0.01;
        /// One moving station makes a fix when its legs' lines cross at the fix at this or more (degrees).
        double fMinTrackAngle = 5.0;
        /// A moving station's bearings within this distance (metres) of a leg's first form one line.
        double fLegLength = 500.0;
        /// At most this many fixes per window.
        int nMaxEmitters = 8;
    };
    struct Result
    {
        /// The best-supported emitter first.
        std::vector<Fix> lstFixes;
        /// Bearings that no fix kept.
        int nUnassigned = 0;
    };

    FixEstimator() = default;
    explicit FixEstimator(const Settings& settings);

    /// The fix of the best-supported emitter in the bearings (one channel,
    /// one window); the others are left out as rejected. Bearings must be
    /// checked (finite, in range, sigma > 0). Bearings of fewer than two
    /// stations (and no observable track), lines that do not intersect or
    /// an ellipse that would reach the stations give an invalid fix.
    Fix Estimate(const std::vector<const Bearing*>& bearings) const;
    /// One fix per emitter the bearings separate into (none when not even
    /// one can be fixed).
    Result EstimateAll(const std::vector<const Bearing*>& bearings) const;

    /// Fisher information (1/m^2 over east, north) of the lines' bearings
    /// for an emitter at (latitude, longitude); its inverse is the
    /// Cramer-Rao bound of any unbiased estimate from them.
    static Eigen::Matrix2d Information(double latitude, double longitude, const std::vector<FixLine>& lines);

private:
    struct Normal;
    struct Candidate;

    Result Run(const StationBearings& window, int maxFixes) const;
    std::vector<Candidate> Candidates(const StationBearings& window, const std::vector<char>& free) const;
    void Support(const StationBearings& window, const std::vector<char>& free, Candidate& rCandidate) const;
    std::vector<int> Keep(const StationBearings& window, const std::vector<char>& free, double latitude,
                          double longitude, double gate) const;
    bool Refine(const StationBearings& window, const std::vector<int>& kept, Fix& rFix, Normal& rNormal) const;
    Fix Solve(const StationBearings& window, const std::vector<char>& free, const Candidate& start,
              std::vector<int>& rKept) const;
    bool Finish(const StationBearings& window, const std::vector<int>& kept, const Normal& normal, Fix& rFix) const;
    void Account(const StationBearings& window, const std::vector<char>& free, std::vector<Fix>& rFixes) const;
    std::vector<FixLine> Lines(const StationBearings& window, const std::vector<int>& kept) const;

    static Normal Accumulate(const StationBearings& window, const std::vector<int>& kept, double latitude,
                             double longitude);
    static bool Intersect(const StationBearings& window, const std::vector<int>& indices, double& rLatitude,
                          double& rLongitude);
    /// Widens the ellipse for the lines' fanning out over its extent; false when it reaches the stations.
    static bool Stretch(Fix& rFix);
    static bool IsBehind(const std::vector<FixLine>& lines, double latitude, double longitude);
    static double WidestCrossing(const std::vector<FixLine>& lines, double latitude, double longitude);

    Settings m_settings;
};
