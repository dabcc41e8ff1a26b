#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/valueselection.h"

#include <set>

namespace {

class SampleModeEngineTest : public CharacteristicsFixture
{
protected:
    static constexpr double NO_BW_LIMIT = KVTCharacteristics::fBANDWIDTH_ANY;
    static EOperationMode Mode(int mode) { return static_cast<EOperationMode>(mode); }
    void SetType(const char* type)
    {
        ASSERT_TRUE(DeviceValue<values::ValueSelection>(StdDeviceDefinition::g_vdDevType)->SetCurrentText(type));
    }
    /// HF antenna on RP29 and VUHF antenna on VQ28, joined at 30 MHz.
    void AddHfAndVuhf()
    {
        AddAntenna("HR482", "RP29", 3e5, 3e7);
        AddAntenna("HR469", "VQ28", 30000001.0, 3.6e9);
    }
};

TEST_F(SampleModeEngineTest, RequestPicksTheAntennaWhoseWholeRangeMustFitARow)
{
    SetOptions("KVT-HFR");
    AddAntenna("HR467", "VQ28", 2e7, 4e9);  // reaches beyond every VQ28 row
    AddAntenna("HR482", "RP29", 3e5, 3e7);
    Bind();
    EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(3), 1e8, 2e8, NO_BW_LIMIT), SAMPLE_MODE_NONE);
    EXPECT_TRUE(m_characteristics.GetRealtimeBandwidths(Mode(3), 1e8, 2e8).empty());
    EXPECT_FALSE(m_characteristics.IsAntennaSupportedByDevice(0, Mode(3)));
    // The index is a list position, not a handle (both antennas have -1).
    EXPECT_TRUE(m_characteristics.IsAntennaSupportedByDevice(1, Mode(3)));
    EXPECT_FALSE(m_characteristics.IsAntennaSupportedByDevice(2, Mode(3)));
    // A request that no single antenna covers finds nothing.
    EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(3), 1e6, 1e8, NO_BW_LIMIT), SAMPLE_MODE_NONE);
    EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(3), 1e6, 2e6, NO_BW_LIMIT), 0);
    // Mode 3 offers every RP29 realtime bandwidth of rows 0..3 but not the
    // Q1 wide-band rows, whose option is missing.
    EXPECT_EQ(m_characteristics.GetRealtimeBandwidths(Mode(3), 1e6, 2e6), (std::set<double>{1e5, 2e5, 5e5, 1e6}));
}

TEST_F(SampleModeEngineTest, FrequencyLimitsPerOperationMode)
{
    SetOptions("KVT-HFR");
    AddHfAndVuhf();
    AddAntenna("HR443", "VQ28", 3.6e9, 5e9)->m_bEnabled = false;
    Bind();
    for (int mode : {0, 1, 2, 3, 4, 6, 9}) {
        EXPECT_EQ(m_characteristics.GetMinFreq(Mode(mode)), 3e5) << mode;
        EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(mode)), 3.6e9) << mode;
    }
    // Modes no antenna was considered for, and indexes outside the table.
    for (int mode : {5, 15, -1, 16, 1000}) {
        EXPECT_EQ(m_characteristics.GetMinFreq(Mode(mode)), 2.5e7) << mode;
        EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(mode)), 2.5e7) << mode;
    }

    // P1 serves only the VUHF antenna and clamps to 100..450 MHz; an unserved
    // mode reports the lower clamp for both limits.
    SetType("KVTP1");
    m_characteristics.UpdateCachedDataFromValueTree();
    EXPECT_EQ(m_characteristics.GetMinFreq(Mode(1)), 1e8);
    EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(1)), 4.5e8);
    EXPECT_EQ(m_characteristics.GetMinFreq(Mode(5)), 1e8);
    EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(5)), 1e8);
}

TEST_F(SampleModeEngineTest, ConvertersSwitchFrequenciesAndPreamplifiers)
{
    AddHfAndVuhf();
    AddAntenna("HR463", "VQ48", 9000, 1e6)->m_bEnabled = false;
    AddAntenna("X", "rp29", 9000, 1e6);
    Bind();
    EXPECT_EQ(m_characteristics.GetAvailableConverters(), (std::set<EKVTConverter>{CONV_RP29, CONV_VQ28, CONV_VQ48}));
    EXPECT_FALSE(m_characteristics.IsHfConverter(CONV_VQ48));
    EXPECT_FALSE(m_characteristics.IsVuhfConverter(CONV_VQ48));
    EXPECT_EQ(m_characteristics.GetConverterForFrequencyRange(1e6, 2e6), CONV_RP29);
    EXPECT_EQ(m_characteristics.GetConverterForFrequencyRange(3e7, 4e7), CONV_NONE);

    double fVuhfStart = 0.0;
    double fHfStop = 0.0;
    EXPECT_TRUE(m_characteristics.GetConverterSwitchFreq(fVuhfStart, fHfStop));
    // The last enabled antenna up to 30 MHz sets the HF stop: the unknown one.
    EXPECT_EQ(fVuhfStart, 30000001.0);
    EXPECT_EQ(fHfStop, 1e6);
    EXPECT_TRUE(m_characteristics.IsHfPreampAvailable());
    EXPECT_TRUE(m_characteristics.IsVuhfPreampAvailable());

    // On W1 only the HF row of RP39 offers a preamplifier.
    m_antennas.Clear();
    AddAntenna("HR478", "RP39", 3e5, 3e7);
    AddAntenna("HR478", "VQ36", 30000001.0, 1.3e9);
    SetType("KVTW1");
    Bind();
    EXPECT_TRUE(m_characteristics.IsHfPreampAvailable());
    EXPECT_FALSE(m_characteristics.IsVuhfPreampAvailable());
}

TEST_F(SampleModeEngineTest, RangeTypeFromTheRowOrFromTheNominalMinimum)
{
    SetOptions("KVT-LF");
    AddAntenna("HR463", "RP56", 9000, 1e6);
    AddAntenna("HR482", "XY", 1e6 + 1, 3e7);
    AddAntenna("HR469", "XY", 30000001.0, 3e9);
    Bind();
    EXPECT_EQ(m_characteristics.GetRangeTypeForFrequency(5e5), FREQ_RANGE_VLF);
    EXPECT_EQ(m_characteristics.GetRangeTypeForFrequency(5e6), FREQ_RANGE_HF);
    EXPECT_EQ(m_characteristics.GetRangeTypeForFrequency(1e8), FREQ_RANGE_VUHF);
    EXPECT_EQ(m_characteristics.GetRangeTypeForFrequency(4e9), FREQ_RANGE_UNKNOWN);
}

TEST_F(SampleModeEngineTest, RepairChainsNominalRangesFromTheBottomUp)
{
    SetOptions("KVT-HFR");
    AddAntenna("HR469", "VQ28", 2e7, 1.3e9);
    AddAntenna("HR443", "VQ28", 1.5e9, 3e9);    // leaves a gap above HR469
    AddAntenna("HR486", "RP29", 3e5, 3e7);      // adds nothing above HR428_L
    AddAntenna("HR428_R", "RP29", 3e5, 3e7);    // the right side stays in use
    AddAntenna("HR428_L", "RP29", 3e5, 3e7);
    AddAntenna("HR463", "RP56", 9e3, 1e6);      // needs the LF option
    Bind();

    QString message;
    ASSERT_TRUE(m_characteristics.MakeAntennaSetupValid(message));
    EXPECT_EQ(message, "Auto configuration of antennas successfully covered range from 0.3 MHz to 1300 MHz.");
    struct Expected
    {
        const char* pszName;
        bool bEnabled;
        double fMinRange;
        double fMaxRange;
    };
    // Sorted by nominal range; disabled antennas end with an empty range.
    const Expected expected[] = {{"HR463", false, 1e6, 1e6},        {"HR428_L", true, 3e5, 3e7},
                                 {"HR428_R", true, 3e5, 3e7},       {"HR486", false, 3e7, 3e7},
                                 {"HR469", true, 30000001.0, 1.3e9}, {"HR443", false, 3e9, 3e9}};
    for (int i = 0; i < 6; ++i) {
        const AntennaData* pAntenna = m_characteristics.GetAntennaByIndex(i);
        ASSERT_NE(pAntenna, nullptr) << i;
        EXPECT_EQ(pAntenna->m_strName, expected[i].pszName) << i;
        EXPECT_EQ(pAntenna->m_bEnabled, expected[i].bEnabled) << expected[i].pszName;
        EXPECT_EQ(pAntenna->m_fMinRange, expected[i].fMinRange) << expected[i].pszName;
        EXPECT_EQ(pAntenna->m_fMaxRange, expected[i].fMaxRange) << expected[i].pszName;
    }
    EXPECT_TRUE(m_characteristics.CheckAntennaSetupValidity(nullptr, message));
    EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(1)), 1.3e9);
}

}
