#pragma once

#include "base/errorhandler.h"

#include <QStringList>

/// Collects the error handler's lines with the given trace mask while it
/// lives; afterwards the handler writes to its own sink again, every bit off.
class TraceLog
{
public:
    explicit TraceLog(unsigned nMask = 0)
    {
        ErrorHandler::Instance().SetSink([this](const QString& line) { m_lstLines << line; });
        ErrorHandler::Instance().SetTraceMask(nMask);
    }
    ~TraceLog()
    {
        ErrorHandler::Instance().ResetSink();
        ErrorHandler::Instance().SetTraceMask(0);
    }
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    bool Contains(const QString& text) const { return Count(text) > 0; }
    int Count(const QString& text) const { return m_lstLines.filter(text).size(); }

    QStringList m_lstLines;
};
