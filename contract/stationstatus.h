#pragma once

#include "kvtcontract_export.h"

#include <QByteArray>
#include <QString>

/// What a station tells the network about itself on its retained status
/// topic: who it is, where it stands and which frequencies it accepts.
/// Angles in degrees (heading clockwise from true north), frequencies in Hz.
struct KVTCONTRACT_EXPORT StationStatus
{
    /// The status message's version ("v"; docs/schemas/stationstatus.schema.json).
    static constexpr int VERSION = 1;

    QString strName;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    double fHeading = 0.0;
    double fFrequencyMin = 0.0;
    double fFrequencyMax = 0.0;

    /// The status message, one JSON object (see docs/network.md):
    /// {"v", "station", "latitude", "longitude", "heading", "frequencyMin",
    /// "frequencyMax", "online"}.
    QByteArray ToJson(bool bOnline) const;
};
