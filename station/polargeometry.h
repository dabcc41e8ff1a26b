#pragma once

#include "kvtstationlib_export.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <utility>
#include <vector>

class QPainter;

/// The polar picture of bearings shared by the PNG plot and the console's
/// live display: true bearings clockwise, north up unless the picture is
/// turned (bow up: the platform's heading at the top), the distance from the
/// centre the frequency on a logarithmic scale (100 kHz at the centre to
/// 10 GHz at the rim, rings at 1 MHz, 10 MHz, 100 MHz and 1 GHz), one colour
/// per band, the sectors in which the device filters bearings out shaded (the
/// device measures them from the bow, so they turn with the heading), and the
/// bow marked on the rim at the platform's heading.
///
/// Texts pass through the translation context "PolarGeometry".
class KVTSTATION_EXPORT PolarGeometry
{
public:
    /// A sector (from, to) in degrees, clockwise from `from`.
    using Sector = std::pair<double, double>;

    /// centre and rim radius in the painter's coordinates; up: the true
    /// bearing drawn at the top (0: north up; the heading: bow up).
    PolarGeometry(QPointF centre, double radius, double up = 0.0);

    QPointF GetCentre() const { return m_centre; }
    double GetRadius() const { return m_fRadius; }
    double GetUp() const { return m_fUp; }
    /// Where a bearing of that true azimuth (degrees) and frequency (Hz) is drawn.
    QPointF PointOf(double azimuth, double frequency) const;
    /// The angle on the screen, clockwise from the top in [0, 360), at which
    /// a true azimuth is drawn.
    double ScreenAngleOf(double azimuth) const;
    /// The true bearing of an azimuth the device measured from the bow.
    static double TrueBearing(double relative, double heading);
    /// Bands HF, VHF, UHF and what lies above, numbered from 0.
    static constexpr int BAND_COUNT = 4;
    /// The band of the frequency (Hz).
    static int BandOf(double frequency);
    /// The band's colour (grey above UHF); band from 0 to BAND_COUNT - 1.
    static QColor BandColour(int band);
    /// The band's short name ("HF", "VHF", "UHF", "SHF").
    static QString BandName(int band);

    /// Shaded sectors (measured from the bow at that heading), frequency
    /// rings, azimuth spokes, rim and compass letters.
    void PaintGrid(QPainter& painter, const std::vector<Sector>& filteredSectors, double heading) const;
    /// The bow marker: a wedge on the rim at the heading (degrees, true), labelled.
    void PaintBowMarker(QPainter& painter, double heading) const;
    /// "N", "E", "S", "W" in the current language; index 0 to 3.
    static QString CompassLetter(int index);
    /// One line per band and one for the shading, from the top left corner down.
    static void PaintLegend(QPainter& painter, QPointF topLeft);

private:
    QPointF PointAt(double azimuth, double radius) const;
    double RadiusOf(double frequency) const;

    QPointF m_centre;
    double m_fRadius;
    double m_fUp;
};
