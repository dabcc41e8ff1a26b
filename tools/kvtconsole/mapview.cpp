#include "tools/kvtconsole/mapview.h"

#include "fusion/geodesy.h"
#include "tools/kvtconsole/networkmodel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const int LINE_POINTS = 24;
const double STATION_SIZE = 7.0;
const double FIX_SIZE = 4.0;
const double HOVER_DISTANCE = 6.0;
const double ZOOM_PER_STEP = 1.25;
const int GRID_LINES = 8;
/// Longest line of bearing drawn, metres: a quarter of the way round the earth.
const double MAX_LINE = 10e6;
const QColor LINE_COLOUR(0xff, 0x8c, 0x00);
const QColor ELLIPSE_COLOUR(0x1f, 0x77, 0xb4);

/// The smallest of 1, 2, 5 times a power of ten that is at least value.
double NiceStep(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= value)
            return factor * power;
    }
    return 10.0 * power;
}

double DistanceToSegment(QPointF point, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0.0 ? std::clamp(QPointF::dotProduct(point - a, ab) / length, 0.0, 1.0) : 0.0;
    const QPointF nearest = a + t * ab;
    return std::hypot(point.x() - nearest.x(), point.y() - nearest.y());
}

}

const QColor MapView::ONLINE_COLOUR(0x2c, 0xa0, 0x2c);
const QColor MapView::OFFLINE_COLOUR(0x99, 0x99, 0x99);
const QColor MapView::FIX_COLOUR(0xd6, 0x27, 0x28);
const QColor MapView::FLAGGED_FIX_COLOUR(0xff, 0x7f, 0x0e);
const QColor MapView::HANDOVER_COLOUR(0x94, 0x67, 0xbd);

MapView::MapView(const NetworkModel& model, QWidget* pParent)
    : TippedWidget(pParent)
    , m_model(model)
    , m_projection(QSizeF(size()))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void MapView::Frame()
{
    std::vector<MapProjection::Point> points;
    for (const auto& entry : m_model.GetStations()) {
        if (entry.second.bPositionKnown)
            points.emplace_back(entry.second.fLatitude, entry.second.fLongitude);
    }
    for (const NetworkModel::MapFix& fix : m_model.GetFixes())
        points.emplace_back(fix.fix.fLatitude, fix.fix.fLongitude);
    // A hidden widget learns of its size only when shown.
    m_projection.SetSize(QSizeF(size()));
    m_projection.Fit(points);
    m_nFramedObjects = points.size();
    update();
}

void MapView::Refresh()
{
    if (m_model.GetGeneration() == m_nShownGeneration)
        return;
    m_nShownGeneration = m_model.GetGeneration();
    if (!m_bUserMoved && m_model.GetStations().size() + m_model.GetFixes().size() != m_nFramedObjects)
        Frame();
    update();
}

QString MapView::ToolTipAt(QPoint pos) const
{
    const QPointF point(pos);
    const auto near = [&point](QPointF at, double distance) {
        return std::hypot(at.x() - point.x(), at.y() - point.y()) <= distance;
    };
    for (const auto& entry : m_model.GetStations()) {
        const NetworkModel::Station& station = entry.second;
        if (!station.bPositionKnown || !near(m_projection.ToScreen(station.fLatitude, station.fLongitude), STATION_SIZE + 2))
            continue;
        QString text = tr("Station %1 (%2), %3\n%4°, %5°, heading %6°")
                           .arg(station.strName, RoleText(station.strRole),
                                station.bOnline ? tr("online") : tr("offline"))
                           .arg(station.fLatitude, 0, 'f', 4)
                           .arg(station.fLongitude, 0, 'f', 4)
                           .arg(station.fHeading, 0, 'f', 1);
        if (station.fHandoverFrequency > 0.0)
            text += tr("\nHands over %1 MHz").arg(station.fHandoverFrequency / 1e6, 0, 'f', 3);
        const std::deque<NetworkModel::Handover>& handovers = m_model.GetHandovers();
        const auto newest = std::find_if(handovers.rbegin(), handovers.rend(), [&station](const auto& handover) {
            return handover.strSender == station.strName && handover.strTag == QLatin1String("FRQ");
        });
        if (newest != handovers.rend() && !newest->lstApplied.isEmpty())
            text += tr("\nTuned to it: %1").arg(newest->lstApplied.join(QStringLiteral(", ")));
        return text;
    }
    const std::deque<NetworkModel::MapFix>& fixes = m_model.GetFixes();
    for (auto it = fixes.rbegin(); it != fixes.rend(); ++it) {
        const Fix& fix = it->fix;
        if (!near(m_projection.ToScreen(fix.fLatitude, fix.fLongitude), FIX_SIZE + 3))
            continue;
        return tr("Fix %1 MHz at %2°, %3°\n95 %: %4 × %5 m, major axis %6°\n%7 stations, %8 bearings%9")
            .arg(fix.fFrequency / 1e6, 0, 'f', 3)
            .arg(fix.fLatitude, 0, 'f', 4)
            .arg(fix.fLongitude, 0, 'f', 4)
            .arg(fix.ellipse.fSemiMajor, 0, 'f', 0)
            .arg(fix.ellipse.fSemiMinor, 0, 'f', 0)
            .arg(fix.ellipse.fOrientation, 0, 'f', 0)
            .arg(fix.nStations)
            .arg(fix.nBearings)
            .arg(fix.nFlags != 0 ? tr("\nFlags: %1").arg(fix.FlagNames().join(QStringLiteral(", "))) : QString());
    }
    for (const auto& entry : m_model.GetStations()) {
        const NetworkModel::Station& station = entry.second;
        if (!station.bHasBearing || m_model.GetNowMs() - station.nBearingTimeMs > LINE_FADE_MS)
            continue;
        const QPolygonF line = LineOfBearing(station.fLatitude, station.fLongitude, station.fBearing);
        for (int i = 1; i < line.size(); ++i) {
            if (DistanceToSegment(point, line[i - 1], line[i]) <= HOVER_DISTANCE / 2)
                return tr("Line of bearing of %1: %2° true at %3 MHz, %4 s old")
                    .arg(station.strName)
                    .arg(station.fBearing, 0, 'f', 1)
                    .arg(station.fFrequency / 1e6, 0, 'f', 3)
                    .arg((m_model.GetNowMs() - station.nBearingTimeMs) / 1000.0, 0, 'f', 1);
        }
    }
    return QString();
}

QString MapView::RoleText(const QString& role)
{
    if (role == QLatin1String("sender"))
        return tr("sender");
    if (role == QLatin1String("receiver"))
        return tr("receiver");
    return role.isEmpty() ? tr("stand-alone") : role;
}

QSize MapView::sizeHint() const
{
    return {800, 600};
}

void MapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintGrid(painter);
    PaintLines(painter);
    PaintFixes(painter);
    PaintHandovers(painter);
    PaintStations(painter);
    PaintScaleBar(painter);
    if (m_model.GetStations().empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter, tr("No station heard on the broker yet"));
    }
}

void MapView::resizeEvent(QResizeEvent*)
{
    m_projection.SetSize(QSizeF(size()));
    if (!m_bUserMoved)
        Frame();
}

void MapView::mousePressEvent(QMouseEvent* pEvent)
{
    m_lastDrag = pEvent->pos();
}

void MapView::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!(pEvent->buttons() & Qt::LeftButton))
        return;
    m_projection.Pan(QPointF(pEvent->pos() - m_lastDrag));
    m_lastDrag = pEvent->pos();
    m_bUserMoved = true;
    update();
}

void MapView::mouseDoubleClickEvent(QMouseEvent*)
{
    m_bUserMoved = false;
    Frame();
}

void MapView::wheelEvent(QWheelEvent* pEvent)
{
    const double steps = pEvent->angleDelta().y() / 120.0;
    m_projection.ZoomAt(pEvent->position(), std::pow(ZOOM_PER_STEP, steps));
    m_bUserMoved = true;
    update();
}

void MapView::PaintGrid(QPainter& painter) const
{
    const double halfHeight = height() / 2.0 / m_projection.GetScale();
    const MapProjection::Point west = m_projection.ToGeo(QPointF(0, height() / 2.0));
    const double halfWidth = std::abs(Geodesy::WrapDifference(m_projection.GetCentreLongitude() - west.second));
    const double latitudeStep = NiceStep(2.0 * halfHeight / GRID_LINES);
    const double longitudeStep = NiceStep(2.0 * std::max(halfWidth, 1e-6) / GRID_LINES);
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(std::min(latitudeStep, longitudeStep)))));
    const QPen line(QColor(0xd8, 0xd8, 0xd8), 1);
    const QPen label(QColor(0x70, 0x70, 0x70));
    const double latitude0 = m_projection.GetCentreLatitude();
    const double longitude0 = m_projection.GetCentreLongitude();
    for (double latitude = std::ceil((latitude0 - halfHeight) / latitudeStep) * latitudeStep;
         latitude <= latitude0 + halfHeight; latitude += latitudeStep) {
        if (std::abs(latitude) > 90.0)
            continue;
        const double y = m_projection.ToScreen(latitude, longitude0).y();
        painter.setPen(line);
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
        painter.setPen(label);
        painter.drawText(QPointF(4, y - 3), QStringLiteral("%1°").arg(latitude, 0, 'f', decimals));
    }
    // Counted from the centre, named folded into (-180, 180]: the grid runs on across 180°.
    const double first = std::ceil((longitude0 - halfWidth) / longitudeStep) * longitudeStep;
    for (double longitude = first; longitude <= longitude0 + halfWidth; longitude += longitudeStep) {
        const double x = m_projection.ToScreen(latitude0, longitude).x();
        painter.setPen(line);
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
        painter.setPen(label);
        painter.drawText(QPointF(x + 3, height() - 4),
                         QStringLiteral("%1°").arg(Geodesy::WrapDifference(longitude), 0, 'f', decimals));
    }
}

void MapView::PaintScaleBar(QPainter& painter) const
{
    const double metresPerPixel = m_projection.MetresPerPixel();
    const double metres = NiceStep(width() / 5.0 * metresPerPixel) / 2.0;
    const double length = metres / metresPerPixel;
    const QPointF start(20, height() - 24);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawLine(start, start + QPointF(length, 0));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawText(start + QPointF(0, -8), metres >= 1000.0 ? QStringLiteral("%1 km").arg(metres / 1000.0)
                                                              : QStringLiteral("%1 m").arg(metres));
}

void MapView::PaintLines(QPainter& painter) const
{
    painter.setBrush(Qt::NoBrush);
    for (const auto& entry : m_model.GetStations()) {
        const NetworkModel::Station& station = entry.second;
        const qint64 age = m_model.GetNowMs() - station.nBearingTimeMs;
        if (!station.bHasBearing || age > LINE_FADE_MS)
            continue;
        QColor colour = LINE_COLOUR;
        colour.setAlphaF(std::clamp(1.0 - static_cast<double>(age) / LINE_FADE_MS, 0.1, 1.0));
        painter.setPen(QPen(colour, 2));
        painter.drawPolyline(LineOfBearing(station.fLatitude, station.fLongitude, station.fBearing));
    }
}

void MapView::PaintFixes(QPainter& painter) const
{
    for (const NetworkModel::MapFix& entry : m_model.GetFixes()) {
        const QColor colour = entry.fix.nFlags != 0 ? FLAGGED_FIX_COLOUR : FIX_COLOUR;
        if (!entry.lstOutline.empty()) {
            QPolygonF outline;
            for (const auto& point : entry.lstOutline)
                outline << m_projection.ToScreen(point.first, point.second);
            painter.setPen(QPen(ELLIPSE_COLOUR, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolygon(outline);
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(m_projection.ToScreen(entry.fix.fLatitude, entry.fix.fLongitude), FIX_SIZE, FIX_SIZE);
    }
}

void MapView::PaintHandovers(QPainter& painter) const
{
    const std::map<QString, NetworkModel::Station>& stations = m_model.GetStations();
    const auto placed = [&stations](const QString& name) {
        const auto it = stations.find(name);
        return it != stations.end() && it->second.bPositionKnown ? &it->second : nullptr;
    };
    painter.setBrush(Qt::NoBrush);
    for (const NetworkModel::Handover& handover : m_model.GetHandovers()) {
        const qint64 age = m_model.GetNowMs() - handover.nTimeMs;
        const NetworkModel::Station* pSender = placed(handover.strSender);
        if (handover.strTag != QLatin1String("FRQ") || handover.nTimeMs == 0 || age > HANDOVER_MARK_MS
            || pSender == nullptr)
            continue;
        QColor colour = HANDOVER_COLOUR;
        colour.setAlphaF(std::clamp(1.0 - static_cast<double>(age) / HANDOVER_MARK_MS, 0.2, 1.0));
        const QPointF from = m_projection.ToScreen(pSender->fLatitude, pSender->fLongitude);
        painter.setPen(QPen(colour, 3));
        painter.drawEllipse(from, STATION_SIZE * 2.5, STATION_SIZE * 2.5);
        painter.setPen(QPen(colour, 2, Qt::DashLine));
        for (const QString& receiver : handover.lstApplied) {
            if (const NetworkModel::Station* pReceiver = placed(receiver))
                painter.drawLine(from, m_projection.ToScreen(pReceiver->fLatitude, pReceiver->fLongitude));
        }
    }
}

void MapView::PaintStations(QPainter& painter) const
{
    for (const auto& entry : m_model.GetStations()) {
        const NetworkModel::Station& station = entry.second;
        if (!station.bPositionKnown)
            continue;
        const QPointF at = m_projection.ToScreen(station.fLatitude, station.fLongitude);
        const double heading = station.fHeading * M_PI / 180.0;
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawLine(at, at + QPointF(std::sin(heading), -std::cos(heading)) * (STATION_SIZE * 2.2));
        painter.setBrush(station.bOnline ? ONLINE_COLOUR : OFFLINE_COLOUR);
        QPolygonF mark;
        mark << at + QPointF(0, -STATION_SIZE) << at + QPointF(STATION_SIZE, STATION_SIZE * 0.8)
             << at + QPointF(-STATION_SIZE, STATION_SIZE * 0.8);
        painter.drawPolygon(mark);
        painter.setPen(station.bOnline ? Qt::black : OFFLINE_COLOUR);
        QString label = QStringLiteral("%1 (%2)").arg(station.strName, RoleText(station.strRole));
        if (!station.bOnline)
            label += QLatin1Char(' ') + tr("offline");
        else if (station.fHandoverFrequency > 0.0)
            label += tr(" \u2192 %1 MHz").arg(station.fHandoverFrequency / 1e6, 0, 'f', 3);
        painter.drawText(at + QPointF(STATION_SIZE + 3, -STATION_SIZE), label);
    }
}

QPolygonF MapView::LineOfBearing(double latitude, double longitude, double bearing) const
{
    const double length = std::min(MAX_LINE, std::hypot(width(), height()) * m_projection.MetresPerPixel());
    QPolygonF line;
    for (int i = 0; i <= LINE_POINTS; ++i) {
        double lat = latitude;
        double lon = longitude;
        if (i > 0)
            Geodesy::Direct(latitude, longitude, bearing, length * i / LINE_POINTS, lat, lon);
        line << m_projection.ToScreen(lat, lon);
    }
    return line;
}
