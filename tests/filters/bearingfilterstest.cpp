#include "devicecontrol/directionfinder/kvtcommon/connectionspeedfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"
#include "devicecontrol/directionfinder/kvtcommon/pitchrollfilter.h"
#include "tests/values/valuetestfixture.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace NxKVTCommon;

namespace
{

const QString TILT_TEXT = QStringLiteral("Pitch/Roll value exceeds threshold.");
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

/// Pitch, roll, their thresholds, the data-valid flag and the state text below "/Dev".
class PitchRollFilterTest : public ValueTreeTest
{
protected:
    void SetUp() override
    {
        ValueTreeTest::SetUp();
        for (const char* name : {"Pitch", "Roll", "PitchMax", "RollMax"})
            tree().CreateValue<values::ValueNumeric<double>>(QStringLiteral("/Dev/") + name);
        m_pValid = tree().CreateValue<values::Value<bool>>("/Dev/Valid", true);
        m_pState = tree().CreateValue<values::Value<QString>>("/Dev/State", QStringLiteral("ok"));
    }

    void SetNumber(const char* name, double value)
    {
        tree().Find<values::ValueNumeric<double>>(QStringLiteral("/Dev/") + name)->SetValue(value);
    }

    void BindAll()
    {
        m_filter.SetPitchValuePath("/Dev/Pitch");
        m_filter.SetRollValuePath("/Dev/Roll");
        m_filter.SetPitchThresholdValuePath("/Dev/PitchMax");
        m_filter.SetRollThresholdValuePath("/Dev/RollMax");
        m_filter.SetKVTDataValidValuePath("/Dev/Valid");
        m_filter.SetKVTDataStateInfoValuePath("/Dev/State");
    }

    PitchRollFilter m_filter;
    values::Value<bool>* m_pValid = nullptr;
    values::Value<QString>* m_pState = nullptr;
};

TEST_F(PitchRollFilterTest, ThresholdIsReachedByMagnitudeAndNeverByNaN)
{
    BindAll();
    struct Case
    {
        double pitch, pitchMax, roll, rollMax;
        bool bMet;
    };
    const Case aCases[] = {
        {5.0, 5.0, 0.0, 9.0, true},   {-6.0, 5.0, 0.0, 9.0, true},  {4.9, -5.0, 0.0, 9.0, false},
        {0.0, 9.0, -3.0, -3.0, true}, {NaN, 1.0, 0.0, 9.0, false},  {5.0, NaN, 0.0, 9.0, false},
        {NaN, 1.0, 2.0, 1.0, true},   {0.0, 0.0, 0.0, 9.0, true},
    };
    for (const Case& c : aCases)
    {
        SetNumber("Pitch", c.pitch);
        SetNumber("PitchMax", c.pitchMax);
        SetNumber("Roll", c.roll);
        SetNumber("RollMax", c.rollMax);
        EXPECT_EQ(m_filter.IsFilterConditionMet(), c.bMet)
            << c.pitch << "/" << c.pitchMax << " " << c.roll << "/" << c.rollMax;
    }
}

TEST_F(PitchRollFilterTest, PathIsTakenOnceAndOnlyWithTheRightType)
{
    tree().CreateValue<values::ValueNumeric<double>>("/Other/Pitch", 50.0);
    tree().CreateValue<values::Value<int>>("/Other/IntMax", 1);
    SetNumber("PitchMax", 10.0);
    SetNumber("Roll", 5.0);
    SetNumber("RollMax", 1.0);

    m_filter.SetPitchValuePath("/Dev/Pitch"); // 0.0
    m_filter.SetPitchValuePath("/Other/Pitch");
    m_filter.SetPitchThresholdValuePath("/Missing");
    m_filter.SetPitchThresholdValuePath("/Other/IntMax");
    m_filter.SetRollValuePath("/Dev/Roll");
    EXPECT_FALSE(m_filter.IsFilterConditionMet()) << "no thresholds yet, and the first pitch stays";
    m_filter.SetPitchThresholdValuePath("/Dev/PitchMax");
    SetNumber("Pitch", 10.0);
    EXPECT_TRUE(m_filter.IsFilterConditionMet());
}

TEST_F(PitchRollFilterTest, ApplyClearsQualitiesReportsAndCounts)
{
    BindAll();
    values::BearingResult result;
    result.SetElevation(12);
    const values::BearingResult untouched = result;
    m_filter.Apply(result);
    EXPECT_EQ(result, untouched) << "no valid quality: nothing at all happens";
    EXPECT_TRUE(m_pValid->GetValue());
    EXPECT_EQ(m_pState->GetValue(), "ok");

    result.SetQuality(40);
    m_filter.Apply(result);
    EXPECT_EQ(result.GetQuality(), 0);
    EXPECT_FALSE(m_pValid->GetValue());
    EXPECT_EQ(m_pState->GetValue(), TILT_TEXT);

    m_pValid->SetValue(true);
    m_filter.Apply(0, nullptr);
    EXPECT_FALSE(m_pValid->GetValue()) << "reported even for no bearings";

    std::vector<values::Bearing> lstBearings{{1e6, 10, 100, 5, 50}, {2e6, 20, 200, 6, 0}, {3e6, 30, 300, 7, -3}};
    m_filter.Apply(2, lstBearings.data());
    EXPECT_EQ(lstBearings[0].quality, 0);
    EXPECT_EQ(lstBearings[0].level, 10);
    EXPECT_EQ(lstBearings[2].quality, -3) << "beyond the count";
    EXPECT_EQ(m_filter.RejectCount(FilterRejectReason::Tilt), 3u);
    EXPECT_EQ(m_filter.RejectCount(FilterRejectReason::NoQuality), 0u);
    m_filter.ResetRejectCounts();
    EXPECT_EQ(m_filter.RejectCount(FilterRejectReason::Tilt), 0u);
}

TEST_F(PitchRollFilterTest, StateAndReasonTextsComeOutInGermanWithTheCatalogueInstalled)
{
    BindAll();
    QTranslator translator;
    ASSERT_TRUE(KVTTranslation::Load(translator, QLocale(QLocale::German, QLocale::Germany)));
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));

    values::BearingResult result;
    result.SetQuality(40);
    m_filter.Apply(result);
    EXPECT_EQ(m_pState->GetValue(), QString::fromUtf8("Nick- oder Rollwinkel überschreitet den Grenzwert."));
    EXPECT_EQ(FilterRejectCounter::ReasonText(FilterRejectReason::OverheadPass), QString::fromUtf8("Überflug"));

    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(FilterRejectCounter::ReasonText(FilterRejectReason::Tilt), "Platform tilt");
}

// Blocks of several lengths, with frequencies and qualities that hold zero halves: only the level
// of a bearing whose whole quality is 0 may change, and only while the speed is positive.
TEST_F(ValueTreeTest, ConnectionSpeedFilterChangesOnlyLevelsOfBearingsWithoutQuality)
{
    auto* pSpeed = tree().CreateValue<values::Value<int>>("/Dev/Speed", 0);
    tree().CreateValue<values::Value<double>>("/Dev/SpeedDouble", 5.0);
    std::mt19937 random(11);
    const qint16 aQualities[] = {0, 1, -1, 256, -256, 0};
    std::vector<values::Bearing> lstBearings(64);
    for (values::Bearing& b : lstBearings)
        b = {random() % 2 ? 1e8 : random() * 1.5, static_cast<qint16>(random()), static_cast<quint16>(random()),
             static_cast<qint16>(random()), aQualities[random() % 6]};
    const std::vector<values::Bearing> lstOriginal = lstBearings;
    const auto unchanged = [&] { return std::memcmp(lstBearings.data(), lstOriginal.data(), 64 * 16) == 0; };

    ConnectionSpeedFilter filter;
    filter.SetConnectionSpeedValuePath("/Dev/SpeedDouble");
    filter.Apply(64, lstBearings.data());
    EXPECT_TRUE(unchanged()) << "no value of the right type";
    filter.SetConnectionSpeedValuePath("/Dev/Speed");
    for (int speed : {0, -1})
    {
        pSpeed->SetValue(speed);
        filter.Apply(64, lstBearings.data());
        EXPECT_TRUE(unchanged()) << speed;
    }
    pSpeed->SetValue(1);
    filter.Apply(64, nullptr);
    filter.Apply(0, lstBearings.data());
    EXPECT_TRUE(unchanged());

    quint64 nExpected = 0;
    for (unsigned int count : {1u, 2u, 7u, 64u})
    {
        std::vector<values::Bearing> lstExpected = lstOriginal;
        for (unsigned int i = 0; i < count; ++i)
        {
            if (lstExpected[i].quality == 0)
            {
                lstExpected[i].level = -4000;
                ++nExpected;
            }
        }
        lstBearings = lstOriginal;
        filter.Apply(count, lstBearings.data());
        EXPECT_EQ(std::memcmp(lstBearings.data(), lstExpected.data(), 64 * 16), 0) << count;
        EXPECT_EQ(filter.RejectCount(FilterRejectReason::NoQuality), nExpected) << count;
    }
    EXPECT_EQ(filter.RejectCount(static_cast<FilterRejectReason>(FILTER_REJECT_REASON_COUNT)), 0u);
}

} // namespace
