#pragma once

#include "fusion/fix.h"
#include "tools/kvtfix/fixgeometry.h"

#include <QByteArray>
#include <QString>

#include <vector>

/// The fixes as map files: GeoJSON (RFC 7946: a FeatureCollection with
/// [longitude, latitude] positions, counter-clockwise polygon rings) and KML
/// 2.2 (one Document of Placemarks). Both carry the stations (points, kind
/// "station"), every fix's bearing lines (line strings, kind "bearing"), the
/// fix (point, kind "fix", with its summary properties) and its 95 % ellipse
/// (polygon, kind "ellipse").
namespace MapFiles
{

QByteArray GeoJson(const std::vector<FixGeometry::Station>& stations, const std::vector<Fix>& fixes);
QByteArray Kml(const std::vector<FixGeometry::Station>& stations, const std::vector<Fix>& fixes);

/// Replaces the file atomically; false with the reason when it cannot be written.
bool Save(const QString& fileName, const QByteArray& content, QString& rError);

}
