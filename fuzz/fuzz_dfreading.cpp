// A DF receiver's current-bearing document as the bridge reads it, from a
// receiver that may be broken or hostile. Properties: no crash; a refused
// document always says why; an accepted one is on the globe with a finite
// DOA and a confidence of 0 to 99, and written out again reads back to the
// same values; the bridge turns it into a bearing the fusion accepts.
#include "fusion/bearingjson.h"
#include "tools/kvtbridge/dfbridge.h"
#include "tools/kvtbridge/dfreading.h"

#include <QByteArray>

#include <cmath>
#include <cstdlib>

namespace {

bool Same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    kvt::DfReading reading;
    QString error;
    if (!kvt::DfReading::Parse(input, reading, error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (!(std::abs(reading.fLatitude) <= 90.0) || !(std::abs(reading.fLongitude) <= 180.0)
        || !std::isfinite(reading.fDoa) || !(reading.fConfidence >= 0.0 && reading.fConfidence <= 99.0))
        std::abort();
    kvt::DfReading back;
    if (!kvt::DfReading::Parse(reading.Format(), back, error) || back.nTimeMs != reading.nTimeMs
        || back.strStationId != reading.strStationId || !Same(back.fDoa, reading.fDoa)
        || !Same(back.fLatitude, reading.fLatitude) || !Same(back.fSpeed, reading.fSpeed)
        || !Same(back.fSnrDb, reading.fSnrDb) || back.strGpsTime != reading.strGpsTime)
        std::abort();
    kvt::DfBridge bridge({QStringLiteral("Fuzz"), 2.0, 0.0, false});
    Bearing bearing;
    if (!bridge.Take(input, bearing) || !BearingJson::Check(bearing, error))
        std::abort();
    return 0;
}
