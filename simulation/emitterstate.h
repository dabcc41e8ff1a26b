#pragma once

/// Where one simulated emitter is at a moment, as the station's surroundings
/// know it (the truth the simulated device measures with noise).
struct EmitterState
{
    double fFrequency;  ///< Hz
    double fAzimuth;    ///< degrees, 0 to 360
    double fElevation;  ///< degrees above the horizon
    double fStrength;   ///< field strength at the antenna, dBµV
};
