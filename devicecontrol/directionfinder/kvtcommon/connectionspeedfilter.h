#pragma once

#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "kvtcommon_export.h"

#include <QString>
#include <QtGlobal>

namespace values
{
struct Bearing;
template <class T>
class Value;
} // namespace values

namespace NxKVTCommon
{

/// While the connection-speed value of the value tree is positive, gives every bearing without
/// quality (quality 0) the level LEVEL_NO_QUALITY, so that the display drops it; bearings with a
/// quality keep their level.
///
/// Borrows the speed value (chosen once by path), neither observes nor owns it: it must outlive
/// the filter. Copies share the value and carry the reject counts along. Every bearing whose level
/// it rewrites is counted under FilterRejectReason::NoQuality. Single-threaded: use it on the
/// thread that produces the bearings and owns the value tree.
class KVTCOMMON_EXPORT ConnectionSpeedFilter : public FilterRejectCounter
{
public:
    static constexpr qint16 LEVEL_NO_QUALITY = -4000;

    ConnectionSpeedFilter();
    ConnectionSpeedFilter(const ConnectionSpeedFilter& other);
    ConnectionSpeedFilter& operator=(const ConnectionSpeedFilter& other);
    ~ConnectionSpeedFilter();

    /// While no value is set: takes the value at the absolute path if it is a Value<int> (else
    /// stays unset). Once set, later calls have no effect.
    void SetConnectionSpeedValuePath(const QString& path);

    /// Without a value, with a speed ≤ 0 or with a null array nothing changes.
    void Apply(unsigned int count, values::Bearing* bearings);

private:
    values::Value<int>* m_pConnectionSpeed;
};

} // namespace NxKVTCommon
