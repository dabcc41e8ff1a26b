#pragma once

#include "fusion/bearing.h"
#include "fusion/bearingjson.h"
#include "fusion/fix.h"
#include "fusion/geodesy.h"
#include "fusion/scenario.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

/// Bearings and scenarios for the fusion tests.
namespace FusionTest
{

struct Site
{
    const char* pszName;
    double fLatitude;
    double fLongitude;
};

/// Three stations of the default scenario.
const Site NORTH{"North", 52.70, 13.40};
const Site WEST{"West", 52.48, 13.10};
const Site SOUTH{"South", 52.30, 13.45};

/// The emitter the fix tests place their stations around.
constexpr double LAT = 52.5;
constexpr double LON = 13.4;

/// A site `distance` metres from the emitter in the direction `azimuth`.
inline Site Around(const char* name, double azimuth, double distance = 20000.0)
{
    Site site{name, 0.0, 0.0};
    Geodesy::Direct(LAT, LON, azimuth, distance, site.fLatitude, site.fLongitude);
    return site;
}

/// How far the fix lies from (latitude, longitude), in metres.
inline double Miss(const Fix& fix, double latitude = LAT, double longitude = LON)
{
    return Geodesy::Between(fix.fLatitude, fix.fLongitude, latitude, longitude).fDistance;
}

/// The bearing a station at site measures towards (latitude, longitude), plus offset degrees.
inline Bearing Towards(const Site& site, double latitude, double longitude, double offset = 0.0,
                       qint64 timeMs = 0, double sigma = 1.0, double frequency = 145.5e6)
{
    Bearing bearing;
    bearing.strStation = QString::fromLatin1(site.pszName);
    bearing.nTimeMs = timeMs;
    bearing.fLatitude = site.fLatitude;
    bearing.fLongitude = site.fLongitude;
    bearing.fBearing =
        Geodesy::WrapAzimuth(Geodesy::Between(site.fLatitude, site.fLongitude, latitude, longitude).fAzimuth + offset);
    bearing.fSigma = sigma;
    bearing.fFrequency = frequency;
    bearing.fBandwidth = 12500.0;
    return bearing;
}

/// Bearing number seq of the site towards (latitude, longitude) at timeMs, as a station sends it.
inline Bearing Numbered(const Site& site, qint64 seq, qint64 timeMs, double latitude = 52.52,
                        double longitude = 13.405, double frequency = 145.5e6, double offset = 0.0)
{
    Bearing bearing = Towards(site, latitude, longitude, offset, timeMs, 1.0, frequency);
    bearing.nSeq = seq;
    return bearing;
}

/// That bearing as the station's message.
inline QByteArray Message(const Site& site, qint64 seq, qint64 timeMs, double latitude = 52.52,
                          double longitude = 13.405, double frequency = 145.5e6, double offset = 0.0)
{
    return BearingJson::Format(Numbered(site, seq, timeMs, latitude, longitude, frequency, offset));
}

inline std::vector<const Bearing*> Pointers(const std::vector<Bearing>& bearings)
{
    std::vector<const Bearing*> pointers;
    for (const Bearing& bearing : bearings)
        pointers.push_back(&bearing);
    return pointers;
}

/// A scenario of one emitter at (52.5, 13.4) on 145.5 MHz and the given stations, all with sigma,
/// and with faults, when given, the JSON object of each station's faults.
inline Scenario OneEmitter(const std::vector<Site>& sites, double sigma, const QStringList& faults = QStringList())
{
    QByteArray text = R"({"start":"2026-12-07T08:00:00.000Z","emitters":[{"name":"E1","latitude":52.5,
        "longitude":13.4,"frequency":145500000,"bandwidth":12500,"power":30,"on":0,"off":86400}],"stations":[)";
    for (size_t i = 0; i < sites.size(); ++i) {
        text += QStringLiteral(R"(%1{"name":"%2","latitude":%3,"longitude":%4,"heading":0,"sigma":%5,
            "frequencyMin":1e6,"frequencyMax":3e9,"role":"%6","follows":[]%7})")
                    .arg(i == 0 ? "" : ",")
                    .arg(QString::fromLatin1(sites[i].pszName))
                    .arg(sites[i].fLatitude, 0, 'f', 6)
                    .arg(sites[i].fLongitude, 0, 'f', 6)
                    .arg(sigma)
                    .arg(i == 0 ? "sender" : "receiver")
                    .arg(faults.isEmpty() ? QString() : ",\"faults\":" + faults.value(int(i)))
                    .toUtf8();
    }
    text += "]}";
    Scenario scenario;
    QString error;
    EXPECT_TRUE(scenario.Parse(text, error)) << error.toStdString();
    return scenario;
}

}
