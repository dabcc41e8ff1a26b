#include "devicecontrol/directionfinder/kvtcommon/freqrangedefinition.h"

#include <gtest/gtest.h>

#include <QStringList>

using NxKVTCommon::FreqRangeDefinition;

namespace
{

FreqRangeDefinition MakeRange(bool bWithNameAndAlarm)
{
    FreqRangeDefinition range;
    range.SetIndex(3);
    range.SetStartFreq(20e6);
    range.SetStepFreq(25e3);
    range.SetStopFreq(30e6);
    range.SetFirstChannel(10);
    range.SetLastChannel(410);
    range.SetThreshold(12);
    range.GetDEMSettings().m_fDriverDefined5 = 2.5;
    range.GetFilterSettings().m_nDriverDefined8 = 4500;
    range.GetGainSettings().m_strDriverDefined1 = "agc";
    range.SetAverageTime(500);
    if (bWithNameAndAlarm)
    {
        range.SetName("band");
        range.GetAlarmSettings().m_anDriverDefinedWords[10] = 77;
        range.GetAlarmSettings().m_lstDriverDefined = {1, 2};
    }
    return range;
}

QString Dump(const FreqRangeDefinition& range)
{
    QStringList fields{range.GetName(), range.GetGainSettings().m_strDriverDefined1};
    for (double fValue : {double(range.GetIndex()), range.GetStartFreq(), range.GetStepFreq(), range.GetStopFreq(),
                          double(range.GetFirstChannel()), double(range.GetLastChannel()),
                          double(range.GetDFSettings().m_nThreshold), range.GetDEMSettings().m_fDriverDefined5,
                          double(range.GetFilterSettings().m_nDriverDefined8), double(range.GetAverageTime()),
                          double(range.GetAlarmSettings().m_anDriverDefinedWords[10]),
                          double(range.GetAlarmSettings().m_lstDriverDefined.size())})
        fields << QString::number(fValue);
    return fields.join(' ');
}

} // namespace

TEST(FreqRangeDefinitionTest, CopyTakesEverythingPointerFormAllButNameAndAlarm)
{
    const FreqRangeDefinition source = MakeRange(true);
    FreqRangeDefinition copy(source);
    EXPECT_EQ(Dump(copy), Dump(source));
    copy.GetAlarmSettings().m_lstDriverDefined.push_back(3);
    EXPECT_EQ(source.GetAlarmSettings().m_lstDriverDefined, (std::list<quint32>{1, 2}));

    EXPECT_EQ(Dump(FreqRangeDefinition(&source)), Dump(MakeRange(false)));
    const FreqRangeDefinition fromNull(static_cast<const FreqRangeDefinition*>(nullptr));
    EXPECT_EQ(Dump(fromNull), Dump(FreqRangeDefinition()));
    EXPECT_EQ(fromNull.GetIndex(), -1);
}
