#include "station/polargeometry.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

/// Decades of frequency from the centre to the rim: 100 kHz to 10 GHz.
const double LOG_INNER = 5.0;
const double LOG_OUTER = 10.0;
const QColor FILTERED_SHADE(0xf4, 0xc7, 0xc3);
const int LEGEND_LINE = 24;
const QColor BOW_COLOUR(0x6a, 0x3d, 0x9a);
const double BOW_LENGTH = 18.0;
const double BOW_WIDTH = 8.0;

struct Band
{
    double fUpTo;
    const char* pszName;
    QRgb colour;
};
const Band s_aBANDS[PolarGeometry::BAND_COUNT] = {
    {30e6, "HF", qRgb(0x1f, 0x77, 0xb4)},
    {300e6, "VHF", qRgb(0x2c, 0xa0, 0x2c)},
    {3e9, "UHF", qRgb(0xd6, 0x27, 0x28)},
    {0.0, "SHF", qRgb(0x80, 0x80, 0x80)},
};

}

PolarGeometry::PolarGeometry(QPointF centre, double radius, double up)
    : m_centre(centre)
    , m_fRadius(radius)
    , m_fUp(up)
{
}

QPointF PolarGeometry::PointOf(double azimuth, double frequency) const
{
    return PointAt(azimuth, RadiusOf(frequency));
}

double PolarGeometry::ScreenAngleOf(double azimuth) const
{
    const double angle = std::fmod(azimuth - m_fUp, 360.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

double PolarGeometry::TrueBearing(double relative, double heading)
{
    const double bearing = std::fmod(relative + heading, 360.0);
    return bearing < 0.0 ? bearing + 360.0 : bearing;
}

int PolarGeometry::BandOf(double frequency)
{
    int band = 0;
    while (band < BAND_COUNT - 1 && frequency >= s_aBANDS[band].fUpTo)
        ++band;
    return band;
}

QColor PolarGeometry::BandColour(int band)
{
    return QColor(s_aBANDS[std::clamp(band, 0, BAND_COUNT - 1)].colour);
}

QString PolarGeometry::BandName(int band)
{
    return QString::fromLatin1(s_aBANDS[std::clamp(band, 0, BAND_COUNT - 1)].pszName);
}

void PolarGeometry::PaintGrid(QPainter& painter, const std::vector<Sector>& filteredSectors, double heading) const
{
    const QRectF disc(m_centre.x() - m_fRadius, m_centre.y() - m_fRadius, 2 * m_fRadius, 2 * m_fRadius);
    // Qt counts angles counter-clockwise from three o'clock, compass azimuths clockwise from north.
    painter.setPen(Qt::NoPen);
    painter.setBrush(FILTERED_SHADE);
    for (const Sector& sector : filteredSectors) {
        const double span = sector.second - sector.first;
        const double to = ScreenAngleOf(TrueBearing(sector.second, heading));
        painter.drawPie(disc, static_cast<int>(std::lround((90.0 - to) * 16.0)),
                        static_cast<int>(std::lround(span * 16.0)));
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::lightGray, 1));
    for (double decade = 6.0; decade <= 9.0; decade += 1.0) {
        const double radius = RadiusOf(std::pow(10.0, decade));
        painter.drawEllipse(m_centre, radius, radius);
        painter.drawText(PointAt(0.0, radius) + QPointF(4, -4),
                         decade < 9.0 ? QStringLiteral("%1 MHz").arg(std::pow(10.0, decade - 6.0))
                                      : QStringLiteral("1 GHz"));
    }
    for (int azimuth = 0; azimuth < 360; azimuth += 30)
        painter.drawLine(m_centre, PointAt(azimuth, m_fRadius));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(disc);
    for (int i = 0; i < 4; ++i) {
        const QPointF at = PointAt(90.0 * i, m_fRadius + 22.0);
        painter.drawText(QRectF(at.x() - 15, at.y() - 10, 30, 20), Qt::AlignCenter, CompassLetter(i));
    }
}

void PolarGeometry::PaintBowMarker(QPainter& painter, double heading) const
{
    const double angle = ScreenAngleOf(heading) * M_PI / 180.0;
    const QPointF outward(std::sin(angle), -std::cos(angle));
    const QPointF across(-outward.y(), outward.x());
    const QPointF tip = m_centre + outward * (m_fRadius - BOW_LENGTH);
    const QPointF base = m_centre + outward * (m_fRadius + 2.0);
    QPolygonF wedge;
    wedge << tip << base + across * BOW_WIDTH << base - across * BOW_WIDTH;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(BOW_COLOUR, 2, Qt::DashLine));
    painter.drawLine(m_centre, tip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(BOW_COLOUR);
    painter.drawPolygon(wedge);
    painter.setPen(BOW_COLOUR);
    const QString label = QCoreApplication::translate("PolarGeometry", "Bow %1°").arg(heading, 0, 'f', 1);
    const QPointF at = m_centre + outward * (m_fRadius + 40.0);
    painter.drawText(QRectF(at.x() - 50, at.y() - 10, 100, 20), Qt::AlignCenter, label);
    painter.restore();
}

QString PolarGeometry::CompassLetter(int index)
{
    switch (index) {
    case 0:
        return QCoreApplication::translate("PolarGeometry", "N", "north");
    case 1:
        return QCoreApplication::translate("PolarGeometry", "E", "east");
    case 2:
        return QCoreApplication::translate("PolarGeometry", "S", "south");
    default:
        return QCoreApplication::translate("PolarGeometry", "W", "west");
    }
}

void PolarGeometry::PaintLegend(QPainter& painter, QPointF topLeft)
{
    const double x = topLeft.x();
    double y = topLeft.y();
    // The legend names the bands that the plots show in colour.
    for (int i = 0; i < BAND_COUNT - 1; ++i) {
        const Band& band = s_aBANDS[i];
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(band.colour));
        painter.drawEllipse(QPointF(x + 6, y + 8), 5, 5);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x + 18, y + 13), QString::fromLatin1(band.pszName));
        y += LEGEND_LINE;
    }
    painter.fillRect(QRectF(x, y + 2, 12, 12), FILTERED_SHADE);
    painter.drawText(QPointF(x + 18, y + 13), QCoreApplication::translate("PolarGeometry", "filtered by the device"));
}

QPointF PolarGeometry::PointAt(double azimuth, double radius) const
{
    const double angle = ScreenAngleOf(azimuth) * M_PI / 180.0;
    return {m_centre.x() + radius * std::sin(angle), m_centre.y() - radius * std::cos(angle)};
}

double PolarGeometry::RadiusOf(double frequency) const
{
    const double decade = std::log10(std::max(frequency, 1.0));
    return m_fRadius * std::clamp((decade - LOG_INNER) / (LOG_OUTER - LOG_INNER), 0.0, 1.0);
}
