#include "contract/dfsentence.h"

#include <QDateTime>
#include <QString>

#include <cstdarg>
#include <cstdio>

namespace kvt
{

namespace DfSentence
{

namespace
{

// printf-style, as the DF data output formats its sentences: the same
// conversions give the same text.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
QByteArray Printed(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    QByteArray text;
    if (length > 0)
    {
        text.resize(length);
        // QByteArray keeps room for its terminating zero, which vsnprintf writes.
        std::vsnprintf(text.data(), static_cast<size_t>(length) + 1, format, again);
    }
    va_end(again);
    return text;
}

} // namespace

QByteArray Format(const BearingRecord& bearing, const QTimeZone& zone)
{
    const QByteArray time =
        QDateTime::fromMSecsSinceEpoch(bearing.nTimeMs, zone).toString(QStringLiteral("hhmmss")).toLatin1();
    return Printed("$PLG,%5.1f,FRQ,%10.0f,CMP,%5.1f,QUA,%5.1f,LEV,%5.1f,TIM,%s"
                   ",ELV,%3.1f,PTC,%3.1f,RLL,%3.1f,ALT,%3.1f,PTM,%s,LAT,%9.5f,LON,%9.7f\r\n",
                   bearing.fRelativeBearing, bearing.fFrequency, bearing.fHeading, bearing.fQuality, bearing.fLevel,
                   time.constData(), 0.0, 0.0, 0.0, 0.0, "", bearing.fLatitude, bearing.fLongitude);
}

} // namespace DfSentence

} // namespace kvt
