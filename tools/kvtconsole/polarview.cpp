#include "tools/kvtconsole/polarview.h"

#include "valueframework/valueclasses/bearingresult.h"

#include <QDateTime>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const int MARGIN = 40;
const int DOT_SIZE = 7;
/// How near the pointer must come to a dot for its tool tip, in pixels.
const double HOVER_DISTANCE = 5.0;
const int LEGEND_HEIGHT = 100;

}

PolarView::PolarView(QWidget* pParent)
    : TippedWidget(pParent)
    , m_bearings(CAPACITY)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    MakeDots();
}

void PolarView::AddBearings(const std::vector<values::BearingResult>& results, double heading)
{
    for (const values::BearingResult& result : results)
        m_bearings.Add(result, heading);
}

void PolarView::SetHeading(double heading)
{
    if (heading == m_fHeading)
        return;
    m_fHeading = heading;
    m_background = QPixmap();
    update();
}

void PolarView::SetBowUp(bool bBowUp)
{
    m_bBowUp = bBowUp;
    m_background = QPixmap();
    update();
}

void PolarView::SetFilteredSectors(std::vector<PolarGeometry::Sector> sectors)
{
    m_lstSectors = std::move(sectors);
    m_background = QPixmap();
    update();
}

void PolarView::SetNow(quint64 nowMs)
{
    m_nNowMs = nowMs;
    m_bearings.ForgetBefore(nowMs > FADE_MS ? nowMs - FADE_MS : 0);
    update();
}

QString PolarView::ToolTipAt(QPoint pos) const
{
    const PolarGeometry geometry = Geometry();
    for (std::size_t i = m_bearings.Size(); i-- > 0;) {
        const BearingRing::Entry& entry = m_bearings.At(i);
        if (FadeStep(m_nNowMs - std::min(m_nNowMs, entry.nTimeMs)) >= FADE_STEPS)
            continue;
        const QPointF delta = geometry.PointOf(entry.fBearing, entry.fFrequency) - QPointF(pos);
        if (std::hypot(delta.x(), delta.y()) > HOVER_DISTANCE)
            continue;
        const QString time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(entry.nTimeMs), Qt::UTC)
                                 .toString(QStringLiteral("hh:mm:ss.zzz"));
        return tr("%1 MHz (%2)\nBearing %3° true, %4° from the bow at heading %5°\nElevation %6°, quality %7, "
                  "level %8 dBµV\n%9 UTC")
            .arg(entry.fFrequency / 1e6, 0, 'f', 3)
            .arg(PolarGeometry::BandName(PolarGeometry::BandOf(entry.fFrequency)))
            .arg(entry.fBearing, 0, 'f', 1)
            .arg(entry.fAzimuth, 0, 'f', 1)
            .arg(entry.fHeading, 0, 'f', 1)
            .arg(entry.fElevation, 0, 'f', 1)
            .arg(entry.nQuality)
            .arg(entry.fLevel, 0, 'f', 1)
            .arg(time);
    }
    return QString();
}

QSize PolarView::sizeHint() const
{
    return {640, 640};
}

QSize PolarView::minimumSizeHint() const
{
    return {240, 240};
}

void PolarView::paintEvent(QPaintEvent*)
{
    if (m_background.size() != size())
        PaintBackground();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    PaintDots(painter);
}

void PolarView::resizeEvent(QResizeEvent*)
{
    m_background = QPixmap();
}

PolarGeometry PolarView::Geometry() const
{
    const double radius = std::max(10.0, std::min(width(), height()) / 2.0 - MARGIN);
    return PolarGeometry(QPointF(width() / 2.0, height() / 2.0), radius, m_bBowUp ? m_fHeading : 0.0);
}

void PolarView::PaintBackground()
{
    m_background = QPixmap(size());
    m_background.fill(Qt::white);
    QPainter painter(&m_background);
    painter.setRenderHint(QPainter::Antialiasing);
    const PolarGeometry geometry = Geometry();
    geometry.PaintGrid(painter, m_lstSectors, m_fHeading);
    geometry.PaintBowMarker(painter, m_fHeading);
    PolarGeometry::PaintLegend(painter, QPointF(10, height() - LEGEND_HEIGHT));
}

void PolarView::PaintDots(QPainter& painter) const
{
    const PolarGeometry geometry = Geometry();
    const QPointF offset(DOT_SIZE / 2.0, DOT_SIZE / 2.0);
    // Oldest first, so that fresh dots lie on top.
    for (std::size_t i = 0; i < m_bearings.Size(); ++i) {
        const BearingRing::Entry& entry = m_bearings.At(i);
        const int step = FadeStep(m_nNowMs - std::min(m_nNowMs, entry.nTimeMs));
        if (step >= FADE_STEPS)
            continue;
        painter.drawPixmap(geometry.PointOf(entry.fBearing, entry.fFrequency) - offset,
                           m_aDots[static_cast<std::size_t>(PolarGeometry::BandOf(entry.fFrequency))][static_cast<std::size_t>(step)]);
    }
}

int PolarView::FadeStep(quint64 ageMs)
{
    if (ageMs >= FADE_MS)
        return FADE_STEPS;
    return static_cast<int>(ageMs * FADE_STEPS / FADE_MS);
}

void PolarView::MakeDots()
{
    for (int band = 0; band < PolarGeometry::BAND_COUNT; ++band) {
        for (int step = 0; step < FADE_STEPS; ++step) {
            QColor colour = PolarGeometry::BandColour(band);
            colour.setAlphaF(1.0 - static_cast<double>(step) / FADE_STEPS);
            QPixmap dot(DOT_SIZE, DOT_SIZE);
            dot.fill(Qt::transparent);
            QPainter painter(&dot);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(0.5, 0.5, DOT_SIZE - 1.0, DOT_SIZE - 1.0));
            m_aDots[static_cast<std::size_t>(band)][static_cast<std::size_t>(step)] = dot;
        }
    }
}
