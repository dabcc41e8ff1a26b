#pragma once

#include <QPointF>
#include <QSizeF>

#include <utility>
#include <vector>

/// The map's projection: equirectangular about a centre, longitudes measured
/// from the centre's and folded into (-180, 180], so that stations on both
/// sides of the 180° meridian lie side by side instead of a world apart. The
/// east-west scale is that of the latitude Fit() last centred on (panning
/// keeps it, so a drag moves everything by the same pixels). Pixels grow to
/// the right and down; the centre of the view is the projection's centre.
class MapProjection
{
public:
    using Point = std::pair<double, double>;  ///< latitude, longitude

    /// A view of that size in pixels, centred on (0, 0) at 100 pixels per degree of latitude.
    explicit MapProjection(QSizeF size = QSizeF(800, 600));

    void SetSize(QSizeF size) { m_size = size; }
    QSizeF GetSize() const { return m_size; }
    void SetCentre(double latitude, double longitude);
    double GetCentreLatitude() const { return m_fLatitude0; }
    double GetCentreLongitude() const { return m_fLongitude0; }
    /// Pixels per degree of latitude, kept between MIN_SCALE and MAX_SCALE.
    void SetScale(double pixelsPerDegree);
    double GetScale() const { return m_fPixelsPerDegree; }

    QPointF ToScreen(double latitude, double longitude) const;
    /// The point under a pixel; longitude in (-180, 180], latitude clamped to the poles.
    Point ToGeo(QPointF pixel) const;
    /// Moves the picture by that many pixels (a drag).
    void Pan(QPointF pixels);
    /// Zooms by factor, keeping the point under the pixel where it is.
    void ZoomAt(QPointF pixel, double factor);
    /// Centre and scale that show every point with a margin (a tenth on each
    /// side, at least about a kilometre across); nothing changes without points.
    void Fit(const std::vector<Point>& points);
    /// Ground metres per pixel east-west at the centre's latitude.
    double MetresPerPixel() const;

    /// The longitude in the middle of the shortest arc of the circle that holds
    /// every one of them (for 179° and -179°: 180°).
    static double CentralLongitude(const std::vector<double>& longitudes);

    static constexpr double MIN_SCALE = 0.5;
    static constexpr double MAX_SCALE = 2e6;

private:
    double LongitudeScale() const;

    QSizeF m_size;
    double m_fLatitude0 = 0.0;
    double m_fLongitude0 = 0.0;
    double m_fPixelsPerDegree = 100.0;
    /// The latitude whose east-west scale the picture keeps.
    double m_fScaleLatitude = 0.0;
};
