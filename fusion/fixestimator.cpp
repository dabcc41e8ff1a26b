#include "fusion/fixestimator.h"

#include "fusion/chisquare.h"
#include "fusion/geodesy.h"
#include "fusion/stationbearings.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/LocalCartesian.hpp>

#include <Eigen/Cholesky>
#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEGREE = M_PI / 180.0;
/// Line sets whose normal matrix is flatter than this cannot be intersected.
constexpr double MIN_CONDITION = 1e-8;
/// How far along a line its direction in the tangent plane is measured (metres).
constexpr double DIRECTION_STEP = 1000.0;
/// A further emitter needs this many stations with MIN_LATER_BEARINGS kept bearings each.
constexpr int MIN_LATER_STATIONS = 3;
constexpr int MIN_LATER_BEARINGS = 2;
/// ... and at least this share of the first fix's kept bearings: a talker
/// heard for a quarter of the time of the strongest one, not a few stray
/// reflections of several stations that happen to cross.
constexpr double MIN_LATER_SHARE = 0.25;
/// A station's groups smaller than this share of its largest one start no candidates (wild bearings).
constexpr double MIN_GROUP_SHARE = 0.3;
constexpr size_t MAX_GROUPS = 3;
/// Only the largest groups pair up for candidates, so that many stations
/// cost linear, not quadratic, time.
constexpr size_t MAX_PAIRED_GROUPS = 10;
/// Candidates tried, best first, before a window is given up.
constexpr size_t MAX_TRIES = 3;
/// Rounds of refining and re-selecting the kept bearings.
constexpr int MAX_ROUNDS = 6;
constexpr double METRES_PER_DEGREE = 111320.0;

double Square(double value)
{
    return value * value;
}

/// Links from stations to one point, computed again only when the station
/// moved since the last bearing.
class LinkCache
{
public:
    LinkCache(double latitude, double longitude)
        : m_fLatitude(latitude)
        , m_fLongitude(longitude)
    {
    }

    const Geodesy::Link& To(const Bearing& bearing)
    {
        if (!m_bValid || bearing.fLatitude != m_fFromLatitude || bearing.fLongitude != m_fFromLongitude) {
            m_link = Geodesy::Between(bearing.fLatitude, bearing.fLongitude, m_fLatitude, m_fLongitude);
            m_fFromLatitude = bearing.fLatitude;
            m_fFromLongitude = bearing.fLongitude;
            m_bValid = true;
        }
        return m_link;
    }

private:
    double m_fLatitude;
    double m_fLongitude;
    double m_fFromLatitude = 0.0;
    double m_fFromLongitude = 0.0;
    bool m_bValid = false;
    Geodesy::Link m_link;
};

/// The bearing's residual against the link (radians).
double Residual(const Bearing& bearing, const Geodesy::Link& link)
{
    return Geodesy::WrapDifference(bearing.fBearing - link.fAzimuth) * DEGREE;
}

/// Ground distance (metres) between two nearby positions, flat.
double ShortDistance(const Bearing& a, const Bearing& b)
{
    const double north = (b.fLatitude - a.fLatitude) * METRES_PER_DEGREE;
    const double east = Geodesy::WrapDifference(b.fLongitude - a.fLongitude) * METRES_PER_DEGREE
                        * std::cos(a.fLatitude * DEGREE);
    return std::hypot(east, north);
}

}

struct FixEstimator::Normal
{
    Eigen::Matrix2d information = Eigen::Matrix2d::Zero();
    Eigen::Vector2d gradient = Eigen::Vector2d::Zero();
    double fChiSquare = 0.0;
    double fSquaredResidualSum = 0.0;
};

struct FixEstimator::Candidate
{
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    int nSupport = 0;
    int nStations = 0;
};

FixEstimator::FixEstimator(const Settings& settings)
    : m_settings(settings)
{
}

Fix FixEstimator::Estimate(const std::vector<const Bearing*>& bearings) const
{
    Result result = Run(StationBearings(bearings), 1);
    if (result.lstFixes.empty()) {
        Fix fix;
        fix.nBearings = static_cast<int>(bearings.size());
        return fix;
    }
    return std::move(result.lstFixes.front());
}

FixEstimator::Result FixEstimator::EstimateAll(const std::vector<const Bearing*>& bearings) const
{
    return Run(StationBearings(bearings), m_settings.nMaxEmitters);
}

FixEstimator::Result FixEstimator::Run(const StationBearings& window, int maxFixes) const
{
    Result result;
    std::vector<char> free(static_cast<size_t>(window.GetCount()), 1);
    while (static_cast<int>(result.lstFixes.size()) < maxFixes) {
        std::vector<Candidate> candidates = Candidates(window, free);
        std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
            return a.nSupport != b.nSupport ? a.nSupport > b.nSupport : a.nStations > b.nStations;
        });
        if (candidates.size() > MAX_TRIES)
            candidates.resize(MAX_TRIES);
        Fix best;
        std::vector<int> kept;
        for (const Candidate& candidate : candidates) {
            best = Solve(window, free, candidate, kept);
            if (!best.bValid)
                continue;
            // A further emitter must be more than two lines crossing, and
            // its lines must meet as well as their sigmas say (stray
            // reflections of several stations may cross near one point by
            // chance, but not that well).
            int members = 0;
            for (size_t i = 0; i < kept.size();) {
                size_t j = i;
                while (j < kept.size() && window.StationOf(kept[j]) == window.StationOf(kept[i]))
                    ++j;
                members += static_cast<int>(j - i) >= MIN_LATER_BEARINGS ? 1 : 0;
                i = j;
            }
            if (result.lstFixes.empty()
                || (members >= MIN_LATER_STATIONS && !(best.nFlags & Fix::INCONSISTENT)
                    && best.nBearings >= MIN_LATER_SHARE * result.lstFixes.front().nBearings))
                break;
            best.bValid = false;
        }
        if (!best.bValid)
            break;
        for (int index : kept)
            free[static_cast<size_t>(index)] = 0;
        result.lstFixes.push_back(std::move(best));
    }
    Account(window, free, result.lstFixes);
    result.nUnassigned = static_cast<int>(std::count(free.begin(), free.end(), 1));
    return result;
}

std::vector<FixEstimator::Candidate> FixEstimator::Candidates(const StationBearings& window,
                                                              const std::vector<char>& free) const
{
    std::vector<std::vector<int>> groups;
    std::vector<int> groupStations;
    std::vector<int> all;
    for (int station = 0; station < window.GetStationCount(); ++station) {
        std::vector<int> indices;
        for (int i = window.Begin(station); i < window.End(station); ++i) {
            if (free[static_cast<size_t>(i)])
                indices.push_back(i);
        }
        all.insert(all.end(), indices.begin(), indices.end());
        std::vector<std::vector<int>> clusters = window.Clusters(indices, m_settings.fClusterGap);
        for (size_t k = 0; k < clusters.size() && k < MAX_GROUPS; ++k) {
            if (static_cast<double>(clusters[k].size()) < MIN_GROUP_SHARE * static_cast<double>(clusters[0].size()))
                break;
            groups.push_back(std::move(clusters[k]));
            groupStations.push_back(station);
        }
    }
    std::vector<size_t> order(groups.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&groups](size_t a, size_t b) { return groups[a].size() > groups[b].size(); });
    order.resize(std::min(order.size(), MAX_PAIRED_GROUPS));
    std::vector<Candidate> candidates;
    const auto add = [this, &window, &free, &candidates](const std::vector<int>& indices) {
        Candidate candidate;
        if (!Intersect(window, indices, candidate.fLatitude, candidate.fLongitude))
            return;
        Support(window, free, candidate);
        if (candidate.nSupport > 0)
            candidates.push_back(candidate);
    };
    if (all.empty())
        return candidates;
    add(all);
    for (size_t a = 0; a < order.size(); ++a) {
        const size_t i = order[a];
        for (size_t b = a + 1; b < order.size(); ++b) {
            const size_t j = order[b];
            if (groupStations[i] == groupStations[j])
                continue;
            std::vector<int> pair = groups[i];
            pair.insert(pair.end(), groups[j].begin(), groups[j].end());
            add(pair);
        }
        // A moving station's own lines cross.
        const Bearing& first = window.At(groups[i].front());
        if (std::any_of(groups[i].begin(), groups[i].end(), [&window, &first](int index) {
                return window.At(index).fLatitude != first.fLatitude || window.At(index).fLongitude != first.fLongitude;
            }))
            add(groups[i]);
    }
    return candidates;
}

void FixEstimator::Support(const StationBearings& window, const std::vector<char>& free, Candidate& rCandidate) const
{
    LinkCache links(rCandidate.fLatitude, rCandidate.fLongitude);
    for (int station = 0; station < window.GetStationCount(); ++station) {
        int support = 0;
        for (int i = window.Begin(station); i < window.End(station); ++i) {
            const Bearing& bearing = window.At(i);
            if (free[static_cast<size_t>(i)]
                && std::abs(Residual(bearing, links.To(bearing))) <= m_settings.fSupportGate * bearing.fSigma * DEGREE)
                ++support;
        }
        rCandidate.nSupport += support;
        rCandidate.nStations += support > 0 ? 1 : 0;
    }
}

std::vector<int> FixEstimator::Keep(const StationBearings& window, const std::vector<char>& free, double latitude,
                                    double longitude, double gate) const
{
    std::vector<int> kept;
    LinkCache links(latitude, longitude);
    for (int i = 0; i < window.GetCount(); ++i) {
        const Bearing& bearing = window.At(i);
        if (free[static_cast<size_t>(i)] && std::abs(Residual(bearing, links.To(bearing))) <= gate * bearing.fSigma * DEGREE)
            kept.push_back(i);
    }
    return kept;
}

Fix FixEstimator::Solve(const StationBearings& window, const std::vector<char>& free, const Candidate& start,
                        std::vector<int>& rKept) const
{
    Fix fix;
    fix.fLatitude = start.fLatitude;
    fix.fLongitude = start.fLongitude;
    // The start is rough: its first selection is wide, then the gate narrows to the fix's own.
    rKept = Keep(window, free, fix.fLatitude, fix.fLongitude, m_settings.fSupportGate);
    Normal normal;
    for (int round = 0;; ++round) {
        if (rKept.empty() || !Refine(window, rKept, fix, normal))
            return Fix();
        std::vector<int> again = Keep(window, free, fix.fLatitude, fix.fLongitude, m_settings.fGate);
        if (again == rKept || round + 1 == MAX_ROUNDS)
            break;
        rKept.swap(again);
    }
    if (!Finish(window, rKept, normal, fix))
        return Fix();
    return fix;
}

bool FixEstimator::Refine(const StationBearings& window, const std::vector<int>& kept, Fix& rFix, Normal& rNormal) const
{
    rFix.nFlags &= ~unsigned(Fix::NOT_CONVERGED);
    rFix.nIterations = 0;
    rNormal = Accumulate(window, kept, rFix.fLatitude, rFix.fLongitude);
    bool converged = false;
    for (; rFix.nIterations < m_settings.nMaxIterations && !converged; ++rFix.nIterations) {
        const Eigen::LDLT<Eigen::Matrix2d> solver(rNormal.information);
        if (solver.info() != Eigen::Success || !solver.isPositive())
            return false;
        const Eigen::Vector2d delta = solver.solve(rNormal.gradient);
        if (!delta.allFinite())
            return false;
        // Halve the step while it makes the fit worse; a step that cannot
        // improve any more means the minimum is reached.
        bool improved = false;
        for (double step = 1.0; step > 1e-3 && !improved; step *= 0.5) {
            double latitude = 0.0, longitude = 0.0;
            Geodesy::Offset(rFix.fLatitude, rFix.fLongitude, step * delta(0), step * delta(1), latitude, longitude);
            Normal candidate = Accumulate(window, kept, latitude, longitude);
            if (candidate.fChiSquare <= rNormal.fChiSquare) {
                improved = true;
                converged = step * delta.norm() < m_settings.fTolerance;
                rFix.fLatitude = latitude;
                rFix.fLongitude = longitude;
                rNormal = candidate;
            }
        }
        converged = converged || !improved;
    }
    if (!converged)
        rFix.nFlags |= Fix::NOT_CONVERGED;
    return true;
}

bool FixEstimator::Finish(const StationBearings& window, const std::vector<int>& kept, const Normal& normal,
                          Fix& rFix) const
{
    rFix.lstLines = Lines(window, kept);
    rFix.nBearings = static_cast<int>(kept.size());
    rFix.nStations = 0;
    for (size_t i = 0; i < kept.size(); ++i)
        rFix.nStations += i == 0 || window.StationOf(kept[i]) != window.StationOf(kept[i - 1]) ? 1 : 0;
    const Eigen::LDLT<Eigen::Matrix2d> solver(normal.information);
    if (solver.info() != Eigen::Success || !solver.isPositive())
        return false;
    const double widest = WidestCrossing(rFix.lstLines, rFix.fLatitude, rFix.fLongitude);
    if (rFix.nStations < 2) {
        // One station: only its own motion makes the position observable.
        if (widest < m_settings.fMinTrackAngle)
            return false;
        rFix.nFlags |= Fix::ONE_STATION;
    }
    rFix.covariance = solver.solve(Eigen::Matrix2d::Identity());
    rFix.fChiSquare = normal.fChiSquare;
    rFix.nDegreesOfFreedom = rFix.nBearings - 2;
    rFix.fPValue = ChiSquare::UpperTail(rFix.fChiSquare, rFix.nDegreesOfFreedom);
    if (rFix.nDegreesOfFreedom >= 1 && rFix.fPValue < m_settings.fMinPValue) {
        // The bearings scatter more than their sigmas say: the measured
        // scatter, not the rated one, sizes the ellipse.
        const double scale = rFix.fChiSquare / rFix.nDegreesOfFreedom;
        rFix.covariance *= scale;
        rFix.fWidening = std::sqrt(scale);
        rFix.nFlags |= Fix::INCONSISTENT;
    }
    rFix.ellipse = ErrorEllipse::FromCovariance(rFix.covariance, ErrorEllipse::PROBABILITY_95);
    if (!Stretch(rFix))
        return false;
    rFix.fResidualRms = std::sqrt(normal.fSquaredResidualSum / rFix.nBearings) / DEGREE;
    if (rFix.nBearings < 3)
        rFix.nFlags |= Fix::TOO_FEW_BEARINGS;
    if (widest <= m_settings.fMinCrossingAngle)
        rFix.nFlags |= Fix::NEAR_PARALLEL;
    if (IsBehind(rFix.lstLines, rFix.fLatitude, rFix.fLongitude))
        rFix.nFlags |= Fix::BEHIND_STATION;
    rFix.bValid = std::isfinite(rFix.ellipse.fSemiMajor);
    return rFix.bValid;
}

void FixEstimator::Account(const StationBearings& window, const std::vector<char>& free, std::vector<Fix>& rFixes) const
{
    if (rFixes.empty())
        return;
    std::vector<LinkCache> links;
    for (const Fix& fix : rFixes)
        links.emplace_back(fix.fLatitude, fix.fLongitude);
    for (int station = 0; station < window.GetStationCount(); ++station) {
        std::vector<int> left;
        for (int i = window.Begin(station); i < window.End(station); ++i) {
            if (free[static_cast<size_t>(i)])
                left.push_back(i);
        }
        if (left.empty())
            continue;
        const bool member = static_cast<int>(left.size()) < window.End(station) - window.Begin(station);
        const std::vector<std::vector<int>> groups = window.Clusters(left, m_settings.fClusterGap);
        // A station none of whose bearings any fix kept, but that agrees with itself, was outvoted.
        const bool outvoted = !member && groups.front().size() >= 2;
        for (const std::vector<int>& group : groups) {
            for (int index : group) {
                const Bearing& bearing = window.At(index);
                size_t nearest = 0;
                double smallest = HUGE_VAL;
                for (size_t f = 0; f < rFixes.size(); ++f) {
                    const double residual = std::abs(Residual(bearing, links[f].To(bearing)));
                    if (residual < smallest) {
                        smallest = residual;
                        nearest = f;
                    }
                }
                Fix& fix = rFixes[nearest];
                if (fix.lstRejections.empty() || fix.lstRejections.back().strStation != window.GetName(station))
                    fix.lstRejections.push_back({window.GetName(station), 0, 0, 0});
                FixRejection& rejection = fix.lstRejections.back();
                if (outvoted) {
                    ++rejection.nOutvoted;
                    if (!fix.lstOutvoted.contains(rejection.strStation))
                        fix.lstOutvoted << rejection.strStation;
                    fix.nFlags |= Fix::OUTVOTED;
                } else if (group.size() >= 2) {
                    ++rejection.nReflected;
                } else {
                    ++rejection.nWild;
                }
            }
        }
    }
}

std::vector<FixLine> FixEstimator::Lines(const StationBearings& window, const std::vector<int>& kept) const
{
    std::vector<FixLine> lines;
    // A leg: kept bearings of one station from within fLegLength of its first.
    for (size_t begin = 0; begin < kept.size();) {
        const Bearing& first = window.At(kept[begin]);
        const int station = window.StationOf(kept[begin]);
        size_t end = begin;
        double east = 0.0, north = 0.0, variance = 0.0;
        for (; end < kept.size() && window.StationOf(kept[end]) == station
               && ShortDistance(first, window.At(kept[end])) <= m_settings.fLegLength;
             ++end) {
            const Bearing& bearing = window.At(kept[end]);
            east += std::sin(bearing.fBearing * DEGREE);
            north += std::cos(bearing.fBearing * DEGREE);
            // Variances add up to the leg's mean sigma squared times the count.
            variance += Square(bearing.fSigma);
        }
        const int count = static_cast<int>(end - begin);
        const Bearing& middle = window.At(kept[begin + (end - begin) / 2]);
        lines.push_back({window.GetName(station), middle.fLatitude, middle.fLongitude,
                         Geodesy::WrapAzimuth(std::atan2(east, north) / DEGREE), std::sqrt(variance / count), count});
        begin = end;
    }
    return lines;
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

FixEstimator::Normal FixEstimator::Accumulate(const StationBearings& window, const std::vector<int>& kept,
                                             double latitude, double longitude)
{
    Normal normal;
    LinkCache links(latitude, longitude);
    for (int index : kept) {
        const Bearing& bearing = window.At(index);
        const Geodesy::Link& link = links.To(bearing);
        const double residual = Residual(bearing, link);
        const double weight = 1.0 / Square(bearing.fSigma * DEGREE);
        const Eigen::Vector2d gradient(link.fGradEast, link.fGradNorth);
        normal.information += weight * gradient * gradient.transpose();
        normal.gradient += weight * residual * gradient;
        normal.fChiSquare += weight * residual * residual;
        normal.fSquaredResidualSum += residual * residual;
    }
    return normal;
}

bool FixEstimator::Intersect(const StationBearings& window, const std::vector<int>& indices, double& rLatitude,
                             double& rLongitude)
{
    const Bearing& origin = window.At(indices.front());
    const GeographicLib::LocalCartesian plane(origin.fLatitude, origin.fLongitude);
    // Each bearing is the line n . p = n . s with the normal n = (cos b, -sin b);
    // the first pass weighs by 1/sigma^2, the second also by the distance,
    // which turns perpendicular misses into angles.
    // A line's direction is taken in the plane from a point a little along
    // its geodesic, not from its azimuth: far from the origin, and near a
    // pole above all, north in the plane is not the station's north.
    std::vector<Eigen::Vector2d> stations;
    std::vector<Eigen::Vector2d> normals;
    stations.reserve(indices.size());
    normals.reserve(indices.size());
    for (int index : indices) {
        const Bearing& bearing = window.At(index);
        double east = 0.0, north = 0.0, up = 0.0;
        plane.Forward(bearing.fLatitude, bearing.fLongitude, 0.0, east, north, up);
        stations.emplace_back(east, north);
        double latitude = 0.0, longitude = 0.0;
        GeographicLib::Geodesic::WGS84().Direct(bearing.fLatitude, bearing.fLongitude, bearing.fBearing,
                                                DIRECTION_STEP, latitude, longitude);
        plane.Forward(latitude, longitude, 0.0, east, north, up);
        const Eigen::Vector2d direction = (Eigen::Vector2d(east, north) - stations.back()).normalized();
        normals.emplace_back(direction(1), -direction(0));
    }
    Eigen::Vector2d point = Eigen::Vector2d::Zero();
    for (int pass = 0; pass < 2; ++pass) {
        Eigen::Matrix2d matrix = Eigen::Matrix2d::Zero();
        Eigen::Vector2d vector = Eigen::Vector2d::Zero();
        for (size_t i = 0; i < indices.size(); ++i) {
            const Bearing& bearing = window.At(indices[i]);
            const Eigen::Vector2d& normal = normals[i];
            const double distance = pass == 0 ? 1.0 : std::max((point - stations[i]).norm(), 1.0);
            const double weight = 1.0 / Square(bearing.fSigma * distance);
            matrix += weight * normal * normal.transpose();
            vector += weight * normal * normal.dot(stations[i]);
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

bool FixEstimator::Stretch(Fix& rFix)
{
    // The ellipse carries the bearings' errors over linearly, but a line's
    // miss grows with the distance from its station: at a point a along the
    // major axis u from the fix, a line at angle phi to u misses by a share
    // a |cos phi| / m more or less than at the fix (m its reduced length,
    // the distance near the station, shrinking to zero at its antipode), so
    // the ellipse's far side falls short by the share q of the lines that
    // hold the fix along u (weighed by their information there). Stretching
    // the major axis by 1 / (1 - q) gives it back. From q = 1 on, the
    // ellipse reaches the stations (lines too nearly parallel for a range)
    // or the fix lies where all lines meet again near the stations'
    // antipodes: the bearings hold a direction, not a position.
    const Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> eigen(rFix.covariance);
    const Eigen::Vector2d major = eigen.eigenvectors().col(1);
    double information = 0.0, fanning = 0.0;
    for (const FixLine& line : rFix.lstLines) {
        const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, rFix.fLatitude, rFix.fLongitude);
        const Eigen::Vector2d gradient(link.fGradEast, link.fGradNorth);
        const Eigen::Vector2d along(std::sin(link.fArrivalAzimuth * DEGREE), std::cos(link.fArrivalAzimuth * DEGREE));
        const double across = line.nBearings / Square(line.fSigma * DEGREE) * Square(gradient.dot(major));
        information += across;
        fanning += across * std::abs(along.dot(major)) * gradient.norm();
    }
    const double share = rFix.ellipse.fSemiMajor * fanning / information;
    if (!(share < 1.0))
        return false;
    rFix.covariance += (1.0 / Square(1.0 - share) - 1.0) * eigen.eigenvalues()(1) * major * major.transpose();
    rFix.ellipse = ErrorEllipse::FromCovariance(rFix.covariance, ErrorEllipse::PROBABILITY_95);
    return true;
}

bool FixEstimator::IsBehind(const std::vector<FixLine>& lines, double latitude, double longitude)
{
    return std::any_of(lines.begin(), lines.end(), [latitude, longitude](const FixLine& line) {
        const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, latitude, longitude);
        return std::abs(Geodesy::WrapDifference(line.fBearing - link.fAzimuth)) > 90.0;
    });
}

double FixEstimator::WidestCrossing(const std::vector<FixLine>& lines, double latitude, double longitude)
{
    // Lines cross at the same angle whichever way they run: directions on a
    // circle of 180 degrees, sorted; the widest crossing is the largest
    // circular distance of two of them, found for each by a binary search
    // for the direction opposite (90 degrees on), so in n log n.
    std::vector<double> directions;
    directions.reserve(lines.size());
    for (const FixLine& line : lines) {
        const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, latitude, longitude);
        directions.push_back(std::fmod(link.fArrivalAzimuth + 360.0, 180.0));
    }
    std::sort(directions.begin(), directions.end());
    const auto distance = [](double a, double b) {
        const double d = std::abs(a - b);
        return std::min(d, 180.0 - d);
    };
    double widest = 0.0;
    for (double direction : directions) {
        const double opposite = std::fmod(direction + 90.0, 180.0);
        const auto it = std::lower_bound(directions.begin(), directions.end(), opposite);
        const double after = it == directions.end() ? directions.front() : *it;
        const double before = it == directions.begin() ? directions.back() : *(it - 1);
        widest = std::max({widest, distance(direction, after), distance(direction, before)});
    }
    return widest;
}
