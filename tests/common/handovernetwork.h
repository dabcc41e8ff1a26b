#pragma once

#include <QByteArray>

/// One sender ("Boss", handing 145.5 MHz over at once) and receivers: "Near"
/// follows it and accepts the frequency, "Deaf" follows it but starts at
/// 300 MHz, "Stranger" follows somebody else. A second emitter transmits from
/// 10 s to 20 s only.
inline const QByteArray HANDOVER_NETWORK = R"({
  "start": "2026-12-07T08:00:00.000Z",
  "emitters": [
    { "name": "E1", "latitude": 52.52, "longitude": 13.405, "frequency": 145500000, "bandwidth": 12500,
      "power": 40.0, "on": 0, "off": 86400 },
    { "name": "E2", "latitude": 52.43, "longitude": 13.65, "frequency": 433920000, "bandwidth": 25000,
      "power": 30.0, "on": 10, "off": 20 }
  ],
  "stations": [
    { "name": "Boss", "latitude": 52.70, "longitude": 13.40, "heading": 10.0, "sigma": 1.5,
      "frequencyMin": 20000000, "frequencyMax": 3000000000, "role": "sender" },
    { "name": "Near", "latitude": 52.48, "longitude": 13.10, "heading": 350.0, "sigma": 2.0,
      "motion": { "pitch": 1.0, "roll": 2.0, "period": 7.0 },
      "frequencyMin": 20000000, "frequencyMax": 3000000000, "role": "receiver", "follows": ["Boss"] },
    { "name": "Deaf", "latitude": 52.30, "longitude": 13.45, "heading": 0.0, "sigma": 2.0,
      "frequencyMin": 300000000, "frequencyMax": 3000000000, "role": "receiver", "follows": ["Boss"] },
    { "name": "Stranger", "latitude": 52.55, "longitude": 13.85, "heading": 0.0, "sigma": 2.0,
      "frequencyMin": 20000000, "frequencyMax": 3000000000, "role": "receiver", "follows": ["Other"] }
  ],
  "handovers": [ { "at": 0, "station": "Boss", "frequency": 145500000 } ]
})";
