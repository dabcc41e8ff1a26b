#pragma once

#include "base/observable.h"
#include "kvtcommon_export.h"

namespace NxKVTCommon
{

/// The overhead-pass filter's parameters: an elevation threshold in tenths of a degree and an
/// on/off switch. Observable: every real change tells all observers, with change code 3, except the
/// one passed as excluded observer, so that a party that copies a change in is not told of it
/// again. Setting the current value tells nobody.
///
/// Copies take both parameters but no observers (they registered with the original); assignment
/// keeps the target's observers and tells them nothing. Single-threaded: notifications run at once
/// in the thread that changes a parameter.
class KVTCOMMON_EXPORT OverheadPassParams : public Observable
{
public:
    static constexpr int DEFAULT_THRESHOLD = 600;

    OverheadPassParams();
    OverheadPassParams(const OverheadPassParams& other);
    OverheadPassParams& operator=(const OverheadPassParams& other);
    ~OverheadPassParams() override;

    int GetThreshold() const { return m_nThreshold; }
    void SetThreshold(int nThreshold, IObserver* pExcluded);

    /// Whether the filter is switched on.
    bool IsValid() const { return m_bValid; }
    void SetValid(bool bValid, IObserver* pExcluded);

private:
    int m_nThreshold;
    bool m_bValid;
};

} // namespace NxKVTCommon
