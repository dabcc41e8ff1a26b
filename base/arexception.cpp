#include "base/arexception.h"

ARException::ARException(const QString& message, const char* sourceFile, const QString& text,
                         const char* function, int line, int code)
    : m_strMessage(message)
    , m_strSourceFile(QString::fromUtf8(sourceFile))
    , m_strText(text)
    , m_strFunction(QString::fromUtf8(function))
    , m_nLine(line)
    , m_nCode(code)
    , m_baWhat(message.toUtf8())
{
}

const char* ARException::what() const noexcept
{
    return m_baWhat.constData();
}
