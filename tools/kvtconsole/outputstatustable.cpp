#include "tools/kvtconsole/outputstatustable.h"

#include <QHeaderView>

namespace {

const int COLUMNS = 4;

}

const QColor OutputStatusTable::FAILURE_COLOUR(0xff, 0xb3, 0xb3);

OutputStatusTable::OutputStatusTable(QWidget* pParent)
    : QTableWidget(0, COLUMNS, pParent)
{
    setHorizontalHeaderLabels({tr("Output"), tr("Delivered"), tr("Lost"), tr("Last failure")});
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
}

void OutputStatusTable::Show(const std::vector<Row>& rows)
{
    setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const QString texts[COLUMNS] = {row.strOutput, QString::number(row.nDelivered), QString::number(row.nLost),
                                        row.strLastFailure.isEmpty() ? tr("none") : row.strLastFailure};
        for (int column = 0; column < COLUMNS; ++column) {
            const int r = static_cast<int>(i);
            if (item(r, column) == nullptr)
                setItem(r, column, new QTableWidgetItem);
            QTableWidgetItem* pItem = item(r, column);
            pItem->setText(texts[column]);
            pItem->setBackground(IsFailure(row) ? QBrush(FAILURE_COLOUR) : QBrush());
        }
    }
}
