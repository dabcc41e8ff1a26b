#include "tools/kvtstation/polarplot.h"

#include "tools/kvtstation/polargeometry.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>

namespace {

const int MARGIN = 70;
const double RADIUS = (PolarPlot::SIZE - 2 * MARGIN) / 2.0;
const int LEGEND_HEIGHT = 100;

}

PolarPlot::PolarPlot(const QString& title, std::vector<Sector> filteredSectors)
    : m_strTitle(title)
    , m_lstFilteredSectors(std::move(filteredSectors))
{
}

void PolarPlot::AddBearing(double azimuth, double frequency)
{
    m_lstBearings.emplace_back(azimuth, frequency);
}

bool PolarPlot::Save(const QString& fileName) const
{
    QImage image(SIZE, SIZE, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const PolarGeometry geometry(QPointF(SIZE / 2.0, SIZE / 2.0), RADIUS);
    geometry.PaintGrid(painter, m_lstFilteredSectors);
    painter.setPen(Qt::NoPen);
    for (const Point& bearing : m_lstBearings) {
        painter.setBrush(PolarGeometry::BandColour(PolarGeometry::BandOf(bearing.second)));
        painter.drawEllipse(geometry.PointOf(bearing.first, bearing.second), 3.0, 3.0);
    }

    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 8, SIZE, 24), Qt::AlignHCenter, m_strTitle);
    PolarGeometry::PaintLegend(painter, QPointF(14, SIZE - LEGEND_HEIGHT));
    painter.end();

    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}
