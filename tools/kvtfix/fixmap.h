#pragma once

#include "fusion/fix.h"
#include "tools/kvtfix/fixgeometry.h"

#include <QColor>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <vector>

/// Draws stations, bearing lines and fixes with their 95 % ellipses on a
/// longitude/latitude grid with a scale bar into a PNG file. The projection
/// is equirectangular about the middle latitude (east and north to the same
/// scale there), framing the stations and fixes: centred on the shortest
/// arc of longitudes that holds them all, so that data on both sides of the
/// antimeridian sit together in the middle, not at the two edges.
///
/// Paints on a QImage: needs a QGuiApplication but no screen.
class FixMap
{
public:
    static constexpr int WIDTH = 1000;
    static constexpr int HEIGHT = 800;
    static const QColor STATION_COLOUR;
    static const QColor FIX_COLOUR;
    static const QColor ELLIPSE_COLOUR;
    static const QColor BEARING_COLOUR;

    /// The fixes are borrowed until the map is destroyed.
    FixMap(const QString& title, std::vector<FixGeometry::Station> stations, const std::vector<Fix>& fixes);

    /// Where the grid lines go and what they say.
    struct Grid
    {
        /// Within [-90, 90].
        std::vector<double> lstLatitudes;
        /// As drawn: going on across ±180 from the centre, so that they rise from west to east.
        std::vector<double> lstLongitudes;
        /// Their labels, the longitudes within (-180, 180].
        QStringList lstLongitudeLabels;
        QStringList lstLatitudeLabels;
    };

    /// Where a position lands on the image.
    QPointF ToPixel(double latitude, double longitude) const;
    /// The longitude in the middle of the image, in (-180, 180].
    double GetCentreLongitude() const { return m_fLongitude0; }
    Grid GetGrid() const;
    /// False with the reason when the file cannot be written.
    bool Save(const QString& fileName, QString& rError) const;

private:
    void Frame();
    void DrawGrid(class QPainter& painter) const;
    void DrawScaleBar(class QPainter& painter) const;

    QString m_strTitle;
    std::vector<FixGeometry::Station> m_lstStations;
    const std::vector<Fix>& m_lstFixes;
    double m_fLatitude0 = 0.0;
    double m_fLongitude0 = 0.0;
    double m_fLongitudeScale = 1.0;
    double m_fPixelsPerDegree = 1.0;
};
