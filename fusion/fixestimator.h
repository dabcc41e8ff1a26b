#pragma once

#include "fusion/bearing.h"
#include "fusion/fix.h"

#include <Eigen/Core>

#include <vector>

/// Estimates an emitter position from bearings of several stations on the
/// WGS-84 ellipsoid: the weighted least-squares intersection of the lines in
/// a local tangent plane as start, then the maximum-likelihood position by
/// Gauss-Newton on the geodesic bearing residuals, each weighted by its
/// station's sigma. The covariance is the inverse Fisher information at the
/// estimate, so its ellipse is the one the estimator reaches when the noise
/// is Gaussian with the rated sigmas.
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
    };

    FixEstimator() = default;
    explicit FixEstimator(const Settings& settings);

    /// The fix of the bearings (one emitter, one window). Bearings must be
    /// checked (finite, in range, sigma > 0). Fewer than two stations or
    /// lines that do not intersect give an invalid fix.
    Fix Estimate(const std::vector<const Bearing*>& bearings) const;

    /// Fisher information (1/m^2 over east, north) of the lines' bearings
    /// for an emitter at (latitude, longitude); its inverse is the
    /// Cramer-Rao bound of any unbiased estimate from them.
    static Eigen::Matrix2d Information(double latitude, double longitude, const std::vector<FixLine>& lines);

private:
    struct Normal;

    Normal Accumulate(const std::vector<const Bearing*>& bearings, double latitude, double longitude) const;
    static std::vector<FixLine> Lines(const std::vector<const Bearing*>& bearings);
    static bool Intersect(const std::vector<const Bearing*>& bearings, double& rLatitude, double& rLongitude);
    static bool IsBehind(const std::vector<FixLine>& lines, double latitude, double longitude);
    void Flag(Fix& fix) const;

    Settings m_settings;
};
