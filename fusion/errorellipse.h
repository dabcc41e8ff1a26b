#pragma once

#include <Eigen/Core>

#include <utility>
#include <vector>

/// The confidence ellipse of a 2-D Gaussian position error. Covariances are
/// in square metres over (east, north) at the estimated point.
struct ErrorEllipse
{
    static constexpr double PROBABILITY_95 = 0.95;

    double fSemiMajor = 0.0;
    double fSemiMinor = 0.0;
    /// Azimuth of the major axis in [0, 180) degrees, clockwise from north.
    double fOrientation = 0.0;

    /// The ellipse that holds the true point with the given probability.
    /// A covariance that is not positive definite gives infinite axes.
    static ErrorEllipse FromCovariance(const Eigen::Matrix2d& covariance, double probability);

    /// The squared Mahalanobis distance whose ellipse holds probability
    /// (the chi-square quantile with two degrees of freedom).
    static double ChiSquareQuantile(double probability);

    /// Whether the error (east, north) lies inside the ellipse of that probability.
    static bool Contains(const Eigen::Matrix2d& covariance, double east, double north, double probability);

    /// The radius of the circle that holds the error with probability 0.5
    /// (the median radial error of that Gaussian).
    static double MedianRadius(const Eigen::Matrix2d& covariance);

    /// Points (east, north) on the outline, counter-clockwise as seen from above, closed (last = first).
    std::vector<std::pair<double, double>> Outline(int points) const;
};
