#include "contract/dfsentencereader.h"

#include "contract/bearingmessage.h"

#include <QDateTime>
#include <QList>

#include <cmath>
#include <utility>

namespace kvt
{

namespace
{

constexpr int HALF_DAY = 12 * 3600;

/// The number after key, or NaN when the key is missing or its value no number.
double Field(const QList<QByteArray>& fields, const char* key)
{
    for (int i = 2; i + 1 < fields.size(); i += 2)
    {
        if (fields[i] == key)
        {
            bool ok = false;
            const double value = fields[i + 1].trimmed().toDouble(&ok);
            return ok ? value : std::nan("");
        }
    }
    return std::nan("");
}

/// Seconds of the day of "hhmmss", or -1.
int SecondOfDay(const QList<QByteArray>& fields)
{
    if (fields.value(0) != "$PLG")
        return -1;
    for (int i = 2; i + 1 < fields.size(); i += 2)
    {
        if (fields[i] != "TIM")
            continue;
        const QTime time = QTime::fromString(QString::fromLatin1(fields[i + 1]), QStringLiteral("hhmmss"));
        return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : -1;
    }
    return -1;
}

/// The days a sequence of times of day has run through, counting this one.
int DaysAfter(int nLastSecond, int nSecond, int nDays)
{
    return nLastSecond >= 0 && nSecond < nLastSecond - HALF_DAY ? nDays + 1 : nDays;
}

} // namespace

DfSentenceReader::DfSentenceReader(Settings settings)
    : m_settings(std::move(settings))
{
}

QDate DfSentenceReader::FirstDate(const QByteArray& text, const QTimeZone& zone, const QDateTime& lastWritten)
{
    int nLastSecond = -1;
    int nDays = 0;
    for (const QByteArray& line : text.split('\n'))
    {
        const int second = SecondOfDay(line.trimmed().split(','));
        if (second < 0)
            continue;
        nDays = DaysAfter(nLastSecond, second, nDays);
        nLastSecond = second;
    }
    const QDateTime written = lastWritten.toTimeZone(zone);
    if (nLastSecond < 0)
        return written.date();
    const QTime last = QTime(0, 0).addSecs(nLastSecond);
    const QDate lastDate = QDateTime(written.date(), last, zone) > written ? written.date().addDays(-1) : written.date();
    return lastDate.addDays(-nDays);
}

bool DfSentenceReader::Read(const QByteArray& line, BearingRecord& rBearing, QString& rError)
{
    ++m_nLines;
    const QList<QByteArray> fields = line.trimmed().split(',');
    if (fields.size() < 2 || fields[0] != "$PLG")
    {
        rError = QStringLiteral("not a DF sentence");
        return false;
    }
    bool ok = false;
    const double azimuth = fields[1].trimmed().toDouble(&ok);
    const double quality = Field(fields, "QUA");
    const double frequency = Field(fields, "FRQ");
    const double heading = Field(fields, "CMP");
    const double latitude = Field(fields, "LAT");
    const double longitude = Field(fields, "LON");
    const int second = SecondOfDay(fields);
    if (second >= 0)
    {
        m_nDayOffset = DaysAfter(m_nLastSecondOfDay, second, m_nDayOffset);
        m_nLastSecondOfDay = second;
    }
    if (!ok || std::isnan(quality) || std::isnan(frequency) || std::isnan(heading) || std::isnan(latitude)
        || std::isnan(longitude))
    {
        rError = QStringLiteral("not a whole DF sentence");
        return false;
    }
    if (!(azimuth >= 0.0 && azimuth < 360.0) || !(quality > 0.0))
    {
        rError = QStringLiteral("no valid bearing");
        return false;
    }
    if (latitude == 0.0 && longitude == 0.0)
    {
        rError = QStringLiteral("no position");
        return false;
    }
    const bool bHeading = heading >= 0.0 && heading < 360.0;
    if (m_settings.bRelativeAzimuth && !bHeading)
    {
        rError = QStringLiteral("no heading for a relative azimuth");
        return false;
    }
    if (second < 0)
    {
        rError = QStringLiteral("no time");
        return false;
    }
    const QTime timeOfDay = QTime(0, 0).addSecs(second);
    const QDateTime time(m_settings.date.addDays(m_nDayOffset), timeOfDay, m_settings.zone);
    // Qt moves a time of day that the zone skips (the hour into summer time) past the gap.
    if (!time.isValid() || time.time() != timeOfDay)
    {
        rError = QStringLiteral("time of day %1 not in the zone %2")
                     .arg(timeOfDay.toString(QStringLiteral("hhmmss")), QString::fromLatin1(m_settings.zone.id()));
        return false;
    }

    rBearing = BearingRecord();
    rBearing.strStation = m_settings.strStation;
    rBearing.nSeq = m_nLines;
    rBearing.nTimeMs = time.toMSecsSinceEpoch();
    rBearing.fLatitude = latitude;
    rBearing.fLongitude = longitude;
    rBearing.fHeading = bHeading ? heading : 0.0;
    if (m_settings.bRelativeAzimuth)
    {
        rBearing.fRelativeBearing = azimuth;
        rBearing.fBearing = WrapDegrees(azimuth + heading);
    }
    else
    {
        rBearing.fBearing = azimuth;
        rBearing.fRelativeBearing = WrapDegrees(azimuth - rBearing.fHeading);
    }
    rBearing.fSigma = m_settings.fSigma;
    rBearing.fQuality = quality;
    rBearing.fFrequency = frequency;
    const double level = Field(fields, "LEV");
    rBearing.fLevel = std::isnan(level) ? 0.0 : level;
    return BearingMessage::Check(rBearing, rError);
}

} // namespace kvt
