#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

/// A widget whose drawn objects each carry a tool tip: it answers Qt's tool
/// tip event with the text of the object under the pointer and hides the tip
/// where there is none. Single-threaded.
class TippedWidget : public QWidget
{
public:
    using QWidget::QWidget;

    /// The tool tip of the object under the point; empty when there is none.
    virtual QString ToolTipAt(QPoint pos) const = 0;

protected:
    bool event(QEvent* pEvent) override;
};
