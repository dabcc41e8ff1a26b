#pragma once

#include "tools/kvtfix/fixgeometry.h"

#include <vector>

/// Shapes cut where they cross the antimeridian, as RFC 7946 asks of
/// GeoJSON and as every reader that takes longitude and latitude for a plane
/// needs: a segment from 179.9° to -179.9° would otherwise run the long way
/// round the globe. Every part keeps its longitudes within [-180, 180].
namespace FixGeometry
{

using Parts = std::vector<std::vector<Point>>;

/// A polyline whose consecutive points lie less than 180° of longitude
/// apart, as one part, or as several that end and start on the
/// antimeridian where it crosses it. Parts of fewer than two points are
/// dropped; no points give no parts.
Parts CutLine(const std::vector<Point>& points);

/// A closed ring (last point = first) as closed counter-clockwise rings:
/// itself when it crosses no antimeridian, else its pieces on either side.
/// A ring around a pole (its longitudes turn once round) bounds the cap
/// between it and the pole, which is cut at 0° too, so that no piece spans
/// more than 180° of longitude. Fewer than four points give no parts.
Parts CutRing(const std::vector<Point>& ring);

}
