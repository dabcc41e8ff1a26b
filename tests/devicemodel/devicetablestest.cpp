#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
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

std::vector<const Characteristics::SampleModeDescription*> SampleModeRows()
{
    std::vector<const Characteristics::SampleModeDescription*> rows;
    for (const auto* pRow = Characteristics::s_aSampleModeDescription; pRow->m_eSampleMode != SAMPLE_MODE_NONE; ++pRow)
        rows.push_back(pRow);
    return rows;
}

// The detailed methods of the first library row for this model and frequency, -1 if none.
int LibraryMethods(const QString& strModel, double fFreq)
{
    for (const auto* pRow : AntennaRows())
    {
        if (pRow->m_strName == strModel && pRow->m_fMinFreq <= fFreq && fFreq <= pRow->m_fMaxFreq)
            return pRow->m_eMethodsDetailed;
    }
    return -1;
}

const std::vector<const double*>& AllResolutionTables()
{
    static const std::vector<const double*> tables = {
        Characteristics::s_aRESBWS_STD_20_2K,    Characteristics::s_aRESBWS_STD_50_2K,
        Characteristics::s_aRESBWS_STD_50_20K,   Characteristics::s_aRESBWS_STD_100_20K,
        Characteristics::s_aRESBWS_STD_200_20K,  Characteristics::s_aRESBWS_STD_500_20K,
        Characteristics::s_aRESBWS_STD_500_100K, Characteristics::s_aRESBWS_STD_500_200K,
        Characteristics::s_aRESBWS_STD_1K_100K,  Characteristics::s_aRESBWS_STD_1K_200K,
        Characteristics::s_aRESBWS_STD_2K_200K,  Characteristics::s_aRESBWS_STD_200K_200K,
        Characteristics::s_aRESBWS_EXT_1K_100K,  Characteristics::s_aRESBWS_EXT_1K_200K,
        Characteristics::s_aRESBWS_EXT_2K_200K,  Characteristics::s_aRESBWS_HF_0125K_25K,
        Characteristics::s_aRESBWS_HF_0250K_12K, Characteristics::s_aRESBWS_VUHF_1K_200K,
        Characteristics::s_aRESBWS_VUHF_5K_50K};
    return tables;
}

std::vector<double> ReadResolutionTable(const double* pTable)
{
    std::vector<double> values;
    for (; *pTable > 0.0; ++pTable)
        values.push_back(*pTable);
    EXPECT_EQ(*pTable, -1.0);
    return values;
}

std::set<EKVTConverter> ReadConverters(const EKVTConverter* pList)
{
    std::set<EKVTConverter> converters;
    for (; *pList != CONV_NONE; ++pList)
        converters.insert(*pList);
    return converters;
}
} // namespace

TEST(DeviceTables, WildcardsAndDefaults)
{
    EXPECT_EQ(Characteristics::fBANDWIDTH_ANY, -1.7976931348623157e308);
    EXPECT_EQ(Characteristics::fFREQUENCY_ANY, -std::numeric_limits<double>::max());
    EXPECT_EQ(Characteristics::MAX_CHANNEL_COUNT_DEFAULT, 60000);
}

TEST(DeviceTables, AntennaLibraryEndsAfterAllModelsWithZeroRow)
{
    ASSERT_EQ(AntennaRows().size(), 48u);
    const auto& endRow = Characteristics::s_aAntennaLibrary[48];
    EXPECT_TRUE(endRow.m_strName.isEmpty());
    EXPECT_EQ(endRow.m_fMinFreq, 0.0);
    EXPECT_EQ(endRow.m_fMaxFreq, 0.0);
    EXPECT_EQ(endRow.m_eMethodsDetailed, 0);
}

TEST(DeviceTables, SubBandsOfOneModelJoinWithoutOverlap)
{
    const auto rows = AntennaRows();
    int nSplitModels = 0;
    for (size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_LE(rows[i]->m_fMinFreq, rows[i]->m_fMaxFreq) << rows[i]->m_strName.toStdString();
        for (size_t j = i + 1; j < rows.size(); ++j)
        {
            if (rows[i]->m_strName != rows[j]->m_strName)
                continue;
            // Sub-bands are listed upwards and the odd lower bound starts 1 Hz
            // above the previous upper bound: a frequency belongs to one row only.
            EXPECT_EQ(rows[j]->m_fMinFreq, rows[i]->m_fMaxFreq + 1.0) << rows[i]->m_strName.toStdString();
            ++nSplitModels;
        }
    }
    EXPECT_EQ(nSplitModels, 5);

    EXPECT_EQ(LibraryMethods("HR478", 3e7), METHOD_DETAILED_1);
    EXPECT_EQ(LibraryMethods("HR478", 30000001), METHOD_DETAILED_2);
    EXPECT_EQ(LibraryMethods("HR478", 30000000.5), -1);
    EXPECT_EQ(LibraryMethods("PW84", 1e9), 0);
}

TEST(DeviceTables, SuperResolutionBitOnlyForSrModels)
{
    for (const auto* pRow : AntennaRows())
    {
        const bool bSrModel = pRow->m_strName.contains("SR");
        EXPECT_EQ((pRow->m_eMethodsDetailed & METHOD_DETAILED_8) != 0, bSrModel) << pRow->m_strName.toStdString();
    }
}

TEST(DeviceTables, ResolutionTablesAscendAndEnd)
{
    for (const double* pTable : AllResolutionTables())
    {
        const auto values = ReadResolutionTable(pTable);
        ASSERT_FALSE(values.empty());
        for (size_t i = 1; i < values.size(); ++i)
            EXPECT_LT(values[i - 1], values[i]);
    }
    EXPECT_EQ(ReadResolutionTable(Characteristics::s_aRESBWS_STD_200K_200K), std::vector<double>{200000});
}

TEST(DeviceTables, SampleModeRowsAreTerminatedAndConsistent)
{
    const auto rows = SampleModeRows();
    ASSERT_EQ(rows.size(), 29u);
    const auto& tables = AllResolutionTables();
    const int nCapacity = Characteristics::SampleModeDescription::LIST_CAPACITY;
    std::set<int> anyModeRows;
    std::set<int> modeSixSampleModes;
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& row = *rows[i];
        int nTypes = 0;
        while (nTypes < nCapacity && row.m_aeDeviceTypes[nTypes] != KVT_TYPE_END)
            ++nTypes;
        EXPECT_GT(nTypes, 0) << "row " << i;
        EXPECT_LT(nTypes, nCapacity) << "row " << i;

        int nModes = 0;
        for (; nModes < nCapacity && row.m_aeOperationModes[nModes] != OPMODE_LIST_END; ++nModes)
        {
            if (row.m_aeOperationModes[nModes] == OPMODE_ANY)
                anyModeRows.insert(static_cast<int>(i));
            if (row.m_aeOperationModes[nModes] == 6)
                modeSixSampleModes.insert(row.m_eSampleMode);
        }
        EXPECT_GT(nModes, 0) << "row " << i;
        EXPECT_LT(nModes, nCapacity) << "row " << i;

        EXPECT_NE(row.m_eConverter1, CONV_NONE) << "row " << i;
        EXPECT_EQ(row.m_eExcludingOption, eOptNone) << "row " << i;
        EXPECT_LT(row.m_fMinFreq, row.m_fMaxFreq) << "row " << i;
        EXPECT_GT(row.m_fRealtimeBandwidth, 0.0) << "row " << i;
        EXPECT_NE(std::find(tables.begin(), tables.end(), row.m_pResolutionBandwidths), tables.end()) << "row " << i;
    }
    EXPECT_EQ(anyModeRows, (std::set<int>{3, 13, 18}));
    EXPECT_EQ(modeSixSampleModes, std::set<int>{18});
}

TEST(DeviceTables, ConverterListsAreTerminatedAndDisjoint)
{
    const auto hf = ReadConverters(Characteristics::s_aHF_CONVERTERS);
    const auto vuhf = ReadConverters(Characteristics::s_aVUHF_CONVERTERS);
    EXPECT_EQ(hf, (std::set<EKVTConverter>{CONV_RP29, CONV_RP39, CONV_RP38, CONV_RP56}));
    EXPECT_EQ(vuhf, (std::set<EKVTConverter>{CONV_VQ28, CONV_VQ36, CONV_VQ26, CONV_VQ57, CONV_VQ62}));
    EXPECT_EQ(hf.count(CONV_VQ48) + vuhf.count(CONV_VQ48), 0u);
}
