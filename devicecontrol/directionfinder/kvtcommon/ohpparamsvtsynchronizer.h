#pragma once

#include "base/iobserver.h"
#include "kvtcommon_export.h"

#include <QString>

namespace values
{
template <class T>
class Value;
template <class T>
class ValueNumeric;
} // namespace values

namespace NxKVTCommon
{

class OverheadPassParams;

/// Keeps overhead-pass parameters equal to two values of the value tree, basePath +
/// "/OverheadPass/Threshold" (ValueNumeric<int>) and basePath + "/OverheadPass/Valid"
/// (Value<bool>); an empty base path means "/KVTServer".
///
/// On construction a value found in the tree is taken over into the parameters; a missing value is
/// created (the threshold with the range 0…900, step 1) and receives the parameter. Afterwards a
/// change on either side is copied to the other, excluding the synchroniser from the notification
/// it causes, so nothing comes back to it. The created threshold value clamps to its range: a
/// parameter outside 0…900 shows as the nearest bound in the tree while the parameter keeps its
/// own number. A value that announces its end (state 1) is let go and no longer followed. When a
/// path already holds a value of another type, a detached value stands in (the host traces its
/// memory-leak message) and is kept in step unseen.
///
/// Borrows the parameters and the values, never deletes them; must be destroyed before the
/// parameters. A copy refers to the same objects but registers nowhere, so it is not told when a
/// value ends: it must not outlive the values either. Single-threaded: runs inside the
/// notifications of the tree's thread.
class KVTCOMMON_EXPORT OHPParamsVtSynchronizer : public IObserver
{
public:
    static constexpr int THRESHOLD_MIN = 0;
    static constexpr int THRESHOLD_MAX = 900;

    OHPParamsVtSynchronizer(OverheadPassParams& params, const QString& basePath);
    OHPParamsVtSynchronizer(const OHPParamsVtSynchronizer& other);
    OHPParamsVtSynchronizer& operator=(const OHPParamsVtSynchronizer&) = delete;
    ~OHPParamsVtSynchronizer() override;

    /// Code 2 with state 1 from a value: let go of it. Code 3: copy from the changed side to the
    /// other. Everything else is ignored.
    void Update(Observable* pSource, TChangeCode code) override;

private:
    OverheadPassParams& m_params;
    values::ValueNumeric<int>* m_pThreshold;
    values::Value<bool>* m_pValid;
};

} // namespace NxKVTCommon
