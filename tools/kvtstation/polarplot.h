#pragma once

#include "tools/kvtstation/polargeometry.h"

#include <QString>

#include <utility>
#include <vector>

/// Draws bearings as a polar plot (see PolarGeometry) into a PNG file.
///
/// Paints on a QImage, so it needs a QGuiApplication but no screen (it works
/// with QT_QPA_PLATFORM=offscreen). The file is replaced atomically.
class PolarPlot
{
public:
    /// One point: azimuth in degrees, frequency in Hz.
    using Point = std::pair<double, double>;
    using Sector = PolarGeometry::Sector;

    static constexpr int SIZE = 800;

    PolarPlot(const QString& title, std::vector<Sector> filteredSectors);

    void AddBearing(double azimuth, double frequency);
    /// False when the file cannot be written.
    bool Save(const QString& fileName) const;

private:
    QString m_strTitle;
    std::vector<Sector> m_lstFilteredSectors;
    std::vector<Point> m_lstBearings;
};
