#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr double MHz = 1e6;

// A record whose nominal span equals its used range.
AntennaData* MakeAntenna(const QString& strName, double fMin, double fMax, EKVTPolarisation ePol = POL_LEFT,
                         bool bEnabled = true, qint32 nHandle = -1)
{
    auto* pAntenna = new AntennaData;
    pAntenna->m_strName = strName;
    pAntenna->m_fMinFreq = pAntenna->m_fMinRange = fMin;
    pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = fMax;
    pAntenna->m_ePolarizationMode = ePol;
    pAntenna->m_bEnabled = bEnabled;
    pAntenna->m_nHandle = nHandle;
    return pAntenna;
}

// Name, enabled flag, used range and nominal span in MHz, compass flag.
QString Summary(const AntennaData& antenna)
{
    QString strSummary = antenna.m_strName + (antenna.m_bEnabled ? " on" : " off");
    for (double fHz : {antenna.m_fMinRange, antenna.m_fMaxRange, antenna.m_fMinFreq, antenna.m_fMaxFreq})
        strSummary += ' ' + QString::number(fHz / MHz, 'g', 12);
    return strSummary + (antenna.m_bCompassEnabled ? " compass" : "");
}

QStringList Summaries(const AntennaDataList& list, bool bNamesOnly = false)
{
    QStringList summaries;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        summaries << (bNamesOnly ? list.GetAntennaByIndex(i)->m_strName : Summary(*list.GetAntennaByIndex(i)));
    return summaries;
}

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
            if (low < high)
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
        list.AddAntenna(MakeAntenna(QString::fromStdString(s.strName), s.fMin, s.fMax, POL_LEFT, true, s.nId));
    list.SortAntennasByFrequencyRanges();
    std::vector<int> ids;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
        ids.push_back(list.GetAntennaByIndex(i)->m_nHandle);
    return ids;
}
} // namespace

TEST(AntennaDataList, FrequencyLookupPrefersPolarisationThenLastCovering)
{
    AntennaDataList list;
    list.AddAntenna(MakeAntenna("A", 100 * MHz, 200 * MHz, POL_VERTICAL));
    list.AddAntenna(MakeAntenna("B", 150 * MHz, 300 * MHz, POL_HORIZONTAL));
    list.AddAntenna(MakeAntenna("off", 100 * MHz, 300 * MHz, POL_LEFT, false));

    EXPECT_EQ(list.GetAntennaForFrequency(160 * MHz, false, POL_HORIZONTAL)->m_strName, "B");
    EXPECT_EQ(list.GetAntennaForFrequency(160 * MHz, false, POL_VERTICAL)->m_strName, "A");
    EXPECT_EQ(list.GetAntennaForFrequency(160 * MHz, false, POL_LEFT)->m_strName, "B");
    EXPECT_EQ(list.GetAntennaForFrequency(301 * MHz, false, POL_LEFT), nullptr);
    EXPECT_EQ(list.GetAntennaForFrequency(150 * MHz, false, POL_VERTICAL)->m_strName, "A");
    EXPECT_EQ(list.GetAntennaForFrequency(150 * MHz, true, POL_VERTICAL)->m_strName, "B");

    EXPECT_EQ(list.GetAntennaForFreqRange(160 * MHz, 250 * MHz)->m_strName, "B");
    EXPECT_EQ(list.GetAntennaForFreqRange(120 * MHz, 250 * MHz), nullptr);

    EXPECT_FALSE(list.ContainsHFAntenna());
    list.AddAntenna(MakeAntenna("HF", 0.3 * MHz, 30 * MHz));
    EXPECT_TRUE(list.ContainsHFAntenna());
}

TEST(AntennaDataList, MergesRecordsOfOnePhysicalAntenna)
{
    AntennaDataList list;
    AntennaData* pLow = MakeAntenna("low", 20 * MHz, 80 * MHz, POL_LEFT, false, 7);
    list.AddAntenna(pLow);
    AntennaData* pHigh = MakeAntenna("high", 80 * MHz, 200 * MHz, POL_LEFT, true, 7);
    pHigh->m_fMinFreq = 10 * MHz;
    pHigh->m_fMaxFreq = 220 * MHz;
    list.AddAntenna(pHigh);
    list.AddAntenna(MakeAntenna("single", 5 * MHz, 9 * MHz, POL_LEFT, false, 3));
    EXPECT_EQ(list.GetAntennaHandles(false), (std::set<long>{3, 7}));
    EXPECT_EQ(list.GetAntennaHandles(true), std::set<long>{7});
    EXPECT_EQ(list.GetAntennaByHandle(7), pLow);

    // The used range comes from the enabled records only.
    AntennaData merged;
    ASSERT_TRUE(list.GetCommonAntennaByHandle(7, merged));
    EXPECT_EQ(Summary(merged), "low on 80 200 10 220");
    ASSERT_TRUE(list.GetCommonAntennaByHandle(3, merged));
    EXPECT_EQ(Summary(merged), "single off 5 5 5 9");
    merged.m_bEnabled = true;
    EXPECT_FALSE(list.GetCommonAntennaByHandle(99, merged));
    EXPECT_EQ(Summary(merged), "single off 5 5 5 9");
}

TEST(AntennaDataList, RangeRepairs)
{
    AntennaDataList list;
    list.AddAntenna(MakeAntenna("zero", 0, 0));
    list.AddAntenna(MakeAntenna("hf", 0, 30 * MHz));
    list.AddAntenna(MakeAntenna("off", 30 * MHz, 50 * MHz, POL_LEFT, false));
    list.AddAntenna(MakeAntenna("vuhf", 30 * MHz, 1000 * MHz));
    list.AddAntenna(MakeAntenna("overlap", 900 * MHz, 3000 * MHz));
    list.MakeAntennaRangesDisjoint();
    EXPECT_EQ(Summaries(list), (QStringList{"zero on 0 0 0 0", "hf on 0 30 0 30", "off off 30 50 30 50",
                                            "vuhf on 30.000001 1000 30 1000", "overlap on 900 3000 900 3000"}));

    AntennaDataList startup;
    startup.SetStartupDefaults(true, false);
    startup.AddAntenna(MakeAntenna("first", 20 * MHz, 100 * MHz));
    startup.AddAntenna(MakeAntenna("duplicate", 20 * MHz, 100 * MHz));
    startup.AddAntenna(MakeAntenna("HR428_L", 90 * MHz, 200 * MHz));
    startup.AddAntenna(MakeAntenna("off", 100 * MHz, 300 * MHz, POL_LEFT, false));
    startup.AddAntenna(MakeAntenna("vertical", 150 * MHz, 400 * MHz, POL_VERTICAL));
    startup.SetStartupDefaults(false, true);
    // The disabled duplicate stays the predecessor and is cut; the disabled
    // "off" is passed over, and other polarisations may overlap.
    EXPECT_EQ(Summaries(startup),
              (QStringList{"first on 20 100 20 100 compass", "duplicate off 20 90 20 100 compass",
                           "HR428_L on 90.000001 200 90 200", "off off 100 300 100 300",
                           "vertical on 150 400 150 400 compass"}));
}

TEST(AntennaDataList, CopyFromIsDeepAndSortedMembershipByName)
{
    AntennaDataList source("/dev/base", "");
    source.allowSave(false);
    AntennaData* pVuhf = MakeAntenna("vuhf", 20 * MHz, 3000 * MHz);
    pVuhf->m_lstDfMethodNames = QStringList{"COR9", "VMR", "WAT"};
    pVuhf->m_lstDfMethods = {DF_METHOD_COR, DF_METHOD_VEC, DF_METHOD_WAT};
    pVuhf->m_nReserved1 = 0x123456789;
    source.AddAntenna(pVuhf);
    source.AddAntenna(MakeAntenna("hf", 0.3 * MHz, 30 * MHz));

    AntennaDataList copy;
    copy.AddAntenna(MakeAntenna("old", 1, 2));
    copy.CopyFrom(source);
    copy.CopyFrom(copy);
    EXPECT_EQ(Summaries(copy, true), (QStringList{"hf", "vuhf"}));
    EXPECT_EQ(copy.GetBasePath(), "/dev/base");
    EXPECT_FALSE(copy.GetAllowSave());
    AntennaData* pCopied = copy.GetAntennaByIndex(1);
    EXPECT_EQ(pCopied->m_lstDfMethods, pVuhf->m_lstDfMethods);
    EXPECT_EQ(pCopied->m_nReserved1, 0x123456789);
    pCopied->m_lstDfMethodNames.removeLast();
    EXPECT_EQ(pVuhf->m_lstDfMethodNames.size(), 3);

    // A record that only bears the name of a member removes that member.
    EXPECT_TRUE(copy.AddAntenna(nullptr));
    EXPECT_FALSE(copy.DeleteAntenna(nullptr));
    const AntennaData stranger = *copy.GetAntennaByIndex(0);
    EXPECT_TRUE(copy.DeleteAntenna(&stranger));
    EXPECT_FALSE(copy.DeleteAntenna(&stranger));
    EXPECT_EQ(Summaries(copy, true), QStringList{"vuhf"});
    EXPECT_TRUE(copy.DeleteAntenna(pCopied));
    EXPECT_EQ(copy.GetAntennaByIndex(0), nullptr);
}

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
