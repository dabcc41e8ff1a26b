#pragma once

#include "fusion/fix.h"
#include "tools/kvtfix/fixgeometry.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kvt {

/// The network's picture as Cursor-on-Target events (CoT 2.0 XML, one
/// <event> each), for TAK clients and servers. Event types and why they were
/// chosen: docs/interop.md.
///
/// - a station: a point of type "a-f-G-E-S" (friendly ground sensor
///   equipment), uid "kvt.station.<name>", callsign the name;
/// - a station's line of bearing in a fix: a range-and-bearing line "u-rb-a"
///   from the station, range to a third beyond the fix, linked to the
///   station's point, uid "kvt.bearing.<name>" (each new line replaces the last);
/// - a fix: a point "a-u-G" (unknown ground track) made by fusion (how
///   "m-f"), uid "kvt.fix.<channel>", whose ce is the radius of the circle
///   around the 95 % ellipse (its semi-major axis: it holds at least 95 %),
///   with the ellipse in <shape><ellipse major minor angle/></shape>
///   (semi-axes in metres, angle the major axis' azimuth in degrees clockwise
///   from true north).
///
/// time is when the event is made, start the time of the measurement, stale
/// time plus the stale interval (kvtfix: --max-age).
namespace CotEvents {

struct Times
{
    qint64 nTimeMs = 0;
    qint64 nStartMs = 0;
    qint64 nStaleMs = 0;
};

QByteArray Station(const FixGeometry::Station& station, const Times& times);
QByteArray BearingLine(const FixLine& line, const Fix& fix, const Times& times);
QByteArray FixPoint(const Fix& fix, const QString& channel, const Times& times);

/// The circle radius that holds the fix's 95 % ellipse (its semi-major axis).
double CircularError(const Fix& fix);

}

}
