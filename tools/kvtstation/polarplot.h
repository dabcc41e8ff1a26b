#pragma once

#include <QString>

#include <utility>
#include <vector>

/// Draws bearings as a polar plot into a PNG file: north up, azimuth
/// clockwise, the distance from the centre the frequency on a logarithmic
/// scale (rings at 1 MHz, 10 MHz, 100 MHz and 1 GHz), one colour per band.
/// The sectors in which the device filters bearings out are shaded.
///
/// Paints on a QImage, so it needs a QGuiApplication but no screen (it works
/// with QT_QPA_PLATFORM=offscreen). The file is replaced atomically.
class PolarPlot
{
public:
    /// One point: azimuth in degrees, frequency in Hz.
    using Point = std::pair<double, double>;
    /// A sector (from, to) in degrees, clockwise from `from`.
    using Sector = std::pair<double, double>;

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
