#include "tools/kvtconsole/mapprojection.h"

#include "fusion/geodesy.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEGREE = M_PI / 180.0;
const double METRES_PER_DEGREE = 111320.0;
/// The least extent Fit() shows, in degrees of latitude (about a kilometre).
const double MIN_SPAN = 0.01;
const double FIT_MARGIN = 1.2;

}

MapProjection::MapProjection(QSizeF size)
    : m_size(size)
{
}

void MapProjection::SetCentre(double latitude, double longitude)
{
    m_fLatitude0 = std::clamp(latitude, -90.0, 90.0);
    m_fLongitude0 = Geodesy::WrapDifference(longitude);
}

void MapProjection::SetScale(double pixelsPerDegree)
{
    m_fPixelsPerDegree = std::clamp(pixelsPerDegree, MIN_SCALE, MAX_SCALE);
}

QPointF MapProjection::ToScreen(double latitude, double longitude) const
{
    return {m_size.width() / 2.0
                + Geodesy::WrapDifference(longitude - m_fLongitude0) * LongitudeScale() * m_fPixelsPerDegree,
            m_size.height() / 2.0 - (latitude - m_fLatitude0) * m_fPixelsPerDegree};
}

MapProjection::Point MapProjection::ToGeo(QPointF pixel) const
{
    const double latitude = m_fLatitude0 - (pixel.y() - m_size.height() / 2.0) / m_fPixelsPerDegree;
    const double longitude =
        m_fLongitude0 + (pixel.x() - m_size.width() / 2.0) / (LongitudeScale() * m_fPixelsPerDegree);
    return {std::clamp(latitude, -90.0, 90.0), Geodesy::WrapDifference(longitude)};
}

void MapProjection::Pan(QPointF pixels)
{
    const Point centre = ToGeo(QPointF(m_size.width() / 2.0, m_size.height() / 2.0) - pixels);
    SetCentre(centre.first, centre.second);
}

void MapProjection::ZoomAt(QPointF pixel, double factor)
{
    const Point anchor = ToGeo(pixel);
    SetScale(m_fPixelsPerDegree * factor);
    // Put the anchor back under the pixel.
    const QPointF moved = ToScreen(anchor.first, anchor.second);
    Pan(pixel - moved);
}

void MapProjection::Fit(const std::vector<Point>& points)
{
    if (points.empty())
        return;
    std::vector<double> longitudes;
    double south = points.front().first;
    double north = south;
    for (const Point& point : points) {
        south = std::min(south, point.first);
        north = std::max(north, point.first);
        longitudes.push_back(point.second);
    }
    const double centre = CentralLongitude(longitudes);
    double halfWidth = 0.0;
    for (double longitude : longitudes)
        halfWidth = std::max(halfWidth, std::abs(Geodesy::WrapDifference(longitude - centre)));
    SetCentre(0.5 * (south + north), centre);
    m_fScaleLatitude = m_fLatitude0;
    const double spanX = std::max(2.0 * halfWidth * LongitudeScale() * FIT_MARGIN, MIN_SPAN);
    const double spanY = std::max((north - south) * FIT_MARGIN, MIN_SPAN);
    SetScale(std::min(m_size.width() / spanX, m_size.height() / spanY));
}

double MapProjection::MetresPerPixel() const
{
    return METRES_PER_DEGREE / m_fPixelsPerDegree;
}

double MapProjection::CentralLongitude(const std::vector<double>& longitudes)
{
    if (longitudes.empty())
        return 0.0;
    std::vector<double> sorted;
    for (double longitude : longitudes)
        sorted.push_back(Geodesy::WrapAzimuth(longitude));
    std::sort(sorted.begin(), sorted.end());
    // The widest gap between neighbours is the part of the circle the points leave out.
    double widestGap = sorted.front() + 360.0 - sorted.back();
    double start = sorted.front();
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const double gap = sorted[i] - sorted[i - 1];
        if (gap > widestGap) {
            widestGap = gap;
            start = sorted[i];
        }
    }
    return Geodesy::WrapDifference(start + (360.0 - widestGap) / 2.0);
}

double MapProjection::LongitudeScale() const
{
    return std::max(std::cos(m_fScaleLatitude * DEGREE), 0.01);
}
