#pragma once

namespace NxKVTCommon
{

/// Why a bearing filter rejected a bearing. Each filter counts the bearings it rejects under its
/// own reason (see FilterRejectCounter), so that a driver can show why nothing is displayed.
/// The numbers are stable: append new reasons before FILTER_REJECT_REASON_COUNT only.
enum class FilterRejectReason
{
    /// The platform's pitch or roll exceeded its threshold (PitchRollFilter): quality set to 0.
    Tilt = 0,
    /// The elevation reached the overhead-pass threshold (OverheadPassFilter): quality set to -200.
    OverheadPass = 1,
    /// A bearing without quality while a connection speed is set (ConnectionSpeedFilter): level
    /// set to -4000.
    NoQuality = 2
};

constexpr int FILTER_REJECT_REASON_COUNT = 3;

} // namespace NxKVTCommon
