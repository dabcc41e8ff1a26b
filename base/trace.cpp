#include "base/trace.h"

#include "base/errorhandler.h"

#include <QFileInfo>

#include <cstdarg>

namespace
{

QString Location(const QString& sourceFile, quint16 line)
{
    return QStringLiteral("%1(%2)").arg(QFileInfo(sourceFile).fileName()).arg(line);
}

} // namespace

void _Q_Trace(const QString& text, const char* sourceFile, quint16 line)
{
    ErrorHandler& handler = ErrorHandler::Instance();
    if (!handler.TracesEnabled())
        return;
    handler.Write(QStringLiteral("TRACE %1: %2")
                      .arg(Location(QString::fromUtf8(sourceFile), line), text));
}

void _Q_TraceOld(const char* format, ...)
{
    ErrorHandler& handler = ErrorHandler::Instance();
    if (!handler.TracesEnabled() || format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    const QString text = QString::vasprintf(format, args);
    va_end(args);
    handler.Write(QStringLiteral("TRACE: ") + text);
}

void _Q_assert(const wchar_t* expression, const wchar_t* sourceFile, quint16 line)
{
    ErrorHandler& handler = ErrorHandler::Instance();
    if (!handler.AssertsEnabled())
        return;
    const QString file = sourceFile ? QString::fromWCharArray(sourceFile) : QString();
    const QString text = expression ? QString::fromWCharArray(expression) : QString();
    handler.Write(QStringLiteral("ASSERT %1: %2").arg(Location(file, line), text));
}
