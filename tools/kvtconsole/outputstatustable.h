#pragma once

#include <QTableWidget>

#include <vector>

class AccountedOutput;
class OutputWatch;

/// The delivery account of every output, one row each: output, state,
/// delivered, lost, last failure (the target in the output's tool tip). A
/// row is red while its output fails and amber once it delivers again after
/// losses (the account keeps its losses and its last failure). Texts pass
/// through the translation context "OutputStatusTable".
class OutputStatusTable : public QTableWidget
{
    Q_OBJECT
public:
    static const QColor FAILURE_COLOUR;
    static const QColor RECOVERED_COLOUR;

    explicit OutputStatusTable(QWidget* pParent = nullptr);

    /// Shows the accounts as they are now, one row per output in the given order.
    void Show(const std::vector<AccountedOutput*>& outputs, const OutputWatch& watch);
    /// "failing", "delivering", "recovered" or "not open" in the current language.
    static QString StateText(const AccountedOutput& output, const OutputWatch& watch);
};
