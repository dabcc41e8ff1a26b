#pragma once

#include "station/polargeometry.h"

#include <QString>

#include <vector>

/// Draws bearings as a polar plot (see PolarGeometry) into a PNG file, north
/// up at their true bearings, the bow marked at the last heading.
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
    using Sector = PolarGeometry::Sector;

    static constexpr int SIZE = 800;

    explicit PolarPlot(std::vector<Sector> filteredSectors);

    /// relative: the azimuth the device measured from the bow; heading: the
    /// platform's true heading then; degrees. Frequency in Hz.
    void AddBearing(double relative, double heading, double frequency);
    /// False when the file cannot be written.
    bool Save(const QString& fileName, const QString& title) const;

private:
    std::vector<Sector> m_lstFilteredSectors;
    double m_fHeading = 0.0;
    /// Per pixel, row by row: 0 for no dot, else 1 + the band of the dot.
    std::vector<unsigned char> m_aDots;
};
