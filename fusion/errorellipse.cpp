#include "fusion/errorellipse.h"

#include <Eigen/Eigenvalues>

#include <cmath>
#include <limits>

namespace {

constexpr double DEGREE = M_PI / 180.0;

/// Probability that a zero-mean Gaussian with the eigenvalues l1, l2 falls
/// inside the circle of radius r: the radial integral done in closed form,
/// the angular one by the midpoint rule (smooth and periodic, so it
/// converges fast).
double DiscProbability(double l1, double l2, double r)
{
    constexpr int STEPS = 128;
    double sum = 0.0;
    for (int i = 0; i < STEPS; ++i) {
        const double phi = (i + 0.5) * 2.0 * M_PI / STEPS;
        const double a = std::cos(phi) * std::cos(phi) / l1 + std::sin(phi) * std::sin(phi) / l2;
        sum += (1.0 - std::exp(-0.5 * r * r * a)) / a;
    }
    return sum / STEPS / std::sqrt(l1 * l2);
}

}

ErrorEllipse ErrorEllipse::FromCovariance(const Eigen::Matrix2d& covariance, double probability)
{
    ErrorEllipse ellipse;
    const Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> solver(covariance);
    const Eigen::Vector2d values = solver.eigenvalues();
    if (solver.info() != Eigen::Success || !(values(0) > 0.0) || !std::isfinite(values(1))) {
        ellipse.fSemiMajor = ellipse.fSemiMinor = std::numeric_limits<double>::infinity();
        return ellipse;
    }
    const double scale = ChiSquareQuantile(probability);
    // Eigenvalues come in increasing order: the last belongs to the major axis.
    ellipse.fSemiMajor = std::sqrt(scale * values(1));
    ellipse.fSemiMinor = std::sqrt(scale * values(0));
    const Eigen::Vector2d major = solver.eigenvectors().col(1);
    double orientation = std::atan2(major(0), major(1)) / DEGREE;
    orientation = std::fmod(orientation + 360.0, 180.0);
    ellipse.fOrientation = orientation;
    return ellipse;
}

double ErrorEllipse::ChiSquareQuantile(double probability)
{
    return -2.0 * std::log(1.0 - probability);
}

bool ErrorEllipse::Contains(const Eigen::Matrix2d& covariance, double east, double north, double probability)
{
    const Eigen::Vector2d error(east, north);
    const Eigen::LDLT<Eigen::Matrix2d> solver(covariance);
    if (solver.info() != Eigen::Success || !solver.isPositive())
        return false;
    return error.dot(solver.solve(error)) <= ChiSquareQuantile(probability);
}

double ErrorEllipse::MedianRadius(const Eigen::Matrix2d& covariance)
{
    const Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> solver(covariance);
    const double l1 = solver.eigenvalues()(0);
    const double l2 = solver.eigenvalues()(1);
    if (solver.info() != Eigen::Success || !(l1 > 0.0) || !std::isfinite(l2))
        return std::numeric_limits<double>::infinity();
    double low = 0.0;
    double high = 3.0 * std::sqrt(l1 + l2);
    for (int i = 0; i < 60; ++i) {
        const double middle = 0.5 * (low + high);
        (DiscProbability(l1, l2, middle) < 0.5 ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

std::vector<std::pair<double, double>> ErrorEllipse::Outline(int points) const
{
    std::vector<std::pair<double, double>> outline;
    if (points < 3 || !std::isfinite(fSemiMajor) || !std::isfinite(fSemiMinor))
        return outline;
    const double theta = fOrientation * DEGREE;
    // Unit vectors (east, north) of the major and minor axes.
    const double majorEast = std::sin(theta), majorNorth = std::cos(theta);
    const double minorEast = std::cos(theta), minorNorth = -std::sin(theta);
    for (int i = 0; i < points; ++i) {
        const double t = -2.0 * M_PI * i / points;
        const double a = fSemiMajor * std::cos(t), b = fSemiMinor * std::sin(t);
        outline.emplace_back(a * majorEast + b * minorEast, a * majorNorth + b * minorNorth);
    }
    outline.push_back(outline.front());
    return outline;
}
