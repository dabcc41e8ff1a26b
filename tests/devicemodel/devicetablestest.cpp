#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace
{
using Characteristics = KVTCharacteristics;

std::vector<const Characteristics::AntennaDescription*> AntennaRows()
{
    std::vector<const Characteristics::AntennaDescription*> rows;
    for (const auto* pRow = Characteristics::s_aAntennaLibrary; !pRow->m_strName.isEmpty(); ++pRow)
        rows.push_back(pRow);
    return rows;
}

// Counts the entries before the end marker; capacity when there is none.
template <typename E>
int ListLength(const E (&aList)[Characteristics::SampleModeDescription::LIST_CAPACITY], E eEnd)
{
    int n = 0;
    while (n < Characteristics::SampleModeDescription::LIST_CAPACITY && aList[n] != eEnd)
        ++n;
    return n;
}

std::set<EKVTConverter> ReadConverters(const EKVTConverter* pList)
{
    std::set<EKVTConverter> converters;
    for (; *pList != CONV_NONE; ++pList)
        converters.insert(*pList);
    return converters;
}
} // namespace

TEST(DeviceTables, AntennaLibrarySubBandsAreDisjointAndEnded)
{
    const auto rows = AntennaRows();
    ASSERT_EQ(rows.size(), 48u);
    EXPECT_EQ(Characteristics::s_aAntennaLibrary[48].m_fMaxFreq, 0.0);
    int nSplitModels = 0;
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const bool bSrModel = rows[i]->m_strName.contains("SR");
        EXPECT_EQ((rows[i]->m_eMethodsDetailed & METHOD_DETAILED_8) != 0, bSrModel) << i;
        for (size_t j = i + 1; j < rows.size(); ++j)
        {
            // A later sub-band of a model starts 1 Hz above the earlier one's end.
            if (rows[i]->m_strName == rows[j]->m_strName)
            {
                EXPECT_EQ(rows[j]->m_fMinFreq, rows[i]->m_fMaxFreq + 1.0) << i;
                ++nSplitModels;
            }
        }
    }
    EXPECT_EQ(nSplitModels, 5);
}

TEST(DeviceTables, SampleModeRowsAreTerminatedAndAscending)
{
    const int nCapacity = Characteristics::SampleModeDescription::LIST_CAPACITY;
    std::set<int> anyModeRows;
    std::set<int> modeSixSampleModes;
    int nRow = 0;
    for (const auto* pRow = Characteristics::s_aSampleModeDescription; pRow->m_eSampleMode != SAMPLE_MODE_NONE;
         ++pRow, ++nRow)
    {
        EXPECT_LT(ListLength(pRow->m_aeDeviceTypes, KVT_TYPE_END), nCapacity) << nRow;
        const int nModes = ListLength(pRow->m_aeOperationModes, OPMODE_LIST_END);
        EXPECT_LT(nModes, nCapacity) << nRow;
        for (int i = 0; i < nModes; ++i)
        {
            if (pRow->m_aeOperationModes[i] == OPMODE_ANY)
                anyModeRows.insert(nRow);
            if (pRow->m_aeOperationModes[i] == 6)
                modeSixSampleModes.insert(pRow->m_eSampleMode);
        }
        EXPECT_NE(pRow->m_eConverter1, CONV_NONE) << nRow;
        EXPECT_LT(pRow->m_fMinFreq, pRow->m_fMaxFreq) << nRow;

        const double* pBandwidth = pRow->m_pResolutionBandwidths;
        ASSERT_GT(*pBandwidth, 0.0) << nRow;
        for (; pBandwidth[1] > 0.0; ++pBandwidth)
            EXPECT_LT(pBandwidth[0], pBandwidth[1]) << nRow;
        EXPECT_EQ(pBandwidth[1], -1.0) << nRow;
    }
    EXPECT_EQ(nRow, 29);
    EXPECT_EQ(anyModeRows, (std::set<int>{3, 13, 18}));
    EXPECT_EQ(modeSixSampleModes, std::set<int>{18});
    EXPECT_EQ(Characteristics::s_aRESBWS_STD_200K_200K[1], -1.0);
}

TEST(DeviceTables, ConverterListsAreTerminatedAndDisjoint)
{
    EXPECT_EQ(ReadConverters(Characteristics::s_aHF_CONVERTERS),
              (std::set<EKVTConverter>{CONV_RP29, CONV_RP39, CONV_RP38, CONV_RP56}));
    EXPECT_EQ(ReadConverters(Characteristics::s_aVUHF_CONVERTERS),
              (std::set<EKVTConverter>{CONV_VQ28, CONV_VQ36, CONV_VQ26, CONV_VQ57, CONV_VQ62}));
}
