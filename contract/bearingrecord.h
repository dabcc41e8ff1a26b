#pragma once

#include "kvtcontract_export.h"

#include <QString>
#include <QtGlobal>

namespace kvt
{

/// One bearing as a station reported it: who measured, when, from where and
/// what. Angles in degrees clockwise, frequencies and bandwidths in Hz, times
/// in milliseconds since the Unix epoch (UTC). Every encoding (DF sentence,
/// bearing message) writes and reads this record; docs/contract.md gives
/// each field's unit and rounding per encoding.
struct BearingRecord
{
    QString strStation;
    /// Per-station sequence number from 1. DF sentences carry none: their
    /// reader numbers the lines of one file instead, so that only the same
    /// line read twice looks like a repeat. 0 when nothing numbers the bearing.
    qint64 nSeq = 0;
    qint64 nTimeMs = 0;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    /// The platform's heading from true north, in [0, 360).
    double fHeading = 0.0;
    /// True bearing in [0, 360): fRelativeBearing + fHeading.
    double fBearing = 0.0;
    /// The bearing as the device measured it, from the platform's bow, in [0, 360).
    double fRelativeBearing = 0.0;
    /// Rated standard deviation of the bearing.
    double fSigma = 0.0;
    double fQuality = 0.0;
    double fFrequency = 0.0;
    /// 0 when the source does not say; the grouping then uses its default channel width.
    double fBandwidth = 0.0;
    /// dBµV.
    double fLevel = 0.0;
    /// The DF method as the library writes it ("WAT", "COR9", ...); empty when the source does not say.
    QString strMethod;
};

/// An angle in degrees brought into [0, 360); NaN stays NaN.
KVTCONTRACT_EXPORT double WrapDegrees(double fAngle);

} // namespace kvt
