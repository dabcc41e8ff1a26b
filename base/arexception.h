#pragma once

#include "kvthost_export.h"

#include <QByteArray>
#include <QString>

#include <exception>

/// The host's exception type for hard errors. Carries where it was thrown and
/// a numeric code whose meaning belongs to the thrower.
class KVTHOST_EXPORT ARException : public std::exception
{
public:
    /// sourceFile and function may be null (stored as empty texts).
    ARException(const QString& message, const char* sourceFile, const QString& text,
                const char* function, int line, int code);

    QString GetMessage() const { return m_strMessage; }
    /// The additional text given by the thrower (often empty).
    QString GetText() const { return m_strText; }
    QString GetFunction() const { return m_strFunction; }
    QString GetSourceFile() const { return m_strSourceFile; }
    int GetLine() const { return m_nLine; }
    int GetCode() const { return m_nCode; }

    /// The message in UTF-8; valid as long as the exception object lives.
    const char* what() const noexcept override;

private:
    QString m_strMessage;
    QString m_strSourceFile;
    QString m_strText;
    QString m_strFunction;
    int m_nLine;
    int m_nCode;
    QByteArray m_baWhat;
};
