#pragma once

#include "base/iobserver.h"
#include "kvtcommon_export.h"

namespace NxKVTCommon
{

class OverheadPassParams;

/// Keeps two overhead-pass parameter objects equal: on construction the second takes the first's
/// parameters, afterwards a change of either is copied to the other. Its own copies exclude it
/// from the notification, so they never come back to it.
///
/// Must be destroyed before either parameter object. A copy refers to the same two objects but
/// registers nowhere (it follows nothing); its destruction does not disturb the original, but
/// it too must end before the parameter objects.
/// Single-threaded: runs inside the notifications of the parameter objects.
class KVTCOMMON_EXPORT OHPParamsSynchronizer : public IObserver
{
public:
    OHPParamsSynchronizer(OverheadPassParams& first, OverheadPassParams& second);
    OHPParamsSynchronizer(const OHPParamsSynchronizer& other);
    OHPParamsSynchronizer& operator=(const OHPParamsSynchronizer&) = delete;
    ~OHPParamsSynchronizer() override;

    /// Handles change code 3 from either object; everything else is ignored.
    void Update(Observable* pSource, TChangeCode code) override;

private:
    void CopyParams(const OverheadPassParams& from, OverheadPassParams& to);

    OverheadPassParams& m_first;
    OverheadPassParams& m_second;
};

} // namespace NxKVTCommon
