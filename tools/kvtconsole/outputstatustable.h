#pragma once

#include <QString>
#include <QTableWidget>

#include <vector>

/// The delivery account of every output, one row each: output, delivered,
/// lost, last failure. A row turns red once its output lost a sentence or
/// reported a failure, and stays red (the account never forgets). Texts pass
/// through the translation context "OutputStatusTable".
class OutputStatusTable : public QTableWidget
{
    Q_OBJECT
public:
    struct Row
    {
        QString strOutput;
        quint64 nDelivered = 0;
        quint64 nLost = 0;
        /// Empty while nothing failed.
        QString strLastFailure;
    };
    static const QColor FAILURE_COLOUR;

    explicit OutputStatusTable(QWidget* pParent = nullptr);

    /// Replaces the rows (one per output, in the given order).
    void Show(const std::vector<Row>& rows);
    static bool IsFailure(const Row& row) { return row.nLost > 0 || !row.strLastFailure.isEmpty(); }
};
