#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"

#include <gtest/gtest.h>

using NxKVTCommon::FreqRangeDefinition;

namespace
{

FreqRangeDefinition MakeNamedRangeWithAlarm()
{
    FreqRangeDefinition range;
    range.SetIndex(3);
    range.SetStartFreq(20e6);
    range.SetStepFreq(25e3);
    range.SetStopFreq(30e6);
    range.SetName("band");
    range.SetFirstChannel(10);
    range.SetLastChannel(410);
    range.SetThreshold(12);
    range.GetDEMSettings().m_fDriverDefined5 = 2.5;
    range.GetFilterSettings().m_nDriverDefined8 = 4500;
    range.GetGainSettings().m_strDriverDefined1 = "agc";
    range.GetAlarmSettings().m_anDriverDefinedWords[10] = 77;
    range.GetAlarmSettings().m_lstDriverDefined = {1, 2};
    range.SetAverageTime(500);
    return range;
}

} // namespace

TEST(FreqRangeDefinitionTest, DefaultsAreTheDriverInterfaceDefaults)
{
    const FreqRangeDefinition range;
    EXPECT_EQ(range.GetIndex(), -1);
    EXPECT_EQ(range.GetThreshold(), -1);
    EXPECT_EQ(range.GetFirstChannel(), 0u);
    EXPECT_EQ(range.GetLastChannel(), 0u);
    EXPECT_EQ(range.GetAverageTime(), -1);
    EXPECT_TRUE(range.GetName().isEmpty());
    EXPECT_EQ(range.GetFilterSettings().m_nDriverDefined2, 35999);
    EXPECT_EQ(range.GetFilterSettings().m_nDriverDefined8, 9000);
    EXPECT_EQ(range.GetDFSettings().m_fDriverDefined1, -1.0);
    EXPECT_EQ(range.GetDFSettings().m_nDriverDefined13, 0u);
    EXPECT_EQ(range.GetDEMSettings().m_nDriverDefined1, 0);
    EXPECT_EQ(range.GetGainSettings().m_nDriverDefined2, -1);
    EXPECT_EQ(range.GetAlarmSettings().m_anDriverDefinedWords[0], 0u);
    EXPECT_TRUE(range.GetAlarmSettings().m_lstDriverDefined.empty());
}

TEST(FreqRangeDefinitionTest, ThresholdIsTheDFSettingsThreshold)
{
    FreqRangeDefinition range;
    range.SetThreshold(5);
    EXPECT_EQ(range.GetDFSettings().m_nThreshold, 5);
    range.GetDFSettings().m_nThreshold = -30;
    EXPECT_EQ(range.GetThreshold(), -30);
}

TEST(FreqRangeDefinitionTest, CopyConstructionCopiesNameAndAlarmSettings)
{
    const FreqRangeDefinition source = MakeNamedRangeWithAlarm();
    FreqRangeDefinition copy(source);
    EXPECT_EQ(copy.GetName(), "band");
    EXPECT_EQ(copy.GetAlarmSettings().m_anDriverDefinedWords[10], 77u);
    EXPECT_EQ(copy.GetAlarmSettings().m_lstDriverDefined, (std::list<quint32>{1, 2}));

    copy.GetAlarmSettings().m_lstDriverDefined.push_back(3);
    EXPECT_EQ(source.GetAlarmSettings().m_lstDriverDefined.size(), 2u);

    FreqRangeDefinition assigned;
    assigned = source;
    EXPECT_EQ(assigned.GetName(), "band");
    EXPECT_EQ(assigned.GetThreshold(), 12);
}

TEST(FreqRangeDefinitionTest, ConstructionFromPointerLeavesNameAndAlarmAtDefaults)
{
    const FreqRangeDefinition source = MakeNamedRangeWithAlarm();
    const FreqRangeDefinition copy(&source);
    EXPECT_TRUE(copy.GetName().isEmpty());
    EXPECT_EQ(copy.GetAlarmSettings().m_anDriverDefinedWords[10], 0u);
    EXPECT_TRUE(copy.GetAlarmSettings().m_lstDriverDefined.empty());

    EXPECT_EQ(copy.GetIndex(), 3);
    EXPECT_EQ(copy.GetStartFreq(), 20e6);
    EXPECT_EQ(copy.GetStepFreq(), 25e3);
    EXPECT_EQ(copy.GetStopFreq(), 30e6);
    EXPECT_EQ(copy.GetFirstChannel(), 10u);
    EXPECT_EQ(copy.GetLastChannel(), 410u);
    EXPECT_EQ(copy.GetThreshold(), 12);
    EXPECT_EQ(copy.GetDEMSettings().m_fDriverDefined5, 2.5);
    EXPECT_EQ(copy.GetFilterSettings().m_nDriverDefined8, 4500);
    EXPECT_EQ(copy.GetGainSettings().m_strDriverDefined1, "agc");
    EXPECT_EQ(copy.GetAverageTime(), 500);

    const FreqRangeDefinition fromNull(static_cast<const FreqRangeDefinition*>(nullptr));
    EXPECT_EQ(fromNull.GetIndex(), -1);
}
