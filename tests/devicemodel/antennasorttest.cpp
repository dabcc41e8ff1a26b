#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
struct Span
{
    double fMin, fMax;
    std::string strName;
    int nId;
};

bool SpanLess(const Span& a, const Span& b)
{
    if (b.fMin > a.fMin && b.fMax >= a.fMax)
        return true;
    if (a.fMin > b.fMin && a.fMax > b.fMax)
        return false;
    if (b.fMax < a.fMax)
        return false;
    return a.strName < b.strName;
}

// Second, independently written form of the sort procedure: an explicit work
// stack instead of recursion, iterators instead of positions.
std::vector<int> ReferenceOrder(std::vector<Span> spans)
{
    using It = std::vector<Span>::iterator;
    std::vector<std::pair<It, It>> work{{spans.begin(), spans.end()}};
    while (!work.empty())
    {
        auto [first, end] = work.back();
        work.pop_back();
        const auto span = end - first;
        if (span < 2)
            continue;
        It last = end - 1, low = first, high = last - 1, pivot = first + span / 2;
        if (SpanLess(*last, *first))
            std::iter_swap(last, first);
        if (span == 2)
            continue;
        if (SpanLess(*pivot, *first))
            std::iter_swap(pivot, first);
        if (SpanLess(*last, *pivot))
            std::iter_swap(last, pivot);
        if (span == 3)
            continue;
        std::iter_swap(pivot, last);
        while (low < high)
        {
            while (low < high && SpanLess(*low, *last))
                ++low;
            while (high > low && SpanLess(*last, *high))
                --high;
            if (!(low < high))
                break;
            std::iter_swap(low++, high--);
        }
        if (SpanLess(*low, *last))
            ++low;
        std::iter_swap(last, low);
        work.push_back({low + 1, end});
        work.push_back({first, low});
    }
    std::vector<int> ids;
    std::transform(spans.begin(), spans.end(), std::back_inserter(ids), [](const Span& s) { return s.nId; });
    return ids;
}

std::vector<int> ListOrder(const std::vector<Span>& spans)
{
    AntennaDataList list;
    for (const Span& s : spans)
    {
        auto* pAntenna = new AntennaData;
        pAntenna->m_fMinFreq = s.fMin;
        pAntenna->m_fMaxFreq = s.fMax;
        pAntenna->m_strName = QString::fromStdString(s.strName);
        pAntenna->m_nHandle = s.nId;
        list.AddAntenna(pAntenna);
    }
    list.SortAntennasByFrequencyRanges();
    std::vector<int> ids;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        ids.push_back(list.GetAntennaByIndex(i)->m_nHandle);
    return ids;
}
} // namespace

TEST(AntennaSort, HandWorkedCases)
{
    // Identical spans: the name decides.
    EXPECT_EQ(ListOrder({{20, 30, "C", 0}, {20, 30, "A", 1}, {20, 30, "B", 2}}), (std::vector<int>{1, 2, 0}));
    // An outer span never compares less than a span nested inside it, and the
    // inner one compares less only by name: here neither order is changed.
    EXPECT_EQ(ListOrder({{10, 20, "B", 1}, {0, 100, "A", 0}}), (std::vector<int>{1, 0}));
    // Partitioning moves the outer span behind three nested ones although no
    // comparison says so; a stable sort would keep this input unchanged.
    EXPECT_EQ(ListOrder({{0, 100, "A", 0}, {10, 20, "B", 1}, {30, 40, "C", 2}, {50, 60, "D", 3}}),
              (std::vector<int>{1, 2, 3, 0}));
}

TEST(AntennaSort, MatchesProcedureOnNestedAndIdenticalSpans)
{
    std::mt19937 random(4711);
    // Few distinct bounds and names make nested, touching and identical spans common.
    std::uniform_int_distribution<int> bound(0, 4), name(0, 2), size(0, 14);
    for (int nRound = 0; nRound < 2000; ++nRound)
    {
        std::vector<Span> spans;
        for (int i = 0, nSize = size(random); i < nSize; ++i)
        {
            const int a = bound(random), b = bound(random);
            spans.push_back({10.0 * std::min(a, b), 10.0 * std::max(a, b), std::string(1, char('A' + name(random))), i});
        }
        ASSERT_EQ(ListOrder(spans), ReferenceOrder(spans)) << "round " << nRound;
    }
}
