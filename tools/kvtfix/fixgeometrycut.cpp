#include "tools/kvtfix/fixgeometrycut.h"

#include "fusion/geodesy.h"

#include <algorithm>
#include <cmath>

namespace FixGeometry
{

namespace {

/// Points whose longitudes go on across ±180 instead of jumping back.
std::vector<Point> Unwrapped(const std::vector<Point>& points)
{
    std::vector<Point> unwrapped = points;
    for (size_t i = 1; i < unwrapped.size(); ++i)
        unwrapped[i].second = unwrapped[i - 1].second + Geodesy::WrapDifference(points[i].second - points[i - 1].second);
    return unwrapped;
}

/// The latitude where the segment from a to b reaches longitude.
double LatitudeAt(const Point& a, const Point& b, double longitude)
{
    const double t = (longitude - a.second) / (b.second - a.second);
    return a.first + t * (b.first - a.first);
}

/// Twice the signed area of an open ring in the (longitude, latitude) plane; positive when counter-clockwise.
double SignedArea(const std::vector<Point>& ring)
{
    double area = 0.0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Point& next = ring[(i + 1) % ring.size()];
        area += ring[i].second * next.first - next.second * ring[i].first;
    }
    return area;
}

/// The part of an open ring on one side of a meridian (Sutherland–Hodgman).
std::vector<Point> Clip(const std::vector<Point>& ring, double meridian, bool keepEast)
{
    const auto inside = [=](const Point& point) {
        return keepEast ? point.second >= meridian : point.second <= meridian;
    };
    std::vector<Point> clipped;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Point& current = ring[i];
        const Point& previous = ring[(i + ring.size() - 1) % ring.size()];
        if (inside(current) != inside(previous))
            clipped.emplace_back(LatitudeAt(previous, current, meridian), meridian);
        if (inside(current))
            clipped.push_back(current);
    }
    return clipped;
}

}

Parts CutLine(const std::vector<Point>& points)
{
    Parts parts(1);
    if (points.empty())
        return {};
    // The sheet [-180, 180] + 360 * sheet the line is in; its edges belong to it.
    int sheet = 0;
    const std::vector<Point> unwrapped = Unwrapped(points);
    parts.back().push_back(points.front());
    for (size_t i = 1; i < unwrapped.size(); ++i) {
        const Point& previous = unwrapped[i - 1];
        const Point& current = unwrapped[i];
        const double west = -180.0 + 360.0 * sheet, east = west + 360.0;
        if (current.second > east || current.second < west) {
            const double edge = current.second > east ? east : west;
            const double latitude = LatitudeAt(previous, current, edge);
            if (previous.second != edge)
                parts.back().emplace_back(latitude, edge - 360.0 * sheet);
            sheet += current.second > east ? 1 : -1;
            parts.emplace_back(1, Point(latitude, edge - 360.0 * sheet));
        }
        parts.back().emplace_back(current.first, current.second - 360.0 * sheet);
    }
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const std::vector<Point>& part) { return part.size() < 2; }),
                parts.end());
    return parts;
}

Parts CutRing(const std::vector<Point>& ring)
{
    if (ring.size() < 4)
        return {};
    std::vector<Point> open = Unwrapped(ring);
    const double turn = open.back().second - open.front().second;
    open.pop_back();
    double step = 360.0;
    if (std::abs(turn) > 180.0) {
        // Round a pole: the ring from the antimeridian round to it again,
        // closed along the pole's latitude.
        const Parts pieces = CutLine(ring);
        open.clear();
        for (size_t i = 1; i <= pieces.size(); ++i) {
            const std::vector<Point>& piece = pieces[i % pieces.size()];
            open.insert(open.end(), piece.begin() + (open.empty() || open.back() != piece.front() ? 0 : 1), piece.end());
        }
        double latitude = 0.0;
        for (const Point& point : open)
            latitude += point.first;
        const Point end(latitude > 0.0 ? 90.0 : -90.0, open.back().second);
        const Point start(end.first, open.front().second);
        open.push_back(end);
        open.push_back(start);
        step = 180.0;
    }
    if (SignedArea(open) < 0.0)
        std::reverse(open.begin(), open.end());
    const auto [westmost, eastmost] = std::minmax_element(
        open.begin(), open.end(), [](const Point& a, const Point& b) { return a.second < b.second; });
    Parts parts;
    // Edges at -180 + 360 k; a cap's at every multiple of 180.
    for (double edge = std::floor((westmost->second + 180.0) / step) * step - 180.0; edge < eastmost->second;
         edge += step) {
        std::vector<Point> piece = Clip(Clip(open, edge, true), edge + step, false);
        const double shift = 360.0 * std::floor((edge + 180.0) / 360.0);
        for (Point& point : piece)
            point.second -= shift;
        if (piece.size() < 3 || SignedArea(piece) <= 0.0)
            continue;
        piece.push_back(piece.front());
        parts.push_back(std::move(piece));
    }
    return parts;
}

}
