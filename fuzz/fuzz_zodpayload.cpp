// A ZOD parameter message as it comes from the broker: the first line is the
// tag (the last topic level), the rest the payload. Properties: no crash; an
// accepted text is the payload itself, short and free of control characters;
// accepted numbers lie in their ranges; a topic level reads back to itself;
// the receiver's frequency never leaves its range, whatever arrives.
#include "devicecontrol/directionfinder/zodclient/zodfollower.h"
#include "devicecontrol/directionfinder/zodclient/zodpayload.h"
#include "devicecontrol/directionfinder/zodclient/zodtopics.h"
#include "fuzz/fuzzsupport.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <cmath>

namespace
{

const double MINIMUM = 8e7;
const double MAXIMUM = 1.2e8;
const double START = 1e8;

// One receiver for the whole run, tuned to START inside its range.
ZodFollower& Follower()
{
    static ZodFollower* s_pFollower = [] {
        values::Tree* pTree = values::Tree::Instance();
        pTree->CreateValue<values::ValueNumeric<double>>(QStringLiteral("/F/Frequency"), START);
        auto* pBandwidth = pTree->CreateValue<values::ValueSelection>(QStringLiteral("/F/Bandwidth"));
        pBandwidth->AddItem(QStringLiteral("10 kHz"), 1e4, 0);
        pBandwidth->AddItem(QStringLiteral("1 MHz"), 1e6, 1);
        auto* pDemodulation = pTree->CreateValue<values::ValueSelection>(QStringLiteral("/F/Demodulation"));
        pDemodulation->AddItem(QStringLiteral("AM"), 0, 0);
        pDemodulation->AddItem(QStringLiteral("FM"), 0, 1);
        pTree->CreateValue<values::ValueSelection>(QStringLiteral("/F/Mode"))->AddItem(QStringLiteral("FFM"), 0, 0);
        auto* pFollower = new ZodFollower(nullptr);
        pFollower->SetTargets({QStringLiteral("Ops")});
        pFollower->SetRange(QStringLiteral("80000000,120000000"));
        pFollower->AddParameter(QStringLiteral("FRQ"), QStringLiteral("/F/Frequency"), QString());
        pFollower->AddParameter(QStringLiteral("BW"), QStringLiteral("/F/Bandwidth"),
                                ZodFollower::SELECT_EQUAL_OR_BIGGER);
        pFollower->AddParameter(QStringLiteral("DEM"), QStringLiteral("/F/Demodulation"), QString());
        pFollower->SetModeParameter(QStringLiteral("/F/Mode"), QStringLiteral("FFM"));
        return pFollower;
    }();
    return *s_pFollower;
}

void CheckNumbers(const QString& text)
{
    double fValue = 0.0;
    if (ZodPayload::Frequency(text, fValue))
        FUZZ_CHECK(std::isfinite(fValue) && fValue > 0.0 && fValue < ZodPayload::MAX_FREQUENCY);
    if (ZodPayload::Bandwidth(text, fValue))
        FUZZ_CHECK(std::isfinite(fValue) && fValue > 0.0 && fValue < ZodPayload::MAX_FREQUENCY);
    double fMaximum = 0.0;
    if (ZodPayload::Range(text, fValue, fMaximum))
        FUZZ_CHECK(fValue < fMaximum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const int nEnd = input.indexOf('\n');
    const QString tag = QString::fromUtf8(nEnd < 0 ? input : input.left(nEnd));
    const QByteArray payload = nEnd < 0 ? QByteArray() : input.mid(nEnd + 1);

    QString text;
    if (ZodPayload::Text(payload, text))
    {
        FUZZ_CHECK(payload.size() <= ZodPayload::MAX_SIZE);
        FUZZ_CHECK(text.toUtf8() == payload);
        CheckNumbers(text);
    }
    CheckNumbers(tag);

    QString name;
    if (ZodTopics::Name(tag, name))
        FUZZ_CHECK(ZodTopics::Level(name) == tag);
    const QString level = ZodTopics::Level(tag);
    FUZZ_CHECK(!level.contains(QLatin1Char('/')) && !level.contains(QLatin1Char('+')) && !level.contains(QLatin1Char('#')));
    FUZZ_CHECK(ZodTopics::Name(level, name) && name == tag);

    // A clock that always lets the dwell pass: every message is judged at once.
    static qint64 s_nNowMs = 0;
    s_nNowMs += ZodFollower::DEFAULT_DWELL_MS;
    Follower().Receive(QStringLiteral("kvt/zod/Ops/param/") + tag, payload, s_nNowMs);
    const double fFrequency =
        values::Tree::Instance()->Find<values::ValueNumeric<double>>(QStringLiteral("/F/Frequency"))->GetValue();
    FUZZ_CHECK(fFrequency >= MINIMUM && fFrequency <= MAXIMUM);
    return 0;
}
