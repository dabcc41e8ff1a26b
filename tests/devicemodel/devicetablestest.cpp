#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Characteristics = KVTCharacteristics;

template <typename E> bool Ended(const E (&aList)[Characteristics::SampleModeDescription::LIST_CAPACITY], E eEnd)
{
    return std::find(std::begin(aList), std::end(aList), eEnd) != std::end(aList);
}
} // namespace

TEST(DeviceTables, AntennaLibrarySubBandsAreDisjointAndEnded)
{
    const auto* aRows = Characteristics::s_aAntennaLibrary;
    int nRows = 0;
    int nSplitModels = 0;
    for (; !aRows[nRows].m_strName.isEmpty(); ++nRows)
    {
        // A later sub-band of a model starts 1 Hz above the earlier one's end.
        for (int j = nRows + 1; !aRows[j].m_strName.isEmpty(); ++j)
        {
            if (aRows[nRows].m_strName == aRows[j].m_strName)
            {
                EXPECT_EQ(aRows[j].m_fMinFreq, aRows[nRows].m_fMaxFreq + 1.0) << nRows;
                ++nSplitModels;
            }
        }
    }
    EXPECT_EQ(nRows, 48);
    EXPECT_EQ(aRows[48].m_fMaxFreq, 0.0);
    EXPECT_EQ(nSplitModels, 5);
}

TEST(DeviceTables, SampleModeRowsAreEndedAndAscending)
{
    int nRow = 0;
    for (const auto* pRow = Characteristics::s_aSampleModeDescription; pRow->m_eSampleMode != SAMPLE_MODE_NONE;
         ++pRow, ++nRow)
    {
        EXPECT_TRUE(Ended(pRow->m_aeDeviceTypes, KVT_TYPE_END)) << nRow;
        EXPECT_TRUE(Ended(pRow->m_aeOperationModes, OPMODE_LIST_END)) << nRow;
        EXPECT_NE(pRow->m_eConverter1, CONV_NONE) << nRow;
        EXPECT_LT(pRow->m_fMinFreq, pRow->m_fMaxFreq) << nRow;
        const double* pBandwidth = pRow->m_pResolutionBandwidths;
        ASSERT_GT(*pBandwidth, 0.0) << nRow;
        for (; pBandwidth[1] > 0.0; ++pBandwidth)
            EXPECT_LT(pBandwidth[0], pBandwidth[1]) << nRow;
        EXPECT_EQ(pBandwidth[1], -1.0) << nRow;
    }
    EXPECT_EQ(nRow, 29);
}
