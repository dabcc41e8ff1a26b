#include "tools/kvtconsole/latestbearingstable.h"

#include "tools/kvtconsole/bearingring.h"

#include <QDateTime>
#include <QHeaderView>

namespace {

const int COLUMNS = 7;

}

LatestBearingsTable::LatestBearingsTable(QWidget* pParent)
    : QTableWidget(ROWS, COLUMNS, pParent)
{
    setHorizontalHeaderLabels({tr("Time (UTC)"), tr("Frequency (MHz)"), tr("Bearing (° true)"), tr("Relative (°)"),
                               tr("Elevation (°)"), tr("Quality"), tr("Level (dBµV)")});
    horizontalHeaderItem(3)->setToolTip(tr("From the bow, as the device measured it"));
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < ROWS; ++row) {
        for (int column = 0; column < COLUMNS; ++column) {
            auto* pItem = new QTableWidgetItem;
            pItem->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            setItem(row, column, pItem);
        }
    }
}

void LatestBearingsTable::Show(const BearingRing& bearings)
{
    const std::size_t shown = std::min<std::size_t>(ROWS, bearings.Size());
    for (std::size_t row = 0; row < static_cast<std::size_t>(ROWS); ++row) {
        const int r = static_cast<int>(row);
        if (row >= shown) {
            for (int column = 0; column < COLUMNS; ++column)
                item(r, column)->setText(QString());
            continue;
        }
        const BearingRing::Entry& entry = bearings.At(bearings.Size() - 1 - row);
        item(r, 0)->setText(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(entry.nTimeMs), Qt::UTC)
                                .toString(QStringLiteral("hh:mm:ss.zzz")));
        item(r, 1)->setText(QString::number(entry.fFrequency / 1e6, 'f', 3));
        item(r, 2)->setText(QString::number(entry.fBearing, 'f', 1));
        item(r, 3)->setText(QString::number(entry.fAzimuth, 'f', 1));
        item(r, 4)->setText(QString::number(entry.fElevation, 'f', 1));
        item(r, 5)->setText(QString::number(entry.nQuality));
        item(r, 6)->setText(QString::number(entry.fLevel, 'f', 1));
    }
}
