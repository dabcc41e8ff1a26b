#include "tools/kvtstation/polarplot.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

const int MARGIN = 70;
const double RADIUS = (PolarPlot::SIZE - 2 * MARGIN) / 2.0;
/// Decades of frequency from the centre to the rim: 100 kHz to 10 GHz.
const double LOG_INNER = 5.0;
const double LOG_OUTER = 10.0;

struct Band
{
    double fUpTo;
    const char* pszName;
    QRgb colour;
};
const Band s_aBANDS[] = {
    {30e6, "HF", qRgb(0x1f, 0x77, 0xb4)},
    {300e6, "VHF", qRgb(0x2c, 0xa0, 0x2c)},
    {3e9, "UHF", qRgb(0xd6, 0x27, 0x28)},
};

double RadiusOf(double frequency)
{
    const double decade = std::log10(std::max(frequency, 1.0));
    return RADIUS * std::clamp((decade - LOG_INNER) / (LOG_OUTER - LOG_INNER), 0.0, 1.0);
}

QPointF PointAt(double azimuth, double radius)
{
    const double angle = azimuth * M_PI / 180.0;
    return {PolarPlot::SIZE / 2.0 + radius * std::sin(angle), PolarPlot::SIZE / 2.0 - radius * std::cos(angle)};
}

/// The band's index in s_aBANDS; beyond the last band its size.
size_t BandOf(double frequency)
{
    size_t index = 0;
    while (index < std::size(s_aBANDS) && frequency >= s_aBANDS[index].fUpTo)
        ++index;
    return index;
}

QColor ColourOf(size_t band)
{
    return band < std::size(s_aBANDS) ? QColor(s_aBANDS[band].colour) : QColor(Qt::darkGray);
}

}

PolarPlot::PolarPlot(std::vector<Sector> filteredSectors)
    : m_lstFilteredSectors(std::move(filteredSectors))
    , m_aDots(static_cast<size_t>(SIZE) * SIZE, 0)
{
}

void PolarPlot::AddBearing(double azimuth, double frequency)
{
    const QPointF at = PointAt(azimuth, RadiusOf(frequency));
    const int x = static_cast<int>(at.x());
    const int y = static_cast<int>(at.y());
    if (x < 0 || y < 0 || x >= SIZE || y >= SIZE)
        return;
    m_aDots[static_cast<size_t>(y) * SIZE + static_cast<size_t>(x)] = static_cast<unsigned char>(1 + BandOf(frequency));
}

bool PolarPlot::Save(const QString& fileName, const QString& title) const
{
    QImage image(SIZE, SIZE, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(SIZE / 2.0, SIZE / 2.0);
    const QRectF disc(centre.x() - RADIUS, centre.y() - RADIUS, 2 * RADIUS, 2 * RADIUS);

    // Qt counts angles counter-clockwise from three o'clock, compass azimuths clockwise from north.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf4, 0xc7, 0xc3));
    for (const Sector& sector : m_lstFilteredSectors) {
        const double span = sector.second - sector.first;
        painter.drawPie(disc, static_cast<int>(std::lround((90.0 - sector.second) * 16.0)),
                        static_cast<int>(std::lround(span * 16.0)));
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::lightGray, 1));
    for (double decade = 6.0; decade <= 9.0; decade += 1.0) {
        const double radius = RadiusOf(std::pow(10.0, decade));
        painter.drawEllipse(centre, radius, radius);
        painter.drawText(PointAt(0.0, radius) + QPointF(4, -4),
                         decade < 9.0 ? QStringLiteral("%1 MHz").arg(std::pow(10.0, decade - 6.0))
                                      : QStringLiteral("1 GHz"));
    }
    for (int azimuth = 0; azimuth < 360; azimuth += 30)
        painter.drawLine(centre, PointAt(azimuth, RADIUS));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(disc);
    const char* const aCompass[] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; ++i) {
        const QPointF at = PointAt(90.0 * i, RADIUS + 22.0);
        painter.drawText(QRectF(at.x() - 15, at.y() - 10, 30, 20), Qt::AlignCenter, QString::fromLatin1(aCompass[i]));
    }

    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < m_aDots.size(); ++i) {
        if (m_aDots[i] == 0)
            continue;
        painter.setBrush(ColourOf(m_aDots[i] - 1u));
        painter.drawEllipse(QPointF(static_cast<double>(i % SIZE) + 0.5, static_cast<double>(i / SIZE) + 0.5), 3.0,
                            3.0);
    }

    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 8, SIZE, 24), Qt::AlignHCenter, title);
    int y = SIZE - 24 * static_cast<int>(std::size(s_aBANDS)) - 28;
    for (const Band& band : s_aBANDS) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(band.colour));
        painter.drawEllipse(QPointF(20, y + 8), 5, 5);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(32, y + 13), QString::fromLatin1(band.pszName));
        y += 24;
    }
    painter.fillRect(QRectF(14, y + 2, 12, 12), QColor(0xf4, 0xc7, 0xc3));
    painter.drawText(QPointF(32, y + 13), QStringLiteral("filtered by the device"));
    painter.end();

    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}
