#include "tools/kvtconsole/outputstatustable.h"

#include "base/accountedoutput.h"
#include "tools/kvtconsole/outputwatch.h"

#include <QHeaderView>

namespace {

const int COLUMNS = 5;

}

const QColor OutputStatusTable::FAILURE_COLOUR(0xff, 0xb3, 0xb3);
const QColor OutputStatusTable::RECOVERED_COLOUR(0xff, 0xe4, 0xa8);

OutputStatusTable::OutputStatusTable(QWidget* pParent)
    : QTableWidget(0, COLUMNS, pParent)
{
    setHorizontalHeaderLabels({tr("Output"), tr("State"), tr("Delivered"), tr("Lost"), tr("Last failure")});
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
}

void OutputStatusTable::Show(const std::vector<AccountedOutput*>& outputs, const OutputWatch& watch)
{
    setRowCount(static_cast<int>(outputs.size()));
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const AccountedOutput& output = *outputs[i];
        const DeliveryAccount& account = output.GetAccount();
        const QString texts[COLUMNS] = {
            OutputWatch::DisplayName(output), StateText(output, watch), QString::number(account.GetDelivered()),
            QString::number(account.GetLost()),
            account.GetLastFailure().isEmpty() ? tr("none") : account.GetLastFailure()};
        const QBrush background = watch.IsFailing(output) ? QBrush(FAILURE_COLOUR)
                                  : account.GetLost() > 0 ? QBrush(RECOVERED_COLOUR)
                                                          : QBrush();
        const int row = static_cast<int>(i);
        for (int column = 0; column < COLUMNS; ++column) {
            if (item(row, column) == nullptr)
                setItem(row, column, new QTableWidgetItem);
            QTableWidgetItem* pItem = item(row, column);
            pItem->setText(texts[column]);
            pItem->setBackground(background);
        }
        item(row, 0)->setToolTip(output.GetTarget());
    }
}

QString OutputStatusTable::StateText(const AccountedOutput& output, const OutputWatch& watch)
{
    if (watch.IsFailing(output))
        return tr("failing");
    if (!output.HasBeenOpen())
        return tr("not open");
    return output.GetAccount().GetLost() > 0 ? tr("recovered") : tr("delivering");
}
