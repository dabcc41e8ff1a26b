#include "tools/kvtfix/inputlog.h"

void InputLog::Refuse(const QString& where, const QString& reason)
{
    ++m_nRefused;
    ++m_mapReasons[reason];
    if (m_lstExamples.size() < MAX_EXAMPLES)
        m_lstExamples.append(QStringLiteral("%1: %2").arg(where, reason));
}
