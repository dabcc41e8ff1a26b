#pragma once

#include "fusion/fix.h"
#include "tools/kvtfix/fixgeometry.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <vector>

/// Draws stations, bearing lines and fixes with their 95 % ellipses on a
/// longitude/latitude grid with a scale bar into a PNG file. The projection
/// is equirectangular about the middle latitude (east and north to the same
/// scale there), framing the stations and fixes.
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

    /// Where a position lands on the image.
    QPointF ToPixel(double latitude, double longitude) const;
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
