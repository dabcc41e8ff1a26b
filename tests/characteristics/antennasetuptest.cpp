#include "tests/characteristics/characteristicsfixture.h"

#include <QRegularExpression>

namespace {

class AntennaSetupTest : public CharacteristicsFixture
{
protected:
    struct Antenna { const char* pszName; const char* pszConverter; double fMin; double fMax; bool bEnabled; };
    void BindAntennas(const std::vector<Antenna>& lstAntennas)
    {
        m_antennas.Clear();
        for (const Antenna& a : lstAntennas)
            AddAntenna(a.pszName, a.pszConverter, a.fMin, a.fMax)->m_bEnabled = a.bEnabled;
        Bind();
    }
    QString m_strMessage;
};

TEST_F(AntennaSetupTest, ValidityCheckExplainsTheFirstProblem)
{
    const char* const VALID = "Antenna setup is valid.";
    const char* const OVERLAP = "Frequency ranges are overlapping.";
    const struct { const char* pszWhat; std::vector<Antenna> lstAntennas; const char* pszMessage; } cases[] = {
        {"empty", {}, "No antennas connected to device."},
        {"all disabled", {{"HR482", "RP29", 3e5, 3e7, false}}, "No antennas enabled."},
        {"joined 1 Hz apart", {{"HR482", "RP29", 3e5, 3e7, true}, {"HR469", "VQ28", 30000001, 3e9, true}}, VALID},
        {"gap", {{"HR482", "RP29", 3e5, 3e7, true}, {"HR469", "VQ28", 3.1e7, 3e9, true}},
         "Frequency range is not entirely covered without gaps."},
        {"sides of one model", {{"HR428_L", "RP29", 3e5, 3e7, true}, {"HR428_R", "RP29", 3e5, 3e7, true}}, VALID},
        {"two models", {{"HR482", "RP29", 3e5, 3e7, true}, {"HR486", "RP29", 3e5, 3e7, true}}, OVERLAP},
        {"extends downwards", {{"HR469", "VQ28", 30000001, 3e9, true}, {"HR482", "RP29", 3e5, 3e7, true}}, VALID},
        {"no LF option", {{"HR463", "RP56", 9e3, 1e6, true}},
         "Antenna HR463 (0.009 MHz - 1 MHz) is not supported by the KVT device with the currently installed "
         "options. It must be disabled."},
    };
    for (const auto& c : cases) {
        BindAntennas(c.lstAntennas);
        EXPECT_EQ(m_characteristics.CheckAntennaSetupValidity(nullptr, m_strMessage), c.pszMessage == VALID)
            << c.pszWhat;
        EXPECT_EQ(m_strMessage, c.pszMessage) << c.pszWhat;
    }
    // A list handed in is checked instead of the own one.
    AntennaDataList empty;
    EXPECT_FALSE(m_characteristics.CheckAntennaSetupValidity(&empty, m_strMessage));
}

TEST_F(AntennaSetupTest, RepairRederivesRangesStoresThemAndRefreshes)
{
    BindAntennas({{"HR482", "RP29", 3e5, 3e7, true}, {"HR469", "VQ28", 2e7, 3e9, true}});
    m_characteristics.GetAntennaByIndex(0)->m_fMaxRange = 1e7;
    m_characteristics.AddObserver(&m_recorder);

    ASSERT_TRUE(m_characteristics.MakeAntennaSetupValid(m_strMessage));
    EXPECT_EQ(m_strMessage, "Auto configuration of antennas successfully covered range from 0.3 MHz to 3000 MHz.");
    const QString modifyTime =
        values::Tree::Instance()->FindValue(DEVICE_PATH + StdDeviceDefinition::g_vdCfgModifyTime.PathName())->GetStringValue();
    EXPECT_TRUE(QRegularExpression("^\\d{12}$").match(modifyTime).hasMatch()) << modifyTime.toStdString();
    // The stored modify time refreshed the cache from the tree: once, with code 3.
    EXPECT_EQ(m_recorder.m_lstCodes, std::vector<TChangeCode>{ChangeCode::ValueChanged});
    EXPECT_EQ(m_characteristics.GetAntennaByIndex(0)->m_fMaxRange, 3e7);
    EXPECT_EQ(m_characteristics.GetAntennaByIndex(1)->m_fMinRange, 30000001.0);

    EXPECT_TRUE(m_characteristics.MakeAntennaSetupValid(m_strMessage));
    EXPECT_EQ(m_strMessage, "Antenna setup is already valid. Nothing changed.");

    BindAntennas({{"HR463", "RP56", 9e3, 1e6, true}});
    EXPECT_FALSE(m_characteristics.MakeAntennaSetupValid(m_strMessage));
    EXPECT_EQ(m_strMessage, "No antenna is supported by device.");
    EXPECT_TRUE(m_characteristics.GetAntennaByIndex(0)->m_bEnabled);
}

TEST_F(AntennaSetupTest, RepairChainsNominalRangesFromTheBottomUp)
{
    SetOptions("KVT-HFR");
    BindAntennas({{"HR469", "VQ28", 2e7, 1.3e9, true},
                  {"HR443", "VQ28", 1.5e9, 3e9, true},    // leaves a gap above HR469
                  {"HR486", "RP29", 3e5, 3e7, true},      // adds nothing above HR428_L
                  {"HR428_R", "RP29", 3e5, 3e7, true},    // the right side stays in use
                  {"HR428_L", "RP29", 3e5, 3e7, true},
                  {"HR463", "RP56", 9e3, 1e6, true}});    // needs the LF option
    ASSERT_TRUE(m_characteristics.MakeAntennaSetupValid(m_strMessage));
    EXPECT_EQ(m_strMessage, "Auto configuration of antennas successfully covered range from 0.3 MHz to 1300 MHz.");
    // Sorted by nominal range; disabled antennas end with an empty range.
    QStringList lstActual;
    for (int i = 0; const AntennaData* p = m_characteristics.GetAntennaByIndex(i); ++i) {
        lstActual << QString("%1 %2 %3-%4").arg(p->m_strName).arg(p->m_bEnabled ? "on" : "off")
                         .arg(p->m_fMinRange, 0, 'f', 0).arg(p->m_fMaxRange, 0, 'f', 0);
    }
    EXPECT_EQ(lstActual.join(", ").toStdString(),
              "HR463 off 1000000-1000000, HR428_L on 300000-30000000, HR428_R on 300000-30000000, "
              "HR486 off 30000000-30000000, HR469 on 30000001-1300000000, HR443 off 3000000000-3000000000");
    EXPECT_TRUE(m_characteristics.CheckAntennaSetupValidity(nullptr, m_strMessage));
    EXPECT_EQ(m_characteristics.GetMaxFreq(Mode(1)), 1.3e9);
}

TEST_F(AntennaSetupTest, NextValidFrequencyAndRangeStayInsideAnAntenna)
{
    BindAntennas({{"HR482", "RP29", 3e5, 3e7, true}, {"HR469", "VQ28", 30000001, 3e9, true}});
    double span = 2e6;
    double freq = 3.01e7;
    // Mode 2 pushes the band freq +- span/2 inside the antenna.
    EXPECT_EQ(m_characteristics.ToNextValidFrequency(Mode(2), freq, span), m_characteristics.GetAntennaByIndex(1));
    EXPECT_EQ(freq, 31000001.0);
    EXPECT_EQ(span, 2e6);
    freq = 1e3;
    EXPECT_NE(m_characteristics.ToNextValidFrequency(Mode(1), freq, span), nullptr);
    EXPECT_EQ(freq, 3e5);
    freq = 1e8;
    EXPECT_EQ(m_characteristics.ToNextValidFrequency(Mode(5), freq, span), nullptr);

    // A range across both antennas moves to the chosen side; the antenna of
    // the requested start is returned either way.
    const struct { KVTCharacteristics::EAdjustMode eAdjust; double fStart; double fStop; } cases[] = {
        {KVTCharacteristics::ADJUST_TO_LOWER_ANTENNA, 2.8e7, 3e7},
        {KVTCharacteristics::ADJUST_TO_UPPER_ANTENNA, 30000001, 32000001},
    };
    for (const auto& c : cases) {
        double start = 2.9e7;
        double stop = 3.1e7;
        double realtimeBw = KVTCharacteristics::fBANDWIDTH_ANY;
        EXPECT_EQ(m_characteristics.ToNextValidFrequencyRange(Mode(3), start, stop, realtimeBw, span, c.eAdjust),
                  m_characteristics.GetAntennaByIndex(0));
        EXPECT_EQ(start, c.fStart);
        EXPECT_EQ(stop, c.fStop);
    }
}

} // namespace
