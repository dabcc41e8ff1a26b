#include "tools/kvtfix/mapfiles.h"

#include "tools/kvtfix/fixgeometrycut.h"
#include "tools/kvtfix/fixsummary.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace MapFiles
{

namespace {

QJsonArray Position(const FixGeometry::Point& point)
{
    return QJsonArray{point.second, point.first};
}

QJsonArray Positions(const std::vector<FixGeometry::Point>& points)
{
    QJsonArray positions;
    for (const FixGeometry::Point& point : points)
        positions.append(Position(point));
    return positions;
}

/// A line or a ring as the GeoJSON geometry of its parts: a single one as
/// it is (a polygon's ring wrapped in its array of rings), several as the
/// multi-part type. Null when nothing is left.
QJsonObject Geometry(const QString& type, const FixGeometry::Parts& parts)
{
    const bool polygon = type == QLatin1String("Polygon");
    QJsonArray coordinates;
    for (const std::vector<FixGeometry::Point>& part : parts)
        coordinates.append(polygon ? QJsonArray{Positions(part)} : Positions(part));
    if (parts.size() == 1)
        return QJsonObject{{QStringLiteral("type"), type}, {QStringLiteral("coordinates"), coordinates.first()}};
    if (parts.empty())
        return QJsonObject();
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("Multi") + type},
                       {QStringLiteral("coordinates"), coordinates}};
}

QJsonObject Feature(const QJsonObject& geometry, QJsonObject properties)
{
    return QJsonObject{
        {QStringLiteral("type"), QStringLiteral("Feature")},
        {QStringLiteral("geometry"), geometry},
        {QStringLiteral("properties"), properties},
    };
}

QJsonObject Feature(const QString& type, const QJsonValue& coordinates, QJsonObject properties)
{
    return Feature(QJsonObject{{QStringLiteral("type"), type}, {QStringLiteral("coordinates"), coordinates}},
                   std::move(properties));
}

QString KmlCoordinates(const std::vector<FixGeometry::Point>& points)
{
    QStringList texts;
    for (const FixGeometry::Point& point : points)
        texts << QStringLiteral("%1,%2,0").arg(point.second, 0, 'f', 7).arg(point.first, 0, 'f', 7);
    return texts.join(QLatin1Char(' '));
}

void KmlStyle(QXmlStreamWriter& xml, const QString& id, const QString& lineColour, const QString& polyColour)
{
    xml.writeStartElement(QStringLiteral("Style"));
    xml.writeAttribute(QStringLiteral("id"), id);
    xml.writeStartElement(QStringLiteral("LineStyle"));
    xml.writeTextElement(QStringLiteral("color"), lineColour);
    xml.writeTextElement(QStringLiteral("width"), QStringLiteral("2"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("PolyStyle"));
    xml.writeTextElement(QStringLiteral("color"), polyColour);
    xml.writeEndElement();
    xml.writeEndElement();
}

/// Starts a Placemark with its name, style, description and time (ms since the epoch, 0: none, so
/// that Google Earth's time slider can show the fixes one window at a time); the caller writes the
/// geometry and ends it.
void KmlPlacemark(QXmlStreamWriter& xml, const QString& name, const QString& style, const QString& description,
                  qint64 timeMs = 0)
{
    xml.writeStartElement(QStringLiteral("Placemark"));
    xml.writeTextElement(QStringLiteral("name"), name);
    if (!description.isEmpty())
        xml.writeTextElement(QStringLiteral("description"), description);
    if (timeMs != 0) {
        xml.writeStartElement(QStringLiteral("TimeStamp"));
        xml.writeTextElement(QStringLiteral("when"),
                             QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString(Qt::ISODateWithMs));
        xml.writeEndElement();
    }
    xml.writeTextElement(QStringLiteral("styleUrl"), QLatin1Char('#') + style);
}

/// One part: a Point, a LineString or a Polygon. Lines and rings follow the
/// ground (tessellate), as the short segments between their points do.
void KmlPart(QXmlStreamWriter& xml, const QString& type, const std::vector<FixGeometry::Point>& points)
{
    xml.writeStartElement(type);
    if (type != QLatin1String("Point"))
        xml.writeTextElement(QStringLiteral("tessellate"), QStringLiteral("1"));
    if (type == QLatin1String("Polygon")) {
        xml.writeStartElement(QStringLiteral("outerBoundaryIs"));
        xml.writeStartElement(QStringLiteral("LinearRing"));
        xml.writeTextElement(QStringLiteral("coordinates"), KmlCoordinates(points));
        xml.writeEndElement();
        xml.writeEndElement();
    } else {
        xml.writeTextElement(QStringLiteral("coordinates"), KmlCoordinates(points));
    }
    xml.writeEndElement();
}

/// The geometry of the parts (a MultiGeometry when there are several: cut at
/// the antimeridian, as planar readers need) and the end of the Placemark.
void KmlGeometry(QXmlStreamWriter& xml, const QString& type, const FixGeometry::Parts& parts)
{
    if (parts.size() > 1)
        xml.writeStartElement(QStringLiteral("MultiGeometry"));
    for (const std::vector<FixGeometry::Point>& part : parts)
        KmlPart(xml, type, part);
    if (parts.size() > 1)
        xml.writeEndElement();
    xml.writeEndElement(); // Placemark
}

}

QByteArray GeoJson(const std::vector<FixGeometry::Station>& stations, const std::vector<Fix>& fixes)
{
    QJsonArray features;
    for (const FixGeometry::Station& station : stations) {
        features.append(Feature(QStringLiteral("Point"), Position({station.fLatitude, station.fLongitude}),
                                {{QStringLiteral("kind"), QStringLiteral("station")},
                                 {QStringLiteral("name"), station.strName}}));
    }
    for (size_t i = 0; i < fixes.size(); ++i) {
        const Fix& fix = fixes[i];
        const int number = static_cast<int>(i) + 1;
        for (const FixLine& line : fix.lstLines) {
            features.append(Feature(Geometry(QStringLiteral("LineString"),
                                             FixGeometry::CutLine(FixGeometry::BearingLine(line, fix))),
                                    {{QStringLiteral("kind"), QStringLiteral("bearing")},
                                     {QStringLiteral("fix"), number},
                                     {QStringLiteral("station"), line.strStation},
                                     {QStringLiteral("bearing"), line.fBearing},
                                     {QStringLiteral("count"), line.nBearings}}));
        }
        QJsonObject properties = FixSummary::FixObject(fix);
        properties.insert(QStringLiteral("kind"), QStringLiteral("fix"));
        properties.insert(QStringLiteral("fix"), number);
        features.append(Feature(QStringLiteral("Point"), Position({fix.fLatitude, fix.fLongitude}), properties));
        const QJsonObject ellipse =
            Geometry(QStringLiteral("Polygon"), FixGeometry::CutRing(FixGeometry::Ellipse(fix)));
        if (!ellipse.isEmpty()) {
            features.append(Feature(ellipse, {{QStringLiteral("kind"), QStringLiteral("ellipse")},
                                              {QStringLiteral("fix"), number},
                                              {QStringLiteral("probability"), ErrorEllipse::PROBABILITY_95}}));
        }
    }
    const QJsonObject collection{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                                 {QStringLiteral("features"), features}};
    return QJsonDocument(collection).toJson(QJsonDocument::Compact);
}

QByteArray Kml(const std::vector<FixGeometry::Station>& stations, const std::vector<Fix>& fixes)
{
    QByteArray content;
    QXmlStreamWriter xml(&content);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("kvtfix"));
    // KML colours are aabbggrr.
    KmlStyle(xml, QStringLiteral("station"), QStringLiteral("ff000000"), QStringLiteral("ff000000"));
    KmlStyle(xml, QStringLiteral("bearing"), QStringLiteral("9900a5ff"), QStringLiteral("00000000"));
    KmlStyle(xml, QStringLiteral("fix"), QStringLiteral("ff2727d6"), QStringLiteral("ff2727d6"));
    KmlStyle(xml, QStringLiteral("ellipse"), QStringLiteral("ffb4771f"), QStringLiteral("40b4771f"));
    for (const FixGeometry::Station& station : stations) {
        KmlPlacemark(xml, station.strName, QStringLiteral("station"), QString());
        KmlGeometry(xml, QStringLiteral("Point"), {{{station.fLatitude, station.fLongitude}}});
    }
    for (size_t i = 0; i < fixes.size(); ++i) {
        const Fix& fix = fixes[i];
        const QString name = QStringLiteral("fix %1").arg(i + 1);
        for (const FixLine& line : fix.lstLines) {
            KmlPlacemark(xml, QStringLiteral("%1 %2").arg(name, line.strStation), QStringLiteral("bearing"),
                         QStringLiteral("%1 bearings, mean %2 deg").arg(line.nBearings).arg(line.fBearing, 0, 'f', 2),
                         fix.nEndMs);
            KmlGeometry(xml, QStringLiteral("LineString"), FixGeometry::CutLine(FixGeometry::BearingLine(line, fix)));
        }
        KmlPlacemark(xml, name, QStringLiteral("fix"), FixSummary::FixLine(FixSummary::FixObject(fix)), fix.nEndMs);
        KmlGeometry(xml, QStringLiteral("Point"), {{{fix.fLatitude, fix.fLongitude}}});
        const FixGeometry::Parts ellipse = FixGeometry::CutRing(FixGeometry::Ellipse(fix));
        if (ellipse.empty())
            continue;
        KmlPlacemark(xml, name + QStringLiteral(" 95 %"), QStringLiteral("ellipse"), QString(), fix.nEndMs);
        KmlGeometry(xml, QStringLiteral("Polygon"), ellipse);
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return content;
}

bool Save(const QString& fileName, const QByteArray& content, QString& rError)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        rError = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}

}
