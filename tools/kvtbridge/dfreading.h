#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kvt {

/// One current-bearing document of a coherent multi-channel DF receiver, as
/// its direction-of-arrival software serves it (XML, see docs/interop.md):
///
///     <DATA>
///       <STATION_ID>RxA</STATION_ID> <TIME>1765094400000</TIME> <FREQUENCY>145.5</FREQUENCY>
///       <LOCATION> <LATITUDE>54.1</LATITUDE> <LONGITUDE>10.2</LONGITUDE> <HEADING>30</HEADING>
///                  <SPEED>0</SPEED> </LOCATION>
///       <DOA>112.5</DOA> <PWR>-41.2</PWR> <CONF>87</CONF>
///       <GPS_TIME>...</GPS_TIME> <LATENCY>120</LATENCY> <SNR_DB>18.5</SNR_DB>
///     </DATA>
///
/// SPEED, GPS_TIME, LATENCY and SNR_DB are optional (NaN, or empty, when
/// absent); everything else is required.
struct DfReading
{
    QString strStationId;
    /// Unix epoch, milliseconds.
    qint64 nTimeMs = 0;
    double fFrequencyMHz = 0.0;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    /// The antenna array's reference direction, degrees clockwise from true north.
    double fHeading = 0.0;
    double fSpeed = qQNaN();
    /// Direction of arrival relative to the reference direction, degrees; its sense is the bridge's option.
    double fDoa = 0.0;
    double fPower = 0.0;
    /// 0 to 99.
    double fConfidence = 0.0;
    /// As the receiver writes it; the bridge passes it on nowhere.
    QString strGpsTime;
    double fLatencyMs = qQNaN();
    double fSnrDb = qQNaN();

    /// Reads one document. False with the reason (naming the element) when it
    /// is no well-formed XML, its root is not DATA, a required element is
    /// missing, repeated or empty, a number does not read or lies outside its
    /// range (latitude ±90, longitude ±180, heading and DOA ±360, frequency
    /// above 0 up to 1 THz, time above 0, confidence 0 to 99, every number
    /// finite); rReading is then unspecified.
    /// Unknown elements are skipped.
    static bool Parse(const QByteArray& document, DfReading& rReading, QString& rError);

    /// The document as a receiver writes it (UTF-8, with the XML declaration);
    /// Parse() reads it back to the same values.
    QByteArray Format() const;
};

}
