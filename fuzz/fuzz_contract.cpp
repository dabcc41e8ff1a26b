// The bearing contract: a random bearing record written through every
// encoding and read back. Properties: the bearing message reads back to the
// record rounded as documented (kvt::BearingMessage::Rounded) and writes
// again byte for byte the same; the DF sentence reads back to the true
// bearing, the second of the time in the writer's zone, the position,
// frequency, quality and level within the sentence's decimals; the topic of
// any station name gives that name back.
#include "contract/bearingmessage.h"
#include "contract/dfsentence.h"
#include "contract/dfsentencereader.h"
#include "contract/stationtopics.h"
#include "fuzz/fuzzsupport.h"

#include <QDateTime>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>

namespace
{

// Zones without summer time: every time of day names one instant.
const char* const ZONES[] = {"UTC", "Asia/Kolkata", "Asia/Tokyo", "Pacific/Chatham"};
constexpr qint64 YEAR_2100_MS = 4102444800000;

/// The device's and the compass' tenths of a degree.
double Tenths(FuzzedDataProvider& data)
{
    return data.ConsumeIntegralInRange<int>(0, 3599) / 10.0;
}

kvt::BearingRecord Record(FuzzedDataProvider& data)
{
    kvt::BearingRecord bearing;
    const std::string station = data.ConsumeRandomLengthString(40);
    bearing.strStation = QString::fromUtf8(station.data(), static_cast<int>(station.size()));
    if (bearing.strStation.isEmpty())
        bearing.strStation = QStringLiteral("S");
    bearing.nSeq = data.ConsumeIntegralInRange<qint64>(1, 9000000000000000);
    bearing.nTimeMs = data.ConsumeIntegralInRange<qint64>(0, YEAR_2100_MS);
    bearing.fLatitude = data.ConsumeFloatingPointInRange(-90.0, 90.0);
    bearing.fLongitude = data.ConsumeFloatingPointInRange(-180.0, 180.0);
    if (std::abs(bearing.fLatitude) < 1e-4)
        bearing.fLatitude = 1e-4;
    bearing.fHeading = Tenths(data);
    bearing.fRelativeBearing = Tenths(data);
    bearing.fBearing = kvt::WrapDegrees(bearing.fRelativeBearing + bearing.fHeading);
    bearing.fSigma = data.ConsumeFloatingPointInRange(0.01, 90.0);
    bearing.fQuality = data.ConsumeFloatingPointInRange(0.1, 100.0);
    bearing.fFrequency = data.ConsumeFloatingPointInRange(1.0, 1e11);
    bearing.fBandwidth = data.ConsumeFloatingPointInRange(0.0, 1e9);
    bearing.fLevel = data.ConsumeFloatingPointInRange(-200.0, 200.0);
    const std::string method = data.ConsumeRandomLengthString(8);
    bearing.strMethod = QString::fromUtf8(method.data(), static_cast<int>(method.size()));
    return bearing;
}

bool Same(const kvt::BearingRecord& a, const kvt::BearingRecord& b)
{
    return a.strStation == b.strStation && a.nSeq == b.nSeq && a.nTimeMs == b.nTimeMs && a.fLatitude == b.fLatitude
        && a.fLongitude == b.fLongitude && a.fHeading == b.fHeading && a.fBearing == b.fBearing
        && a.fRelativeBearing == b.fRelativeBearing && a.fSigma == b.fSigma && a.fQuality == b.fQuality
        && a.fFrequency == b.fFrequency && a.fBandwidth == b.fBandwidth && a.fLevel == b.fLevel
        && a.strMethod == b.strMethod;
}

bool Near(double a, double b, double halfStep)
{
    return std::abs(a - b) <= halfStep * (1.0 + 1e-9) + 1e-9 * std::abs(b);
}

void CheckMessage(const kvt::BearingRecord& bearing)
{
    const QByteArray message = kvt::BearingMessage::Format(bearing);
    kvt::BearingRecord back;
    QString error;
    FUZZ_CHECK(kvt::BearingMessage::Parse(message, back, error));
    FUZZ_CHECK(Same(back, kvt::BearingMessage::Rounded(bearing)));
    FUZZ_CHECK(kvt::BearingMessage::Format(back) == message);
}

void CheckSentence(const kvt::BearingRecord& bearing, const QTimeZone& zone)
{
    kvt::DfSentenceReader reader({bearing.strStation,
                                  QDateTime::fromMSecsSinceEpoch(bearing.nTimeMs, zone).date(), bearing.fSigma, true,
                                  zone});
    kvt::BearingRecord back;
    QString error;
    FUZZ_CHECK(reader.Read(kvt::DfSentence::Format(bearing, zone), back, error));
    FUZZ_CHECK(back.nTimeMs == bearing.nTimeMs / 1000 * 1000);
    FUZZ_CHECK(Near(back.fBearing, bearing.fBearing, 1e-9) || Near(std::abs(back.fBearing - bearing.fBearing), 360.0, 1e-9));
    FUZZ_CHECK(back.fRelativeBearing == bearing.fRelativeBearing && back.fHeading == bearing.fHeading);
    FUZZ_CHECK(Near(back.fLatitude, bearing.fLatitude, 0.5e-5) && Near(back.fLongitude, bearing.fLongitude, 0.5e-7));
    FUZZ_CHECK(Near(back.fFrequency, bearing.fFrequency, 0.5));
    FUZZ_CHECK(Near(back.fQuality, bearing.fQuality, 0.05) && Near(back.fLevel, bearing.fLevel, 0.05));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const QTimeZone zone(ZONES[data.ConsumeIntegralInRange<size_t>(0, std::size(ZONES) - 1)]);
    const kvt::BearingRecord bearing = Record(data);
    CheckMessage(bearing);
    CheckSentence(bearing, zone);
    QString station;
    FUZZ_CHECK(StationTopics::StationOfBearings(StationTopics::Bearings(bearing.strStation), station));
    FUZZ_CHECK(station == bearing.strStation);
    return 0;
}
