#include "tools/kvtfix/fixmap.h"

#include "fusion/geodesy.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

const QColor FixMap::STATION_COLOUR = QColor(0x10, 0x10, 0x10);
const QColor FixMap::FIX_COLOUR = QColor(0xd6, 0x27, 0x28);
const QColor FixMap::ELLIPSE_COLOUR = QColor(0x1f, 0x77, 0xb4);
const QColor FixMap::BEARING_COLOUR = QColor(0xff, 0xa5, 0x00, 0x60);

namespace {

const int MARGIN = 60;
constexpr double DEGREE = M_PI / 180.0;

/// The smallest of 1, 2, 5 times a power of ten that is at least value.
double NiceStep(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= value)
            return factor * power;
    }
    return 10.0 * power;
}

}

FixMap::FixMap(const QString& title, std::vector<FixGeometry::Station> stations, const std::vector<Fix>& fixes)
    : m_strTitle(title)
    , m_lstStations(std::move(stations))
    , m_lstFixes(fixes)
{
    Frame();
}

void FixMap::Frame()
{
    std::vector<FixGeometry::Point> points;
    for (const FixGeometry::Station& station : m_lstStations)
        points.emplace_back(station.fLatitude, station.fLongitude);
    for (const Fix& fix : m_lstFixes)
        points.emplace_back(fix.fLatitude, fix.fLongitude);
    if (points.empty())
        points.emplace_back(0.0, 0.0);
    double south = points.front().first, north = south, west = points.front().second, east = west;
    for (const FixGeometry::Point& point : points) {
        south = std::min(south, point.first);
        north = std::max(north, point.first);
        west = std::min(west, point.second);
        east = std::max(east, point.second);
    }
    m_fLatitude0 = 0.5 * (south + north);
    m_fLongitude0 = 0.5 * (west + east);
    m_fLongitudeScale = std::max(std::cos(m_fLatitude0 * DEGREE), 0.01);
    // A tenth more on every side, and at least about a kilometre across.
    const double spanX = std::max((east - west) * m_fLongitudeScale * 1.2, 0.01);
    const double spanY = std::max((north - south) * 1.2, 0.01);
    m_fPixelsPerDegree = std::min((WIDTH - 2 * MARGIN) / spanX, (HEIGHT - 2 * MARGIN) / spanY);
}

QPointF FixMap::ToPixel(double latitude, double longitude) const
{
    return {WIDTH / 2.0 + (longitude - m_fLongitude0) * m_fLongitudeScale * m_fPixelsPerDegree,
            HEIGHT / 2.0 - (latitude - m_fLatitude0) * m_fPixelsPerDegree};
}

void FixMap::DrawGrid(QPainter& painter) const
{
    const double halfHeight = HEIGHT / 2.0 / m_fPixelsPerDegree;
    const double halfWidth = WIDTH / 2.0 / m_fPixelsPerDegree / m_fLongitudeScale;
    const double latitudeStep = NiceStep(2.0 * halfHeight / 8.0);
    const double longitudeStep = NiceStep(2.0 * halfWidth / 8.0);
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(std::min(latitudeStep, longitudeStep)))));
    const QPen line(QColor(0xd0, 0xd0, 0xd0), 1);
    const QPen label(QColor(0x70, 0x70, 0x70));
    for (double latitude = std::ceil((m_fLatitude0 - halfHeight) / latitudeStep) * latitudeStep;
         latitude <= m_fLatitude0 + halfHeight; latitude += latitudeStep) {
        const double y = ToPixel(latitude, m_fLongitude0).y();
        painter.setPen(line);
        painter.drawLine(QPointF(0, y), QPointF(WIDTH, y));
        painter.setPen(label);
        painter.drawText(QPointF(4, y - 3), QStringLiteral("%1°").arg(latitude, 0, 'f', decimals));
    }
    for (double longitude = std::ceil((m_fLongitude0 - halfWidth) / longitudeStep) * longitudeStep;
         longitude <= m_fLongitude0 + halfWidth; longitude += longitudeStep) {
        const double x = ToPixel(m_fLatitude0, longitude).x();
        painter.setPen(line);
        painter.drawLine(QPointF(x, 0), QPointF(x, HEIGHT));
        painter.setPen(label);
        painter.drawText(QPointF(x + 3, HEIGHT - 4), QStringLiteral("%1°").arg(longitude, 0, 'f', decimals));
    }
}

void FixMap::DrawScaleBar(QPainter& painter) const
{
    // The ground length of a fifth of the width, measured along the middle latitude.
    const double metresPerPixel =
        Geodesy::Between(m_fLatitude0, m_fLongitude0, m_fLatitude0, m_fLongitude0 + 1.0).fDistance
        / (m_fPixelsPerDegree * m_fLongitudeScale);
    const double metres = NiceStep(WIDTH / 5.0 * metresPerPixel) / 2.0;
    const double length = metres / metresPerPixel;
    const QPointF start(MARGIN, HEIGHT - 30);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawLine(start, start + QPointF(length, 0));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawText(start + QPointF(0, -8), metres >= 1000.0 ? QStringLiteral("%1 km").arg(metres / 1000.0)
                                                              : QStringLiteral("%1 m").arg(metres));
}

bool FixMap::Save(const QString& fileName, QString& rError) const
{
    QImage image(WIDTH, HEIGHT, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGrid(painter);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(BEARING_COLOUR, 1.5));
    for (const Fix& fix : m_lstFixes) {
        for (const FixLine& line : fix.lstLines) {
            QPainterPath path;
            const std::vector<FixGeometry::Point> points = FixGeometry::BearingLine(line, fix);
            path.moveTo(ToPixel(points.front().first, points.front().second));
            for (const FixGeometry::Point& point : points)
                path.lineTo(ToPixel(point.first, point.second));
            painter.drawPath(path);
        }
    }
    painter.setPen(QPen(ELLIPSE_COLOUR, 1.5));
    for (const Fix& fix : m_lstFixes) {
        QPolygonF outline;
        for (const FixGeometry::Point& point : FixGeometry::Ellipse(fix))
            outline << ToPixel(point.first, point.second);
        painter.drawPolygon(outline);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(FIX_COLOUR);
    for (const Fix& fix : m_lstFixes)
        painter.drawEllipse(ToPixel(fix.fLatitude, fix.fLongitude), 4.0, 4.0);
    for (const FixGeometry::Station& station : m_lstStations) {
        const QPointF at = ToPixel(station.fLatitude, station.fLongitude);
        painter.setPen(Qt::NoPen);
        painter.setBrush(STATION_COLOUR);
        painter.drawPolygon(QPolygonF({at + QPointF(0, -9), at + QPointF(8, 6), at + QPointF(-8, 6)}));
        painter.setPen(STATION_COLOUR);
        painter.drawText(at + QPointF(10, -8), station.strName);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 8, WIDTH, 24), Qt::AlignHCenter, m_strTitle);
    DrawScaleBar(painter);
    painter.end();

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        rError = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}
