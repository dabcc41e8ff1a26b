#include "tools/kvtconsole/tippedwidget.h"

#include <QHelpEvent>
#include <QToolTip>

bool TippedWidget::event(QEvent* pEvent)
{
    if (pEvent->type() != QEvent::ToolTip)
        return QWidget::event(pEvent);
    const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
    const QString text = ToolTipAt(pHelp->pos());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(pHelp->globalPos(), text, this);
    return true;
}
