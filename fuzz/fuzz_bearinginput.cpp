// The bearing inputs of the fix program: every line read as a bearing
// message and as a DF sentence, and the whole input as a scenario file.
// Properties: no crash; an accepted bearing passes the fusion's own check
// (finite, on the globe, bearing in [0, 360), positive sigma); an accepted
// message written out again reads back to the same bearing; a refused input
// always says why; every handover of an accepted scenario is a sender's.
#include "contract/dfsentencereader.h"
#include "fusion/bearingjson.h"
#include "fusion/scenario.h"
#include "fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QDate>
#include <QList>

namespace
{

bool SameBearing(const Bearing& a, const Bearing& b)
{
    return a.strStation == b.strStation && a.nSeq == b.nSeq && a.nTimeMs == b.nTimeMs
        && a.fLatitude == b.fLatitude && a.fLongitude == b.fLongitude && a.fBearing == b.fBearing
        && a.fSigma == b.fSigma && a.fFrequency == b.fFrequency && a.strMethod == b.strMethod;
}

} // namespace

// Qt is built without frame pointers: only the slow unwinder sees through it
// to QJsonDocument::fromJson, whose own leak the suppressions name.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    kvt::DfSentenceReader decoder({QStringLiteral("Station"), QDate(2026, 12, 7), 2.0, true, QTimeZone::utc()});
    for (const QByteArray& line : input.split('\n')) {
        Bearing bearing;
        QString error;
        QString checkError;
        if (BearingJson::Parse(line, bearing, error)) {
            FUZZ_CHECK(BearingJson::Check(bearing, checkError));
            Bearing back;
            FUZZ_CHECK(BearingJson::Parse(BearingJson::Format(bearing), back, error));
            FUZZ_CHECK(SameBearing(BearingJson::Rounded(bearing), back));
        } else {
            FUZZ_CHECK(!error.isEmpty());
        }
        error.clear();
        if (decoder.Read(line, bearing, error))
            FUZZ_CHECK(BearingJson::Check(bearing, checkError));
        else
            FUZZ_CHECK(!error.isEmpty());
    }
    Scenario scenario;
    QString error;
    if (!scenario.Parse(input, error)) {
        FUZZ_CHECK(!error.isEmpty() && scenario.GetStations().empty());
    } else {
        for (const Scenario::Handover& handover : scenario.GetHandovers()) {
            const Scenario::Station* pStation = scenario.FindStation(handover.strStation);
            FUZZ_CHECK(pStation != nullptr && pStation->eRole == Scenario::Role::Sender);
        }
    }
    return 0;
}
