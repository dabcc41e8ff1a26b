#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

/// Sets the process time zone (environment variable TZ, POSIX form such as
/// "KVT-5:30" for 5 h 30 min east of UTC) for the lifetime of the guard and
/// restores the previous setting afterwards. Local-time conversions of the C
/// library and of Qt follow it at once.
class TimeZoneGuard
{
public:
    explicit TimeZoneGuard(const char* zone)
        : m_bHadZone(qEnvironmentVariableIsSet("TZ"))
        , m_previousZone(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }

    ~TimeZoneGuard()
    {
        if (m_bHadZone)
            qputenv("TZ", m_previousZone);
        else
            qunsetenv("TZ");
        tzset();
    }

    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    bool m_bHadZone;
    QByteArray m_previousZone;
};
