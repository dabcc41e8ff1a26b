#include "tests/characteristics/characteristicsfixture.h"

#include "valueframework/valueclasses/valueselection.h"

#include <limits>
#include <set>

namespace {

constexpr double ANY = KVTCharacteristics::fBANDWIDTH_ANY;

class SampleModeTest : public CharacteristicsFixture
{
protected:
    /// One VUHF antenna on a VQ28 converter covering 20 MHz to 3.6 GHz.
    void BindDevice(const char* type, const char* options)
    {
        SetType(type);
        SetOptions(options);
        m_antennas.Clear();
        AddAntenna("HR469", "VQ28", 2e7, 3.6e9);
        Bind();
    }
};

TEST_F(SampleModeTest, BestSampleModeFollowsTypeOptionsModeAndRealtimeBandwidth)
{
    struct { const char* pszType; const char* pszOptions; int nMode; double fRealtimeBw; int nExpected; } const cases[] = {
        {"KVTQ1", "KVT-HFR", 3, ANY, 8},       // first row of priority 1 that matches
        {"KVTQ1", "KVT-HFR", 3, 0.5, 8},       // below 1 Hz means no restriction
        {"KVTQ1", "KVT-HFR", 3, 1e7, 14},
        {"KVTN1", "KVT-HFR", 3, 1e7, -1},      // wide band needs the N1 bandwidth option
        {"KVTN1", "KVTN-HBW", 3, 1e7, 14},
        {"KVTQ1", "KVT-HFR", 6, ANY, 12},      // any-mode row comes before the mode-6 row
        {"KVTQ1", "KVT-HFR", 6, 2e5, 18},
        {"KVTQ1", "", 2, 1e5, -1},             // narrow rows need the HF receiver option
    };
    for (const auto& c : cases) {
        BindDevice(c.pszType, c.pszOptions);
        EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(c.nMode), 1e8, 2e8, c.fRealtimeBw), c.nExpected)
            << c.pszType << " " << c.pszOptions << " mode " << c.nMode << " rtbw " << c.fRealtimeBw;
    }
}

TEST_F(SampleModeTest, BandwidthsOfTheBestRowAndRounding)
{
    BindDevice("KVTQ1", "KVT-HFR");
    EXPECT_EQ(m_characteristics.GetRealtimeBandwidths(Mode(3), 1e8, 2e8),
              (std::set<double>{1e5, 2e5, 5e5, 2e6, 5e6, 1e7}));
    EXPECT_EQ(m_characteristics.GetDefaultRealtimeBandwidth(Mode(3), 1e8, 2e8), 1e5);
    EXPECT_EQ(m_characteristics.GetResolutionBandwidths(Mode(6), 1e8, 2e8, 2e5), std::set<double>{2e5});
    // 20 Hz .. 2 kHz: nothing reaches 20 kHz, so the largest is the default.
    EXPECT_EQ(m_characteristics.GetDefaultResolutionBandwidth(Mode(3), 1e8, 2e8, 1e5), 2000.0);
    EXPECT_TRUE(m_characteristics.GetRealtimeBandwidths(Mode(3), 1e6, 2e6).empty());
    EXPECT_EQ(m_characteristics.GetDefaultRealtimeBandwidth(Mode(3), 1e6, 2e6), 0.0);

    // Mode 4 with 1 MHz realtime bandwidth offers 200 Hz .. 20 kHz.
    for (const auto& request : {std::pair{300.0, 500.0}, {500.0, 500.0}, {1e6, 20000.0}, {0.0, 200.0}}) {
        EXPECT_EQ(m_characteristics.ToNextValidResolutionBandwidth(Mode(4), 1e8, 2e8, 1e6, request.first),
                  request.second) << request.first;
    }
    EXPECT_EQ(m_characteristics.ToNextValidResolutionBandwidth(Mode(4), 1e6, 2e6, 1e6, 300), 0.0);

    // A hop selection is filled only where an antenna serves.
    values::ValueSelection selection;
    selection.AddItem("kept", 1.0, 7);
    m_characteristics.UpdateHopBandwidthSelection(&selection, Mode(3), 1e6, 2e6, nullptr);
    ASSERT_EQ(selection.GetItemCount(), 1);

    m_characteristics.UpdateHopBandwidthSelection(&selection, Mode(3), 1e8, 2e8, nullptr);
    ASSERT_EQ(selection.GetItemCount(), 6);
    EXPECT_EQ(*selection.GetItem(0), values::SelectionItem("100 kHz", 1e5, 0));
    EXPECT_EQ(*selection.GetItem(5), values::SelectionItem("10 MHz", 1e7, 5));
}

TEST_F(SampleModeTest, RequestPicksTheAntennaWhoseWholeRangeMustFitARow)
{
    SetOptions("KVT-HFR");
    AddAntenna("HR467", "VQ28", 2e7, 4e9);  // reaches beyond every VQ28 row
    AddAntenna("HR482", "RP29", 3e5, 3e7);
    Bind();
    EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(3), 1e8, 2e8, ANY), SAMPLE_MODE_NONE);
    EXPECT_TRUE(m_characteristics.GetRealtimeBandwidths(Mode(3), 1e8, 2e8).empty());
    // The index is a list position, not a handle (both antennas have -1).
    EXPECT_FALSE(m_characteristics.IsAntennaSupportedByDevice(0, Mode(3)));
    EXPECT_TRUE(m_characteristics.IsAntennaSupportedByDevice(1, Mode(3)));
    EXPECT_FALSE(m_characteristics.IsAntennaSupportedByDevice(2, Mode(3)));
    // A damaged (NaN) range bound lies inside no row.
    for (double AntennaData::*pBound : {&AntennaData::m_fMinRange, &AntennaData::m_fMaxRange}) {
        AntennaData damaged = *m_characteristics.GetAntennaByIndex(1);
        damaged.*pBound = std::numeric_limits<double>::quiet_NaN();
        EXPECT_FALSE(m_characteristics.IsAntennaSupportedByDevice(&damaged, Mode(3)));
    }
    // A request that no single antenna covers finds nothing.
    EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(3), 1e6, 1e8, ANY), SAMPLE_MODE_NONE);
    EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(3), 1e6, 2e6, ANY), 0);
    // Every RP29 realtime bandwidth of rows 0..3, not the Q1 wide-band rows whose option is missing.
    EXPECT_EQ(m_characteristics.GetRealtimeBandwidths(Mode(3), 1e6, 2e6), (std::set<double>{1e5, 2e5, 5e5, 1e6}));
}

TEST_F(SampleModeTest, FrequencyLimitsConvertersAndPreamplifiers)
{
    SetOptions("KVT-HFR");
    AddAntenna("HR482", "RP29", 3e5, 3e7);
    AddAntenna("HR469", "VQ28", 30000001.0, 3.6e9);
    AddAntenna("HR443", "VQ48", 3.6e9, 5e9)->m_bEnabled = false;
    Bind();
    // Modes 5 and 15 no antenna was considered for, and indexes outside the table, give 25 MHz.
    for (int mode : {0, 1, 2, 3, 4, 6, 9, 5, 15, -1, 16, 1000}) {
        const bool bServed = mode >= 0 && mode <= 9 && mode != 5;
        EXPECT_EQ(m_characteristics.GetMinFreq(Mode(mode)), bServed ? 3e5 : 2.5e7) << mode;
        EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(mode)), bServed ? 3.6e9 : 2.5e7) << mode;
    }
    // P1 serves only the VUHF antenna and clamps to 100..450 MHz; an unserved
    // mode reports the lower clamp for both limits.
    SetType("KVTP1");
    m_characteristics.UpdateCachedDataFromValueTree();
    EXPECT_EQ(m_characteristics.GetMinFreq(Mode(1)), 1e8);
    EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(1)), 4.5e8);
    EXPECT_EQ(m_characteristics.GetMinFreq(Mode(5)), 1e8);
    EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(5)), 1e8);
    EXPECT_FALSE(m_characteristics.IsHfPreampAvailable());

    SetType("KVTQ1");
    AddAntenna("X", "rp29", 9000, 1e6);
    Bind();
    EXPECT_EQ(m_characteristics.GetAvailableConverters(), (std::set<EKVTConverter>{CONV_RP29, CONV_VQ28, CONV_VQ48}));
    EXPECT_FALSE(m_characteristics.IsHfConverter(CONV_VQ48) || m_characteristics.IsVuhfConverter(CONV_VQ48));
    EXPECT_EQ(m_characteristics.GetConverterForFrequencyRange(1e6, 2e6), CONV_RP29);
    EXPECT_EQ(m_characteristics.GetConverterForFrequencyRange(3e7, 4e7), CONV_NONE);
    double fVuhfStart = 0.0;
    double fHfStop = 0.0;
    EXPECT_TRUE(m_characteristics.GetConverterSwitchFreq(fVuhfStart, fHfStop));
    // The last enabled antenna up to 30 MHz sets the HF stop: the unknown one.
    EXPECT_EQ(fVuhfStart, 30000001.0);
    EXPECT_EQ(fHfStop, 1e6);
    EXPECT_TRUE(m_characteristics.IsHfPreampAvailable() && m_characteristics.IsVuhfPreampAvailable());
}

TEST_F(SampleModeTest, RangeTypeFromTheRowOrFromTheNominalMinimum)
{
    SetOptions("KVT-LF");
    AddAntenna("HR463", "RP56", 9000, 1e6);
    AddAntenna("HR482", "XY", 1e6 + 1, 3e7);
    AddAntenna("HR469", "XY", 30000001.0, 3e9);
    Bind();
    for (const auto& [fFreq, eRange] :
         {std::pair{5e5, FREQ_RANGE_VLF}, {5e6, FREQ_RANGE_HF}, {1e8, FREQ_RANGE_VUHF}, {4e9, FREQ_RANGE_UNKNOWN}})
        EXPECT_EQ(m_characteristics.GetRangeTypeForFrequency(fFreq), eRange) << fFreq;
}

TEST(FormatBandwidthTest, ScalesToUnitAndTrimsZeros)
{
    struct { double fBandwidth; bool bKeepZeros; const char* pszExpected; } const cases[] = {
        {12500, false, "12.5 kHz"}, {200000, false, "200 kHz"}, {25, false, "25 Hz"},
        {8333, false, "8.33 kHz"},  {2e6, false, "2 MHz"},      {100, false, "100 Hz"},
        {100, true, "100.00 Hz"},   {1e9, false, "1000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KVTCharacteristics::FormatBandwidth(c.fBandwidth, 2, c.bKeepZeros), c.pszExpected);
}

} // namespace
