#pragma once

#include <QTableWidget>

#include <vector>

class AccountedOutput;

/// The delivery account of every output, one row each: output, delivered,
/// lost, last failure (the target in the output's tool tip). A row is red
/// once its output lost a sentence or reported a failure, and stays red: the
/// account keeps its losses and its last failure. Texts pass through the
/// translation context "OutputStatusTable".
class OutputStatusTable : public QTableWidget
{
    Q_OBJECT
public:
    static const QColor FAILURE_COLOUR;

    explicit OutputStatusTable(QWidget* pParent = nullptr);

    /// Shows the accounts as they are now, one row per output in the given order.
    void Show(const std::vector<AccountedOutput*>& outputs);
    static bool IsFailing(const AccountedOutput& output);
};
