#pragma once

#include "kvthost_export.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace Omek
{

/// A point in time as milliseconds since 1970-01-01T00:00:00 UTC, the unit of
/// OmekOS::GetCurrentTime() and of the value tree's time stamps. Texts show
/// the local time of the machine (time zone and daylight saving included), as
/// a user reading a log or a file name expects.
class KVTHOST_EXPORT DateTime
{
public:
    explicit DateTime(quint64 time);

    quint64 GetTime() const { return m_nTime; }

    /// Qt's date-time pattern convention ("yyyy-MM-dd hh:mm:ss", quoted literal
    /// text) except that "z" is the millisecond without leading zeros (0 to 999);
    /// "zzz" stays zero-padded to three digits.
    QString toString(const QString& format) const;

    /// The same instant as a local-time QDateTime.
    QDateTime ToQDateTime() const;
    /// An invalid QDateTime or one before the epoch gives time 0.
    static DateTime FromQDateTime(const QDateTime& dateTime);

private:
    quint64 m_nTime;
};

} // namespace Omek
