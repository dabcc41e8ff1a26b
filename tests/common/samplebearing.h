#pragma once

#include "contract/bearingrecord.h"

/// A bearing of station Ops/North at 2026-12-07 08:00:01.250 UTC from
/// (54.3233, 10.1228): 80.7° true, 350.7° from the bow at a heading of 90°,
/// on 145.5 MHz with 25 kHz bandwidth, measured by WAT.
inline kvt::BearingRecord SampleBearing(qint64 nSeq = 7)
{
    kvt::BearingRecord bearing;
    bearing.strStation = QStringLiteral("Ops/North");
    bearing.nSeq = nSeq;
    bearing.nTimeMs = 1796630401250;
    bearing.fLatitude = 54.3233;
    bearing.fLongitude = 10.1228;
    bearing.fHeading = 90.0;
    bearing.fRelativeBearing = 350.7;
    bearing.fBearing = 80.69999999999999;
    bearing.fSigma = 2.0;
    bearing.fQuality = 87.0;
    bearing.fFrequency = 145.5e6;
    bearing.fBandwidth = 25000.0;
    bearing.fLevel = -62.5;
    bearing.strMethod = QStringLiteral("WAT");
    return bearing;
}
