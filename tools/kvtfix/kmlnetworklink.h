#pragma once

#include <QByteArray>
#include <QString>

namespace kvt {

/// A small KML file that Google Earth opens once and that reloads the fix
/// program's KML file every few seconds (a NetworkLink with an interval
/// refresh), so that the fixes move as they are made. It sits beside the
/// KML file ("fixes.kml" gets "fixes-live.kml") and names it relatively, so
/// both can be moved together.
namespace KmlNetworkLink {

constexpr int REFRESH_SECONDS = 5;

/// The link file's path for the KML file `kmlFile`.
QString FileName(const QString& kmlFile);
/// The link file's content for the KML file `kmlFile`.
QByteArray Content(const QString& kmlFile);

}

}
