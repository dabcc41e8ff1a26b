#pragma once

#include <QString>
#include <QtGlobal>

/// One bearing as a station reported it: who measured, when, from where and
/// what. Angles in degrees clockwise from true north, frequencies in Hz,
/// times in milliseconds since the Unix epoch (UTC).
struct Bearing
{
    QString strStation;
    /// Per-station sequence number from 1; 0 when the source has none (DF sentences).
    qint64 nSeq = 0;
    qint64 nTimeMs = 0;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    double fHeading = 0.0;
    /// True bearing in [0, 360).
    double fBearing = 0.0;
    /// Rated standard deviation of the bearing.
    double fSigma = 0.0;
    double fQuality = 0.0;
    double fFrequency = 0.0;
    /// 0 when the source does not say; the grouping then uses its default channel width.
    double fBandwidth = 0.0;
    double fLevel = 0.0;
    /// The DF method as the library writes it ("WAT", "COR9", ...); empty when the source does not say.
    QString strMethod;
};
