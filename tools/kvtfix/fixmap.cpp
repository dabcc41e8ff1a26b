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

/// The middle of the shortest arc of longitude that holds all of them, in
/// (-180, 180], and the arc's length: the complement of the widest gap
/// between neighbours round the circle.
std::pair<double, double> LongitudeArc(std::vector<double> longitudes)
{
    for (double& longitude : longitudes)
        longitude = Geodesy::WrapDifference(longitude);
    std::sort(longitudes.begin(), longitudes.end());
    double gap = longitudes.front() + 360.0 - longitudes.back();
    double west = longitudes.front();
    for (size_t i = 1; i < longitudes.size(); ++i) {
        if (longitudes[i] - longitudes[i - 1] > gap) {
            gap = longitudes[i] - longitudes[i - 1];
            west = longitudes[i];
        }
    }
    const double span = 360.0 - gap;
    return {Geodesy::WrapDifference(west + 0.5 * span), span};
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
    std::vector<double> longitudes;
    double south = 90.0, north = -90.0;
    const auto take = [&](double latitude, double longitude) {
        longitudes.push_back(longitude);
        south = std::min(south, latitude);
        north = std::max(north, latitude);
    };
    for (const FixGeometry::Station& station : m_lstStations)
        take(station.fLatitude, station.fLongitude);
    for (const Fix& fix : m_lstFixes)
        take(fix.fLatitude, fix.fLongitude);
    if (longitudes.empty())
        take(0.0, 0.0);
    const std::pair<double, double> arc = LongitudeArc(longitudes);
    m_fLatitude0 = 0.5 * (south + north);
    m_fLongitude0 = arc.first;
    m_fLongitudeScale = std::max(std::cos(m_fLatitude0 * DEGREE), 0.01);
    // A tenth more on every side, and at least about a kilometre across.
    const double spanX = std::max(arc.second * m_fLongitudeScale * 1.2, 0.01);
    const double spanY = std::max((north - south) * 1.2, 0.01);
    m_fPixelsPerDegree = std::min((WIDTH - 2 * MARGIN) / spanX, (HEIGHT - 2 * MARGIN) / spanY);
}

QPointF FixMap::ToPixel(double latitude, double longitude) const
{
    return {WIDTH / 2.0 + Geodesy::WrapDifference(longitude - m_fLongitude0) * m_fLongitudeScale * m_fPixelsPerDegree,
            HEIGHT / 2.0 - (latitude - m_fLatitude0) * m_fPixelsPerDegree};
}

FixMap::Grid FixMap::GetGrid() const
{
    const double halfHeight = HEIGHT / 2.0 / m_fPixelsPerDegree;
    // Never more than once round: each meridian is drawn once.
    const double halfWidth = std::min(WIDTH / 2.0 / m_fPixelsPerDegree / m_fLongitudeScale, 179.999);
    const double latitudeStep = NiceStep(2.0 * halfHeight / 8.0);
    const double longitudeStep = NiceStep(2.0 * halfWidth / 8.0);
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(std::min(latitudeStep, longitudeStep)))));
    const auto label = [decimals](double degrees) { return QStringLiteral("%1°").arg(degrees, 0, 'f', decimals); };
    Grid grid;
    const double north = std::min(m_fLatitude0 + halfHeight, 90.0);
    for (double latitude = std::ceil(std::max(m_fLatitude0 - halfHeight, -90.0) / latitudeStep) * latitudeStep;
         latitude <= north; latitude += latitudeStep) {
        grid.lstLatitudes.push_back(latitude);
        grid.lstLatitudeLabels.append(label(latitude));
    }
    for (double longitude = std::ceil((m_fLongitude0 - halfWidth) / longitudeStep) * longitudeStep;
         longitude <= m_fLongitude0 + halfWidth; longitude += longitudeStep) {
        grid.lstLongitudes.push_back(longitude);
        grid.lstLongitudeLabels.append(label(Geodesy::WrapDifference(longitude)));
    }
    return grid;
}

void FixMap::DrawGrid(QPainter& painter) const
{
    const Grid grid = GetGrid();
    const QPen line(QColor(0xd0, 0xd0, 0xd0), 1);
    const QPen label(QColor(0x70, 0x70, 0x70));
    for (size_t i = 0; i < grid.lstLatitudes.size(); ++i) {
        const double y = ToPixel(grid.lstLatitudes[i], m_fLongitude0).y();
        painter.setPen(line);
        painter.drawLine(QPointF(0, y), QPointF(WIDTH, y));
        painter.setPen(label);
        painter.drawText(QPointF(4, y - 3), grid.lstLatitudeLabels[static_cast<int>(i)]);
    }
    for (size_t i = 0; i < grid.lstLongitudes.size(); ++i) {
        const double x = ToPixel(m_fLatitude0, grid.lstLongitudes[i]).x();
        painter.setPen(line);
        painter.drawLine(QPointF(x, 0), QPointF(x, HEIGHT));
        painter.setPen(label);
        painter.drawText(QPointF(x + 3, HEIGHT - 4), grid.lstLongitudeLabels[static_cast<int>(i)]);
    }
}

void FixMap::DrawScaleBar(QPainter& painter) const
{
    // The ground length of a fifth of the width, measured along the meridian
    // (the parallels shrink to nothing at a pole; the map's scale is the same both ways).
    const double south = std::min(m_fLatitude0, 89.0);
    const double metresPerPixel =
        Geodesy::Between(south, m_fLongitude0, south + 1.0, m_fLongitude0).fDistance / m_fPixelsPerDegree;
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
