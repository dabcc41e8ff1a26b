#pragma once

#include <QColor>
#include <QPointF>
#include <QString>

#include <utility>
#include <vector>

class QPainter;

/// The polar picture of bearings shared by the PNG plot and the console's
/// live display: north up, azimuth clockwise, the distance from the centre the
/// frequency on a logarithmic scale (100 kHz at the centre to 10 GHz at the
/// rim, rings at 1 MHz, 10 MHz, 100 MHz and 1 GHz), one colour per band, the
/// sectors in which the device filters bearings out shaded.
///
/// Texts pass through the translation context "PolarGeometry".
class PolarGeometry
{
public:
    /// A sector (from, to) in degrees, clockwise from `from`.
    using Sector = std::pair<double, double>;

    /// centre and rim radius in the painter's coordinates.
    PolarGeometry(QPointF centre, double radius);

    QPointF GetCentre() const { return m_centre; }
    double GetRadius() const { return m_fRadius; }
    /// Where a bearing of that azimuth (degrees) and frequency (Hz) is drawn.
    QPointF PointOf(double azimuth, double frequency) const;
    /// Bands HF, VHF, UHF and what lies above, numbered from 0.
    static constexpr int BAND_COUNT = 4;
    /// The band of the frequency (Hz).
    static int BandOf(double frequency);
    /// The band's colour (grey above UHF); band from 0 to BAND_COUNT - 1.
    static QColor BandColour(int band);
    /// The band's short name ("HF", "VHF", "UHF", "SHF").
    static QString BandName(int band);

    /// Shaded sectors, frequency rings, azimuth spokes, rim and compass letters.
    void PaintGrid(QPainter& painter, const std::vector<Sector>& filteredSectors) const;
    /// One line per band and one for the shading, from the top left corner down.
    static void PaintLegend(QPainter& painter, QPointF topLeft);

private:
    QPointF PointAt(double azimuth, double radius) const;
    double RadiusOf(double frequency) const;

    QPointF m_centre;
    double m_fRadius;
};
