#pragma once

#include <QString>

#include <utility>
#include <vector>

/// Draws bearings as a polar plot into a PNG file: north up, azimuth
/// clockwise, the distance from the centre the frequency on a logarithmic
/// scale (rings at 1 MHz, 10 MHz, 100 MHz and 1 GHz), one colour per band.
/// The sectors in which the device filters bearings out are shaded.
///
/// Memory stays the same however many bearings come: each pixel keeps the
/// band of the last bearing that fell on it, and the dots are drawn at pixel
/// centres.
///
/// Paints on a QImage, so it needs a QGuiApplication but no screen (it works
/// with QT_QPA_PLATFORM=offscreen). The file is replaced atomically.
class PolarPlot
{
public:
    /// A sector (from, to) in degrees, clockwise from `from`.
    using Sector = std::pair<double, double>;

    static constexpr int SIZE = 800;

    explicit PolarPlot(std::vector<Sector> filteredSectors);

    /// Azimuth in degrees, frequency in Hz.
    void AddBearing(double azimuth, double frequency);
    /// False when the file cannot be written.
    bool Save(const QString& fileName, const QString& title) const;

private:
    std::vector<Sector> m_lstFilteredSectors;
    /// Per pixel, row by row: 0 for no dot, else 1 + the band of the dot.
    std::vector<unsigned char> m_aDots;
};
