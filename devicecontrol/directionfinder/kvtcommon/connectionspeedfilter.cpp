#include "devicecontrol/directionfinder/kvtcommon/connectionspeedfilter.h"

#include "valueframework/valueclasses/bearing.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace NxKVTCommon
{

namespace
{

// Whole scans mix bearings with and without quality in no pattern a branch predictor could learn,
// so every level is written through a mask instead of behind a branch.

/// 1 when the bearing had no quality and its level was set, else 0.
unsigned int MarkIfWithoutQuality(values::Bearing& rBearing)
{
    const int nMask = -static_cast<int>(rBearing.quality == 0);
    rBearing.level = static_cast<qint16>((rBearing.level & ~nMask) | (ConnectionSpeedFilter::LEVEL_NO_QUALITY & nMask));
    return static_cast<unsigned int>(nMask & 1);
}

/// The number of bearings marked; at most count, so it cannot overflow.
unsigned int MarkBearingsWithoutQuality(unsigned int count, values::Bearing* bearings)
{
    values::Bearing* pBearing = bearings;
    values::Bearing* const pEnd = bearings + count;
    unsigned int nMarked = 0;
#if defined(__SSE2__) || defined(_M_X64)
    // Two bearings at a time: the 64-bit words from the level on (level, azimuth, elevation,
    // quality, 16 bits each) side by side in one vector. A quality word equal to 0 compares to
    // 0xFFFF, which a 48-bit shift moves onto the level word of the same bearing as its select mask.
    static_assert(offsetof(values::Bearing, level) == 8 && offsetof(values::Bearing, quality) == 14 &&
                      sizeof(values::Bearing) == 16,
                  "bearing layout as the vector code reads it");
    const __m128i noQualityLevels = _mm_set1_epi64x(static_cast<quint16>(ConnectionSpeedFilter::LEVEL_NO_QUALITY));
    __m128i selected = _mm_setzero_si128(); // sums of 0xFFFF per marked bearing
    for (; pEnd - pBearing >= 2; pBearing += 2)
    {
        auto* pFirst = reinterpret_cast<__m128i*>(&pBearing[0].level);
        auto* pSecond = reinterpret_cast<__m128i*>(&pBearing[1].level);
        const __m128i words = _mm_unpacklo_epi64(_mm_loadl_epi64(pFirst), _mm_loadl_epi64(pSecond));
        const __m128i select = _mm_srli_epi64(_mm_cmpeq_epi16(words, _mm_setzero_si128()), 48);
        const __m128i marked = _mm_xor_si128(words, _mm_and_si128(_mm_xor_si128(words, noQualityLevels), select));
        _mm_storel_epi64(pFirst, marked);
        _mm_storel_epi64(pSecond, _mm_unpackhi_epi64(marked, marked));
        selected = _mm_add_epi64(selected, select);
    }
    alignas(16) quint64 aSelected[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(aSelected), selected);
    nMarked = static_cast<unsigned int>((aSelected[0] + aSelected[1]) / 0xFFFF);
#endif
    for (; pBearing != pEnd; ++pBearing)
        nMarked += MarkIfWithoutQuality(*pBearing);
    return nMarked;
}

} // namespace

ConnectionSpeedFilter::ConnectionSpeedFilter()
    : m_pConnectionSpeed(nullptr)
{
}

ConnectionSpeedFilter::ConnectionSpeedFilter(const ConnectionSpeedFilter& other) = default;
ConnectionSpeedFilter& ConnectionSpeedFilter::operator=(const ConnectionSpeedFilter& other) = default;
ConnectionSpeedFilter::~ConnectionSpeedFilter() = default;

void ConnectionSpeedFilter::SetConnectionSpeedValuePath(const QString& path)
{
    if (m_pConnectionSpeed == nullptr)
        m_pConnectionSpeed = values::Tree::Instance()->Find<values::Value<int>>(path);
}

void ConnectionSpeedFilter::Apply(unsigned int count, values::Bearing* bearings)
{
    if (m_pConnectionSpeed == nullptr || m_pConnectionSpeed->GetValue() <= 0 || bearings == nullptr)
        return;
    CountRejects(FilterRejectReason::NoQuality, MarkBearingsWithoutQuality(count, bearings));
}

} // namespace NxKVTCommon
