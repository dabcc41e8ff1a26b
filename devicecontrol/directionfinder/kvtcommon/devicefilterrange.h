#pragma once

#include "kvtcommon_export.h"

#include <utility>
#include <vector>

/// The angular ranges (degrees) in which one device accepts bearings, with the two extents that
/// DisplayFilterRange copies unchanged into every entry it publishes for the device. A plain
/// record, passed by value.
class KVTCOMMON_EXPORT DeviceFilterRange
{
public:
    /// (from, to); a pair with from > to wraps through 0.
    using Range = std::pair<double, double>;

    /// The end of the circle as the display knows it: angles run over 0…359.99.
    static constexpr double CIRCLE_END = 359.99;

    DeviceFilterRange(double fFirstExtent = 0.0, double fSecondExtent = 0.0,
                      std::vector<Range> lstAcceptedRanges = std::vector<Range>());

    /// The parts of 0…359.99 that no accepted range covers, ascending, each a pair of neighbouring
    /// boundary points (0, 359.99 and every from and to). A point p is covered by (from, to) when
    /// from ≤ p < to; a wrapping range counts as (from, 359.99) and (0, to), so (350, 10) leaves
    /// the single gap (10, 350). A range with from equal to to covers nothing, but its bound is
    /// still a boundary point, and so are bounds outside the circle: gaps are then computed by the
    /// same rule and may reach past it. Pairs with a NaN bound are ignored.
    std::vector<Range> GetGaps() const;

    double m_fFirstExtent;
    double m_fSecondExtent;
    std::vector<Range> m_lstAcceptedRanges;
};
