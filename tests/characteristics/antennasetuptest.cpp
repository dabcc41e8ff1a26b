#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"

#include <QRegularExpression>

namespace {

EOperationMode Mode(int mode)
{
    return static_cast<EOperationMode>(mode);
}

using AntennaSetupTest = CharacteristicsFixture;

struct AntennaSpec
{
    const char* pszName;
    const char* pszConverter;
    double fMin;
    double fMax;
    bool bEnabled;
};

struct ValidityCase
{
    const char* pszWhat;
    std::vector<AntennaSpec> lstAntennas;
    bool bValid;
    const char* pszMessage;
};

TEST_F(AntennaSetupTest, ValidityCheckExplainsTheFirstProblem)
{
    const char* const GAP = "Frequency range is not entirely covered without gaps.";
    const char* const OVERLAP = "Frequency ranges are overlapping.";
    const ValidityCase cases[] = {
        {"empty", {}, false, "No antennas connected to device."},
        {"all disabled", {{"HR482", "RP29", 3e5, 3e7, false}}, false, "No antennas enabled."},
        {"joined 1 Hz apart", {{"HR482", "RP29", 3e5, 3e7, true}, {"HR469", "VQ28", 30000001, 3e9, true}}, true,
         "Antenna setup is valid."},
        {"gap", {{"HR482", "RP29", 3e5, 3e7, true}, {"HR469", "VQ28", 3.1e7, 3e9, true}}, false, GAP},
        {"sides of one model", {{"HR428_L", "RP29", 3e5, 3e7, true}, {"HR428_R", "RP29", 3e5, 3e7, true}}, true,
         "Antenna setup is valid."},
        {"two models", {{"HR482", "RP29", 3e5, 3e7, true}, {"HR486", "RP29", 3e5, 3e7, true}}, false, OVERLAP},
        {"extends downwards", {{"HR469", "VQ28", 30000001, 3e9, true}, {"HR482", "RP29", 3e5, 3e7, true}}, true,
         "Antenna setup is valid."},
        {"no LF option",
         {{"HR463", "RP56", 9e3, 1e6, true}},
         false,
         "Antenna HR463 (0.009 MHz - 1 MHz) is not supported by the KVT device with the currently installed "
         "options. It must be disabled."},
    };
    for (const ValidityCase& c : cases) {
        m_antennas.Clear();
        for (const AntennaSpec& spec : c.lstAntennas)
            AddAntenna(spec.pszName, spec.pszConverter, spec.fMin, spec.fMax)->m_bEnabled = spec.bEnabled;
        Bind();
        QString message;
        EXPECT_EQ(m_characteristics.CheckAntennaSetupValidity(nullptr, message), c.bValid) << c.pszWhat;
        EXPECT_EQ(message, c.pszMessage) << c.pszWhat;
    }

    // A list handed in is checked instead of the own one.
    AntennaDataList empty;
    QString message;
    EXPECT_FALSE(m_characteristics.CheckAntennaSetupValidity(&empty, message));
    EXPECT_EQ(message, "No antennas connected to device.");
}

TEST_F(AntennaSetupTest, RepairRederivesRangesStoresThemAndRefreshes)
{
    AddAntenna("HR482", "RP29", 3e5, 3e7)->m_fMaxRange = 1e7;
    AddAntenna("HR469", "VQ28", 2e7, 3e9);
    Bind();
    NotificationRecorder recorder;
    m_characteristics.AddObserver(&recorder);

    QString message;
    ASSERT_TRUE(m_characteristics.MakeAntennaSetupValid(message));
    EXPECT_EQ(message, "Auto configuration of antennas successfully covered range from 0.3 MHz to 3000 MHz.");
    const QString modifyTime =
        DeviceValue<values::Value<QString>>(StdDeviceDefinition::g_vdCfgModifyTime)->GetValue();
    EXPECT_TRUE(QRegularExpression("^\\d{12}$").match(modifyTime).hasMatch()) << modifyTime.toStdString();
    EXPECT_EQ(recorder.m_lstCodes, std::vector<TChangeCode>{ChangeCode::ValueChanged});

    ASSERT_NE(m_characteristics.GetAntennaByIndex(1), nullptr);
    EXPECT_EQ(m_characteristics.GetAntennaByIndex(0)->m_fMaxRange, 3e7);
    EXPECT_EQ(m_characteristics.GetAntennaByIndex(1)->m_fMinRange, 30000001.0);
    EXPECT_TRUE(m_characteristics.CheckAntennaSetupValidity(nullptr, message));

    EXPECT_TRUE(m_characteristics.MakeAntennaSetupValid(message));
    EXPECT_EQ(message, "Antenna setup is already valid. Nothing changed.");
    m_characteristics.DeleteObserver(&recorder);
}

TEST_F(AntennaSetupTest, RepairWithoutASupportedAntennaChangesNothing)
{
    AddAntenna("HR463", "RP56", 9e3, 1e6);
    Bind();
    QString message;
    EXPECT_FALSE(m_characteristics.MakeAntennaSetupValid(message));
    EXPECT_EQ(message, "No antenna is supported by device.");
    EXPECT_TRUE(m_characteristics.GetAntennaByIndex(0)->m_bEnabled);
}

TEST_F(AntennaSetupTest, NextValidFrequencyIsClampedAndKeptInsideTheAntenna)
{
    AddAntenna("HR469", "VQ28", 2e7, 3e9);
    Bind();
    double span = 2e6;
    double freq = 2.05e7;
    EXPECT_EQ(m_characteristics.ToNextValidFrequency(Mode(2), freq, span), m_characteristics.GetAntennaByIndex(0));
    EXPECT_EQ(freq, 2.1e7);
    EXPECT_EQ(span, 2e6);

    freq = 1e6;
    EXPECT_NE(m_characteristics.ToNextValidFrequency(Mode(1), freq, span), nullptr);
    EXPECT_EQ(freq, 2e7);
    freq = 1e8;
    EXPECT_EQ(m_characteristics.ToNextValidFrequency(Mode(5), freq, span), nullptr);
}

TEST_F(AntennaSetupTest, RangeAcrossTwoAntennasMovesToTheChosenSide)
{
    AddAntenna("HR482", "RP29", 3e5, 3e7);
    AddAntenna("HR469", "VQ28", 30000001, 3e9);
    Bind();
    const AntennaData* pHf = m_characteristics.GetAntennaByIndex(0);
    struct
    {
        KVTCharacteristics::EAdjustMode eAdjust;
        double fStart;
        double fStop;
    } const cases[] = {
        {KVTCharacteristics::ADJUST_TO_LOWER_ANTENNA, 2.8e7, 3e7},
        {KVTCharacteristics::ADJUST_TO_UPPER_ANTENNA, 30000001, 32000001},
    };
    for (const auto& c : cases) {
        double start = 2.9e7;
        double stop = 3.1e7;
        double realtimeBw = KVTCharacteristics::fBANDWIDTH_ANY;
        double span = 0;
        // The antenna found for the requested start is returned either way.
        EXPECT_EQ(m_characteristics.ToNextValidFrequencyRange(Mode(3), start, stop, realtimeBw, span, c.eAdjust), pHf);
        EXPECT_EQ(start, c.fStart);
        EXPECT_EQ(stop, c.fStop);
    }
}

} // namespace
