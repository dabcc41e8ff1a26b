#pragma once

#include "kvtcommon_export.h"

namespace NxKVTCommon
{

class OverheadPassParams;

/// Loads and saves overhead-pass parameters in the section "OverheadPass" of the application
/// configuration (view 1): "Threshold" (integer, default 600) and "Valid" (boolean, default false).
/// Borrows the parameters, which must outlive it. Single-threaded, like the configuration store.
class KVTCOMMON_EXPORT OHPParamsPersistency
{
public:
    explicit OHPParamsPersistency(OverheadPassParams& params);

    /// Writes both keys; without a section nothing happens.
    void MakePersistent();
    /// Reads both keys into the parameters, telling every observer of a change. A missing key is
    /// first written with its default; without a section nothing happens.
    void Restore();

private:
    OverheadPassParams& m_params;
};

} // namespace NxKVTCommon
