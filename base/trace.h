#pragma once

#include "kvthost_export.h"

#include <QString>
#include <QtGlobal>

/// Turns a narrow string literal (also __FILE__) into a wide one.
#define KVT_WIDE_IMPL(x) L##x
#define KVT_WIDE(x) KVT_WIDE_IMPL(x)

/// Writes one diagnostic trace line "TRACE <file>(<line>): <text>" through the
/// error handler's sink. Callers test ErrorHandler::TracesEnabled() before they
/// compose the text; the function checks again and writes nothing while bit
/// 0x20 is clear. Only the file name part of sourceFile is shown; null is allowed.
KVTHOST_EXPORT void _Q_Trace(const QString& text, const char* sourceFile, quint16 line);

/// Writes one trace line "TRACE: <formatted>" from a printf-style format
/// (%s takes UTF-8 char*, %d int, %f double). Nothing is written, and the
/// format is not expanded, while bit 0x20 is clear. A null format writes nothing.
KVTHOST_EXPORT void _Q_TraceOld(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/// Reports a failed consistency check as "ASSERT <file>(<line>): <expression>".
/// It never stops the program. Nothing is written while bit 0x02 is clear.
/// Null texts are shown as empty.
KVTHOST_EXPORT void _Q_assert(const wchar_t* expression, const wchar_t* sourceFile, quint16 line);
