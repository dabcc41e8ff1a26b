#include "tools/kvtfix/cotevents.h"

#include "fusion/geodesy.h"

#include <QDateTime>
#include <QXmlStreamWriter>

namespace kvt {

namespace CotEvents {

namespace {

/// CoT's "unknown" for circular and linear error.
const QString UNKNOWN_ERROR = QStringLiteral("9999999");
/// The line reaches a third beyond the fix, as on the map files.
constexpr double LINE_BEYOND_FIX = 4.0 / 3.0;

QString Time(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

QString Number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

/// Writes <event> and its <point>; the caller writes <detail> and closes both.
class Event
{
public:
    Event(const QString& uid, const QString& type, const QString& how, const Times& times, double latitude,
          double longitude, const QString& ce)
        : m_xml(&m_document)
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement(QStringLiteral("event"));
        m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
        m_xml.writeAttribute(QStringLiteral("uid"), uid);
        m_xml.writeAttribute(QStringLiteral("type"), type);
        m_xml.writeAttribute(QStringLiteral("how"), how);
        m_xml.writeAttribute(QStringLiteral("time"), Time(times.nTimeMs));
        m_xml.writeAttribute(QStringLiteral("start"), Time(times.nStartMs));
        m_xml.writeAttribute(QStringLiteral("stale"), Time(times.nStaleMs));
        m_xml.writeEmptyElement(QStringLiteral("point"));
        m_xml.writeAttribute(QStringLiteral("lat"), Number(latitude, 7));
        m_xml.writeAttribute(QStringLiteral("lon"), Number(longitude, 7));
        m_xml.writeAttribute(QStringLiteral("hae"), QStringLiteral("0"));
        m_xml.writeAttribute(QStringLiteral("ce"), ce);
        m_xml.writeAttribute(QStringLiteral("le"), UNKNOWN_ERROR);
        m_xml.writeStartElement(QStringLiteral("detail"));
    }

    QXmlStreamWriter& Xml() { return m_xml; }

    void Value(const QString& element, const QString& value)
    {
        m_xml.writeEmptyElement(element);
        m_xml.writeAttribute(QStringLiteral("value"), value);
    }

    QByteArray Finish(const QString& callsign)
    {
        m_xml.writeEmptyElement(QStringLiteral("contact"));
        m_xml.writeAttribute(QStringLiteral("callsign"), callsign);
        m_xml.writeEndDocument();
        return m_document;
    }

private:
    QByteArray m_document;
    QXmlStreamWriter m_xml;
};

QString StationUid(const QString& name)
{
    return QStringLiteral("kvt.station.") + name;
}

const QString STATION_TYPE = QStringLiteral("a-f-G-E-S");

}

QByteArray Station(const FixGeometry::Station& station, const Times& times)
{
    Event event(StationUid(station.strName), STATION_TYPE, QStringLiteral("m-g"), times, station.fLatitude,
                station.fLongitude, UNKNOWN_ERROR);
    return event.Finish(station.strName);
}

QByteArray BearingLine(const FixLine& line, const Fix& fix, const Times& times)
{
    const Geodesy::Link link = Geodesy::Between(line.fLatitude, line.fLongitude, fix.fLatitude, fix.fLongitude);
    Event event(QStringLiteral("kvt.bearing.") + line.strStation, QStringLiteral("u-rb-a"), QStringLiteral("m-g"),
                times, line.fLatitude, line.fLongitude, UNKNOWN_ERROR);
    event.Value(QStringLiteral("range"), Number(link.fDistance * LINE_BEYOND_FIX, 1));
    event.Value(QStringLiteral("bearing"), Number(line.fBearing, 2));
    event.Value(QStringLiteral("inclination"), QStringLiteral("0"));
    event.Xml().writeEmptyElement(QStringLiteral("link"));
    event.Xml().writeAttribute(QStringLiteral("uid"), StationUid(line.strStation));
    event.Xml().writeAttribute(QStringLiteral("relation"), QStringLiteral("p-p"));
    event.Xml().writeAttribute(QStringLiteral("type"), STATION_TYPE);
    return event.Finish(line.strStation + QStringLiteral(" bearing"));
}

QByteArray FixPoint(const Fix& fix, const QString& channel, const Times& times)
{
    Event event(QStringLiteral("kvt.fix.") + channel, QStringLiteral("a-u-G"), QStringLiteral("m-f"), times,
                fix.fLatitude, fix.fLongitude, Number(CircularError(fix), 1));
    QXmlStreamWriter& xml = event.Xml();
    xml.writeStartElement(QStringLiteral("shape"));
    xml.writeEmptyElement(QStringLiteral("ellipse"));
    xml.writeAttribute(QStringLiteral("major"), Number(fix.ellipse.fSemiMajor, 1));
    xml.writeAttribute(QStringLiteral("minor"), Number(fix.ellipse.fSemiMinor, 1));
    xml.writeAttribute(QStringLiteral("angle"), Number(fix.ellipse.fOrientation, 2));
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("remarks"),
                         QStringLiteral("%1 MHz, %2 stations, %3 bearings, 95 % ellipse %4 x %5 m at %6 deg")
                             .arg(Number(fix.fFrequency / 1e6, 6))
                             .arg(fix.nStations)
                             .arg(fix.nBearings)
                             .arg(Number(fix.ellipse.fSemiMajor, 0), Number(fix.ellipse.fSemiMinor, 0),
                                  Number(fix.ellipse.fOrientation, 1)));
    return event.Finish(QStringLiteral("Fix ") + Number(fix.fFrequency / 1e6, 3) + QStringLiteral(" MHz"));
}

double CircularError(const Fix& fix)
{
    return fix.ellipse.fSemiMajor;
}

}

}
