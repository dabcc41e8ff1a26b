#include "fusion/fixestimator.h"

#include "fusion/geodesy.h"

#include <GeographicLib/LocalCartesian.hpp>

#include <Eigen/Cholesky>
#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEGREE = M_PI / 180.0;
/// Line sets whose normal matrix is flatter than this cannot be intersected.
constexpr double MIN_CONDITION = 1e-8;

double Square(double value)
{
    return value * value;
}

}

struct FixEstimator::Normal
{
    Eigen::Matrix2d information = Eigen::Matrix2d::Zero();
    Eigen::Vector2d gradient = Eigen::Vector2d::Zero();
    double fChiSquare = 0.0;
    double fSquaredResidualSum = 0.0;
};

FixEstimator::FixEstimator(const Settings& settings)
    : m_settings(settings)
{
}

Fix FixEstimator::Estimate(const std::vector<const Bearing*>& bearings) const
{
    Fix fix;
    fix.nBearings = static_cast<int>(bearings.size());
    fix.lstLines = Lines(bearings);
    fix.nStations = static_cast<int>(fix.lstLines.size());
    if (fix.nStations < 2 || !Intersect(bearings, fix.fLatitude, fix.fLongitude))
        return fix;
    // Lines do not know their direction: where they cross behind a station
    // the refinement may wander off, so the crossing itself is checked too.
    const bool behind = IsBehind(fix.lstLines, fix.fLatitude, fix.fLongitude);

    Normal normal = Accumulate(bearings, fix.fLatitude, fix.fLongitude);
    bool converged = false;
    for (; fix.nIterations < m_settings.nMaxIterations && !converged; ++fix.nIterations) {
        const Eigen::LDLT<Eigen::Matrix2d> solver(normal.information);
        if (solver.info() != Eigen::Success || !solver.isPositive())
            return fix;
        const Eigen::Vector2d delta = solver.solve(normal.gradient);
        // Halve the step while it makes the fit worse; a step that cannot
        // improve any more means the minimum is reached.
        bool improved = false;
        for (double step = 1.0; step > 1e-3 && !improved; step *= 0.5) {
            double latitude = 0.0, longitude = 0.0;
            Geodesy::Offset(fix.fLatitude, fix.fLongitude, step * delta(0), step * delta(1), latitude, longitude);
            Normal candidate = Accumulate(bearings, latitude, longitude);
            if (candidate.fChiSquare <= normal.fChiSquare) {
                improved = true;
                converged = step * delta.norm() < m_settings.fTolerance;
                fix.fLatitude = latitude;
                fix.fLongitude = longitude;
                normal = candidate;
            }
        }
        converged = converged || !improved;
    }
    if (!converged)
        fix.nFlags |= Fix::NOT_CONVERGED;

    const Eigen::LDLT<Eigen::Matrix2d> solver(normal.information);
    if (solver.info() != Eigen::Success || !solver.isPositive())
        return fix;
    fix.covariance = solver.solve(Eigen::Matrix2d::Identity());
    fix.ellipse = ErrorEllipse::FromCovariance(fix.covariance, ErrorEllipse::PROBABILITY_95);
    fix.fChiSquare = normal.fChiSquare;
    fix.fResidualRms = std::sqrt(normal.fSquaredResidualSum / fix.nBearings) / DEGREE;
    fix.bValid = std::isfinite(fix.ellipse.fSemiMajor);
    Flag(fix);
    if (behind)
        fix.nFlags |= Fix::BEHIND_STATION;
    return fix;
}

Eigen::Matrix2d FixEstimator::Information(double latitude, double longitude, const std::vector<FixLine>& lines)
{
    Eigen::Matrix2d information = Eigen::Matrix2d::Zero();
    for (const FixLine& line : lines) {
        const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, latitude, longitude);
        const Eigen::Vector2d gradient(link.fGradEast, link.fGradNorth);
        information += line.nBearings / Square(line.fSigma * DEGREE) * gradient * gradient.transpose();
    }
    return information;
}

FixEstimator::Normal FixEstimator::Accumulate(const std::vector<const Bearing*>& bearings, double latitude,
                                             double longitude) const
{
    Normal normal;
    for (const Bearing* pBearing : bearings) {
        const Geodesy::Link link = Geodesy::Between(pBearing->fLatitude, pBearing->fLongitude, latitude, longitude);
        const double residual = Geodesy::WrapDifference(pBearing->fBearing - link.fAzimuth) * DEGREE;
        const double weight = 1.0 / Square(pBearing->fSigma * DEGREE);
        const Eigen::Vector2d gradient(link.fGradEast, link.fGradNorth);
        normal.information += weight * gradient * gradient.transpose();
        normal.gradient += weight * residual * gradient;
        normal.fChiSquare += weight * residual * residual;
        normal.fSquaredResidualSum += residual * residual;
    }
    return normal;
}

std::vector<FixLine> FixEstimator::Lines(const std::vector<const Bearing*>& bearings)
{
    std::vector<FixLine> lines;
    // Per station: sums of the bearings' unit vectors for the circular mean.
    std::vector<std::pair<double, double>> sums;
    for (const Bearing* pBearing : bearings) {
        auto it = std::find_if(lines.begin(), lines.end(),
                               [pBearing](const FixLine& line) { return line.strStation == pBearing->strStation; });
        if (it == lines.end()) {
            lines.push_back({pBearing->strStation, pBearing->fLatitude, pBearing->fLongitude, 0.0, 0.0, 0});
            sums.emplace_back(0.0, 0.0);
            it = lines.end() - 1;
        }
        auto& sum = sums[static_cast<size_t>(it - lines.begin())];
        sum.first += std::sin(pBearing->fBearing * DEGREE);
        sum.second += std::cos(pBearing->fBearing * DEGREE);
        // Variances add up to the station's mean sigma squared times the count.
        it->fSigma += Square(pBearing->fSigma);
        ++it->nBearings;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i].fBearing = Geodesy::WrapAzimuth(std::atan2(sums[i].first, sums[i].second) / DEGREE);
        lines[i].fSigma = std::sqrt(lines[i].fSigma / lines[i].nBearings);
    }
    return lines;
}

bool FixEstimator::Intersect(const std::vector<const Bearing*>& bearings, double& rLatitude, double& rLongitude)
{
    const GeographicLib::LocalCartesian plane(bearings.front()->fLatitude, bearings.front()->fLongitude);
    // Each bearing is the line n . p = n . s with the normal n = (cos b, -sin b);
    // the first pass weighs by 1/sigma^2, the second also by the distance,
    // which turns perpendicular misses into angles.
    Eigen::Vector2d point = Eigen::Vector2d::Zero();
    for (int pass = 0; pass < 2; ++pass) {
        Eigen::Matrix2d matrix = Eigen::Matrix2d::Zero();
        Eigen::Vector2d vector = Eigen::Vector2d::Zero();
        for (const Bearing* pBearing : bearings) {
            double east = 0.0, north = 0.0, up = 0.0;
            plane.Forward(pBearing->fLatitude, pBearing->fLongitude, 0.0, east, north, up);
            const Eigen::Vector2d normal(std::cos(pBearing->fBearing * DEGREE), -std::sin(pBearing->fBearing * DEGREE));
            const Eigen::Vector2d station(east, north);
            const double distance = pass == 0 ? 1.0 : std::max((point - station).norm(), 1.0);
            const double weight = 1.0 / Square(pBearing->fSigma * distance);
            matrix += weight * normal * normal.transpose();
            vector += weight * normal * normal.dot(station);
        }
        const Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> eigen(matrix, Eigen::EigenvaluesOnly);
        if (!(eigen.eigenvalues()(0) > MIN_CONDITION * eigen.eigenvalues()(1)))
            return false;
        point = matrix.ldlt().solve(vector);
    }
    double height = 0.0;
    plane.Reverse(point(0), point(1), 0.0, rLatitude, rLongitude, height);
    return std::isfinite(rLatitude) && std::isfinite(rLongitude);
}

bool FixEstimator::IsBehind(const std::vector<FixLine>& lines, double latitude, double longitude)
{
    return std::any_of(lines.begin(), lines.end(), [latitude, longitude](const FixLine& line) {
        const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, latitude, longitude);
        return std::abs(Geodesy::WrapDifference(line.fBearing - link.fAzimuth)) > 90.0;
    });
}

void FixEstimator::Flag(Fix& fix) const
{
    if (fix.nBearings < 3)
        fix.nFlags |= Fix::TOO_FEW_BEARINGS;
    if (IsBehind(fix.lstLines, fix.fLatitude, fix.fLongitude))
        fix.nFlags |= Fix::BEHIND_STATION;
    double widest = 0.0;
    std::vector<double> arrivals;
    for (const FixLine& line : fix.lstLines) {
        const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, fix.fLatitude, fix.fLongitude);
        for (double arrival : arrivals) {
            // Lines cross at the same angle whichever way they run.
            const double angle = std::abs(Geodesy::WrapDifference(2.0 * (link.fArrivalAzimuth - arrival))) / 2.0;
            widest = std::max(widest, angle);
        }
        arrivals.push_back(link.fArrivalAzimuth);
    }
    if (widest <= m_settings.fMinCrossingAngle)
        fix.nFlags |= Fix::NEAR_PARALLEL;
}
