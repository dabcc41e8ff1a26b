#include "base/datetime.h"

namespace Omek
{

DateTime::DateTime(quint64 time)
    : m_nTime(time)
{
}

QString DateTime::toString(const QString& format) const
{
    // Qt's own "z" pads to three digits in some versions; a lone "z" is
    // therefore replaced by the quoted unpadded number before Qt formats.
    const QDateTime dateTime = ToQDateTime();
    const QString millis = QStringLiteral("'%1'").arg(dateTime.time().msec());
    QString pattern;
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            pattern += c;
        } else if (quoted || c != QLatin1Char('z')) {
            pattern += c;
        } else if (format.midRef(i, 3) == QLatin1String("zzz")) {
            pattern += QLatin1String("zzz");
            i += 2;
        } else {
            pattern += millis;
        }
    }
    return dateTime.toString(pattern);
}

QDateTime DateTime::ToQDateTime() const
{
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(m_nTime), Qt::LocalTime);
}

DateTime DateTime::FromQDateTime(const QDateTime& dateTime)
{
    const qint64 millis = dateTime.isValid() ? dateTime.toMSecsSinceEpoch() : 0;
    return DateTime(millis > 0 ? static_cast<quint64>(millis) : 0);
}

} // namespace Omek
