#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/valueselection.h"

#include <set>

namespace {

constexpr double ANY = KVTCharacteristics::fBANDWIDTH_ANY;

EOperationMode Mode(int mode)
{
    return static_cast<EOperationMode>(mode);
}

/// One VUHF antenna on a VQ28 converter covering 20 MHz to 3.6 GHz.
class SampleModeTest : public CharacteristicsFixture
{
protected:
    void BindDevice(const char* type, const char* options)
    {
        DeviceValue<values::ValueSelection>(StdDeviceDefinition::g_vdDevType)->SetCurrentText(type);
        SetOptions(options);
        AddAntenna("HR469", "VQ28", 2e7, 3.6e9);
        Bind();
    }
};

struct BestModeCase
{
    const char* pszType;
    const char* pszOptions;
    int nMode;
    double fRealtimeBw;
    int nExpected;
};

TEST_F(SampleModeTest, BestSampleModeFollowsTypeOptionsModeAndRealtimeBandwidth)
{
    const BestModeCase cases[] = {
        {"KVTQ1", "KVT-HFR", 3, ANY, 8},       // first row of priority 1 that matches
        {"KVTQ1", "KVT-HFR", 3, 0.5, 8},       // below 1 Hz means no restriction
        {"KVTQ1", "KVT-HFR", 3, 1e7, 14},
        {"KVTN1", "KVT-HFR", 3, 1e7, -1},      // wide band needs the N1 bandwidth option
        {"KVTN1", "KVTN-HBW", 3, 1e7, 14},
        {"KVTQ1", "KVT-HFR", 6, ANY, 12},      // any-mode row comes before the mode-6 row
        {"KVTQ1", "KVT-HFR", 6, 2e5, 18},
        {"KVTQ1", "", 2, 1e5, -1},             // narrow rows need the HF receiver option
    };
    for (const BestModeCase& c : cases) {
        BindDevice(c.pszType, c.pszOptions);
        EXPECT_EQ(m_characteristics.GetBestSampleMode(Mode(c.nMode), 1e8, 2e8, c.fRealtimeBw), c.nExpected)
            << c.pszType << " " << c.pszOptions << " mode " << c.nMode << " rtbw " << c.fRealtimeBw;
        m_antennas.Clear();
    }
}

TEST_F(SampleModeTest, RealtimeAndResolutionBandwidthsOfTheBestRow)
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
}

TEST_F(SampleModeTest, ResolutionBandwidthIsRoundedUpToAnOfferedOne)
{
    BindDevice("KVTQ1", "KVT-HFR");
    // Mode 4 with 1 MHz realtime bandwidth offers 200 Hz .. 20 kHz.
    const std::pair<double, double> requests[] = {{300, 500}, {500, 500}, {1e6, 20000}, {0, 200}};
    for (const auto& request : requests) {
        EXPECT_EQ(m_characteristics.ToNextValidResolutionBandwidth(Mode(4), 1e8, 2e8, 1e6, request.first),
                  request.second)
            << request.first;
    }
    EXPECT_EQ(m_characteristics.ToNextValidResolutionBandwidth(Mode(4), 1e6, 2e6, 1e6, 300), 0.0);
}

TEST_F(SampleModeTest, HopSelectionIsFilledOnlyWhereAnAntennaServes)
{
    BindDevice("KVTQ1", "KVT-HFR");
    values::ValueSelection selection;
    selection.AddItem("kept", 1.0, 7);
    m_characteristics.UpdateHopBandwidthSelection(&selection, Mode(3), 1e6, 2e6, nullptr);
    ASSERT_EQ(selection.GetItemCount(), 1);

    m_characteristics.UpdateHopBandwidthSelection(&selection, Mode(3), 1e8, 2e8, nullptr);
    ASSERT_EQ(selection.GetItemCount(), 6);
    EXPECT_EQ(selection.GetItem(0)->GetName(), "100 kHz");
    EXPECT_EQ(selection.GetItem(0)->GetValue(), 1e5);
    EXPECT_EQ(selection.GetItem(5)->GetName(), "10 MHz");
    EXPECT_EQ(selection.GetItem(5)->GetKey(), 5);
}

TEST(FormatBandwidthTest, ScalesToUnitAndTrimsZeros)
{
    struct
    {
        double fBandwidth;
        bool bKeepZeros;
        const char* pszExpected;
    } const cases[] = {
        {12500, false, "12.5 kHz"}, {200000, false, "200 kHz"}, {25, false, "25 Hz"},
        {8333, false, "8.33 kHz"},  {2e6, false, "2 MHz"},      {100, false, "100 Hz"},
        {100, true, "100.00 Hz"},   {1e9, false, "1000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KVTCharacteristics::FormatBandwidth(c.fBandwidth, 2, c.bKeepZeros), c.pszExpected);
}

} // namespace
