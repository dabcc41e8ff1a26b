#include "tools/kvtstation/polarplot.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>

namespace {

const int MARGIN = 70;
const double RADIUS = (PolarPlot::SIZE - 2 * MARGIN) / 2.0;
const int LEGEND_HEIGHT = 100;

PolarGeometry Geometry()
{
    return PolarGeometry(QPointF(PolarPlot::SIZE / 2.0, PolarPlot::SIZE / 2.0), RADIUS);
}

}

PolarPlot::PolarPlot(std::vector<Sector> filteredSectors)
    : m_lstFilteredSectors(std::move(filteredSectors))
    , m_aDots(static_cast<size_t>(SIZE) * SIZE, 0)
{
}

void PolarPlot::AddBearing(double relative, double heading, double frequency)
{
    m_fHeading = heading;
    const QPointF at = Geometry().PointOf(PolarGeometry::TrueBearing(relative, heading), frequency);
    const int x = static_cast<int>(at.x());
    const int y = static_cast<int>(at.y());
    if (x < 0 || y < 0 || x >= SIZE || y >= SIZE)
        return;
    m_aDots[static_cast<size_t>(y) * SIZE + static_cast<size_t>(x)] =
        static_cast<unsigned char>(1 + PolarGeometry::BandOf(frequency));
}

bool PolarPlot::Save(const QString& fileName, const QString& title) const
{
    QImage image(SIZE, SIZE, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const PolarGeometry geometry = Geometry();
    geometry.PaintGrid(painter, m_lstFilteredSectors, m_fHeading);

    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < m_aDots.size(); ++i) {
        if (m_aDots[i] == 0)
            continue;
        painter.setBrush(PolarGeometry::BandColour(m_aDots[i] - 1));
        painter.drawEllipse(QPointF(static_cast<double>(i % SIZE) + 0.5, static_cast<double>(i / SIZE) + 0.5), 3.0,
                            3.0);
    }

    geometry.PaintBowMarker(painter, m_fHeading);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 8, SIZE, 24), Qt::AlignHCenter, title);
    PolarGeometry::PaintLegend(painter, QPointF(14, SIZE - LEGEND_HEIGHT));
    painter.end();

    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}
