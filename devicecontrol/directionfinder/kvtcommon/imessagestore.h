#pragma once

#include "kvtcommon_export.h"

#include <QString>

/// Keeps the description of the last failure for classes that report failures
/// by their results: after a call returned false, the text says why. What
/// clears it again is up to the deriving class.
class KVTCOMMON_EXPORT IMessageStore
{
public:
    virtual ~IMessageStore() = default;

    /// The description of the last failure; empty when there is none.
    const QString& GetMessageText() const { return m_strMessage; }

protected:
    IMessageStore() = default;
    IMessageStore(const IMessageStore&) = default;
    IMessageStore& operator=(const IMessageStore&) = default;

    void SetMessageText(const QString& text) { m_strMessage = text; }

private:
    QString m_strMessage;
};
