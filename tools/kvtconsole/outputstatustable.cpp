#include "tools/kvtconsole/outputstatustable.h"

#include "base/accountedoutput.h"

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

void OutputStatusTable::Show(const std::vector<AccountedOutput*>& outputs)
{
    setRowCount(static_cast<int>(outputs.size()));
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const AccountedOutput& output = *outputs[i];
        const DeliveryAccount& account = output.GetAccount();
        const QString texts[COLUMNS] = {
            output.GetName(), QString::number(account.GetDelivered()), QString::number(account.GetLost()),
            account.GetLastFailure().isEmpty() ? tr("none") : account.GetLastFailure()};
        const int row = static_cast<int>(i);
        for (int column = 0; column < COLUMNS; ++column) {
            if (item(row, column) == nullptr)
                setItem(row, column, new QTableWidgetItem);
            QTableWidgetItem* pItem = item(row, column);
            pItem->setText(texts[column]);
            pItem->setBackground(IsFailing(output) ? QBrush(FAILURE_COLOUR) : QBrush());
        }
        item(row, 0)->setToolTip(output.GetTarget());
    }
}

bool OutputStatusTable::IsFailing(const AccountedOutput& output)
{
    return output.GetAccount().GetLost() > 0 || !output.GetAccount().GetLastFailure().isEmpty();
}
